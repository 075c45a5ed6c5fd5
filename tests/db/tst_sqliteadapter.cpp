#include "tests/support/SessionRows.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "db/sqlite/SqliteAdapter.h"
#include "db/sqlite/SqliteTableSql.h"
#include "tests/support/ColumnDefs.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SqliteRows.h"

#include <QRegularExpression>
#include <QtTest>

#include <map>
#include <set>

namespace {

// An order-entry schema that covers the shapes the adapter has to read:
// named and unnamed keys at column and table level, a two-column key, a
// self-reference, a key to the implicit primary key, a REFERENCES clause in
// another letter case, a child without any index, and odd names.
const char *const kFixture = R"SQL(
create table customer (
  id integer primary key,
  name varchar(40) not null,
  referrer integer constraint fk_referrer references customer(id)
);
create table region (country char(2), code varchar(6), label text, primary key (country, code));
create table address (
  id integer primary key,
  customer_id integer not null references CUSTOMER,
  country char(2), region varchar(6),
  constraint fk_address_region foreign key (country, region) references region (country, code)
);
create index address_by_customer on address (customer_id, country);
create table product (sku text, title text, constraint pk_product primary key (sku));
create table note (body text, sku text references product, customer integer references customer);
create table "Bob's ""quoted"" table" (
  id integer primary key,
  parent integer,
  /* a comment: constraint fake foreign key (x) references nowhere */
  constraint "it's a ""key""" foreign key (parent) references "Bob's ""quoted"" table" (id)
);
create index "odd ""index""" on "Bob's ""quoted"" table" (parent);
create table stock (
  sku text not null, site text not null, qty integer check (qty >= 0 or 'references' = ''),
  unique (site, sku),
  foreign key (sku) references product (sku)
);
create table allocation (
  site text, sku text, amount integer,
  constraint alloc_stock foreign key (sku, site) references stock (sku, site)
);
create trigger "audit 'it' ""now""" after insert on "BOB'S ""QUOTED"" TABLE" begin select 1; end;
create trigger plain_trigger after delete on "Bob's ""quoted"" table" begin select 2; end;
create trigger customer_touch after update on customer begin select 3; end;
)SQL";

bool Find(CDbSession &session, const std::string &name, CDbRelationship &found)
{
    const CSessionKeys keys(session);
    for (int i = 0; const CDbRelationship *relationship = keys.GetRelationship(i); ++i)
        if (relationship->m_name == name) {
            found = *relationship;
            return true;
        }
    return false;
}

// The index headers the table window would show, read the way it reads them.
std::set<std::string> IndexNames(CDbSession &session, const std::string &table)
{
    std::set<std::string> names;
    int result = session.ListIndexes(table);
    while (result >= 0) {
        std::string name;
        result = session.Fetch();
        if (result >= 0)
            result = session.GetColumnText(6, name);
        if (result >= 0)
            names.insert(session.GetAdapter()->ShownIndexName(name));
    }
    session.CloseStatement();
    return names;
}

using Clauses = std::vector<CSqliteForeignKeyClause>;

QString Describe(const Clauses &clauses)
{
    QStringList parts;
    for (const CSqliteForeignKeyClause &clause : clauses) {
        QStringList columns;
        for (const std::string &column : clause.m_columns)
            columns << QString::fromStdString(column);
        parts << QString::fromStdString(clause.m_name) + "(" + columns.join(",") + ")->"
                     + QString::fromStdString(clause.m_parentTable);
    }
    return parts.join(" ");
}

} // namespace

class TestSqliteAdapter : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    CDbSession m_session{m_adapters};

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Orders", kFixture);
        m_sandbox.AddSqliteSource("Empty", "create table lonely (v text);\n");
        QCOMPARE(m_session.Connect("DSN=Orders"), 0);
    }

    void theDriverSelectsTheSqliteAdapter()
    {
        QCOMPARE(m_session.GetDbmsName(), std::string("SQLite"));
        QVERIFY(dynamic_cast<CSqliteAdapter *>(m_session.GetAdapter()));
    }

    void clausesAreReadFromTheTableText_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("column level, unnamed and named")
            << "create table t (a int references p, b int constraint fb references q(x))"
            << "(a)->p fb(b)->q";
        QTest::newRow("table level, two columns")
            << "CREATE TABLE t (a int, b int, CONSTRAINT \"k\"\"1\" FOREIGN KEY (a, b) REFERENCES [p q] (x, y))"
            << "k\"1(a,b)->p q";
        QTest::newRow("a name on another constraint is not the key's")
            << "create table t (a int constraint nn not null references p)" << "(a)->p";
        QTest::newRow("the second named constraint of a column")
            << "create table t (a int constraint c1 check (a > 0) constraint c2 references p "
               "on delete cascade, constraint c3 foreign key (a) references q deferrable)"
            << "c2(a)->p c3(a)->q";
        QTest::newRow("table constraints without commas")
            << "create table t (a int, b int, primary key (a) constraint fk foreign key (b) references p)"
            << "fk(b)->p";
        QTest::newRow("comments, strings and checks are skipped")
            << "create table t (a int -- references x\n check (a <> 'references y'), "
               "/* constraint c foreign key (a) references z */ b int default 'x,y' references `p`)"
            << "(b)->p";
        QTest::newRow("quoted column and odd table name")
            << "create table \"a(b\" (\"col, one\" int references 'par''ent')" << "(col, one)->par'ent";
        QTest::newRow("not a create table") << "select 1 references" << "";
    }
    void clausesAreReadFromTheTableText()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(Describe(ParseForeignKeyClauses(sql.toStdString())), expected);
    }

    void relationshipsCarryTheirTablesIndexesAndNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parentTable");
        QTest::addColumn<QString>("parentIndex");
        QTest::addColumn<QString>("foreignTable");
        QTest::addColumn<QString>("foreignIndex");
        // The rowid key is the index the driver invents for an INTEGER
        // PRIMARY KEY; other keys are SQLite's own automatic indexes.
        QTest::newRow("named self-reference without a child index")
            << "fk_referrer" << "customer" << "rowid key" << "customer" << "";
        QTest::newRow("unnamed, implicit parent columns, other letter case")
            << "address_customer_id_fkey" << "customer" << "rowid key" << "address"
            << "address_by_customer";
        QTest::newRow("two-column key to a composite primary key")
            << "fk_address_region" << "region" << "sqlite_autoindex_region_1" << "address" << "";
        QTest::newRow("table without indexes")
            << "note_sku_fkey" << "product" << "sqlite_autoindex_product_1" << "note" << "";
        QTest::newRow("child index led by another column")
            << "stock_sku_fkey" << "product" << "sqlite_autoindex_product_1" << "stock" << "";
        QTest::newRow("two-column key to a unique constraint in another order")
            << "alloc_stock" << "stock" << "sqlite_autoindex_stock_1" << "allocation" << "";
        QTest::newRow("quoted names everywhere")
            << "it's a \"key\"" << "Bob's \"quoted\" table" << "rowid key"
            << "Bob's \"quoted\" table" << "odd \"index\"";
    }
    void relationshipsCarryTheirTablesIndexesAndNames()
    {
        QFETCH(QString, name);
        CDbRelationship relationship;
        QVERIFY2(Find(m_session, name.toStdString(), relationship), qPrintable(name));
        const CDbRelationship *found = &relationship;
        QFETCH(QString, parentTable);
        QFETCH(QString, parentIndex);
        QFETCH(QString, foreignTable);
        QFETCH(QString, foreignIndex);
        QCOMPARE(QString::fromStdString(found->m_parentTable), parentTable);
        QCOMPARE(QString::fromStdString(found->m_parentIndex), parentIndex);
        QCOMPARE(QString::fromStdString(found->m_foreignTable), foreignTable);
        QCOMPARE(QString::fromStdString(found->m_foreignIndex), foreignIndex);
    }

    void eachForeignKeyIsOneRelationshipInDeclarationOrder()
    {
        QStringList names;
        const CSessionKeys keys(m_session);
        for (int i = 0; const CDbRelationship *relationship = keys.GetRelationship(i); ++i)
            names << QString::fromStdString(relationship->m_name);
        QCOMPARE(names, QStringList({"fk_referrer", "address_customer_id_fkey",
                                     "fk_address_region", "note_sku_fkey",
                                     "note_customer_fkey", "it's a \"key\"", "stock_sku_fkey",
                                     "alloc_stock"}));
    }

    // Every index name the adapter hands out must be a header the table
    // window shows, or the line would attach at the wrong row.
    void indexNamesAreTheOnesTheDriverReports()
    {
        const CSessionKeys keys(m_session);
        for (int i = 0; const CDbRelationship *relationship = keys.GetRelationship(i); ++i) {
            const std::set<std::string> parent = IndexNames(m_session, relationship->m_parentTable);
            QVERIFY2(parent.count(relationship->m_parentIndex), relationship->m_name.c_str());
            if (!relationship->m_foreignIndex.empty()) {
                const std::set<std::string> child = IndexNames(m_session, relationship->m_foreignTable);
                QVERIFY2(child.count(relationship->m_foreignIndex), relationship->m_name.c_str());
            }
        }
    }

    void reloadingGivesTheSameList()
    {
        std::vector<std::string> before;
        CSessionKeys keys(m_session);
        for (int i = 0; const CDbRelationship *relationship = keys.GetRelationship(i); ++i)
            before.push_back(relationship->m_name + relationship->m_parentIndex);
        QCOMPARE(keys.Reload(), 0);
        QCOMPARE(keys.RelationshipCount(), int(before.size()));
        for (size_t i = 0; i < before.size(); ++i) {
            const CDbRelationship *relationship = keys.GetRelationship(int(i));
            QCOMPARE(relationship->m_name + relationship->m_parentIndex, before[i]);
        }
        // The statement is free again.
        QCOMPARE(m_session.Execute("select 1"), 0);
        QCOMPARE(m_session.CloseStatement(), 0);
    }

    void aLongTableTextKeepsItsConstraintNames()
    {
        QString columns;
        for (int i = 0; i < 40; ++i)
            columns += QStringLiteral("column_number_%1 varchar(40) default 'ünïcødé', ").arg(i);
        m_sandbox.AddSqliteSource("Long", "create table p (id integer primary key);\n"
                                          "create table c (" + columns
                                              + "pid integer, constraint \"far away name\" "
                                                "foreign key (pid) references p);\n");
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Long"), 0);
        const CSessionKeys keys(session);
        QCOMPARE(keys.RelationshipCount(), 1);
        QCOMPARE(keys.GetRelationship(0)->m_name, std::string("far away name"));
    }

    void aDatabaseWithoutForeignKeysHasNoRelationships()
    {
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Empty"), 0);
        QCOMPARE(CSessionKeys(session).RelationshipCount(), 0);
        std::vector<std::string> names;
        QCOMPARE(session.GetAdapter()->LoadTriggerNames(session, "lonely", names), 0);
        QVERIFY(names.empty());
    }

    // Blanks at the end of a name are part of it: the table lists, shows its
    // columns and changes, also by the rebuild (the index forces one).
    void aNameEndingInBlanksLoadsAndChanges()
    {
        const QString path = m_sandbox.AddSqliteSource(
            "Blanks", "create table \"C sp \" (\"a \" integer, b text);\n"
                      "create index by_b on \"C sp \" (b);\n");
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Blanks"), 0);
        QStringList names;
        const auto collect = [&names](const CDbRow &row) { names << QString::fromStdString(row[0]); };
        QCOMPARE(session.ReadRows(session.ListTables(), {3}, collect), 0);
        QCOMPARE(session.ReadRows(session.ListColumns("C sp "), {4}, collect), 0);
        QCOMPARE(names, (QStringList{"C sp ", "a ", "b"}));

        QCOMPARE(ApplySchemaChange(session, CDropColumns{"C sp ", {"b"}}), 0);
        QCOMPARE(ApplySchemaChange(session, CAddColumns{"C sp ", {ColumnDefs::Column("c ", "text")}}), 0);
        QCOMPARE(SqliteRows::Lines(QuerySqlite(path, "select name from pragma_table_info('C sp ');")),
                 (QStringList{"'a '", "'c '"}));
    }

    void triggersAreReadForTheirTable_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("triggers");
        QTest::newRow("odd names, in creation order")
            << "Bob's \"quoted\" table" << QStringList({"audit 'it' \"now\"", "plain_trigger"});
        QTest::newRow("plain") << "customer" << QStringList({"customer_touch"});
        QTest::newRow("none") << "region" << QStringList();
        QTest::newRow("a name that tries to end the literal")
            << "x' or '1'='1" << QStringList();
    }
    void triggersAreReadForTheirTable()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, triggers);
        std::vector<std::string> names;
        QCOMPARE(m_session.GetAdapter()->LoadTriggerNames(m_session, table.toStdString(), names), 0);
        QStringList got;
        for (const std::string &name : names)
            got << QString::fromStdString(name);
        QCOMPARE(got, triggers);
        QCOMPARE(m_session.Execute("select 1"), 0); // closed after reading
        m_session.CloseStatement();
    }

    // One read serves a whole load; anything sent through the session, and
    // every connect, makes the next table read the dictionary again.
    void triggerNamesFollowChangesAndSessions()
    {
        CDbSession other(m_adapters);
        QCOMPARE(other.Connect("DSN=Empty"), 0);
        std::vector<std::string> names;
        CDbmsAdapter *adapter = m_session.GetAdapter();
        QCOMPARE(adapter->LoadTriggerNames(m_session, "customer", names), 0);
        QCOMPARE(names.size(), size_t(1));

        QCOMPARE(other.Execute("create trigger lonely_added after insert on lonely begin "
                               "select 1; end"), 0);
        other.CloseStatement();
        names.clear();
        QCOMPARE(adapter->LoadTriggerNames(other, "customer", names), 0);
        QVERIFY(names.empty()); // not the other database's snapshot
        QCOMPARE(adapter->LoadTriggerNames(other, "LONELY", names), 0);
        QCOMPARE(names, std::vector<std::string>({"lonely_added"}));

        // Changed by someone else: seen once this session sends anything.
        QVERIFY(m_sandbox.RunSql("Orders", "create trigger customer_later after delete on "
                                           "customer begin select 4; end;"));
        QCOMPARE(m_session.Execute("select 1"), 0);
        m_session.CloseStatement();
        names.clear();
        QCOMPARE(adapter->LoadTriggerNames(m_session, "customer", names), 0);
        QCOMPARE(names, std::vector<std::string>({"customer_touch", "customer_later"}));
        QVERIFY(m_sandbox.RunSql("Orders", "drop trigger customer_later;"));
    }

    // Freshness counts every statement sent, also once the statement log is
    // full and its size no longer grows.
    void aTriggerCreatedAfterAFullLogStillAppears()
    {
        m_sandbox.AddSqliteSource("Quiet", "create table calm (v text);\n");
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Quiet"), 0);
        for (size_t i = 0; i <= CDbStatementLog::kCapacity; ++i) {
            session.Execute("select 1");
            session.CloseStatement();
        }
        CDbmsAdapter *adapter = session.GetAdapter();
        std::vector<std::string> names;
        QCOMPARE(adapter->LoadTriggerNames(session, "calm", names), 0);
        QVERIFY(names.empty());
        QCOMPARE(session.Execute("create trigger calm_changed after update on calm begin "
                                 "select 1; end"), 0);
        session.CloseStatement();
        QCOMPARE(session.GetStatementLog().size(), CDbStatementLog::kCapacity);
        QCOMPARE(adapter->LoadTriggerNames(session, "calm", names), 0);
        QCOMPARE(names, std::vector<std::string>({"calm_changed"}));
    }

    // The sample that the run script installs: its diagram names exactly the
    // tables of its script, they fit the 1200 x 900 layout without touching,
    // and every relationship ends at index headers the windows show.
    void theSampleDiagramMatchesItsDatabase()
    {
        QFile script(QStringLiteral(VELLUMIX_SOURCE_DIR "/samples/sample.sql"));
        QFile diagram(QStringLiteral(VELLUMIX_SOURCE_DIR "/samples/sample.vmx"));
        QVERIFY(script.open(QIODevice::ReadOnly) && diagram.open(QIODevice::ReadOnly));
        m_sandbox.AddSqliteSource("Sample", QString::fromUtf8(script.readAll()));
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Sample"), 0);

        std::map<std::string, QRect> windows;
        QCOMPARE(session.ListTables(), 0);
        while (session.Fetch() >= 0) {
            std::string table;
            QCOMPARE(session.GetColumnText(3, table), 0);
            windows[table] = QRect();
        }
        session.CloseStatement();
        QVERIFY(windows.size() >= 8 && windows.size() <= 15);

        const QList<QByteArray> lines = diagram.readAll().split('\n');
        QCOMPARE(lines.value(0), QByteArray("DSN=VellumixSample\r"));
        QCOMPARE(lines.value(1), QByteArray("View=Schema\r"));
        QRegularExpression entry("^Table=(.+)\tPosn=(\\d+),(\\d+)\r$");
        int placed = 0;
        for (const QByteArray &line : lines.mid(2)) {
            if (line.isEmpty())
                continue;
            const auto match = entry.match(QString::fromUtf8(line));
            QVERIFY2(match.hasMatch(), line.constData());
            const std::string table = match.captured(1).toStdString();
            QVERIFY2(windows.count(table), table.c_str());
            std::vector<std::string> rows;
            int result = session.ListColumns(table);
            for (; result >= 0 && (result = session.Fetch()) >= 0;)
                rows.push_back("column");
            session.CloseStatement();
            std::string previous;
            result = session.ListIndexes(table);
            while (result >= 0 && (result = session.Fetch()) >= 0) {
                std::string index;
                session.GetColumnText(6, index);
                if (index != previous)
                    rows.push_back(index);
                previous = index;
                rows.push_back("segment");
            }
            session.CloseStatement();
            session.GetAdapter()->LoadTriggerNames(session, table, rows);
            // Schema mode: 120 wide, 33 pixels of frame and caption plus the rows.
            windows[table] = QRect(match.captured(2).toInt(), match.captured(3).toInt(), 120,
                                   33 + 15 * int(rows.size()));
            ++placed;
        }
        QCOMPARE(placed, int(windows.size()));
        for (const auto &a : windows) {
            QVERIFY2(QRect(0, 0, 1200, 900).contains(a.second), a.first.c_str());
            for (const auto &b : windows)
                if (a.first < b.first)
                    QVERIFY2(!a.second.adjusted(-20, -20, 20, 20).intersects(b.second),
                             (a.first + " / " + b.first).c_str());
        }
        const CSessionKeys keys(session);
        QVERIFY(keys.RelationshipCount() >= 15);
        for (int i = 0; const CDbRelationship *relationship = keys.GetRelationship(i); ++i) {
            QVERIFY(IndexNames(session, relationship->m_parentTable).count(relationship->m_parentIndex));
            QVERIFY2(IndexNames(session, relationship->m_foreignTable).count(relationship->m_foreignIndex),
                     relationship->m_name.c_str());
        }
    }

    void theTypeListOffersWhatSqliteTablesAreMadeOf()
    {
        for (const char *name : {"integer", "text", "varchar", "real", "blob", "numeric", "date",
                                 "boolean", "datetime"})
            QVERIFY2(m_session.FindType(name), name);
        QCOMPARE(m_session.FindType("decimal")->m_paramKind, int(CDbTypeInfo::PrecisionScale));
        QCOMPARE(m_session.FindType("varchar")->m_paramKind, int(CDbTypeInfo::Length));
        // Each name once: the driver's records are not shadowed by extras.
        std::set<std::string> seen;
        for (int i = 0; const CDbTypeInfo *type = m_session.GetType(i); ++i)
            QVERIFY2(seen.insert(type->m_name).second, type->m_name.c_str());
    }
};

QTEST_GUILESS_MAIN(TestSqliteAdapter)
#include "tst_sqliteadapter.moc"

#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "model/SchemaLoader.h"
#include "tests/support/ColumnDefs.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"

#include <QtTest>

#include <functional>
#include <memory>

using ColumnDefs::Column;
using ColumnDefs::With;
using CEdit = std::function<void(CAlterTable &)>;
Q_DECLARE_METATYPE(CEdit)
Q_DECLARE_METATYPE(CAlterTable)

// The schema every case starts from, at the end of the file (moc reads raw
// strings poorly): the same tables on both engines, and a trigger of each
// engine's own kind that writes 'ordered' into customer.city.
extern const char *const kCommonSql;
extern const char *const kSqliteSql;
extern const char *const kPostgresSql;

namespace {

const QStringList kTables = {"customer", "orders", "visit", "reading", "tag"};

// The table as the Edit Table dialog shows it, to be edited.
CAlterTable Unchanged(const std::string &table)
{
    const int length = CDbTypeInfo::Length;
    const bool visit = table == "visit";
    CAlterTable change{table, table, {}, {}, {}, {}};
    change.m_before = visit ? std::vector<CColumnDef>{Column("day", "varchar", length, "10"),
                                                      Column("place", "varchar", length, "20")}
                            : std::vector<CColumnDef>{Column("id", "integer"),
                                                      With(Column("name", "varchar", length, "20"), "", "", "1"),
                                                      With(Column("city", "varchar", length, "20"), "", "'x'", ""),
                                                      Column("born", "integer"), Column("note", "text")};
    for (const CColumnDef &column : change.m_before)
        change.m_columns.push_back({column.m_name, column});
    change.m_primaryKey = change.m_keyBefore = visit ? std::vector<std::string>() : std::vector<std::string>{"id"};
    return change;
}

CColumnDef &ColumnOf(CAlterTable &change, const char *from)
{
    for (CAlteredColumn &column : change.m_columns)
        if (column.m_from == from)
            return column.m_column;
    throw std::logic_error(from);
}

} // namespace

// Every edit of a table runs on the real engine: afterwards the catalog
// shows what was asked, and every row of every table is as it was but for
// the intended conversion; a refused edit leaves everything as it was.
class TestAlterTable : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    std::unique_ptr<CDbSession> m_session;
    bool m_sqlite = true;

    QString Run(const QString &sql) { return FirstColumnRows(*m_session, sql).join(' '); }
    int Exec(const QString &sql)
    {
        const int result = m_session->Execute(sql.toStdString());
        m_session->CloseStatement();
        return result;
    }

    void Open(const QString &engine)
    {
        m_session = std::make_unique<CDbSession>(m_adapters);
        m_sqlite = engine == "SQLite";
        if (m_sqlite) {
            m_sandbox.AddSqliteSource("Shop", QString(kCommonSql) + kSqliteSql);
            QCOMPARE(m_session->Connect("DSN=Shop"), 0);
            QCOMPARE(Exec("PRAGMA foreign_keys = ON"), 0);
            return;
        }
        QVERIFY2(m_database.Recreate() && m_database.Run(QString(kCommonSql) + kPostgresSql),
                 qPrintable(m_database.Error()));
        QCOMPARE(m_session->Connect(m_database.ConnectionString()), 0);
    }

    // Each column's name and description, then each index with its columns.
    QStringList Catalog(const QString &table, bool namesOnly = false)
    {
        CTableSchema schema;
        SchemaLoader::LoadTable(*m_session, table.toStdString(), schema);
        QStringList parts;
        for (const CSchemaColumn &column : schema.m_columns)
            parts << QString::fromStdString(column.m_name + (namesOnly ? "" : " " + column.Description()));
        for (const CSchemaIndex &index : schema.m_indexes) {
            QString columns;
            for (const std::string &column : index.m_columns)
                columns += (columns.isEmpty() ? "" : ",") + QString::fromStdString(column);
            if (!namesOnly)
                parts << QString::fromStdString(index.m_name) + "(" + columns + ")";
        }
        return parts;
    }

    // The values of the columns row by row, each with its rowid on SQLite.
    QStringList Values(const QString &table, QStringList columns)
    {
        for (QString &column : columns)
            column = m_sqlite ? "quote(\"" + column + "\")" : "\"" + column + "\"";
        if (m_sqlite)
            return FirstColumnRows(*m_session, "select rowid || '|' || " + columns.join(" || '|' || ")
                                                   + " from \"" + table + "\" order by rowid");
        return FirstColumnRows(*m_session, "select row(" + columns.join(", ") + ")::text from \"" + table
                                               + "\" order by 1");
    }

    // The catalog and every row of every table but those left out.
    QStringList Everything(const QStringList &leftOut = {})
    {
        QStringList all;
        for (const QString &table : kTables)
            if (!leftOut.contains(table))
                all << Catalog(table) << Values(table, Catalog(table, true));
        return all;
    }

    // The trigger still fires, the view still reads and the other table's
    // key still refers to the table, under whatever names they have now.
    void ExpectReferencesWork(const QString &table)
    {
        QVERIFY(Exec("insert into orders values (12, 2, 1)") >= 0);
        QVERIFY(m_sqlite || Exec("update \"" + table + "\" set id = id where id = 2") >= 0);
        QCOMPARE(Run("select city from \"" + table + "\" where id = 2"), QStringLiteral("ordered"));
        QCOMPARE(Run("select count(*) from customer_names"), QStringLiteral("3"));
        QVERIFY(Exec("insert into orders values (13, 99, 1)") < 0);
    }

private slots:
    void initTestCase() { QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error())); }
    void cleanup() { m_session.reset(); }

    void editsTable_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<CEdit>("edit");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("catalog"); // a part of the table's catalog entry
        QTest::addColumn<QString>("probe");   // the intended conversion, as the engine reports it
        QTest::addColumn<QString>("probed");
        const CEdit renameTable = [](CAlterTable &c) { c.m_newName = "client"; };
        const CEdit renameColumn = [](CAlterTable &c) { ColumnOf(c, "name").m_name = "full_name"; };
        const CEdit retype = [](CAlterTable &c) { ColumnOf(c, "born") = Column("born", "varchar", 1, "8"); };
        const CEdit all = [=](CAlterTable &c) { renameTable(c), renameColumn(c), retype(c); };
        const CEdit widen = [](CAlterTable &c) { ColumnOf(c, "city").m_size = "40"; };
        const CEdit defaultAndNull = [](CAlterTable &c) {
            ColumnOf(c, "city") = With(ColumnOf(c, "city"), "", "'y'", "1");
        };
        const CEdit addAndDrop = [](CAlterTable &c) {
            c.m_columns.back() = {"", With(Column("score", "integer"), "", "0", "")};
        };
        const QString columns = "id name city born note";
        for (const char *engine : {"SQLite", "PostgreSQL"}) {
            const bool lite = QByteArray(engine) == "SQLite";
            const QString typeOfBorn = lite ? "select group_concat(typeof(born)) from %1"
                                            : "select string_agg(pg_typeof(born)::text, ',') from %1";
            const QString asText = lite ? "text,text,text" : "character varying,character varying,character varying";
            // The stored text keeps what the fixture wrote; only the changed parts differ.
            const QString stored = "select sql from sqlite_master where name = 'customer'";
            const QString head = "CREATE TABLE \"customer\" (id integer primary key, name varchar(20) not null, ";
            auto row = [&](const char *name, const char *table, const CEdit &edit, const QString &names,
                           const QString &catalog, const QString &probe = "", const QString &probed = "") {
                QTest::addRow("%s %s", engine, name) << engine << table << edit << names << catalog << probe << probed;
            };
            row("rename table", "client", renameTable, columns, "customer_by_name(name)");
            row("rename column", "customer", renameColumn, "id full_name city born note",
                "full_name varchar(20), city varchar(20) N, born");
            row("widen", "customer", widen, columns, "name varchar(20), city varchar(40) N, born");
            row("retype", "customer", retype, columns, "born varchar(8) N", typeOfBorn.arg("customer"), asText);
            row("default and not null", "customer", defaultAndNull, columns, "city varchar(20), born",
                lite ? stored : "select column_default from information_schema.columns where column_name = 'city'",
                lite ? head + "city varchar(20) DEFAULT 'y' not null,\n  born integer, note text)"
                     : "'y'::character varying");
            row("add and drop", "customer", addAndDrop, "id name city born score",
                lite ? "score integer N" : "score int4 N", lite ? stored : "select sum(score) from customer",
                lite ? head + "city varchar(20) default 'x',\n  born integer, \"score\" integer DEFAULT 0)" : "0");
            row("rename to a dropped name", "customer",
                [](CAlterTable &c) { c.m_columns.pop_back(), ColumnOf(c, "born").m_name = "note"; },
                "id name city note", lite ? "note integer N" : "note int4 N");
            row("renames and retype", "client", all, "id full_name city born note", "born varchar(8) N, note text N",
                typeOfBorn.arg("client"), asText);
            row("primary key", "visit", [](CAlterTable &c) { c.m_primaryKey = {"day"}; }, "day place",
                lite ? "sqlite_autoindex_visit_1(day)" : "visit_pkey(day)");
        }
    }

    void editsTable()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(CEdit, edit);
        Open(engine);
        CAlterTable change = Unchanged(table == "visit" ? "visit" : "customer");
        edit(change);
        QStringList keptBefore, keptNow; // the columns that keep their values
        for (const CAlteredColumn &column : change.m_columns)
            for (const CColumnDef &before : change.m_before)
                if (column.m_from == before.m_name && column.m_column.m_typeName == before.m_typeName)
                    keptBefore << before.m_name.c_str(), keptNow << column.m_column.m_name.c_str();
        const QStringList before = Values(change.m_table.c_str(), keptBefore);
        const QStringList others = Everything({table, change.m_table.c_str()});

        const int result = ApplySchemaChange(*m_session, change);
        QVERIFY2(result >= 0, m_session->GetErrorText(result).c_str());

        QTEST(Catalog(table, true).join(' '), "columns");
        QFETCH(QString, catalog);
        QVERIFY2(Catalog(table).join(", ").contains(catalog), qPrintable(Catalog(table).join(", ")));
        QCOMPARE(Values(table, keptNow), before);
        QCOMPARE(Everything({table, change.m_table.c_str()}), others);
        QFETCH(QString, probe);
        if (!probe.isEmpty())
            QTEST(Run(probe), "probed");
        if (table != "visit")
            ExpectReferencesWork(table);
    }

    // A refused edit leaves every table, row and name as it was; an edit
    // that changes nothing sends nothing.
    void refusesOrSendsNothing_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<CAlterTable>("change");
        QTest::addColumn<QString>("message");
        CAlterTable nullRows = Unchanged("customer");
        nullRows.m_newName = "client";
        ColumnOf(nullRows, "note").m_nullMark = "1";
        CAlterTable duplicates = Unchanged("visit");
        duplicates.m_primaryKey = {"place"};
        const CAlterTable strict{"reading", "", {{"v", Column("v", "integer")}}, {}, {Column("v", "any")}, {}};
        const std::vector<CColumnDef> tag = {Column("n", "integer"), Column("label", "text")};
        const CAlterTable nullKey{"tag", "", {{"n", tag[0]}, {"label", tag[1]}}, {"n"}, tag, {}};
        CAlterTable letters = Unchanged("customer");
        ColumnOf(letters, "note") = Column("note", "integer");
        QTest::newRow("SQLite nothing") << "SQLite" << Unchanged("customer") << "";
        QTest::newRow("PostgreSQL nothing") << "PostgreSQL" << Unchanged("customer") << "";
        QTest::newRow("SQLite null rows")
            << "SQLite" << nullRows << "The column \"note\" of the table \"customer\" holds NULL in 2 rows";
        QTest::newRow("PostgreSQL null rows")
            << "PostgreSQL" << nullRows << "column \"note\" of relation \"customer\" contains null values";
        QTest::newRow("SQLite duplicates")
            << "SQLite" << duplicates << "The table \"visit\" has 2 rows with the same value in \"place\"";
        QTest::newRow("SQLite rowid from NULL")
            << "SQLite" << nullKey << "The column \"n\" of the table \"tag\" holds NULL in 1 row";
        QTest::newRow("PostgreSQL key over NULL")
            << "PostgreSQL" << nullKey << "column \"n\" of relation \"tag\" contains null";
        QTest::newRow("PostgreSQL duplicates") << "PostgreSQL" << duplicates << "could not create unique index";
        QTest::newRow("SQLite strict")
            << "SQLite" << strict
            << "The column \"v\" of the STRICT table \"reading\" holds values that do not convert to integer in 1 row";
        QTest::newRow("PostgreSQL conversion") << "PostgreSQL" << letters << "invalid input syntax for type integer";
    }

    void refusesOrSendsNothing()
    {
        QFETCH(QString, engine);
        QFETCH(CAlterTable, change);
        QFETCH(QString, message);
        Open(engine);
        const QStringList before = Everything();
        const auto sent = m_session->StatementsSent();
        const int result = ApplySchemaChange(*m_session, change);
        const QString error = QString::fromStdString(m_session->GetErrorText(result));
        QVERIFY2(message.isEmpty() ? result == 0 : result < 0 && error.contains(message), qPrintable(error));
        QVERIFY(!message.isEmpty() || m_session->StatementsSent() == sent);
        QCOMPARE(Everything(), before);
    }

    void createsTableWithKey_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("catalog");
        QTest::newRow("SQLite") << "SQLite" << "a integer N, b text N, sqlite_autoindex_pair_1(a,b)";
        QTest::newRow("PostgreSQL") << "PostgreSQL" << "a int4, b text, pair_pkey(a,b)";
    }

    void createsTableWithKey()
    {
        QFETCH(QString, engine);
        Open(engine);
        const CCreateTable create{"pair", {Column("a", "integer"), Column("b", "text")}, {"a", "b"}};
        QCOMPARE(ApplySchemaChange(*m_session, create), 0);
        QTEST(Catalog("pair").join(", "), "catalog");
        QVERIFY(Exec("insert into pair values (1, 'x')") >= 0);
        QVERIFY(Exec("insert into pair values (1, 'x')") < 0);
    }
};

const char *const kCommonSql = R"SQL(
create table customer (id integer primary key, name varchar(20) not null, city varchar(20) default 'x',
  born integer, note text);
create table orders (id integer primary key, customer_id integer references customer (id), total numeric(8,2));
create table visit (day varchar(10), place varchar(20));
create table tag (n integer, label text);
create index customer_by_name on customer (name);
create view customer_names as select id, name from customer;
insert into customer values (1, 'Ann', 'Oslo', 1990, null), (2, 'Bo', 'Rome', 1985, 'vip'), (3, 'Cy', 'Lima', 2001, null);
insert into orders values (10, 1, 12.5), (11, 3, 7);
insert into visit values ('mon', 'Oslo'), ('tue', 'Oslo'), ('wed', 'Rome');
insert into tag values (1, 'a'), (null, 'b');
)SQL";

const char *const kSqliteSql = R"SQL(
create trigger mark_customer after insert on orders
begin
  update customer set city = 'ordered' where id = new.customer_id and name is not null;
end;
create table reading (v any) strict;
insert into reading values (1), ('high'), ('2');
)SQL";

const char *const kPostgresSql = R"SQL(
create table reading (v text);
create function mark() returns trigger language plpgsql as $$ begin new.city := 'ordered'; return new; end $$;
create trigger mark_customer before update on customer for each row execute function mark();
)SQL";

QTEST_GUILESS_MAIN(TestAlterTable)
#include "tst_altertable.moc"

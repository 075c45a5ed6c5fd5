#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "model/SchemaLoader.h"
#include "tests/support/ColumnDefs.h"
#include "tests/support/MariaDatabase.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"

#include <QtTest>

#include <memory>

using ColumnDefs::Column;
using ColumnDefs::With;
Q_DECLARE_METATYPE(CSchemaChange)

// The schema every case starts from, at the end of the file (moc reads raw
// strings poorly): the same tables on both engines, and a trigger of each
// engine's own kind that writes 'ordered' into customer.city.
extern const char *const kCommonSql;
extern const char *const kSqliteSql;
extern const char *const kPostgresSql;
extern const char *const kMariaSql;

namespace {

const QStringList kTables = {"customer", "orders", "visit", "reading", "tag"};

// The table as the Edit Table dialog shows it, to be edited.
CAlterTable Unchanged(const std::string &table, std::vector<CColumnDef> before = {})
{
    const int length = CDbTypeInfo::Length;
    if (table == "customer")
        before = {Column("id", "integer"), With(Column("name", "varchar", length, "20"), "", "", "1"),
                  With(Column("city", "varchar", length, "20"), "", "'x'", ""), Column("born", "integer"),
                  Column("note", "text")};
    else if (table == "visit")
        before = {Column("day", "varchar", length, "10"), Column("place", "varchar", length, "20")};
    CAlterTable change{table, table, {}, {}, before, {}};
    for (const CColumnDef &column : before)
        change.m_columns.push_back({column.m_name, column});
    if (table == "customer")
        change.m_primaryKey = change.m_keyBefore = {"id"};
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

// Every change runs on the real engine: afterwards the catalog shows what
// was asked, and every row of every table is as it was but for the
// intended conversion; a refused change, or one that changes nothing,
// leaves everything as it was.
class TestAlterTable : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    CMariaDatabase m_maria{m_sandbox};
    std::unique_ptr<CDbSession> m_session;
    bool m_sqlite = true;
    bool m_mariadb = false;

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
        m_mariadb = engine == "MariaDB";
        if (m_mariadb) {
            QVERIFY2(m_maria.Recreate() && m_maria.Run(QString(kCommonSql) + kMariaSql), qPrintable(m_maria.Error()));
            QCOMPARE(m_session->Connect(m_maria.ConnectionString()), 0);
            // A server that is not strict would cut values short: the edit
            // must be refused all the same, and the session's mode stay.
            QCOMPARE(Exec("set session sql_mode = 'ANSI_QUOTES'"), 0);
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
        if (m_mariadb)
            return FirstColumnRows(*m_session, "select concat_ws('|', " + columns.join(", ") + ") from \"" + table
                                                   + "\" order by 1");
        return FirstColumnRows(*m_session, "select row(" + columns.join(", ") + ")::text from \"" + table
                                               + "\" order by 1");
    }

    // The catalog and every row of every table but those left out.
    QStringList Everything(const QStringList &leftOut)
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
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
        QVERIFY2(m_maria.IsReady(), qPrintable(m_maria.Error()));
    }
    void cleanup() { m_session.reset(); }

    // table and columns: the table afterwards and its columns, none when the
    // change is refused; outcome: a part of its catalog entry, or of the
    // refusal; probe: the intended conversion as the engine reports it.
    void appliesOrRefuses_data()
    {
        for (const char *column : {"engine", "table", "columns", "outcome", "probe", "probed"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<CSchemaChange>("change");
        CAlterTable renamed = Unchanged("customer"), column = renamed, widened = renamed, retyped = renamed,
                    defaulted = renamed, added = renamed, freed = renamed, visit = Unchanged("visit");
        renamed.m_newName = "client";
        ColumnOf(column, "name").m_name = "full_name";
        ColumnOf(widened, "city").m_size = "40";
        ColumnOf(retyped, "born") = Column("born", "varchar", CDbTypeInfo::Length, "8");
        CAlterTable all = retyped;
        all.m_newName = "client", ColumnOf(all, "name").m_name = "full_name";
        ColumnOf(defaulted, "city") = With(ColumnOf(defaulted, "city"), "", "'y'", "1");
        added.m_columns.back() = {"", With(Column("score", "integer"), "", "0", "")};
        freed.m_columns.pop_back(), ColumnOf(freed, "born").m_name = "note";
        CAlterTable keyed = visit, duplicates = visit, nulls = renamed, letters = Unchanged("customer");
        keyed.m_primaryKey = {"day"};
        duplicates.m_primaryKey = {"place"};
        ColumnOf(nulls, "note").m_nullMark = "1";
        ColumnOf(letters, "note") = Column("note", "integer");
        CAlterTable nullKey = Unchanged("tag", {Column("n", "integer"), Column("label", "text")});
        nullKey.m_primaryKey = {"n"};
        CAlterTable town = Unchanged("customer");
        ColumnOf(town, "city").m_name = "town";
        CAlterTable tags = Unchanged("tag", {Column("n", "integer"), Column("label", "text")});
        tags.m_newName = "tags";
        CAlterTable strict = Unchanged("reading", {Column("v", "any")});
        ColumnOf(strict, "v") = Column("v", "integer");
        CAlterTable narrow = Unchanged("customer");
        ColumnOf(narrow, "city").m_size = "2";
        const CCreateTable pair{"pair", {Column("a", "integer"), Column("b", "text")}, {"a", "b"}};
        // MariaDB refuses renaming customer, which a view names (above), and
        // keys no text column without a prefix length.
        CAlterTable mariaNulls = Unchanged("customer");
        ColumnOf(mariaNulls, "note").m_nullMark = "1";
        const CCreateTable mariaPair{"pair", {Column("a", "integer"), Column("b", "varchar", CDbTypeInfo::Length, "9")},
                                     {"a", "b"}};

        const QString customer = "id name city born note";
        const QString stored = "select sql from sqlite_master where name = 'customer'";
        const QString head = "CREATE TABLE \"customer\" (id integer primary key, name varchar(20) not null, ";
        for (const char *engine : {"SQLite", "PostgreSQL", "MariaDB"}) {
            const bool lite = QByteArray(engine) == "SQLite";
            const bool maria = QByteArray(engine) == "MariaDB";
            // The engine's own word for what the others share.
            auto pick = [maria](const QString &others, const QString &mariadb) { return maria ? mariadb : others; };
            // MariaDB leaves views as they are on a rename; the view names
            // customer and its columns id and name.
            const QString view = "The view \"customer_names\" names the ";
            const QString typeOfBorn = pick(lite ? "select group_concat(typeof(born)) from %1"
                                                 : "select string_agg(pg_typeof(born)::text, ',') from %1",
                                            "select group_concat(data_type) from information_schema.columns where "
                                            "table_schema = database() and table_name = '%1' and column_name = 'born'");
            const QString text = pick(lite ? "text,text,text" : "character varying,character varying,character varying",
                                      "varchar");
            const QString integer = lite ? "integer N" : pick("int4 N", "int N");
            auto row = [&](const char *name, const QString &table, const QString &columns, const QString &outcome,
                           const CSchemaChange &change, const QString &probe = "", const QString &probed = "") {
                QTest::addRow("%s %s", engine, name) << engine << table << columns << outcome << probe << probed
                                                     << change;
            };
            // A refusal on MariaDB only, where the others make the change.
            auto refusedOnMaria = [&](const char *name, const QString &table, const QString &columns,
                                      const QString &outcome, const CSchemaChange &change, const QString &refusal,
                                      const QString &probe = "", const QString &probed = "") {
                if (maria)
                    row(name, "", "", refusal, change);
                else
                    row(name, table, columns, outcome, change, probe, probed);
            };
            refusedOnMaria("rename table", "client", customer, "customer_by_name(name)", renamed,
                           view + "table \"customer\"");
            refusedOnMaria("rename column", "customer", "id full_name city born note", "full_name varchar(20), city",
                           column, view + "column \"name\"");
            row("widen", "customer", customer, "name varchar(20), city varchar(40) N, born", widened);
            row("retype", "customer", customer, "born varchar(8) N", retyped, typeOfBorn.arg("customer"), text);
            row("default and not null", "customer", customer, "city varchar(20), born", defaulted,
                lite ? stored
                     : pick("select column_default from information_schema.columns where column_name = 'city'",
                            "select concat(column_default, ' ', is_nullable) from information_schema.columns "
                            "where table_schema = database() and column_name = 'city'"),
                lite ? head + "city varchar(20) DEFAULT 'y' not null,\n  born integer, note text)"
                     : pick("'y'::character varying", "'y' NO"));
            row("add and drop", "customer", "id name city born score", "score " + integer, added,
                lite ? stored : "select sum(score) from customer",
                lite ? head + "city varchar(20) default 'x',\n  born integer, \"score\" integer DEFAULT 0)" : "0");
            row("rename to a dropped name", "customer", "id name city note", "note " + integer, freed);
            refusedOnMaria("renames and retype", "client", "id full_name city born note", "born varchar(8) N", all,
                           view + "table \"customer\"", typeOfBorn.arg("client"), text);
            row("primary key", "visit", "day place",
                lite ? "sqlite_autoindex_visit_1(day)" : pick("visit_pkey(day)", "PRIMARY(day)"), keyed);
            row("create with a key", "pair", "a b",
                lite ? "a integer N, b text N, sqlite_autoindex_pair_1(a,b)"
                     : pick("a int4, b text, pair_pkey(a,b)", "a int, b varchar(9), PRIMARY(a,b)"),
                maria ? mariaPair : pair);
            row("nothing", "", "", "", Unchanged("customer"));
            row("null rows", "", "",
                lite ? "The column \"note\" of the table \"customer\" holds NULL in 2 rows"
                     : pick("column \"note\" of relation \"customer\" contains null values", "Data truncated"),
                maria ? mariaNulls : nulls);
            row("duplicates", "", "",
                lite ? "The table \"visit\" has 2 rows with the same value in \"place\""
                     : pick("could not create unique index", "Duplicate entry 'Oslo'"),
                duplicates);
            row("key over NULL", "", "",
                lite ? "The column \"n\" of the table \"tag\" holds NULL in 1 row"
                     : pick("column \"n\" of relation \"tag\" contains null", "Data truncated"),
                nullKey);
            if (lite)
                row("strict", "", "", "The column \"v\" of the STRICT table \"reading\" holds values that do not "
                                      "convert to integer in 1 row", strict);
            else
                row("conversion", "", "", pick("invalid input syntax for type integer", "Truncated incorrect INTEGER value"),
                    letters);
            // SQLite rewrites a trigger's body on a rename (the renamed name
            // above is in one); PostgreSQL and MariaDB do not, so they refuse.
            // The restated columns keep what the grid does not show.
            CAlterTable counter = Unchanged("counter", {With(Column("id", "int"), "", "", "1"),
                                                        Column("label", "varchar", CDbTypeInfo::Length, "9")});
            ColumnOf(counter, "id").m_typeName = "bigint", ColumnOf(counter, "label").m_size = "20";
            if (maria)
                row("keep auto_increment and comments", "counter", "id label", "label varchar(20)", counter,
                    "select group_concat(concat_ws(':', column_type, extra, column_comment)) from "
                    "information_schema.columns where table_schema = database() and table_name = 'counter'",
                    "bigint(20):auto_increment:,varchar(20)::it's shown");
            // A generated column cannot be restated from the grid; its
            // neighbour can.
            CAlterTable generated = Unchanged("gen", {Column("a", "int"), Column("b", "int")}), beside = generated;
            ColumnOf(generated, "b").m_typeName = "bigint", ColumnOf(beside, "a").m_typeName = "bigint";
            if (maria) {
                row("generated", "", "", "is generated", generated);
                row("beside generated", "gen", "a b", "a bigint", beside, "select @@session.sql_mode", "ANSI_QUOTES");
                row("narrowing", "", "", "Data truncated for column 'city'", narrow);
            }
            if (!lite)
                row("rename a column a trigger names", "", "",
                    "The trigger \"mark_customer\" of the table \"customer\" names the column \"city\"", town);
            if (!lite)
                row("rename a table another table's trigger names", "", "",
                    "The trigger \"count_tags\" of the table \"visit\" names the table \"tag\"", tags);
        }
    }

    void appliesOrRefuses()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QString, outcome);
        QFETCH(CSchemaChange, change);
        Open(engine);
        QStringList keptBefore, keptNow; // the columns whose values stay as they are
        const auto *alter = std::get_if<CAlterTable>(&change);
        for (size_t i = 0; alter && i < alter->m_columns.size(); ++i)
            for (const CColumnDef &before : alter->m_before)
                if (alter->m_columns[i].m_from == before.m_name
                    && alter->m_columns[i].m_column.m_typeName == before.m_typeName)
                    keptBefore << before.m_name.c_str(), keptNow << alter->m_columns[i].m_column.m_name.c_str();
        const QString edited = alter ? alter->m_table.c_str() : "";
        const QStringList left = table.isEmpty() ? QStringList() : QStringList{table, edited};
        const QStringList values = alter ? Values(edited, keptBefore) : QStringList();
        const QStringList others = Everything(left);
        const auto sent = m_session->StatementsSent();

        const int result = ApplySchemaChange(*m_session, change);
        const bool sentNothing = m_session->StatementsSent() == sent;
        const QString error = QString::fromStdString(m_session->GetErrorText(result));

        QCOMPARE(Everything(left), others);
        if (table.isEmpty()) {
            QVERIFY2(outcome.isEmpty() ? result == 0 : result < 0 && error.contains(outcome), qPrintable(error));
            QVERIFY(!outcome.isEmpty() || sentNothing);
            return;
        }
        QVERIFY2(result >= 0, qPrintable(error));
        QTEST(Catalog(table, true).join(' '), "columns");
        QVERIFY2(Catalog(table).join(", ").contains(outcome), qPrintable(Catalog(table).join(", ")));
        QCOMPARE(alter ? Values(table, keptNow) : QStringList(), values);
        QFETCH(QString, probe);
        if (!probe.isEmpty())
            QTEST(Run(probe), "probed");
        if (table == "customer" || table == "client")
            ExpectReferencesWork(table);
        if (table == "pair")
            QVERIFY(Exec("insert into pair values (1, 'x')") >= 0 && Exec("insert into pair values (1, 'x')") < 0);
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
create function count_tags() returns trigger language plpgsql as $$ begin perform count(*) from tag; return new; end $$;
create trigger count_tags before insert on visit for each row execute function count_tags();
)SQL";

const char *const kMariaSql = R"SQL(
create table reading (v text);
create trigger mark_customer before update on customer for each row set new.city = 'ordered';
create trigger count_tags before insert on visit for each row set @tags = (select count(*) from tag);
create table counter (id int auto_increment primary key, label varchar(9) comment 'it''s shown');
insert into counter (label) values ('a'), ('b');
create table gen (a int, b int as (a + 1));
)SQL";

QTEST_GUILESS_MAIN(TestAlterTable)
#include "tst_altertable.moc"

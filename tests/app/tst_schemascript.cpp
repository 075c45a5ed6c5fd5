#include "app/CommandLineTool.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "model/SchemaScript.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SampleDiagram.h"
#include "tests/support/SessionRows.h"

#include <QtTest>

namespace {

struct CRun
{
    int status = -1;
    QString err;
};

CRun RunTool(const QStringList &arguments)
{
    CRun run;
    QString out;
    QTextStream outStream(&out), errStream(&run.err);
    run.status = CommandLineTool::Run(arguments, outStream, errStream);
    return run;
}

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Everything the engine's own catalog says of a SQLite file's schema:
// columns with declared types, defaults, null rules and keys; indexes with
// origin, uniqueness, condition, columns, direction and collation; foreign
// keys with rules; triggers as stored; tables with or without rowids.
const char *const kSqliteCatalog =
    "select m.name, t.* from sqlite_master m join pragma_table_info(m.name) t where m.type = 'table';"
    "select m.name, i.* from sqlite_master m join pragma_index_list(m.name) i where m.type = 'table';"
    "select i.name, i.tbl_name, x.* from sqlite_master i join pragma_index_xinfo(i.name) x "
    "where i.type = 'index';"
    "select i.name, substr(i.sql, instr(upper(i.sql), ' WHERE ') + 7) from sqlite_master i "
    "where i.type = 'index' and i.sql like '% where %';"
    "select m.name, f.* from sqlite_master m join pragma_foreign_key_list(m.name) f where m.type = 'table';"
    "select name, tbl_name, sql from sqlite_master where type = 'trigger';"
    "select name, type, ncol, wr, strict from pragma_table_list where schema = 'main';";

// The same of a PostgreSQL schema, as the server writes it back.
const QStringList kPostgresCatalog = {
    "select c.relname || '|' || a.attname || '|' || format_type(a.atttypid, a.atttypmod) || '|' "
    "|| a.attnotnull || '|' || a.attidentity || '|' || coalesce(pg_get_expr(d.adbin, d.adrelid), '~') "
    "from pg_attribute a "
    "join pg_class c on c.oid = a.attrelid left join pg_attrdef d on d.adrelid = a.attrelid "
    "and d.adnum = a.attnum where c.relnamespace = 'public'::regnamespace and c.relkind = 'r' "
    "and a.attnum > 0 and not a.attisdropped",
    "select conrelid::regclass || '|' || conname || '|' || pg_get_constraintdef(oid) from pg_constraint "
    "where connamespace = 'public'::regnamespace",
    "select indexdef from pg_indexes where schemaname = 'public'",
    "select pg_get_triggerdef(t.oid) || '|' || p.prosrc from pg_trigger t join pg_proc p on p.oid = t.tgfoid "
    "where not t.tgisinternal"};

// What must survive the change of engine: every table's columns, primary
// key, unique constraints, indexes and foreign keys, one line each. An index
// with a condition or an expression is written in its engine's own SQL and
// does not carry over.
const QStringList kSqliteNeutral = {
    "select 'column ' || m.name || '.' || t.name from sqlite_master m join pragma_table_info(m.name) t "
    "where m.type = 'table' and m.name not like 'sqlite%'",
    "select 'key ' || m.name || ': ' || coalesce((select group_concat(name) from (select name from "
    "pragma_table_info(m.name) where pk > 0 order by pk)), '') from sqlite_master m "
    "where m.type = 'table' and m.name not like 'sqlite%'",
    "select case i.origin when 'c' then 'index ' || i.name else 'unique' end || ' on ' || m.name || ': ' "
    "|| (select group_concat(name) from (select name from pragma_index_info(i.name) order by seqno)) "
    "from sqlite_master m join pragma_index_list(m.name) i "
    "where m.type = 'table' and m.name not like 'sqlite%' and i.origin <> 'pk' "
    "and i.partial = 0 and not exists (select 1 from pragma_index_info(i.name) where cid < 0)",
    "select 'key ' || m.name || ' ' || group_concat(f.\"from\") || ' -> ' || lower(f.\"table\") || ' ' "
    "|| group_concat(coalesce(f.\"to\", (select name from pragma_table_info(f.\"table\") "
    "where pk = f.seq + 1))) "
    "|| ' ' || f.on_delete from sqlite_master m join pragma_foreign_key_list(m.name) f "
    "where m.type = 'table' and m.name not like 'sqlite%' group by m.name, f.id"};
const QStringList kPostgresNeutral = {
    "select 'column ' || c.relname || '.' || a.attname from pg_attribute a "
    "join pg_class c on c.oid = a.attrelid "
    "where c.relnamespace = 'public'::regnamespace and c.relkind = 'r' and a.attnum > 0",
    "select 'key ' || c.relname || ': ' || coalesce((select string_agg(a.attname, ',' order by k.n) from "
    "pg_index i cross join generate_subscripts(i.indkey, 1) k(n) join pg_attribute a on a.attrelid = c.oid "
    "and a.attnum = i.indkey[k.n] where i.indrelid = c.oid and i.indisprimary), '') from pg_class c "
    "where c.relnamespace = 'public'::regnamespace and c.relkind = 'r'",
    "select case when k.oid is null then 'index ' || x.relname else 'unique' end || ' on ' || t.relname "
    "|| ': ' || (select string_agg(a.attname, ',' order by n.n) from generate_subscripts(i.indkey, 1) n(n) "
    "join pg_attribute a on a.attrelid = t.oid and a.attnum = i.indkey[n.n]) from pg_index i "
    "join pg_class x on x.oid = i.indexrelid join pg_class t on t.oid = i.indrelid left join pg_constraint k "
    "on k.conindid = i.indexrelid where t.relnamespace = 'public'::regnamespace and not i.indisprimary "
    "and i.indpred is null and i.indexprs is null",
    "select 'key ' || (select relname from pg_class where oid = c.conrelid) || ' ' "
    "|| (select string_agg(a.attname, ',' order by k.n) from "
    "generate_subscripts(c.conkey, 1) k(n) join pg_attribute a on a.attrelid = c.conrelid "
    "and a.attnum = c.conkey[k.n]) || ' -> ' "
    "|| (select lower(relname) from pg_class where oid = c.confrelid) || ' ' "
    "|| (select string_agg(a.attname, "
    "',' order by k.n) from generate_subscripts(c.confkey, 1) k(n) join pg_attribute a on a.attrelid = "
    "c.confrelid and a.attnum = c.confkey[k.n]) || ' ' || case c.confdeltype when 'c' then 'CASCADE' "
    "when 'n' then 'SET NULL' when 'r' then 'RESTRICT' else 'NO ACTION' end from pg_constraint c "
    "where c.contype = 'f' and c.connamespace = 'public'::regnamespace"};

// Names with quotes and spaces, a two-column key, a self-reference, a
// descending and a partial index, a CHECK and a UNIQUE constraint, and a
// trigger with its function.
const char *const kPostgresSchema = R"(
create table "Order ""Lines""" (
  "order no" integer not null,
  "line no" integer not null,
  "item name" varchar(40) not null default 'none',
  qty numeric(10,2) check (qty > 0),
  primary key ("order no", "line no"));
create table part (
  part_id integer constraint "part key" primary key,
  parent_id integer references part (part_id) on delete set null,
  name text not null unique,
  created timestamp default now());
create table "Line Part" (
  "order no" integer, "line no" integer, part_id integer, line_part_id serial primary key,
  foreign key ("order no", "line no") references "Order ""Lines""" on delete cascade,
  constraint "uses part" foreign key (part_id) references part);
create index "parts by name" on part (name desc, part_id);
create index open_parts on part (parent_id) where parent_id is not null;
create function part_named() returns trigger language plpgsql as $$
begin new.name := trim(new.name); return new; end $$;
create trigger part_named before insert or update on part for each row execute function part_named();
create table hen (id integer generated always as identity primary key, egg_id integer);
create table egg (id integer primary key, hen_id integer references hen);
alter table hen add foreign key (egg_id) references egg;
)";

// The same on SQLite, with what only SQLite has: AUTOINCREMENT, COLLATE,
// an index on an expression, keys written on their columns.
const char *const kSqliteSchema = R"(
create table "Order ""Lines""" (
  "order no" integer not null, "line no" integer not null,
  "item name" varchar(40) not null collate nocase default 'none',
  qty numeric(10,2) default (1 + 1) check (qty > 0), "added on" date default (date('now')),
  primary key ("order no", "line no"));
create table part (
  part_id integer primary key autoincrement,
  parent_id integer references part on delete set null,
  name text not null unique,
  created timestamp default current_timestamp);
create table "Line Part" (
  "order no" integer, "line no" integer, part_id integer,
  foreign key ("order no", "line no") references "Order ""Lines""" on delete cascade,
  constraint "uses part" foreign key (part_id) references part);
create index "parts by name" on part (name desc, part_id);
create index open_parts on part (parent_id) where parent_id is not null;
create unique index lower_names on part (lower(name));
create trigger part_named before insert on part begin select raise(abort, 'no name') where new.name = ''; end;
create table hen (id integer primary key, egg_id integer references egg);
create table egg (id integer primary key, hen_id integer references HEN);
create table tag (name text primary key, note text) without rowid;
create table pair (a int not null, b int not null, primary key (b, a));
create table "no key" (a int not null, b int not null, unique (b, a));
)";

} // namespace

class TestSchemaScript : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CPostgresDatabase m_postgres{m_sandbox, QStringLiteral("PgSource")};
    CPostgresDatabase m_copy{m_sandbox, QStringLiteral("PgCopy")};
    CAdapterList m_adapters = MakeDbmsAdapters();
    QTemporaryDir m_files;

    QStringList Catalog(const QString &dsn, const QStringList &queries)
    {
        CDbSession session(m_adapters);
        if (session.Connect(COdbcSandbox::ConnectionString(dsn)) < 0)
            return {"cannot connect to " + dsn};
        QStringList rows;
        for (const QString &query : queries)
            rows += FirstColumnRows(session, query);
        rows.sort();
        return rows;
    }
    QStringList Catalog(const QString &dsn, bool neutral)
    {
        if (dsn.startsWith("Pg"))
            return Catalog(dsn, neutral ? kPostgresNeutral : kPostgresCatalog);
        if (neutral)
            return Catalog(dsn, kSqliteNeutral);
        QStringList rows = QuerySqlite(m_sandbox.DatabasePath(dsn), kSqliteCatalog).split('\n');
        rows.sort();
        return rows;
    }

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
        QFile roundcube(QStringLiteral(VELLUMIX_SOURCE_DIR "/tests/data/roundcube-sqlite.sql"));
        QVERIFY(roundcube.open(QIODevice::ReadOnly));
        m_sandbox.AddSqliteSource("Roundcube", QString::fromUtf8(roundcube.readAll()));
        m_sandbox.AddSqliteSource("Empty", "pragma user_version = 1;\n");
        m_sandbox.AddSqliteSource("Keys", kSqliteSchema);
        m_sandbox.AddSqliteSource("Pervasive", ExampleDatabaseSql());
        QVERIFY2(m_postgres.IsReady() && m_copy.IsReady(), qPrintable(m_postgres.Error()));
        QVERIFY2(m_postgres.Run(kPostgresSchema), qPrintable(m_postgres.Error()));
    }

    // The script of a database, run on an empty one, builds the same
    // catalog: exactly on the same engine, every table, column, key and
    // index on the other.
    void theScriptBuildsTheSameCatalog_data()
    {
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QString>("sourceDsn");
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("copyDsn");
        QTest::newRow("sample on SQLite") << QStringList{CSampleDiagram::DiagramPath()} << "VellumixSample"
                                         << QString() << "SampleCopy";
        QTest::newRow("Roundcube's schema on SQLite")
            << QStringList{"--dsn", "Roundcube"} << "Roundcube" << "sqlite" << "RoundcubeCopy";
        QTest::newRow("keys and names on SQLite") << QStringList{"--dsn", "Keys"} << "Keys" << QString()
                                                  << "KeysCopy";
        QTest::newRow("keys and names on PostgreSQL")
            << QStringList{"--dsn", "PgSource"} << "PgSource" << QString() << "PgCopy";
        QTest::newRow("keys and names from SQLite to PostgreSQL")
            << QStringList{"--dsn", "Keys"} << "Keys" << "postgres" << "PgCopy";
        QTest::newRow("keys and names from PostgreSQL to SQLite")
            << QStringList{"--dsn", "PgSource"} << "PgSource" << "sqlite" << "FromPostgres";
        QTest::newRow("sample from SQLite to PostgreSQL")
            << QStringList{CSampleDiagram::DiagramPath()} << "VellumixSample" << "postgres" << "PgCopy";
    }
    void theScriptBuildsTheSameCatalog()
    {
        QFETCH(QStringList, source);
        QFETCH(QString, sourceDsn);
        QFETCH(QString, dialect);
        QFETCH(QString, copyDsn);
        const QString output = m_files.filePath(copyDsn + ".sql");
        QStringList arguments = QStringList{"--export-sql"} + source + QStringList{output};
        if (!dialect.isEmpty())
            arguments += {"--dialect", dialect};
        const CRun run = RunTool(arguments);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString script = ReadText(output);
        QVERIFY2(!script.contains(QRegularExpression(" $", QRegularExpression::MultilineOption)),
                 "a line of the script ends in a blank");

        if (copyDsn.startsWith("Pg")) {
            QVERIFY(m_copy.Recreate());
            QVERIFY2(m_copy.Run(script), qPrintable(m_copy.Error()));
        } else {
            m_sandbox.AddSqliteSource(copyDsn, script);
        }
        const bool neutral = sourceDsn.startsWith("Pg") != copyDsn.startsWith("Pg");
        const QStringList expected = Catalog(sourceDsn, neutral);
        QVERIFY(expected.size() > 10);
        QCOMPARE(Catalog(copyDsn, neutral), expected);
    }

    // What does not carry over to the other engine is a comment, never SQL;
    // what means the same on both carries over.
    void whatDoesNotCarryOverIsAComment()
    {
        const QString output = m_files.filePath("converted.sql");
        const QString sample = CSampleDiagram::DiagramPath();
        QCOMPARE(RunTool({"--export-sql", sample, output, "--dialect", "postgres"}).status, 0);
        const QString script = ReadText(output);
        for (const char *text : {"-- DEFAULT date('now')",
                                 "-- CREATE TRIGGER product_price_not_negative before update of unit_price"})
            QVERIFY2(script.contains(text), text);
        // A CHECK of plain comparisons means the same on both engines.
        QVERIFY(script.contains("\n    \"unit_price\" numeric(10,2) NOT NULL CHECK (unit_price >= 0)\n);"));
    }

    // Pervasive.SQL's definitions cannot be read here: a refusal, no script.
    void anEngineWithoutDefinitionsIsRefused()
    {
        const CAdapterList adapters = AliasedPervasiveAdapter();
        CDbSession session(adapters);
        QCOMPARE(session.Connect(COdbcSandbox::ConnectionString("Pervasive")), 0);
        std::string script, error;
        QVERIFY(!SchemaScript::Export(session, {"CUSTOMER"}, nullptr, script, error));
        QVERIFY2(error.find("A schema script cannot be written") == 0, error.c_str());
        QCOMPARE(script, std::string());
    }

    void failuresWriteNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown dialect") << QStringList{"--export-sql", "--dsn", "VellumixSample", "@OUT@",
                                                        "--dialect", "oracle"}
                                         << 2 << "--dialect is postgres or sqlite";
        QTest::newRow("dialect without a script")
            << QStringList{"--export", "a.vmx", "@OUT@", "--dialect", "sqlite"} << 2
            << "goes with --export-sql";
        QTest::newRow("no output") << QStringList{"--export-sql", "a.vmx"} << 2 << "exactly one file";
        QTest::newRow("both exports") << QStringList{"--export-sql", "a.vmx", "--export", "b.vmx", "@OUT@"}
                                      << 2 << "cannot go together";
        QTest::newRow("missing diagram") << QStringList{"--export-sql", "no-such.vmx", "@OUT@"} << 1
                                         << "cannot read no-such.vmx";
        QTest::newRow("unknown source") << QStringList{"--export-sql", "--dsn", "NoSuch", "@OUT@"} << 1
                                        << "cannot connect to the data source NoSuch";
        QTest::newRow("source without tables") << QStringList{"--export-sql", "--dsn", "Empty", "@OUT@"} << 1
                                               << "nothing to write: the data source Empty has no tables";
        QTest::newRow("unwritable output")
            << QStringList{"--export-sql", "--dsn", "VellumixSample", "@DIR@"} << 1 << "cannot write";
    }
    void failuresWriteNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        arguments.replaceInStrings("@OUT@", folder.filePath("out.sql"));
        arguments.replaceInStrings("@DIR@", folder.path());
        const CRun run = RunTool(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.startsWith("vellumix: ") && run.err.contains(reason) && run.err.count('\n') == 1,
                 qPrintable(run.err));
        const QDir::Filters files = QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(folder.path()).entryList(files), QStringList());
    }
};

QTEST_MAIN(TestSchemaScript)
#include "tst_schemascript.moc"

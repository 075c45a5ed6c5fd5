#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "model/SchemaLoader.h"
#include "tests/support/MariaDatabase.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"

#include <QtTest>

#include <memory>

namespace {

// Names that need quoting and escaping (quotes, blanks, % and _, letters
// beyond ASCII, mixed case, a_b beside aXb, which a search pattern would
// mix up), keys of two columns, a self-reference, descending, expression,
// partial and unique indexes, tables without a key or with their key
// declared apart from its columns, and triggers.
const char *const kSqliteSchema = R"SQL(
create table "Parent ""Q"" %_x" ("Id" integer primary key, "naïve col" varchar(40) not null default 'it''s',
  b numeric(10,2), c text default (1+2), d blob, e "my type"(3), f datetime, g, h decimal(5),
  i timestamp(3), j int unsigned, k bigint, l boolean, m nvarchar(300), n varbinary(300), o interval,
  p "text" default "q", q real default 1.5, r numeric(10 ,2), s varchar( 40 ), unique (b, c));
create table "child table" (id int, pid integer references "Parent ""Q"" %_x" on delete cascade,
  x1 int, x2 integer, "A%B" char(8), primary key (x2, pid),
  foreign key (x1, x2) references "child table" (x2, pid) on delete set null);
create index "Ix ""desc""" on "child table" ("A%B" desc, x1);
create unique index ix_expr on "child table" (lower("A%B"));
create index ix_part on "child table" (id) where id > 0;
create table selfref (id integer not null primary key desc, parent integer references selfref);
create table nokey (a, b, c unique, unique (a, b));
create unique index nokey_b on nokey (b);
create table "Ünïcode Tábla" ("Größe" int, "Name" text, primary key ("Name"));
create table a_b (x int);
create table aXb (y int, z INTEGER, primary key (z));
create table wr (k text primary key, v) without rowid;
create trigger "trg ""1""" after insert on selfref begin select 1; end;
create trigger trg2 before delete on "CHILD TABLE" begin select 1; end;
)SQL";

const char *const kPostgresSchema = R"SQL(
create function touch() returns trigger language plpgsql as $$ begin return new; end $$;
create table "Parent ""Q"" %_x" ("Id" serial primary key, "naïve col" varchar(40) not null default 'it''s',
  b numeric(10,2), c text default 'x', d bytea, f timestamp, g char(8), h boolean, i date,
  j bigint, k uuid, l varchar(300), m double precision, unique (b, c));
create table "child table" (id int, pid int references "Parent ""Q"" %_x" on delete cascade,
  x1 int, x2 int, "A%B" char(8), primary key (x2, pid),
  foreign key (x1, x2) references "child table" (x2, pid) on delete set null);
create index "Ix ""desc""" on "child table" ("A%B" desc, x1);
create unique index ix_expr on "child table" (lower("A%B"));
create index ix_part on "child table" (id) where id > 0;
create table selfref (id int primary key, parent int references selfref);
create table "Ünïcode Tábla" ("Größe" int, "Name" text primary key);
create table a_b (x int);
create table "aXb" (y int);
create trigger "trg ""1""" after insert on selfref for each row execute function touch();
create trigger trg2 before delete on "child table" for each row execute function touch();
create type mood as enum ('a', 'b');
create domain amount as numeric(12,2);
create table types (a int8, b bool, c char, d date, e numeric, f float8, g int4, h bytea, i text,
  j float4, k int2, l time, m timestamptz, n varchar, o uuid, p bigserial, q boolean default true,
  r decimal(7,3), s double precision, t interval, u json, v jsonb, w real, x serial, y smallint,
  z timestamp, c2 char(300), n2 varchar(255), n3 varchar(256), e2 numeric(5), l2 time(3),
  z2 timestamp(0), b1 bit, b5 bit(5), ai int[], en mood, am amount, id int generated always as identity,
  xm xml, ip inet, lt text);
create table odd (iv interval day to second(2), vb varbit(8), nm name);
create table nokey (a int, b int);
create unique index nokey_pkey on "aXb" (y);
)SQL";

// MariaDB's own types and sizes beside the same shapes; a table without a
// primary key whose unique index of NOT NULL columns the driver reports as
// its key; case twins, keys out of column order.
const char *const kMariaSchema = R"SQL(
create table `Parent "Q" %_x` (`Id` int unsigned auto_increment primary key,
  `naïve col` varchar(40) not null default 'it''s', b decimal(10,2), c text default 'x', d blob,
  e enum('a','b''c') default 'a', f datetime(3), g char(8), h tinyint(1), i date, j bigint unsigned,
  k int(5) unsigned zerofill, l varchar(300), m double, n float(7,3), o set('x','y'), q bit(5),
  r json, s year, t mediumint, u varbinary(20), v binary(4), w time, y decimal(5) unsigned,
  z timestamp not null default current_timestamp, unique (b, c(10)));
create table `child table` (id int unsigned, pid int unsigned, x1 int, x2 int, `A%B` char(8),
  primary key (x2, pid), foreign key (pid) references `Parent "Q" %_x` (`Id`) on delete cascade,
  constraint `fk``self` foreign key (x1, id) references `child table` (x2, pid) on delete set null);
create index `Ix "desc"` on `child table` (`A%B` desc, x1);
create index ix_pref on `child table` (`A%B`(3));
create table nokey (a int, b int not null, c int not null, unique (a, b), unique (c, b));
create table `Ünïcode Tábla` (`Größe` int, `Name` varchar(10), primary key (`Name`));
create table a_b (x int);
create table aXb (y int, z int primary key);
create table `a\b` (w int);
create table Orders (a int, b int, c int, primary key (c, a), key ob (b));
create table ORDERS (x int, y int not null, primary key (y), unique key xo (x));
create trigger `trg "1"` after insert on nokey for each row set @x = 1;
create trigger trg2 before delete on `child table` for each row set @y = 2;
)SQL";

QString Joined(const std::vector<std::string> &values)
{
    QStringList texts;
    for (const std::string &value : values)
        texts << QString::fromStdString(value);
    return texts.join('|');
}

// The first difference of two loads, for the failure message.
QString Difference(const std::vector<CTableSchema> &bulk, const std::vector<CTableSchema> &perTable)
{
    if (bulk.size() != perTable.size())
        return QString("%1 tables against %2").arg(bulk.size()).arg(perTable.size());
    for (size_t t = 0; t < bulk.size(); ++t) {
        const CTableSchema &a = bulk[t], &b = perTable[t];
        const QString table = QString::fromStdString(b.m_name) + ": ";
        for (size_t c = 0; c < std::min(a.m_columns.size(), b.m_columns.size()); ++c)
            if (!(a.m_columns[c] == b.m_columns[c])) {
                const auto text = [](const CSchemaColumn &x) {
                    const CColumnFacts &f = x.m_facts;
                    return QString::fromStdString(x.m_name + " " + f.m_typeName + " " + f.m_dataType + " "
                                                  + f.m_precision + " " + f.m_length + " " + f.m_scale
                                                  + " " + f.m_nullable + " [" + x.m_default + "]");
                };
                return table + text(a.m_columns[c]) + " against " + text(b.m_columns[c]);
            }
        if (a.m_columns.size() != b.m_columns.size())
            return table + "column count";
        if (!(a.m_indexes == b.m_indexes))
            return table + "indexes";
        if (a.m_primaryKey != b.m_primaryKey)
            return table + "primary key";
        if (a.m_triggers != b.m_triggers)
            return table + "triggers";
    }
    return {};
}

const char *const kMariaKeys = "select concat(TABLE_NAME, '|', group_concat(COLUMN_NAME order by ORDINAL_POSITION "
    "separator '|')) from information_schema.KEY_COLUMN_USAGE where TABLE_SCHEMA = database() "
    "and CONSTRAINT_NAME = 'PRIMARY' group by binary TABLE_NAME order by binary TABLE_NAME";

// Each table's key as the engine declares it, in the key's order.
const char *const kSqliteKeys = "select m.name || '|' || (select group_concat(name, '|') from (select name "
    "from pragma_table_info(m.name) where pk > 0 order by pk)) from sqlite_master m where m.type = 'table' "
    "and exists (select 1 from pragma_table_info(m.name) where pk > 0) order by m.name";

} // namespace

// The model read with the engine's few queries over the whole catalog is
// the model read with the ODBC catalog functions table by table.
class TestCatalogRead : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    CPostgresDatabase m_postgres{m_sandbox};
    CMariaDatabase m_maria{m_sandbox};
    std::unique_ptr<CDbSession> m_sqlite;
    std::unique_ptr<CDbSession> m_sqliteBigInt;
    std::unique_ptr<CDbSession> m_server;
    std::unique_ptr<CDbSession> m_serverBools;
    std::unique_ptr<CDbSession> m_mariaSession;

    CDbSession &Session(const QString &engine)
    {
        if (engine == "PostgreSQL, BoolsAsChar=0")
            return *m_serverBools;
        if (engine == "MariaDB")
            return *m_mariaSession;
        return engine == "SQLite" ? *m_sqlite : engine == "SQLite, BigInt" ? *m_sqliteBigInt : *m_server;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_postgres.IsReady(), qPrintable(m_postgres.Error()));
        const QString path = m_sandbox.AddSqliteSource("Odd", kSqliteSchema);
        // The driver's option that reports every integer column as a BIGINT.
        m_sandbox.AddDataSource("OddBig", "Driver=SQLite3\nDatabase=" + path + "\nBigInt=yes\n");
        QVERIFY2(m_postgres.Run(kPostgresSchema), qPrintable(m_postgres.Error()));
        // A default of more than 255 bytes, which the driver does not hand over whole.
        QVERIFY2(m_postgres.Run("alter table types alter lt set default '" + QString(300, 'x') + "';"),
                 qPrintable(m_postgres.Error()));
        m_sqlite = std::make_unique<CDbSession>(m_adapters);
        m_sqliteBigInt = std::make_unique<CDbSession>(m_adapters);
        m_server = std::make_unique<CDbSession>(m_adapters);
        QCOMPARE(m_sqlite->Connect(COdbcSandbox::ConnectionString("Odd")), 0);
        QCOMPARE(m_sqliteBigInt->Connect(COdbcSandbox::ConnectionString("OddBig")), 0);
        QCOMPARE(m_server->Connect(m_postgres.ConnectionString()), 0);
        // A driver option that changes what SQLColumns reports.
        m_serverBools = std::make_unique<CDbSession>(m_adapters);
        QCOMPARE(m_serverBools->Connect(m_postgres.ConnectionString() + ";BoolsAsChar=0"), 0);
        QVERIFY2(m_maria.IsReady(), qPrintable(m_maria.Error()));
        QVERIFY2(m_maria.Run(kMariaSchema), qPrintable(m_maria.Error()));
        m_mariaSession = std::make_unique<CDbSession>(m_adapters);
        QCOMPARE(m_mariaSession->Connect(m_maria.ConnectionString()), 0);
    }
    void cleanupTestCase()
    {
        m_sqlite.reset();
        m_sqliteBigInt.reset();
        m_server.reset();
        m_serverBools.reset();
        m_mariaSession.reset();
    }

    void sameModel_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("tables");
        QTest::addColumn<bool>("bulk"); // whether the engine has the bulk read
        // Whether the bulk read gives every SQLColumns value as the driver
        // sends it.
        QTest::addColumn<bool>("asSent");
        QTest::addColumn<QString>("keys"); // where checked
        QTest::newRow("SQLite") << "SQLite" << 8 << true << true << kSqliteKeys;
        QTest::newRow("SQLite, BigInt") << "SQLite, BigInt" << 8 << true << true << kSqliteKeys;
        QTest::newRow("PostgreSQL") << "PostgreSQL" << 9 << true << true << "";
        QTest::newRow("PostgreSQL, BoolsAsChar=0") << "PostgreSQL, BoolsAsChar=0" << 9 << false << false << "";
        QTest::newRow("MariaDB") << "MariaDB" << 9 << true << true << kMariaKeys;
    }
    void sameModel()
    {
        QFETCH(QString, engine);
        QFETCH(int, tables);
        QFETCH(bool, bulk);
        QFETCH(bool, asSent);
        QFETCH(QString, keys);
        CDbSession &session = Session(engine);
        CDbmsAdapter &adapter = *session.GetAdapter();
        QCOMPARE(adapter.ReadsCatalogInBulk() && adapter.BulkReadMatches(session), bulk);
        std::vector<std::string> names;
        QCOMPARE(SchemaLoader::ListUserTables(session, names), 0);
        QCOMPARE(static_cast<int>(names.size()), tables);
        // The bulk read's columns are the driver's SQLColumns rows as sent,
        // before the adapter puts them its own way.
        std::vector<CCatalogTable> read;
        if (asSent)
            QCOMPARE(adapter.ReadCatalogTables(session, names, read, nullptr), 0);
        for (size_t t = 0; t < read.size(); ++t) {
            QStringList driver, bulkRows;
            QCOMPARE(session.ReadRows(session.ListColumns(names[t]), {4, 5, 6, 7, 8, 9, 11, 13, 3}, [&](const CDbRow &row) {
                         if (row[8] == names[t]) // not a case twin
                             driver << Joined({row.begin(), row.end() - 1});
                     }), 0);
            for (const CCatalogColumn &c : read[t].m_columns)
                bulkRows << Joined({c.m_name, c.m_dataType, c.m_typeName, c.m_precision, c.m_length,
                                    c.m_scale, c.m_nullable, c.m_default});
            QCOMPARE(bulkRows, driver);
        }
        std::vector<CTableSchema> fast, slow;
        QCOMPARE(SchemaLoader::LoadTables(session, names, fast), 0);
        QCOMPARE(SchemaLoader::LoadTables(session, names, slow, nullptr, SchemaLoader::CatalogRead::PerTable), 0);
        QVERIFY2(fast == slow, qPrintable(Difference(fast, slow)));
        // The schema's own facts: every table came with its columns, and
        // its key, in order.
        QStringList loaded;
        for (const CTableSchema &table : fast) {
            QVERIFY2(!table.m_columns.empty(), table.m_name.c_str());
            if (!table.m_primaryKey.empty())
                loaded << Joined({table.m_name, Joined(table.m_primaryKey).toStdString()});
        }
        loaded.sort();
        if (!keys.isEmpty())
            QCOMPARE(loaded, FirstColumnRows(session, keys));
    }

    // A cancel from the progress stops the load, also in the middle of a
    // query, and is reported as such.
    void cancel_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("answers"); // how many reports are answered yes
        for (const char *engine : {"SQLite", "PostgreSQL", "MariaDB"}) {
            QTest::addRow("%s: at once", engine) << engine << 0;
            QTest::addRow("%s: after two", engine) << engine << 2;
        }
    }
    void cancel()
    {
        QFETCH(QString, engine);
        QFETCH(int, answers);
        CDbSession &session = Session(engine);
        std::vector<std::string> names;
        QCOMPARE(SchemaLoader::ListUserTables(session, names), 0);
        std::vector<CTableSchema> tables;
        int asked = 0;
        const int result = SchemaLoader::LoadTables(session, names, tables, [&](int done, int total) {
            return done <= total && asked++ < answers;
        });
        QCOMPARE(result, DbResult::kCancelled);
        QCOMPARE(asked, answers + 1);
        // The session is free for the next statement.
        std::vector<std::string> again;
        QCOMPARE(SchemaLoader::ListUserTables(session, again), 0);
        QCOMPARE(again, names);
    }
};

QTEST_MAIN(TestCatalogRead)
#include "tst_catalogread.moc"

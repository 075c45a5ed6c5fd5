#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "db/postgres/PostgresAdapter.h"
#include "diagram/TableItem.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/ColumnDefs.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"
#include "tests/support/SqliteLockHolder.h"
#include "tests/support/TableRows.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>
#include <set>

// The schema every test here reads, at the end of the file: a raw string
// with unbalanced apostrophes would hide the test class from moc.
extern const char *const kSchemaSql;

namespace {

QString Text(const std::string &text) { return QString::fromStdString(text); }

QStringList Describe(CDbSession &session)
{
    QStringList records;
    const CSessionKeys keys(session);
    for (int i = 0; const CDbRelationship *r = keys.GetRelationship(i); ++i)
        records << Text(r->m_name + ": " + r->m_parentTable + "." + r->m_parentIndex + " <- "
                        + r->m_foreignTable + "." + r->m_foreignIndex);
    records.sort();
    return records;
}

} // namespace

// The adapter is checked against a real server: what the table windows
// show and what the relationship list names must be what the server holds.
class TestPostgresAdapter : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    std::unique_ptr<CDoc> m_doc;

    CDbSession &Session() { return m_doc->GetSession(); }
    CTableWnd *Table(const char *name)
    {
        CTableWnd *table = m_doc->FindTable(name);
        if (!table)
            qWarning("no table window %s", name);
        return table;
    }
    QStringList Descriptions(const CTableWnd *table)
    {
        QStringList texts;
        for (int i = 0; i < table->ItemCount(); ++i)
            if (table->GetItem(i)->m_kind == Column)
                texts << Text(table->GetItem(i)->m_description);
        return texts;
    }
    QStringList TableNames()
    {
        QStringList names;
        for (int i = 0; i < m_doc->TableCount(); ++i)
            names << Text(m_doc->GetTable(i)->m_name);
        names.sort();
        return names;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
        QVERIFY2(m_database.Run(kSchemaSql), qPrintable(m_database.Error()));
        // A second source whose current schema is the other one.
        m_sandbox.AddDataSource("Shadow", QStringLiteral("Driver=%1\nServername=%2\nPort=%3\n"
                                                         "Database=%4\nUsername=%5\n"
                                                         "ConnSettings=SET search_path TO shadow\n")
                                              .arg(COdbcSandbox::kPostgresDriver,
                                                   qEnvironmentVariable("VELLUMIX_PGHOST"),
                                                   qEnvironmentVariable("VELLUMIX_PGPORT", "5432"),
                                                   m_database.Name(),
                                                   qEnvironmentVariable("VELLUMIX_PGUSER", "vellumix")));
        m_doc = std::make_unique<CDoc>(m_adapters);
        m_doc->m_viewMode = Attributes;
        QCOMPARE(Session().Connect(m_database.ConnectionString()), 0);
        QCOMPARE(m_doc->LoadAllTables(), 0);
    }
    void cleanupTestCase()
    {
        if (m_doc)
            m_doc->DeleteTables();
        m_doc.reset();
    }

    void theDriverSelectsThePostgresAdapter()
    {
        QCOMPARE(Text(Session().GetDbmsName()), QStringLiteral("PostgreSQL"));
        QVERIFY(dynamic_cast<CPostgresAdapter *>(Session().GetAdapter()));
        QCOMPARE(Text(Session().GetCatalogSchema()), QStringLiteral("public"));
    }

    void theDiagramShowsTheTablesOfTheCurrentSchemaOnly()
    {
        QCOMPARE(TableNames(), (QStringList{"Bob's \"quoted\" table", "a\\\\b", "a\\b", "a_b",
                                            "address", "axb", "customer", "kinds", "note",
                                            "region"}));
        QCOMPARE(TableRows::Names(Table("customer")),
                 (QStringList{"id", "name", "referrer", "amount", "customer_pkey", "id",
                              "customer_by_name", "name", "a_touch", "b_touch"}));
        QCOMPARE(Descriptions(Table("customer")),
                 (QStringList{"int4", "varchar(40)", "int4 N", "numeric(10, 2) N"}));
        QCOMPARE(TableRows::Names(Table("region")),
                 (QStringList{"country", "code", "label", "region_pkey", "country", "code"}));
        QCOMPARE(Descriptions(Table("region")), (QStringList{"char(2)", "varchar(6)", "text N"}));
        QCOMPARE(TableRows::Names(Table("Bob's \"quoted\" table")),
                 (QStringList{"id", "parent", "Bob's \"quoted\" table_pkey", "id", "odd \"index\"",
                              "parent", "audit 'it' \"now\""}));
        // A name holding a pattern character is no pattern: a_b is not axb.
        QCOMPARE(TableRows::Names(Table("a_b")), QStringList{"y"});
        QCOMPARE(TableRows::Names(Table("axb")), QStringList{"x"});
        // Nor is the escape character: a\b is not a\\b.
        QCOMPARE(TableRows::Names(Table("a\\b")), QStringList{"w"});
        QCOMPARE(TableRows::Names(Table("a\\\\b")), QStringList{"v"});
    }

    // char(n) comes padded to its length and loses the padding; the blanks
    // a varchar ends with are part of its value.
    void onlyFixedLengthValuesLoseTrailingBlanks()
    {
        QCOMPARE(FirstColumnRows(Session(), "select 'ab'::char(5)")
                     + FirstColumnRows(Session(), "select 'ab  '::varchar"),
                 (QStringList{"ab", "ab  "}));
    }

    // Every column shows the type as the table declares it: lengths in
    // characters, long ones too, and no made-up sizes.
    void columnRowsShowTheDeclaredTypes()
    {
        QCOMPARE(Descriptions(Table("kinds")),
                 (QStringList{"varchar(1000) N", "char(300) N", "bool N", "uuid N", "bytea N",
                              "timestamp N", "text N", "numeric(12, 4) N", "float8 N"}));
    }

    void relationshipsNameTheirConstraintsAndTheIndexesTheWindowsShow()
    {
        QCOMPARE(Describe(Session()),
                 (QStringList{
                     "address_customer_id_fkey: customer.customer_pkey <- address.address_by_customer",
                     "fk_address_region: region.region_pkey <- address.address_by_region",
                     "fk_referrer: customer.customer_pkey <- customer.",
                     "it's a \"key\": Bob's \"quoted\" table.Bob's \"quoted\" table_pkey"
                     " <- Bob's \"quoted\" table.odd \"index\"",
                     "note_customer_fkey: customer.customer_pkey <- note.",
                 }));
        const CSessionKeys keys(Session());
        for (int i = 0; const CDbRelationship *r = keys.GetRelationship(i); ++i) {
            CTableWnd *parent = Table(r->m_parentTable.c_str());
            QVERIFY(parent);
            QVERIFY2(TableRows::RowOf(parent, UniqueIndex, r->m_parentIndex.c_str()) >= 0,
                     r->m_name.c_str());
            if (r->m_foreignIndex.empty())
                continue;
            CTableWnd *child = Table(r->m_foreignTable.c_str());
            QVERIFY(child);
            const int row = std::max(TableRows::RowOf(child, Index, r->m_foreignIndex.c_str()),
                                     TableRows::RowOf(child, UniqueIndex, r->m_foreignIndex.c_str()));
            QVERIFY2(row >= 0, r->m_name.c_str());
        }
    }

    // Seen from the other schema, the same database shows only that
    // schema's tables, and the key into the first schema is not drawn.
    void anotherCurrentSchemaShowsItsOwnTables()
    {
        CDoc doc(m_adapters);
        QCOMPARE(doc.GetSession().Connect("DSN=Shadow"), 0);
        QCOMPARE(Text(doc.GetSession().GetCatalogSchema()), QStringLiteral("shadow"));
        QCOMPARE(doc.LoadAllTables(), 0);
        QStringList names;
        for (int i = 0; i < doc.TableCount(); ++i)
            names << Text(doc.GetTable(i)->m_name);
        names.sort();
        QCOMPARE(names, (QStringList{"customer", "elsewhere", "ref"}));
        QCOMPARE(TableRows::Names(doc.FindTable("customer")),
                 (QStringList{"shadow_only", "customer_pkey", "shadow_only", "shadow_trigger"}));
        QCOMPARE(Describe(doc.GetSession()),
                 QStringList{"elsewhere_x_fkey: customer.customer_pkey <- elsewhere."});
        doc.DeleteTables();
    }

    // The driver describes its sizes in its own words; both kinds must
    // still be asked for.
    void theTypeListKnowsWhichTypesTakeSizes()
    {
        struct Expected { const char *name; int kind; };
        const Expected expected[] = {
            {"varchar", CDbTypeInfo::Length},   {"char", CDbTypeInfo::Length},
            {"numeric", CDbTypeInfo::PrecisionScale}, {"decimal", CDbTypeInfo::PrecisionScale},
            {"int4", CDbTypeInfo::NoSize},      {"integer", CDbTypeInfo::NoSize},
            {"text", CDbTypeInfo::NoSize},      {"timestamp", CDbTypeInfo::NoSize},
        };
        for (const Expected &type : expected) {
            const CDbTypeInfo *found = Session().FindType(type.name);
            QVERIFY2(found, type.name);
            QCOMPARE(found->m_paramKind, type.kind);
        }
        // The driver describes bytea twice; the list offers it once.
        std::set<std::string> names;
        for (int i = 0; const CDbTypeInfo *type = Session().GetType(i); ++i)
            QVERIFY2(names.insert(type->m_name).second, type->m_name.c_str());
        QVERIFY(names.count("bytea"));
    }

    void aLockHeldElsewhereFailsWithinTheWait_data()
    {
        QTest::addColumn<bool>("sqlite");
        QTest::addColumn<bool>("write"); // a reader lets the change run, not its commit
        QTest::newRow("SQLite writer") << true << true;
        QTest::newRow("SQLite reader") << true << false;
        QTest::newRow("PostgreSQL") << false << true;
    }
    // Another program holds a lock: a change fails within the lock wait
    // with the engine's words (of a failed commit too) and leaves the table
    // as it was, and a new connection does not hang either.
    void aLockHeldElsewhereFailsWithinTheWait()
    {
        QFETCH(bool, sqlite);
        QFETCH(bool, write);
        const QString path = m_sandbox.AddSqliteSource("Locked", "create table held (a integer);\n");
        const std::string connection =
            sqlite ? COdbcSandbox::ConnectionString("Locked") : m_database.ConnectionString();
        QVERIFY(sqlite || m_database.Run("create table held (a integer);"));
        CDbSession session(m_adapters), other(m_adapters), late(m_adapters);
        QCOMPARE(session.Connect(connection), 0);
        CSqliteLockHolder file(path, write);
        QVERIFY(file.IsHeld());
        QVERIFY(sqlite || (other.Connect(connection) == 0 && other.BeginTransaction() == 0
                           && other.Execute("lock table held in access exclusive mode") == 0));

        QElapsedTimer clock;
        clock.start();
        using ColumnDefs::Column;
        const int result = ApplySchemaChange(
            session, CAddColumns{"held", {Column("b", "integer"), Column("c", "integer")}});
        const QString text = QString::fromStdString(session.GetErrorText(result));
        QVERIFY2(result < 0 && text.contains(sqlite ? "database is locked" : "lock timeout"),
                 qPrintable(text));
        const int connected = late.Connect(connection);
        QVERIFY(connected >= 0 || !late.GetErrorText(connected).empty());
        QVERIFY2(clock.elapsed() < 2 * CDbSession::kLockWaitMilliseconds + 2000,
                 qPrintable(QString::number(clock.elapsed())));

        file.Release();
        other.RollbackTransaction();
        QCOMPARE(FirstColumnRows(session, sqlite ? "select name from pragma_table_info('held')"
                                                 : "select column_name from information_schema.columns"
                                                   " where table_name = 'held'"),
                 QStringList{"a"});
        QVERIFY(sqlite || m_database.Run("drop table held;"));
    }

    // Other engines keep the exact words.
    void parameterWordsOfOtherEnginesAreExact()
    {
        QCOMPARE(CDbmsAdapter::StandardParameterKind("length"), int(CDbTypeInfo::Length));
        QCOMPARE(CDbmsAdapter::StandardParameterKind("max. length"), int(CDbTypeInfo::NoSize));
        QCOMPARE(CDbmsAdapter::StandardParameterKind("precision, scale"), int(CDbTypeInfo::NoSize));
    }
};

QTEST_MAIN(TestPostgresAdapter)
#include "tst_postgresadapter.moc"

// An order-entry schema with the shapes the adapter has to read: a
// self-reference, a two-column key referring to columns in another order
// than its parent's key, children with and without an index on their key,
// triggers, names that need quoting and names with pattern characters. A
// second schema holds a table of the same name, a trigger on it and a key
// from it into the first; none of it may show.
const char *const kSchemaSql = R"SQL(
create table customer (
  id integer primary key,
  name varchar(40) not null,
  referrer integer constraint fk_referrer references customer(id),
  amount numeric(10,2)
);
create index customer_by_name on customer (name);
create table region (country char(2), code varchar(6), label text, primary key (country, code));
create table address (
  id integer primary key,
  customer_id integer not null references customer,
  country char(2), region varchar(6),
  constraint fk_address_region foreign key (region, country) references region (code, country)
);
create index address_by_customer on address (customer_id, country);
create index address_by_country on address (country, region, id);
create index address_by_region on address (region, country, id);
create table note (body text, customer integer references customer on delete cascade);
create table "Bob's ""quoted"" table" (
  id integer primary key,
  parent integer,
  constraint "it's a ""key""" foreign key (parent) references "Bob's ""quoted"" table" (id)
);
create index "odd ""index""" on "Bob's ""quoted"" table" (parent);
create function touch() returns trigger language plpgsql as $$ begin return new; end $$;
create trigger "audit 'it' ""now""" after insert on "Bob's ""quoted"" table"
  for each row execute function touch();
create trigger b_touch before update on customer for each row execute function touch();
create trigger a_touch before update on customer for each row execute function touch();
create table kinds (v varchar(1000), c char(300), b boolean, u uuid, y bytea, t timestamp,
  x text, n numeric(12,4), d double precision);
create table a_b (y integer);
create table axb (x integer);
create table "a\b" (w integer);
create table "a\\b" (v integer);

create schema shadow;
create table shadow.customer (shadow_only integer primary key);
create table shadow.elsewhere (x integer references shadow.customer);
create trigger shadow_trigger before insert on shadow.customer for each row execute function touch();
create table shadow.ref (c integer references public.customer(id));
)SQL";

#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/SchemaChange.h"
#include "db/mariadb/MariaAdapter.h"
#include "diagram/TableItem.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/MariaDatabase.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SessionRows.h"
#include "tests/support/TableRows.h"

#include <QtTest>

#include <memory>

// The schema every test here reads, at the end of the file: a raw string
// with unbalanced apostrophes would hide the test class from moc.
extern const char *const kSchemaSql;

namespace {

QString Text(const std::string &text) { return QString::fromStdString(text); }

const char *const kBob = "Bob's \"quoted\" `table`";

} // namespace

// The adapter against a real MariaDB server: what the table windows show
// and what the relationship list names must be what the server holds.
class TestMariaAdapter : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    CMariaDatabase m_database{m_sandbox};
    std::unique_ptr<CDoc> m_doc;

    CDbSession &Session() { return m_doc->GetSession(); }
    CTableWnd *Table(const char *name) { return m_doc->FindTable(name); }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
        QVERIFY2(m_database.Run(kSchemaSql), qPrintable(m_database.Error()));
        // Another database on the server with a table of the same name: the
        // catalog of the whole server must not show through.
        QVERIFY2(m_database.Run("create database if not exists vellumix_other;"
                                "create table if not exists vellumix_other.customer (x int);"),
                 qPrintable(m_database.Error()));
        m_doc = std::make_unique<CDoc>(m_adapters);
        m_doc->m_viewMode = Attributes;
        const int connected = Session().Connect(m_database.ConnectionString());
        QVERIFY2(connected == 0, Session().GetErrorText(connected).c_str());
        QCOMPARE(m_doc->LoadAllTables(), 0);
    }
    void cleanupTestCase()
    {
        if (m_doc)
            m_doc->DeleteTables();
        m_doc.reset();
        m_database.Run("drop database if exists vellumix_other;");
    }

    // The session quotes with double quotes on top of the server's own
    // mode, waits for locks as long as the other engines, and talks UTF-8;
    // only the current database shows, not the whole server.
    void theSessionIsPreparedForTheProgramsStatements()
    {
        QCOMPARE(Text(Session().GetDbmsName()), QStringLiteral("MariaDB"));
        QVERIFY(dynamic_cast<CMariaAdapter *>(Session().GetAdapter()));
        QCOMPARE(Text(Session().GetCatalogSchema()), m_database.Name());
        QCOMPARE(FirstColumnRows(Session(), "select concat_ws(' ', find_in_set('ANSI_QUOTES', @@sql_mode) > 0, "
                                            "@@sql_mode like concat('%', @@global.sql_mode), "
                                            "@@innodb_lock_wait_timeout * 1000, @@lock_wait_timeout * 1000, "
                                            "@@character_set_connection, @@default_storage_engine)"),
                 QStringList{QStringLiteral("1 1 %1 %1 utf8mb4 InnoDB").arg(CDbSession::kLockWaitMilliseconds)});
        // The adapter for the name a MySQL server gives.
        QVERIFY(dynamic_cast<CMariaAdapter *>(m_adapters.Find("MySQL")));
        QStringList names;
        for (int i = 0; i < m_doc->TableCount(); ++i)
            names << Text(m_doc->GetTable(i)->m_name);
        names.sort();
        QCOMPARE(names, (QStringList{kBob, "aXb", "a_b", "address", "customer", "naïve Tábla", "region"}));
    }

    void windowsShowWhatTheServerHolds_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("types");
        // Unique indexes first, then by name without regard to case;
        // InnoDB names the index it makes for a key after the key.
        QTest::newRow("customer") << "customer"
            << QStringList{"id", "name", "referrer", "amount", "kind", "big", "at", "PRIMARY", "id",
                           "customer_by_name", "name", "id", "fk_referrer", "referrer", "a_touch", "b_touch"}
            // The driver reports an AUTO_INCREMENT column as nullable.
            << QStringList{"int unsigned N", "varchar(40)", "int unsigned N", "decimal(10, 2) N", "enum",
                           "bigint unsigned N", "datetime N"};
        QTest::newRow("quotes") << kBob
            << QStringList{"id", "parent", "back`tick", "PRIMARY", "id", "it's a \"key\"", "parent",
                           "audit 'it' \"now\""}
            << QStringList{"int", "int N", "char(3) N"};
        QTest::newRow("non-ASCII") << "naïve Tábla" << QStringList{"Größe", "PRIMARY", "Größe"}
                                   << QStringList{"varbinary(16)"};
        // A name holding a pattern character is no pattern: a_b is not aXb.
        QTest::newRow("a_b") << "a_b" << QStringList{"y"} << QStringList{"year N"};
        QTest::newRow("aXb") << "aXb" << QStringList{"x"} << QStringList{"double N"};
    }
    void windowsShowWhatTheServerHolds()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, types);
        const CTableWnd *window = Table(table.toUtf8().constData());
        QVERIFY(window);
        QCOMPARE(TableRows::Names(window), rows);
        QStringList descriptions;
        for (int i = 0; i < window->ItemCount(); ++i)
            if (window->GetItem(i)->m_kind == Column)
                descriptions << Text(window->GetItem(i)->m_description);
        QCOMPARE(descriptions, types);
    }

    // Each line joins the indexes the windows show: the parent's unique
    // index and the child's index that leads with the key's columns.
    void relationshipsNameTheirKeysAndIndexes()
    {
        QStringList records;
        const CSessionKeys keys(Session());
        QCOMPARE(keys.FirstRead(), 0);
        for (int i = 0; const CDbRelationship *r = keys.GetRelationship(i); ++i)
            records << Text(r->m_name + ": " + r->m_parentTable + "." + r->m_parentIndex + " <- "
                            + r->m_foreignTable + "." + r->m_foreignIndex);
        QCOMPARE(records, (QStringList{
                               QStringLiteral("it's a \"key\": %1.PRIMARY <- %1.it's a \"key\"").arg(kBob),
                               "address_ibfk_1: customer.PRIMARY <- address.address_by_customer",
                               "fk_address_region: region.PRIMARY <- address.fk_address_region",
                               "fk_referrer: customer.PRIMARY <- customer.fk_referrer",
                           }));
    }

    void indexDefinitions_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("read"); // the segments, or the refusal's first words
        QTest::newRow("descending, two columns") << "customer" << "customer_by_name" << "name desc, id";
        QTest::newRow("made for a key") << "address" << "fk_address_region" << "country, region";
        QTest::newRow("unique") << "region" << "label_once" << "unique label";
        QTest::newRow("prefix") << "address" << "address_prefix" << "The index \"address_prefix\" cannot";
        QTest::newRow("primary key") << "customer" << "PRIMARY" << "The index \"PRIMARY\" is the primary";
        QTest::newRow("none") << "customer" << "nothing" << "The current database has no index";
    }
    void indexDefinitions()
    {
        QFETCH(QString, table);
        QFETCH(QString, index);
        QFETCH(QString, read);
        CCreateIndex definition;
        const int result = Session().GetAdapter()->ReadIndexDefinition(Session(), table.toStdString(),
                                                                       index.toStdString(), definition);
        if (result < 0) {
            QVERIFY2(Text(Session().GetErrorText(result)).startsWith(read), Session().m_lastError.c_str());
            return;
        }
        QStringList segments;
        for (const CIndexSegment &segment : definition.m_segments)
            segments << Text(segment.m_column) + (segment.m_descending ? " desc" : "");
        QCOMPARE((definition.m_unique ? "unique " : "") + segments.join(", "), read);
    }

    // The body comes back as the dialog took it: a plain statement without
    // the block Create Trigger put around it, a block as it stands.
    void triggerDefinitions_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("read");
        QTest::newRow("plain") << "customer" << "a_touch" << "before delete: set @x = old.id";
        QTest::newRow("block") << "customer" << "b_touch"
                               << "before update: begin set new.amount = coalesce(new.amount, 0); end";
        QTest::newRow("wrapped") << kBob << "audit 'it' \"now\"" << "after insert: set @n = 1;";
    }
    void triggerDefinitions()
    {
        QFETCH(QString, table);
        QFETCH(QString, trigger);
        QFETCH(QString, read);
        CCreateTrigger definition;
        QCOMPARE(Session().GetAdapter()->ReadTriggerDefinition(Session(), table.toStdString(),
                                                               trigger.toStdString(), definition), 0);
        const char *const events[] = {"insert", "update", "delete"};
        QCOMPARE(QString(definition.m_timing == TriggerTiming::Before ? "before " : "after ")
                     + events[int(definition.m_event)] + ": " + Text(definition.m_body),
                 read);
    }

    // Dropping a key's column takes the key and its indexes along; the
    // question before it names them, and the row count is the server's.
    void aColumnDropNamesWhatGoesWithIt()
    {
        std::vector<std::string> indexes, keys;
        QCOMPARE(Session().GetAdapter()->ReadColumnDropEffects(Session(), "address", {"region"}, indexes, keys), 0);
        QCOMPARE(indexes, (std::vector<std::string>{"address_prefix", "fk_address_region"}));
        QCOMPARE(keys, std::vector<std::string>{"fk_address_region"});
        std::string count;
        QCOMPARE(Session().GetAdapter()->CountRows(Session(), kBob, count), 0);
        QCOMPARE(Text(count), m_database.Query("select count(*) from `Bob's \"quoted\" ``table```").trimmed());
    }
};

QTEST_MAIN(TestMariaAdapter)
#include "tst_mariadbadapter.moc"

// Keys of two columns, a self-reference, a key made with an index InnoDB
// makes for it and one using an index of the table's own, a prefix index,
// triggers, MariaDB's own types and names that need quoting.
const char *const kSchemaSql = R"SQL(
create table customer (
  id int unsigned auto_increment primary key, name varchar(40) not null, referrer int unsigned,
  amount decimal(10,2), kind enum('a','b''c') not null default 'a', big bigint unsigned, at datetime,
  constraint fk_referrer foreign key (referrer) references customer (id) on delete set null);
create index customer_by_name on customer (name desc, id);
create table region (country char(2), code varchar(6), label varchar(20), primary key (country, code),
  unique key label_once (label));
create table address (id int primary key, customer_id int unsigned not null, country char(2),
  region varchar(6), foreign key (customer_id) references customer (id) on delete cascade,
  constraint fk_address_region foreign key (country, region) references region (country, code));
create index address_by_customer on address (customer_id, country);
create index address_prefix on address (region(3));
create table `Bob's "quoted" ``table``` (id int primary key, parent int, `back``tick` char(3),
  constraint `it's a "key"` foreign key (parent) references `Bob's "quoted" ``table``` (id));
insert into `Bob's "quoted" ``table``` (id) values (1), (2);
create table `naïve Tábla` (`Größe` varbinary(16) primary key);
create table a_b (y year);
create table aXb (x double);
delimiter //
create trigger `audit 'it' "now"` after insert on `Bob's "quoted" ``table``` for each row BEGIN
set @n = 1;
END//
create trigger b_touch before update on customer for each row begin set new.amount = coalesce(new.amount, 0); end//
delimiter ;
create trigger a_touch before delete on customer for each row set @x = old.id;
)SQL";

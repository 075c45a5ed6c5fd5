#include "db/Dialect.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QPointer>
#include <QtTest>

using namespace TableRows;

// orders holds rows, three indexes and a trigger of its own; lines refers
// to customer.
extern const char *const kShopSql;

// The table window's drops and the relationship drop on a PostgreSQL
// server, as a user makes them: the statements sent, the windows and the
// catalog agreeing afterwards, every row kept, the server's refusals shown.
class TestPostgresDropCommands : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    CDiagramDriver m_diagram;
    CDoc *m_doc = nullptr;

    CDbSession &Session() const { return m_diagram.Session(); }
    CSchemaModel &Keys() const { return m_doc->Schema(); }
    CTableWnd *Table(const char *name) const { return m_doc->FindTable(name); }

    // The first column of every row; the log mark moves past the query.
    QStringList Rows(const char *sql)
    {
        const QStringList rows = FirstColumnRows(Session(), sql);
        m_diagram.MarkLog();
        return rows;
    }
    QStringList CatalogRows(const char *table) { return CatalogNames(m_doc, table); }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
    }

    void init()
    {
        QVERIFY2(m_database.Recreate() && m_database.Run(kShopSql), qPrintable(m_database.Error()));
        QVERIFY(m_diagram.Open(m_database.ConnectionString()));
        m_doc = m_diagram.Doc();
        // A trigger as Create Trigger makes it: a function and the trigger.
        QCOMPARE(ApplySchemaChange(Session(), CCreateTrigger{"check qty", "orders", TriggerTiming::Before,
                                                             TriggerEvent::Insert, "", "",
                                                             "NEW.qty := abs(NEW.qty)"}),
                 0);
        Table("orders")->LoadSchema();
        Table("orders")->FitToContents();
        m_diagram.MarkLog();
    }
    void cleanup() { m_diagram.Close(); }

    void dropsColumnIndexAndTriggerTogether()
    {
        CTableWnd *orders = Table("orders");
        const QStringList kept = Rows("select id || '|' || qty from orders order by id");
        m_diagram.Click(orders, RowOf(orders, Column, "note"));
        m_diagram.Click(orders, RowOf(orders, Index, "by_shipped"), Qt::ControlModifier);
        m_diagram.Click(orders, RowOf(orders, Trigger, "check qty"), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(orders);

        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(m_diagram.ChangesSinceMark(), (QStringList{R"(ALTER TABLE "orders" DROP COLUMN "note")",
                                               R"(DROP INDEX "by_shipped")",
                                               R"(DROP TRIGGER "check qty" ON "orders")",
                                               R"(DROP FUNCTION "orders_check qty_6"())"}));
        QCOMPARE(Names(orders), (QStringList{"id", "flag", "qty", "shipped", "orders_pkey", "id",
                                             "by_qty", "qty"}));
        QCOMPARE(Names(orders), CatalogRows("orders"));
        QCOMPARE(Rows("select id || '|' || qty from orders order by id"), kept);
        QCOMPARE(Rows("select count(*) from pg_proc where proname = 'orders_check qty_6'"), QStringList{"0"});
    }

    void dropsTwoColumnsInOneStatement()
    {
        CTableWnd *orders = Table("orders");
        m_diagram.Click(orders, RowOf(orders, Column, "note"));
        m_diagram.Click(orders, RowOf(orders, Column, "flag"), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        orders->OnCommand(Cmd::DropColumns);
        QCOMPARE(m_diagram.ChangesSinceMark(),
                 QStringList{R"(ALTER TABLE "orders" DROP COLUMN "note", DROP COLUMN "flag")"});
        QCOMPARE(Names(orders), CatalogRows("orders"));
        QCOMPARE(Rows("select count(*) from orders"), QStringList{"3"});
    }

    // A column another table's key refers to cannot go; the server says
    // why and nothing changes.
    void referencedColumnDropShowsTheServersMessage()
    {
        CTableWnd *customer = Table("customer");
        const QStringList before = Names(customer);
        m_diagram.Click(customer, RowOf(customer, Column, "id"));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.DropFromMenu(customer);
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("because other objects depend on it"), qPrintable(answerer.texts[1]));
        QCOMPARE(Names(customer), before);
        QCOMPARE(CatalogRows("customer"), before);
    }

    void relationshipDropReloadsBothTables()
    {
        QCOMPARE(Keys().RelationshipCount(), 1);
        const QStringList lines = Rows("select id || '|' || customer_id from lines order by id");
        m_diagram.View()->m_selRelationship = 0;
        CModalAnswerer answerer(QMessageBox::Yes);
        QVERIFY(m_diagram.View()->OnCommand(Cmd::Drop));
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(m_diagram.ChangesSinceMark(),
                 QStringList{R"(ALTER TABLE "lines" DROP CONSTRAINT "lines_customer_id_fkey")"});
        QCOMPARE(Keys().RelationshipCount(), 0);
        QCOMPARE(Rows("select id || '|' || customer_id from lines order by id"), lines);
        QCOMPARE(Names(Table("lines")), CatalogRows("lines"));
    }

    // The server takes a key along with its column or its table, without
    // being asked to: the relationship and its line go too.
    void keyGoesWithItsColumnOrTable_data()
    {
        QTest::addColumn<bool>("wholeTable");
        QTest::newRow("column") << false;
        QTest::newRow("table") << true;
    }
    void keyGoesWithItsColumnOrTable()
    {
        QFETCH(bool, wholeTable);
        QCOMPARE(Keys().RelationshipCount(), 1);
        CTableWnd *lines = Table("lines");
        CModalAnswerer answerer(QMessageBox::Yes);
        if (wholeTable) {
            QTest::mouseClick(lines, Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
        } else {
            m_diagram.Click(lines, RowOf(lines, Column, "customer_id"));
        }
        m_diagram.DropFromMenu(lines);
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(Rows("select count(*) from pg_constraint where contype = 'f'"), QStringList{"0"});
        QCOMPARE(Keys().RelationshipCount(), 0);
    }

    // Of two indexes that lead with the key's column the line ends at the
    // one the catalog names; once that one is dropped, at the other.
    void lineMovesToTheIndexLeftWhenItsIndexIsDropped()
    {
        QVERIFY2(m_database.Run("create index lines_a on lines (customer_id);"
                                "create index lines_b on lines (customer_id, id);"),
                 qPrintable(m_database.Error()));
        m_diagram.View()->ReloadRelationship(nullptr, Table("lines"));
        QCOMPARE(Keys().GetRelationship(0)->m_foreignIndex, std::string("lines_a"));
        CTableWnd *lines = Table("lines");
        m_diagram.Click(lines, RowOf(lines, Index, "lines_a"));
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(lines);
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(Keys().RelationshipCount(), 1);
        QCOMPARE(Keys().GetRelationship(0)->m_foreignIndex, std::string("lines_b"));
    }

    // The table goes with its trigger and the trigger's function.
    void dropsTableWithItsTriggerFunction()
    {
        QPointer<CTableWnd> orders = Table("orders");
        CModalAnswerer answerer(QMessageBox::Yes);
        orders->OnCommand(Cmd::DropTable);
        QCOMPARE(m_diagram.ChangesSinceMark(),
                 (QStringList{R"(DROP TABLE "orders")", R"(DROP FUNCTION "orders_check qty_6"())"}));
        QTRY_VERIFY(orders.isNull());
        QCOMPARE(Rows("select count(*) from pg_class where relname = 'orders'"), QStringList{"0"});
        QCOMPARE(Rows("select count(*) from pg_proc where proname = 'orders_check qty_6'"), QStringList{"0"});
    }
};

const char *const kShopSql = R"SQL(
create table orders (id integer primary key, note varchar(40), flag integer, qty integer, shipped integer);
create index by_qty on orders (qty);
create index by_shipped on orders (shipped, id);
insert into orders values (1, 'a', 0, 5, 1), (2, null, 1, 7, 0), (3, 'c', 1, 0, null);
create table customer (id integer primary key, name varchar(20));
insert into customer values (1, 'x'), (2, 'y');
create table lines (id integer, customer_id integer references customer (id));
insert into lines values (10, 1), (11, 2), (12, null);
)SQL";

QTEST_MAIN(TestPostgresDropCommands)
#include "tst_postgresdropcommands.moc"

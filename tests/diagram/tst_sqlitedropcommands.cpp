#include "db/DbmsAdapter.h"
#include "db/SqliteAdapter.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PopupMenuChooser.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QtTest>

using namespace TableRows;

namespace {

// ORDERS holds rows, three indexes and two triggers; LINES refers to
// CUSTOMER.
const char *const kShopSql = R"(
create table ORDERS(ID integer not null, NOTE varchar(40), FLAG integer, QTY integer, SHIPPED integer);
create unique index ORD_PK on ORDERS(ID);
create index BY_QTY on ORDERS(QTY);
create index BY_SHIPPED on ORDERS(SHIPPED, ID);
create trigger CHECK_QTY after insert on ORDERS begin select 1; end;
create trigger LOG_QTY after update on ORDERS begin select 1; end;
insert into ORDERS values (1, 'a', 0, 5, 1), (2, NULL, 1, 7, 0), (3, 'c', 1, 0, NULL);
create table CUSTOMER(ID integer primary key, NAME varchar(20));
create table LINES(ID integer, CUSTOMER_ID integer references CUSTOMER(ID));
)";

} // namespace

// The table window's drops on SQLite itself: the engine's own statements,
// the window and the catalog agreeing afterwards, and every row kept.
class TestSqliteDropCommands : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram;
    CDoc *m_doc = nullptr;
    CDbView *m_view = nullptr;

    CDbSession &Session() const { return m_diagram.Session(); }
    CTableWnd *Orders() const { return m_doc->FindTable("ORDERS"); }

    // The changes sent since the mark; the catalog reads of a reload are
    // left out.
    // The first column of every row, through the document's connection;
    // the log mark moves past the query.
    QStringList Rows(const char *sql)
    {
        QStringList rows;
        int result = Session().Execute(sql);
        while (result >= 0 && (result = Session().Fetch()) >= 0) {
            std::string text;
            result = Session().GetColumnText(1, text);
            rows << QString::fromStdString(text);
        }
        Session().CloseStatement();
        m_diagram.MarkLog();
        return rows;
    }
    QStringList OrderRows(const char *columns)
    {
        return Rows(qPrintable(QStringLiteral("select %1 from ORDERS order by ID").arg(columns)));
    }
    // The rows a fresh load of the table shows.
    QStringList CatalogRows(const char *table)
    {
        CTableWnd fresh(m_doc, table);
        fresh.LoadSchema();
        return Names(&fresh);
    }

private slots:
    void initTestCase()
    {
        CAdapterRegistry::Instance().Clear();
        CAdapterRegistry::Instance().Register(std::make_unique<CSqliteAdapter>());
    }
    void cleanupTestCase() { CAdapterRegistry::Instance().Clear(); }

    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
        QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Shop")));
        m_doc = m_diagram.Doc();
        m_view = m_diagram.View();
    }
    void cleanup() { m_diagram.Close(); }

    void dropsColumnIndexAndTriggerTogether()
    {
        CTableWnd *orders = Orders();
        const QStringList kept = OrderRows("quote(ID)||quote(FLAG)||quote(QTY)||quote(SHIPPED)");
        m_diagram.Click(orders, RowOf(orders, Column, "NOTE"));
        m_diagram.Click(orders, RowOf(orders, Index, "BY_SHIPPED"), Qt::ControlModifier);
        m_diagram.Click(orders, RowOf(orders, Trigger, "CHECK_QTY"), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(orders);

        QCOMPARE(answerer.texts,
                 QStringList{"Are you sure you want to drop: ' NOTE, BY_SHIPPED, CHECK_QTY'?"});
        QCOMPARE(m_diagram.ChangesSinceMark(), (QStringList{R"(ALTER TABLE "ORDERS" DROP COLUMN "NOTE")",
                                               R"(DROP INDEX "BY_SHIPPED")",
                                               R"(DROP TRIGGER "CHECK_QTY")"}));
        QCOMPARE(RowOf(orders, Column, "NOTE"), -1);
        QCOMPARE(RowOf(orders, Index, "BY_SHIPPED"), -1);
        QCOMPARE(RowOf(orders, Trigger, "CHECK_QTY"), -1);
        QCOMPARE(Names(orders).size(), 9); // ID FLAG QTY SHIPPED, two indexes of one segment, LOG_QTY
        QCOMPARE(Names(orders), CatalogRows("ORDERS"));
        QCOMPARE(OrderRows("quote(ID)||quote(FLAG)||quote(QTY)||quote(SHIPPED)"), kept);
    }

    void dropsTwoColumnsInOneTransaction()
    {
        CTableWnd *orders = Orders();
        const QStringList kept = OrderRows("quote(ID)||quote(QTY)||quote(SHIPPED)");
        m_diagram.Click(orders, RowOf(orders, Column, "NOTE"));
        m_diagram.Click(orders, RowOf(orders, Column, "FLAG"), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        orders->OnCommand(Cmd::DropColumns);
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(m_diagram.ChangesSinceMark().size(), 2);
        QCOMPARE(RowOf(orders, Column, "NOTE"), -1);
        QCOMPARE(RowOf(orders, Column, "FLAG"), -1);
        QCOMPARE(Names(orders), CatalogRows("ORDERS"));
        QCOMPARE(OrderRows("quote(ID)||quote(QTY)||quote(SHIPPED)"), kept);
    }

    // SQLite refuses to drop the indexed column; the column before it in
    // the same command is not dropped either.
    void refusedColumnDropKeepsEveryColumn()
    {
        CTableWnd *orders = Orders();
        const QStringList before = Names(orders);
        const QStringList kept = OrderRows("quote(ID)||quote(NOTE)||quote(QTY)");
        m_diagram.Click(orders, RowOf(orders, Column, "NOTE"));
        m_diagram.Click(orders, RowOf(orders, Column, "QTY"), Qt::ControlModifier);
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.DropFromMenu(orders);
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("BY_QTY"), qPrintable(answerer.texts[1]));
        QCOMPARE(Names(orders), before);
        QCOMPARE(CatalogRows("ORDERS"), before);
        QCOMPARE(OrderRows("quote(ID)||quote(NOTE)||quote(QTY)"), kept);
    }

    void dropsIndexWithItsSegments()
    {
        CTableWnd *orders = Orders();
        m_diagram.Click(orders, RowOf(orders, Index, "BY_SHIPPED"));
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(orders);
        QCOMPARE(m_diagram.ChangesSinceMark(), QStringList{R"(DROP INDEX "BY_SHIPPED")"});
        QCOMPARE(RowOf(orders, Index, "BY_SHIPPED"), -1);
        QCOMPARE(Names(orders), CatalogRows("ORDERS"));
    }

    // Until SQLite's table rebuild is in place the relationship drop is
    // refused with a plain message; nothing is sent and nothing changes.
    void relationshipDropIsRefusedPlainly()
    {
        QCOMPARE(Session().RelationshipCount(), 1);
        m_view->m_selRelationship = 0;
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        QVERIFY(m_view->OnCommand(Cmd::Drop));
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].startsWith("SQLite cannot add or drop a foreign key"),
                 qPrintable(answerer.texts[1]));
        QVERIFY(m_diagram.ChangesSinceMark().isEmpty());
        QCOMPARE(m_view->m_selRelationship, 0);
        QCOMPARE(Session().RelationshipCount(), 1);
    }
};

QTEST_MAIN(TestSqliteDropCommands)
#include "tst_sqlitedropcommands.moc"

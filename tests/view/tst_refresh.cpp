#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QPointer>
#include <QtTest>

using namespace TableRows;

namespace {

const char *const kShopSql = R"(
create table CUSTOMER(ID integer primary key, NAME varchar(20));
create table ORDERS(ID integer, CUSTOMER_ID integer references CUSTOMER(ID));
create table NOTES(ID integer, TEXT varchar(200));
)";

} // namespace

// Refresh on SQLite: what another program changed in the database shows in
// the diagram, and what the user arranged stays.
class TestRefresh : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram;
    CDoc *m_doc = nullptr;
    CDbView *m_view = nullptr;

    CTableWnd *Table(const char *name) const { return m_doc->FindTable(name); }

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
    }

    void init()
    {
        QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Shop")));
        m_doc = m_diagram.Doc();
        m_view = m_diagram.View();
    }
    void cleanup() { m_diagram.Close(); }

    void followsTheCatalogAndKeepsTheLayout()
    {
        CTableWnd *customer = Table("CUSTOMER");
        CTableWnd *orders = Table("ORDERS");
        QPointer<CTableWnd> notes = Table("NOTES");
        QVERIFY(m_view->OnCommand(Cmd::ViewAttributes));
        orders->move(orders->pos() + QPoint(50, 30));
        const QPoint ordersPlace = orders->pos();
        const QPoint customerPlace = customer->pos();
        const int customerHeight = customer->height();
        const QPoint notesPlace = notes->pos();
        m_diagram.Click(customer, 1);
        m_diagram.Click(notes, 0);
        QCOMPARE(m_view->m_pActiveTable, notes.data());

        QVERIFY(m_sandbox.RunSql("Shop", "drop table NOTES;\n"
                                         "alter table CUSTOMER add column CITY varchar(20);\n"
                                         "create index BY_NAME on CUSTOMER(NAME);\n"
                                         "create table LINES(ID integer, ORDER_ID integer references CUSTOMER(ID));\n"));
        QVERIFY(m_view->OnCommand(Cmd::ViewRefresh));

        // Gone from the database, gone from the diagram.
        QCOMPARE(Table("NOTES"), nullptr);
        QTRY_VERIFY(notes.isNull() || !notes->isVisible());
        QCOMPARE(m_view->m_pActiveTable, nullptr);
        // The rows are the catalog's; the windows stand where they stood.
        QCOMPARE(Names(customer), CatalogNames(m_doc, "CUSTOMER"));
        QVERIFY(Names(customer).contains("CITY") && Names(customer).contains("BY_NAME"));
        QCOMPARE(customer->FirstSelected(), -1);
        QCOMPARE(customer->pos(), customerPlace);
        QCOMPARE(orders->pos(), ordersPlace);
        QCOMPARE(customer->height(), customerHeight + 3 * 15);
        // The new table joins the shortest layout column, in the mode shown:
        // the one the dropped table leaves empty, left of the other empty
        // ones.
        CTableWnd *lines = Table("LINES");
        QVERIFY(lines && lines->isVisible());
        QCOMPARE(m_doc->m_viewMode, int(Attributes));
        QCOMPARE(lines->width(), 200);
        QCOMPARE(lines->pos(), QPoint(notesPlace.x(), 20));
        QCOMPARE(m_doc->IndexOfTable(lines), 2);
        // Its relationship is read with it.
        QCOMPARE(m_doc->Schema().RelationshipCount(), 2);
        QCOMPARE(m_view->m_selRelationship, -1);

        // Only what the user did counts as a change: the moved window and
        // the view mode.
        QVERIFY(m_doc->CheckMovedTables());
        orders->move(orders->m_savedPos);
        QVERIFY(m_doc->CheckMovedTables());
        QVERIFY(m_view->OnCommand(Cmd::ViewSchema));
        QVERIFY(!m_doc->CheckMovedTables());
    }
};

QTEST_MAIN(TestRefresh)
#include "tst_refresh.moc"

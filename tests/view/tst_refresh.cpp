#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/EngineDiagram.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QPointer>
#include <QtTest>

using namespace TableRows;

namespace {

// Both engines read the same scripts: the shop, then what another program
// changes in it.
const char *const kShopSql = R"(
create table customer(id integer primary key, name varchar(20));
create table orders(id integer, customer_id integer references customer(id));
create table notes(id integer, customer_id integer references customer(id), text varchar(200));
)";

const char *const kChangesSql = R"(
drop table notes;
alter table customer add column city varchar(20);
create index by_name on customer(name);
create table lines(id integer, order_id integer references customer(id));
)";

} // namespace

// Refresh: what another program changed in the database shows in the
// diagram, what the user arranged stays, and a refresh that cannot read
// the catalog leaves the diagram as it was.
class TestRefresh : public QObject
{
    Q_OBJECT

    CEngineDiagram m_shop;

    CDoc *Doc() const { return m_shop.Diagram().Doc(); }
    CDbView *View() const { return m_shop.Diagram().View(); }
    CTableWnd *Table(const char *name) const { return Doc()->FindTable(name); }

    QStringList ForeignTables() const
    {
        QStringList tables;
        for (int i = 0; i < Doc()->Schema().RelationshipCount(); ++i)
            tables << QString::fromStdString(Doc()->Schema().GetRelationship(i)->m_foreignTable);
        tables.sort();
        return tables;
    }

private slots:
    void initTestCase() { QVERIFY2(m_shop.IsReady(), qPrintable(m_shop.Error())); }
    void cleanup() { m_shop.Diagram().Close(); }

    void followsTheCatalogAndKeepsTheLayout_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::newRow("SQLite") << "SQLite";
        QTest::newRow("PostgreSQL") << "PostgreSQL";
    }
    void followsTheCatalogAndKeepsTheLayout()
    {
        QFETCH(QString, engine);
        QVERIFY2(m_shop.Open(engine, kShopSql), qPrintable(m_shop.Error()));
        CTableWnd *customer = Table("customer");
        CTableWnd *orders = Table("orders");
        QPointer<CTableWnd> notes = Table("notes");
        QVERIFY(View()->OnCommand(Cmd::ViewAttributes));
        orders->move(orders->pos() + QPoint(50, 30));
        const QPoint ordersPlace = orders->pos();
        const QPoint customerPlace = customer->pos();
        const int customerHeight = customer->height();
        m_shop.Diagram().Click(customer, 1);
        m_shop.Diagram().Click(notes, 0);
        QCOMPARE(View()->m_pActiveTable, notes.data());

        QVERIFY2(m_shop.RunElsewhere(kChangesSql), qPrintable(m_shop.Error()));
        QVERIFY(View()->OnCommand(Cmd::ViewRefresh));

        // Gone from the database, gone from the diagram, with its key.
        QCOMPARE(Table("notes"), nullptr);
        QTRY_VERIFY(notes.isNull() || !notes->isVisible());
        QCOMPARE(View()->m_pActiveTable, nullptr);
        // The rows are the catalog's; the windows stand where they stood.
        QCOMPARE(Names(customer), CatalogNames(Doc(), "customer"));
        QVERIFY(Names(customer).contains("city") && Names(customer).contains("by_name"));
        QCOMPARE(customer->FirstSelected(), -1);
        QCOMPARE(customer->pos(), customerPlace);
        QCOMPARE(orders->pos(), ordersPlace);
        QCOMPARE(customer->height(), customerHeight + 3 * 15);
        // The new table, in the mode shown, goes into free space in sight,
        // on top of no other window.
        CTableWnd *lines = Table("lines");
        QVERIFY(lines && lines->isVisible());
        QCOMPARE(Doc()->m_viewMode, int(Attributes));
        QCOMPARE(lines->width(), 200);
        QVERIFY(View()->viewport()->rect().contains(lines->geometry().translated(-View()->ScrollPosition())));
        QVERIFY(!lines->geometry().intersects(customer->geometry()));
        QVERIFY(!lines->geometry().intersects(orders->geometry()));
        QCOMPARE(Doc()->IndexOfTable(lines), 2);
        // Its relationship is read with it.
        QCOMPARE(ForeignTables(), (QStringList{"lines", "orders"}));
        QCOMPARE(View()->m_selRelationship, -1);

        // Only what the user did counts as a change: the moved window and
        // the view mode.
        QVERIFY(Doc()->CheckMovedTables());
        orders->move(orders->m_savedPos);
        QVERIFY(Doc()->CheckMovedTables());
        QVERIFY(View()->OnCommand(Cmd::ViewSchema));
        QVERIFY(!Doc()->CheckMovedTables());
    }

    // The server ends the session (the database is dropped under it): the
    // refresh reports the failure and changes nothing.
    void aLostConnectionLeavesTheDiagram()
    {
        QVERIFY2(m_shop.Open("PostgreSQL", kShopSql), qPrintable(m_shop.Error()));
        CTableWnd *customer = Table("customer");
        const QStringList rows = Names(customer);
        const QPoint place = customer->pos();
        QVERIFY2(m_shop.Postgres().Recreate(), qPrintable(m_shop.Postgres().Error()));

        CModalAnswerer answerer;
        QVERIFY(View()->OnCommand(Cmd::ViewRefresh));
        QCOMPARE(answerer.titles, QStringList{"Error"});
        QCOMPARE(answerer.icons.value(0), QMessageBox::Critical);
        QVERIFY(!answerer.LastText().isEmpty());
        QCOMPARE(Doc()->TableCount(), 3);
        QCOMPARE(Table("customer"), customer);
        QCOMPARE(Names(customer), rows);
        QCOMPARE(customer->pos(), place);
        QCOMPARE(ForeignTables(), (QStringList{"notes", "orders"}));
    }
};

QTEST_MAIN(TestRefresh)
#include "tst_refresh.moc"

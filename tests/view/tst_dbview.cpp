#include "diagram/PlatformMetrics.h"
#include "diagram/RelationshipGeometry.h"
#include "diagram/SharedResources.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"
#include "view/DbView.h"
#include "view/PrinterPage.h"

#include <QMenu>
#include <QPageLayout>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

namespace {

constexpr int kRow = 15;

// Four tables joined by three foreign keys, described in the engine's
// dictionary tables so that the relationships load for real.
QString DiagramDatabaseSql()
{
    return PervasiveDictionarySql()
           + QStringLiteral(
               "create table CUSTOMER(ID INTEGER NOT NULL, NAME CHAR(30), AMOUNT DECIMAL(10,2));\n"
               "create unique index PK on CUSTOMER(ID);\n"
               "create index BY_NAME on CUSTOMER(NAME);\n"
               "create table ORDERS(ORDER_ID INTEGER NOT NULL, CUSTOMER_ID INTEGER, ORDERED DATE);\n"
               "create unique index ORDERS_PK on ORDERS(ORDER_ID);\n"
               "create index BY_CUSTOMER on ORDERS(CUSTOMER_ID);\n"
               "create table ITEMS(ITEM_ID INTEGER NOT NULL, ORDER_ID INTEGER, QTY INTEGER);\n"
               "create unique index ITEMS_PK on ITEMS(ITEM_ID);\n"
               "create index BY_ORDER on ITEMS(ORDER_ID);\n"
               "create table PAYMENTS(PAYMENT_ID INTEGER NOT NULL, ORDER_ID INTEGER,"
               " PAID DECIMAL(12,2));\n"
               "create index PAY_BY_ORDER on PAYMENTS(ORDER_ID);\n"
               "insert into \"X$File\" values (1, 'CUSTOMER'), (2, 'ORDERS'), (3, 'ITEMS'),"
               " (4, 'PAYMENTS');\n"
               "insert into \"X$Field\" values (10, 1, 'PK', 255, 0), (11, 2, 'ORDERS_PK', 255, 0),"
               " (12, 2, 'BY_CUSTOMER', 255, 1), (13, 3, 'BY_ORDER', 255, 1),"
               " (14, 4, 'PAY_BY_ORDER', 255, 1);\n"
               "insert into \"X$Relate\" values ('FK_ORDERS_CUSTOMER', 1, 0, 2, 1, 1, 1),"
               " ('FK_ITEMS_ORDERS', 2, 0, 3, 1, 1, 1), ('FK_PAYMENTS_ORDERS', 2, 0, 4, 1, 1, 1);\n"
               "insert into \"X$Trigger\" values ('\"CHECK_AMOUNT\"', 1);\n");
}

// Where each table stands: ORDERS left of CUSTOMER, ITEMS right of ORDERS,
// PAYMENTS below ORDERS at the same x.
const QList<QPair<QString, QPoint>> kPositions = {{"CUSTOMER", {340, 40}},
                                                  {"ORDERS", {60, 60}},
                                                  {"ITEMS", {360, 300}},
                                                  {"PAYMENTS", {60, 330}}};

bool IsDark(QRgb pixel) { return qGray(pixel) < 96; }

// Records the entries of the next pop-up menu with their enabled state, then
// closes it.
class CMenuSnapshot : public QObject
{
public:
    CMenuSnapshot()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return;
            for (QAction *action : menu->actions())
                entries << (action->isSeparator()
                                ? QStringLiteral("-")
                                : action->text() + (action->isEnabled() ? "" : " (disabled)"));
            menu->close();
        });
        m_timer.start(10);
    }
    QStringList entries;

private:
    QTimer m_timer;
};

} // namespace

class TestDbView : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = AliasedPervasiveAdapter();
    COdbcSandbox m_sandbox;
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;

    CTableWnd *Table(const char *name) const { return m_doc->FindTable(name); }
    CDbSession &Session() const { return m_doc->GetSession(); }
    CSchemaModel &Keys() const { return m_doc->Schema(); }
    // The client (viewport) point of a diagram point.
    QPoint ToClient(const QPoint &diagram) const { return diagram - m_view->ScrollPosition(); }
    QImage GrabClient() const { return m_view->viewport()->grab().toImage(); }
    CRelationshipRoute RouteOf(int index) const
    {
        CRelationshipRoute route;
        if (!m_view->RelationshipRoute(*Keys().GetRelationship(index), route))
            qWarning("relationship %d has no route", index);
        return route;
    }
    int Relationship(const char *name) const
    {
        for (int i = 0; i < Keys().RelationshipCount(); ++i)
            if (Keys().GetRelationship(i)->m_name == name)
                return i;
        return -1;
    }
    // Dark pixels in a short column across a horizontal line: its width.
    int LineWidthAt(const QPoint &diagram) const
    {
        const QImage image = GrabClient();
        const QPoint at = ToClient(diagram);
        int dark = 0;
        for (int dy = -3; dy <= 3; ++dy)
            dark += IsDark(image.pixel(at + QPoint(0, dy))) ? 1 : 0;
        return dark;
    }
    bool Enabled(int id) const
    {
        bool enabled = false;
        bool checked = false;
        return m_view->CommandState(id, enabled, checked) && enabled;
    }
    bool Checked(int id) const
    {
        bool enabled = false;
        bool checked = false;
        return m_view->CommandState(id, enabled, checked) && checked;
    }
    void SaveShot(const QString &name, const QImage &image) const
    {
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty())
            image.save(folder + "/" + name + ".png");
    }

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Diagram", DiagramDatabaseSql());
    }

    void init()
    {
        m_doc = std::make_unique<CDoc>(m_adapters);
        QCOMPARE(Session().Connect(COdbcSandbox::ConnectionString("Diagram")), 0);
        QCOMPARE(m_doc->LoadAllTables(), 0);
        // The dictionary's own tables are left out of the diagram.
        for (int i = m_doc->TableCount() - 1; i >= 0; --i) {
            CTableWnd *table = m_doc->GetTable(i);
            if (table->m_name.rfind("X$", 0) == 0) {
                m_doc->RemoveTable(table);
                delete table;
            }
        }
        QCOMPARE(m_doc->TableCount(), 4);
        for (const auto &[name, position] : kPositions)
            m_doc->FindTable(name.toStdString())->m_savedPos = position;
        QCOMPARE(Keys().RelationshipCount(), 3);

        m_view = std::make_unique<CDbView>(m_doc.get());
        m_view->resize(640, 480);
        m_view->OnInitialUpdate();
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup()
    {
        m_view.reset();
        m_doc.reset();
    }

    void initialUpdateShowsEveryTableAtItsPosition()
    {
        QCOMPARE(m_view->windowTitle(), QStringLiteral("Diagram"));
        for (const auto &[name, position] : kPositions) {
            CTableWnd *table = Table(name.toUtf8().constData());
            QCOMPARE(table->parentWidget(), m_view->Canvas());
            QVERIFY(table->isVisible());
            QCOMPARE(table->GetPosition(), position);
            const int height = 3 * Platform::kSizingFrameHeight + Platform::kCaptionHeight + 2
                               + kRow * table->ItemCount();
            QCOMPARE(table->size(), QSize(120, height));
            QVERIFY(!table->windowIcon().isNull());
        }
        QVERIFY(!m_doc->IsModified());
    }

    void scrollRangeIsTheWholeDiagram()
    {
        for (const QSize size : {QSize(640, 480), QSize(300, 900)}) {
            m_view->resize(size);
            QApplication::processEvents();
            const QSize page = m_view->viewport()->size();
            QScrollBar *h = m_view->horizontalScrollBar();
            QScrollBar *v = m_view->verticalScrollBar();
            QCOMPARE(h->maximum() + page.width(), CDbView::kDiagramSize);
            QCOMPARE(v->maximum() + page.height(), CDbView::kDiagramSize);
            QCOMPARE(h->pageStep(), page.width());
            QCOMPARE(v->pageStep(), page.height());
            QCOMPARE(h->singleStep(), page.width() / 10);
            QCOMPARE(v->singleStep(), page.height() / 10);
        }
    }

    void viewModesResizeEveryWindowAndMarkTheRadio_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("rows");
        QTest::newRow("table diagram") << Cmd::ViewTableDiagram << int(TableDiagram) << 120 << false;
        QTest::newRow("attributes") << Cmd::ViewAttributes << int(Attributes) << 200 << true;
        QTest::newRow("schema") << Cmd::ViewSchema << int(Schema) << 120 << true;
    }
    void viewModesResizeEveryWindowAndMarkTheRadio()
    {
        QFETCH(int, command);
        QFETCH(int, mode);
        QFETCH(int, width);
        QFETCH(bool, rows);
        // Start from another mode so that every switch changes something.
        m_view->OnCommand(command == Cmd::ViewAttributes ? Cmd::ViewTableDiagram : Cmd::ViewAttributes);
        QVERIFY(m_view->OnCommand(command));
        QCOMPARE(m_doc->m_viewMode, mode);
        const int frame = Platform::kSizingFrameHeight;
        for (int i = 0; i < m_doc->TableCount(); ++i) {
            CTableWnd *table = m_doc->GetTable(i);
            const int height = rows ? 3 * frame + Platform::kCaptionHeight + 2 + kRow * table->ItemCount()
                                    : frame + Platform::kCaptionHeight + 2;
            QCOMPARE(table->size(), QSize(width, height));
        }
        for (int other : {Cmd::ViewSchema, Cmd::ViewTableDiagram, Cmd::ViewAttributes}) {
            QVERIFY(Enabled(other));
            QCOMPARE(Checked(other), other == command);
        }
        QVERIFY(!m_doc->IsModified());
    }

    void commandAvailabilityFollowsTheSelection()
    {
        const QList<int> tableCommands = {Cmd::AddColumn, Cmd::CreateIndex, Cmd::CreateTrigger};
        QVERIFY(!Enabled(Cmd::Drop));
        for (int id : tableCommands)
            QVERIFY(!Enabled(id));
        QVERIFY(Enabled(Cmd::CreateTable));
        QVERIFY(Enabled(Cmd::NextPane));
        QVERIFY(Enabled(Cmd::PrevPane));

        m_view->m_selRelationship = 0;
        QVERIFY(Enabled(Cmd::Drop));
        for (int id : tableCommands)
            QVERIFY(!Enabled(id));

        m_view->m_selRelationship = -1;
        m_view->m_pActiveTable = Table("ORDERS");
        QVERIFY(Enabled(Cmd::Drop));
        for (int id : tableCommands)
            QVERIFY(Enabled(id));
        // Nothing in the program makes foreign keys from a menu or hides a
        // table: those entries never become available.
        bool enabled = true;
        bool checked = true;
        for (int id : {Cmd::CreateForeignKey, Cmd::HideTable}) {
            QVERIFY(m_view->CommandState(id, enabled, checked));
            QVERIFY(!enabled);
        }
        // Create Table opens its dialog; cancelled, it sends nothing.
        auto dialogs = CModalAnswerer::Dialogs();
        QString title;
        dialogs.Queue([&title](QWidget *dialog) {
            title = dialog->windowTitle();
            static_cast<QDialog *>(dialog)->reject();
        });
        const size_t sent = Session().GetStatementLog().size();
        QVERIFY(m_view->OnCommand(Cmd::CreateTable));
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(title, QString("Create Table"));
        QCOMPARE(Session().GetStatementLog().size(), sent);
    }

    void backgroundMenuOffersItsEntriesAsAvailable()
    {
        const QPoint background(250, 20);
        {
            CMenuSnapshot snapshot;
            QTest::mouseClick(m_view->Canvas(), Qt::RightButton, {}, background);
            QTRY_COMPARE(snapshot.entries,
                         (QStringList{"Create &Foreign Key (disabled)", "Create &Table",
                                      "&Hide Table (disabled)", "-", "&Drop (disabled)"}));
        }
        m_view->m_selRelationship = 1;
        {
            CMenuSnapshot snapshot;
            QTest::mouseClick(m_view->Canvas(), Qt::RightButton, {}, background);
            QTRY_COMPARE(snapshot.entries.value(4), QStringLiteral("&Drop"));
        }
        // The right press leaves the selection as it was.
        QCOMPARE(m_view->m_selRelationship, 1);
    }

    void backgroundClickDeselects()
    {
        CTableWnd *orders = Table("ORDERS");
        QTest::mouseClick(orders, Qt::LeftButton, {}, QPoint(40, 10));
        QCOMPARE(m_view->m_pActiveTable, orders);
        m_view->m_selRelationship = 2;
        QTest::mouseClick(m_view->Canvas(), Qt::LeftButton, {}, QPoint(250, 20));
        QCOMPARE(m_view->m_pActiveTable, nullptr);
        QCOMPARE(m_view->m_selRelationship, -1);
    }

    void clickOnALineSelectsItAndDrawsItWide_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("foreign table left of its parent") << "FK_ORDERS_CUSTOMER";
        QTest::newRow("parent table left of the foreign") << "FK_ITEMS_ORDERS";
        QTest::newRow("one above the other") << "FK_PAYMENTS_ORDERS";
    }
    // A click inside the crow's foot selects any relationship.
    void clickOnALineSelectsItAndDrawsItWide()
    {
        QFETCH(QString, name);
        const int index = Relationship(name.toUtf8().constData());
        QVERIFY(index >= 0);
        const CRelationshipRoute route = RouteOf(index);
        // The stub at the foreign end, past the crow's foot.
        const int stubX = route.m_marker[1].x() + (route.m_marker[1].x() > route.m_marker[0].x() ? 5 : -5);
        const QPoint stub(stubX, route.m_marker[1].y());
        QCOMPARE(LineWidthAt(stub), 1);

        const QPoint inMarker = (route.m_marker[0] + route.m_marker[1] + route.m_marker[2]) / 3;
        QTest::mouseClick(m_view->Canvas(), Qt::LeftButton, {}, inMarker);
        QCOMPARE(m_view->m_selRelationship, index);
        QTRY_COMPARE(LineWidthAt(stub), 2);

        QTest::mouseClick(m_view->Canvas(), Qt::LeftButton, {}, QPoint(250, 20));
        QCOMPARE(m_view->m_selRelationship, -1);
        QTRY_COMPARE(LineWidthAt(stub), 1);
    }

    // A slanted line is hit anywhere in the area its four points span; a
    // nearly level one, whose area is next to nothing, where it is drawn.
    void clickOnTheLineItself()
    {
        const CRelationshipRoute slanted = RouteOf(Relationship("FK_ITEMS_ORDERS"));
        QTest::mouseClick(m_view->Canvas(), Qt::LeftButton, {}, (slanted.m_line[1] + slanted.m_line[2]) / 2);
        QCOMPARE(m_view->m_selRelationship, Relationship("FK_ITEMS_ORDERS"));

        const CRelationshipRoute level = RouteOf(Relationship("FK_ORDERS_CUSTOMER"));
        QVERIFY(qAbs(level.m_line[1].y() - level.m_line[2].y()) < 6);
        QTest::mouseClick(m_view->Canvas(), Qt::LeftButton, {}, (level.m_line[1] + level.m_line[2]) / 2);
        QCOMPARE(m_view->m_selRelationship, Relationship("FK_ORDERS_CUSTOMER"));
    }

    // The foreign end of a line lies on the bottom edge of its index's
    // header row (15 below the row's top), the parent end on the top edge of
    // its index's header row; worked out from where the tables stand and
    // which row shows each index.
    void lineEndsSitAtTheirIndexRows()
    {
        auto rowOf = [](const CTableWnd *table, const std::string &name) {
            for (int i = 0; const CTableItem *item = table->GetItem(i); ++i)
                if (item->IsIndexHeader() && item->m_name == name)
                    return i;
            return -1;
        };
        const int foreignRow = rowOf(Table("ORDERS"), "BY_CUSTOMER");
        const int parentRow = rowOf(Table("CUSTOMER"), "PK");
        QVERIFY(foreignRow > 0 && parentRow > 0);
        // ORDERS stands at (60, 60), 120 wide; CUSTOMER at (340, 40).
        const int foreignY = 60 + Platform::kClientTop + kRow * foreignRow + 15;
        const int parentY = 40 + Platform::kClientTop + kRow * parentRow;
        const CRelationshipRoute route = RouteOf(Relationship("FK_ORDERS_CUSTOMER"));
        QCOMPARE(route.m_line[0], QPoint(180, foreignY));
        QCOMPARE(route.m_line[1], QPoint(200, foreignY));
        QCOMPARE(route.m_line[2], QPoint(320, parentY));
        QCOMPARE(route.m_line[3], QPoint(340, parentY));
        QCOMPARE(route.m_marker[1], QPoint(190, foreignY));
        m_view->Canvas()->repaint();
        QVERIFY(IsDark(GrabClient().pixel(ToClient(QPoint(195, foreignY)))));
        QVERIFY(!IsDark(GrabClient().pixel(ToClient(QPoint(195, foreignY - kRow)))));
    }

    void linesFollowAMovedTable()
    {
        const int index = Relationship("FK_ORDERS_CUSTOMER");
        CTableWnd *customer = Table("CUSTOMER");
        customer->move(customer->pos() + QPoint(60, 0));
        const CRelationshipRoute route = RouteOf(index);
        QCOMPARE(route.m_line[3], QPoint(customer->x(), customer->GetIndexAnchor("PK").y()));
        QTRY_VERIFY(IsDark(GrabClient().pixel(ToClient(route.m_line[3] - QPoint(10, 0)))));
    }

    void relationshipWithoutATableWindowIsNeitherDrawnNorHit()
    {
        m_view->Canvas()->repaint();
        const QImage before = GrabClient();
        Keys().AddRelationship(CDbRelationship{"GHOST", "PK", "ORDERS", "BY_CUSTOMER", "FK_GHOST"});
        CRelationshipRoute route;
        QVERIFY(!m_view->RelationshipRoute(*Keys().GetRelationship(3), route));
        m_view->Canvas()->repaint();
        QCOMPARE(GrabClient(), before);
        // Where the ghost would leave ORDERS nothing is hit.
        const QPoint anchor = Table("ORDERS")->GetIndexAnchor("BY_CUSTOMER") + QPoint(-5, kRow);
        QCOMPARE(m_view->HitTestRelationships(anchor), -1);
    }

    // The line of a row drag runs between client points; the scroll
    // position turns them into diagram points.
    void dragLineIsDrawnWhereThePointerIs()
    {
        m_view->horizontalScrollBar()->setValue(100);
        m_view->verticalScrollBar()->setValue(50);
        m_view->m_dragStart = QPoint(10, 250);
        m_view->m_dragPoint = QPoint(200, 250);
        m_view->m_dragState = RowDragging;
        m_view->Canvas()->update();
        QTRY_VERIFY(IsDark(GrabClient().pixel(150, 250)));
        m_view->m_dragState = NoRowDrag;
        m_view->Canvas()->update();
        QTRY_VERIFY(!IsDark(GrabClient().pixel(150, 250)));
    }

    void pageBoundariesFollowThePrinterPage()
    {
        auto greyInColumn = [this](int x, int rows = 100) {
            const QImage image = GrabClient();
            int grey = 0;
            for (int y = 0; y < rows; ++y)
                grey += image.pixel(x, y) == qRgb(128, 128, 128) ? 1 : 0;
            return grey;
        };
        auto greyInRow = [this](int y) {
            const QImage image = GrabClient();
            int grey = 0;
            for (int x = 200; x < 300; ++x)
                grey += image.pixel(x, y) == qRgb(128, 128, 128) ? 1 : 0;
            return grey;
        };
        // 8.27 x 11.69 inches print as 8 x 11: 768 and 1056 pixels.
        m_view->m_pageInches[0] = 8;
        m_view->m_pageInches[1] = 11;
        m_view->horizontalScrollBar()->setValue(700);
        m_view->verticalScrollBar()->setValue(1000);
        m_view->Canvas()->update();
        QTRY_VERIFY(greyInColumn(68) > 60);
        QVERIFY(greyInRow(56) > 60);
        // Beside the vertical boundary nothing is grey, above where the
        // horizontal one crosses it.
        QCOMPARE(greyInColumn(67, 56) + greyInColumn(69, 56), 0);

        // Without a printer there are no pages and nothing is drawn.
        m_view->m_pageInches[0] = 0;
        m_view->m_pageInches[1] = 0;
        m_view->horizontalScrollBar()->setValue(0);
        m_view->verticalScrollBar()->setValue(0);
        m_view->Canvas()->update();
        QTRY_COMPARE(greyInColumn(0) + greyInRow(0), 0);
    }

    void f6CyclesThroughTheTables()
    {
        const int count = m_doc->TableCount();
        QTest::keyClick(m_view.get(), Qt::Key_F6);
        QCOMPARE(m_view->m_pActiveTable, m_doc->GetTable(0));
        for (int i = 1; i < count; ++i)
            QTest::keyClick(m_view.get(), Qt::Key_F6);
        QCOMPARE(m_view->m_pActiveTable, m_doc->GetTable(count - 1));
        QTest::keyClick(m_view.get(), Qt::Key_F6);
        QCOMPARE(m_view->m_pActiveTable, m_doc->GetTable(0));
        QTest::keyClick(m_view.get(), Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(m_view->m_pActiveTable, m_doc->GetTable(count - 1));

        // With nothing active, Shift+F6 starts from the last table.
        QTest::mouseClick(m_view->Canvas(), Qt::LeftButton, {}, QPoint(250, 20));
        QCOMPARE(m_view->m_pActiveTable, nullptr);
        QTest::keyClick(m_view.get(), Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(m_view->m_pActiveTable, m_doc->GetTable(count - 1));
        // Activation deselects the relationship.
        m_view->m_selRelationship = 0;
        QTest::keyClick(m_view.get(), Qt::Key_F6);
        QCOMPARE(m_view->m_selRelationship, -1);
    }

    void f6ScrollsATableIntoSight_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QPoint>("scroll");
        QTest::newRow("already visible") << QPoint(200, 300) << QPoint(0, 0);
        QTest::newRow("below the view") << QPoint(30, 900) << QPoint(0, 850);
        QTest::newRow("right and below") << QPoint(1500, 2000) << QPoint(1450, 1950);
    }
    void f6ScrollsATableIntoSight()
    {
        QFETCH(QPoint, position);
        QFETCH(QPoint, scroll);
        CTableWnd *first = m_doc->GetTable(0);
        first->move(position);
        QTest::keyClick(m_view.get(), Qt::Key_F6);
        QCOMPARE(m_view->m_pActiveTable, first);
        QCOMPARE(m_view->ScrollPosition(), scroll);
    }

    void keysGoToTheActiveTable()
    {
        QTest::keyClick(m_view.get(), Qt::Key_F6);
        CTableWnd *active = m_view->m_pActiveTable;
        QVERIFY(active);
        QCOMPARE(active->FirstSelected(), -1);
        // The first Down selects the current row.
        QTest::keyClick(m_view.get(), Qt::Key_Down);
        QCOMPARE(active->FirstSelected(), active->m_focus);
    }

    void droppingARelationshipAnsweredNoChangesNothing()
    {
        const int index = Relationship("FK_ORDERS_CUSTOMER");
        const CRelationshipRoute route = RouteOf(index);
        QTest::mouseClick(m_view->Canvas(), Qt::LeftButton, {}, route.m_marker[1]);
        QCOMPARE(m_view->m_selRelationship, index);
        const size_t statements = Session().GetStatementLog().size();

        CModalAnswerer answerer(QMessageBox::No);
        auto chooser = CModalAnswerer::Menus(QStringLiteral("&Drop"));
        QTest::mouseClick(m_view->Canvas(), Qt::RightButton, {}, QPoint(250, 20));
        QTRY_COMPARE(answerer.Count(), 1);
        QCOMPARE(answerer.LastTitle(), QStringLiteral("Confirmation"));
        QCOMPARE(answerer.LastText(),
                 QStringLiteral("Are you sure you want to drop the foreign key relationship "
                                "between 'ORDERS' and 'CUSTOMER'?"));
        QCOMPARE(answerer.icons.last(), QMessageBox::Warning);
        QCOMPARE(Session().GetStatementLog().size(), statements);
        QCOMPARE(m_view->m_selRelationship, index);
        QCOMPARE(Keys().RelationshipCount(), 3);
    }

    // The engine refuses to drop a constraint: the statement went out
    // exactly, the refusal is reported, and nothing else changes.
    void droppingARelationshipReportsTheRefusal()
    {
        const int index = Relationship("FK_ITEMS_ORDERS");
        m_view->m_selRelationship = index;
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        QVERIFY(m_view->OnCommand(Cmd::Drop));
        QCOMPARE(answerer.Count(), 2);
        QCOMPARE(answerer.texts.first(),
                 QStringLiteral("Are you sure you want to drop the foreign key relationship "
                                "between 'ITEMS' and 'ORDERS'?"));
        QCOMPARE(Session().GetStatementLog().back().m_statement,
                 std::string("alter table \"ITEMS\" drop constraint \"FK_ITEMS_ORDERS\""));
        QCOMPARE(answerer.LastTitle(), QStringLiteral("Error"));
        QCOMPARE(answerer.icons.last(), QMessageBox::Critical);
        QVERIFY2(answerer.LastText().contains("syntax error"), qPrintable(answerer.LastText()));
        QCOMPARE(m_view->m_selRelationship, index);
        QCOMPARE(Keys().RelationshipCount(), 3);
        // The statement was closed: the session runs the next one.
        QVERIFY(Session().Execute("select 1") >= 0);
        Session().CloseStatement();
    }

    // Quotes inside a name are doubled, so the name cannot end its quotes.
    void droppingARelationshipQuotesItsNames()
    {
        Keys().AddRelationship(CDbRelationship{"CUSTOMER", "PK", "ORD\"ERS", "BY_CUSTOMER", "FK \"1\""});
        m_view->m_selRelationship = 3;
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_view->OnCommand(Cmd::Drop);
        QCOMPARE(answerer.Count(), 2);
        QCOMPARE(Session().GetStatementLog().back().m_statement,
                 std::string("alter table \"ORD\"\"ERS\" drop constraint \"FK \"\"1\"\"\""));
    }

    // Pictures of the diagram in each mode, the printed form and the row
    // images, for looking at; they also have to show every line.
    void rendersTheDiagram()
    {
        CTableWnd *customer = Table("CUSTOMER");
        QTest::mouseClick(customer, Qt::LeftButton, {}, customer->ClientRect().topLeft() + QPoint(40, kRow + 5));
        QCOMPARE(m_view->m_pActiveTable, customer);
        m_view->m_selRelationship = Relationship("FK_ITEMS_ORDERS");
        m_view->m_pageInches[0] = 6;
        m_view->m_pageInches[1] = 3;
        const QList<QPair<int, QString>> modes = {{Cmd::ViewSchema, "schema"},
                                                   {Cmd::ViewAttributes, "attributes"},
                                                   {Cmd::ViewTableDiagram, "table-diagram"}};
        for (const auto &[command, name] : modes) {
            m_view->OnCommand(command);
            m_view->Canvas()->repaint();
            const QImage shot = GrabClient();
            SaveShot("dbview-" + name, shot);
            for (int i = 0; i < Keys().RelationshipCount(); ++i) {
                const CRelationshipRoute route = RouteOf(i);
                const QPoint marker = ToClient(route.m_marker[1]);
                QVERIFY2(IsDark(shot.pixel(marker)), qPrintable(name + QString::number(i)));
            }
        }

        QImage page(640, 480, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            CDbView::ApplyDiagramMapping(painter, page);
            m_view->DrawForPrint(painter);
        }
        SaveShot("dbview-printed", page);

        QImage images(16 * Shared::kImageCount, 16, QImage::Format_ARGB32);
        images.fill(Qt::transparent);
        {
            QPainter painter(&images);
            for (int i = 0; i < Shared::kImageCount; ++i)
                painter.drawPixmap(16 * i, 0, Shared::DbImage(i));
        }
        SaveShot("db-images", images.scaled(images.size() * 8));
    }

    // The printable area counts in whole inches, the fraction dropped.
    void printerPageIsMeasuredInWholeInches_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<double>("margin");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<QSize>("inches");
        QTest::newRow("A4 without margins") << int(QPageSize::A4) << 0.0 << 600 << QSize(8, 11);
        QTest::newRow("A4 with half-inch margins") << int(QPageSize::A4) << 0.5 << 300 << QSize(7, 10);
        QTest::newRow("Letter") << int(QPageSize::Letter) << 0.0 << 600 << QSize(8, 11);
        QTest::newRow("no resolution") << int(QPageSize::A4) << 0.0 << 0 << QSize(0, 0);
    }
    void printerPageIsMeasuredInWholeInches()
    {
        QFETCH(int, size);
        QFETCH(double, margin);
        QFETCH(int, resolution);
        QFETCH(QSize, inches);
        const QPageLayout layout(QPageSize(QPageSize::PageSizeId(size)), QPageLayout::Portrait,
                                 QMarginsF(margin, margin, margin, margin), QPageLayout::Inch);
        QCOMPARE(PrinterPage::PageInches(layout, resolution), inches);
    }

    void mappingIsOneUnitPerNinetySixthOfAnInch_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("device");
        QTest::newRow("screen") << 96 << 100;
        QTest::newRow("printer at 600") << 600 << 625;
        QTest::newRow("printer at 300") << 300 << 312;
    }
    void mappingIsOneUnitPerNinetySixthOfAnInch()
    {
        QFETCH(int, dpi);
        QFETCH(int, device);
        QImage image(10, 10, QImage::Format_RGB32);
        QPainter painter(&image);
        CDbView::ApplyDiagramMapping(painter, dpi, dpi);
        // 100 logical units are 100/96 inch.
        QCOMPARE(painter.combinedTransform().map(QPoint(100, 100)), QPoint(device, device));
    }
};

QTEST_MAIN(TestDbView)
#include "tst_dbview.moc"

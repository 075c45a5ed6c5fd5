#include "bench/SchemaGenerator.h"
#include "bench/WheelNotch.h"
#include "db/DbmsAdapter.h"
#include "diagram/RelationshipGeometry.h"
#include "diagram/TableMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "view/DbView.h"

#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {

const QSize kViewSize(800, 600);
// A point on a table window's caption bar, in its own coordinates.
const QPoint kCaptionPoint(60, 10);

void SaveShot(const QString &name, const QImage &image)
{
    const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
    if (!folder.isEmpty())
        image.save(folder + "/" + name + ".png");
}

// A generated schema loaded into a document and shown in a view.
class CShownSchema
{
public:
    ~CShownSchema()
    {
        m_view.reset();
        m_doc.reset();
    }

    bool Open(const QString &dsn)
    {
        m_doc = std::make_unique<CDoc>(m_adapters);
        if (m_doc->GetSession().Connect(COdbcSandbox::ConnectionString(dsn)) < 0
            || m_doc->LoadAllTables() < 0)
            return false;
        Show();
        return QTest::qWaitForWindowExposed(m_view.get());
    }
    // Shows a document that is loaded already.
    void Show(std::unique_ptr<CDoc> doc)
    {
        m_doc = std::move(doc);
        Show();
    }

    const CAdapterList &Adapters() const { return m_adapters; }
    CDoc *Doc() const { return m_doc.get(); }
    CDbView *View() const { return m_view.get(); }
    CTableWnd *Table(int index) const { return m_doc->GetTable(index); }

    // The whole area the scroll bars reach, in diagram coordinates.
    QRect ScrollableArea() const
    {
        const QSize page = m_view->viewport()->size();
        return QRect(0, 0, m_view->horizontalScrollBar()->maximum() + page.width(),
                     m_view->verticalScrollBar()->maximum() + page.height());
    }
    QRect VisibleArea() const { return QRect(m_view->ScrollPosition(), m_view->viewport()->size()); }
    void ScrollTo(const QPoint &topLeft)
    {
        m_view->horizontalScrollBar()->setValue(topLeft.x());
        m_view->verticalScrollBar()->setValue(topLeft.y());
        QApplication::processEvents();
    }
    void Wheel(bool down) { WheelNotch(*m_view, down); }
    // The viewport as it stands on the screen: what the paint events drew
    // into the window, piece by piece.
    QImage OnScreen() const
    {
        const QPoint at = m_view->viewport()->mapTo(m_view.get(), QPoint(0, 0));
        const QPixmap window = m_view->screen()->grabWindow(m_view->winId());
        return window.copy(QRect(at, m_view->viewport()->size())).toImage();
    }
    // Every relationship's route, or -1 with an empty route for one that is
    // not drawn.
    std::vector<std::pair<int, CRelationshipRoute>> Routes() const
    {
        std::vector<std::pair<int, CRelationshipRoute>> routes;
        const CSchemaModel &schema = m_doc->Schema();
        for (int i = 0; const CDbRelationship *relationship = schema.GetRelationship(i); ++i) {
            CRelationshipRoute route;
            routes.emplace_back(m_view->RelationshipRoute(*relationship, route) ? i : -1, route);
        }
        return routes;
    }

private:
    void Show()
    {
        m_view = std::make_unique<CDbView>(m_doc.get());
        m_view->resize(kViewSize);
        m_view->OnInitialUpdate();
        m_view->show();
    }

    CAdapterList m_adapters = MakeDbmsAdapters();
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;
};

// The last relationship drawn where the press hits, or failing that the
// last whose area it hits, looking at every one.
int FullScanHit(const std::vector<std::pair<int, CRelationshipRoute>> &routes, const QPoint &point)
{
    int line = -1;
    int area = -1;
    for (const auto &[id, route] : routes) {
        if (id < 0)
            continue;
        if (RelationshipGeometry::HitsLine(route, point))
            line = id;
        else if (RelationshipGeometry::HitsArea(route, point))
            area = id;
    }
    return line >= 0 ? line : area;
}

// Presses spread over the tables, every other one close to a line.
QList<QPoint> Presses(const CShownSchema &shown, int count, std::mt19937 &random)
{
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    QRect extent;
    for (int i = 0; i < shown.Doc()->TableCount(); ++i)
        extent |= shown.Table(i)->geometry();
    const auto routes = shown.Routes();
    QList<QPoint> presses;
    while (presses.size() < count) {
        const auto &[id, route] = routes[static_cast<size_t>(pick(0, int(routes.size()) - 1))];
        if (presses.size() % 2 == 0 && id >= 0) {
            const size_t from = static_cast<size_t>(pick(0, 2));
            const QPoint a = route.m_line[from];
            const QPoint b = route.m_line[from + 1];
            presses << a + (b - a) * (pick(0, 100) / 100.0) + QPoint(pick(-4, 4), pick(-4, 4));
        } else {
            presses << QPoint(pick(extent.left(), extent.right()), pick(extent.top(), extent.bottom()));
        }
    }
    return presses;
}

} // namespace

class TestLargeDiagram : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    QTemporaryDir m_files;

    // The presses at which the view's index finds another relationship
    // than looking at every one does; counts the presses that hit one.
    static QStringList HitTestMismatches(const CShownSchema &shown, const QList<QPoint> &presses,
                                         int *hits = nullptr)
    {
        const auto routes = shown.Routes();
        QStringList mismatches;
        for (const QPoint &press : presses) {
            const int expected = FullScanHit(routes, press);
            const int found = shown.View()->HitTestRelationships(press);
            if (hits && expected >= 0)
                ++*hits;
            if (found != expected)
                mismatches << QStringLiteral("%1,%2: %3 instead of %4")
                                  .arg(press.x()).arg(press.y()).arg(found).arg(expected);
        }
        return mismatches;
    }

    // A diagram file that places one table of the small schema at a
    // position, opened and shown; the table is returned.
    CTableWnd *OpenWithPosition(CShownSchema &shown, const QString &name, const QPoint &position)
    {
        const QString path = m_files.filePath("placed.vmx");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return nullptr;
        file.write(QStringLiteral("DSN=Small\r\nView=Schema\r\nTable=%1\tPosn=%2,%3\r\n")
                       .arg(name).arg(position.x()).arg(position.y()).toUtf8());
        file.close();
        auto doc = std::make_unique<CDoc>(shown.Adapters());
        if (!doc->OnOpenDocument(path))
            return nullptr;
        shown.Show(std::move(doc));
        return shown.Doc()->FindTable(name.toStdString());
    }

    QByteArray SavedLineOf(CShownSchema &shown, const QString &name)
    {
        const QString saved = m_files.filePath("saved.vmx");
        if (!shown.Doc()->OnSaveDocument(saved))
            return QByteArray();
        QFile written(saved);
        if (!written.open(QIODevice::ReadOnly))
            return QByteArray();
        for (const QByteArray &line : written.readAll().split('\n'))
            if (line.startsWith(("Table=" + name + "\t").toUtf8()))
                return line;
        return QByteArray();
    }

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Large", QString::fromStdString(CSchemaGenerator(1000).Script()));
        m_sandbox.AddSqliteSource("Small", QString::fromStdString(CSchemaGenerator(20).Script()));
        m_sandbox.AddSqliteSource("Hits", QString::fromStdString(CSchemaGenerator(300).Script()));
    }

    // The automatic layout of a thousand tables reaches far below 10000
    // pixels; the view scrolls to all of them.
    void everyTableIsWithinReach()
    {
        CShownSchema shown;
        QVERIFY(shown.Open("Large"));
        CDoc *doc = shown.Doc();
        QCOMPARE(doc->TableCount(), 1000);
        CTableWnd *last = shown.Table(999);
        QVERIFY(last->y() > 3 * CDbView::kDiagramSize);
        const QRect reach = shown.ScrollableArea();
        for (int i = 0; i < doc->TableCount(); ++i)
            QVERIFY2(reach.contains(shown.Table(i)->geometry()), doc->GetTable(i)->m_name.c_str());

        // Shift+F6 with no table active goes to the last one and scrolls it
        // into sight.
        QTest::keyClick(shown.View(), Qt::Key_F6, Qt::ShiftModifier);
        QApplication::processEvents();
        QCOMPARE(shown.View()->m_pActiveTable, last);
        QVERIFY(shown.VisibleArea().contains(last->geometry()));
        const QImage screen = shown.OnScreen();
        SaveShot("large-diagram-last", screen);
        const QPoint caption = last->pos() + QPoint(60, 3) - shown.View()->ScrollPosition();
        QCOMPARE(screen.pixelColor(caption), last->palette().color(QPalette::Highlight));
    }

    // Dragging a table by its caption past the edge of the diagram makes
    // room: the table always stays within reach, and can be dragged on.
    void movingPastTheEdgeGrowsTheRange()
    {
        CShownSchema shown;
        QVERIFY(shown.Open("Small"));
        const int edge = shown.ScrollableArea().height();
        QCOMPARE(edge, CDbView::kDiagramSize);
        CTableWnd *table = shown.Table(3);
        table->move(200, edge - 600);
        QCOMPARE(shown.ScrollableArea().height(), edge);

        int bottom = edge;
        for (int drag = 0; drag < 2; ++drag) {
            shown.ScrollTo(table->pos() - QPoint(100, 100));
            const QPoint start = table->pos();
            // The pointer moves in steps, as a hand does, holding the caption.
            QTest::mousePress(table, Qt::LeftButton, Qt::NoModifier, kCaptionPoint);
            for (int step = 1; step <= 10; ++step)
                QTest::mouseMove(table, kCaptionPoint + QPoint(0, 50));
            QTest::mouseRelease(table, Qt::LeftButton, Qt::NoModifier, kCaptionPoint);
            QCOMPARE(table->pos(), start + QPoint(0, 500));
            const QRect reach = shown.ScrollableArea();
            QVERIFY(reach.height() > bottom);
            QVERIFY(reach.contains(table->geometry().adjusted(0, 0, 0, CDbView::kDiagramMargin)));
            bottom = reach.height();
        }
        QVERIFY(table->y() > edge);
        shown.ScrollTo(table->pos());
        QVERIFY(shown.VisibleArea().contains(table->pos()));
    }

    // A position far beyond 10000 pixels in a diagram file is where the
    // table opens and what the file says after saving.
    void farPositionsOpenThereAndSaveUnchanged()
    {
        const QString name = QString::fromStdString(CSchemaGenerator::TableName(5));
        CShownSchema shown;
        CTableWnd *far = OpenWithPosition(shown, name, QPoint(12000, 30000));
        QVERIFY(far);
        QCOMPARE(far->GetPosition(), QPoint(12000, 30000));
        QVERIFY(shown.ScrollableArea().contains(far->geometry()));
        shown.ScrollTo(far->pos());
        QVERIFY(shown.VisibleArea().contains(far->pos()));
        QVERIFY(!shown.Doc()->CheckMovedTables());
        QCOMPARE(SavedLineOf(shown, name), ("Table=" + name + "\tPosn=12000,30000\r").toUtf8());
    }

    // Scrolling stops at the diagram's origin. A file position left of or
    // above it opens as far in as dragging the window by its caption could
    // have left it: 40 pixels of its width showing, its caption not above
    // the top. A position such a drag reaches opens and saves unchanged.
    void positionsBeyondTheOriginOpenWithinReach_data()
    {
        const int width = TableMetrics::kSchemaWidth;
        QTest::addColumn<QPoint>("inFile");
        QTest::addColumn<QPoint>("shown");
        QTest::newRow("far up and left") << QPoint(-500, -300) << QPoint(40 - width, 0);
        QTest::newRow("above the top") << QPoint(30, -25) << QPoint(30, 0);
        QTest::newRow("partly left") << QPoint(-60, 40) << QPoint(-60, 40);
        QTest::newRow("40 pixels showing") << QPoint(40 - width, 0) << QPoint(40 - width, 0);
    }
    void positionsBeyondTheOriginOpenWithinReach()
    {
        QFETCH(QPoint, inFile);
        QFETCH(QPoint, shown);
        const QString name = QString::fromStdString(CSchemaGenerator::TableName(2));
        CShownSchema diagram;
        CTableWnd *table = OpenWithPosition(diagram, name, inFile);
        QVERIFY(table);
        QCOMPARE(table->GetPosition(), shown);
        QCOMPARE(diagram.Doc()->CheckMovedTables(), shown != inFile);
        QCOMPARE(SavedLineOf(diagram, name),
                 QStringLiteral("Table=%1\tPosn=%2,%3\r").arg(name).arg(shown.x()).arg(shown.y()).toUtf8());
    }

    // A window dragged far left in the wide Attributes mode would vanish
    // beyond the origin when the mode narrows it: it moves in instead, and
    // its lines follow it.
    void narrowingKeepsWindowsWithinReach()
    {
        CShownSchema shown;
        QVERIFY(shown.Open("Small"));
        CDbView *view = shown.View();
        view->SetViewMode(Attributes);
        CTableWnd *table = shown.Table(7);
        const int wide = table->width();
        QCOMPARE(wide, TableMetrics::kAttributesWidth);
        table->move(40 - wide, 300);
        QCOMPARE(table->pos(), QPoint(40 - wide, 300));

        view->SetViewMode(Schema);
        QCOMPARE(table->pos(), QPoint(40 - TableMetrics::kSchemaWidth, 300));
        // Presses on its lines find them through the index where they are
        // now, as looking at every line does.
        const auto routes = shown.Routes();
        const CSchemaModel &schema = shown.Doc()->Schema();
        int checked = 0;
        for (const auto &[id, route] : routes) {
            const CDbRelationship *relationship = schema.GetRelationship(id);
            if (id < 0 || (relationship->m_foreignTable != table->m_name
                           && relationship->m_parentTable != table->m_name))
                continue;
            QVERIFY(FullScanHit(routes, route.m_marker[1]) >= 0);
            for (const QPoint &press : {route.m_line[0], route.m_line[1], route.m_marker[1]})
                QCOMPARE(view->HitTestRelationships(press), FullScanHit(routes, press));
            ++checked;
        }
        QVERIFY(checked > 0);
    }

    // The screen draws only the lines that meet what each paint event
    // exposes. Scrolled the same way, wheel step by wheel step (each step
    // painting a strip), the viewport shows exactly what it shows when
    // every line is drawn each time: in each view mode and with a
    // relationship selected. The strips also join without a seam: a
    // repaint of the whole viewport changes no pixel.
    void cullingDrawsTheSamePixelsAsDrawingEverything()
    {
        CShownSchema shown;
        QVERIFY(shown.Open("Large"));
        CDbView *view = shown.View();
        view->m_selRelationship = 700;
        const int heights[] = {8000, 26000, 41000};
        for (int mode : {int(Schema), int(TableDiagram), int(Attributes)}) {
            view->SetViewMode(mode);
            for (int y : heights) {
                const QString place = QStringLiteral("mode %1 at %2").arg(mode).arg(y);
                QImage shots[2];
                for (bool culling : {true, false}) {
                    view->SetCulling(culling);
                    shown.ScrollTo(QPoint(0, y));
                    view->Canvas()->update();
                    QApplication::processEvents();
                    for (bool down : {true, true, true, false, true, false, false})
                        shown.Wheel(down);
                    shots[culling] = shown.OnScreen();
                    view->Canvas()->update();
                    QApplication::processEvents();
                    QVERIFY2(shown.OnScreen() == shots[culling], qPrintable(place));
                }
                view->SetCulling(true);
                QVERIFY2(shots[true] == shots[false], qPrintable(place));
                if (mode == Schema && y == heights[1])
                    SaveShot("large-diagram", shots[true]);
            }
        }
    }

    // Presses at random places, many of them on or beside a line, find the
    // same relationship through the index as by looking at every one, also
    // after tables moved, after the relationships were read again and after
    // a table was dropped; a real click on the background selects it.
    void indexedHitTestPicksTheSameRelationshipAsTheFullScan()
    {
        CShownSchema shown;
        QVERIFY(shown.Open("Hits"));
        std::mt19937 random(5);
        int hits = 0;
        QStringList wrong = HitTestMismatches(shown, Presses(shown, 300, random), &hits);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("; ")));
        QVERIFY(hits > 100);

        const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
        for (int i = 0; i < 40; ++i)
            shown.Table(pick(0, 299))->move(pick(0, 900), pick(0, 12000));
        wrong = HitTestMismatches(shown, Presses(shown, 300, random));
        QVERIFY2(wrong.isEmpty(), qPrintable("after moves: " + wrong.join("; ")));

        QCOMPARE(shown.Doc()->ReloadRelationships(), 0);
        wrong = HitTestMismatches(shown, Presses(shown, 300, random));
        QVERIFY2(wrong.isEmpty(), qPrintable("after a reload: " + wrong.join("; ")));

        // A table with a key that no other table refers to (SQLite keeps a
        // table that others refer to): its line goes with it.
        const CSchemaModel &schema = shown.Doc()->Schema();
        const auto referenced = [&](const std::string &name) {
            for (int i = 0; i < schema.RelationshipCount(); ++i)
                if (schema.GetRelationship(i)->m_parentTable == name)
                    return true;
            return false;
        };
        CTableWnd *dropped = nullptr;
        for (int i = shown.Doc()->TableCount() - 1; i >= 0 && !dropped; --i)
            if (!referenced(shown.Table(i)->Name()))
                dropped = shown.Table(i);
        QVERIFY(dropped);
        {
            CModalAnswerer yes(QMessageBox::Yes);
            dropped->DropTable();
        }
        QCOMPARE(shown.Doc()->IndexOfTable(dropped), -1);
        wrong = HitTestMismatches(shown, Presses(shown, 300, random));
        QVERIFY2(wrong.isEmpty(), qPrintable("after a drop: " + wrong.join("; ")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        wrong = HitTestMismatches(shown, Presses(shown, 300, random));
        QVERIFY2(wrong.isEmpty(), qPrintable("after the window went: " + wrong.join("; ")));

        // A click on the background where a line runs clear of the tables.
        const auto routes = shown.Routes();
        for (const QPoint &press : Presses(shown, 400, random)) {
            const int expected = FullScanHit(routes, press);
            bool covered = false;
            for (int i = 0; i < shown.Doc()->TableCount(); ++i)
                covered = covered || shown.Table(i)->geometry().adjusted(-3, -3, 3, 3).contains(press);
            if (expected < 0 || covered)
                continue;
            shown.ScrollTo(press - QPoint(300, 300));
            QTest::mouseClick(shown.View()->Canvas(), Qt::LeftButton, Qt::NoModifier, press);
            QCOMPARE(shown.View()->m_selRelationship, expected);
            return;
        }
        QFAIL("no press on a line clear of the tables");
    }
};

QTEST_MAIN(TestLargeDiagram)
#include "tst_largediagram.moc"

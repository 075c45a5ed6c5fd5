// Times the database view's drawing on large diagrams: a full repaint of the
// viewport and one mouse-wheel step, on generated schemas whose tables each
// have one foreign key (the first has none), against a baseline measured in
// the same run, its rounds taken in turn with the others: a second view of
// the same diagram at the same place, whose relationships were taken away,
// so that only the table windows and the background are drawn.
// Then times hit-testing a click among the relationships against a scan of
// every one of them. Two shapes of schema: keys to any earlier table (long
// lines everywhere, many of them on every screen) and keys to a near table
// (short lines).
// Then, zoomed: a full repaint of the whole diagram at Zoom to Fit, a step
// of a table window dragged there, the slowest repaint of a few zooms from
// 1 % to 40 % about the middle of the tables, a Ctrl+wheel step at 25 % (to
// 33 % and back in turn), and Zoom to Fit again after Arrange Diagram
// (every table on the screen), against the same baseline's repaint and
// wheel step at 100 %. The view is measured last: arranged, it stays so. At
// 100 %, fitted (also after the drag) and at 1 %, the screen with the far
// table windows hidden (drawn by the canvas) is checked against the screen
// with every window shown ("same"; the pictures are saved where
// VELLUMIX_SHOT_DIR says).
//
//   bench_draw [table counts...]      default: 100 1000 2000 10000
//
// Times are the processor time of the drawing thread, except the time from
// connecting to the first painted diagram, which is the time on the clock a
// user waits. It uses a private ODBC configuration in a temporary folder
// and builds its databases there with libsqlite3.
#include "bench/BenchOdbc.h"
#include "bench/SchemaGenerator.h"
#include "bench/WheelNotch.h"
#include "db/DbmsAdapter.h"
#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "view/DbView.h"
#include "view/RelationshipMap.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

const QSize kViewSize(1024, 768);
constexpr int kFrames = 20;
constexpr int kRounds = 5;
constexpr int kClicks = 2000;

// Counts the paint events the view's canvas receives, to make sure every
// timed frame did draw.
class CPaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct CFrameFigures
{
    double repaint = 1e9; // seconds per frame, best round
    double scroll = 1e9;
};

// A loaded document shown in a view of the benchmark's size, scrolled to
// the middle of its tables.
class CShownDiagram
{
public:
    bool Open(const std::string &dsn)
    {
        bool shown = false;
        m_opened = Seconds([&] {
            m_doc = std::make_unique<CDoc>(m_adapters);
            if (m_doc->m_session.Connect("DSN=" + dsn) < 0 || m_doc->LoadAllTables() < 0) {
                std::fprintf(stderr, "cannot load %s: %s\n", dsn.c_str(),
                             m_doc->m_session.m_lastError.c_str());
                return;
            }
            shown = Show();
        });
        return shown;
    }
    // The same tables at the same places, without a second load from the
    // catalog: the baseline view.
    bool OpenCopyOf(const CShownDiagram &other)
    {
        m_doc = std::make_unique<CDoc>(m_adapters);
        m_doc->m_session.m_dsn = other.Doc().m_session.m_dsn;
        m_doc->Schema().ReplaceWith(other.Doc().Schema());
        for (int i = 0; i < other.Doc().TableCount(); ++i) {
            const CTableWnd *source = other.Doc().GetTable(i);
            auto *table = new CTableWnd(m_doc.get(), source->m_name);
            table->ShowModel();
            table->m_savedPos = source->m_savedPos;
            m_doc->m_tables.push_back(table);
        }
        return Show();
    }
    bool Show()
    {
        m_view = std::make_unique<CDbView>(m_doc.get());
        m_view->resize(kViewSize);
        m_initialUpdate = ThreadSeconds([&] {
            m_view->OnInitialUpdate();
            m_view->show();
            QApplication::processEvents();
        });
        m_view->Canvas()->installEventFilter(&m_counter);
        ScrollToMiddle();
        return true;
    }
    ~CShownDiagram()
    {
        m_view.reset();
        m_doc.reset();
    }

    CDoc &Doc() const { return *m_doc; }
    CDbView &View() const { return *m_view; }
    double InitialUpdate() const { return m_initialUpdate; }
    // Seconds on the clock from connecting to the first painted diagram.
    double Opened() const { return m_opened; }
    int Paints() const { return m_counter.paints; }

    // The middle of the tables' extent, as far as the view can scroll.
    void ScrollToMiddle()
    {
        QRect extent;
        for (int i = 0; i < m_doc->TableCount(); ++i)
            extent |= m_doc->GetTable(i)->DiagramRect();
        m_view->horizontalScrollBar()->setValue(0);
        m_view->verticalScrollBar()->setValue(extent.center().y() - kViewSize.height() / 2);
        QApplication::processEvents();
    }

    void WheelStep(bool down) { WheelNotch(*m_view, down); }

private:
    CAdapterList m_adapters = MakeDbmsAdapters();
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;
    CPaintCounter m_counter;
    double m_initialUpdate = 0;
    double m_opened = 0;
};

// One round of kFrames full repaints and of kFrames wheel steps (down and
// up in turn, so the view stays where it is), taken into the figures when
// they are the best so far. The table windows are drawn over the canvas,
// so updating the canvas repaints all the viewport shows.
void MeasureRound(CShownDiagram &shown, CFrameFigures &figures)
{
    const int paintsBefore = shown.Paints();
    const double repaint = ThreadSeconds([&] {
        for (int frame = 0; frame < kFrames; ++frame) {
            shown.View().Canvas()->update();
            QApplication::processEvents();
        }
    });
    const double scroll = ThreadSeconds([&] {
        for (int frame = 0; frame < kFrames; ++frame)
            shown.WheelStep(frame % 2 == 0);
    });
    if (shown.Paints() - paintsBefore < 2 * kFrames)
        std::fprintf(stderr, "warning: %d frames drew only %d times\n", 2 * kFrames,
                     shown.Paints() - paintsBefore);
    figures.repaint = std::min(figures.repaint, repaint / kFrames);
    figures.scroll = std::min(figures.scroll, scroll / kFrames);
}

// The viewport as drawn with the far table windows hidden, against the
// same with every window shown; each is saved as a picture when
// VELLUMIX_SHOT_DIR names a folder. True when they are the same.
bool SameAsEveryWindow(CDbView &view, const QString &name)
{
    QApplication::processEvents();
    const QImage culled = view.viewport()->grab().toImage();
    view.SetCulling(false);
    QApplication::processEvents();
    const QImage every = view.viewport()->grab().toImage();
    view.SetCulling(true);
    QApplication::processEvents();
    if (const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR"); !folder.isEmpty()) {
        culled.save(folder + "/" + name + ".png");
        every.save(folder + "/" + name + "-every-window.png");
    }
    return culled == every;
}

struct CZoomFigures
{
    bool same = true;         // the screen as with every window shown
    double fit = 0;           // the zoom Zoom to Fit chose
    int shown = 0;            // table windows whole in the viewport there
    double fitRepaint = 1e9;  // seconds per frame, best round
    double fitMove = 1e9;     // a table window dragged a step, fitted
    double wheelStep = 1e9;
    double worstRepaint = 0;  // the slowest of the far-out zooms below
    double worstZoom = 0;
    double arrangedFit = 0;   // Zoom to Fit after Arrange Diagram
    double arrangedRepaint = 1e9;
};

// Far-out zooms between the fitted one and the first step at which the
// table windows draw their rows, each looked at about the view's centre.
const double kFarZooms[] = {0.01, 0.02, 0.05, 0.1, 0.25, 0.4};

// Seconds per frame of kFrames repaints, the best of `rounds` after one to
// warm up (the first paint at a new zoom makes what the canvas keeps).
double RepaintSeconds(CDbView &view, int rounds)
{
    double best = 1e9;
    for (int round = 0; round <= rounds; ++round) {
        const double repaint = ThreadSeconds([&] {
            for (int frame = 0; frame < kFrames; ++frame) {
                view.Canvas()->update();
                QApplication::processEvents();
            }
        });
        if (round > 0)
            best = std::min(best, repaint / kFrames);
    }
    return best;
}

// One notch of Ctrl+wheel over the middle of the view: a zoom step there.
void CtrlWheelNotch(CDbView &view, bool up)
{
    QWidget *viewport = view.viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, up ? 120 : -120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QApplication::processEvents();
}

// Seconds per step of a table window dragged by its caption, fitted: each
// step moves it (a window now, as the one pressed is) by a few diagram
// units and back, and repaints what changed. Best of kRounds.
double MoveSeconds(CDbView &view, CTableWnd &table)
{
    // Pressed, the window is shown and raised.
    view.EnsureShown(&table);
    table.raise();
    const QPoint from = table.DiagramRect().topLeft();
    double best = 1e9;
    for (int round = 0; round <= kRounds; ++round) {
        const double steps = ThreadSeconds([&] {
            for (int frame = 0; frame < kFrames; ++frame) {
                table.MoveTo(from + QPoint(frame % 2 == 0 ? 300 : 0, 0));
                QApplication::processEvents();
            }
        });
        if (round > 0)
            best = std::min(best, steps / kFrames);
    }
    table.MoveTo(from + QPoint(300, 0));
    QApplication::processEvents();
    return best;
}

// The best of kRounds rounds (after one to warm up) of kFrames repaints of
// the whole diagram fitted into the view, then of kFrames Ctrl+wheel steps
// from 25 % and back, then the far zooms and the arranged fit. The view is
// left at 100 % where it was, arranged.
void MeasureZoom(CShownDiagram &shown, CZoomFigures &figures, const QString &name)
{
    CDbView &view = shown.View();
    const QPoint scroll = view.ScrollPosition();
    figures.same = SameAsEveryWindow(view, name + "-100");
    view.ZoomToFit();
    QApplication::processEvents();
    figures.same = SameAsEveryWindow(view, name + "-fit") && figures.same;
    figures.fit = view.Zoom();
    for (int i = 0; i < shown.Doc().TableCount(); ++i) {
        const CTableWnd *table = shown.Doc().GetTable(i);
        const QRect place(table->mapTo(view.viewport(), QPoint(0, 0)), table->size());
        figures.shown += view.viewport()->rect().contains(place) ? 1 : 0;
    }
    figures.fitRepaint = RepaintSeconds(view, kRounds);
    figures.fitMove = MoveSeconds(view, *shown.Doc().GetTable(shown.Doc().TableCount() / 2));
    figures.same = SameAsEveryWindow(view, name + "-fit-moved") && figures.same;
    view.SetZoom(0.25);
    QApplication::processEvents();
    for (int round = 0; round <= kRounds; ++round) {
        const double steps = ThreadSeconds([&] {
            for (int frame = 0; frame < kFrames; ++frame)
                CtrlWheelNotch(view, frame % 2 == 0);
        });
        if (round > 0)
            figures.wheelStep = std::min(figures.wheelStep, steps / kFrames);
    }
    view.SetZoom(1.0);
    view.horizontalScrollBar()->setValue(scroll.x());
    view.verticalScrollBar()->setValue(scroll.y());
    for (double zoom : kFarZooms) {
        view.ZoomAbout(zoom, view.viewport()->rect().center());
        QApplication::processEvents();
        if (zoom == kFarZooms[0])
            figures.same = SameAsEveryWindow(view, name + "-far") && figures.same;
        const double repaint = RepaintSeconds(view, 2);
        if (repaint > figures.worstRepaint) {
            figures.worstRepaint = repaint;
            figures.worstZoom = zoom;
        }
    }
    // Arranged, the whole diagram fits the view with every table in it.
    view.ArrangeDiagram();
    view.ZoomToFit();
    QApplication::processEvents();
    figures.same = SameAsEveryWindow(view, name + "-arranged-fit") && figures.same;
    figures.arrangedFit = view.Zoom();
    figures.arrangedRepaint = RepaintSeconds(view, kRounds);
    view.SetZoom(1.0);
    view.horizontalScrollBar()->setValue(scroll.x());
    view.verticalScrollBar()->setValue(scroll.y());
    QApplication::processEvents();
}

// Every relationship's route, -1 for one that is not drawn.
using CRoutes = std::vector<std::pair<int, CRelationshipRoute>>;

CRoutes AllRoutes(const CDbView &view, const CSchemaModel &schema)
{
    CRoutes routes;
    for (int i = 0; const CDbRelationship *relationship = schema.GetRelationship(i); ++i) {
        CRelationshipRoute route;
        routes.emplace_back(view.RelationshipRoute(*relationship, route) ? i : -1, route);
    }
    return routes;
}

// Every relationship hit-tested one by one, its route already known: what
// a click costs without an index.
int FullScanHit(const CRoutes &routes, const QPoint &point)
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

// Clicks spread over the tables' extent, half of them close to some
// relationship's line so that many of them hit.
std::vector<QPoint> Clicks(const CShownDiagram &shown)
{
    std::mt19937 random(7);
    QRect extent;
    for (int i = 0; i < shown.Doc().TableCount(); ++i)
        extent |= shown.Doc().GetTable(i)->geometry();
    const CSchemaModel &schema = shown.Doc().Schema();
    std::vector<QPoint> clicks;
    while (static_cast<int>(clicks.size()) < kClicks) {
        const auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        CRelationshipRoute route;
        const CDbRelationship *relationship =
            schema.GetRelationship(pick(0, std::max(0, schema.RelationshipCount() - 1)));
        if (clicks.size() % 2 == 0 && relationship
            && shown.View().RelationshipRoute(*relationship, route)) {
            const QPoint a = route.m_line[static_cast<size_t>(pick(0, 2))];
            const QPoint b = route.m_line[static_cast<size_t>(pick(1, 3))];
            const double t = pick(0, 100) / 100.0;
            clicks.push_back(a + (b - a) * t + QPoint(pick(-3, 3), pick(-3, 3)));
        } else {
            clicks.emplace_back(pick(extent.left(), extent.right()),
                                pick(extent.top(), extent.bottom()));
        }
    }
    return clicks;
}

struct CHitFigures
{
    double indexed = 0; // seconds per click
    double fullScan = 0;
    int hits = 0;
    int disagreements = 0;
};

CHitFigures MeasureHitTests(const CShownDiagram &shown)
{
    CHitFigures figures;
    const std::vector<QPoint> clicks = Clicks(shown);
    const CSchemaModel &schema = shown.Doc().Schema();
    std::vector<int> indexed(clicks.size()), scanned(clicks.size());
    shown.View().HitTestRelationships(clicks.front()); // brings the index up to date
    figures.indexed = ThreadSeconds([&] {
        for (size_t i = 0; i < clicks.size(); ++i)
            indexed[i] = shown.View().HitTestRelationships(clicks[i]);
    }) / double(clicks.size());
    const CRoutes routes = AllRoutes(shown.View(), schema);
    figures.fullScan = ThreadSeconds([&] {
        for (size_t i = 0; i < clicks.size(); ++i)
            scanned[i] = FullScanHit(routes, clicks[i]);
    }) / double(clicks.size());
    for (size_t i = 0; i < clicks.size(); ++i) {
        figures.hits += indexed[i] >= 0 ? 1 : 0;
        figures.disagreements += indexed[i] != scanned[i] ? 1 : 0;
    }
    return figures;
}

struct CCountFigures
{
    int tables = 0;
    int relationships = 0;
    int onScreen = 0;
    double initialUpdate = 0;
    double opened = 0;
    CFrameFigures lines;
    CFrameFigures everyLine;
    CFrameFigures bare;
    CHitFigures hits;
    CZoomFigures zoom;

    // Microseconds per table that the lines add to a frame.
    double ViewCostPerTable(double withLines, double bare) const
    {
        return (withLines - bare) * 1e6 / tables;
    }
};

// The relationships whose lines reach into the viewport where the frames
// are measured.
int LinesOnScreen(const CShownDiagram &shown)
{
    const QRect visible(shown.View().ScrollPosition(), shown.View().viewport()->size());
    int count = 0;
    for (const auto &[id, route] : AllRoutes(shown.View(), shown.Doc().Schema()))
        count += id >= 0 && CRelationshipMap::BoxOf(route).intersects(visible) ? 1 : 0;
    return count;
}

// Where the generated tables' foreign keys point: to any earlier table, so
// that many long lines cross every part of the diagram, or to one of the
// ten tables just before, so that the lines stay short.
struct CSchemaShape
{
    const char *description;
    int parentReach;
    const char *suffix; // of the headline names
};
const CSchemaShape kShapes[] = {{"foreign keys to any earlier table", 0, ""},
                                {"foreign keys to one of the 10 tables before", 10, "_near"}};

// The best of kRounds rounds of each way of drawing: with the lines, with
// every line whatever is exposed, and without relationships. The rounds of
// the three are taken in turn, so that a change in the machine's load
// during the run touches them alike. A first round of each warms the
// caches.
void MeasureFrames(CShownDiagram &shown, CShownDiagram &bare, CCountFigures &figures)
{
    for (int round = 0; round <= kRounds; ++round) {
        CFrameFigures warming;
        MeasureRound(shown, round == 0 ? warming : figures.lines);
        shown.View().SetCulling(false);
        MeasureRound(shown, round == 0 ? warming : figures.everyLine);
        shown.View().SetCulling(true);
        MeasureRound(bare, round == 0 ? warming : figures.bare);
    }
}

bool MeasureCount(CBenchOdbc &odbc, const CSchemaShape &shape, int count, CCountFigures &figures)
{
    const std::string dsn = "Draw" + std::to_string(count) + shape.suffix;
    const CSchemaGenerator schema(count, CSchemaGenerator::Engine::Sqlite, shape.parentReach);
    if (count < 1 || !odbc.AddGeneratedDatabase(dsn, CSchemaGenerator(schema).Script())) {
        std::fprintf(stderr, "cannot build the database of %d tables\n", count);
        return false;
    }
    CShownDiagram shown, bare;
    if (!shown.Open(dsn) || !bare.OpenCopyOf(shown))
        return false;
    bare.Doc().Schema().SetRelationships({});
    bare.View().Canvas()->update();
    figures.tables = shown.Doc().TableCount();
    figures.relationships = shown.Doc().Schema().RelationshipCount();
    figures.onScreen = LinesOnScreen(shown);
    figures.initialUpdate = shown.InitialUpdate();
    figures.opened = shown.Opened();
    MeasureFrames(shown, bare, figures);
    figures.hits = MeasureHitTests(shown);
    MeasureZoom(shown, figures.zoom, QString::fromStdString(dsn));
    return true;
}

void PrintFrames(const CCountFigures &figures)
{
    std::printf("%7d %6d %7d %8.1f | %8.2f %8.2f %6.2f %11.3f | %8.2f %8.2f %6.2f %9.2f %11.3f\n",
                figures.tables, figures.relationships, figures.onScreen,
                figures.initialUpdate * 1e3, figures.lines.repaint * 1e3,
                figures.bare.repaint * 1e3, figures.lines.repaint / figures.bare.repaint,
                figures.ViewCostPerTable(figures.lines.repaint, figures.bare.repaint),
                figures.lines.scroll * 1e3, figures.bare.scroll * 1e3,
                figures.lines.scroll / figures.bare.scroll, figures.everyLine.scroll * 1e3,
                figures.ViewCostPerTable(figures.lines.scroll, figures.bare.scroll));
    std::fflush(stdout);
}

void PrintZoom(const std::map<int, CCountFigures> &results)
{
    std::printf("\n  zoomed, ms per frame; ratio against the bare view at 100 %%\n");
    std::printf("%7s %6s %6s %6s %10s %6s %12s %6s %11s %6s %5s\n", "tables", "lines", "fit %", "shown",
                "fit paint", "ratio", "wheel at 25%", "ratio", "worst paint", "at %", "same");
    for (const auto &[count, figures] : results)
        std::printf("%7d %6d %6.2f %6d %10.2f %6.2f %12.2f %6.2f %11.2f %6.0f %5s\n", figures.tables,
                    figures.relationships, figures.zoom.fit * 100, figures.zoom.shown,
                    figures.zoom.fitRepaint * 1e3, figures.zoom.fitRepaint / figures.bare.repaint,
                    figures.zoom.wheelStep * 1e3, figures.zoom.wheelStep / figures.bare.scroll,
                    figures.zoom.worstRepaint * 1e3, figures.zoom.worstZoom * 100,
                    figures.zoom.same ? "yes" : "NO");
}

void PrintHitTests(const std::map<int, CCountFigures> &results)
{
    std::printf("\n  hit test, ms per click (%d clicks, half of them near a line)\n", kClicks);
    std::printf("%7s %6s %9s %10s %6s %5s\n", "tables", "lines", "indexed", "full scan", "hits",
                "same");
    for (const auto &[count, figures] : results)
        std::printf("%7d %6d %9.4f %10.4f %6d %5s\n", figures.tables, figures.relationships,
                    figures.hits.indexed * 1e3, figures.hits.fullScan * 1e3, figures.hits.hits,
                    figures.hits.disagreements == 0 ? "yes" : "NO");
}

void PrintHeadlines(const CSchemaShape &shape, const std::map<int, CCountFigures> &results)
{
    for (const auto &[count, figures] : results) {
        const std::string n = shape.suffix + ("_" + std::to_string(count));
        PrintHeadline("open_to_first_paint" + n, figures.opened * 1e3, "ms");
        PrintHeadline("repaint" + n, figures.lines.repaint * 1e3, "ms");
        PrintHeadline("repaint_ratio" + n, figures.lines.repaint / figures.bare.repaint);
        PrintHeadline("scroll_step" + n, figures.lines.scroll * 1e3, "ms");
        PrintHeadline("scroll_step_ratio" + n, figures.lines.scroll / figures.bare.scroll);
        PrintHeadline("view_cost_per_table" + n,
                      figures.ViewCostPerTable(figures.lines.scroll, figures.bare.scroll), "us");
        PrintHeadline("hit_test" + n, figures.hits.indexed * 1e3, "ms");
        PrintHeadline("zoom_fit_repaint" + n, figures.zoom.fitRepaint * 1e3, "ms");
        PrintHeadline("zoom_fit_repaint_ratio" + n, figures.zoom.fitRepaint / figures.bare.repaint);
        PrintHeadline("zoom_fit_move_step" + n, figures.zoom.fitMove * 1e3, "ms");
        PrintHeadline("zoom_far_worst_repaint" + n, figures.zoom.worstRepaint * 1e3, "ms");
        PrintHeadline("zoom_fit_arranged_percent" + n, figures.zoom.arrangedFit * 100, "%");
        PrintHeadline("zoom_fit_repaint_arranged" + n, figures.zoom.arrangedRepaint * 1e3, "ms");
        PrintHeadline("zoom_wheel_step_25" + n, figures.zoom.wheelStep * 1e3, "ms");
        PrintHeadline("zoom_wheel_step_25_ratio" + n, figures.zoom.wheelStep / figures.bare.scroll);
    }
    // A view whose cost grew with the diagram rather than with what is on
    // screen would show a ratio near 2 here for the short lines.
    if (results.count(1000) && results.count(2000))
        PrintHeadline(std::string("scroll_step_growth") + shape.suffix + "_1000_2000",
                      results.at(2000).lines.scroll / results.at(1000).lines.scroll);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CBenchOdbc odbc; // before any ODBC call
    QApplication app(argc, argv);

    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {100, 1000, 2000, 10000};

    std::printf("viewport %dx%d, ms per frame (processor time); on screen: lines reaching into the "
                "viewport;\nbare: the same view without its relationships; all lines: every line "
                "drawn whatever is exposed;\nview us/tbl: (lines - bare) per table\n",
                kViewSize.width(), kViewSize.height());
    std::map<int, CCountFigures> results[std::size(kShapes)];
    int failures = 0;
    for (size_t s = 0; s < std::size(kShapes); ++s) {
        std::printf("\n%s\n", kShapes[s].description);
        std::printf("%7s %6s %7s %8s | %8s %8s %6s %11s | %8s %8s %6s %9s %11s\n", "tables",
                    "lines", "on scr", "show ms", "repaint", "bare", "ratio", "view us/tbl",
                    "scroll", "bare", "ratio", "all lines", "view us/tbl");
        for (int count : counts) {
            CCountFigures &figures = results[s][count];
            if (!MeasureCount(odbc, kShapes[s], count, figures))
                return 1;
            failures += figures.hits.disagreements > 0 || !figures.zoom.same ? 1 : 0;
            PrintFrames(figures);
        }
        PrintHitTests(results[s]);
        PrintZoom(results[s]);
    }
    std::printf("\n");
    for (size_t s = 0; s < std::size(kShapes); ++s)
        PrintHeadlines(kShapes[s], results[s]);
    return failures == 0 ? 0 : 1;
}

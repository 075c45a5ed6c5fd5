// Measures Arrange Diagram against the automatic layout a diagram opens
// with: line crossings, total line length, overlapping windows and the
// diagram's area, on a real-world schema (Zabbix's, bench/data/zabbix.sql)
// and on a generated schema of 2,000 tables, each table related to an
// earlier one. The lines are the routes the view draws, crossings counted
// as proper intersections of their segments. Also times Arrange (the
// layout alone and the whole command with the windows moving) against the
// automatic layout's computation.
//
//   bench_arrange [picture.png]   also writes the arranged real-world
//                                 schema as a picture to look at
//
// It uses a private ODBC configuration in a temporary folder and builds
// its SQLite databases there with the sqlite3 shell.
#include "bench/BenchOdbc.h"
#include "bench/SchemaGenerator.h"
#include "db/DbTypes.h"
#include "db/DbmsAdapter.h"
#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "document/Arrange.h"
#include "document/AutoLayout.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "view/DbView.h"
#include "view/DiagramPicture.h"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace {

struct CLayoutFigures
{
    long crossings = 0;
    double length = 0; // pixels
    int overlaps = 0;
    double area = 0; // square pixels of the tables' bounding box
};

struct CSegment
{
    QPointF a, b;
    QRectF box;
};

int Side(const QPointF &p, const QPointF &q, const QPointF &r)
{
    const double z = (q.x() - p.x()) * (r.y() - p.y()) - (q.y() - p.y()) * (r.x() - p.x());
    return (z > 0) - (z < 0);
}

bool Cross(const CSegment &s, const CSegment &t)
{
    return s.box.intersects(t.box) && Side(s.a, s.b, t.a) * Side(s.a, s.b, t.b) < 0
           && Side(t.a, t.b, s.a) * Side(t.a, t.b, s.b) < 0;
}

CLayoutFigures Measure(const CDbView &view, const CDoc &doc)
{
    CLayoutFigures figures;
    std::vector<std::vector<CSegment>> lines;
    for (const CDbRelationship &relationship : doc.Schema().Relationships()) {
        CRelationshipRoute route;
        if (!view.RelationshipRoute(relationship, route))
            continue;
        std::vector<CSegment> segments;
        for (size_t i = 0; i + 1 < route.m_line.size(); ++i) {
            const QPointF a = route.m_line[i], b = route.m_line[i + 1];
            segments.push_back({a, b, QRectF(a, b).normalized().adjusted(-0.5, -0.5, 0.5, 0.5)});
            figures.length += std::hypot(b.x() - a.x(), b.y() - a.y());
        }
        lines.push_back(std::move(segments));
    }
    for (size_t i = 0; i < lines.size(); ++i)
        for (size_t j = i + 1; j < lines.size(); ++j)
            for (const CSegment &s : lines[i])
                for (const CSegment &t : lines[j])
                    figures.crossings += Cross(s, t) ? 1 : 0;
    QRect bounds;
    std::vector<QRect> rects;
    for (int i = 0; i < doc.TableCount(); ++i)
        rects.push_back(doc.GetTable(i)->DiagramRect());
    std::sort(rects.begin(), rects.end(), [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
    for (size_t i = 0; i < rects.size(); ++i) {
        bounds |= rects[i];
        for (size_t j = i + 1; j < rects.size() && rects[j].top() <= rects[i].bottom(); ++j)
            figures.overlaps += rects[i].intersects(rects[j]) ? 1 : 0;
    }
    figures.area = double(bounds.width()) * bounds.height();
    return figures;
}

// The whole diagram, at most 2,400 pixels across: the shape of the
// arrangement is what is looked at, not the rows' text.
void WritePicture(CDbView &view, const QString &path)
{
    const CDiagramPicture shot(view);
    QImage image(shot.Area().size(), QImage::Format_RGB32);
    if (shot.Paint(image)) {
        if (image.width() > 2400 || image.height() > 2400)
            image = image.scaled(2400, 2400, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (image.save(path))
            return;
    }
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

struct CSchemaFigures
{
    std::string name;
    int tables = 0;
    int lines = 0;
    CLayoutFigures automatic, arranged;
    double autoLayoutSeconds = 0; // the automatic layout's computation
    double arrangeSeconds = 0;    // Arrange's computation
    double commandSeconds = 0;    // Arrange Diagram with the windows moving
    double wideModeSeconds = 0;   // to the Attributes mode, windows moved apart
};

// Best of a few rounds: the machine may be busy with other work.
double BestSeconds(const std::function<void()> &work, int rounds = 5)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r)
        best = std::min(best, Seconds(work));
    return best;
}

bool MeasureSchema(CBenchOdbc &odbc, const std::string &name, const std::string &script,
                   const QString &picture, CSchemaFigures &figures)
{
    if (!odbc.AddDatabase(name, script))
        return false;
    CAdapterList adapters = MakeDbmsAdapters();
    CDoc doc(adapters);
    if (doc.m_session.Connect("DSN=" + name) < 0 || doc.LoadAllTables() < 0) {
        std::fprintf(stderr, "cannot load %s: %s\n", name.c_str(), doc.m_session.m_lastError.c_str());
        return false;
    }
    CDbView view(&doc);
    view.resize(1024, 768);
    view.OnInitialUpdate();
    view.show();
    QApplication::processEvents();

    figures.name = name;
    figures.tables = doc.TableCount();
    figures.lines = static_cast<int>(doc.Schema().Relationships().size());
    figures.automatic = Measure(view, doc);
    std::vector<int> counts;
    Arrange::CGraph graph;
    std::map<std::string, int> index;
    for (int i = 0; i < doc.TableCount(); ++i) {
        counts.push_back(doc.GetTable(i)->ItemCount());
        graph.m_sizes.push_back(doc.GetTable(i)->DiagramRect().size());
        index[doc.GetTable(i)->m_name] = i;
    }
    for (const CDbRelationship &r : doc.Schema().Relationships())
        graph.m_links.push_back({index.at(r.m_foreignTable), index.at(r.m_parentTable)});
    figures.autoLayoutSeconds = BestSeconds([&] { AutoLayout(counts); }, 50);
    figures.arrangeSeconds = BestSeconds([&] { Arrange::Tables(graph); });
    // The automatic layout's columns are narrower than the Attributes
    // mode's windows: every window but the first column's overlaps.
    figures.wideModeSeconds = Seconds([&] {
        view.SetViewMode(Attributes);
        QApplication::processEvents();
    });
    view.SetViewMode(Schema);
    figures.commandSeconds = Seconds([&] {
        view.ArrangeDiagram();
        QApplication::processEvents();
    });
    figures.arranged = Measure(view, doc);
    if (!picture.isEmpty())
        WritePicture(view, picture);
    return true;
}

void PrintRow(const char *layout, const CLayoutFigures &f)
{
    std::printf("  %-10s %10ld %14.0f %9d %12.2f\n", layout, f.crossings, f.length, f.overlaps, f.area / 1e6);
}

void PrintFigures(const CSchemaFigures &f)
{
    std::printf("\n%s: %d tables, %d relationships\n", f.name.c_str(), f.tables, f.lines);
    std::printf("  %-10s %10s %14s %9s %12s\n", "layout", "crossings", "line length", "overlaps",
                "area Mpx");
    PrintRow("automatic", f.automatic);
    PrintRow("arranged", f.arranged);
    std::printf("  automatic layout %.3f ms, Arrange %.1f ms (%.0f x), Arrange Diagram command %.1f ms\n"
                "  to the Attributes mode, overlapping windows moved apart: %.1f ms\n",
                f.autoLayoutSeconds * 1e3, f.arrangeSeconds * 1e3, f.arrangeSeconds / f.autoLayoutSeconds,
                f.commandSeconds * 1e3, f.wideModeSeconds * 1e3);
}

void PrintHeadlines(const CSchemaFigures &f)
{
    const std::string n = "_" + f.name;
    PrintHeadline("crossings_auto" + n, double(f.automatic.crossings));
    PrintHeadline("crossings_arranged" + n, double(f.arranged.crossings));
    PrintHeadline("line_length_ratio" + n, f.arranged.length / f.automatic.length);
    PrintHeadline("overlaps_auto" + n, f.automatic.overlaps);
    PrintHeadline("overlaps_arranged" + n, f.arranged.overlaps);
    PrintHeadline("area_ratio" + n, f.arranged.area / f.automatic.area);
    PrintHeadline("arrange_time" + n, f.arrangeSeconds * 1e3, "ms");
    PrintHeadline("arrange_time_ratio" + n, f.arrangeSeconds / f.autoLayoutSeconds);
    PrintHeadline("wide_mode_time" + n, f.wideModeSeconds * 1e3, "ms");
}

std::string ReadScript(const char *path)
{
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CBenchOdbc odbc; // before any ODBC call
    QApplication app(argc, argv);
    const QString picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    const std::string zabbix = ReadScript(VELLUMIX_SOURCE_DIR "/bench/data/zabbix.sql");
    if (zabbix.empty()) {
        std::fprintf(stderr, "cannot read bench/data/zabbix.sql\n");
        return 1;
    }
    std::vector<CSchemaFigures> results(2);
    if (!MeasureSchema(odbc, "zabbix", zabbix, picture, results[0])
        || !MeasureSchema(odbc, "generated2000", CSchemaGenerator(2000).Script(), QString(), results[1]))
        return 1;
    for (const CSchemaFigures &figures : results)
        PrintFigures(figures);
    std::printf("\n");
    for (const CSchemaFigures &figures : results)
        PrintHeadlines(figures);
    return 0;
}

#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"
#include "document/Arrange.h"
#include "document/AutoLayout.h"

#include <QtTest>

#include <vector>

namespace {

using Links = std::vector<std::pair<int, int>>; // foreign table, parent table

QSize Size(int items)
{
    return {TableMetrics::kSchemaWidth, Platform::kCaptionHeight + 3 * Platform::kSizingFrameHeight
                                            + TableMetrics::kRowHeight * items};
}

Arrange::CGraph Graph(const std::vector<int> &items, const Links &links)
{
    Arrange::CGraph graph;
    for (int count : items)
        graph.m_sizes.push_back(Size(count));
    for (const auto &[foreign, parent] : links)
        graph.m_links.push_back({foreign, parent});
    return graph;
}

std::vector<QRect> Rects(const Arrange::CGraph &graph, const std::vector<QPoint> &places)
{
    std::vector<QRect> rects;
    for (size_t i = 0; i < places.size(); ++i)
        rects.emplace_back(places[i], graph.m_sizes[i]);
    return rects;
}

QString Overlap(const std::vector<QRect> &rects)
{
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j)
            if (rects[i].intersects(rects[j]))
                return QStringLiteral("%1 and %2 overlap").arg(i).arg(j);
    return {};
}

// Lines between the tables' centres crossing at a point inside both.
int Crossings(const std::vector<QRect> &rects, const Links &links)
{
    auto cross = [](QPointF a, QPointF b, QPointF c, QPointF d) {
        auto side = [](QPointF p, QPointF q, QPointF r) {
            const double z = (q.x() - p.x()) * (r.y() - p.y()) - (q.y() - p.y()) * (r.x() - p.x());
            return (z > 0) - (z < 0);
        };
        return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
    };
    int crossings = 0;
    for (size_t i = 0; i < links.size(); ++i)
        for (size_t j = i + 1; j < links.size(); ++j)
            crossings += cross(rects[links[i].first].center(), rects[links[i].second].center(),
                               rects[links[j].first].center(), rects[links[j].second].center());
    return crossings;
}

// A tree of many tables, each a child of an earlier one chosen at random.
Links Tree(int tables)
{
    Links links;
    QRandomGenerator random(7);
    for (int i = 1; i < tables; ++i)
        links.emplace_back(i, random.bounded(i));
    return links;
}

} // namespace

class TestArrange : public QObject
{
    Q_OBJECT

private slots:
    void tablesDoNotOverlapAndParentsStandLeft_data()
    {
        QTest::addColumn<std::vector<int>>("items");
        QTest::addColumn<Links>("links");
        QTest::addColumn<bool>("acyclic");
        QTest::newRow("chain") << std::vector<int>{3, 5, 2, 8, 4, 1} << Links{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}}
                               << true;
        QTest::newRow("star") << std::vector<int>(12, 4)
                              << Links{{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0},
                                       {9, 0}, {10, 0}, {11, 0}}
                              << true;
        QTest::newRow("cycle") << std::vector<int>{3, 3, 3, 3} << Links{{1, 0}, {2, 1}, {3, 2}, {0, 3}} << false;
        QTest::newRow("two groups and loners")
            << std::vector<int>{2, 9, 4, 1, 6, 3, 7, 2, 5} << Links{{1, 0}, {2, 0}, {4, 3}, {5, 4}, {5, 3}} << true;
        QTest::newRow("self reference") << std::vector<int>{4, 2, 6} << Links{{0, 0}, {1, 0}, {2, 2}} << true;
        // The automatic layout puts parents and children in two rows, each
        // child under another's parent: every pair of lines crosses.
        QTest::newRow("crossed keys") << std::vector<int>(10, 3)
                                      << Links{{5, 4}, {6, 3}, {7, 2}, {8, 1}, {9, 0}, {9, 1}} << true;
        QTest::newRow("large tree") << std::vector<int>(600, 6) << Tree(600) << true;
    }
    void tablesDoNotOverlapAndParentsStandLeft()
    {
        QFETCH(std::vector<int>, items);
        QFETCH(Links, links);
        QFETCH(bool, acyclic);
        const Arrange::CGraph graph = Graph(items, links);
        const std::vector<QPoint> places = Arrange::Tables(graph, QPoint(20, 20));
        const std::vector<QRect> rects = Rects(graph, places);
        QCOMPARE(Overlap(rects), QString());
        QRect bounds;
        for (const QRect &rect : rects)
            bounds |= rect;
        QCOMPARE(bounds.topLeft(), QPoint(20, 20));
        for (const auto &[foreign, parent] : links)
            if (acyclic && foreign != parent)
                QVERIFY2(rects[parent].right() < rects[foreign].left(),
                         qPrintable(QStringLiteral("%1 right of %2").arg(foreign).arg(parent)));
        std::vector<QRect> automatic;
        const std::vector<QPoint> auto_places = AutoLayout(items);
        for (size_t i = 0; i < items.size(); ++i)
            automatic.emplace_back(auto_places[i], Size(items[i]));
        QVERIFY(Crossings(rects, links) <= Crossings(automatic, links));
    }

    void freeSpaceOverlapsNothingAndMeetsTheArea_data()
    {
        QTest::addColumn<std::vector<QRect>>("standing");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("roomInside");
        QTest::newRow("empty") << std::vector<QRect>{} << QRect(500, 300, 800, 600) << true;
        QTest::newRow("a table at the corner")
            << std::vector<QRect>{QRect(500, 300, 120, 200)} << QRect(500, 300, 800, 600) << true;
        // The automatic layout's columns: the room is to the right of them.
        std::vector<QRect> columns;
        for (int c = 0; c < 5; ++c)
            for (int y = 20; y < 2000; y += 120)
                columns.emplace_back(20 + 140 * c, y, 120, 100);
        QTest::newRow("columns") << columns << QRect(0, 0, 1200, 800) << true;
        QTest::newRow("full area") << columns << QRect(0, 0, 700, 800) << false;
    }
    void freeSpaceOverlapsNothingAndMeetsTheArea()
    {
        QFETCH(std::vector<QRect>, standing);
        QFETCH(QRect, area);
        QFETCH(bool, roomInside);
        const QSize size = Size(8);
        const QRect placed(Arrange::FreeSpace(standing, size, area), size);
        for (const QRect &other : standing)
            QVERIFY(!placed.intersects(other));
        QCOMPARE(area.contains(placed), roomInside);
        QVERIFY(placed.left() >= area.left() && placed.top() >= area.top());
    }

    // The Attributes mode widens windows laid out 140 pixels apart to 200.
    void removingOverlapsMovesOnlyWhatOverlaps()
    {
        std::vector<QRect> wide;
        for (int i = 0; i < 15; ++i)
            wide.emplace_back(20 + 140 * (i % 5), 20 + 150 * (i / 5), 200, 100);
        wide.emplace_back(2000, 2000, 200, 100); // far from the rest
        const std::vector<QPoint> places = Arrange::RemoveOverlaps(wide);
        std::vector<QRect> after;
        for (size_t i = 0; i < wide.size(); ++i)
            after.emplace_back(places[i], wide[i].size());
        QCOMPARE(Overlap(after), QString());
        for (int i : {0, 5, 10, 15})
            QCOMPARE(places[i], wide[i].topLeft());

        std::vector<QRect> apart = {QRect(0, 0, 120, 80), QRect(125, 0, 120, 80), QRect(0, 85, 120, 80)};
        const std::vector<QPoint> kept = Arrange::RemoveOverlaps(apart);
        for (size_t i = 0; i < apart.size(); ++i)
            QCOMPARE(kept[i], apart[i].topLeft());
    }
};

QTEST_GUILESS_MAIN(TestArrange)
#include "tst_arrange.moc"

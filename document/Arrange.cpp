#include "document/Arrange.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace Arrange {
namespace {

// A group is laid out with the axes swapped (see Transposed): in the code
// below "down", "row" and "width" are "right", "column" and "height" on
// the screen.

// Ordering sweeps: each pass goes down the layers and back up; more
// rarely pays on real schemas, and the best order seen is kept anyway.
constexpr int kSweeps = 6;
// The widest a layer may grow before it wraps onto another row, at least:
// a parent with a hundred children must not make a diagram a hundred
// tables wide.
constexpr int kMinRowWidth = 1400;

// ---------------------------------------------------------------------------
// Groups of related tables

int Root(std::vector<int> &up, int i)
{
    while (up[i] != i)
        i = up[i] = up[up[i]];
    return i;
}

// The groups of tables joined by keys, each in table order, the groups in
// the order of their first table.
std::vector<std::vector<int>> Groups(const CGraph &graph)
{
    const int count = static_cast<int>(graph.m_sizes.size());
    std::vector<int> up(count);
    std::iota(up.begin(), up.end(), 0);
    for (const CLink &link : graph.m_links)
        up[Root(up, link.m_foreign)] = Root(up, link.m_parent);
    std::vector<int> groupOf(count, -1);
    std::vector<std::vector<int>> groups;
    for (int i = 0; i < count; ++i) {
        int &group = groupOf[Root(up, i)];
        if (group < 0) {
            group = static_cast<int>(groups.size());
            groups.emplace_back();
        }
        groups[group].push_back(i);
    }
    return groups;
}

// ---------------------------------------------------------------------------
// One group in layers

// A group with its tables numbered from 0 and its keys as edges from
// parent to child, without self references or repeats.
struct CLayered
{
    std::vector<int> tables;               // group index -> table index
    std::vector<std::vector<int>> children; // after cycles are broken
    std::vector<std::vector<int>> parents;
    std::vector<int> layer;
    std::vector<std::vector<int>> layers; // group indexes, in order
    std::vector<int> rank;                // place within its layer
};

std::vector<std::pair<int, int>> GroupEdges(const CGraph &graph, const std::vector<int> &local)
{
    std::vector<std::pair<int, int>> edges;
    for (const CLink &link : graph.m_links) {
        const int parent = local[link.m_parent];
        const int child = local[link.m_foreign];
        if (parent >= 0 && child >= 0 && parent != child)
            edges.emplace_back(parent, child);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

// A depth-first walk from parent to child turns every key that leads back
// into the walk's own path around, so that what remains has no cycle and
// a parent can stand above each of its children.
void BreakCycles(CLayered &g, const std::vector<std::pair<int, int>> &edges)
{
    const int count = static_cast<int>(g.tables.size());
    std::vector<std::vector<int>> out(count);
    for (const auto &[parent, child] : edges)
        out[parent].push_back(child);
    g.children.assign(count, {});
    g.parents.assign(count, {});
    enum { kNew, kOnPath, kDone };
    std::vector<char> state(count, kNew);
    std::vector<std::pair<int, size_t>> path;
    for (int start = 0; start < count; ++start) {
        if (state[start] != kNew)
            continue;
        state[start] = kOnPath;
        path.emplace_back(start, 0);
        while (!path.empty()) {
            auto &[node, next] = path.back();
            if (next == out[node].size()) {
                state[node] = kDone;
                path.pop_back();
                continue;
            }
            const int child = out[node][next++];
            const bool back = state[child] == kOnPath;
            const int from = back ? child : node;
            const int to = back ? node : child;
            g.children[from].push_back(to);
            g.parents[to].push_back(from);
            if (state[child] == kNew) {
                state[child] = kOnPath;
                path.emplace_back(child, 0);
            }
        }
    }
}

std::vector<int> TopologicalOrder(const CLayered &g)
{
    const int count = static_cast<int>(g.tables.size());
    std::vector<int> waiting(count);
    std::vector<int> order;
    order.reserve(count);
    for (int i = 0; i < count; ++i)
        if ((waiting[i] = static_cast<int>(g.parents[i].size())) == 0)
            order.push_back(i);
    for (size_t at = 0; at < order.size(); ++at)
        for (int child : g.children[order[at]])
            if (--waiting[child] == 0)
                order.push_back(child);
    return order;
}

// Each table one layer below its lowest parent; a table without parents
// then moves down to just above its highest child, so that a lone parent
// of deep children does not hang far above them on a long line.
void AssignLayers(CLayered &g)
{
    const std::vector<int> order = TopologicalOrder(g);
    g.layer.assign(g.tables.size(), 0);
    for (int node : order)
        for (int child : g.children[node])
            g.layer[child] = std::max(g.layer[child], g.layer[node] + 1);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (!g.parents[*it].empty() || g.children[*it].empty())
            continue;
        int highest = g.layer[g.children[*it].front()];
        for (int child : g.children[*it])
            highest = std::min(highest, g.layer[child]);
        g.layer[*it] = highest - 1;
    }
    const int top = *std::min_element(g.layer.begin(), g.layer.end());
    const int bottom = *std::max_element(g.layer.begin(), g.layer.end());
    g.layers.assign(bottom - top + 1, {});
    for (int node : order)
        g.layers[g.layer[node] -= top].push_back(node);
}

// ---------------------------------------------------------------------------
// Order within layers

// A table's place across its layer as a fraction, so that layers of
// different widths compare.
double Across(const CLayered &g, int node)
{
    return (g.rank[node] + 0.5) / static_cast<double>(g.layers[g.layer[node]].size());
}

void Rank(CLayered &g)
{
    g.rank.assign(g.tables.size(), 0);
    for (const std::vector<int> &layer : g.layers)
        for (size_t i = 0; i < layer.size(); ++i)
            g.rank[layer[i]] = static_cast<int>(i);
}

// Crossings of the keys drawn as straight lines between the tables' places
// (across, layer): two keys cross when their order flips between the
// layers both span.
long Crossings(const CLayered &g)
{
    struct CLine
    {
        int top, bottom;
        double from, to;
    };
    std::vector<CLine> lines;
    for (size_t parent = 0; parent < g.children.size(); ++parent)
        for (int child : g.children[parent])
            lines.push_back({g.layer[parent], g.layer[child], Across(g, static_cast<int>(parent)),
                             Across(g, child)});
    long crossings = 0;
    for (size_t i = 0; i < lines.size(); ++i)
        for (size_t j = i + 1; j < lines.size(); ++j) {
            const CLine &a = lines[i], &b = lines[j];
            const int top = std::max(a.top, b.top), bottom = std::min(a.bottom, b.bottom);
            if (top >= bottom)
                continue;
            auto at = [](const CLine &l, int y) {
                return l.from + (l.to - l.from) * (y - l.top) / (l.bottom - l.top);
            };
            if ((at(a, top) - at(b, top)) * (at(a, bottom) - at(b, bottom)) < 0)
                ++crossings;
        }
    return crossings;
}

// Sorts one layer by the mean place of each table's neighbours on the
// side the sweep comes from; a table with none there keeps its place.
void SortByBarycentre(CLayered &g, std::vector<int> &layer, bool fromAbove)
{
    std::vector<std::pair<double, int>> keyed;
    keyed.reserve(layer.size());
    for (int node : layer) {
        const std::vector<int> &near = fromAbove ? g.parents[node] : g.children[node];
        double sum = 0;
        for (int other : near)
            sum += Across(g, other);
        keyed.emplace_back(near.empty() ? Across(g, node) : sum / near.size(), node);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 0; i < layer.size(); ++i) {
        layer[i] = keyed[i].second;
        g.rank[layer[i]] = static_cast<int>(i);
    }
}

void OrderLayers(CLayered &g)
{
    Rank(g);
    std::vector<std::vector<int>> best = g.layers;
    long fewest = Crossings(g);
    for (int sweep = 0; sweep < kSweeps && fewest > 0; ++sweep) {
        for (size_t l = 1; l < g.layers.size(); ++l)
            SortByBarycentre(g, g.layers[l], true);
        for (size_t l = g.layers.size() - 1; l-- > 0;)
            SortByBarycentre(g, g.layers[l], false);
        const long crossings = Crossings(g);
        if (crossings < fewest) {
            fewest = crossings;
            best = g.layers;
        }
    }
    g.layers = std::move(best);
    Rank(g);
}

// ---------------------------------------------------------------------------
// Coordinates

// A placed block: tables at places relative to its top-left corner.
struct CBlock
{
    std::vector<int> tables;
    std::vector<QPoint> places;
    QSize size;
};

int RowWidthLimit(const CGraph &graph, const std::vector<int> &tables)
{
    double area = 0;
    for (int table : tables) {
        const QSize &s = graph.m_sizes[table];
        area += double(s.width() + kGap) * (s.height() + kLayerGap);
    }
    return std::max(kMinRowWidth, static_cast<int>(std::sqrt(area) * 1.5));
}

// The mean horizontal offset that would bring the row's tables under
// their parents above; 0 for a row without parents.
int PullTowardsParents(const CGraph &graph, const CLayered &g, const std::vector<int> &row,
                       const std::vector<QPoint> &places)
{
    long sum = 0, count = 0;
    for (int node : row)
        for (int parent : g.parents[node]) {
            const int parentCentre = places[parent].x() + graph.m_sizes[g.tables[parent]].width() / 2;
            const int centre = places[node].x() + graph.m_sizes[g.tables[node]].width() / 2;
            sum += parentCentre - centre;
            ++count;
        }
    return count ? static_cast<int>(sum / count) : 0;
}

// Tables of a layer standing one under another, as many as fit in the
// height of the layer's tallest table: a layer of one tall table and many
// short ones then takes little more room than the tall one.
struct CStack
{
    std::vector<int> nodes;
    int width = 0;
};

std::vector<CStack> Stacks(const CGraph &graph, const CLayered &g, const std::vector<int> &layer)
{
    int tallest = 0;
    for (int node : layer)
        tallest = std::max(tallest, graph.m_sizes[g.tables[node]].height());
    std::vector<CStack> stacks;
    int height = 0;
    for (int node : layer) {
        const QSize &size = graph.m_sizes[g.tables[node]];
        if (stacks.empty() || height + kGap + size.height() > tallest) {
            stacks.emplace_back();
            height = -kGap;
        }
        stacks.back().nodes.push_back(node);
        stacks.back().width = std::max(stacks.back().width, size.width());
        height += kGap + size.height();
    }
    return stacks;
}

// Lays one row of stacks out packed left to right, then moves it as a
// whole towards the parents of its tables, within the width limit: rows
// stay compact and their lines short. Returns the row's bottom.
int PlaceRow(const CGraph &graph, const CLayered &g, const std::vector<CStack> &row, int top,
             int limit, std::vector<QPoint> &places)
{
    int x = 0, bottom = top;
    std::vector<int> nodes;
    for (const CStack &stack : row) {
        int y = top;
        for (int node : stack.nodes) {
            places[node] = QPoint(x, y);
            y += graph.m_sizes[g.tables[node]].height() + kGap;
            nodes.push_back(node);
        }
        x += stack.width + kGap;
        bottom = std::max(bottom, y - kGap);
    }
    const int width = x - kGap;
    const int shift = std::clamp(PullTowardsParents(graph, g, nodes, places), 0, std::max(0, limit - width));
    for (int node : nodes)
        places[node].rx() += shift;
    return bottom;
}

// Lays one layer out in rows no wider than the limit, in the layer's
// order. Returns the bottom of its last row.
int PlaceLayer(const CGraph &graph, const CLayered &g, const std::vector<int> &layer, int top,
               int limit, std::vector<QPoint> &places)
{
    std::vector<CStack> row;
    int width = 0;
    for (const CStack &stack : Stacks(graph, g, layer)) {
        if (!row.empty() && width + kGap + stack.width > limit) {
            top = PlaceRow(graph, g, row, top, limit, places) + kGap;
            row.clear();
            width = 0;
        }
        width += (row.empty() ? 0 : kGap) + stack.width;
        row.push_back(stack);
    }
    return PlaceRow(graph, g, row, top, limit, places);
}

// The block's places moved so that its top-left corner is at (0, 0).
void Normalise(const CGraph &graph, CBlock &block)
{
    QRect bounds;
    for (size_t i = 0; i < block.tables.size(); ++i)
        bounds |= QRect(block.places[i], graph.m_sizes[block.tables[i]]);
    for (QPoint &place : block.places)
        place -= bounds.topLeft();
    block.size = bounds.size();
}

CBlock LayOutGroup(const CGraph &graph, const std::vector<int> &tables)
{
    std::vector<int> local(graph.m_sizes.size(), -1);
    for (size_t i = 0; i < tables.size(); ++i)
        local[tables[i]] = static_cast<int>(i);
    CLayered g;
    g.tables = tables;
    BreakCycles(g, GroupEdges(graph, local));
    AssignLayers(g);
    OrderLayers(g);
    CBlock block{tables, std::vector<QPoint>(tables.size()), QSize()};
    const int limit = RowWidthLimit(graph, tables);
    int top = 0;
    for (const std::vector<int> &layer : g.layers)
        top = PlaceLayer(graph, g, layer, top, limit, block.places) + kLayerGap;
    Normalise(graph, block);
    return block;
}

// Lines leave and enter tables at their sides, so a group's layers stand
// as columns, parents left of their children: the group is laid out in
// layers with the axes swapped, then swapped back.
CGraph Transposed(const CGraph &graph)
{
    CGraph swapped = graph;
    for (QSize &size : swapped.m_sizes)
        size.transpose();
    return swapped;
}

CBlock Transposed(CBlock block)
{
    for (QPoint &place : block.places)
        place = QPoint(place.y(), place.x());
    block.size.transpose();
    return block;
}

// ---------------------------------------------------------------------------
// Blocks side by side

// Rows of blocks no wider than the limit (a wider block has a row of its
// own), each block at the top of its row.
std::vector<QPoint> Shelve(const std::vector<CBlock> &blocks, int limit)
{
    std::vector<QPoint> corners;
    int x = 0, y = 0, rowHeight = 0;
    for (const CBlock &block : blocks) {
        if (x > 0 && x + block.size.width() > limit) {
            x = 0;
            y += rowHeight + kLayerGap;
            rowHeight = 0;
        }
        corners.emplace_back(x, y);
        x += block.size.width() + kGap;
        rowHeight = std::max(rowHeight, block.size.height());
    }
    return corners;
}

int ShelfWidthLimit(const std::vector<CBlock> &blocks)
{
    double area = 0;
    int widest = 0;
    for (const CBlock &block : blocks) {
        area += double(block.size.width() + kGap) * (block.size.height() + kLayerGap);
        widest = std::max(widest, block.size.width());
    }
    // Somewhat wider than high, as screens and landscape pages are.
    return std::max(widest, static_cast<int>(std::sqrt(area * 1.5)));
}

bool TooNear(const QRect &candidate, const QRect &standing)
{
    return candidate.adjusted(-kGap, -kGap, kGap, kGap).intersects(standing);
}

// The highest top at or below `top` where a table of this size at x keeps
// the gap from every standing table; `standing` is sorted by top.
int FirstFitDown(const std::vector<QRect> &standing, int x, int top, const QSize &size)
{
    for (const QRect &r : standing) {
        const QRect candidate(QPoint(x, top), size);
        if (r.top() > candidate.bottom() + kGap)
            break; // this one and all after it lie below
        if (TooNear(candidate, r))
            top = r.bottom() + 1 + kGap;
    }
    return top;
}

} // namespace

std::vector<QPoint> Tables(const CGraph &graph, const QPoint &origin)
{
    std::vector<CBlock> related, loners;
    const CGraph swapped = Transposed(graph);
    for (const std::vector<int> &group : Groups(graph)) {
        if (group.size() > 1) {
            related.push_back(Transposed(LayOutGroup(swapped, group)));
        } else {
            const QSize &size = graph.m_sizes[group.front()];
            loners.push_back(CBlock{group, {QPoint(0, 0)}, size});
        }
    }
    std::stable_sort(related.begin(), related.end(),
                     [](const CBlock &a, const CBlock &b) { return a.tables.size() > b.tables.size(); });
    std::vector<CBlock> blocks = std::move(related);
    const size_t firstLoner = blocks.size();
    blocks.insert(blocks.end(), loners.begin(), loners.end());
    const int limit = ShelfWidthLimit(blocks);
    // The loners start a grid of their own under the groups.
    std::vector<QPoint> corners = Shelve({blocks.begin(), blocks.begin() + firstLoner}, limit);
    int below = 0;
    for (size_t i = 0; i < corners.size(); ++i)
        below = std::max(below, corners[i].y() + blocks[i].size.height() + kLayerGap);
    for (QPoint corner : Shelve({blocks.begin() + firstLoner, blocks.end()}, limit))
        corners.push_back(corner + QPoint(0, below));

    std::vector<QPoint> places(graph.m_sizes.size());
    for (size_t b = 0; b < blocks.size(); ++b)
        for (size_t i = 0; i < blocks[b].tables.size(); ++i)
            places[blocks[b].tables[i]] = origin + corners[b] + blocks[b].places[i];
    return places;
}

QPoint FreeSpace(const std::vector<QRect> &standing, const QSize &size, const QRect &area)
{
    std::vector<QRect> sorted = standing;
    std::sort(sorted.begin(), sorted.end(),
              [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
    std::vector<int> lefts{area.left()};
    int farRight = area.left();
    for (const QRect &r : standing) {
        const int x = r.right() + 1 + kGap;
        if (x > area.left() && x + size.width() <= area.right() + 1)
            lefts.push_back(x);
        farRight = std::max(farRight, x);
    }
    lefts.push_back(farRight);
    std::sort(lefts.begin(), lefts.end());
    lefts.erase(std::unique(lefts.begin(), lefts.end()), lefts.end());

    QPoint best;
    long bestScore = -1;
    for (int x : lefts) {
        std::vector<QRect> column;
        for (const QRect &r : sorted)
            if (r.right() + kGap >= x && r.left() - kGap <= x + size.width() - 1)
                column.push_back(r);
        const int y = FirstFitDown(column, x, area.top(), size);
        const bool inside = QRect(QPoint(x, y), size).bottom() <= area.bottom()
                            && x + size.width() <= area.right() + 1;
        // A place inside the area beats any outside it; then the nearest.
        const long score = long(y - area.top()) + long(x - area.left()) + (inside ? 0 : 1L << 40);
        if (bestScore < 0 || score < bestScore) {
            bestScore = score;
            best = QPoint(x, y);
        }
    }
    return best;
}

std::vector<QPoint> RemoveOverlaps(const std::vector<QRect> &tables)
{
    std::vector<int> order(tables.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return std::make_pair(tables[a].left(), tables[a].top())
               < std::make_pair(tables[b].left(), tables[b].top());
    });
    std::vector<QPoint> places(tables.size());
    std::vector<QRect> placed;
    placed.reserve(tables.size());
    auto overlapsPlaced = [&](const QRect &r, bool keepGap) {
        for (const QRect &p : placed)
            if (keepGap ? TooNear(r, p) : r.intersects(p))
                return &p;
        return static_cast<const QRect *>(nullptr);
    };
    for (int i : order) {
        QRect rect = tables[i];
        if (overlapsPlaced(rect, false)) {
            QRect right = rect, down = rect;
            while (const QRect *in = overlapsPlaced(right, true))
                right.moveLeft(in->right() + 1 + kGap);
            // Down only as far as right went: past that it cannot win, and
            // down a long column it would cost a look at every table.
            const int rightShift = right.left() - rect.left();
            bool downFree = false;
            while (down.top() - rect.top() < rightShift && !downFree) {
                if (const QRect *in = overlapsPlaced(down, true))
                    down.moveTop(in->bottom() + 1 + kGap);
                else
                    downFree = true;
            }
            rect = downFree && down.top() - rect.top() < rightShift ? down : right;
        }
        placed.push_back(rect);
        places[i] = rect.topLeft();
    }
    return places;
}

} // namespace Arrange

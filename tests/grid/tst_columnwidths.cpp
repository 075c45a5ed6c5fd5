#include "grid/ColumnWidths.h"

#include <QtTest>

#include <numeric>
#include <vector>

using Widths = std::vector<int>;
Q_DECLARE_METATYPE(Widths)

class TestColumnWidths : public QObject
{
    Q_OBJECT

private slots:
    void resizeKeepsTheColumnsFillingTheGrid_data()
    {
        QTest::addColumn<Widths>("widths");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("requested");
        QTest::addColumn<Widths>("expected");

        const Widths thirds{100, 100, 100};
        QTest::newRow("first widened by 120") << thirds << 0 << 220 << Widths{220, 55, 25};
        QTest::newRow("first widened by 200: only 150 to take") << thirds << 0 << 300 << Widths{250, 25, 25};
        QTest::newRow("middle narrowed to 60") << thirds << 1 << 60 << Widths{100, 60, 140};
        QTest::newRow("middle below the minimum") << thirds << 1 << 10 << Widths{100, 25, 175};
        QTest::newRow("last widened: refused") << thirds << 2 << 180 << thirds;
        QTest::newRow("last narrowed: undone") << thirds << 2 << 40 << thirds;
        QTest::newRow("taken from the last column first") << Widths{100, 100, 100, 100} << 0 << 200
                                                           << Widths{200, 100, 75, 25};
    }
    void resizeKeepsTheColumnsFillingTheGrid()
    {
        QFETCH(Widths, widths);
        QFETCH(int, column);
        QFETCH(int, requested);
        QFETCH(Widths, expected);
        // The columns fill the grid exactly beforehand.
        const int client = std::accumulate(widths.begin(), widths.end(), 0);
        QCOMPARE(Grid::ResizeColumn(widths, column, requested, client), expected);
    }
};

QTEST_APPLESS_MAIN(TestColumnWidths)
#include "tst_columnwidths.moc"

#include "grid/ColumnWidths.h"

#include <QtTest>

#include <vector>

using Widths = std::vector<int>;
Q_DECLARE_METATYPE(Widths)

namespace {

int Sum(const Widths &widths)
{
    int sum = 0;
    for (int width : widths)
        sum += width;
    return sum;
}

} // namespace

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
        QTest::newRow("middle widened by 50") << thirds << 1 << 150 << Widths{100, 150, 50};
        QTest::newRow("middle below the minimum") << thirds << 1 << 10 << Widths{100, 25, 175};
        QTest::newRow("first below the minimum") << thirds << 0 << 3 << Widths{25, 100, 175};
        QTest::newRow("last widened: refused") << thirds << 2 << 180 << thirds;
        QTest::newRow("last narrowed: undone") << thirds << 2 << 40 << thirds;
        QTest::newRow("last below the minimum: undone") << thirds << 2 << 5 << thirds;
        QTest::newRow("taken from the last column first") << Widths{100, 100, 100, 100} << 0 << 150
                                                           << Widths{150, 100, 100, 50};
        QTest::newRow("then from the next on the left") << Widths{100, 100, 100, 100} << 0 << 200
                                                        << Widths{200, 100, 75, 25};
        QTest::newRow("columns at the minimum give nothing") << Widths{100, 25, 175} << 0 << 160
                                                             << Widths{160, 25, 115};
        QTest::newRow("unchanged width") << thirds << 1 << 100 << thirds;
    }
    void resizeKeepsTheColumnsFillingTheGrid()
    {
        QFETCH(Widths, widths);
        QFETCH(int, column);
        QFETCH(int, requested);
        QFETCH(Widths, expected);
        // The columns fill the grid exactly beforehand.
        const Widths result = Grid::ResizeColumn(widths, column, requested, Sum(widths));
        QCOMPARE(result, expected);
        QCOMPARE(Sum(result), Sum(widths));
    }

    void freeSpaceGoesToTheLastColumn()
    {
        QCOMPARE(Grid::FillClientWidth({100, 100}, 260), (Widths{100, 160}));
        // Columns wider than the grid are left as they are.
        QCOMPARE(Grid::FillClientWidth({100, 100}, 150), (Widths{100, 100}));
        QCOMPARE(Grid::FillClientWidth({}, 150), Widths{});
    }

    void unknownColumnChangesNothing()
    {
        QCOMPARE(Grid::ResizeColumn({100, 100}, 2, 50, 200), (Widths{100, 100}));
        QCOMPARE(Grid::ResizeColumn({100, 100}, -1, 50, 200), (Widths{100, 100}));
    }
};

QTEST_APPLESS_MAIN(TestColumnWidths)
#include "tst_columnwidths.moc"

#include "grid/GridCtrl.h"
#include "grid/GridEditColumn.h"
#include "grid/GridHeaderCtrl.h"
#include "grid/GridImageList.h"
#include "grid/GridMetrics.h"
#include "grid/GridToggleColumn.h"
#include "tests/support/GridTestHost.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

#include <memory>
#include <set>

using CellSet = std::set<std::pair<int, int>>;
Q_DECLARE_METATYPE(CellSet)

namespace {

constexpr int kRow = Grid::kRowHeight;

// Images equal to within rounding of blended pixels.
bool SamePicture(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            if (qAbs(p.red() - q.red()) > 2 || qAbs(p.green() - q.green()) > 2 || qAbs(p.blue() - q.blue()) > 2)
                return false;
        }
    }
    return true;
}

} // namespace

class TestGridCtrl : public QObject
{
    Q_OBJECT

    std::unique_ptr<CGridTestHost> m_host;
    CellSet m_locked;

    CGridCtrl *Grid() const { return m_host->m_grid; }
    int Header() const { return Grid()->GetHeader()->height(); }
    QImage Picture() const { return Grid()->viewport()->grab().toImage(); }

    // A host whose grid has the given number of text columns of one width,
    // exactly as many rows as fit, and a client area as wide as the columns.
    void MakeEditGrid(int columns, int rows = 6, int width = 60)
    {
        for (int i = 0; i < columns; ++i)
            new CGridEditColumn(Grid(), QStringLiteral("C%1").arg(i), width);
        const int chrome = Grid()->height() - Grid()->GetClientRect().height();
        Grid()->resize(Grid()->width(), chrome + Header() + rows * kRow);
        Grid()->InitRows();
        FitClientWidth(columns * width);
    }
    void FitClientWidth(int width)
    {
        Grid()->resize(Grid()->width() - Grid()->GetClientRect().width() + width, Grid()->height());
    }
    void MakeThreeColumnGrid() { MakeEditGrid(3, 6, 100); }
    QList<int> Widths() const
    {
        QList<int> widths;
        for (int i = 0; i < Grid()->GetColumnCount(); ++i)
            widths << Grid()->GetColumnWidth(i);
        return widths;
    }
    // Drags the divider at the right of the column by dx pixels.
    void DragDivider(int column, int dx)
    {
        int x = 0;
        for (int i = 0; i <= column; ++i)
            x += Grid()->GetColumnWidth(i);
        QWidget *header = Grid()->GetHeader()->viewport();
        const QPoint from(x - 1, Header() / 2);
        QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(header, from + QPoint(dx / 2, 0));
        QTest::mouseMove(header, from + QPoint(dx, 0));
        QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, from + QPoint(dx, 0));
    }
    QWidget *Focus() const { return QApplication::focusWidget(); }

private slots:
    void init()
    {
        m_locked.clear();
        m_host = std::make_unique<CGridTestHost>();
        m_host->Locked = [this](int row, int column) { return m_locked.count({row, column}) > 0; };
    }
    void cleanup() { m_host.reset(); }

    void initRowsFillsTheDataAreaWithWholeRows_data()
    {
        QTest::addColumn<int>("inserted");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("scrollable");
        QTest::newRow("empty grid") << 0 << 6 << false;
        QTest::newRow("rows inserted beforehand are kept") << 2 << 6 << false;
        QTest::newRow("more rows than fit can be scrolled to") << 8 << 8 << true;
    }
    void initRowsFillsTheDataAreaWithWholeRows()
    {
        QFETCH(int, inserted);
        QFETCH(int, rows);
        QFETCH(bool, scrollable);
        new CGridEditColumn(Grid(), "A", 100);
        new CGridEditColumn(Grid(), "B", 100);
        for (int row = 0; row < inserted; ++row)
            Grid()->InsertRow(row, QStringLiteral("r%1").arg(row));
        // A data area of 100 pixels below the header.
        const int chrome = Grid()->height() - Grid()->GetClientRect().height();
        Grid()->resize(240, chrome + Header() + 100);
        Grid()->InitRows();
        QVERIFY(m_host->ShowActive());

        QCOMPARE(Grid()->GetItemCount(), rows);
        QCOMPARE(Grid()->height(), chrome + Header() + 96);
        QCOMPARE(Grid()->viewport()->height(), Header() + 6 * kRow);
        QVERIFY(Grid()->verticalScrollBar()->isVisible());
        QCOMPARE(Grid()->verticalScrollBar()->isEnabled(), scrollable);
        if (inserted > 0)
            QCOMPARE(Grid()->GetItemText(inserted - 1, 0), QStringLiteral("r%1").arg(inserted - 1));
    }

    // The dialogs size their first column from the client width less a
    // scroll bar, before the scroll bar is there.
    void columnsSizedBeforeInitRowsFillTheClientArea()
    {
        const int rest = Grid()->GetClientRect().width() - 150 - Grid()->GetScrollBarWidth();
        new CGridEditColumn(Grid(), "Name", rest);
        new CGridEditColumn(Grid(), "Size", 100);
        new CGridToggleColumn(Grid(), "Null", 50, Grid::kNoImage, Grid::kCheckMark);
        Grid()->InitRows();
        QVERIFY(m_host->ShowActive());
        QCOMPARE(Grid()->GetClientRect(), Grid()->viewport()->rect());
        QCOMPARE(Grid()->GetTotalColumnWidth(), Grid()->viewport()->width());
    }

    // Names with underscores must not lose them at the cells' bottom edges.
    void textFitsTheRowsWhateverTheDialogFont()
    {
        QVERIFY(Grid()->fontMetrics().height() <= kRow - 3);
        QFont large = m_host->font();
        large.setPixelSize(24);
        m_host->setFont(large);
        QVERIFY(Grid()->fontMetrics().height() <= kRow - 3);
        QVERIFY(Grid()->fontMetrics().height() >= kRow - 5);
    }

    void arrowKeysMoveTheCurrentCell_data()
    {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<CellSet>("locked");
        QTest::addColumn<QPoint>("expected"); // row, column

        QTest::newRow("right from the last column") << QPoint(1, 3) << int(Qt::Key_Right) << CellSet{} << QPoint(1, 0);
        QTest::newRow("left from column 0") << QPoint(1, 0) << int(Qt::Key_Left) << CellSet{} << QPoint(1, 3);
        QTest::newRow("up from row 0") << QPoint(0, 2) << int(Qt::Key_Up) << CellSet{} << QPoint(0, 2);
        QTest::newRow("down from the last row") << QPoint(6, 2) << int(Qt::Key_Down) << CellSet{} << QPoint(6, 2);
        QTest::newRow("right over two locked cells") << QPoint(2, 0) << int(Qt::Key_Right)
                                                     << CellSet{{2, 1}, {2, 2}} << QPoint(2, 3);
        QTest::newRow("right with the rest of the row locked")
            << QPoint(2, 0) << int(Qt::Key_Right) << CellSet{{2, 1}, {2, 2}, {2, 3}} << QPoint(2, 0);
        QTest::newRow("left over a locked cell, wrapping") << QPoint(2, 0) << int(Qt::Key_Left)
                                                           << CellSet{{2, 3}} << QPoint(2, 2);
        QTest::newRow("locks of other rows do not count") << QPoint(2, 0) << int(Qt::Key_Right)
                                                          << CellSet{{1, 1}, {3, 1}} << QPoint(2, 1);
        QTest::newRow("down onto a locked cell") << QPoint(2, 1) << int(Qt::Key_Down) << CellSet{{3, 1}}
                                                 << QPoint(2, 1);
    }
    void arrowKeysMoveTheCurrentCell()
    {
        QFETCH(QPoint, start);
        QFETCH(int, key);
        QFETCH(CellSet, locked);
        QFETCH(QPoint, expected);
        MakeEditGrid(4, 7);
        QVERIFY(m_host->ShowActive());
        m_host->ClickCell(start.x(), start.y());
        QCOMPARE(m_host->Current(), start);
        m_locked = locked;
        m_host->Key(key);
        QCOMPARE(m_host->Current(), expected);
        // Arrow moves never edit.
        QCOMPARE(Focus(), Grid());
    }

    void gridWithOneColumnIgnoresKeys()
    {
        MakeEditGrid(1);
        QVERIFY(m_host->ShowActive());
        m_host->ClickCell(1, 0);
        m_host->Key(Qt::Key_A);
        m_host->Key(Qt::Key_Down);
        m_host->Key(Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(Focus(), Grid());
        QCOMPARE(m_host->Current(), QPoint(1, 0));
        QCOMPARE(Grid()->GetItemText(1, 0), QString());
    }

    void downAndUpScrollByOneRowAtTheEdges()
    {
        MakeEditGrid(2, 4);
        for (int row = 4; row < 7; ++row)
            Grid()->InsertRow(row);
        QVERIFY(m_host->ShowActive());
        m_host->ClickCell(3, 0);
        m_host->Key(Qt::Key_Down);
        QCOMPARE(m_host->Current(), QPoint(4, 0));
        QCOMPARE(Grid()->verticalScrollBar()->value(), 1);
        QCOMPARE(Grid()->GetCellRect(4, 0).top(), Header() + 3 * kRow + 1);
        for (int i = 0; i < 3; ++i)
            m_host->Key(Qt::Key_Up);
        QCOMPARE(Grid()->verticalScrollBar()->value(), 1);
        m_host->Key(Qt::Key_Up);
        QCOMPARE(m_host->Current(), QPoint(0, 0));
        QCOMPARE(Grid()->verticalScrollBar()->value(), 0);
    }

    void firstClickSelectsAndSecondClickEdits()
    {
        MakeEditGrid(3);
        QVERIFY(m_host->ShowActive());
        QCOMPARE(Focus(), m_host->m_before);
        m_host->ClickCell(2, 1);
        QCOMPARE(m_host->Current(), QPoint(2, 1));
        QCOMPARE(Focus(), Grid());
        m_host->ClickCell(3, 2);
        QCOMPARE(m_host->Current(), QPoint(3, 2));
        QCOMPARE(Focus(), Grid());
        // A click on no cell changes nothing.
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, Header() / 2));
        QCOMPARE(m_host->Current(), QPoint(3, 2));
        m_host->ClickCell(3, 2);
        QVERIFY(qobject_cast<CGridEditColumn *>(Focus()));
        QCOMPARE(static_cast<CGridEditColumn *>(Focus())->GetColumnIndex(), 2);
    }

    void editingTheLastRowAddsOneRow()
    {
        MakeEditGrid(2, 5);
        QVERIFY(m_host->ShowActive());
        QVERIFY(!Grid()->verticalScrollBar()->isEnabled());
        m_host->ClickCell(3, 0);
        m_host->Key(Qt::Key_X);
        QCOMPARE(Grid()->GetItemCount(), 5);
        QVERIFY(!Grid()->verticalScrollBar()->isEnabled());
        m_host->Key(Qt::Key_Down);
        m_host->Key(Qt::Key_Y);
        QCOMPARE(Grid()->GetItemCount(), 6);
        QVERIFY(Grid()->verticalScrollBar()->isEnabled());
        QCOMPARE(Grid()->GetItemText(3, 0), QStringLiteral("x"));
        QCOMPARE(Grid()->GetItemText(5, 0), QString());
        // Up leaves the box too, its value written.
        m_host->Key(Qt::Key_Up);
        QCOMPARE(Grid()->GetItemText(4, 0), QStringLiteral("y"));
        QCOMPARE(m_host->Current(), QPoint(3, 0));
    }

    void lockedCellIsNotEdited()
    {
        MakeEditGrid(2);
        QVERIFY(m_host->ShowActive());
        m_host->ClickCell(1, 1);
        m_locked = {{1, 1}};
        m_host->Key(Qt::Key_A);
        m_host->ClickCell(1, 1);
        m_host->Key(Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(Focus(), Grid());
        QCOMPARE(Grid()->GetItemText(1, 1), QString());
        QVERIFY(!Grid()->BeginEdit(1, 1));
    }

    void toggleFlipsBySpaceClickAndAltDown()
    {
        new CGridEditColumn(Grid(), "Name", 100);
        new CGridToggleColumn(Grid(), "Null", 40, Grid::kNoImage, Grid::kCheckMark);
        Grid()->InitRows();
        QVERIFY(m_host->ShowActive());
        m_host->ClickCell(0, 1);
        QCOMPARE(Grid()->GetItemText(0, 1), QString()); // the first click only selects
        m_host->Key(Qt::Key_Space);
        QCOMPARE(Grid()->GetItemText(0, 1), QStringLiteral("1"));
        m_host->ClickCell(0, 1);
        QCOMPARE(Grid()->GetItemText(0, 1), QStringLiteral("0"));
        m_host->Key(Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(Grid()->GetItemText(0, 1), QStringLiteral("1"));
        m_host->Key(Qt::Key_Q);
        QCOMPARE(Grid()->GetItemText(0, 1), QStringLiteral("0"));
        QCOMPARE(Focus(), Grid());
        // A double click is one click on the cell, not two. It goes through
        // the window, as the platform delivers it.
        const QPoint inWindow = Grid()->viewport()->mapTo(m_host.get(), m_host->CellCentre(0, 1));
        QTest::mouseDClick(m_host->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
        QCOMPARE(Grid()->GetItemText(0, 1), QStringLiteral("1"));
        // Shift pressed on the way to Shift+Tab, or Ctrl on its own, is no
        // edit.
        m_host->Key(Qt::Key_Shift, Qt::ShiftModifier);
        m_host->Key(Qt::Key_Control, Qt::ControlModifier);
        m_host->Key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(Grid()->GetItemText(0, 1), QStringLiteral("1"));
        QCOMPARE(Focus(), Grid());
        QCOMPARE(m_host->Current(), QPoint(0, 0));
    }

    void rowsAreSixteenPixelsWithFocusFrameAtTheCellEdges()
    {
        MakeEditGrid(3, 4);
        m_locked = {{2, 1}};
        QVERIFY(m_host->ShowActive());
        m_host->ClickCell(1, 1);
        const QImage image = Picture();
        const QRgb gridLine = Grid()->palette().color(QPalette::Dark).rgb();
        const QRgb base = Grid()->palette().color(QPalette::Base).rgb();
        const QRgb black = qRgb(0, 0, 0);
        const int x = 60 + 30; // inside column 1
        for (int row = 0; row < 4; ++row) {
            const int top = Header() + row * kRow;
            QCOMPARE(image.pixel(x, top), gridLine);
            QCOMPARE(image.pixel(x, top + 15), gridLine);
        }
        // Column 1 of row 1 spans x 60..117 and y top+1..top+14; the frame is
        // its outline.
        const int top = Header() + kRow;
        QCOMPARE(image.pixel(x, top + 1), black);
        QCOMPARE(image.pixel(x, top + 14), black);
        QCOMPARE(image.pixel(60, top + 7), black);
        QCOMPARE(image.pixel(117, top + 7), black);
        QCOMPARE(image.pixel(118, top + 7), gridLine);
        // The locked cell below is grey; the cell beside the current one has
        // no frame.
        QCOMPARE(image.pixel(x, top + kRow + 7), Grid()->palette().color(QPalette::Button).rgb());
        QCOMPARE(image.pixel(150, top + 1), base);
        // Without the focus the frame goes.
        m_host->m_before->setFocus();
        QCOMPARE(Picture().pixel(x, top + 1), base);
    }

    void toggleCellShowsTheImageOfItsValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("imageOn");
        QTest::addColumn<int>("imageOff");
        QTest::addColumn<int>("expected");
        QTest::newRow("1") << "1" << int(Grid::kArrowDown) << int(Grid::kArrowUp) << int(Grid::kArrowDown);
        QTest::newRow("0") << "0" << int(Grid::kArrowDown) << int(Grid::kArrowUp) << int(Grid::kArrowUp);
        QTest::newRow("never toggled") << "" << int(Grid::kArrowDown) << int(Grid::kArrowUp) << int(Grid::kArrowUp);
        QTest::newRow("other text") << "yes" << int(Grid::kArrowDown) << int(Grid::kArrowUp) << int(Grid::kArrowUp);
        QTest::newRow("1 without image") << "1" << int(Grid::kNoImage) << int(Grid::kCheckMark) << int(Grid::kNoImage);
    }
    void toggleCellShowsTheImageOfItsValue()
    {
        QFETCH(QString, text);
        QFETCH(int, imageOn);
        QFETCH(int, imageOff);
        QFETCH(int, expected);
        new CGridEditColumn(Grid(), "Name", 100);
        new CGridToggleColumn(Grid(), "Sort", 50, imageOn, imageOff);
        Grid()->InitRows();
        FitClientWidth(150);
        Grid()->SetItemText(0, 1, text);
        QVERIFY(m_host->ShowActive());
        // The cell spans x 100..147: the image's left edge is at
        // 100 + 48 / 2 - 8, its top at the cell's top.
        const QPoint at(116, Header() + 1);
        const QImage picture = Picture();
        QImage wanted(Grid::kImageSize, 13, picture.format());
        wanted.fill(Grid()->palette().color(QPalette::Base));
        QPainter painter(&wanted);
        if (expected != Grid::kNoImage)
            painter.drawImage(0, 0, Grid()->Images()->Image(expected));
        painter.end();
        QVERIFY(SamePicture(picture.copy(QRect(at, wanted.size())), wanted));
    }

    void dividerDragsKeepTheColumnsFillingTheGrid_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("dx");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("first widened by 120") << 0 << 120 << QList<int>{220, 55, 25};
        QTest::newRow("middle dragged below 25") << 1 << -95 << QList<int>{100, 25, 175};
        QTest::newRow("last narrowed") << 2 << -30 << QList<int>{100, 100, 100};
    }
    void dividerDragsKeepTheColumnsFillingTheGrid()
    {
        QFETCH(int, column);
        QFETCH(int, dx);
        QFETCH(QList<int>, expected);
        MakeThreeColumnGrid();
        QVERIFY(m_host->ShowActive());
        QCOMPARE(Grid()->viewport()->width(), 300);
        DragDivider(column, dx);
        QCOMPARE(Widths(), expected);
    }

    void disabledHeaderIgnoresDrags()
    {
        Grid()->DisableHeader();
        MakeThreeColumnGrid();
        QVERIFY(m_host->ShowActive());
        DragDivider(0, 50);
        QCOMPARE(Widths(), (QList<int>{100, 100, 100}));
    }

    void programWidthsAndGridResizesFollowTheSameRules()
    {
        MakeThreeColumnGrid();
        QVERIFY(m_host->ShowActive());
        Grid()->SetColumnWidth(0, 220);
        QCOMPARE(Widths(), (QList<int>{220, 55, 25}));
        Grid()->SetColumnWidth(0, 10);
        QCOMPARE(Widths(), (QList<int>{25, 55, 220}));
        Grid()->resize(Grid()->width() + 40, Grid()->height());
        QTRY_COMPARE(Widths(), (QList<int>{25, 55, 260}));
    }

    void outOfRangeCellsAndColumnsAreIgnored()
    {
        MakeEditGrid(2, 3);
        for (const QPoint &cell : {QPoint(3, 0), QPoint(0, 2), QPoint(-1, 0)}) {
            Grid()->SetItemText(cell.x(), cell.y(), "x");
            QCOMPARE(Grid()->GetItemText(cell.x(), cell.y()), QString());
            QVERIFY(!Grid()->BeginEdit(cell.x(), cell.y()));
            QVERIFY(Grid()->GetCellRect(cell.x(), cell.y()).isNull());
            Grid()->InvalidateCell(cell.x(), cell.y());
            Grid()->InvalidateRow(cell.x());
        }
        Grid()->SetColumnWidth(2, 80);
        QCOMPARE(Grid()->GetColumnCount(), 2);
        Grid()->InsertRow(-1, "x");
        QCOMPARE(Grid()->GetItemCount(), 3);
        QVERIFY(!Grid()->HitTestCell(QPoint(10, Header() + 3 * kRow + 2)).IsValid());
        QVERIFY(!Grid()->HitTestCell(QPoint(121, Header() + 2)).IsValid());
        // A row beyond the end is appended, as a list control does.
        Grid()->InsertRow(9, "ID");
        QCOMPARE(Grid()->GetItemText(3, 0), QStringLiteral("ID"));
    }
};

QTEST_MAIN(TestGridCtrl)
#include "tst_gridctrl.moc"

#include "grid/GridCtrl.h"
#include "grid/GridEditColumn.h"
#include "grid/GridHeaderCtrl.h"
#include "grid/GridListColumn.h"
#include "grid/GridMetrics.h"
#include "grid/GridToggleColumn.h"
#include "tests/support/GridTestHost.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <memory>

// The grid of the column dialogs in small: a name, a type chosen from a
// list, a size and a toggle.
class TestGridEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<CGridTestHost> m_host;
    CGridEditColumn *m_name = nullptr;
    CGridListColumn *m_type = nullptr;
    CGridEditColumn *m_size = nullptr;

    CGridCtrl *Grid() const { return m_host->m_grid; }
    QWidget *Focus() const { return QApplication::focusWidget(); }
    QString Cell(int row, int column) const { return Grid()->GetItemText(row, column); }

    // Opens the editor of a cell by two clicks, as a user does.
    void Open(int row, int column)
    {
        if (Focus() != Grid())
            m_host->ClickCell(row, column);
        if (m_host->Current() != QPoint(row, column))
            m_host->ClickCell(row, column);
        m_host->ClickCell(row, column);
    }
    // The grid's client point in the dialog's coordinates.
    QPoint InDialog(const QPoint &client) const { return Grid()->viewport()->mapTo(m_host.get(), client); }
    void ClickItem(const QString &text)
    {
        const QList<QListWidgetItem *> items = m_type->findItems(text, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        QTest::mouseClick(m_type->viewport(), Qt::LeftButton, Qt::NoModifier,
                          m_type->visualItemRect(items.first()).center());
    }
    QStringList Choices() const
    {
        QStringList choices;
        for (int i = 0; i < m_type->count(); ++i)
            choices << m_type->item(i)->text();
        return choices;
    }

private slots:
    void init()
    {
        m_host = std::make_unique<CGridTestHost>(QRect(10, 40, 330, 140));
        m_name = new CGridEditColumn(Grid(), "Name", 120);
        m_type = new CGridListColumn(Grid(), "Type", 100);
        m_size = new CGridEditColumn(Grid(), "Size", 50);
        new CGridToggleColumn(Grid(), "Null", 40, Grid::kNoImage, Grid::kCheckMark);
        Grid()->InitRows();
        for (const char *type : {"varchar", "Integer", "char", "date", "bit"})
            m_type->AddString(type);
        QVERIFY(m_host->ShowActive());
    }
    void cleanup() { m_host.reset(); }

    void editBoxAndListStandInsideAndBelowTheCell()
    {
        Open(2, 0);
        // Row 2's slice of column 0 starts at 0 and runs 120 pixels; the
        // cell is that slice less its grid lines, the edit box is inside the
        // cell's focus frame.
        const int itemTop = Grid()->GetHeader()->height() + 2 * Grid::kRowHeight;
        QCOMPARE(Grid()->GetCellRect(2, 0), QRect(0, itemTop + 1, 118, 14));
        QCOMPARE(Focus(), m_name);
        QCOMPARE(m_name->geometry(), QRect(InDialog(QPoint(1, itemTop + 2)), QSize(116, 12)));
        m_host->Key(Qt::Key_Right);
        m_host->Key(Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(Focus(), m_type);
        // The list's top is one pixel below the cell's bottom edge, and it is
        // one pixel wider than the cell.
        QCOMPARE(m_type->geometry(), QRect(InDialog(QPoint(120, itemTop + 16)), QSize(99, Grid::kDropDownHeight)));
    }

    void typingStartsAnEditWithThatKey()
    {
        m_host->ClickCell(0, 0);
        m_host->Type("Ab1");
        QCOMPARE(Focus(), m_name);
        QCOMPARE(m_name->text(), QStringLiteral("Ab1"));
        QCOMPARE(Cell(0, 0), QString()); // written when the box closes
        m_host->Key(Qt::Key_Tab);
        QCOMPARE(Focus(), Grid());
        QCOMPARE(Cell(0, 0), QStringLiteral("Ab1"));
        QVERIFY(!m_name->isVisible());
    }

    void leftAndRightLeaveTheBoxAtTheEndsOfTheText_data()
    {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("stays");
        QTest::addColumn<int>("column");
        QTest::newRow("left at 0") << 0 << int(Qt::Key_Left) << false << 1;
        QTest::newRow("left at 2") << 2 << int(Qt::Key_Left) << true << 2;
        QTest::newRow("right at 3") << 3 << int(Qt::Key_Right) << false << 3;
        QTest::newRow("right at 1") << 1 << int(Qt::Key_Right) << true << 2;
    }
    void leftAndRightLeaveTheBoxAtTheEndsOfTheText()
    {
        QFETCH(int, caret);
        QFETCH(int, key);
        QFETCH(bool, stays);
        QFETCH(int, column);
        Grid()->SetItemText(1, 0, "x");
        Grid()->SetItemText(1, 1, "char");
        Grid()->SetItemText(1, 2, "abc");
        Open(1, 2);
        m_host->Key(Qt::Key_Home);
        for (int i = 0; i < caret; ++i)
            m_host->Key(Qt::Key_Right);
        m_host->Key(key);
        QCOMPARE(Focus() == m_size, stays);
        QCOMPARE(m_host->Current(), QPoint(1, column));
        QCOMPARE(Cell(1, 2), QStringLiteral("abc"));
    }

    void tabGoesToTheGridAndShiftTabToTheControlBefore()
    {
        Open(0, 0);
        m_host->Type("a");
        m_host->Key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(Focus(), m_host->m_before);
        QCOMPARE(Cell(0, 0), QStringLiteral("a"));
        for (int opening = 0; opening < 2; ++opening) {
            Open(0, 1);
            QCOMPARE(Focus(), m_type);
            m_host->Key(Qt::Key_Tab);
            QCOMPARE(Focus(), Grid());
        }
        Open(0, 1);
        m_host->Key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(Focus(), Grid());
        QCOMPARE(m_host->Current(), QPoint(0, 0));
        m_host->Key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(Focus(), m_host->m_before);
    }

    // Tab and Shift+Tab, from the grid or an open editor, go to the next or
    // previous unlocked cell; past the grid's ends, to the next control.
    void tabWalksTheUnlockedCells_data()
    {
        QTest::addColumn<QString>("locks");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("back");
        QTest::addColumn<QString>("lands");
        QTest::newRow("edit box to the list") << "" << QPoint(0, 0) << true << false << "0,1";
        QTest::newRow("end of a row to the next row") << "" << QPoint(0, 3) << false << false << "1,0";
        QTest::newRow("start of a row back to the row above") << "" << QPoint(1, 0) << true << true << "0,3";
        QTest::newRow("locked type passed over") << "type" << QPoint(0, 0) << true << false << "0,2";
        QTest::newRow("locked type passed over backwards") << "type" << QPoint(0, 2) << false << true << "0,0";
        QTest::newRow("last unlocked cell leaves for OK") << "below row 0" << QPoint(0, 3) << false << false << "OK";
        QTest::newRow("first cell leaves backwards") << "" << QPoint(0, 0) << true << true << "before";
    }
    void tabWalksTheUnlockedCells()
    {
        QFETCH(QString, locks);
        QFETCH(QPoint, start);
        QFETCH(bool, open);
        QFETCH(bool, back);
        QFETCH(QString, lands);
        m_host->Locked = [locks](int row, int column) {
            return (locks == "type" && column == 1) || (locks == "below row 0" && row > 0);
        };
        if (open)
            Open(start.x(), start.y());
        else
            m_host->ClickCell(start.x(), start.y());
        m_host->Key(back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget *focus = Focus();
        const QString where = focus == m_host->m_ok       ? QStringLiteral("OK")
                              : focus == m_host->m_before ? QStringLiteral("before")
                              : focus == Grid() ? QStringLiteral("%1,%2").arg(m_host->Current().x()).arg(m_host->Current().y())
                                                : QString::fromLatin1(focus ? focus->metaObject()->className() : "none");
        QCOMPARE(where, lands);
    }

    void editBoxTakesOnlyWhatFitsItsWidth()
    {
        m_host->ClickCell(0, 2);
        const QString typed(40, QLatin1Char('w'));
        m_host->Type(typed);
        const QString kept = m_size->text();
        QVERIFY(!kept.isEmpty());
        QVERIFY(kept.size() < typed.size());
        // The box has not scrolled: its first character is still at its left.
        QCOMPARE(m_size->cursorPosition(), kept.size());
        QCOMPARE(m_size->cursorPositionAt(QPoint(3, m_size->height() / 2)), 0);
        // A value too long for the box, set by the dialog, is kept and can
        // still be shortened.
        m_host->Key(Qt::Key_Tab);
        Grid()->SetItemText(0, 2, typed);
        Open(0, 2);
        QCOMPARE(m_size->text(), typed);
        m_host->Key(Qt::Key_Backspace);
        m_host->Key(Qt::Key_Tab);
        QCOMPARE(Cell(0, 2), typed.left(39));
    }

    void listIsSortedWhateverTheCase()
    {
        QCOMPARE(Choices(), (QStringList{"bit", "char", "date", "Integer", "varchar"}));
        QCOMPARE(m_type->AddString("Blob"), 1);
    }

    void altDownOpensTheListWithoutChangingTheCell()
    {
        m_host->ClickCell(0, 1);
        m_host->Key(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(m_type->isVisible());
        QCOMPARE(Focus(), m_type);
        QCOMPARE(Cell(0, 1), QString());
        // Alt+Down again closes it; nothing was chosen.
        m_host->Key(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(!m_type->isVisible());
        QCOMPARE(Focus(), Grid());
        QCOMPARE(Cell(0, 1), QString());
    }

    void clickOnAnItemWritesItAndClosesTheList()
    {
        Open(0, 1);
        ClickItem("date");
        QCOMPARE(Cell(0, 1), QStringLiteral("date"));
        QVERIFY(!m_type->isVisible());
        QCOMPARE(Focus(), Grid());
    }

    void typingOnAListCellOpensItAndEveryMoveShowsAtOnce()
    {
        m_host->ClickCell(0, 1);
        m_host->Key(Qt::Key_I);
        QCOMPARE(Focus(), m_type);
        QCOMPARE(Cell(0, 1), QStringLiteral("Integer"));
        m_host->Key(Qt::Key_Down);
        QVERIFY(m_type->isVisible());
        QCOMPARE(Cell(0, 1), QStringLiteral("varchar"));
        m_host->Key(Qt::Key_Up);
        m_host->Key(Qt::Key_Right);
        QCOMPARE(m_host->Current(), QPoint(0, 2));
        QCOMPARE(Cell(0, 1), QStringLiteral("Integer"));
    }

    void listWithoutSelectionKeepsTheCellText()
    {
        Grid()->SetItemText(0, 1, "money");
        Open(0, 1);
        QVERIFY(m_type->selectedItems().isEmpty());
        m_host->ClickCell(3, 3);
        QCOMPARE(Cell(0, 1), QStringLiteral("money"));
    }

    // The list keeps its selection between openings: an empty cell is
    // offered the last choice, and takes it when the list closes.
    void emptyCellFindsTheLastChoice()
    {
        Grid()->SetItemText(0, 0, "a");
        Grid()->SetItemText(1, 0, "b");
        Open(0, 1);
        ClickItem("date");
        Open(1, 1);
        QCOMPARE(m_type->currentItem()->text(), QStringLiteral("date"));
        QCOMPARE(Cell(1, 1), QString());
        m_host->Key(Qt::Key_Left);
        QCOMPARE(Cell(1, 1), QStringLiteral("date"));
    }

    // Opening the list on a cell that holds another value and closing it
    // again must not overwrite that value with the list's last choice.
    void filledCellKeepsItsValueWhenTheListOpensAndCloses()
    {
        Grid()->SetItemText(0, 1, "char");
        Open(1, 1);
        ClickItem("date");
        Open(0, 1);
        QCOMPARE(m_type->currentItem()->text(), QStringLiteral("char"));
        m_host->Key(Qt::Key_Left);
        QCOMPARE(Cell(0, 1), QStringLiteral("char"));
        QCOMPARE(Cell(1, 1), QStringLiteral("date"));
    }

    void noTypedTextIsLost_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("click elsewhere in the dialog") << "click elsewhere" << false;
        QTest::newRow("click OK") << "click OK" << true;
        QTest::newRow("Enter for the default button") << "enter" << true;
        QTest::newRow("Escape") << "escape" << false;
        QTest::newRow("close the dialog") << "close" << false;
        QTest::newRow("the dialog commits") << "commit" << false;
        QTest::newRow("the scroll bar") << "scroll" << false;
    }
    void noTypedTextIsLost()
    {
        QFETCH(QString, way);
        QFETCH(bool, accepted);
        m_host->ClickCell(0, 0);
        m_host->Type("name");
        QCOMPARE(Focus(), m_name);
        if (way == "click elsewhere") {
            QTest::mouseClick(m_host->m_before, Qt::LeftButton);
        } else if (way == "click OK") {
            QTest::mouseClick(m_host->m_ok, Qt::LeftButton);
        } else if (way == "enter") {
            m_host->Key(Qt::Key_Return);
        } else if (way == "escape") {
            m_host->Key(Qt::Key_Escape);
        } else if (way == "close") {
            m_host->close();
        } else if (way == "commit") {
            Grid()->CommitEdit();
        } else {
            for (int row = 0; row < 3; ++row)
                Grid()->InsertRow(Grid()->GetItemCount());
            QScrollBar *bar = Grid()->verticalScrollBar();
            bar->setEnabled(true);
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, bar->height() - 4));
        }
        QCOMPARE(Cell(0, 0), QStringLiteral("name"));
        QVERIFY(!m_name->isVisible());
        if (accepted) {
            QCOMPARE(m_host->result(), int(QDialog::Accepted));
            QCOMPARE(m_host->m_textAtOk, QStringLiteral("name"));
        } else if (!m_host->isVisible()) {
            QCOMPARE(m_host->m_textAtCancel, QStringLiteral("name"));
        }
        // Shown again, the dialog has no editor open.
        m_host->show();
        QVERIFY(!m_name->isVisible());
    }

    void picturesOfOpenEditors()
    {
        Grid()->SetItemText(0, 0, "ORDER_ID");
        Grid()->SetItemText(0, 1, "Integer");
        Grid()->SetItemText(0, 3, "1");
        Grid()->SetItemText(1, 0, "CUSTOMER");
        Grid()->SetItemText(1, 1, "varchar");
        Grid()->SetItemText(1, 2, "40");
        m_host->Locked = [this](int row, int column) {
            return (column == 0 && row > 0 && Cell(row - 1, 0).isEmpty())
                   || (column > 0 && Cell(row, 0).isEmpty()) || (column == 2 && Cell(row, 1) == "Integer");
        };
        Open(1, 2);
        m_host->Key(Qt::Key_End);
        m_host->Type("0");
        QVERIFY(m_size->isVisible());
        const QImage editing = m_host->grab().toImage();
        m_host->Key(Qt::Key_Home);
        m_host->Key(Qt::Key_Left);
        m_host->Key(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(m_type->isVisible());
        const QImage dropped = m_host->grab().toImage();
        QCOMPARE(Cell(1, 2), QStringLiteral("400"));
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty()) {
            editing.save(folder + "/grid-editing.png");
            dropped.save(folder + "/grid-dropdown.png");
        }
    }
};

QTEST_MAIN(TestGridEditors)
#include "tst_grideditors.moc"

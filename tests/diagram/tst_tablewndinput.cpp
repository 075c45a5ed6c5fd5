#include "db/DbmsAdapter.h"
#include "diagram/DropMark.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "res/Resource.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/RowDrag.h"
#include "view/DbView.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

namespace {

struct Row
{
    int kind;
    const char *name;
};

// A source table with columns, a unique index, a two-column index and two
// triggers, so that every kind of row and a segment block are present.
const Row kOrderRows[] = {
    {Column, "ID"},          {Column, "CUSTOMER_ID"}, {Column, "NOTE"},
    {UniqueIndex, "PK"},     {IndexSegment, "ID"},    {Index, "BY_CUST"},
    {IndexSegment, "CUSTOMER_ID"}, {IndexSegment, "NOTE"}, {Trigger, "CHECK_QTY"},
    {Trigger, "LOG_IT"},
};
const Row kCustomerRows[] = {
    {Column, "ID"}, {Column, "NAME"}, {Column, "CITY"}, {UniqueIndex, "PK"}, {IndexSegment, "ID"},
};

// Paints its client area in one known colour, so that the drop mark's
// inversion can be read back pixel by pixel.
class CFlatTable : public CTableWnd
{
public:
    using CTableWnd::CTableWnd;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(10, 200, 30));
    }
};

QPoint RowPoint(const CTableWnd *table, int row)
{
    return table->ClientRect().topLeft() + QPoint(40, row * 15 + 7);
}

const QPoint kCaptionPoint(60, 10);

QList<int> SelectedRows(const CTableWnd *table)
{
    QList<int> rows;
    for (int i = 0; i < table->ItemCount(); ++i)
        if (table->GetItem(i)->m_selected)
            rows << i;
    return rows;
}

} // namespace

class TestTableWndInput : public QObject
{
    Q_OBJECT

    // No engine: the tables are made by hand, nothing connects.
    CAdapterList m_adapters;
    CDoc *m_doc = nullptr;
    CDbView *m_view = nullptr;
    CTableWnd *m_orders = nullptr;
    CTableWnd *m_customer = nullptr;

    template <size_t N>
    CTableWnd *AddTable(const char *name, const Row (&rows)[N], const QPoint &at)
    {
        CTableWnd *table = new CFlatTable(m_doc, name);
        for (const Row &row : rows)
            table->AppendItem(std::make_unique<CTableItem>(row.kind, row.name));
        m_doc->AppendTable(table);
        table->m_savedPos = at;
        m_view->ShowTable(table);
        return table;
    }

    // The same point of the screen in the source window's coordinates, as
    // the source receives every move while it holds the mouse.
    QPoint InSource(const CTableWnd *other, const QPoint &point) const
    {
        return m_orders->mapFromGlobal(other->mapToGlobal(point));
    }
    QPoint BackgroundPoint() const { return InSource(m_customer, QPoint(-60, 100)); }

    void Click(CTableWnd *table, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(table, Qt::LeftButton, modifiers, RowPoint(table, row));
    }

private slots:
    void init()
    {
        m_doc = new CDoc(m_adapters);
        m_view = new CDbView(m_doc);
        m_view->resize(800, 600);
        m_orders = AddTable("ORDERS", kOrderRows, QPoint(10, 10));
        m_customer = AddTable("CUSTOMER", kCustomerRows, QPoint(300, 10));
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view));
    }
    void cleanup()
    {
        m_doc->DeleteTables();
        delete m_view;
        delete m_doc;
    }

    void clickActivatesAndSelectsOneRow()
    {
        Click(m_orders, 1);
        m_customer->GetItem(1)->m_selected = true; // left over from earlier work
        m_view->m_selRelationship = 2;

        Click(m_customer, 3);
        QCOMPARE(m_view->m_pActiveTable, m_customer);
        QCOMPARE(m_view->m_selRelationship, -1);
        QCOMPARE(SelectedRows(m_customer), QList<int>{3});
        QCOMPARE(m_customer->m_focus, 3);
        QCOMPARE(m_customer->m_anchor, 3);
        QCOMPARE(m_view->m_dragState, NoRowDrag);
        QCOMPARE(m_view->m_dragStart,
                 m_view->viewport()->mapFromGlobal(m_customer->mapToGlobal(RowPoint(m_customer, 3))));
        // The window clicked last lies on top.
        QCOMPARE(m_view->Canvas()->children().last(), m_customer);

        // Activating another window keeps the selection of the old one.
        Click(m_orders, 2);
        QCOMPARE(SelectedRows(m_customer), QList<int>{3});
    }

    void shiftAndCtrlClicks()
    {
        Click(m_orders, 1);
        Click(m_orders, 5, Qt::ShiftModifier);
        QCOMPARE(SelectedRows(m_orders), (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(m_orders->m_anchor, 1);
        Click(m_orders, 9, Qt::ControlModifier);
        QCOMPARE(SelectedRows(m_orders), (QList<int>{1, 2, 3, 4, 5, 9}));
        // Ctrl+click adds and never removes.
        Click(m_orders, 2, Qt::ControlModifier);
        QCOMPARE(SelectedRows(m_orders), (QList<int>{1, 2, 3, 4, 5, 9}));
        QCOMPARE(m_orders->m_focus, 2);
        // Shift extends from the anchor of the last plain click.
        Click(m_orders, 0, Qt::ShiftModifier);
        QCOMPARE(SelectedRows(m_orders), (QList<int>{0, 1}));
    }

    void clickOnSegmentSelectsItsHeader()
    {
        Click(m_orders, 7);
        QCOMPARE(SelectedRows(m_orders), QList<int>{5});
        QCOMPARE(m_orders->m_focus, 5);
        QCOMPARE(m_orders->GetRowRect(5).height(), 45);
    }

    void captionPressClearsSelectionAndMovesWindow()
    {
        Click(m_orders, 2);
        const QPoint start = m_orders->pos();
        QTest::mousePress(m_orders, Qt::LeftButton, Qt::NoModifier, kCaptionPoint);
        QVERIFY(SelectedRows(m_orders).isEmpty());
        QCOMPARE(m_view->m_pActiveTable, m_orders);
        QTest::mouseMove(m_orders, kCaptionPoint + QPoint(100, 40));
        QCOMPARE(m_orders->pos(), start + QPoint(100, 40));
        QCOMPARE(m_view->m_dragState, NoRowDrag);
        // Dragged far up and left, the caption stays within reach.
        QTest::mouseMove(m_orders, kCaptionPoint + QPoint(-5000, -5000));
        QCOMPARE(m_orders->pos().y(), 0);
        QVERIFY(m_orders->geometry().right() >= 30);
        QTest::mouseRelease(m_orders, Qt::LeftButton, Qt::NoModifier, kCaptionPoint);
        // After the release moves no longer carry the window.
        const QPoint end = m_orders->pos();
        QTest::mouseMove(m_orders, kCaptionPoint + QPoint(20, 20));
        QCOMPARE(m_orders->pos(), end);
    }

    void firstArrowKeySelectsCurrentRow()
    {
        Click(m_orders, 1);
        QTest::keyClick(m_orders, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(SelectedRows(m_orders).isEmpty());
        QTest::keyClick(m_orders, Qt::Key_Down);
        QCOMPARE(m_orders->m_focus, 1);
        QCOMPARE(SelectedRows(m_orders), QList<int>{1});
        QTest::keyClick(m_orders, Qt::Key_Down);
        QCOMPARE(m_orders->m_focus, 2);
        QCOMPARE(SelectedRows(m_orders), QList<int>{2});
        // Down skips segment rows: PK at 3, BY_CUST at 5, the trigger at 8.
        QTest::keyClick(m_orders, Qt::Key_Down);
        QTest::keyClick(m_orders, Qt::Key_Down);
        QCOMPARE(m_orders->m_focus, 5);
        QTest::keyClick(m_orders, Qt::Key_Down);
        QCOMPARE(m_orders->m_focus, 8);
        QCOMPARE(SelectedRows(m_orders), QList<int>{8});
        // Up from below an index block lands on its header.
        QTest::keyClick(m_orders, Qt::Key_Up);
        QCOMPARE(m_orders->m_focus, 5);
        QCOMPARE(SelectedRows(m_orders), QList<int>{5});
        // Shift extends from the anchor.
        QTest::keyClick(m_orders, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(m_orders, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(m_orders->m_focus, 9);
        QCOMPARE(SelectedRows(m_orders), (QList<int>{5, 6, 7, 8, 9}));
        // The last row does not move down; the first does not move up.
        QTest::keyClick(m_orders, Qt::Key_Down);
        QCOMPARE(m_orders->m_focus, 9);
        Click(m_orders, 0);
        QTest::keyClick(m_orders, Qt::Key_Up);
        QCOMPARE(m_orders->m_focus, 0);
        QCOMPARE(SelectedRows(m_orders), QList<int>{0});
    }

    void ctrlMovesFocusOnly()
    {
        Click(m_orders, 0);
        QTest::keyClick(m_orders, Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(m_orders, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(m_orders->m_focus, 2);
        QCOMPARE(SelectedRows(m_orders), QList<int>{0});
        QTest::keyClick(m_orders, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(SelectedRows(m_orders), (QList<int>{0, 2}));
        QTest::keyClick(m_orders, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(SelectedRows(m_orders), QList<int>{0});
        // Space without Ctrl toggles nothing.
        QTest::keyClick(m_orders, Qt::Key_Space);
        QCOMPARE(SelectedRows(m_orders), QList<int>{0});
    }

    void pressBelowTheRows()
    {
        Click(m_orders, 3);
        const QPoint below = m_orders->ClientRect().topLeft() + QPoint(40, 10 * 15 + 2);
        QVERIFY(m_orders->ClientRect().contains(below));
        QTest::mouseClick(m_orders, Qt::LeftButton, Qt::NoModifier, below);
        QVERIFY(SelectedRows(m_orders).isEmpty());
        QCOMPARE(m_orders->m_focus, 10);
        QTest::keyClick(m_orders, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(SelectedRows(m_orders).isEmpty());
        // The keyboard leads back onto the rows.
        QTest::keyClick(m_orders, Qt::Key_Up);
        QCOMPARE(m_orders->m_focus, 9);
        QCOMPARE(SelectedRows(m_orders), QList<int>{9});
    }

    void enterOpensMenuAtRowEnd()
    {
        Click(m_orders, 5);
        auto chooser = CModalAnswerer::Menus();
        QTest::keyClick(m_orders, Qt::Key_Return);
        QCOMPARE(chooser.MenuCount(), 1);
        QCOMPARE(chooser.menus[0], (QStringList{"&Edit Table...", QString(), "Create &Index", "&Add Column",
                                                "Create &Trigger", QString(), "Show S&QL", QString(), "&Drop"}));
        const QRect row = m_orders->GetRowRect(5).translated(m_orders->ClientRect().topLeft());
        QCOMPARE(chooser.positions[0], m_orders->mapToGlobal(row.topRight()));
        QCOMPARE(SelectedRows(m_orders), QList<int>{5});
    }

    // The menu's Drop acts on the selection, so a right click on a row
    // outside it makes that row the selection; on a selected row the
    // selection stays whole.
    void rightClickSelectsAnUnselectedRowAlone()
    {
        Click(m_orders, 1);
        Click(m_orders, 2, Qt::ControlModifier);
        {
            auto chooser = CModalAnswerer::Menus();
            QTest::mouseClick(m_orders, Qt::RightButton, Qt::NoModifier, RowPoint(m_orders, 2));
            QCOMPARE(chooser.MenuCount(), 1);
            QCOMPARE(chooser.positions[0], m_orders->mapToGlobal(RowPoint(m_orders, 2)));
            QCOMPARE(SelectedRows(m_orders), (QList<int>{1, 2}));
            QCOMPARE(m_view->m_dragState, NoRowDrag);

            QTest::mouseClick(m_orders, Qt::RightButton, Qt::NoModifier, RowPoint(m_orders, 8));
            QCOMPARE(chooser.MenuCount(), 2);
            QCOMPARE(SelectedRows(m_orders), QList<int>{8});
            QCOMPARE(m_orders->m_focus, 8);
            // A segment row stands for its index.
            QTest::mouseClick(m_orders, Qt::RightButton, Qt::NoModifier, RowPoint(m_orders, 7));
            QCOMPARE(SelectedRows(m_orders), QList<int>{5});
        }
        CModalAnswerer answerer(QMessageBox::No);
        auto drop = CModalAnswerer::Menus("&Drop");
        QTest::mouseClick(m_orders, Qt::RightButton, Qt::NoModifier, RowPoint(m_orders, 9));
        QCOMPARE(answerer.texts, QStringList{"Are you sure you want to drop' LOG_IT'?"});
    }

    // In the captions-only mode no row shows, so none can be chosen: the
    // switch clears the selection, the row keys select nothing, and Drop
    // means the table.
    void captionsOnlyModeSelectsNoRows()
    {
        Click(m_orders, 1);
        Click(m_orders, 9, Qt::ControlModifier);
        QVERIFY(m_view->OnCommand(Cmd::ViewTableDiagram));
        QCOMPARE(SelectedRows(m_orders), QList<int>());
        QCOMPARE(m_view->m_pActiveTable, m_orders);

        QTest::keyClick(m_view, Qt::Key_Down);
        QTest::keyClick(m_view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(m_view, Qt::Key_Up);
        QTest::keyClick(m_view, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(SelectedRows(m_orders), QList<int>());

        m_orders->GetItem(2)->m_selected = true; // however a row came to be selected
        CModalAnswerer answerer(QMessageBox::No);
        auto chooser = CModalAnswerer::Menus("&Drop");
        QTest::keyClick(m_view, Qt::Key_Return);
        QCOMPARE(chooser.MenuCount(), 1);
        QVERIFY(m_view->OnCommand(Cmd::Drop));
        QCOMPARE(answerer.texts,
                 QStringList(2, "Are you sure you want to drop the table 'ORDERS'?"));
        QCOMPARE(m_doc->TableCount(), 2);

        // Back in the Schema mode the rows can be chosen again.
        QVERIFY(m_view->OnCommand(Cmd::ViewSchema));
        Click(m_orders, 1);
        QCOMPARE(SelectedRows(m_orders), QList<int>{1});
    }

    // The fixed widths cut long names; hovering shows them whole. The
    // caption tells the table's name and what it holds.
    void hoverShowsFullNames_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("row"); // -1: the caption
        QTest::addColumn<QString>("tip");
        const QString caption("ORDERS\n3 columns, 2 indexes, 2 triggers");
        QTest::newRow("caption") << int(Schema) << -1 << caption;
        QTest::newRow("caption, captions only") << int(TableDiagram) << -1 << caption;
        QTest::newRow("long index name") << int(Schema) << 5
                                         << QString("sqlite_autoindex_ORDERS_BY_CUSTOMER_AND_NOTE_1");
        QTest::newRow("segment") << int(Schema) << 6 << QString("CUSTOMER_ID");
        QTest::newRow("description") << int(Attributes) << 1
                                     << QString("CUSTOMER_ID\ninteger not null");
        QTest::newRow("no description") << int(Attributes) << 8 << QString("CHECK_QTY");
        QTest::newRow("below the rows") << int(Schema) << 20 << QString();
        QTest::newRow("markup in a name") << int(Attributes) << 9 << QString("<b>LOG</b>\n<i>x</i>");
    }
    void hoverShowsFullNames()
    {
        QFETCH(int, mode);
        QFETCH(int, row);
        QFETCH(QString, tip);
        m_orders->GetItem(5)->m_name = "sqlite_autoindex_ORDERS_BY_CUSTOMER_AND_NOTE_1";
        m_orders->GetItem(1)->m_description = "integer not null";
        m_orders->GetItem(9)->m_name = "<b>LOG</b>";
        m_orders->GetItem(9)->m_description = "<i>x</i>";
        m_doc->m_viewMode = mode;
        m_orders->FitToContents();
        if (row >= m_orders->ItemCount())
            m_orders->resize(m_orders->width(), 400); // room below the rows
        const QPoint point = row < 0 ? kCaptionPoint : RowPoint(m_orders, row);

        QHelpEvent hover(QEvent::ToolTip, point, m_orders->mapToGlobal(point));
        QApplication::sendEvent(m_orders, &hover);
        if (tip.isEmpty()) {
            QVERIFY(!QToolTip::isVisible() || QToolTip::text().isEmpty());
        } else {
            QTRY_VERIFY(QToolTip::isVisible());
            // What the tooltip shows: a name that looks like markup is not
            // rendered as markup.
            QString shown = QToolTip::text();
            if (Qt::mightBeRichText(shown)) {
                QTextDocument document;
                document.setHtml(shown);
                shown = document.toPlainText();
            }
            QCOMPARE(shown, tip);
        }
        QToolTip::hideText();
    }

    void menuCommandsReachTheTable()
    {
        Click(m_orders, 1);
        auto driver = CModalAnswerer::Dialogs();
        QString title;
        QString firstSegment;
        driver.Queue([&](QWidget *dialog) {
            title = dialog->windowTitle();
            firstSegment = dialog->findChild<CGridCtrl *>()->GetItemText(0, 0);
            static_cast<QDialog *>(dialog)->reject();
        });
        auto chooser = CModalAnswerer::Menus("Create &Index");
        QTest::mouseClick(m_orders, Qt::RightButton, Qt::NoModifier, RowPoint(m_orders, 1));
        QCOMPARE(driver.Handled(), 1);
        QCOMPARE(title, QStringLiteral("Index"));
        QCOMPARE(firstSegment, QStringLiteral("CUSTOMER_ID"));
    }

    void rightClickOnInactiveCaptionOffersTableDrop()
    {
        Click(m_customer, 1);
        Click(m_orders, 1);
        CModalAnswerer answerer(QMessageBox::No);
        auto chooser = CModalAnswerer::Menus("&Drop");
        QTest::mouseClick(m_customer, Qt::RightButton, Qt::NoModifier, kCaptionPoint);
        QCOMPARE(m_view->m_pActiveTable, m_customer);
        QCOMPARE(chooser.MenuCount(), 1);
        QCOMPARE(answerer.Count(), 1);
        QCOMPARE(answerer.LastTitle(), QStringLiteral("Confirmation"));
        QCOMPARE(answerer.LastText(),
                 QStringLiteral("Are you sure you want to drop the table 'CUSTOMER'?"));
        QCOMPARE(answerer.icons[0], QMessageBox::Warning);
        QVERIFY(m_doc->GetSession().GetStatementLog().empty());
        QCOMPARE(m_doc->TableCount(), 2);
    }

    void dragMarksAndUnmarksTarget()
    {
        CModalAnswerer answerer(QMessageBox::Ok);
        QTest::mousePress(m_orders, Qt::LeftButton, Qt::NoModifier, RowPoint(m_orders, 1));
        QCOMPARE(m_view->m_dragState, RowDragArmed);
        QTest::mouseMove(m_orders, RowPoint(m_orders, 1) + QPoint(5, 0));
        QCOMPARE(m_view->m_dragState, RowDragging);
        QCOMPARE(QWidget::mouseGrabber(), m_orders);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);

        QTest::mouseMove(m_orders, BackgroundPoint());
        QCOMPARE(m_view->m_dragPoint,
                 m_view->viewport()->mapFromGlobal(m_orders->mapToGlobal(BackgroundPoint())));
        QCOMPARE(m_view->m_pDropTable, nullptr);

        QTest::mouseMove(m_orders, InSource(m_customer, RowPoint(m_customer, 1)));
        QCOMPARE(m_view->m_pDropTable, m_customer);
        QCOMPARE(m_view->m_dropRow, 1);
        QVERIFY(CDropMark::Of(m_customer));
        QCOMPARE(CDropMark::Of(m_customer)->Row(), 1);

        // Over a segment row the whole index block is marked.
        QTest::mouseMove(m_orders, InSource(m_customer, RowPoint(m_customer, 4)));
        QCOMPARE(m_view->m_dropRow, 3);
        QCOMPARE(CDropMark::Of(m_customer)->geometry(),
                 m_customer->GetRowRect(3).translated(m_customer->ClientRect().topLeft()));
        QCOMPARE(m_customer->findChildren<CDropMark *>().size(), 1);

        // Back over the source the target stays marked.
        QTest::mouseMove(m_orders, RowPoint(m_orders, 3));
        QCOMPARE(m_view->m_pDropTable, m_customer);
        QVERIFY(CDropMark::Of(m_customer));

        // Over the background the mark goes.
        QTest::mouseMove(m_orders, BackgroundPoint());
        QCOMPARE(m_view->m_pDropTable, nullptr);
        QVERIFY(!CDropMark::Of(m_customer));

        // Releasing there opens nothing.
        QTest::mouseRelease(m_orders, Qt::LeftButton, Qt::NoModifier, BackgroundPoint());
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(m_view->m_dragState, NoRowDrag);
        QCOMPARE(m_view->m_dropRow, -1);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(!QGuiApplication::overrideCursor());
        // A drag selects like a click.
        QCOMPARE(SelectedRows(m_orders), QList<int>{1});
    }

    // During a drag keys do nothing, shortcuts included, except Escape,
    // which ends the drag: capture, cursor, mark and state go.
    void onlyEscapeActsDuringADrag()
    {
        int shortcutRuns = 0;
        QAction drop(m_view);
        drop.setShortcut(QKeySequence(Qt::Key_Delete));
        connect(&drop, &QAction::triggered, [&shortcutRuns] { ++shortcutRuns; });
        m_view->addAction(&drop);

        QTest::mousePress(m_orders, Qt::LeftButton, Qt::NoModifier, RowPoint(m_orders, 1));
        QTest::mouseMove(m_orders, RowPoint(m_orders, 1) + QPoint(5, 0));
        QTest::mouseMove(m_orders, InSource(m_customer, RowPoint(m_customer, 1)));
        QCOMPARE(m_view->m_dragState, RowDragging);
        QVERIFY(CDropMark::Of(m_customer));
        {
            auto chooser = CModalAnswerer::Menus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Down, Qt::Key_Delete})
                QTest::keyClick(m_orders, key);
            QTest::keyClick(m_orders, Qt::Key_Space, Qt::ControlModifier);
            QCOMPARE(chooser.MenuCount(), 0);
        }
        QCOMPARE(shortcutRuns, 0);
        QCOMPARE(m_orders->m_focus, 1);
        QCOMPARE(SelectedRows(m_orders), QList<int>{1});
        QCOMPARE(m_view->m_dragState, RowDragging);

        QTest::keyClick(m_orders, Qt::Key_Escape);
        QCOMPARE(m_view->m_dragState, NoRowDrag);
        QCOMPARE(m_view->m_dropRow, -1);
        QCOMPARE(m_view->m_pDropTable, nullptr);
        QVERIFY(!CDropMark::Of(m_customer));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(!QGuiApplication::overrideCursor());

        // The release that follows opens nothing, and keys act again.
        CModalAnswerer answerer(QMessageBox::Ok);
        QTest::mouseRelease(m_orders, Qt::LeftButton, Qt::NoModifier,
                            InSource(m_customer, RowPoint(m_customer, 1)));
        QCOMPARE(answerer.Count(), 0);
        QTest::keyClick(m_orders, Qt::Key_Down);
        QCOMPARE(m_orders->m_focus, 2);
        QTest::keyClick(m_view, Qt::Key_Delete);
        QCOMPARE(shortcutRuns, 1);
    }

    void dropMarkInvertsTheRow()
    {
        QTest::mousePress(m_orders, Qt::LeftButton, Qt::NoModifier, RowPoint(m_orders, 1));
        QTest::mouseMove(m_orders, RowPoint(m_orders, 1) + QPoint(5, 0));
        QTest::mouseMove(m_orders, InSource(m_customer, RowPoint(m_customer, 2)));
        const QImage marked = m_customer->grab().toImage();
        QCOMPARE(QColor(marked.pixel(RowPoint(m_customer, 2))), QColor(245, 55, 225));
        QCOMPARE(QColor(marked.pixel(RowPoint(m_customer, 1))), QColor(10, 200, 30));
        // Left of the highlight the icons stay as they are.
        QCOMPARE(QColor(marked.pixel(m_customer->ClientRect().topLeft() + QPoint(5, 2 * 15 + 7))),
                 QColor(10, 200, 30));
        QTest::mouseMove(m_orders, BackgroundPoint());
        QTest::mouseRelease(m_orders, Qt::LeftButton, Qt::NoModifier, BackgroundPoint());
        const QImage clean = m_customer->grab().toImage();
        QCOMPARE(QColor(clean.pixel(RowPoint(m_customer, 2))), QColor(10, 200, 30));
    }

    void releaseOverTargetOpensForeignKey()
    {
        auto driver = CModalAnswerer::Dialogs();
        QString title;
        QStringList pairs;
        driver.Queue([&](QWidget *dialog) {
            title = dialog->windowTitle();
            pairs = RowDrag::Cells(dialog, 0) + RowDrag::Cells(dialog, 1);
            static_cast<QDialog *>(dialog)->reject();
        });
        QTest::mousePress(m_orders, Qt::LeftButton, Qt::NoModifier, RowPoint(m_orders, 1));
        QTest::mouseMove(m_orders, BackgroundPoint());
        QTest::mouseMove(m_orders, InSource(m_customer, RowPoint(m_customer, 0)));
        QTest::mouseRelease(m_orders, Qt::LeftButton, Qt::NoModifier,
                            InSource(m_customer, RowPoint(m_customer, 0)));
        QCOMPARE(driver.Handled(), 1);
        QCOMPARE(title, QStringLiteral("Foreign Key"));
        QCOMPARE(pairs, (QStringList{"CUSTOMER_ID", "ID"}));
        QCOMPARE(m_view->m_dropRow, -1);
        QCOMPARE(m_view->m_pDropTable, nullptr);
        QCOMPARE(m_view->m_dragState, NoRowDrag);
        QVERIFY(!CDropMark::Of(m_customer));
        QCOMPARE(m_view->m_pActiveTable, m_orders);
    }

    void pressWithoutMoveOnlySelects()
    {
        CModalAnswerer answerer(QMessageBox::Ok);
        QTest::mousePress(m_orders, Qt::LeftButton, Qt::NoModifier, RowPoint(m_orders, 2));
        QTest::mouseRelease(m_orders, Qt::LeftButton, Qt::NoModifier, RowPoint(m_orders, 2));
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QCOMPARE(SelectedRows(m_orders), QList<int>{2});
    }

    void activationRules()
    {
        Click(m_orders, 2);
        m_orders->DeactivateFrame();
        m_view->m_pActiveTable = nullptr;
        // Activating again (F6 from the view) clears the selection.
        m_orders->ActivateFrame();
        QCOMPARE(m_view->m_pActiveTable, m_orders);
        QVERIFY(SelectedRows(m_orders).isEmpty());
        // Activating the active window again keeps it.
        Click(m_orders, 2);
        m_orders->ActivateFrame();
        QCOMPARE(SelectedRows(m_orders), QList<int>{2});
    }
};

QTEST_MAIN(TestTableWndInput)
#include "tst_tablewndinput.moc"

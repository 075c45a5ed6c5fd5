#include "diagram/DropMark.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"
#include "view/DiagramPicture.h"

#include <QApplication>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

#include <memory>

// The sample diagram worked with the mouse at several zooms: what is
// pressed, dragged and pointed at is what is drawn there.
class TestZoom : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    std::unique_ptr<CSampleDiagram> m_sample;

    CDbView &View() const { return *m_sample->View(); }
    CTableWnd *Table(const char *name) const { return m_sample->Doc()->FindTable(name); }

    // A point of a table window's diagram layout, on the widget at the zoom.
    static QPoint OnWidget(const QPoint &local, double zoom) { return (QPointF(local) * zoom).toPoint(); }
    // The middle of a row's name, in the window's diagram coordinates.
    static QPoint RowPoint(int row)
    {
        return {Platform::kClientLeft + 40, Platform::kClientTop + row * TableMetrics::kRowHeight + 7};
    }

    void ZoomTo(double zoom)
    {
        View().SetZoom(zoom);
        View().horizontalScrollBar()->setValue(0);
        View().verticalScrollBar()->setValue(0);
    }

private slots:
    void initTestCase() { CSampleDiagram::AddSource(m_sandbox); }

    void init() { QVERIFY((m_sample = std::make_unique<CSampleDiagram>())->Open(1300, 1000)); }

    void cleanup() { m_sample.reset(); }

    void mouse_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::newRow("25 %") << 0.25;
        QTest::newRow("50 %") << 0.5;
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("200 %") << 2.0;
    }

    // Caption drag, row click, row drag onto another table, tooltip and a
    // click on a line, each at the zoom.
    void mouse()
    {
        QFETCH(double, zoom);
        ZoomTo(zoom);
        CTableWnd *payment = Table("payment");
        CTableWnd *order = Table("sales_order");
        // The sample file places payment at (40, 20).
        QCOMPARE(payment->pos(), OnWidget(QPoint(40, 20), zoom));

        // A click on a row selects that row.
        QTest::mouseClick(payment, Qt::LeftButton, {}, OnWidget(RowPoint(2), zoom));
        QCOMPARE(payment->FirstSelected(), 2);

        // The tooltip over a row names it.
        const QPoint hoverAt = OnWidget(RowPoint(1), zoom);
        QHelpEvent hover(QEvent::ToolTip, hoverAt, payment->mapToGlobal(hoverAt));
        QApplication::sendEvent(payment, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QString::fromStdString(payment->GetItem(1)->m_name));
        QToolTip::hideText();

        // A row dragged onto another table marks the row it is over.
        const QPoint start = OnWidget(RowPoint(0), zoom);
        const QPoint target = payment->mapFromGlobal(order->mapToGlobal(OnWidget(RowPoint(1), zoom)));
        QTest::mousePress(payment, Qt::LeftButton, {}, start);
        QTest::mouseMove(payment, start + QPoint(3, 0));
        QTest::mouseMove(payment, target);
        QVERIFY(CDropMark::Of(order) && CDropMark::Of(order)->Row() == 1);
        QTest::keyClick(payment, Qt::Key_Escape);
        QTest::mouseRelease(payment, Qt::LeftButton, {}, target);

        // A caption drag moves the window by the mouse's movement over the
        // zoom, in diagram coordinates.
        const QPoint grab = OnWidget(QPoint(60, Platform::kCaptionHeight / 2 + Platform::kBorderWidth), zoom);
        QTest::mousePress(payment, Qt::LeftButton, {}, grab);
        QTest::mouseMove(payment, grab + QPoint(40, 30));
        QTest::mouseRelease(payment, Qt::LeftButton, {}, grab + QPoint(40, 30));
        QCOMPARE(payment->GetPosition(), QPoint(40 + qRound(40 / zoom), 20 + qRound(30 / zoom)));

        // A press on a pixel a line draws selects that line; each line is
        // drawn alone to tell its pixels.
        CSchemaModel &schema = m_sample->Doc()->Schema();
        const QRect shown(QPoint(0, 0), View().viewport()->size());
        const std::vector<CDbRelationship> keys = schema.Relationships();
        schema.SetRelationships({});
        // No table stays active: a press on a line would change its caption.
        QTest::mousePress(View().Canvas(), Qt::LeftButton, {}, shown.bottomRight() - QPoint(30, 30));
        const QImage none = View().Canvas()->grab(shown).toImage();
        int clicked = 0;
        for (const CDbRelationship &key : keys) {
            schema.SetRelationships({key});
            const QImage one = View().Canvas()->grab(shown).toImage();
            for (int y = 0; y < one.height(); ++y)
                for (int x = 0; x < one.width(); ++x)
                    if (one.pixel(x, y) != none.pixel(x, y) && ++clicked % 5 == 0) {
                        View().m_selRelationship = -1;
                        QTest::mousePress(View().Canvas(), Qt::LeftButton, {}, QPoint(x, y));
                        QCOMPARE(View().m_selRelationship, 0);
                    }
        }
        schema.SetRelationships(keys);
        QVERIFY(clicked > 50);
    }

    // Ctrl+wheel steps about the mouse point, over a table window too;
    // Ctrl+0 goes back to 100 %; the status pane hears each change.
    void wheelAndReset()
    {
        QSignalSpy changed(&View(), &CDbView::ZoomChanged);
        // Scrolled away from the origin, so that the view can keep the
        // point under the mouse.
        View().horizontalScrollBar()->setValue(100);
        View().verticalScrollBar()->setValue(100);
        CTableWnd *address = Table("address");
        const QPoint local = OnWidget(RowPoint(1), 1.0);
        const QPoint before = address->mapToGlobal(local);
        // A notch down, sent as the window system sends it.
        const auto turn = [&](Qt::KeyboardModifiers modifiers) {
            QWheelEvent wheel(QPointF(local), QPointF(before), QPoint(), QPoint(0, -120), Qt::NoButton,
                              modifiers, Qt::NoScrollPhase, false);
            QSpontaneKeyEvent::setSpontaneous(&wheel);
            QApplication::sendEvent(address, &wheel);
        };
        turn(Qt::ControlModifier);
        QCOMPARE(View().Zoom(), 0.9);
        QCOMPARE(changed.takeLast().at(0).toInt(), 90);
        // The diagram point under the mouse stays under it.
        const QPoint after = address->mapToGlobal(OnWidget(RowPoint(1), 0.9));
        QVERIFY((after - before).manhattanLength() <= 2);
        View().OnCommand(Cmd::ViewZoomOut);
        QCOMPARE(View().Zoom(), 0.75);
        View().OnCommand(Cmd::ViewZoomReset);
        QCOMPARE(View().Zoom(), 1.0);
        QCOMPARE(changed.takeLast().at(0).toInt(), 100);
        // Without Ctrl the wheel scrolls and leaves the zoom.
        turn(Qt::NoModifier);
        QCOMPARE(View().Zoom(), 1.0);
        QVERIFY(View().verticalScrollBar()->value() > 100);
    }

    // Zoom to Fit shows every table window whole, from far in or far out.
    void fitShowsEveryTable()
    {
        for (double start : {2.0, 0.1}) {
            ZoomTo(start);
            View().OnCommand(Cmd::ViewZoomFit);
            for (int i = 0; const CTableWnd *table = m_sample->Doc()->GetTable(i); ++i)
                QVERIFY(View().viewport()->rect().contains(
                    QRect(table->mapTo(View().viewport(), QPoint(0, 0)), table->size())));
        }
    }

    // Zooming out and back leaves the 100 % view pixel for pixel; pictures
    // (as exported and printed) are drawn at diagram coordinates whatever
    // the zoom.
    void picturesKeepTo100()
    {
        const auto render = [&] {
            const CDiagramPicture picture(View());
            QImage image(picture.Area().size(), QImage::Format_ARGB32);
            picture.Paint(image);
            return image;
        };
        const QImage view = View().grab().toImage();
        const QImage picture = render();
        for (double zoom : {0.25, 2.0, 0.1}) {
            View().SetZoom(zoom);
            QCOMPARE(render(), picture);
            View().OnCommand(Cmd::ViewZoomReset);
            ZoomTo(1.0);
            QCOMPARE(View().grab().toImage(), view);
        }
        // Nor is the mark of a table picked for Arrange Selected.
        Table("payment")->m_picked = true;
        QCOMPARE(render(), picture);
    }
};

QTEST_MAIN(TestZoom)
#include "tst_zoom.moc"

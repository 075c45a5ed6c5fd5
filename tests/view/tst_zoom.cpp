#include "diagram/DropMark.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"

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
    static QPoint OnWidget(const QPoint &local, double zoom)
    {
        return QPoint(qRound(local.x() * zoom), qRound(local.y() * zoom));
    }
    // The middle of a row's name, in the window's diagram coordinates.
    static QPoint RowPoint(int row)
    {
        return QPoint(Platform::kClientLeft + 40,
                      Platform::kClientTop + row * TableMetrics::kRowHeight + TableMetrics::kRowHeight / 2);
    }

    void ZoomTo(double zoom)
    {
        View().SetZoom(zoom);
        View().horizontalScrollBar()->setValue(0);
        View().verticalScrollBar()->setValue(0);
    }

private slots:
    void initTestCase() { CSampleDiagram::AddSource(m_sandbox); }

    void init()
    {
        m_sample = std::make_unique<CSampleDiagram>();
        QVERIFY(m_sample->Open(1300, 1000));
    }

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
        QCOMPARE(View().Zoom(), zoom);
        CTableWnd *payment = Table("payment");
        CTableWnd *order = Table("sales_order");
        QVERIFY(payment && order);
        // The sample file places them.
        QCOMPARE(payment->GetPosition(), QPoint(40, 20));
        QCOMPARE(payment->pos(), OnWidget(QPoint(40, 20), zoom));

        // A click on a row selects that row.
        QTest::mouseClick(payment, Qt::LeftButton, {}, OnWidget(RowPoint(2), zoom));
        QCOMPARE(payment->FirstSelected(), 2);
        QVERIFY(!payment->GetItem(3)->m_selected);

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
        QCOMPARE(View().m_pDropTable, order);
        QVERIFY(CDropMark::Of(order));
        QCOMPARE(CDropMark::Of(order)->Row(), 1);
        QTest::keyClick(payment, Qt::Key_Escape);
        QTest::mouseRelease(payment, Qt::LeftButton, {}, target);
        QVERIFY(!CDropMark::Of(order));

        // A caption drag moves the window by the mouse's movement over the
        // zoom, in diagram coordinates.
        const QPoint grab = OnWidget(QPoint(60, Platform::kCaptionHeight / 2 + Platform::kBorderWidth), zoom);
        const QPoint delta(40, 30);
        QTest::mousePress(payment, Qt::LeftButton, {}, grab);
        QTest::mouseMove(payment, grab + delta);
        QTest::mouseRelease(payment, Qt::LeftButton, {}, grab + delta);
        QCOMPARE(payment->GetPosition(), QPoint(40 + qRound(40 / zoom), 20 + qRound(30 / zoom)));

        // Every line's pixels that no other line draws near select it.
        CSchemaModel &schema = m_sample->Doc()->Schema();
        const QRect shown(QPoint(0, 0), View().viewport()->size());
        const auto picture = [&] { return View().Canvas()->grab(shown).toImage(); };
        const QImage all = picture();
        const std::vector<CDbRelationship> keys = schema.Relationships();
        std::vector<QList<QPoint>> pixels(keys.size());
        for (size_t id = 0; id < keys.size(); ++id) {
            std::vector<CDbRelationship> without = keys;
            without[id].m_foreignTable = "no such table";
            schema.SetRelationships(without);
            const QImage withoutLine = picture();
            for (int y = 0; y < all.height(); ++y)
                for (int x = 0; x < all.width(); ++x)
                    if (all.pixel(x, y) != withoutLine.pixel(x, y))
                        pixels[id] << QPoint(x, y);
        }
        schema.SetRelationships(keys);
        const auto alone = [&](size_t id, const QPoint &at) {
            for (size_t other = 0; other < pixels.size(); ++other)
                for (const QPoint &p : pixels[other])
                    if (other != id && qAbs(p.x() - at.x()) <= 3 && qAbs(p.y() - at.y()) <= 3)
                        return false;
            return true;
        };
        int clicked = 0;
        for (size_t id = 0; id < pixels.size(); ++id) {
            for (qsizetype i = 0; i < pixels[id].size(); i += 5) {
                const QPoint pixel = pixels[id][i];
                if (!alone(id, pixel))
                    continue;
                View().m_selRelationship = -1;
                QTest::mousePress(View().Canvas(), Qt::LeftButton, {}, pixel);
                QVERIFY2(View().m_selRelationship == int(id),
                         qPrintable(QStringLiteral("line %1 at %2,%3 selects %4")
                                        .arg(id).arg(pixel.x()).arg(pixel.y()).arg(View().m_selRelationship)));
                ++clicked;
            }
        }
        QVERIFY(clicked > 10);
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
        QWheelEvent wheel(QPointF(local), QPointF(before), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        // Sent as the window system sends it, so that it goes on from the
        // table window, which does not take it, to the view.
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        QApplication::sendEvent(address, &wheel);
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
        QWheelEvent scroll(QPointF(local), QPointF(before), QPoint(), QPoint(0, -120), Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&scroll);
        QApplication::sendEvent(address, &scroll);
        QCOMPARE(View().Zoom(), 1.0);
        QVERIFY(View().verticalScrollBar()->value() > 100);
    }

    // Zoom to Fit shows every table window whole, from a zoom far in or
    // far out.
    void fitShowsEveryTable()
    {
        for (double start : {2.0, 0.1}) {
            ZoomTo(start);
            View().OnCommand(Cmd::ViewZoomFit);
            const QRect visible = View().viewport()->rect();
            for (int i = 0; i < m_sample->Doc()->TableCount(); ++i) {
                const CTableWnd *table = m_sample->Doc()->GetTable(i);
                const QRect shown(table->mapTo(View().viewport(), QPoint(0, 0)), table->size());
                QVERIFY2(visible.contains(shown), table->Name().c_str());
            }
            QVERIFY(View().Zoom() > 0.1 && View().Zoom() <= 2.0);
        }
    }

    // Zooming out and back leaves the 100 % picture pixel for pixel.
    void backTo100IsUnchanged()
    {
        const QImage before = View().grab().toImage();
        for (double zoom : {0.25, 2.0, 0.1}) {
            View().SetZoom(zoom);
            View().OnCommand(Cmd::ViewZoomReset);
            View().horizontalScrollBar()->setValue(0);
            View().verticalScrollBar()->setValue(0);
            QCOMPARE(View().grab().toImage(), before);
        }
    }
};

QTEST_MAIN(TestZoom)
#include "tst_zoom.moc"

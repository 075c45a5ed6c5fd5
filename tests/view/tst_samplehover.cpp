#include "diagram/SharedResources.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QtTest>

#include <utility>

// Pointing at the sample diagram: resting on a cut index name, and clicking
// its lines.
class TestSampleHover : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
    }

    // The sample diagram's windows cut the names SQLite gives the indexes
    // of unique constraints; resting the pointer on one shows it whole.
    void hoverShowsACutIndexNameWhole()
    {
        CSampleDiagram sample;
        QVERIFY(sample.Open());
        CTableWnd *customer = sample.Doc()->FindTable("customer");
        QVERIFY(customer);
        int row = 0;
        while (customer->GetItem(row)
               && customer->GetItem(row)->m_name.rfind("sqlite_autoindex_customer", 0) != 0)
            ++row;
        const CTableItem *index = customer->GetItem(row);
        QVERIFY(index && index->m_kind == UniqueIndex);
        const QString name = QString::fromStdString(index->m_name);
        // Drawn from 20 pixels in, the name runs past the window's edge.
        QVERIFY(QFontMetrics(Shared::DiagramFont()).horizontalAdvance(name)
                > customer->ClientRect().width() - 20);

        const QPoint point = customer->ClientRect().topLeft() + QPoint(60, row * 15 + 7);
        QHelpEvent hover(QEvent::ToolTip, point, customer->mapToGlobal(point));
        QApplication::sendEvent(customer, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), name);
        QToolTip::hideText();
    }

    // A line's pixels (those that change without its foreign table) select
    // it, or a later line drawn beside them: the last line hit wins.
    void everyDrawnPixelSelectsItsLine()
    {
        CSampleDiagram sample;
        QVERIFY(sample.Open(1300, 1000));
        CDbView &view = *sample.View();
        CSchemaModel &schema = sample.Doc()->Schema();
        const auto picture = [&] { return view.Canvas()->grab(QRect(0, 0, 1300, 1000)).toImage(); };
        const QImage all = picture();
        std::vector<QList<QPoint>> pixels(size_t(schema.RelationshipCount()));
        const std::vector<CDbRelationship> keys = schema.Relationships();
        for (size_t id = 0; id < pixels.size(); ++id) {
            std::vector<CDbRelationship> without = keys;
            without[id].m_foreignTable = "no such table";
            schema.SetRelationships(without);
            const QImage withoutLine = picture();
            schema.SetRelationships(keys);
            for (int y = 0; y < all.height(); ++y)
                for (int x = 0; x < all.width(); ++x)
                    if (all.pixel(x, y) != withoutLine.pixel(x, y))
                        pixels[id] << QPoint(x, y);
        }
        const auto drawnNear = [&](int id, const QPoint &at) {
            const QList<QPoint> &near = pixels[size_t(id)];
            return std::any_of(near.begin(), near.end(), [&](const QPoint &p) {
                return qAbs(p.x() - at.x()) <= 2 && qAbs(p.y() - at.y()) <= 2;
            });
        };
        for (int id = 0; id < int(pixels.size()); ++id) {
            QVERIFY(pixels[size_t(id)].size() > 50);
            for (const QPoint &pixel : pixels[size_t(id)]) {
                view.m_selRelationship = -1;
                QTest::mousePress(view.Canvas(), Qt::LeftButton, {}, pixel);
                const int hit = view.m_selRelationship;
                QVERIFY2(hit == id || (hit > id && drawnNear(hit, pixel)),
                         qPrintable(QStringLiteral("line %1 at %2,%3 selects %4")
                                        .arg(id).arg(pixel.x()).arg(pixel.y()).arg(hit)));
            }
        }
    }
};

QTEST_MAIN(TestSampleHover)
#include "tst_samplehover.moc"

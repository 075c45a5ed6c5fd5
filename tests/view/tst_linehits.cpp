#include "db/DbmsAdapter.h"
#include "document/Doc.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"

#include <QtTest>

namespace {

// The sample stands within 1200 x 900: a view this large shows it whole,
// unscrolled, so canvas points are diagram points and all of it is painted.
constexpr int kViewWidth = 1300;
constexpr int kViewHeight = 1000;

} // namespace

// A click on any pixel a relationship's line draws on screen selects that
// relationship: the pixels are found in the view's own picture, as the
// difference between the diagram with the line and without it.
class TestLineHits : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

    static QImage Picture(CDbView &view)
    {
        return view.Canvas()->grab(QRect(0, 0, kViewWidth, kViewHeight)).toImage();
    }
    static int Find(const CDbSession &session, const QString &foreign, const QString &parent)
    {
        for (int i = 0; const CDbRelationship *line = session.GetRelationship(i); ++i)
            if (QString::fromStdString(line->m_foreignTable) == foreign
                && QString::fromStdString(line->m_parentTable) == parent)
                return i;
        return -1;
    }
    // The pixels that only this relationship's line sets: a foreign table
    // without a window takes the line off the screen.
    static QList<QPoint> PixelsOf(CDbView &view, CDbSession &session, int id)
    {
        const QImage with = Picture(view);
        CDbRelationship &line = *session.GetRelationship(id);
        const std::string foreign = line.m_foreignTable;
        line.m_foreignTable = "no such table";
        view.Canvas()->repaint();
        const QImage without = Picture(view);
        session.GetRelationship(id)->m_foreignTable = foreign;
        view.Canvas()->repaint();
        QList<QPoint> pixels;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                if (with.pixel(x, y) != without.pixel(x, y))
                    pixels << QPoint(x, y);
        return pixels;
    }

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
        RegisterDbmsAdapters();
    }
    void cleanupTestCase() { UnregisterDbmsAdapters(); }

    // The last line in list order that a click hits wins it, so where
    // another line is drawn right beside, the later of the two is selected.
    void everyDrawnPixelSelectsItsLine()
    {
        CSampleDiagram sample;
        QVERIFY(sample.Open(kViewWidth, kViewHeight));
        CDbView &view = *sample.View();
        CDbSession &session = sample.Doc()->GetSession();
        std::vector<QList<QPoint>> pixels;
        for (int id = 0; id < session.RelationshipCount(); ++id)
            pixels.push_back(PixelsOf(view, session, id));
        const auto drawnBeside = [&](int id, const QPoint &at) {
            return std::any_of(pixels[id].begin(), pixels[id].end(), [&](const QPoint &pixel) {
                return qAbs(pixel.x() - at.x()) <= 2 && qAbs(pixel.y() - at.y()) <= 2;
            });
        };
        for (int id = 0; id < session.RelationshipCount(); ++id) {
            const CDbRelationship &line = *session.GetRelationship(id);
            const QString name = QStringLiteral("%1 -> %2").arg(
                QString::fromStdString(line.m_foreignTable), QString::fromStdString(line.m_parentTable));
            QVERIFY2(pixels[id].size() > 50, qPrintable(name));
            for (const QPoint &pixel : pixels[id]) {
                view.m_selRelationship = -1;
                QTest::mousePress(view.Canvas(), Qt::LeftButton, {}, pixel);
                const int selected = view.m_selRelationship;
                QVERIFY2(selected == id || (selected > id && drawnBeside(selected, pixel)),
                         qPrintable(QStringLiteral("%1 at %2,%3 selects %4")
                                        .arg(name).arg(pixel.x()).arg(pixel.y()).arg(selected)));
            }
        }
    }
};

QTEST_MAIN(TestLineHits)
#include "tst_linehits.moc"

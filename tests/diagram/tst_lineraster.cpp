#include "diagram/LineRaster.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <random>

namespace {

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;

QImage WhiteImage(const QSize &size, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(kWhite);
    return image;
}

// The black pixels of the image along one row (steep) or column (flat).
QList<int> BlackAlong(const QImage &image, bool steep, int at)
{
    QList<int> found;
    const int length = steep ? image.width() : image.height();
    for (int i = 0; i < length; ++i)
        if ((steep ? image.pixel(i, at) : image.pixel(at, i)) == kBlack)
            found << i;
    return found;
}

QString Segment(const QPoint &p, const QPoint &q)
{
    return QStringLiteral("(%1,%2)-(%3,%4)").arg(p.x()).arg(p.y()).arg(q.x()).arg(q.y());
}

} // namespace

class TestLineRaster : public QObject
{
    Q_OBJECT

private slots:
    // Against Qt's own one-pixel lines: each row a steep segment spans (each
    // column of a flat one) has exactly one pixel, at most one pixel away
    // from the one Qt sets there, and the end points are drawn.
    void agreesWithQtWithinAPixel()
    {
        std::mt19937 random(11);
        const auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        for (int trial = 0; trial < 400; ++trial) {
            const QPoint p(pick(5, 194), pick(5, 194));
            const QPoint q = trial % 4 == 0 ? QPoint(p.x(), pick(5, 194))   // vertical
                             : trial % 4 == 1 ? QPoint(pick(5, 194), p.y()) // horizontal
                                              : QPoint(pick(5, 194), pick(5, 194));
            QImage ours = WhiteImage(QSize(200, 200));
            QImage qt = WhiteImage(QSize(200, 200));
            const QPoint points[] = {p, q};
            LineRaster::DrawPolyline(ours, QPoint(), points, 2, kBlack);
            {
                QPainter painter(&qt);
                painter.setPen(QPen(Qt::black, 1));
                painter.drawPolyline(points, 2);
            }
            const QString segment = Segment(p, q);
            QVERIFY2(ours.pixel(p) == kBlack && ours.pixel(q) == kBlack, qPrintable(segment));
            const bool steep = qAbs(q.y() - p.y()) >= qAbs(q.x() - p.x());
            const int from = steep ? qMin(p.y(), q.y()) : qMin(p.x(), q.x());
            const int to = steep ? qMax(p.y(), q.y()) : qMax(p.x(), q.x());
            for (int at = 0; at < 200; ++at) {
                const QList<int> mine = BlackAlong(ours, steep, at);
                QCOMPARE(mine.size(), at >= from && at <= to ? 1 : 0);
                const QList<int> theirs = BlackAlong(qt, steep, at);
                if (mine.isEmpty() || theirs.isEmpty())
                    continue;
                const bool near = std::any_of(theirs.begin(), theirs.end(),
                                              [&](int t) { return qAbs(t - mine.front()) <= 1; });
                QVERIFY2(near, qPrintable(QStringLiteral("%1 at %2").arg(segment).arg(at)));
            }
        }
    }

    // A line drawn into a strip of a larger picture sets the very pixels
    // the whole picture has there, however far the line reaches beyond the
    // strip: areas painted one at a time join without a seam.
    void aStripShowsWhatTheWholePictureShows()
    {
        std::mt19937 random(3);
        const auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        const QSize whole(300, 300);
        for (int trial = 0; trial < 300; ++trial) {
            const QPoint points[] = {QPoint(pick(-40000, 40000), pick(-40000, 40000)),
                                     QPoint(pick(0, 299), pick(0, 299)),
                                     QPoint(pick(-500, 800), pick(-500, 800))};
            QImage picture = WhiteImage(whole);
            LineRaster::DrawPolyline(picture, QPoint(), points, 3, kBlack);
            const QRect strip(pick(0, 250), pick(0, 250), pick(1, 50), pick(1, 50));
            QImage part = WhiteImage(strip.size());
            LineRaster::DrawPolyline(part, -strip.topLeft(), points, 3, kBlack);
            QVERIFY2(part == picture.copy(strip),
                     qPrintable(Segment(points[0], points[1]) + " in strip at "
                                + QString::number(strip.x()) + "," + QString::number(strip.y())));
        }
    }

    // Only a painter that paints an image of 32 bits one pixel per unit,
    // with an opaque one-pixel pen and nothing else in the way, lets the
    // lines be written directly; its origin is where the painter's
    // translation puts diagram point (0, 0).
    void drawsDirectlyOnlyWherePixelsWouldMatch()
    {
        const auto target = [](QImage &image, const std::function<void(QPainter &)> &set,
                               QPoint *origin = nullptr) {
            QPainter painter(&image);
            painter.setPen(QPen(Qt::black, 1));
            set(painter);
            QPoint at(-1, -1);
            const bool direct = LineRaster::Target(painter, at) == &image;
            if (origin)
                *origin = at;
            return direct;
        };
        QImage rgb = WhiteImage(QSize(50, 50));
        QPoint origin;
        QVERIFY(target(rgb, [](QPainter &painter) { painter.translate(-30, 12); }, &origin));
        QCOMPARE(origin, QPoint(-30, 12));
        QImage premultiplied = WhiteImage(QSize(50, 50), QImage::Format_ARGB32_Premultiplied);
        QVERIFY(target(premultiplied, [](QPainter &) {}));

        QImage other = WhiteImage(QSize(50, 50), QImage::Format_RGB16);
        QVERIFY(!target(other, [](QPainter &) {}));
        const std::function<void(QPainter &)> unfit[] = {
            [](QPainter &painter) { painter.setPen(QPen(Qt::black, 2)); },
            [](QPainter &painter) { painter.setPen(QPen(Qt::black, 1, Qt::DashLine)); },
            [](QPainter &painter) { painter.setPen(QPen(QColor(0, 0, 0, 128), 1)); },
            [](QPainter &painter) { painter.setRenderHint(QPainter::Antialiasing); },
            [](QPainter &painter) { painter.scale(2, 2); },
            [](QPainter &painter) { painter.translate(0.5, 0); },
            [](QPainter &painter) { painter.setClipRect(0, 0, 10, 10); },
            [](QPainter &painter) { painter.setCompositionMode(QPainter::CompositionMode_Xor); },
        };
        for (const auto &set : unfit)
            QVERIFY(!target(rgb, set));
        QImage sharp = WhiteImage(QSize(100, 100));
        sharp.setDevicePixelRatio(2);
        QVERIFY(!target(sharp, [](QPainter &) {}));
    }
};

QTEST_MAIN(TestLineRaster)
#include "tst_lineraster.moc"

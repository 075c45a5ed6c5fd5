#include "diagram/RelationshipGeometry.h"

#include <QPainterPath>
#include <QRegion>
#include <QtTest>

#include <random>

using Points = QList<QPoint>;

namespace {
Points LineOf(const CRelationshipRoute &route) { return Points(route.m_line.begin(), route.m_line.end()); }
Points MarkerOf(const CRelationshipRoute &route)
{
    return Points(route.m_marker.begin(), route.m_marker.end());
}
} // namespace

class TestRelationshipGeometry : public QObject
{
    Q_OBJECT

private slots:
    // Rectangles are table windows' outer rectangles; their right edge is
    // the first column past the window (x 20 to 140 is QRect(20, y, 120, h)).
    void routes_data()
    {
        QTest::addColumn<QRect>("foreign");
        QTest::addColumn<QRect>("parent");
        QTest::addColumn<QPoint>("pf");
        QTest::addColumn<QPoint>("pp");
        QTest::addColumn<Points>("line");
        QTest::addColumn<Points>("marker");

        QTest::newRow("foreign table to the left")
            << QRect(20, 100, 120, 80) << QRect(300, 40, 120, 80) << QPoint(25, 139)
            << QPoint(305, 74)
            << Points{{140, 139}, {160, 139}, {280, 74}, {300, 74}}
            << Points{{140, 134}, {150, 139}, {140, 144}};
        QTest::newRow("parent table to the left")
            << QRect(300, 100, 120, 80) << QRect(20, 40, 120, 80) << QPoint(305, 139)
            << QPoint(25, 74)
            << Points{{140, 74}, {160, 74}, {280, 139}, {300, 139}}
            << Points{{300, 134}, {290, 139}, {300, 144}};
        QTest::newRow("one above the other at equal x")
            << QRect(40, 300, 120, 80) << QRect(40, 20, 120, 80) << QPoint(45, 339)
            << QPoint(45, 44)
            << Points{{40, 339}, {20, 339}, {20, 44}, {40, 44}}
            << Points{{40, 334}, {30, 339}, {40, 344}};
        // The foreign table's right edge lies exactly on the parent's centre
        // column: that is not "to the left", so the line runs around the
        // left edges.
        QTest::newRow("right edge on the parent's centre")
            << QRect(0, 200, 100, 50) << QRect(40, 20, 120, 50) << QPoint(5, 230)
            << QPoint(45, 44)
            << Points{{0, 230}, {-20, 230}, {20, 44}, {40, 44}}
            << Points{{0, 225}, {-10, 230}, {0, 235}};
    }
    void routes()
    {
        QFETCH(QRect, foreign);
        QFETCH(QRect, parent);
        QFETCH(QPoint, pf);
        QFETCH(QPoint, pp);
        QFETCH(Points, line);
        QFETCH(Points, marker);
        const CRelationshipRoute route = RelationshipGeometry::Route(foreign, parent, pf, pp);
        QCOMPARE(LineOf(route), line);
        QCOMPARE(MarkerOf(route), marker);
    }

    void hitTest_data()
    {
        QTest::addColumn<QPoint>("pf");
        QTest::addColumn<QPoint>("pp");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<bool>("hit");
        // Foreign table x 20..140, parent x 300..420.
        const QPoint slantedFrom(25, 139);
        const QPoint slantedTo(305, 74);
        QTest::newRow("middle of a slanted line") << slantedFrom << slantedTo << QPoint(220, 106) << true;
        QTest::newRow("within two pixels of its area") << slantedFrom << slantedTo << QPoint(197, 121) << true;
        QTest::newRow("beyond two pixels of its area") << slantedFrom << slantedTo << QPoint(201, 121) << false;
        QTest::newRow("inside the crow's foot") << slantedFrom << slantedTo << QPoint(142, 142) << true;
        QTest::newRow("far from everything") << slantedFrom << slantedTo << QPoint(500, 500) << false;
        // A straight horizontal line has no area: it is hit where it is
        // drawn, and up to two pixels beside.
        const QPoint level(25, 100);
        const QPoint levelParent(305, 100);
        QTest::newRow("on a level line") << level << levelParent << QPoint(220, 100) << true;
        QTest::newRow("three pixels beside a level line") << level << levelParent << QPoint(220, 103) << false;
        QTest::newRow("on a level line's marker") << level << levelParent << QPoint(143, 100) << true;
    }
    void hitTest()
    {
        QFETCH(QPoint, pf);
        QFETCH(QPoint, pp);
        QFETCH(QPoint, press);
        QFETCH(bool, hit);
        const CRelationshipRoute route = RelationshipGeometry::Route(
            QRect(20, 40, 120, 200), QRect(300, 40, 120, 200), pf, pp);
        QCOMPARE(RelationshipGeometry::HitTest(route, press), hit);
    }

    // The area test works out only the rows around the press; it must agree
    // with the whole area turned into a region by Qt, on every route shape
    // (slanted, level, tables far apart, overlapping) and at presses on,
    // beside and between the lines.
    void hitTestAgreesWithTheAreaAsARegion()
    {
        std::mt19937 random(11);
        const auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        int hits = 0;
        for (int round = 0; round < 300; ++round) {
            const QRect foreign(pick(0, 700), pick(0, 3000), 120, pick(30, 200));
            const QRect parent(pick(0, 700), pick(0, 3000), 120, pick(30, 200));
            const QPoint pf(foreign.left() + 5, foreign.top() + pick(0, foreign.height()));
            const QPoint pp(parent.left() + 5, round % 5 == 0 ? pf.y() : parent.top() + pick(0, 60));
            const CRelationshipRoute route = RelationshipGeometry::Route(foreign, parent, pf, pp);
            const QRegion area(RelationshipGeometry::HitArea(route).toFillPolygon().toPolygon(),
                               Qt::OddEvenFill);
            const QRect bounds = area.boundingRect().adjusted(-4, -4, 4, 4);
            for (int press = 0; press < 40; ++press) {
                QPoint point(pick(bounds.left(), bounds.right()), pick(bounds.top(), bounds.bottom()));
                if (press % 2 == 0) {
                    const size_t from = static_cast<size_t>(pick(0, 2));
                    const QPoint a = route.m_line[from];
                    const QPoint b = route.m_line[from + 1];
                    point = a + (b - a) * (pick(0, 100) / 100.0) + QPoint(pick(-4, 4), pick(-4, 4));
                }
                const bool expected = area.intersects(QRect(point - QPoint(2, 2), QSize(5, 5)));
                hits += expected ? 1 : 0;
                QVERIFY2(RelationshipGeometry::HitsArea(route, point) == expected,
                         qPrintable(QStringLiteral("round %1 at %2,%3").arg(round).arg(point.x()).arg(point.y())));
            }
        }
        QVERIFY(hits > 1000);
    }
};

QTEST_MAIN(TestRelationshipGeometry)
#include "tst_relationshipgeometry.moc"

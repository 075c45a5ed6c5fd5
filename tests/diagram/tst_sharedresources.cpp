#include "diagram/SharedResources.h"
#include "diagram/TableItem.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QtTest>

// The shared font, row images and drag cursor live as long as the
// application object: made on first use, gone with it, made anew by the
// next one. This test makes its own application objects.
class TestSharedResources : public QObject
{
    Q_OBJECT

private slots:
    void resourcesGoWithTheApplication()
    {
        for (int round = 0; round < 2; ++round) {
            {
                int argc = 1;
                char name[] = "tst_sharedresources";
                char *argv[] = {name, nullptr};
                QApplication application(argc, argv);
                QVERIFY(!Shared::ResourcesHeld());
                QCOMPARE(Shared::DbImage(Column).size(), QSize(16, 16));
                QVERIFY(Shared::DiagramFont().pixelSize() > 0);
                QVERIFY(!Shared::DragCursor().pixmap().isNull());
                QVERIFY(Shared::ResourcesHeld());
            }
            QVERIFY(!Shared::ResourcesHeld());
        }
    }
};

QTEST_APPLESS_MAIN(TestSharedResources)
#include "tst_sharedresources.moc"

#include "db/DbmsAdapter.h"
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

// The sample diagram's windows cut the names SQLite gives the indexes of
// unique constraints; resting the pointer on one shows it whole.
class TestSampleHover : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
        RegisterDbmsAdapters();
    }
    void cleanupTestCase() { UnregisterDbmsAdapters(); }

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
};

QTEST_MAIN(TestSampleHover)
#include "tst_samplehover.moc"

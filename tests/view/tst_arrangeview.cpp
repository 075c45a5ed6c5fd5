#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"

#include <QtTest>

#include <map>

namespace {

QString Overlap(const CDoc &doc)
{
    for (int i = 0; i < doc.TableCount(); ++i)
        for (int j = i + 1; j < doc.TableCount(); ++j)
            if (doc.GetTable(i)->geometry().intersects(doc.GetTable(j)->geometry()))
                return QString::fromStdString(doc.GetTable(i)->m_name + " on " + doc.GetTable(j)->m_name);
    return {};
}

std::map<std::string, QPoint> Places(const CDoc &doc)
{
    std::map<std::string, QPoint> places;
    for (int i = 0; i < doc.TableCount(); ++i)
        places[doc.GetTable(i)->m_name] = doc.GetTable(i)->pos();
    return places;
}

void CtrlClickCaption(CTableWnd *table)
{
    const QPoint caption(table->width() / 2, Platform::kSizingFrameHeight + Platform::kCaptionHeight / 2);
    QTest::mouseClick(table, Qt::LeftButton, Qt::ControlModifier, caption);
}

} // namespace

// Arrange Diagram, Arrange Selected and the view modes on the sample
// diagram, through the view's commands and real clicks.
class TestArrangeView : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    std::unique_ptr<CSampleDiagram> m_sample;

    CDoc &Doc() { return *m_sample->Doc(); }
    CDbView &View() { return *m_sample->View(); }

private slots:
    void initTestCase() { CSampleDiagram::AddSource(m_sandbox); }
    void init()
    {
        m_sample = std::make_unique<CSampleDiagram>();
        QVERIFY(m_sample->Open());
    }
    void cleanup() { m_sample.reset(); }

    void arrangeLeavesNoOverlapsAndCountsAsAMove()
    {
        QVERIFY(!Doc().CheckMovedTables());
        const std::map<std::string, QPoint> before = Places(Doc());
        QVERIFY(View().OnCommand(Cmd::ViewArrange));
        QCOMPARE(Overlap(Doc()), QString());
        QVERIFY(Doc().CheckMovedTables());
        for (int i = 0; i < Doc().TableCount(); ++i)
            QVERIFY(View().Canvas()->rect().contains(Doc().GetTable(i)->geometry()));
        // One step: undone, the diagram is as it was.
        QString text;
        QVERIFY(View().CommandText(Cmd::EditUndo, text));
        QCOMPARE(text, QString("&Undo Arrange\tCtrl+Z"));
        QVERIFY(View().OnCommand(Cmd::EditUndo));
        QVERIFY(Places(Doc()) == before);
    }

    // Only the two picked tables move, and onto no other.
    void arrangeSelectedMovesOnlyThePicked()
    {
        bool enabled = true, checked = false;
        QVERIFY(View().CommandState(Cmd::ViewArrangeSelected, enabled, checked) && !enabled);
        CTableWnd *first = Doc().GetTable(1);
        CTableWnd *second = Doc().GetTable(Doc().TableCount() - 1);
        CtrlClickCaption(first);
        CtrlClickCaption(second);
        QVERIFY(View().CommandState(Cmd::ViewArrangeSelected, enabled, checked) && enabled);
        // Stacked onto each other, the two have to be moved apart.
        second->MoveTo(first->GetPosition());
        const std::map<std::string, QPoint> before = Places(Doc());
        QVERIFY(View().OnCommand(Cmd::ViewArrangeSelected));
        const std::map<std::string, QPoint> after = Places(Doc());
        for (const auto &[name, place] : before)
            if (name != first->m_name && name != second->m_name)
                QCOMPARE(after.at(name), place);
        QCOMPARE(Overlap(Doc()), QString());
    }

    // Neighbours 140 pixels apart, as the automatic layout places them,
    // would overlap once the Attributes mode widens them to 200: they move
    // apart instead.
    void attributesModeLeavesNoOverlaps()
    {
        CTableWnd *employee = Doc().FindTable("employee");
        Doc().FindTable("address")->MoveTo(employee->GetPosition() + QPoint(140, 0));
        QCOMPARE(Overlap(Doc()), QString());
        const std::map<std::string, QPoint> narrow = Places(Doc());
        QVERIFY(View().OnCommand(Cmd::ViewAttributes));
        QCOMPARE(Doc().GetTable(0)->width(), 200);
        QCOMPARE(Overlap(Doc()), QString());
        // Back in the narrow mode they stand where they stood.
        QVERIFY(View().OnCommand(Cmd::ViewSchema));
        QVERIFY(Places(Doc()) == narrow);
    }
};

QTEST_MAIN(TestArrangeView)
#include "tst_arrangeview.moc"

#include "app/ChildFrame.h"
#include "app/DocTemplate.h"
#include "bench/SchemaGenerator.h"
#include "db/DbmsAdapter.h"
#include "db/DbSession.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "document/LoadProgress.h"
#include "res/Resource.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "view/DbView.h"

#include <QDir>
#include <QMdiArea>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The label of the progress dialog, "Loading tables… N of M", checked for a
// count stopped part of the way, or at its end.
void CheckLabel(const QString &label, bool partWay, int total)
{
    const QRegularExpressionMatch count =
        QRegularExpression("^Loading tables\u2026 (\\d+) of (\\d+)$").match(label);
    QVERIFY2(count.hasMatch(), qPrintable(label));
    QVERIFY(count.captured(1).toInt() > 0);
    if (partWay)
        QVERIFY(count.captured(1).toInt() < total);
    else
        QVERIFY(count.captured(1).toInt() <= total);
    QCOMPARE(count.captured(2).toInt(), total);
}

// Enough tables that loading them takes a while. The catalog is read in a
// few queries, so the load takes less than the half second after which the
// progress shows: the tests show it sooner.
constexpr int kTables = 3000;
constexpr int kProgressDelayMs = 50;

int OpenFileCount() { return static_cast<int>(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size()); }

// When the progress dialog shows, its label is kept and its Cancel button
// clicked.
void CancelWhenShown(CModalAnswerer &driver, QString &label)
{
    driver.Queue([&label](QWidget *dialog) {
        auto *progress = qobject_cast<QProgressDialog *>(dialog);
        QVERIFY(progress);
        label = progress->labelText();
        auto *cancel = progress->findChild<QPushButton *>();
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QString("Cancel"));
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
}

// The data-source prompt: the source of the generated schema.
bool ChooseBig(CDbSession &, std::string &chosen, const std::string &)
{
    chosen = "DSN=Big";
    return true;
}

} // namespace

class TestLoadProgress : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    QTemporaryDir m_files;

private slots:
    void initTestCase()
    {
        CLoadProgress::SetDefaultDelay(kProgressDelayMs);
        m_sandbox.AddSqliteSource("Big", QString::fromStdString(CSchemaGenerator(kTables).Script()));
        QFile diagram(m_files.filePath("big.vmx"));
        QVERIFY(diagram.open(QIODevice::WriteOnly));
        diagram.write("DSN=Big\r\nView=Schema\r\nTable="
                      + QByteArray::fromStdString(CSchemaGenerator::TableName(0))
                      + "\tPosn=40,40\r\n");
    }

    // While the tables load, a dialog counts them; its Cancel button stops
    // the load, and then neither a document nor its connection is left:
    // no window, no message, every file the load opened is closed again.
    void cancelLeavesNoDocumentAndNoConnection_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("new document") << false;
        QTest::newRow("diagram file") << true;
    }
    void cancelLeavesNoDocumentAndNoConnection()
    {
        QFETCH(bool, fromFile);
        QMdiArea area;
        area.resize(800, 600);
        area.show();
        CDocTemplate docTemplate(&area, m_adapters, ChooseBig);
        const int filesBefore = OpenFileCount();

        auto driver = CModalAnswerer::Dialogs();
        CModalAnswerer answerer;
        QString label;
        CancelWhenShown(driver, label);
        QVERIFY(!docTemplate.OpenDocumentFile(fromFile ? m_files.filePath("big.vmx") : QString()));
        QCOMPARE(driver.Handled(), 1);
        QCOMPARE(driver.Unexpected(), 0);
        QCOMPARE(answerer.Count(), 0);
        QVERIFY(area.subWindowList().isEmpty());

        CheckLabel(label, true, kTables);

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(OpenFileCount(), filesBefore);
    }

    // Refresh reads every table of the catalog again and counts them in the
    // same dialog. Its Cancel leaves the diagram as it was, without a
    // message; a refresh let run to its end brings the new table in.
    void refreshShowsProgressAndCancelKeepsTheDiagram()
    {
        QMdiArea area;
        area.resize(800, 600);
        area.show();
        CDocTemplate docTemplate(&area, m_adapters, ChooseBig);
        CChildFrame *frame = docTemplate.OpenDocumentFile(m_files.filePath("big.vmx"));
        QVERIFY(frame);
        CDoc *doc = frame->Document();
        QCOMPARE(doc->TableCount(), kTables);
        CTableWnd *first = doc->GetTable(0);
        QCOMPARE(first->pos(), QPoint(40, 40));
        const int relationships = doc->Schema().RelationshipCount();
        QVERIFY(m_sandbox.RunSql("Big", "create table EXTRA(ID integer);"));

        {
            auto driver = CModalAnswerer::Dialogs();
            CModalAnswerer answerer;
            QString label;
            CancelWhenShown(driver, label);
            QVERIFY(frame->View()->OnCommand(Cmd::ViewRefresh));
            QCOMPARE(driver.Handled(), 1);
            QCOMPARE(driver.Unexpected(), 0);
            QCOMPARE(answerer.Count(), 0);
            CheckLabel(label, true, kTables + 1);
            QCOMPARE(doc->TableCount(), kTables);
            QCOMPARE(doc->FindTable("EXTRA"), nullptr);
            QCOMPARE(doc->GetTable(0), first);
            QCOMPARE(first->pos(), QPoint(40, 40));
            QCOMPARE(doc->Schema().RelationshipCount(), relationships);
        }

        QStringList labels;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&labels] {
            if (auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget()))
                labels << progress->labelText();
        });
        watch.start(10);
        QVERIFY(frame->View()->OnCommand(Cmd::ViewRefresh));
        watch.stop();
        QVERIFY(!labels.isEmpty());
        CheckLabel(labels.last(), false, kTables + 1);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(doc->TableCount(), kTables + 1);
        QVERIFY(doc->FindTable("EXTRA"));
        QCOMPARE(first->pos(), QPoint(40, 40));
    }
};

QTEST_MAIN(TestLoadProgress)
#include "tst_loadprogress.moc"

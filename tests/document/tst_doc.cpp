#include "db/SqliteAdapter.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "document/AutoLayout.h"
#include "document/Doc.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"

#include <QtTest>

namespace {
void ConnectPromptTo(const std::string &connection)
{
    CDbSession::SetDefaultConnectPrompt([connection](CDbSession &, std::string &chosen) {
        if (connection.empty())
            return false;
        chosen = connection;
        return true;
    });
}

void UseSqliteAdapter()
{
    CAdapterRegistry::Instance().Clear();
    CAdapterRegistry::Instance().Register(std::make_unique<CSqliteAdapter>());
}
} // namespace

class TestDoc : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        QString six;
        for (int i = 1; i <= 6; ++i)
            six += QStringLiteral("create table T%1(A integer, B integer);\n").arg(i);
        m_sandbox.AddSqliteSource("Six", PervasiveDictionarySql() + six);
        m_sandbox.AddSqliteSource("Empty", QString());
        m_sandbox.AddSqliteSource("Broken",
            "create table \"X$File\"(\"Xf$Id\" integer, \"Xf$Name\" text);\n"
            "create table \"X$Field\"(\"Xe$File\" integer, \"Xe$Name\" text, \"Xe$DataType\" integer,"
            " \"Xe$Offset\" integer);\n"
            "create table \"X$Relate\"(\"Xr$Name\" text, \"Xr$Pid\" integer, \"Xr$PIndex\" integer,"
            " \"Xr$FId\" integer, \"Xr$FIndex\" integer, \"Xr$UpdateRule\" integer,"
            " \"Xr$DeleteRule\" integer);\n"
            "create table T(A integer);\n");
    }
    void init() { UseAliasedPervasiveAdapter(); }
    void cleanupTestCase() { UnregisterDbmsAdapters(); }

    void layoutFillsFiveColumnsShortestFirst()
    {
        const std::vector<QPoint> positions = AutoLayout({3, 3, 3, 3, 3, 3, 0, 10});
        const int height3 = AutoLayoutHeight(3);
        QCOMPARE(positions[0], QPoint(20, 20));
        QCOMPARE(positions[1], QPoint(160, 20));
        QCOMPARE(positions[2], QPoint(300, 20));
        QCOMPARE(positions[3], QPoint(440, 20));
        QCOMPARE(positions[4], QPoint(580, 20));
        QCOMPARE(positions[5], QPoint(20, 20 + height3));
        QCOMPARE(positions[6], QPoint(160, 20 + height3));
        // Equal bottoms go to the leftmost column.
        QCOMPARE(positions[7], QPoint(300, 20 + height3));
        QCOMPARE(AutoLayoutHeight(0),
                 Platform::kCaptionHeight + 3 * Platform::kSizingFrameHeight + 20);
        QCOMPARE(AutoLayoutHeight(10) - AutoLayoutHeight(0), 150);
    }

    void newDocumentLoadsAndLaysOutEveryTable()
    {
        ConnectPromptTo("DSN=Six");
        CDoc doc;
        QVERIFY(doc.OnNewDocument());
        QCOMPARE(doc.GetTitle(), QString("Six"));
        // The four dictionary tables are ordinary tables here.
        QCOMPARE(doc.TableCount(), 10);
        std::vector<int> counts;
        for (int i = 0; i < doc.TableCount(); ++i)
            counts.push_back(doc.GetTable(i)->ItemCount());
        const std::vector<QPoint> expected = AutoLayout(counts);
        for (int i = 0; i < doc.TableCount(); ++i)
            QCOMPARE(doc.GetTable(i)->m_savedPos, expected[static_cast<size_t>(i)]);
        QVERIFY(doc.FindTable("T6"));
        QVERIFY(!doc.IsModified());
    }

    void tableLookups()
    {
        CDoc doc;
        auto *lower = new CTableWnd(&doc, "Orders");
        auto *upper = new CTableWnd(&doc, "ORDERS");
        doc.AppendTable(lower);
        doc.AppendTable(upper);
        QCOMPARE(doc.FindTable("Orders"), lower);
        QCOMPARE(doc.FindTable("ORDERS"), upper);
        QVERIFY(!doc.FindTable("orders"));
        QVERIFY(!doc.FindTable("Orders "));
        QVERIFY(!doc.GetTable(-1));
        QVERIFY(!doc.GetTable(2));
        QCOMPARE(doc.GetTable(1), upper);

        CDoc other;
        CTableWnd foreign(&other, "Orders");
        QCOMPARE(doc.IndexOfTable(&foreign), -1);
        QCOMPARE(doc.IndexOfTable(upper), 1);
        doc.RemoveTable(lower);
        QCOMPARE(doc.TableCount(), 1);
        QCOMPARE(doc.IndexOfTable(upper), 0);
        delete lower;
    }

    void anEmptyDatabaseGivesAnEmptyDocument()
    {
        UseSqliteAdapter();
        ConnectPromptTo("DSN=Empty");
        CDoc doc;
        QVERIFY(doc.OnNewDocument());
        QCOMPARE(doc.TableCount(), 0);
        QCOMPARE(doc.GetTitle(), QString("Empty"));
    }

    void aFailingTableLoadDiscardsTheDocument()
    {
        ConnectPromptTo("DSN=Broken");
        CModalAnswerer answerer;
        CDoc doc;
        QVERIFY(!doc.OnNewDocument());
        QCOMPARE(answerer.Count(), 1);
        QCOMPARE(answerer.LastTitle(), QString("Error"));
        QCOMPARE(answerer.icons.last(), QMessageBox::Critical);
        QVERIFY2(answerer.LastText().contains("X$Trigger"), qPrintable(answerer.LastText()));
    }

    void aCancelledChooserReportsNoData()
    {
        ConnectPromptTo(std::string());
        CModalAnswerer answerer;
        CDoc doc;
        QVERIFY(!doc.OnNewDocument());
        QCOMPARE(answerer.LastText(), QString("No data found or at end of data"));
    }

    void anUnsupportedEngineIsReported()
    {
        CAdapterRegistry::Instance().Clear();
        RegisterDbmsAdapters();
        CAdapterRegistry::Instance().Clear();
        CAdapterRegistry::Instance().Register(std::make_unique<CPervasiveAdapter>());
        ConnectPromptTo("DSN=Six");
        CModalAnswerer answerer;
        CDoc doc;
        QVERIFY(!doc.OnNewDocument());
        QCOMPARE(answerer.LastText(), QString("This database is unsupported"));
        QCOMPARE(answerer.LastTitle(), QString("Error"));
    }

    void closingAsksOnlyWhenAWindowMoved()
    {
        ConnectPromptTo("DSN=Six");
        CDoc doc;
        QVERIFY(doc.OnNewDocument());
        for (int i = 0; i < doc.TableCount(); ++i)
            doc.GetTable(i)->move(doc.GetTable(i)->m_savedPos);
        {
            CModalAnswerer answerer(QMessageBox::Cancel);
            QVERIFY(doc.SaveModified());
            QCOMPARE(answerer.Count(), 0);
        }
        CTableWnd *moved = doc.GetTable(2);
        moved->move(moved->m_savedPos + QPoint(1, 0));
        {
            // Cancel keeps the document, and with it the user's layout.
            CModalAnswerer answerer(QMessageBox::Cancel);
            QVERIFY(!doc.SaveModified());
            QCOMPARE(answerer.Count(), 1);
            QCOMPARE(answerer.LastText(), QString("Save changes to Six?"));
        }
        {
            CModalAnswerer answerer(QMessageBox::No);
            QVERIFY(doc.SaveModified());
            QCOMPARE(answerer.Count(), 1);
        }
    }

    void savingKeepsTheRecordedPositions()
    {
        ConnectPromptTo("DSN=Six");
        CDoc doc;
        QVERIFY(doc.OnNewDocument());
        for (int i = 0; i < doc.TableCount(); ++i)
            doc.GetTable(i)->move(doc.GetTable(i)->m_savedPos);
        doc.GetTable(0)->move(700, 700);
        QTemporaryDir dir;
        const QString path = dir.filePath("six.vmx");
        QVERIFY(doc.OnSaveDocument(path));
        QCOMPARE(doc.GetTitle(), QString("six.vmx"));
        QVERIFY(!doc.IsModified());
        QVERIFY(doc.GetTable(0)->m_savedPos != QPoint(700, 700));
        // Still asks: the recorded positions are those of the layout.
        CModalAnswerer answerer(QMessageBox::No);
        QVERIFY(doc.SaveModified());
        QCOMPARE(answerer.Count(), 1);
    }

    void aFailedSaveIsReportedAndChangesNothing()
    {
        ConnectPromptTo("DSN=Six");
        CDoc doc;
        QVERIFY(doc.OnNewDocument());
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("taken.vmx"));
        CModalAnswerer answerer;
        QVERIFY(!doc.OnSaveDocument(dir.filePath("taken.vmx")));
        QCOMPARE(answerer.LastTitle(), QString("Error"));
        QCOMPARE(answerer.LastText(), QString("Failed to save document."));
        QCOMPARE(doc.GetTitle(), QString("Six"));
        QVERIFY(doc.GetPathName().isEmpty());
        QVERIFY(QFileInfo(dir.filePath("taken.vmx")).isDir());
    }
};

QTEST_MAIN(TestDoc)
#include "tst_doc.moc"

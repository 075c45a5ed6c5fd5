#include "db/sqlite/SqliteAdapter.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "document/AutoLayout.h"
#include "document/Doc.h"
#include "tests/support/FakeDriver.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>

namespace {
ConnectPrompt ConnectPromptTo(const std::string &connection)
{
    return [connection](CDbSession &, std::string &chosen, const std::string &) {
        if (connection.empty())
            return false;
        chosen = connection;
        return true;
    };
}

// What the connect prompt was asked, and what it answers: the connection
// string it shows and the reason, then the string to use (empty: Cancel).
struct CPromptRecord
{
    QStringList shown;
    QStringList reasons;
};

ConnectPrompt RecordPrompt(CPromptRecord &record, const std::string &answer)
{
    return [&record, answer](CDbSession &, std::string &connection, const std::string &reason) {
        record.shown << QString::fromStdString(connection);
        record.reasons << QString::fromStdString(reason);
        connection = answer;
        return !answer.empty();
    };
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}
// Opens a new document through the connect prompt and saves it there.
bool SaveNewDocument(const QString &path, const CAdapterList &adapters, const ConnectPrompt &prompt)
{
    CDoc doc(adapters, prompt);
    return doc.OnNewDocument() && doc.OnSaveDocument(path);
}
} // namespace

class TestDoc : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters;
    // What the documents of a test ask for a data source; each document
    // takes the prompt set when it is made.
    ConnectPrompt m_prompt;
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
    void init()
    {
        m_adapters = AliasedPervasiveAdapter();
        m_prompt = nullptr;
    }

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

    // New tables go under those standing, into the shortest layout column;
    // a table stands in the column whose place it is nearest, within half
    // a column, and one far from every column fills none.
    void layoutBelowStandingTables_data()
    {
        QTest::addColumn<QList<QList<int>>>("standing"); // x, y, item count
        QTest::addColumn<QList<int>>("added");
        QTest::addColumn<QList<QPoint>>("expected");
        const int h2 = AutoLayoutHeight(2);
        const int h5 = AutoLayoutHeight(5);
        QTest::newRow("none standing") << QList<QList<int>>{} << QList<int>{2, 2}
                                       << QList<QPoint>{{20, 20}, {160, 20}};
        QTest::newRow("columns filled unevenly")
            << QList<QList<int>>{{20, 20, 5}, {160, 20, 2}, {300, 20, 2}, {440, 20, 2}, {580, 20, 5}}
            << QList<int>{0, 0} << QList<QPoint>{{160, 20 + h2}, {300, 20 + h2}};
        QTest::newRow("moved off its column")
            << QList<QList<int>>{{90, 20, 5}, {229, 20, 5}, {231, 400, 2}} << QList<int>{1, 1}
            << QList<QPoint>{{20, 20}, {440, 20}};
        QTest::newRow("far out fills nothing") << QList<QList<int>>{{5000, 20, 5}, {20, 30, 2}}
                                               << QList<int>{1} << QList<QPoint>{{160, 20}};
        QTest::newRow("low in a column")
            << QList<QList<int>>{{20, 20, 2}, {20, 900, 5}, {160, 20, 5}, {300, 20, 5},
                                 {440, 20, 5}, {580, 20, 5}}
            << QList<int>{1} << QList<QPoint>{{160, 20 + h5}};
    }
    void layoutBelowStandingTables()
    {
        QFETCH(QList<QList<int>>, standing);
        QFETCH(QList<int>, added);
        QFETCH(QList<QPoint>, expected);
        std::vector<CPlacedTable> placed;
        for (const QList<int> &table : standing)
            placed.push_back({QPoint(table[0], table[1]), table[2]});
        const std::vector<QPoint> positions =
            AutoLayoutBelow(placed, std::vector<int>(added.begin(), added.end()));
        QCOMPARE(QList<QPoint>(positions.begin(), positions.end()), expected);
    }

    void newDocumentLoadsAndLaysOutEveryTable()
    {
        m_prompt = ConnectPromptTo("DSN=Six");
        CDoc doc(m_adapters, m_prompt);
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
        CDoc doc(m_adapters, m_prompt);
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

        CDoc other(m_adapters, m_prompt);
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
        m_adapters = MakeDbmsAdapters();
        m_prompt = ConnectPromptTo("DSN=Empty");
        CDoc doc(m_adapters, m_prompt);
        QVERIFY(doc.OnNewDocument());
        QCOMPARE(doc.TableCount(), 0);
        QCOMPARE(doc.GetTitle(), QString("Empty"));
    }

    void aFailingTableLoadDiscardsTheDocument()
    {
        m_prompt = ConnectPromptTo("DSN=Broken");
        CModalAnswerer answerer;
        CDoc doc(m_adapters, m_prompt);
        QVERIFY(!doc.OnNewDocument());
        QCOMPARE(answerer.Count(), 1);
        QCOMPARE(answerer.LastTitle(), QString("Error"));
        QCOMPARE(answerer.icons.last(), QMessageBox::Critical);
        QVERIFY2(answerer.LastText().contains("X$Trigger"), qPrintable(answerer.LastText()));
    }

    // A cancel is not an error: the document comes to nothing silently.
    void aCancelledChooserShowsNothing()
    {
        m_prompt = ConnectPromptTo(std::string());
        CModalAnswerer answerer;
        CDoc doc(m_adapters, m_prompt);
        QVERIFY(!doc.OnNewDocument());
        QCOMPARE(answerer.Count(), 0);
        QVERIFY(!doc.GetSession().IsConnected());
    }

    void anUnsupportedEngineIsReported()
    {
        m_adapters = CAdapterList();
        m_adapters.Add(std::make_unique<CPervasiveAdapter>());
        m_prompt = ConnectPromptTo("DSN=Six");
        CModalAnswerer answerer;
        CDoc doc(m_adapters, m_prompt);
        QVERIFY(!doc.OnNewDocument());
        QCOMPARE(answerer.LastText(), QString("This database is unsupported"));
        QCOMPARE(answerer.LastTitle(), QString("Error"));
    }

    void closingAsksOnlyWhenAWindowMoved()
    {
        m_prompt = ConnectPromptTo("DSN=Six");
        CDoc doc(m_adapters, m_prompt);
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

    // The file holds the layout on screen, and from then on closing
    // compares with what the file holds: saving asks nothing more, moving a
    // table back afterwards asks.
    void savingWritesAndRecordsTheLayoutOnScreen()
    {
        m_prompt = ConnectPromptTo("DSN=Six");
        CDoc doc(m_adapters, m_prompt);
        QVERIFY(doc.OnNewDocument());
        for (int i = 0; i < doc.TableCount(); ++i)
            doc.GetTable(i)->move(doc.GetTable(i)->m_savedPos);
        CTableWnd *moved = doc.FindTable("T1");
        const QPoint before = moved->pos();
        moved->move(700, 710);
        QTemporaryDir dir;
        const QString path = dir.filePath("six.vmx");
        QVERIFY(doc.OnSaveDocument(path));
        QCOMPARE(doc.GetTitle(), QString("six.vmx"));
        QVERIFY(!doc.IsModified());

        QByteArray expected = "DSN=Six\r\nView=Schema\r\n";
        for (int i = 0; i < doc.TableCount(); ++i) {
            const CTableWnd *table = doc.GetTable(i);
            const QPoint at = table == moved ? QPoint(700, 710) : table->m_savedPos;
            expected += QStringLiteral("Table=%1\tPosn=%2,%3\r\n")
                            .arg(QString::fromStdString(table->m_name))
                            .arg(at.x())
                            .arg(at.y())
                            .toUtf8();
        }
        QCOMPARE(ReadAll(path), expected);
        QCOMPARE(moved->m_savedPos, QPoint(700, 710));
        {
            CModalAnswerer answerer(QMessageBox::Cancel);
            QVERIFY(doc.SaveModified());
            QCOMPARE(answerer.Count(), 0);
        }
        moved->move(before);
        CModalAnswerer answerer(QMessageBox::No);
        QVERIFY(doc.SaveModified());
        QCOMPARE(answerer.texts, QStringList{"Save changes to six.vmx?"});
    }

    void saveAsProposesTheTitleWithOneExtension_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("data source") << "Six" << "Six.vmx";
        QTest::newRow("file") << "six.vmx" << "six.vmx";
        QTest::newRow("file in capitals") << "SIX.VMX" << "SIX.VMX";
    }
    void saveAsProposesTheTitleWithOneExtension()
    {
        QFETCH(QString, title);
        QFETCH(QString, proposed);
        CDoc doc(m_adapters, m_prompt);
        doc.SetTitle(title);
        QString shown;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&shown](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(dialog);
            shown = dialog->findChild<QLineEdit *>("fileNameEdit")->text();
            dialog->reject();
        });
        QVERIFY(!doc.DoSave(true));
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(shown, proposed);
    }

    // A document connected with a driver named directly, without a data
    // source name, saves a file that opens again without asking, on the
    // same database: not on the driver manager's first data source.
    void aConnectionWithoutADataSourceNameReopens()
    {
        QTemporaryDir databases;
        const QString database = databases.filePath("direct.db");
        QVERIFY(RunSqliteScript(database, PervasiveDictionarySql()
                                              + "create table ONLY_HERE(A integer);\n"));
        const std::string direct = "DRIVER={SQLite3};Database=" + database.toStdString();
        m_prompt = ConnectPromptTo(direct);
        QTemporaryDir dir;
        const QString path = dir.filePath("direct.vmx");
        QVERIFY(SaveNewDocument(path, m_adapters, m_prompt));
        QVERIFY(ReadAll(path).startsWith(QByteArray("DSN=;") + QByteArray::fromStdString(direct) + "\r\n"));
        CPromptRecord prompts;
        m_prompt = RecordPrompt(prompts, std::string());
        CDoc reopened(m_adapters, m_prompt);
        QVERIFY(reopened.OnOpenDocument(path));
        QCOMPARE(prompts.shown.size(), 0);
        QVERIFY(reopened.FindTable("ONLY_HERE"));
        QCOMPARE(reopened.TableCount(), 5);
    }

    // Reopening uses the driver the file names, not the driver of the
    // driver manager's first data source.
    void aDriverNamedDirectlyIsTheOneUsedOnReopening()
    {
        UseFakeDriver(m_sandbox, m_adapters);
        m_prompt = ConnectPromptTo("DRIVER=Fake;Server=nowhere");
        QTemporaryDir dir;
        const QString path = dir.filePath("fake.vmx");
        QVERIFY(SaveNewDocument(path, m_adapters, m_prompt));
        QCOMPARE(ReadAll(path), QByteArray("DSN=;DRIVER=Fake;Server=nowhere\r\nView=Schema\r\n"));
        CModalAnswerer answerer;
        CDoc reopened(m_adapters, m_prompt);
        QVERIFY(reopened.OnOpenDocument(path));
        QCOMPARE(answerer.texts, QStringList());
        QCOMPARE(reopened.GetSession().GetDbmsName(), CFakeDriverAdapter::DbmsName());
    }

    // The password stays out of the file; reopening, the driver asks for
    // it and the chooser shows the file's string with the driver's words.
    void aMissingPasswordIsAskedForOnReopening()
    {
        UseFakeDriver(m_sandbox, m_adapters);
        m_sandbox.AddDataSource("Guarded", "Driver=Fake\n");
        m_prompt = ConnectPromptTo("DSN=Guarded;UID=bob;PWD=secret");
        QTemporaryDir dir;
        const QString path = dir.filePath("guarded.vmx");
        QVERIFY(SaveNewDocument(path, m_adapters, m_prompt));
        QCOMPARE(ReadAll(path), QByteArray("DSN=Guarded;UID=bob\r\nView=Schema\r\n"));

        CPromptRecord prompts;
        m_prompt = RecordPrompt(prompts, "DSN=Guarded;UID=bob;PWD=secret");
        CModalAnswerer answerer;
        CDoc reopened(m_adapters, m_prompt);
        QVERIFY(reopened.OnOpenDocument(path));
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(prompts.shown, QStringList{"DSN=Guarded;UID=bob"});
        QCOMPARE(prompts.reasons, QStringList{"[Fake] A password is needed"});
        QVERIFY(reopened.GetSession().IsConnected());
    }

    // A diagram file can come from anywhere. A connection string that could
    // make the driver manager or the driver load a library, or create a
    // database file, is shown to the user first; declined, nothing is
    // loaded or created.
    void aCraftedFileLoadsNoLibraryWithoutConsent_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("shown");
        const QString library = QStringLiteral(VELLUMIX_MARK_LIBRARY);
        QTest::newRow("driver by path") << "DSN=;DRIVER=" + library << "DRIVER=" + library;
        QTest::newRow("driver by path after a data source") << "DSN=Six;DRIVER=" + library
                                                            << "DSN=Six;DRIVER=" + library;
        QTest::newRow("driver by path after an installed one")
            << "DSN =;DRIVER=SQLite3 ;DRIVER=" + library << "DRIVER=SQLite3 ;DRIVER=" + library;
        const QString fileSource = "DSN=;FILEDSN=" + m_sandbox.Folder() + "/evil.dsn";
        QTest::newRow("file data source") << fileSource << fileSource;
        QTest::newRow("driver extension") << "DSN=Six;LoadExt=" + library << "DSN=Six;LoadExt=" + library;
        // The SQLite driver finds a setting after a ";" inside braces.
        for (const QString opened : {"UID={a", "PWD={a", "Port={1", "Server={"}) {
            const QString hidden = "DRIVER={SQLite3};Database=" + m_sandbox.DatabasePath("Six") + ";"
                                   + opened + ";LoadExt=" + library + ";}";
            QTest::newRow(qPrintable("extension in " + opened.section('=', 0, 0))) << "DSN=;" + hidden << hidden;
        }
        const QString newFile = "DRIVER={SQLite3};Database=@DIR@/new.db";
        QTest::newRow("a new database file") << "DSN=;" + newFile << newFile;
        QTest::newRow("a new database file of a data source") << "DSN=Six;Database=@DIR@/new.db"
                                                              << "DSN=Six;Database=@DIR@/new.db";
    }
    void aCraftedFileLoadsNoLibraryWithoutConsent()
    {
        QFETCH(QString, line);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        line.replace("@DIR@", dir.path());
        shown.replace("@DIR@", dir.path());
        const QString mark = dir.filePath("mark");
        qputenv("VELLUMIX_MARK_FILE", mark.toLocal8Bit());
        QVERIFY(WriteAll(m_sandbox.Folder() + "/evil.dsn",
                         "[ODBC]\nDRIVER=" VELLUMIX_MARK_LIBRARY "\n"));
        const QString path = dir.filePath("crafted.vmx");
        QVERIFY(WriteAll(path, line.toUtf8() + "\r\nTable=T1\tPosn=1,2\r\n"));

        CPromptRecord prompts;
        m_prompt = RecordPrompt(prompts, std::string());
        CModalAnswerer answerer;
        CDoc doc(m_adapters, m_prompt);
        QVERIFY(!doc.OnOpenDocument(path));
        QCOMPARE(prompts.shown, QStringList{shown});
        QVERIFY(!prompts.reasons.value(0).isEmpty());
        QCOMPARE(answerer.Count(), 0);
        QVERIFY2(!QFile::exists(mark), "the library was loaded");
        QVERIFY2(!QFile::exists(dir.filePath("new.db")), "a database was created");
    }

    // With the user's consent an unusual string connects.
    void aStringConfirmedInTheChooserConnects()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("unusual.vmx");
        QVERIFY(WriteAll(path, "DSN=Six;Timeout=5\r\nTable=T1\tPosn=1,2\r\n"));
        CPromptRecord prompts;
        m_prompt = RecordPrompt(prompts, "DSN=Six;Timeout=5");
        CDoc doc(m_adapters, m_prompt);
        QVERIFY(doc.OnOpenDocument(path));
        QCOMPARE(prompts.shown, QStringList{"DSN=Six;Timeout=5"});
        QCOMPARE(doc.FindTable("T1")->m_savedPos, QPoint(1, 2));
    }

    void aFailedSaveIsReportedAndChangesNothing()
    {
        m_prompt = ConnectPromptTo("DSN=Six");
        CDoc doc(m_adapters, m_prompt);
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

    // The check of the crafted files above holds only if the library does
    // leave its mark when loaded; this runs at the end, as it loads the
    // library (and unloads it again).
    void theMarkLibraryLeavesAMarkWhenLoaded()
    {
        QTemporaryDir dir;
        const QString mark = dir.filePath("mark");
        qputenv("VELLUMIX_MARK_FILE", mark.toLocal8Bit());
        QLibrary library(QStringLiteral(VELLUMIX_MARK_LIBRARY));
        QVERIFY(library.load());
        QVERIFY(QFile::exists(mark));
        library.unload();
    }

    // The crafted file's driver is one the driver manager does load once
    // the user consents: without the question the library would be loaded.
    // Runs last: the driver manager keeps the library loaded.
    void aCraftedDriverLoadsOnlyWithConsent()
    {
        QTemporaryDir dir;
        const QString mark = dir.filePath("mark");
        qputenv("VELLUMIX_MARK_FILE", mark.toLocal8Bit());
        const QString path = dir.filePath("crafted.vmx");
        QVERIFY(WriteAll(path, "DSN=;DRIVER=" VELLUMIX_MARK_LIBRARY "\r\nTable=T1\tPosn=1,2\r\n"));
        QStringList shown;
        m_prompt = [&shown](CDbSession &, std::string &connection, const std::string &) {
            shown << QString::fromStdString(connection);
            return shown.size() == 1; // consents once, then gives up
        };
        CModalAnswerer answerer;
        CDoc doc(m_adapters, m_prompt);
        QVERIFY(!doc.OnOpenDocument(path));
        QCOMPARE(shown.value(0), QStringLiteral("DRIVER=" VELLUMIX_MARK_LIBRARY));
        QCOMPARE(shown.size(), 2);
        QVERIFY2(QFile::exists(mark), "the consented driver was not loaded");
    }
};

QTEST_MAIN(TestDoc)
#include "tst_doc.moc"

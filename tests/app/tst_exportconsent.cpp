#include "app/CommandLineTool.h"
#include "tests/support/OdbcSandbox.h"

#include <QtTest>

// A headless export has nobody to ask: a crafted file's connection string
// ends it with the reason, before the driver loads a library or creates a
// database file (either would leave a file in the folder).
class TestExportConsent : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

private slots:
    void initTestCase() { m_sandbox.AddSqliteSource("Crafted", "create table T(A integer);\n"); }

    void aCraftedFileLoadsAndCreatesNothing_data()
    {
        QTest::addColumn<QString>("line");
        const QString direct = "DSN=;DRIVER={SQLite3};Database=" + m_sandbox.DatabasePath("Crafted");
        for (const char *key : {"UID", "PWD", "Port", "Server"})
            QTest::newRow(key) << direct + ";" + key + "={a;LoadExt=" VELLUMIX_MARK_LIBRARY ";}";
        QTest::newRow("a new database file") << "DSN=Crafted;Database=@DIR@/new.db";
    }
    void aCraftedFileLoadsAndCreatesNothing()
    {
        QFETCH(QString, line);
        QTemporaryDir dir;
        qputenv("VELLUMIX_MARK_FILE", dir.filePath("mark").toLocal8Bit());
        QFile diagram(dir.filePath("crafted.vmx"));
        QVERIFY(diagram.open(QIODevice::WriteOnly));
        diagram.write(line.replace("@DIR@", dir.path()).toUtf8() + "\r\nTable=T\tPosn=1,2\r\n");
        diagram.close();
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = CommandLineTool::Run({"--export", diagram.fileName(), dir.filePath("out.png")},
                                                outStream, errStream);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"crafted.vmx"});
        QCOMPARE(status, 1);
        QVERIFY2(err.contains("cannot connect to the data source of"), qPrintable(err));
    }
};

QTEST_MAIN(TestExportConsent)
#include "tst_exportconsent.moc"

#include "tests/support/OdbcSandbox.h"

#include <QtTest>

namespace {

struct CRun
{
    int status = -1;
    QString err;
};

// The program itself, without a display, in a process of its own: a
// library the driver loads would stay in this one and leave no further
// mark.
CRun RunExport(const QString &diagram, const QString &output, const QString &mark)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("VELLUMIX_MARK_FILE"), mark);
    KeepOdbcModulesLoaded(environment);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELLUMIX_PROGRAM), {"--export", diagram, output});
    CRun run;
    if (!program.waitForFinished(60000))
        return run;
    run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

bool WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

// A headless export has nobody to ask: a diagram file whose connection
// string needs the user's consent ends the export with the reason, before
// the driver loads a library or creates a database file.
class TestExportConsent : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

private slots:
    void initTestCase() { m_sandbox.AddSqliteSource("Crafted", "create table T(A integer);\n"); }

    void aCraftedFileLoadsAndCreatesNothing_data()
    {
        QTest::addColumn<QString>("line");
        const QString library = QStringLiteral(VELLUMIX_MARK_LIBRARY);
        const QString direct = "DSN=;DRIVER={SQLite3};Database=" + m_sandbox.DatabasePath("Crafted");
        QTest::newRow("extension in UID") << direct + ";UID={a;LoadExt=" + library + ";}";
        QTest::newRow("extension in PWD") << direct + ";PWD={a;LoadExt=" + library + ";}";
        QTest::newRow("extension in Port") << direct + ";Port={1;LoadExt=" + library + ";}";
        QTest::newRow("extension in Server") << direct + ";Server={;LoadExt=" + library + ";}";
        QTest::newRow("a new database file") << "DSN=;DRIVER={SQLite3};Database=@DIR@/new.db";
        QTest::newRow("a new database file over a data source") << "DSN=Crafted;Database=@DIR@/new.db";
    }
    void aCraftedFileLoadsAndCreatesNothing()
    {
        QFETCH(QString, line);
        QTemporaryDir dir;
        line.replace("@DIR@", dir.path());
        const QString diagram = dir.filePath("crafted.vmx");
        QVERIFY(WriteFile(diagram, line.toUtf8() + "\r\nTable=T\tPosn=1,2\r\n"));
        const QString mark = dir.filePath("mark");

        const CRun run = RunExport(diagram, dir.filePath("out.png"), mark);
        QVERIFY2(!QFile::exists(mark), "the library was loaded");
        QVERIFY2(!QFile::exists(dir.filePath("new.db")), "a database was created");
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("cannot connect to the data source of"), qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath("out.png")));
    }

    // The check above holds only if the library leaves its mark when the
    // driver loads it: with the extension on the data source's own line of
    // the driver manager's configuration, which is the user's to write.
    void theMarkShowsALoadedExtension()
    {
        m_sandbox.AddDataSource("Extended", QStringLiteral("Driver=SQLite3\nDatabase=%1\nLoadExt=%2\n")
                                                .arg(m_sandbox.DatabasePath("Crafted"),
                                                     QStringLiteral(VELLUMIX_MARK_LIBRARY)));
        QTemporaryDir dir;
        const QString diagram = dir.filePath("trusted.vmx");
        QVERIFY(WriteFile(diagram, "DSN=Extended\r\nTable=T\tPosn=1,2\r\n"));
        const QString mark = dir.filePath("mark");
        RunExport(diagram, dir.filePath("out.png"), mark);
        QVERIFY(QFile::exists(mark));
    }
};

QTEST_GUILESS_MAIN(TestExportConsent)
#include "tst_exportconsent.moc"

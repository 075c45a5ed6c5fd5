#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// scripts/run.sh on a machine without a display: it says so at once,
// before installing or building anything, and tells how to get a virtual
// display where there is none yet.
class TestRunScript : public QObject
{
    Q_OBJECT

    struct CRun
    {
        int exitCode = -1;
        QString errors;
    };

    // Runs the script with no display and with only the given folder on
    // the path, so that whether xvfb-run exists is up to the test.
    static CRun RunWithoutDisplay(const QString &pathFolder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        env.insert("PATH", pathFolder);
        QProcess process;
        process.setProcessEnvironment(env);
        process.start("/bin/bash", {QStringLiteral(VELLUMIX_SOURCE_DIR "/scripts/run.sh")});
        process.waitForFinished(60000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    }

    static bool Link(const QString &target, const QString &link)
    {
        return QFile::link(target, link);
    }

private slots:
    void withoutADisplayItSaysWhatToInstallAndRun()
    {
        QTemporaryDir bin;
        QVERIFY(Link("/usr/bin/dirname", bin.filePath("dirname")));
        const CRun bare = RunWithoutDisplay(bin.path());
        QCOMPARE(bare.exitCode, 1);
        QVERIFY2(bare.errors.contains("No display is available"), qPrintable(bare.errors));
        QVERIFY2(bare.errors.contains("apt-get install xvfb"), qPrintable(bare.errors));
        QVERIFY(bare.errors.contains("xvfb-run -a bash scripts/run.sh"));

        // Where xvfb-run is there, only how to use it is said.
        QVERIFY(Link("/bin/true", bin.filePath("xvfb-run")));
        const CRun equipped = RunWithoutDisplay(bin.path());
        QCOMPARE(equipped.exitCode, 1);
        QVERIFY(!equipped.errors.contains("apt-get install"));
        QVERIFY(equipped.errors.contains("xvfb-run -a bash scripts/run.sh"));
    }
};

QTEST_GUILESS_MAIN(TestRunScript)
#include "tst_runscript.moc"

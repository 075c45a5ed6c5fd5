#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "tests/support/OdbcSandbox.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// scripts/register-dsn.sh run against a private HOME and private ODBC
// configuration files, never the machine's own.
class TestRegisterDsn : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    struct CRun
    {
        int exitCode = -1;
        QString output;
    };

    // One private world per case: a home folder, a user data-source file
    // and a system folder for the driver list.
    struct CWorld
    {
        QTemporaryDir dir;
        QString Home() const { return dir.filePath("home"); }
        QString UserIni() const { return dir.filePath("home/odbc.ini"); }
        QString SystemDir() const { return dir.filePath("system"); }
        QString DriverIni() const { return dir.filePath("system/odbcinst.ini"); }
    };

    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void Write(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    static CWorld *MakeWorld(const QByteArray &userIni, const QByteArray &driverIni)
    {
        auto *world = new CWorld;
        QDir().mkpath(world->Home());
        QDir().mkpath(world->SystemDir());
        if (!userIni.isNull())
            Write(world->UserIni(), userIni);
        Write(world->DriverIni(), driverIni);
        return world;
    }

    static CRun Register(const CWorld &world, const QString &database)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", world.Home());
        env.insert("ODBCINI", world.UserIni());
        env.insert("ODBCSYSINI", world.SystemDir());
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("bash", {QStringLiteral(VELLUMIX_SOURCE_DIR "/scripts/register-dsn.sh"),
                               "VellumixSample", database, "Vellumix sample"});
        process.waitForFinished(60000);
        return {process.exitCode(), QString::fromUtf8(process.readAll())};
    }

    static int SectionCount(const QByteArray &ini, const QByteArray &name)
    {
        int count = 0;
        for (const QByteArray &line : ini.split('\n'))
            if (line.trimmed().toLower() == "[" + name.toLower() + "]")
                ++count;
        return count;
    }

    static const QByteArray kDriverList;
    static const QByteArray kOtherEntries;

private slots:
    void initTestCase() { KeepOdbcModulesLoaded(); }

    void addsTheSourceAndLeavesOtherEntriesAlone()
    {
        std::unique_ptr<CWorld> world(MakeWorld(kOtherEntries, kDriverList));
        chmod(world->UserIni().toLocal8Bit().constData(), 0600);

        const CRun first = Register(*world, "/data/it's here.db");
        QVERIFY2(first.exitCode == 0, qPrintable(first.output));
        const QByteArray ini = Read(world->UserIni());
        QVERIFY2(ini.startsWith(kOtherEntries), ini.constData());
        QCOMPARE(ini.mid(kOtherEntries.size()),
                 QByteArray("\n[VellumixSample]\nDescription=Vellumix sample\nDriver=SQLite3\n"
                            "Database=/data/it's here.db\n"));
        QCOMPARE(Read(world->DriverIni()), kDriverList); // already registered: untouched

        // Running again changes nothing, not even the file's permissions.
        const CRun second = Register(*world, "/data/it's here.db");
        QVERIFY2(second.exitCode == 0, qPrintable(second.output));
        QCOMPARE(Read(world->UserIni()), ini);
        struct stat info = {};
        QCOMPARE(stat(world->UserIni().toLocal8Bit().constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0600);
        QCOMPARE(QDir(world->Home()).entryList(QDir::Files | QDir::Hidden), QStringList({"odbc.ini"}));
    }

    void replacesAnOldSectionWhereItStands()
    {
        const QByteArray before = "[first]\nDriver=SQLite3\nDatabase=/a.db\n\n"
                                  "[vellumixsample]\nDriver=Gone\nDatabase=/old.db\nExtra=1\n\n"
                                  "[last]\nDriver=SQLite3\nDatabase=/b.db";
        std::unique_ptr<CWorld> world(MakeWorld(before, kDriverList));
        const CRun run = Register(*world, "/new.db");
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        const QByteArray ini = Read(world->UserIni());
        QCOMPARE(ini, QByteArray("[first]\nDriver=SQLite3\nDatabase=/a.db\n\n"
                                 "[VellumixSample]\nDescription=Vellumix sample\nDriver=SQLite3\n"
                                 "Database=/new.db\n\n"
                                 "[last]\nDriver=SQLite3\nDatabase=/b.db\n"));
        QCOMPARE(Register(*world, "/new.db").exitCode, 0);
        QCOMPARE(SectionCount(Read(world->UserIni()), "VellumixSample"), 1);
    }

    void registersAMissingDriverAndTheSourceConnects()
    {
        std::unique_ptr<CWorld> world(MakeWorld(QByteArray(), "[Other]\nDriver=/lib/other.so\n"));
        const QString database = world->dir.filePath("sample.db");
        QProcess sqlite;
        sqlite.start("sqlite3", {database, "create table t(a integer primary key);"});
        QVERIFY(sqlite.waitForFinished());

        const CRun run = Register(*world, database);
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        const QByteArray drivers = Read(world->DriverIni());
        QVERIFY(drivers.startsWith("[Other]\nDriver=/lib/other.so\n"));
        QCOMPARE(SectionCount(drivers, "SQLite3"), 1);
        QCOMPARE(Register(*world, database).exitCode, 0);
        QCOMPARE(Read(world->DriverIni()), drivers);

        // The driver manager finds both: a session connects by the name.
        qputenv("ODBCINI", world->UserIni().toLocal8Bit());
        qputenv("ODBCSYSINI", world->SystemDir().toLocal8Bit());
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=VellumixSample"), 0);
        QCOMPARE(session.GetDbmsName(), std::string("SQLite"));
    }

    // A user who may not write the system driver list gets the driver in
    // ~/.odbcinst.ini. As root the script runs as nobody for this case.
    void aDriverListOutOfReachGoesToTheUserFile()
    {
        std::unique_ptr<CWorld> world(MakeWorld(QByteArray(), QByteArray()));
        QStringList command = {QStringLiteral(VELLUMIX_SOURCE_DIR "/scripts/register-dsn.sh"),
                               "VellumixSample", "/x.db"};
        QString program = "bash";
        if (geteuid() == 0) {
            if (QStandardPaths::findExecutable("setpriv").isEmpty())
                QSKIP("running as root without setpriv");
            command = QStringList({"--reuid=65534", "--regid=65534", "--clear-groups", "bash"})
                      + command;
            program = "setpriv";
            chmod(world->dir.path().toLocal8Bit().constData(), 0755);
            chmod(world->Home().toLocal8Bit().constData(), 0777);
        }
        chmod(world->DriverIni().toLocal8Bit().constData(), 0444);
        chmod(world->SystemDir().toLocal8Bit().constData(), 0555);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", world->Home());
        env.insert("ODBCINI", world->UserIni());
        env.insert("ODBCSYSINI", world->SystemDir());
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, command);
        process.waitForFinished(60000);
        chmod(world->SystemDir().toLocal8Bit().constData(), 0755);
        QVERIFY2(process.exitCode() == 0, process.readAll().constData());
        QCOMPARE(Read(world->DriverIni()), QByteArray());
        QCOMPARE(SectionCount(Read(world->Home() + "/.odbcinst.ini"), "SQLite3"), 1);
        QCOMPARE(SectionCount(Read(world->UserIni()), "VellumixSample"), 1);
    }

    void refusesAnUnusableName()
    {
        std::unique_ptr<CWorld> world(MakeWorld(kOtherEntries, kDriverList));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ODBCINI", world->UserIni());
        env.insert("ODBCSYSINI", world->SystemDir());
        QProcess process;
        process.setProcessEnvironment(env);
        process.start("bash", {QStringLiteral(VELLUMIX_SOURCE_DIR "/scripts/register-dsn.sh"),
                               "bad]name", "/x.db"});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 2);
        QCOMPARE(Read(world->UserIni()), kOtherEntries);
    }
};

const QByteArray TestRegisterDsn::kDriverList =
    "[SQLite3]\nDescription=SQLite3 ODBC Driver\n"
    "Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n";
const QByteArray TestRegisterDsn::kOtherEntries =
    "; kept as written\n[Warehouse]\nDescription=Someone else's\nDriver=PostgreSQL\n"
    "Servername=db.example\n";

QTEST_GUILESS_MAIN(TestRegisterDsn)
#include "tst_registerdsn.moc"

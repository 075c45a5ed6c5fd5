#include "app/SchemaApp.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char *const kDiagramType = "application/x-vellumix-diagram";
const char *const kDiagramIcon = "application-x-vellumix-diagram";

struct CRun
{
    int exitCode = -1;
    QString output;
    QString errors;
    QString Report() const { return output + errors; }
};

CRun Run(const QString &program, const QStringList &arguments,
         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
         const QString &folder = QDir::tempPath())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {-1, {}, program + QStringLiteral(" cannot be started (scripts/deps.sh installs it)")};
    process.waitForFinished(120000);
    CRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// cmake --install of this build tree, as a user (no DESTDIR) or a package
// build (DESTDIR) runs it.
CRun Install(const QString &prefix, const QString &destDir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DESTDIR"));
    if (!destDir.isEmpty())
        environment.insert(QStringLiteral("DESTDIR"), destDir);
    return Run(QStringLiteral(VELLUMIX_CMAKE),
               {"--install", QStringLiteral(VELLUMIX_BUILD_DIR), "--prefix", prefix}, environment);
}

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The keys of a desktop entry's main group.
QMap<QString, QString> DesktopEntry(const QString &path)
{
    QMap<QString, QString> keys;
    bool inEntry = false;
    for (const QString &line : ReadText(path).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.contains(QLatin1Char('=')))
            keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return keys;
}

QString AppId() { return CSchemaApp::DesktopFileName(); }

} // namespace

// The installation as a package build makes it, into a folder of its own
// (DESTDIR) with the usual prefix, then checked by the tools the desktop
// ecosystem checks its packages with; and once as a user installs it
// straight into a prefix, where the desktop must learn the file type.
class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_destDir;
    QString m_prefix;

    QString Installed(const QString &relative) const { return m_prefix + QLatin1Char('/') + relative; }
    QString DesktopFile() const { return Installed("share/applications/" + AppId() + ".desktop"); }
    QString MetainfoFile() const { return Installed("share/metainfo/" + AppId() + ".metainfo.xml"); }
    QString MimePackage() const { return Installed("share/mime/packages/" + AppId() + ".xml"); }
    QString ManualPage() const { return Installed("share/man/man1/vellumix.1"); }
    QString Program() const { return Installed("bin/vellumix"); }

    CRun RunProgram(const QStringList &arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Away from the build tree: the installed program needs nothing of it.
        return Run(Program(), arguments, environment, m_destDir.path());
    }

    QString XPath(const QString &file, const QString &expression) const
    {
        return Run(QStringLiteral("xmllint"), {"--xpath", expression, file}).output.trimmed();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_destDir.isValid());
        const CRun run = Install(QStringLiteral("/usr/local"), m_destDir.path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.Report()));
        m_prefix = m_destDir.filePath(QStringLiteral("usr/local"));
    }

    // Exactly these files, all under the prefix; a package build leaves the
    // desktop's caches to the package's triggers.
    void everyFileLandsUnderThePrefix()
    {
        QStringList expected = {
            "bin/vellumix",
            "share/applications/" + AppId() + ".desktop",
            "share/metainfo/" + AppId() + ".metainfo.xml",
            "share/mime/packages/" + AppId() + ".xml",
            "share/man/man1/vellumix.1",
            "share/icons/hicolor/scalable/apps/" + AppId() + ".svg",
            QStringLiteral("share/icons/hicolor/scalable/mimetypes/%1.svg").arg(kDiagramIcon),
        };
        for (const QString &size : {QStringLiteral("16x16"), QStringLiteral("32x32"),
                                    QStringLiteral("48x48"), QStringLiteral("256x256")}) {
            expected << QStringLiteral("share/icons/hicolor/%1/apps/%2.png").arg(size, AppId());
            expected << QStringLiteral("share/icons/hicolor/%1/mimetypes/%2.png").arg(size, kDiagramIcon);
        }
        for (QString &path : expected)
            path.prepend(QStringLiteral("usr/local/"));

        QStringList found;
        const QDir root(m_destDir.path());
        QDirIterator files(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext())
            found << root.relativeFilePath(files.next());
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
    }

    void validatorsAcceptTheTree_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        // Tools that print only complaints must print nothing.
        QTest::addColumn<bool>("quiet");

        QTest::newRow("desktop entry")
            << "desktop-file-validate" << QStringList{DesktopFile()} << true;
        QTest::newRow("metainfo")
            << "appstreamcli" << QStringList{"validate", "--no-net", MetainfoFile()} << false;
        QTest::newRow("metainfo beside its desktop entry")
            << "appstreamcli" << QStringList{"validate-tree", "--no-net", m_prefix} << false;
        QTest::newRow("mime package") << "xmllint" << QStringList{"--noout", MimePackage()} << true;
        QTest::newRow("manual page")
            << "groff" << QStringList{"-man", "-ww", "-z", ManualPage()} << true;
    }
    void validatorsAcceptTheTree()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, quiet);
        const CRun run = Run(program, arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.Report()));
        if (quiet)
            QVERIFY2(run.Report().isEmpty(), qPrintable(run.Report()));
    }

    // The shared-mime-info elements a file manager needs: the type in the
    // freedesktop namespace, its glob and a description to show.
    void mimePackageDefinesTheDiagramType_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("expected");
        const QString type =
            QStringLiteral("/*[local-name()='mime-info' and "
                           "namespace-uri()='http://www.freedesktop.org/standards/shared-mime-info']"
                           "/*[local-name()='mime-type'][@type='%1']")
                .arg(kDiagramType);
        QTest::newRow("one type") << "count(/*/*)" << "1";
        QTest::newRow("glob")
            << "string(" + type + "/*[local-name()='glob']/@pattern)" << "*.vmx";
        QTest::newRow("comment")
            << "string(" + type + "/*[local-name()='comment'])" << "Vellumix diagram";
        QTest::newRow("a text file")
            << "string(" + type + "/*[local-name()='sub-class-of']/@type)" << "text/plain";
    }
    void mimePackageDefinesTheDiagramType()
    {
        QFETCH(QString, expression);
        QFETCH(QString, expected);
        QCOMPARE(XPath(MimePackage(), expression), expected);
    }

    // The entry, the program, the icon and the file type name each other.
    void desktopEntryOpensDiagramFiles()
    {
        const QMap<QString, QString> entry = DesktopEntry(DesktopFile());
        const QStringList exec = entry.value("Exec").split(QLatin1Char(' '));
        QCOMPARE(exec.size(), 2);
        QCOMPARE(Installed("bin/" + exec.at(0)), Program());
        QVERIFY2(QRegularExpression("^%[fFuU]$").match(exec.at(1)).hasMatch(), qPrintable(exec.at(1)));
        QVERIFY(entry.value("MimeType").split(QLatin1Char(';')).contains(kDiagramType));
        QVERIFY(QFile::exists(Installed("share/icons/hicolor/scalable/apps/" + entry.value("Icon") + ".svg")));
        QCOMPARE(XPath(MetainfoFile(), "string(/component/launchable)"), AppId() + ".desktop");
    }

    void iconsHaveTheirSizes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("size");
        for (const QString &context : {QStringLiteral("apps"), QStringLiteral("mimetypes")}) {
            const QString name = context == QLatin1String("apps") ? AppId() : QString(kDiagramIcon);
            for (int size : {16, 32, 48, 256}) {
                const QString path =
                    QStringLiteral("share/icons/hicolor/%1x%1/%2/%3.png").arg(size).arg(context, name);
                QTest::newRow(qPrintable(path)) << Installed(path) << size;
            }
        }
    }
    // Each PNG holds its own size, on a transparent background (the artwork
    // leaves its top-left corner free).
    void iconsHaveTheirSizes()
    {
        QFETCH(QString, path);
        QFETCH(int, size);
        const QImage image(path);
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }

    void scalableIconsAreSquareDrawings()
    {
        for (const QString &path :
             {Installed("share/icons/hicolor/scalable/apps/" + AppId() + ".svg"),
              Installed(QStringLiteral("share/icons/hicolor/scalable/mimetypes/%1.svg").arg(kDiagramIcon))}) {
            const QSvgRenderer drawing(path);
            QVERIFY2(drawing.isValid(), qPrintable(path));
            QCOMPARE(drawing.viewBoxF().width(), drawing.viewBoxF().height());
        }
    }

    // The installed program runs outside the build tree, and its version is
    // the release the software centre shows.
    void installedProgramRunsAnywhere()
    {
        const CRun run = RunProgram({"--version"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Report()));
        const QString release = XPath(MetainfoFile(), "string(/component/releases/release[1]/@version)");
        QVERIFY(!release.isEmpty());
        QCOMPARE(run.output, "Vellumix " + release + "\n");
    }

    // Every option the program lists in its help is documented in the
    // manual page.
    void manualPageCoversEveryOption()
    {
        const CRun help = RunProgram({"--help"});
        QVERIFY2(help.exitCode == 0, qPrintable(help.Report()));
        QStringList options;
        const QRegularExpression optionLine("^\\s+(-.*?)\\s{2,}");
        const QRegularExpression option("--?[a-z][a-z-]*");
        for (const QString &line : help.output.split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch names = optionLine.match(line);
            for (auto it = option.globalMatch(names.captured(1)); it.hasNext();)
                options << it.next().captured();
        }
        QVERIFY(options.contains("--export"));
        const QString manual = ReadText(ManualPage());
        for (QString name : options) {
            name.replace(QLatin1String("-"), QLatin1String("\\-"));
            QVERIFY2(manual.contains(name), qPrintable(name));
        }
    }

    // Installed straight into a prefix, the mime database there learns the
    // diagram type, and an existing desktop-entry cache maps it to the
    // program; a cache the machine does not keep is not created.
    void directInstallTeachesTheDesktopTheFileType()
    {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QString share = prefix.filePath(QStringLiteral("share"));
        QVERIFY(QDir().mkpath(share + "/applications"));
        QFile cache(share + "/applications/mimeinfo.cache");
        QVERIFY(cache.open(QIODevice::WriteOnly));
        cache.write("[MIME Cache]\n");
        cache.close();

        const CRun run = Install(prefix.path(), QString());
        QVERIFY2(run.exitCode == 0, qPrintable(run.Report()));
        QVERIFY(ReadText(share + "/mime/globs2").split(QLatin1Char('\n')).contains(
            QStringLiteral("50:%1:*.vmx").arg(kDiagramType)));
        QVERIFY(ReadText(share + "/applications/mimeinfo.cache")
                    .split(QLatin1Char('\n'))
                    .contains(QStringLiteral("%1=%2.desktop;").arg(kDiagramType, AppId())));
        QVERIFY(!QFile::exists(share + "/icons/hicolor/icon-theme.cache"));
    }
};

QTEST_MAIN(TestInstall)
#include "tst_install.moc"

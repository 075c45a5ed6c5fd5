#include "app/CommandLineTool.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PdfPages.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"
#include "view/DiagramPicture.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

struct CRun
{
    int status = -1;
    QString out;
    QString err;
};

// The tool in this process, as main runs it.
CRun RunTool(const QStringList &arguments)
{
    CRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = CommandLineTool::Run(arguments, out, err);
    return run;
}

// The program itself, without any display: no X or Wayland display and
// no platform chosen for it. A file size limit, with its signal ignored,
// makes a write beyond it fail as on a full disk.
CRun RunProgram(const QStringList &arguments, int fileLimitKilobytes = 0)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    KeepOdbcModulesLoaded(environment);
    QProcess program;
    program.setProcessEnvironment(environment);
    if (fileLimitKilobytes > 0)
        program.start(QStringLiteral("bash"),
                      QStringList{"-c",
                                  QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"")
                                      .arg(fileLimitKilobytes),
                                  QStringLiteral(VELLUMIX_PROGRAM)}
                          + arguments);
    else
        program.start(QStringLiteral(VELLUMIX_PROGRAM), arguments);
    CRun run;
    if (!program.waitForFinished(60000))
        return run;
    run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = QString::fromUtf8(program.readAllStandardOutput());
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

bool WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The texts of an SVG document's text elements; empty when it does not
// parse as XML.
QStringList SvgTexts(const QByteArray &svg)
{
    QStringList texts;
    QXmlStreamReader reader(svg);
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        if (reader.isStartElement() && reader.name() == QLatin1String("text"))
            texts << reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    return reader.hasError() ? QStringList() : texts;
}

const QStringList kSampleTables = {"payment",  "sales_order", "order_line", "product",
                                   "supplier", "employee",    "address",    "shipment",
                                   "category", "shipment_line", "stock",    "customer",
                                   "warehouse", "region"};

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    QTemporaryDir m_files;
    QString Path(const QString &name) const { return m_files.filePath(name); }
    // The files the failed or finished runs left in a folder.
    static QStringList FilesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
        m_sandbox.AddSqliteSource("VellumixEmpty", "pragma user_version = 1;\n");
    }

    void exportsTheSampleInEachFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("PNG") << "sample.png";
        QTest::newRow("SVG") << "sample.svg";
        QTest::newRow("PDF") << "sample.pdf";
        QTest::newRow("upper-case extension") << "SAMPLE.PNG";
    }
    void exportsTheSampleInEachFormat()
    {
        QFETCH(QString, name);
        QTemporaryDir folder;
        const QString output = folder.filePath(name);
        const CRun run = RunTool({"--export", CSampleDiagram::DiagramPath(), output});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, QString());
        QCOMPARE(run.status, 0);
        // The file and nothing else: no temporary file stays behind.
        QCOMPARE(FilesIn(folder.path()), QStringList{name});

        const QByteArray content = ReadFile(output);
        const QString suffix = QFileInfo(name).suffix().toLower();
        if (suffix == "png") {
            QImage image;
            QVERIFY(image.loadFromData(content, "PNG"));
            // The sample stands within 1200 x 900.
            QVERIFY(image.width() > 1000 && image.width() < 1240);
            QVERIFY(image.height() > 700 && image.height() < 940);
        } else if (suffix == "svg") {
            QSvgRenderer renderer(content);
            QVERIFY(renderer.isValid());
            QVERIFY(renderer.viewBox().width() > 1000);
            const QStringList texts = SvgTexts(content);
            for (const QString &table : kSampleTables)
                QVERIFY2(texts.contains(table), qPrintable(table));
            // A name longer than its window is cut at the window's edge, as
            // on screen, not written out across its neighbours.
            QVERIFY(texts.contains(QRegularExpression("^sqlite_autoindex")));
            QVERIFY(!texts.contains("sqlite_autoindex_order_line_1"));
        } else {
            // The sample reaches x 1116 and y 824: two pages side by side
            // on A4 (7 x 11 printable inches) as on Letter (8 x 10).
            QCOMPARE(PdfPageCount(output), 2);
        }
    }

    // The picture is what the view shows on screen, pixel for pixel, where
    // nothing is active or selected and no page boundary is drawn.
    void thePictureIsTheDiagramOnScreen()
    {
        const QString output = Path("screen.png");
        QCOMPARE(RunTool({"--export", CSampleDiagram::DiagramPath(), output}).status, 0);
        const QImage exported(output);
        QVERIFY(!exported.isNull());

        {
            CSampleDiagram sample;
            QVERIFY(sample.Open(1300, 1000));
            CDbView *view = sample.View();
            view->m_pageInches[0] = 0;
            view->m_pageInches[1] = 0;
            const QRect area = CDiagramPicture(*view).Area();
            QCOMPARE(area.size(), exported.size());
            // Every table window stands inside the picture with its margin.
            const QRect inner = area.adjusted(CDiagramPicture::kMargin, CDiagramPicture::kMargin,
                                              -CDiagramPicture::kMargin, -CDiagramPicture::kMargin);
            for (QWidget *table : view->Canvas()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                QVERIFY(inner.contains(table->geometry()));
            const QImage screen = view->Canvas()->grab(area).toImage().convertToFormat(exported.format());
            QCOMPARE(screen, exported);
        }
    }

    // Each failure is one line saying why, a non-zero status, and no file:
    // neither the output nor a temporary one, and an older output stays as
    // it was.
    void failuresWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("diagram");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        const QByteArray sample = ReadFile(CSampleDiagram::DiagramPath());
        QTest::newRow("missing diagram") << QByteArray() << "out.png" << 1 << "cannot read";
        QTest::newRow("not a diagram") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage", 16) << "out.png"
                                       << 1 << "is not a diagram file";
        QTest::newRow("tables before any data source")
            << QByteArray("Table=payment\tPosn=1,1\r\n") << "out.svg" << 1 << "names no data source";
        QTest::newRow("unreachable data source")
            << QByteArray("DSN=NoSuchSource\r\nTable=payment\tPosn=1,1\r\n") << "out.pdf" << 1
            << "cannot connect to the data source";
        QTest::newRow("unwritable output") << sample << "missing-folder/out.png" << 1
                                           << "cannot write";
        QTest::newRow("unknown format") << sample << "out.jpg" << 2 << ".png, .svg or .pdf";
        // Nobody is there to consent to a library or a new database file.
        const QByteArray table = "\r\nTable=payment\tPosn=1,1\r\n";
        QTest::newRow("crafted extension")
            << "DSN=;DRIVER={SQLite3};Database=" + m_sandbox.DatabasePath("VellumixSample").toUtf8()
                   + ";UID={a;LoadExt=" VELLUMIX_MARK_LIBRARY ";}" + table
            << "out.png" << 1 << "cannot connect to the data source";
        QTest::newRow("crafted new database") << "DSN=VellumixSample;Database=@DIR@/new.db" + table
                                              << "out.png" << 1 << "cannot connect to the data source";
    }
    void failuresWriteNothing()
    {
        QFETCH(QByteArray, diagram);
        QFETCH(QString, output);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        qputenv("VELLUMIX_MARK_FILE", QFile::encodeName(folder.filePath("mark")));
        const QString diagramPath = folder.filePath("diagram.vmx");
        if (!diagram.isEmpty())
            QVERIFY(WriteFile(diagramPath, diagram.replace("@DIR@", QFile::encodeName(folder.path()))));
        const QString outputPath = folder.filePath(output);
        const bool older = QFileInfo(outputPath).dir().exists();
        if (older)
            QVERIFY(WriteFile(outputPath, "older"));
        const QStringList before = FilesIn(folder.path());

        const CRun run = RunTool({"--export", diagramPath, outputPath});
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.startsWith("vellumix: ") && run.err.count('\n') == 1, qPrintable(run.err));
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(FilesIn(folder.path()), before);
        if (older)
            QCOMPARE(ReadFile(outputPath), QByteArray("older"));
    }

    // A full disk, or an output that is no regular file: one line, status 1,
    // and the older file or the node made here as it was, nothing beside it.
    void theOutputIsWrittenWholeOrNotAtAll_data()
    {
        QTest::addColumn<QString>("target");
        for (const char *name : {"old.png", "old.svg", "old.pdf", "pipe"})
            QTest::newRow(name) << name;
        QTest::newRow("link to a device like /dev/full") << "full";
    }
    void theOutputIsWrittenWholeOrNotAtAll()
    {
        QFETCH(QString, target);
        const bool fullDisk = target.contains('.');
        QTemporaryDir folder;
        const QString output = folder.filePath(fullDisk ? target : "out.png");
        const QByteArray node = QFile::encodeName(target == "full" ? folder.filePath(target) : output);
        const QByteArray older(3000, 'o');
        if (target == "pipe")
            QVERIFY(::mkfifo(node.constData(), 0600) == 0);
        else if (target == "full" && ::mknod(node.constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            QSKIP("making a device node needs root");
        QVERIFY(!fullDisk || WriteFile(output, older));
        QVERIFY(target != "full" || QFile::link(node, output));
        const QStringList before = FilesIn(folder.path());

        const CRun run = RunProgram({"--export", CSampleDiagram::DiagramPath(), output}, fullDisk ? 4 : 0);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.startsWith("vellumix: cannot write " + output) && run.err.count('\n') == 1,
                 qPrintable(run.err));
        QCOMPARE(FilesIn(folder.path()), before);
        QVERIFY(!fullDisk || ReadFile(output) == older);
    }

    // A data source alone, from a diagram file without table lines or from
    // --dsn, is drawn as File New places its tables; one without tables
    // fails and writes nothing, never an empty picture.
    void aDataSourceAloneIsDrawnWhole_data()
    {
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QString>("reason");
        QTest::newRow("file without table lines") << QStringList{"@DIR@/sample.vmx"} << QString();
        QTest::newRow("data source") << QStringList{"--dsn", "VellumixSample"} << QString();
        QTest::newRow("data source attached") << QStringList{"--dsn=VellumixSample"} << QString();
        QTest::newRow("file of a source without tables") << QStringList{"@DIR@/empty.vmx"}
                                                         << "nothing to draw";
        QTest::newRow("source without tables") << QStringList{"--dsn", "VellumixEmpty"}
                                               << "nothing to draw";
        QTest::newRow("unknown source") << QStringList{"--dsn", "NoSuch"}
                                        << "cannot connect to the data source NoSuch";
        QTest::newRow("name that adds attributes")
            << QStringList{"--dsn", "VellumixSample;Database=x.db"} << "is not a data source name";
    }
    void aDataSourceAloneIsDrawnWhole()
    {
        QFETCH(QStringList, source);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(WriteFile(folder.filePath("sample.vmx"), "DSN=VellumixSample\r\nView=Schema\r\n"));
        QVERIFY(WriteFile(folder.filePath("empty.vmx"), "DSN=VellumixEmpty\r\n"));
        const QString output = folder.filePath("out.png");
        const CRun run = RunTool(QStringList{"--export"} + source.replaceInStrings("@DIR@", folder.path())
                                 << output);
        QCOMPARE(run.status, reason.isEmpty() ? 0 : 1);
        QVERIFY2(run.err.contains(reason) && run.err.count('\n') == run.status, qPrintable(run.err));
        QCOMPARE(QFile::exists(output), reason.isEmpty());
        if (!reason.isEmpty())
            return;
        // The same tables as File New and Arrange Diagram place them, saved
        // and exported.
        const CAdapterList adapters = MakeDbmsAdapters();
        CDoc doc(adapters);
        QVERIFY(doc.GetSession().Connect(COdbcSandbox::ConnectionString("VellumixSample")) >= 0);
        QVERIFY(doc.LoadAllTables() >= 0);
        CDbView view(&doc);
        view.OnInitialUpdate();
        view.ArrangeDiagram();
        QVERIFY(doc.OnSaveDocument(folder.filePath("new.vmx")));
        QCOMPARE(RunTool({"--export", folder.filePath("new.vmx"), Path("new.png")}).status, 0);
        QCOMPARE(QImage(output), QImage(Path("new.png")));
    }

    // The menu command asks for the file and writes what --export writes;
    // a failure is a message box with the command line's words.
    void theMenuCommandWritesWhatTheCommandLineWrites_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("PNG by the file type") << "menu" << QString();
        QTest::newRow("unknown extension") << "menu.jpg" << "must end in .png, .svg or .pdf";
    }
    void theMenuCommandWritesWhatTheCommandLineWrites()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QTemporaryDir folder;
        CSampleDiagram sample;
        QVERIFY(sample.Open(1300, 1000));
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *widget) {
            auto *name = widget->findChild<QLineEdit *>("fileNameEdit");
            auto *buttons = widget->findChild<QDialogButtonBox *>("buttonBox");
            QVERIFY(qobject_cast<QFileDialog *>(widget) && name && buttons);
            QCOMPARE(name->text(), QString("VellumixSample.png"));
            name->setText(folder.filePath(typed));
            QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
        });
        CModalAnswerer boxes;
        QVERIFY(sample.View()->OnCommand(Cmd::FileExport));
        QCOMPARE(dialogs.Handled(), 1);
        const QString text = folder.filePath(typed) + ": the output file " + message;
        QCOMPARE(boxes.texts, message.isEmpty() ? QStringList() : QStringList{text});
        QCOMPARE(FilesIn(folder.path()), message.isEmpty() ? QStringList{"menu.png"} : QStringList());
        if (message.isEmpty()) {
            QCOMPARE(RunTool({"--export", CSampleDiagram::DiagramPath(), Path("tool.png")}).status, 0);
            QCOMPARE(QImage(folder.filePath("menu.png")), QImage(Path("tool.png")));
        }
    }

    // Export SQL Script writes what --export-sql writes, or only the tables
    // picked with Ctrl+click; Show SQL on a caption shows one table's part
    // of it, and Copy puts that on the clipboard.
    void theScriptCommandsWriteWhatTheCommandLineWrites()
    {
        QVERIFY(RunTool({"--export-sql", CSampleDiagram::DiagramPath(), Path("tool.sql")}).status == 0);
        const QString whole = QString::fromUtf8(ReadFile(Path("tool.sql")));
        CSampleDiagram sample;
        QVERIFY(sample.Open(1300, 1000));
        QTemporaryDir folder;
        auto saveAs = [&](const QString &name) {
            return [&, name](QWidget *widget) {
                auto *edit = widget->findChild<QLineEdit *>("fileNameEdit");
                auto *buttons = widget->findChild<QDialogButtonBox *>("buttonBox");
                QVERIFY(qobject_cast<QFileDialog *>(widget) && edit && buttons);
                edit->setText(folder.filePath(name));
                QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
            };
        };
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue(saveAs("all.sql"));
        CModalAnswerer boxes;
        QVERIFY(sample.View()->OnCommand(Cmd::FileExportSql));
        QCOMPARE(QString::fromUtf8(ReadFile(folder.filePath("all.sql"))), whole);

        CTableWnd *region = sample.Doc()->FindTable("region");
        CTableWnd *stock = sample.Doc()->FindTable("stock");
        QVERIFY(region && stock);
        const QPoint caption(region->width() / 2, Platform::kSizingFrameHeight + Platform::kCaptionHeight / 2);
        QTest::mouseClick(region, Qt::LeftButton, Qt::ControlModifier, caption);
        QTest::mouseClick(stock, Qt::LeftButton, Qt::ControlModifier, caption);
        dialogs.Queue(saveAs("picked.sql"));
        QVERIFY(sample.View()->OnCommand(Cmd::FileExportSql));
        const QString picked = QString::fromUtf8(ReadFile(folder.filePath("picked.sql")));
        const QRegularExpression created("^CREATE TABLE (\\S+)", QRegularExpression::MultilineOption);
        QStringList names;
        for (auto match = created.globalMatch(picked); match.hasNext();)
            names << match.next().captured(1);
        names.sort();
        QCOMPARE(names, (QStringList{"\"region\"", "\"stock\""}));

        QString shown;
        dialogs.Queue([&](QWidget *widget) {
            auto *copy = widget->findChild<QPushButton *>();
            auto *text = widget->findChild<QPlainTextEdit *>();
            QVERIFY(copy && text && text->isReadOnly());
            shown = text->toPlainText();
            for (QPushButton *button : widget->findChildren<QPushButton *>())
                if (button->text() == "&Copy")
                    QTest::mouseClick(button, Qt::LeftButton);
            static_cast<QDialog *>(widget)->reject();
        });
        auto menu = CModalAnswerer::Menus("Show S&QL");
        QTest::mouseClick(region, Qt::RightButton, Qt::NoModifier, caption);
        QCOMPARE(dialogs.Handled(), 3);
        // After its heading line the table's script is its part of the whole.
        const QString body = shown.section('\n', 1).trimmed();
        QVERIFY2(body.startsWith("CREATE TABLE \"region\"") && whole.contains(body), qPrintable(shown));
        QCOMPARE(QGuiApplication::clipboard()->text(), shown);
        QCOMPARE(boxes.texts, QStringList());
    }

    void wrongCommandLinesAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no output") << QStringList{"--export", "a.vmx"} << "exactly one file";
        QTest::newRow("two outputs") << QStringList{"--export", "a.vmx", "b.png", "c.png"}
                                     << "exactly one file";
        QTest::newRow("no diagram") << QStringList{"--export"} << "Missing value";
        QTest::newRow("data source without --export")
            << QStringList{"--dsn", "VellumixSample", "b.png"} << "right after --export";
    }
    void wrongCommandLinesAreUsageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        const CRun run = RunTool(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(reason) && run.err.count('\n') == 1, qPrintable(run.err));
    }

    // The program itself, with no display at all.
    void theProgramRunsWithoutADisplay()
    {
        const QString output = Path("headless.svg");
        CRun run = RunProgram({"--export", CSampleDiagram::DiagramPath(), output});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, QString());
        QCOMPARE(run.status, 0);
        QVERIFY(QSvgRenderer(output).isValid());

        run = RunProgram({"--export", Path("nowhere.vmx"), Path("nowhere.png")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.startsWith("vellumix: cannot read") && run.err.count('\n') == 1,
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(Path("nowhere.png")));

        run = RunProgram({"--version"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("Vellumix 1.0\n"));

        run = RunProgram({"--help"});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains("--export <diagram.vmx>"));
        QVERIFY(run.out.contains("--dsn <name>"));
        QVERIFY(run.out.contains("--version"));
        QCOMPARE(run.err, QString());
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"

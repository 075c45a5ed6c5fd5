// Times writing a whole diagram as a PDF and as a PNG on generated schemas
// (one foreign key per table, to any earlier table, so that long lines
// cross many pages), and measures the memory a PNG export takes.
//
//   bench_export [table counts...] [--program PATH] [--keep FOLDER]
//                                     default: 100 2000
//
// In this process: the diagram is loaded and arranged as the command
// line's export does, then only the writing of the file is timed
// (processor time of this thread), per PDF page; the smallest count is the
// baseline the per-page figures of the others are compared with, since a
// page should cost the same whatever the diagram's size. The table windows
// the pages draw (tbl/pg, each counted on every page it reaches into) show
// how full the pages are, and the costs per table window on a page.
// As child processes, the program itself (`vellumix --export --dsn NAME
// out.pdf`, `out.png`) with its whole processor time and peak memory,
// against the same program writing the schema's SQL script, which loads
// the tables and draws nothing. --program measures another build of the
// program; --keep leaves the written files in the folder.
// Larger counts take minutes (writing the SQL script of 10,000 tables
// alone does): give them on the command line when wanted.
#include "bench/BenchOdbc.h"
#include "bench/SchemaGenerator.h"
#include "db/DbmsAdapter.h"
#include "document/Doc.h"
#include "view/DbView.h"
#include "view/DiagramOutput.h"
#include "view/DiagramPrinter.h"
#include "view/PrintSettings.h"
#include "view/PrinterPage.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

struct CChildFigures
{
    bool ok = false;
    double cpu = 0;    // seconds, user and system
    double peakMb = 0; // largest resident set
};

struct CCountFigures
{
    int pages = 0;
    qint64 tablesOnPages = 0; // a table window counted once on each page it reaches into
    qint64 pdfBytes = 0;
    double pdfCpu = 0; // writing the PDF, in this process
    qint64 pngBytes = 0;
    double pngCpu = 0;
    CChildFigures load, pdf, png;

    double TablesPerPage() const { return double(tablesOnPages) / pages; }
};

// Runs the program to its end through this benchmark started again as a
// small go-between (see Measure): a process started straight from this
// one would count this process's own memory as its peak, since Linux
// carries the peak over into the program a process starts.
CChildFigures RunChild(const QString &program, const QStringList &arguments)
{
    CChildFigures figures;
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  QStringList{QStringLiteral("--measure"), program} + arguments);
    process.waitForFinished(-1);
    const QList<QByteArray> words = process.readAllStandardOutput().trimmed().split(' ');
    if (words.size() == 3) {
        figures.ok = words[0] == "0";
        figures.cpu = words[1].toDouble();
        figures.peakMb = words[2].toDouble() / 1024.0;
    }
    if (!figures.ok)
        std::fprintf(stderr, "%s %s failed\n", qPrintable(program), qPrintable(arguments.join(' ')));
    return figures;
}

// The go-between: starts the program from a process that has touched
// little memory, waits for it and prints its exit status, processor
// seconds (user and system) and peak resident kilobytes.
int Measure(char *argv[])
{
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return 1;
    const auto seconds = [](const timeval &time) { return time.tv_sec + time.tv_usec * 1e-6; };
    std::printf("%d %.3f %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128,
                seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss);
    return 0;
}

int PdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    int pages = 0;
    for (auto found = page.globalMatch(QString::fromLatin1(pdf)); found.hasNext(); found.next())
        ++pages;
    return pages;
}

// The tables laid out as the command line's export lays out a data source.
class CExportedDiagram
{
public:
    bool Open(const std::string &dsn)
    {
        m_doc = std::make_unique<CDoc>(m_adapters);
        if (m_doc->m_session.Connect("DSN=" + dsn) < 0 || m_doc->LoadAllTables() < 0) {
            std::fprintf(stderr, "cannot load %s: %s\n", dsn.c_str(),
                         m_doc->m_session.m_lastError.c_str());
            return false;
        }
        m_view = std::make_unique<CDbView>(m_doc.get());
        m_view->OnInitialUpdate();
        m_view->ArrangeDiagram();
        return true;
    }
    ~CExportedDiagram()
    {
        m_view.reset();
        m_doc.reset();
    }
    // How many table windows the PDF's pages draw, each once per page it
    // reaches into, on the paper the PDF is written on.
    qint64 TablesOnPages() const
    {
        QBuffer nowhere;
        nowhere.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&nowhere);
        pdf.setPageLayout(m_view->PrintSettings().Printer().pageLayout());
        CDiagramPrinter printer(*m_view);
        printer.PreparePrinting(PrinterPage::DevicePageInches(pdf));
        return printer.TablesOnPages();
    }
    // Processor time of writing the file; negative when it failed.
    double Write(const QString &path)
    {
        CDiagramOutput output(*m_view, QStringLiteral("bench"));
        bool written = false;
        const double seconds = ThreadSeconds([&] { written = output.Write(path); });
        if (!written)
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(output.ErrorText()));
        return written ? seconds : -1;
    }

private:
    CAdapterList m_adapters = MakeDbmsAdapters();
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;
};

bool MeasureCount(CBenchOdbc &odbc, const QString &program, const QDir &folder, int count,
                  CCountFigures &figures)
{
    const std::string dsn = "Export" + std::to_string(count);
    if (!odbc.AddGeneratedDatabase(dsn, CSchemaGenerator(count).Script()))
        return false;
    const QString name = QString::fromStdString(dsn);
    const QString pdf = folder.filePath(name + ".pdf");
    const QString png = folder.filePath(name + ".png");
    {
        CExportedDiagram diagram;
        if (!diagram.Open(dsn))
            return false;
        figures.tablesOnPages = diagram.TablesOnPages();
        figures.pdfCpu = diagram.Write(pdf);
        figures.pngCpu = diagram.Write(png);
        if (figures.pdfCpu < 0 || figures.pngCpu < 0)
            return false;
    }
    QFile file(pdf);
    file.open(QIODevice::ReadOnly);
    const QByteArray content = file.readAll();
    figures.pdfBytes = content.size();
    figures.pages = PdfPages(content);
    figures.pngBytes = QFileInfo(png).size();
    // The program writes its own files, over the ones above.
    figures.load = RunChild(program, {"--export-sql", "--dsn", name, folder.filePath(name + ".sql")});
    figures.pdf = RunChild(program, {"--export", "--dsn", name, pdf});
    figures.png = RunChild(program, {"--export", "--dsn", name, png});
    return figures.load.ok && figures.pdf.ok && figures.png.ok && figures.pages > 0;
}

void PrintCount(int count, const CCountFigures &figures, const CCountFigures &baseline)
{
    const double msPerPage = figures.pdfCpu * 1000 / figures.pages;
    const double baseMsPerPage = baseline.pdfCpu * 1000 / baseline.pages;
    std::printf("%7d %6d %9.1f %7.2f %10.2f %8.0f %7.1f %8.2f | %8.2f %7.1f | %8.2f %8.2f %8.2f | %7.0f "
                "%7.0f %7.0f\n",
                count, figures.pages, figures.pdfBytes / 1e6, msPerPage, msPerPage / baseMsPerPage,
                double(figures.pdfBytes) / figures.pages, figures.TablesPerPage(), figures.pdfCpu, figures.pngCpu,
                figures.pngBytes / 1e6, figures.load.cpu, figures.pdf.cpu, figures.png.cpu,
                figures.load.peakMb, figures.pdf.peakMb, figures.png.peakMb);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && std::strcmp(argv[1], "--measure") == 0)
        return Measure(argv + 2);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CBenchOdbc odbc; // before any ODBC call, and inherited by the children
    QApplication app(argc, argv);

    std::vector<int> counts;
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../vellumix");
    QString keep;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--program") && i + 1 < argc)
            program = QString::fromLocal8Bit(argv[++i]);
        else if (argument == QLatin1String("--keep") && i + 1 < argc)
            keep = QString::fromLocal8Bit(argv[++i]);
        else
            counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty())
        counts = {100, 2000};
    QTemporaryDir scratch;
    const QDir folder(keep.isEmpty() ? scratch.path() : keep);
    if (!keep.isEmpty())
        QDir().mkpath(keep);

    std::printf("program: %s\nin this process, writing only (processor time): PDF ms per page, "
                "against the first count's;\nchild processes (whole run): processor seconds and "
                "peak MB; load: the SQL script, which draws nothing\n\n",
                qPrintable(QFileInfo(program).absoluteFilePath()));
    std::printf("%7s %6s %9s %7s %10s %8s %7s %8s | %8s %7s | %8s %8s %8s | %7s %7s %7s\n", "tables",
                "pages", "PDF MB", "ms/page", "ratio", "B/page", "tbl/pg", "PDF s", "PNG s", "PNG MB",
                "load s", "PDF s", "PNG s", "load MB", "PDF MB", "PNG MB");
    std::map<int, CCountFigures> results;
    for (int count : counts) {
        CCountFigures &figures = results[count];
        if (!MeasureCount(odbc, program, folder, count, figures))
            return 1;
        PrintCount(count, figures, results.at(counts.front()));
        std::fflush(stdout);
    }
    std::printf("\n");
    for (const auto &[count, figures] : results) {
        const std::string n = std::to_string(count);
        PrintHeadline("pdf_ms_per_page_" + n, figures.pdfCpu * 1000 / figures.pages, "ms");
        PrintHeadline("pdf_bytes_per_page_" + n, double(figures.pdfBytes) / figures.pages, "B");
        PrintHeadline("pdf_page_ratio_" + n,
                      (figures.pdfCpu / figures.pages)
                          / (results.at(counts.front()).pdfCpu / results.at(counts.front()).pages));
        // A page costs what stands on it: a larger diagram's arrangement
        // fills its pages more densely than a small one's few, partly
        // empty pages. Per table window on a page, the cost should not
        // grow at all.
        PrintHeadline("pdf_tables_per_page_" + n, figures.TablesPerPage());
        PrintHeadline("pdf_ms_per_page_table_" + n, figures.pdfCpu * 1000 / figures.tablesOnPages, "ms");
        PrintHeadline("pdf_bytes_per_page_table_" + n, double(figures.pdfBytes) / figures.tablesOnPages, "B");
        PrintHeadline("pdf_cpu_s_" + n, figures.pdfCpu, "s");
        PrintHeadline("pdf_process_cpu_s_" + n, figures.pdf.cpu, "s");
        PrintHeadline("pdf_mb_" + n, figures.pdfBytes / 1e6, "MB");
        PrintHeadline("png_peak_mb_" + n, figures.png.peakMb, "MB");
        PrintHeadline("png_peak_over_load_mb_" + n, figures.png.peakMb - figures.load.peakMb, "MB");
    }
    return 0;
}

#include "db/DbmsAdapter.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PdfPages.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"
#include "view/DiagramCells.h"
#include "view/DiagramOutput.h"
#include "view/DiagramPicture.h"
#include "view/DiagramPrinter.h"
#include "view/PrintSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// The pages printed here: A4 with half-inch margins, whose printable
// 7.27 x 10.69 inches make pages of 7 x 10 whole inches, 672 x 960
// diagram pixels. Rendered back at 96 dots per inch, a diagram pixel is a
// pixel and the margin 48 of them.
constexpr int kMargin = 48;
constexpr int kPageWidth = 672;
constexpr int kPageHeight = 960;

void UsePdfPrinter(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch));
}

int Ink(const QImage &image, const QRect &area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
}

// The share of the area's pixels that have about the colour.
double Share(const QImage &image, const QRect &area, const QColor &colour)
{
    int near = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            near += qAbs(qRed(pixel) - colour.red()) <= 3 && qAbs(qGreen(pixel) - colour.green()) <= 3
                            && qAbs(qBlue(pixel) - colour.blue()) <= 3
                        ? 1
                        : 0;
        }
    }
    return double(near) / (area.width() * area.height());
}

// Counts the paint events a widget receives.
class CPaintCounter : public QObject
{
public:
    explicit CPaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    QTemporaryDir m_files;
    std::unique_ptr<CSampleDiagram> m_sample;

    CDbView *View() const { return m_sample->View(); }
    CDoc *Doc() const { return m_sample->Doc(); }
    QPrinter &Printer() const { return View()->PrintSettings().Printer(); }
    QString FilePath(const QString &name) const { return m_files.filePath(name); }
    void SaveShot(const QString &name, const QImage &image) const
    {
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty())
            image.save(folder + "/" + name + ".png");
    }
    // Every table at the origin but the last, whose far corner is given.
    void PlaceFarCorner(const QPoint &far)
    {
        for (int i = 0; i < Doc()->TableCount(); ++i)
            Doc()->GetTable(i)->move(0, 0);
        CTableWnd *last = Doc()->GetTable(Doc()->TableCount() - 1);
        last->move(far - QPoint(last->width(), last->height()));
    }

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
    }
    void init()
    {
        m_sample = std::make_unique<CSampleDiagram>();
        QVERIFY(m_sample->Open());
    }
    void cleanup() { m_sample.reset(); }

    void pageGridReachesAsFarAsTheTables_data()
    {
        QTest::addColumn<QPoint>("farCorner");
        QTest::addColumn<QSize>("inches");
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::addColumn<int>("printed");
        QTest::newRow("tables reaching 1500 x 900 on 8 x 11 inches")
            << QPoint(1500, 900) << QSize(8, 11) << 2 << 1 << 2;
        QTest::newRow("ending on a page boundary") << QPoint(768, 1056) << QSize(8, 11) << 1 << 1 << 1;
        QTest::newRow("one pixel beyond it") << QPoint(769, 1057) << QSize(8, 11) << 2 << 2 << 4;
        // Nothing reaches the page below the tables at the origin.
        QTest::newRow("landscape pages") << QPoint(2000, 700) << QSize(11, 7) << 2 << 2 << 3;
    }
    void pageGridReachesAsFarAsTheTables()
    {
        QFETCH(QPoint, farCorner);
        QFETCH(QSize, inches);
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(int, printed);
        PlaceFarCorner(farCorner);
        CDiagramPrinter job(*View());
        QCOMPARE(job.PreparePrinting(inches), printed);
        QCOMPARE(View()->m_pagesAcross, across);
        QCOMPARE(View()->m_pagesDown, down);
    }

    void anEmptyDiagramPrintsOnePage()
    {
        const CAdapterList noEngines;
        CDoc empty(noEngines);
        CDbView view(&empty);
        CDiagramPrinter job(view);
        QCOMPARE(job.PreparePrinting(QSize(8, 11)), 1);
        QCOMPARE(view.m_pagesAcross, 1);
        QCOMPARE(view.m_pagesDown, 1);
    }

    // Left to right along the top row of the grid, then the next row; each
    // page shows only its own part of the diagram. Nothing reaches page 3,
    // below the tables at the origin: it is not printed.
    void pagesAreNumberedRowByRow()
    {
        PlaceFarCorner(QPoint(1500, 1100));
        CDiagramPrinter job(*View());
        QCOMPARE(job.PreparePrinting(QSize(8, 11)), 3);
        QCOMPARE(job.PagesToPrint(), std::vector<int>({1, 2, 4}));
        const QPoint origins[] = {{0, 0}, {768, 0}, {0, 1056}, {768, 1056}};
        QImage device(100, 100, QImage::Format_RGB32);
        for (int page = 1; page <= 4; ++page) {
            const QPoint origin = origins[page - 1];
            QPainter painter(&device);
            job.PreparePage(painter, device, page);
            QCOMPARE(painter.combinedTransform().map(origin), QPoint(0, 0));
            QCOMPARE(painter.clipBoundingRect().toRect(), QRect(origin, QSize(768, 1056)));
        }
    }

    void printSetupCancelledStillMeasuresAndRepaints()
    {
        // A4 without margins: 8.27 x 11.69 printable inches.
        Printer().setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                            QMarginsF(0, 0, 0, 0)));
        View()->m_pageInches[0] = 3;
        View()->m_pageInches[1] = 3;
        CPaintCounter paints(View()->Canvas());
        bool pageSetup = false;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *dialog) {
            pageSetup = qobject_cast<QPageSetupDialog *>(dialog) != nullptr;
            static_cast<QDialog *>(dialog)->reject();
        });
        QVERIFY(View()->OnCommand(Cmd::FilePrintSetup));
        QCOMPARE(dialogs.Handled(), 1);
        QVERIFY(pageSetup);
        QCOMPARE(View()->m_pageInches[0], 8);
        QCOMPARE(View()->m_pageInches[1], 11);
        QTRY_VERIFY(paints.count > 0);

        // The boundaries stand every 768 pixels across and 1056 down.
        View()->horizontalScrollBar()->setValue(700);
        View()->verticalScrollBar()->setValue(1000);
        const QImage shot = View()->viewport()->grab().toImage();
        auto greyAt = [&shot](int x, int y) { return shot.pixel(x, y) == qRgb(128, 128, 128); };
        int column = 0;
        int row = 0;
        for (int i = 0; i < 100; ++i) {
            column += greyAt(68, 100 + i) ? 1 : 0;
            row += greyAt(300 + i, 56) ? 1 : 0;
        }
        QVERIFY(column > 60);
        QVERIFY(row > 60);
    }

    // Printing without a dialog on a PDF printer: the sample reaches
    // x 1116, so it prints on two pages side by side, the second showing
    // the region right of the first; each table shows its caption and its
    // rows where the diagram has them, on its page.
    void printsTheDiagramOnPdfPages()
    {
        const QString path = FilePath("direct.pdf");
        UsePdfPrinter(Printer(), path);
        // A table is active with a row selected: the paper shows neither.
        QTest::keyClick(View(), Qt::Key_F6);
        QTest::keyClick(View(), Qt::Key_Down);
        QVERIFY(View()->m_pActiveTable && View()->m_pActiveTable->FirstSelected() >= 0);
        QVERIFY(View()->OnCommand(Cmd::FilePrintDirect));
        QCOMPARE(PdfPageCount(path), 2);
        const QImage pages[] = {RenderPdfPage(path, 1), RenderPdfPage(path, 2)};
        QCOMPARE(pages[0].size(), QSize(794, 1123));

        int checked = 0;
        for (int i = 0; i < Doc()->TableCount(); ++i) {
            const CTableWnd *table = Doc()->GetTable(i);
            const QRect window = table->geometry();
            const int column = window.left() / kPageWidth;
            if (column != window.right() / kPageWidth || window.bottom() >= kPageHeight)
                continue; // cut by a page edge
            const QImage &page = pages[column];
            const QPoint at = window.topLeft() + QPoint(kMargin - column * kPageWidth, kMargin);
            const QString name = QString::fromStdString(table->m_name);
            // The caption bar inside the border, mostly the shadow colour
            // around the icon and the name.
            const QRect bar(at + QPoint(3, 3), QSize(window.width() - 6, 18));
            QVERIFY2(Share(page, bar, table->palette().color(QPalette::Dark)) > 0.6,
                     qPrintable(name));
            const QPoint client = at + table->ClientRect().topLeft();
            // Each row's name in black on white, none inverted.
            for (int row = 0; row < table->ItemCount(); ++row) {
                const QRect band(client + QPoint(20, 15 * row), QSize(60, 15));
                const int ink = Ink(page, band);
                QVERIFY2(ink > 5 && ink < band.width() * band.height() / 2,
                         qPrintable(name + " row " + QString::number(row)));
            }
            ++checked;
        }
        QCOMPARE(checked, Doc()->TableCount());
        // The printable strip beyond page 1's seven inches stays blank: the
        // lines crossing into page 2 are not printed twice.
        QCOMPARE(Ink(pages[0], QRect(kMargin + kPageWidth + 1, kMargin, 20, kPageHeight)), 0);
    }

    // The level stretch of the line from order_line to product (x 660 to
    // 740 at y 134) runs from page 1 onto page 2, black on both.
    void linesPrintAlikeOnEveryPage()
    {
        const QString path = FilePath("pens.pdf");
        UsePdfPrinter(Printer(), path);
        QVERIFY(View()->OnCommand(Cmd::FilePrintDirect));
        const QImage pages[] = {RenderPdfPage(path, 1), RenderPdfPage(path, 2)};
        for (int x = 660; x <= 740; ++x) {
            if (qAbs(x - kPageWidth) <= 1) // the page edge
                continue;
            const QPoint at(x % kPageWidth + kMargin, 134 + kMargin);
            int darkest = 255;
            for (int dy = -1; dy <= 1; ++dy)
                darkest = qMin(darkest, qGray(pages[x / kPageWidth].pixel(at + QPoint(0, dy))));
            QVERIFY2(darkest < 64, qPrintable(QStringLiteral("x %1: grey %2").arg(x).arg(darkest)));
        }
    }

    // A full disk (a 64-byte file size limit, its signal ignored) leaves
    // the older file as it was.
    void aFullDiskKeepsTheOlderFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("saved diagram") << "old.vmx" << "Failed to save document.";
        QTest::newRow("printed PDF") << "old.pdf" << "Cannot write %1: File too large.";
    }
    void aFullDiskKeepsTheOlderFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        QFile older(path);
        QVERIFY(older.open(QIODevice::WriteOnly) && older.write("older") == 5);
        older.close();
        UsePdfPrinter(Printer(), path);
        CModalAnswerer answerer;
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit full{64, limit.rlim_max};
        const auto signal = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &full);
        const bool written = name.endsWith(".vmx") ? Doc()->OnSaveDocument(path)
                                                   : View()->PrintDiagram(Printer());
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, signal);
        QVERIFY(!written);
        QCOMPARE(answerer.texts, QStringList{message.arg(path)});
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("older"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    void printDialogPrintsToTheFileChosen()
    {
        UsePdfPrinter(Printer(), FilePath("preset.pdf"));
        const QString chosen = FilePath("chosen.pdf");
        bool offersPagesOrSelection = true;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *widget) {
            auto *dialog = qobject_cast<QPrintDialog *>(widget);
            QVERIFY(dialog);
            offersPagesOrSelection = dialog->testOption(QAbstractPrintDialog::PrintPageRange)
                                     || dialog->testOption(QAbstractPrintDialog::PrintSelection)
                                     || dialog->testOption(QAbstractPrintDialog::PrintCurrentPage);
            auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
            auto *fileName = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
            QVERIFY(printers && fileName);
            printers->setCurrentIndex(printers->findText(QStringLiteral("PDF"), Qt::MatchContains));
            fileName->setText(chosen);
            dialog->accept();
        });
        QVERIFY(View()->OnCommand(Cmd::FilePrint));
        QCOMPARE(dialogs.Handled(), 1);
        QVERIFY(!offersPagesOrSelection);
        QCOMPARE(PdfPageCount(chosen), 2);
        QVERIFY(!QFile::exists(FilePath("preset.pdf")));

        // Cancelled, it prints nothing.
        UsePdfPrinter(Printer(), FilePath("cancelled.pdf"));
        dialogs.Queue([](QWidget *dialog) { static_cast<QDialog *>(dialog)->reject(); });
        View()->OnCommand(Cmd::FilePrint);
        QCOMPARE(dialogs.Handled(), 2);
        QVERIFY(!QFile::exists(FilePath("cancelled.pdf")));
    }

    // The preview opens with as many pages as the settings say and keeps
    // the user's choice for the next time; it prints nothing itself.
    void previewShowsTheStoredNumberOfPages()
    {
        UsePdfPrinter(Printer(), FilePath("preview.pdf"));
        View()->PrintSettings().SetPreviewPages(2);
        QPrintPreviewWidget::ViewMode shownMode = QPrintPreviewWidget::AllPagesView;
        int shownPages = 0;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *widget) {
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(widget);
            QVERIFY(dialog);
            auto *preview = dialog->findChild<QPrintPreviewWidget *>();
            shownMode = preview->viewMode();
            shownPages = preview->pageCount();
            dialog->resize(1000, 760);
            QTest::qWait(50);
            SaveShot("print-preview", dialog->grab().toImage());
            // The user switches to one page at a time.
            auto *toolBar = dialog->findChild<QToolBar *>();
            auto *single = dialog->findChild<QAction *>(QStringLiteral("singleModeAction"));
            QVERIFY(toolBar && single);
            QTest::mouseClick(toolBar->widgetForAction(single), Qt::LeftButton);
            QTest::qWait(50);
            SaveShot("print-preview-single", dialog->grab().toImage());
            dialog->reject();
        });
        QVERIFY(View()->OnCommand(Cmd::FilePrintPreview));
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(shownMode, QPrintPreviewWidget::FacingPagesView);
        QCOMPARE(shownPages, 2);
        QCOMPARE(View()->PrintSettings().PreviewPages(), 1);
        QVERIFY(!QFile::exists(FilePath("preview.pdf")));
    }

    // Print Setup's orientation and "fit to N pages wide", chosen in the
    // dialog: a diagram 3000 pixels wide and 400 high, payment (whose line
    // leaves on its left) at the far right, spans exactly N pages across,
    // its right edge on the last page's edge and on the screen's page
    // boundary; without the fit it prints as many pages as it reaches.
    void printSetupFitsTheDiagramToPagesWide_data()
    {
        QTest::addColumn<int>("pagesWide");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("pages");
        QTest::newRow("fit to 1 page wide") << 1 << false << 1;
        QTest::newRow("fit to 3 pages wide") << 3 << false << 3;
        QTest::newRow("landscape, fit to 1 page wide") << 1 << true << 1;
        QTest::newRow("landscape, actual size: 10 inch pages") << 0 << true << 4;
    }
    void printSetupFitsTheDiagramToPagesWide()
    {
        QFETCH(int, pagesWide);
        QFETCH(bool, landscape);
        QFETCH(int, pages);
        const QString path = FilePath("fit.pdf");
        UsePdfPrinter(Printer(), path);
        PlaceFarCorner(QPoint(3000, 400));
        QCOMPARE(Doc()->GetTable(Doc()->TableCount() - 1)->Name(), std::string("payment"));
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *dialog) {
            auto *fit = dialog->findChild<QCheckBox *>(QStringLiteral("fitPagesWide"));
            auto *wide = dialog->findChild<QSpinBox *>(QStringLiteral("pagesWide"));
            auto *orientation = dialog->findChild<QRadioButton *>(
                landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
            QVERIFY(fit && wide && orientation);
            if (pagesWide > 0) {
                QTest::mouseClick(fit, Qt::LeftButton, {}, QPoint(5, fit->height() / 2));
                wide->setValue(pagesWide);
            }
            QTest::mouseClick(orientation, Qt::LeftButton, {}, QPoint(5, orientation->height() / 2));
            SaveShot("print-setup", dialog->grab().toImage());
            static_cast<QDialog *>(dialog)->accept();
        });
        QVERIFY(View()->OnCommand(Cmd::FilePrintSetup));
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(View()->m_pageInches[0], landscape ? 10 : 7);
        QVERIFY(View()->OnCommand(Cmd::FilePrintDirect));
        QCOMPARE(PdfPageCount(path), pages);
        const QImage last = RenderPdfPage(path, pages);
        SaveShot(QStringLiteral("print-fit-%1").arg(QTest::currentDataTag()), last);
        QCOMPARE(last.size(), landscape ? QSize(1123, 794) : QSize(794, 1123));
        if (pagesWide == 0)
            return;
        // The far table's right edge ends the last page's printable inches.
        const int edge = kMargin + 96 * View()->m_pageInches[0];
        QVERIFY(Ink(last, QRect(edge - 8, kMargin, 6, 200)) > 0);
        QCOMPARE(Ink(last, QRect(edge + 2, 0, last.width() - edge - 2, last.height())), 0);
        View()->horizontalScrollBar()->setValue(2600);
        const QImage shot = View()->viewport()->grab().toImage();
        int grey = 0;
        for (int y = 450; y < 550; ++y)
            grey += shot.pixel(3000 - View()->horizontalScrollBar()->value(), y) == qRgb(128, 128, 128);
        QVERIFY2(grey > 60, qPrintable(QString::number(grey)));
    }

    // Two unrelated tables far apart: of the 4 x 3 pages they reach, only
    // the two they stand on are printed.
    void pagesThatNothingMeetsAreNotPrinted()
    {
        for (int i = Doc()->TableCount() - 1; i >= 0; --i) {
            CTableWnd *table = Doc()->GetTable(i);
            if (table->Name() != "category" && table->Name() != "region") {
                View()->RemoveTable(table);
                delete table;
            }
        }
        Doc()->FindTable("category")->MoveTo(QPoint(0, 0));
        Doc()->FindTable("region")->MoveTo(QPoint(1400, 2000));
        const QString path = FilePath("apart.pdf");
        UsePdfPrinter(Printer(), path);
        QVERIFY(View()->OnCommand(Cmd::FilePrintDirect));
        QCOMPARE(PdfPageCount(path), 2);
        for (int page = 1; page <= 2; ++page)
            QVERIFY(Ink(RenderPdfPage(path, page), QRect(kMargin, kMargin, kPageWidth, kPageHeight)) > 100);
    }

    // A page or a band drawn from only what meets it looks exactly as the
    // whole diagram drawn there: the sample cut into cells of each size,
    // limited to the cell as a printed page is, or not as a band of a
    // picture is, also with the selected relationship's wider pen.
    void eachCellShowsWhatTheWholeDiagramShows_data()
    {
        QTest::addColumn<QSize>("cell");
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<bool>("clipped");
        QTest::addColumn<int>("selected");
        QTest::newRow("pages of 7 x 10 inches") << QSize(672, 960) << QPoint() << true << -1;
        QTest::newRow("pages of 2 x 1 inches") << QSize(192, 96) << QPoint() << true << -1;
        QTest::newRow("pages of 2 x 1 inches, selected")
            << QSize(192, 96) << QPoint() << true << 3;
        QTest::newRow("bands of 37 rows") << QSize(1200, 37) << QPoint(-16, -16) << false << 5;
        QTest::newRow("bands of 1 row, shifted") << QSize(1200, 1) << QPoint(3, 1) << false << -1;
    }
    void eachCellShowsWhatTheWholeDiagramShows()
    {
        QFETCH(QSize, cell);
        QFETCH(QPoint, origin);
        QFETCH(bool, clipped);
        QFETCH(int, selected);
        View()->m_selRelationship = selected;
        const QSize extent = CDiagramPrinter::TablesExtent(*View()) + QSize(32, 32);
        const int across = (extent.width() - origin.x()) / cell.width() + 1;
        const int down = (extent.height() - origin.y()) / cell.height() + 1;
        const CDiagramCells cells(*View(), origin, cell, across, down);
        const auto draw = [&](int index, const auto &drawing) {
            QImage image(cell, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            const QRectF rect = cells.CellRect(index);
            painter.translate(-rect.topLeft());
            if (clipped)
                painter.setClipRect(rect);
            drawing(painter);
            return image;
        };
        int met = 0;
        for (int index = 0; index < cells.Count(); ++index) {
            const QImage part = draw(index, [&](QPainter &painter) { cells.Draw(painter, index); });
            const QImage whole = draw(index, [&](QPainter &painter) { View()->DrawForPrint(painter); });
            QVERIFY2(part == whole, qPrintable(QStringLiteral("cell %1").arg(index)));
            // A cell that nothing meets is blank: such a page is not printed.
            met += cells.IsMet(index) ? 1 : 0;
            QVERIFY2(cells.IsMet(index) || whole == draw(index, [](QPainter &) {}),
                     qPrintable(QStringLiteral("cell %1 is not blank").arg(index)));
        }
        QVERIFY(met > 0);
    }

    // A PNG written band by band is the whole picture, pixel for pixel,
    // however thin the bands.
    void aPngInBandsIsTheWholePicture_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("one band") << 100000;
        QTest::newRow("bands of 61 rows") << 61;
        QTest::newRow("bands of 1 row") << 1;
    }
    void aPngInBandsIsTheWholePicture()
    {
        QFETCH(int, rows);
        const CDiagramPicture picture(*View());
        QImage whole(picture.Area().size(), QImage::Format_RGB32);
        QVERIFY(picture.Paint(whole));
        const QString path = FilePath("bands.png");
        CDiagramOutput output(*View(), QStringLiteral("sample"));
        output.SetBandBytes(qint64(rows) * whole.width() * 4);
        QVERIFY2(output.Write(path), qPrintable(output.ErrorText()));
        const QImage written(path);
        QCOMPARE(written.format(), QImage::Format_RGB32);
        QVERIFY(written == whole);
    }

    // A name cut at its window's edge keeps its whole text as the title of
    // its text in an SVG picture: the narrowed sales_order caption and the
    // long index name.
    void svgKeepsEveryWholeName()
    {
        CTableWnd *orders = Doc()->FindTable("sales_order");
        orders->resize(60, orders->height());
        const QString path = FilePath("names.svg");
        CDiagramOutput output(*View(), QStringLiteral("names"));
        QVERIFY2(output.Write(path), qPrintable(output.ErrorText()));
        if (qEnvironmentVariableIsSet("VELLUMIX_SHOT_DIR"))
            QFile::copy(path, qEnvironmentVariable("VELLUMIX_SHOT_DIR") + "/names.svg");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader reader(&file);
        QMap<QString, QString> cutOf;
        while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
            if (!reader.isStartElement() || reader.name() != QLatin1String("title"))
                continue;
            const QString whole = reader.readElementText();
            if (reader.readNextStartElement() && reader.name() == QLatin1String("text"))
                cutOf[whole] = reader.readElementText();
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        for (const QString whole : {"sales_order", "sqlite_autoindex_order_line_1"}) {
            QVERIFY2(cutOf.contains(whole), qPrintable(whole));
            QVERIFY(whole.startsWith(cutOf[whole]) && cutOf[whole].size() < whole.size());
        }
    }

    // A job that cannot be printed is refused with its reason, before any
    // page or preview.
    void refusedJobsSayWhyAndPrintNothing_data()
    {
        QTest::addColumn<double>("pageInches");
        QTest::addColumn<QPoint>("farTable");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("reason");
        QTest::newRow("page under an inch, printing")
            << 0.9 << QPoint() << int(Cmd::FilePrintDirect) << "less than one inch";
        QTest::newRow("page under an inch, preview")
            << 0.9 << QPoint() << int(Cmd::FilePrintPreview) << "less than one inch";
        QTest::newRow("a table far out")
            << 8.27 << QPoint(5000000, 0) << int(Cmd::FilePrintDirect) << "more than 2000";
    }
    void refusedJobsSayWhyAndPrintNothing()
    {
        QFETCH(double, pageInches);
        QFETCH(QPoint, farTable);
        QFETCH(int, command);
        QFETCH(QString, reason);
        const QString path = FilePath("refused.pdf");
        UsePdfPrinter(Printer(), path);
        Printer().setPageLayout(QPageLayout(QPageSize(QSizeF(pageInches, pageInches), QPageSize::Inch),
                                            QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        if (!farTable.isNull())
            Doc()->GetTable(0)->move(farTable);
        CModalAnswerer boxes;
        auto dialogs = CModalAnswerer::Dialogs();
        QVERIFY(View()->OnCommand(command));
        QCOMPARE(boxes.Count(), 1);
        QCOMPARE(boxes.LastTitle(), QStringLiteral("Vellumix"));
        QVERIFY2(boxes.LastText().contains(reason), qPrintable(boxes.LastText()));
        QCOMPARE(dialogs.Unexpected(), 0);
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"

#include "db/DbmsAdapter.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/SharedResources.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "view/DbView.h"

#include <QPainter>
#include <QtTest>

namespace {

constexpr int kRow = 15;

bool IsDark(QRgb pixel) { return qGray(pixel) < 96; }
bool IsWhite(QRgb pixel) { return qGray(pixel) > 224; }

} // namespace

// Table windows painted for real inside a view: the rows, the highlight of
// the active table's selection, the focus rectangle, the caption and the
// printed form. No database is needed: the rows are put in by hand.
class TestTableWndPaint : public QObject
{
    Q_OBJECT

    // No engine: the tables are made by hand, nothing connects.
    CAdapterList m_adapters;
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;
    CTableWnd *m_table = nullptr;

    QImage Grab() const { return m_table->grab().toImage(); }
    // A pixel of the table window's client area, in client coordinates.
    QRgb ClientPixel(const QImage &image, int x, int y) const
    {
        return image.pixel(m_table->ClientRect().topLeft() + QPoint(x, y));
    }
    int ClientWidth() const { return m_table->ClientRect().width(); }
    // A row shows inverted where it is otherwise blank: near its right end.
    bool RowInverted(const QImage &image, int row) const
    {
        return IsDark(ClientPixel(image, ClientWidth() - 4, row * kRow + 7));
    }
    QList<int> InvertedRows() const
    {
        const QImage image = Grab();
        QList<int> rows;
        for (int i = 0; i < m_table->ItemCount(); ++i)
            if (RowInverted(image, i))
                rows << i;
        return rows;
    }
    void Select(const QList<int> &rows)
    {
        m_table->ClearSelection();
        for (int row : rows)
            m_table->GetItem(row)->m_selected = true;
    }

private slots:
    void init()
    {
        m_doc = std::make_unique<CDoc>(m_adapters);
        m_view = std::make_unique<CDbView>(m_doc.get());
        m_table = new CTableWnd(m_doc.get(), "CUSTOMER");
        m_table->AppendItem(std::make_unique<CTableItem>(Column, "ID", "integer"));
        m_table->AppendItem(std::make_unique<CTableItem>(Column, "NAME", "char(30) N"));
        m_table->AppendItem(std::make_unique<CTableItem>(Column, "AMOUNT", "decimal(10, 2) N"));
        m_table->AppendItem(std::make_unique<CTableItem>(UniqueIndex, "PK"));
        m_table->AppendItem(std::make_unique<CTableItem>(IndexSegment, "ID"));
        m_table->AppendItem(std::make_unique<CTableItem>(Index, "BY_NAME"));
        m_table->AppendItem(std::make_unique<CTableItem>(IndexSegment, "NAME"));
        m_table->AppendItem(std::make_unique<CTableItem>(IndexSegment, "ID"));
        m_table->AppendItem(std::make_unique<CTableItem>(Trigger, "AUDIT"));
        m_table->AppendItem(std::make_unique<CTableItem>(UniqueIndex, "LONELY"));
        m_table->m_savedPos = QPoint(30, 20);
        m_doc->AppendTable(m_table);
        m_view->resize(400, 300);
        m_view->ShowTable(m_table);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup()
    {
        m_view.reset();
        m_doc.reset();
    }

    void highlightFollowsTheRowBlocks_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QList<int>>("inverted");
        QTest::newRow("one column") << QList<int>{1} << QList<int>{1};
        QTest::newRow("columns and trigger") << QList<int>{0, 2, 8} << QList<int>{0, 2, 8};
        QTest::newRow("unique index with its segment") << QList<int>{3} << QList<int>{3, 4};
        QTest::newRow("index with two segments") << QList<int>{5} << QList<int>{5, 6, 7};
        QTest::newRow("segment alone") << QList<int>{7} << QList<int>{};
        QTest::newRow("header and its segments flagged")
            << QList<int>{5, 6, 7} << QList<int>{5, 6, 7};
        // A header without segment rows has no block to invert.
        QTest::newRow("header without segments") << QList<int>{9} << QList<int>{};
    }
    void highlightFollowsTheRowBlocks()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, inverted);
        m_table->m_focus = 0;
        Select(selected);
        m_view->m_pActiveTable = m_table;
        m_table->update();
        if (qEnvironmentVariableIsSet("VELLUMIX_SHOT_DIR"))
            Grab().save(qEnvironmentVariable("VELLUMIX_SHOT_DIR") + "/table-"
                        + QTest::currentDataTag() + ".png");
        QCOMPARE(InvertedRows(), inverted);
    }

    void highlightStartsRightOfTheIcons()
    {
        Select({1});
        m_view->m_pActiveTable = m_table;
        const QImage image = Grab();
        QVERIFY(IsWhite(ClientPixel(image, 17, kRow + 7)));
        QVERIFY(IsDark(ClientPixel(image, 18, kRow + 7)));
    }

    void onlyTheActiveTableShowsSelectionAndActiveCaption()
    {
        Select({0, 1});
        const QPoint captionPoint(m_table->width() - 8, 4);
        m_view->m_pActiveTable = nullptr;
        QImage image = Grab();
        QCOMPARE(InvertedRows(), QList<int>{});
        QCOMPARE(QColor(image.pixel(captionPoint)).rgb(), m_table->palette().color(QPalette::Dark).rgb());

        m_view->m_pActiveTable = m_table;
        m_table->update();
        image = Grab();
        QCOMPARE(InvertedRows(), (QList<int>{0, 1}));
        QCOMPARE(QColor(image.pixel(captionPoint)).rgb(), m_table->palette().color(QPalette::Highlight).rgb());
    }

    // The focus rectangle's top edge sets every other pixel.
    void focusRectangleIsDottedAndOnlyInTheActiveTable()
    {
        m_table->ClearSelection();
        m_table->m_focus = 2;
        auto darkOnTopEdge = [this](const QImage &image) {
            int dark = 0;
            for (int x = 60; x < 100; ++x)
                dark += IsDark(ClientPixel(image, x, 2 * kRow)) ? 1 : 0;
            return dark;
        };
        m_view->m_pActiveTable = nullptr;
        QCOMPARE(darkOnTopEdge(Grab()), 0);
        m_view->m_pActiveTable = m_table;
        m_table->update();
        QCOMPARE(darkOnTopEdge(Grab()), 20);
        // Its outline lies on the row's last pixel column and last line,
        // and nothing of it one pixel further in.
        const QImage image = Grab();
        auto darkInRow = [&](int y) {
            int dark = 0;
            for (int x = 60; x < 100; ++x)
                dark += IsDark(ClientPixel(image, x, y)) ? 1 : 0;
            return dark;
        };
        auto darkInColumn = [&](int x) {
            int dark = 0;
            for (int y = 2 * kRow + 1; y < 3 * kRow - 1; ++y)
                dark += IsDark(ClientPixel(image, x, y)) ? 1 : 0;
            return dark;
        };
        QCOMPARE(darkInRow(3 * kRow - 1), 20);
        QCOMPARE(darkInRow(3 * kRow - 2), 0);
        QVERIFY(darkInColumn(ClientWidth() - 1) >= 6 && darkInColumn(ClientWidth() - 1) <= 7);
        QCOMPARE(darkInColumn(ClientWidth() - 2), 0);
    }

    // Only column rows have a description; it starts 120 pixels from the
    // client's left edge in the Attributes mode.
    void descriptionsStandAt120InAttributesMode()
    {
        m_view->OnCommand(Cmd::ViewAttributes);
        QCOMPARE(m_table->width(), 200);
        const QImage image = Grab();
        auto darkInBand = [&](int row, int from, int to) {
            int dark = 0;
            for (int x = from; x < to; ++x)
                for (int y = row * kRow; y < row * kRow + kRow; ++y)
                    dark += IsDark(ClientPixel(image, x, y)) ? 1 : 0;
            return dark;
        };
        QVERIFY(darkInBand(0, 120, 124) > 0);        // "integer"
        QCOMPARE(darkInBand(0, 100, 120), 0);
        QCOMPARE(darkInBand(3, 100, ClientWidth()), 0); // index header
        QCOMPARE(darkInBand(8, 110, ClientWidth()), 0); // trigger
    }

    // A key column is told by its underlined name in every mode that shows
    // rows; nothing else of the window changes.
    void keyColumnNamesAreUnderlined_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("schema") << int(Cmd::ViewSchema);
        QTest::newRow("attributes") << int(Cmd::ViewAttributes);
    }
    void keyColumnNamesAreUnderlined()
    {
        QFETCH(int, mode);
        m_view->OnCommand(mode);
        const QImage plain = Grab();
        m_table->GetItem(0)->m_key = true;
        m_table->update();
        const QImage keyed = Grab();
        if (qEnvironmentVariableIsSet("VELLUMIX_SHOT_DIR"))
            keyed.save(qEnvironmentVariable("VELLUMIX_SHOT_DIR") + "/table-key-" + QTest::currentDataTag()
                       + ".png");
        QList<int> changedRows;
        int underline = 0;
        const QPoint client = m_table->ClientRect().topLeft();
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                if (plain.pixel(x, y) != keyed.pixel(x, y)) {
                    const int row = (y - client.y()) / kRow;
                    if (!changedRows.contains(row))
                        changedRows << row;
                    // The line runs under the name, right of the icon.
                    underline += x - client.x() >= 20 && (y - client.y()) % kRow >= kRow / 2 ? 1 : 0;
                }
        QCOMPARE(changedRows, QList<int>{0});
        QVERIFY2(underline >= 10, qPrintable(QString::number(underline)));
    }

    // Printed, the table shows neither selection nor focus nor the active
    // caption colour, at its place in the diagram.
    void printedTableIsPlainAtItsPlace()
    {
        Select({0, 1});
        m_view->m_pActiveTable = m_table;
        QImage page(400, 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            CDbView::ApplyDiagramMapping(painter, page);
            m_view->DrawForPrint(painter);
        }
        const QPoint at = m_table->pos();
        QCOMPARE(QColor(page.pixel(at + QPoint(m_table->width() - 8, 4))).rgb(),
                 m_table->palette().color(QPalette::Dark).rgb());
        const QPoint client = at + m_table->ClientRect().topLeft();
        QVERIFY(IsWhite(page.pixel(client + QPoint(ClientWidth() - 4, 7))));
        QVERIFY(IsWhite(page.pixel(client + QPoint(ClientWidth() - 4, kRow + 7))));
        QCOMPARE(m_table->m_drawOrigin, QPoint());
        // The printed window looks like the one on screen when inactive.
        m_view->m_pActiveTable = nullptr;
        m_table->update();
        const QImage screen = Grab();
        QCOMPARE(page.copy(QRect(at, m_table->size())).convertToFormat(QImage::Format_RGB32),
                 screen.convertToFormat(QImage::Format_RGB32));
    }

    void rowImagesAreDrawnAndTransparent()
    {
        for (int i = 0; i < Shared::kImageCount; ++i) {
            const QImage image = Shared::DbImage(i).toImage();
            QCOMPARE(image.size(), QSize(16, 16));
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            int opaque = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
            if (i == IndexSegment)
                QCOMPARE(opaque, 0);
            else
                QVERIFY2(opaque > 20, qPrintable(QString::number(i)));
        }
    }
};

QTEST_MAIN(TestTableWndPaint)
#include "tst_tablewndpaint.moc"

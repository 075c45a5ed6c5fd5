#include "diagram/TableWnd.h"
#include "dialogs/IndexDlg.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "grid/GridListColumn.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/TableRows.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QToolTip>
#include <QtTest>

#include <memory>

using namespace DialogInput;
using namespace TableRows;

namespace {

const char *const kShopSql = R"(
create table item(id integer not null, sku varchar(20), name varchar(40), qty integer, price numeric(10,2));
create unique index item_pk on item(id);
create index item_by_qty on item(qty, id);
create trigger item_check after insert on item begin select 1; end;
insert into item values (1, 'A-1', 'Hammer', 3, 1.5), (2, 'A-2', 'Saw', 4, 2.5);
)";

QList<int> SelectedRows(const CTableWnd *table)
{
    QList<int> rows;
    for (int i = 0; const CTableItem *item = table->GetItem(i); ++i)
        if (item->m_selected)
            rows << i;
    return rows;
}

} // namespace

// The Index dialog on SQLite, driven by clicks and keys.
class TestIndexDlg : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram;
    std::unique_ptr<CIndexDlg> m_dialog;

    CTableWnd *Item() const { return m_diagram.Table("item"); }
    CGridCtrl *Grid() const { return m_dialog->findChild<CGridCtrl *>(); }
    CGridListColumn *ColumnList() const { return m_dialog->findChild<CGridListColumn *>(); }
    QLineEdit *Name() const { return m_dialog->findChild<QLineEdit *>("indexName"); }
    QCheckBox *Box(const char *name) const { return m_dialog->findChild<QCheckBox *>(name); }
    QString Cell(int row, int column) const { return Grid()->GetItemText(row, column); }

    // Selects the named column rows, the first with a plain click.
    void SelectColumns(const QStringList &columns)
    {
        for (int i = 0; i < columns.size(); ++i)
            m_diagram.Click(Item(), RowOf(Item(), Column, qPrintable(columns[i])),
                            i == 0 ? Qt::NoModifier : Qt::ControlModifier);
    }
    bool OpenDialog()
    {
        m_dialog = std::make_unique<CIndexDlg>(Item());
        m_dialog->show();
        return WaitActive(m_dialog.get());
    }
    QStringList SegmentColumn() const
    {
        QStringList cells;
        for (int row = 0; row < Grid()->GetItemCount() && !Cell(row, 0).isEmpty(); ++row)
            cells << Cell(row, 0) + "|" + Cell(row, 1);
        return cells;
    }
    QString Database() const { return m_sandbox.DatabasePath("Shop"); }

private slots:
    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
        QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Shop")));
    }
    void cleanup()
    {
        m_dialog.reset();
        m_diagram.Close();
    }

    void selectedColumnsAreTheFirstSegments_data()
    {
        QTest::addColumn<QStringList>("clicked");
        QTest::addColumn<QStringList>("segments");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("three columns, in table order")
            << QStringList{"price", "sku", "qty"} << QStringList{"sku|", "qty|", "price|"}
            << QStringList{"id", "name"};
        QTest::newRow("none") << QStringList{} << QStringList{}
                              << QStringList{"id", "name", "price", "qty", "sku"};
    }
    void selectedColumnsAreTheFirstSegments()
    {
        QFETCH(QStringList, clicked);
        QFETCH(QStringList, segments);
        QFETCH(QStringList, offered);
        SelectColumns(clicked);
        QVERIFY(OpenDialog());
        QCOMPARE(SegmentColumn(), segments);
        QVERIFY(Grid()->GetItemCount() > segments.size());
        QCOMPARE(Cell(segments.size(), 0), QString());
        QCOMPARE(Choices(ColumnList()), offered);
    }

    // A row opens once the row above names a column, its Sort once the row
    // itself does.
    void segmentsAreEnteredFromTheTop()
    {
        QVERIFY(OpenDialog());
        OpenCell(Grid(), 0, 1);
        QCOMPARE(Cell(0, 1), QString());
        OpenCell(Grid(), 1, 0);
        QVERIFY(!ColumnList()->isVisible());

        Choose(Grid(), ColumnList(), 0, "qty");
        QCOMPARE(Cell(0, 0), QStringLiteral("qty"));
        OpenCell(Grid(), 0, 1);
        QCOMPARE(Cell(0, 1), QStringLiteral("1"));
        OpenCell(Grid(), 0, 1);
        QCOMPARE(Cell(0, 1), QStringLiteral("0"));
        OpenCell(Grid(), 1, 0);
        QVERIFY(ColumnList()->isVisible());

        Type(Name(), "item_by_qty_name");
        Tick(Box("unique"));
        OpenCell(Grid(), 1, 0);
        QVERIFY(ColumnList()->isVisible());
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty())
            QVERIFY(m_dialog->grab().save(folder + "/index-dialog.png"));
    }

    // The rows the dialog appends are those a reload reads, and the engine
    // holds the index as it was entered: sku ascending, name descending,
    // the pair unique.
    void uniqueIndexWithDescendingSegment()
    {
        CTableWnd *item = Item();
        SelectColumns({"sku"});
        const int rowsBefore = item->ItemCount();
        const int heightBefore = item->height();
        QVERIFY(OpenDialog());
        Type(Name(), "item_by_sku_name");
        Choose(Grid(), ColumnList(), 1, "name");
        OpenCell(Grid(), 1, 1);
        Tick(Box("unique"));
        m_diagram.MarkLog();
        Press(m_dialog.get(), "Create");

        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_diagram.ChangesSinceMark().size(), 1);
        // The new index stands after the indexes there were, before the
        // triggers, where a reload puts it.
        const int header = TableRows::RowOf(item, UniqueIndex, "item_by_sku_name");
        QVERIFY(header >= 0);
        QCOMPARE(Names(item).mid(header, 3), (QStringList{"item_by_sku_name", "sku", "name"}));
        QCOMPARE(item->ItemCount(), rowsBefore + 3);
        QCOMPARE(item->m_focus, header);
        QCOMPARE(SelectedRows(item), QList<int>{header});
        QCOMPARE(item->height(), heightBefore + 3 * 15);
        QCOMPARE(Blocks(item), CatalogBlocks(m_diagram.Doc(), "item"));

        QCOMPARE(QuerySqlite(Database(), "select name, desc from pragma_index_xinfo('item_by_sku_name') where key;"),
                 QStringLiteral("'sku',0\n'name',1\n"));
        QVERIFY(m_diagram.Session().Execute("insert into item values (3, 'A-1', 'Hammer', 1, 1)") < 0);
        m_diagram.Session().CloseStatement();
        QVERIFY(m_diagram.Session().Execute("insert into item values (3, 'A-1', 'Claw hammer', 1, 1)") >= 0);
        m_diagram.Session().CloseStatement();
    }

    // Every refusal is shown under "Error"; the dialog stays open with what
    // was entered and the table window is unchanged. Input errors send
    // nothing at all.
    void refusalsKeepTheDialog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("sent");
        QTest::newRow("no name") << "" << QStringList{"qty"} << "The index name is missing" << false;
        QTest::newRow("no segment") << "by_nothing" << QStringList{} << "You must specify at least one segment"
                                    << false;
        QTest::newRow("name taken") << "item_by_qty" << QStringList{"name"} << "index item_by_qty already exists"
                                    << true;
    }
    void refusalsKeepTheDialog()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, selected);
        QFETCH(QString, message);
        QFETCH(bool, sent);
        SelectColumns(selected);
        const QStringList rows = Names(Item());
        QVERIFY(OpenDialog());
        Type(Name(), name);
        m_diagram.MarkLog();
        CModalAnswerer answerer;
        Press(m_dialog.get(), "Create");

        QCOMPARE(answerer.Count(), 1);
        QCOMPARE(answerer.LastTitle(), QStringLiteral("Error"));
        QCOMPARE(answerer.icons.last(), QMessageBox::Critical);
        QVERIFY2(answerer.LastText().contains(message), qPrintable(answerer.LastText()));
        QCOMPARE(m_diagram.SentSinceMark().size(), sent ? 1 : 0);
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(Name()->text(), name);
        QCOMPARE(SegmentColumn().size(), selected.size());
        QCOMPARE(Names(Item()), rows);
    }

    // SQLite has neither option: they cannot be ticked, and their tooltips
    // say why.
    void optionsTheEngineLacksAreDisabled()
    {
        QVERIFY(OpenDialog());
        QVERIFY(Box("unique")->isEnabled());
        const QList<QPair<const char *, QString>> lacking = {
            {"modifiable", "SQLite has no modifiable indexes."},
            {"notNull", "SQLite has no Not Null option for indexes."}};
        for (const auto &[name, reason] : lacking) {
            QCheckBox *box = Box(name);
            QVERIFY(!box->isEnabled());
            Tick(box);
            QVERIFY(!box->isChecked());
            QHelpEvent help(QEvent::ToolTip, box->rect().center(), box->mapToGlobal(box->rect().center()));
            QApplication::sendEvent(box, &help);
            QTRY_COMPARE(QToolTip::text(), reason);
        }
    }
};

QTEST_MAIN(TestIndexDlg)
#include "tst_indexdlg.moc"

#include "diagram/TableWnd.h"
#include "dialogs/IndexDlg.h"
#include "dialogs/TriggerDlg.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "grid/GridListColumn.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"
#include "tests/support/TableRows.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace DialogInput;
using namespace TableRows;

namespace {

const char *const kShopSql = R"(
create table item (id integer primary key, sku varchar(20), name varchar(40), qty integer);
create index item_by_qty on item (qty);
insert into item values (1, 'A-1', 'Hammer', 3), (2, 'A-2', 'Saw', 4);
create table audit (item_id integer, note text);
)";

} // namespace

// The Index and Trigger dialogs on a PostgreSQL server, driven by clicks
// and keys: the options the server lacks are greyed, and what the dialogs
// add to the table window is what the catalog then holds.
class TestPostgresDialogs : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    CDiagramDriver m_diagram;

    CTableWnd *Item() const { return m_diagram.Table("item"); }
    QStringList Rows(const char *sql) { return FirstColumnRows(m_diagram.Session(), sql); }
    // Shows the dialog, lets fill enter its input, presses Create and
    // reports what the user saw.
    QStringList Create(QDialog *dialog, const std::function<void()> &fill)
    {
        dialog->show();
        if (!WaitActive(dialog))
            return {"the dialog did not become active"};
        fill();
        CModalAnswerer answerer;
        Press(dialog, "Create");
        return answerer.texts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
    }

    void init()
    {
        QVERIFY2(m_database.Recreate() && m_database.Run(kShopSql), qPrintable(m_database.Error()));
        QVERIFY(m_diagram.Open(m_database.ConnectionString()));
    }
    void cleanup() { m_diagram.Close(); }

    void uniqueIndexWithDescendingSegment()
    {
        CTableWnd *item = Item();
        m_diagram.Click(item, RowOf(item, Column, "sku"));
        CIndexDlg dialog(item);
        const QStringList errors = Create(&dialog, [&dialog] {
            for (const char *lacking : {"modifiable", "notNull"})
                QVERIFY(!dialog.findChild<QCheckBox *>(lacking)->isEnabled());
            QCOMPARE(dialog.findChild<QCheckBox *>("modifiable")->toolTip(),
                     QStringLiteral("PostgreSQL has no modifiable indexes."));
            Type(dialog.findChild<QLineEdit *>("indexName"), "item by sku, name");
            auto *grid = dialog.findChild<CGridCtrl *>();
            Choose(grid, dialog.findChild<CGridListColumn *>(), 1, "name");
            OpenCell(grid, 1, 1);
            Tick(dialog.findChild<QCheckBox *>("unique"));
        });
        QCOMPARE(errors, QStringList());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Blocks(item), CatalogBlocks(m_diagram.Doc(), "item"));
        QCOMPARE(Names(item).mid(Names(item).size() - 3), (QStringList{"item by sku, name", "sku", "name"}));
        QCOMPARE(Rows("select indexdef from pg_indexes where indexname = 'item by sku, name'"),
                 QStringList{"CREATE UNIQUE INDEX \"item by sku, name\" ON public.item USING btree (sku, name DESC)"});
        QVERIFY(m_diagram.Session().Execute("insert into item values (3, 'A-1', 'Hammer', 1)") < 0);
        m_diagram.Session().CloseStatement();
    }

    void conditionalTriggerFiresOnInsert()
    {
        CTableWnd *item = Item();
        CTriggerDlg dialog(item);
        const QStringList errors = Create(&dialog, [&dialog] {
            QVERIFY(!dialog.findChild<QLineEdit *>("firingOrder")->isEnabled());
            Type(dialog.findChild<QLineEdit *>("triggerName"), "item audit");
            Tick(dialog.findChild<QRadioButton *>("after"));
            Type(dialog.findChild<QPlainTextEdit *>("condition"), "NEW.qty > 10");
            Type(dialog.findChild<QPlainTextEdit *>("body"),
                 "INSERT INTO audit VALUES (NEW.id, 'big');\nINSERT INTO audit VALUES (NEW.id, 'again');\n");
        });
        QCOMPARE(errors, QStringList());
        QCOMPARE(Names(item).last(), QStringLiteral("item audit"));
        QCOMPARE(Names(item), CatalogNames(m_diagram.Doc(), "item"));
        QCOMPARE(Rows("insert into item values (5, 'B-5', 'Vice', 20), (6, 'B-6', 'Clamp', 1)"), QStringList());
        QCOMPARE(Rows("select item_id || ' ' || note from audit"), (QStringList{"5 big", "5 again"}));
    }
};

QTEST_MAIN(TestPostgresDialogs)
#include "tst_postgresdialogs.moc"

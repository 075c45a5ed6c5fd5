#include "db/Dialect.h"
#include "db/sqlite/SqliteDefinitions.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "tests/support/DialogInput.h"
#include "tests/support/EngineDiagram.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"
#include "tests/support/TableRows.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>

using namespace DialogInput;
using namespace TableRows;

namespace {

// Both engines read the same script. The partial index is one the Index
// dialog cannot show whole.
const char *const kShopSql = R"(
create table item (id integer primary key, sku varchar(20), qty integer);
insert into item values (1, 'A-1', 3), (2, 'A-2', 4);
create unique index "item by sku" on item (sku desc, qty);
create index item_part on item (qty) where qty > 0;
create table audit (item_id integer, note varchar(40));
)";

// Replacing a trigger on PostgreSQL drops the trigger but not its
// function, so the function of the new one cannot take the same name; the
// dialect has to drop the old function within the replacement.
const char *const kOldFunctionStays = "the replaced trigger's function is not dropped yet";

const char *const kItemRows = "select id || ' ' || sku || ' ' || qty from item order by id";

QString Text(const std::string &text) { return QString::fromStdString(text); }

// Presses Replace and gives the messages it raised; a dialog that stays
// open after them is cancelled, so that no test waits on it.
QStringList Replace(QWidget *dialog)
{
    CModalAnswerer boxes;
    Press(dialog, "Replace");
    if (dialog->isVisible())
        static_cast<QDialog *>(dialog)->reject();
    return boxes.texts;
}

// A definition as one line, to compare whole.
QString Described(const CCreateIndex &index)
{
    QStringList segments;
    for (const CIndexSegment &segment : index.m_segments)
        segments << Text(segment.m_column) + (segment.m_descending ? " desc" : "");
    return (index.m_unique ? "unique: " : "") + segments.join(", ");
}

QString Described(const CCreateTrigger &trigger)
{
    static const char *const events[] = {"insert", "update", "delete"};
    return QStringLiteral("%1 %2 | %3 | %4")
        .arg(trigger.m_timing == TriggerTiming::After ? "after" : "before",
             events[static_cast<int>(trigger.m_event)], Text(trigger.m_condition), Text(trigger.m_body));
}

} // namespace

// Edit Index and Edit Trigger as a user reaches them, with the engine as a
// column: a double-click opens the dialog filled as the catalog holds the
// object, and its Replace swaps it in one go, keeping its row and every
// row of the table.
class TestEditIndexAndTrigger : public QObject
{
    Q_OBJECT

    CEngineDiagram m_shop;

    CDiagramDriver &Diagram() const { return m_shop.Diagram(); }
    CTableWnd *Item() const { return Diagram().Table("item"); }
    QStringList Rows(const char *sql) const { return FirstColumnRows(Diagram().Session(), sql); }

    // The shop with a trigger as Create Trigger makes it.
    bool OpenShop(const QString &engine)
    {
        const CCreateTrigger trigger{"item audit", "item", TriggerTiming::After, TriggerEvent::Insert, "",
                                     "new.qty > 10", "insert into audit values (new.id, 'big');"};
        if (!m_shop.Open(engine, kShopSql) || ApplySchemaChange(Diagram().Session(), trigger) != 0)
            return false;
        Item()->LoadSchema();
        Item()->FitToContents();
        return true;
    }
    // Double-clicks the row as a screen delivers it: a click, then the
    // double-click event. The dialog it opens goes to the handler.
    int DoubleClick(int kind, const char *name, const CModalAnswerer::Handler &handler)
    {
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&handler](QWidget *dialog) {
            QVERIFY(WaitActive(dialog));
            handler(dialog);
        });
        const QPoint point = RowPoint(Item(), RowOf(Item(), kind, name));
        QTest::mouseClick(Item(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(Item(), Qt::LeftButton, {}, point);
        return dialogs.Handled();
    }

private slots:
    void initTestCase() { QVERIFY2(m_shop.IsReady(), qPrintable(m_shop.Error())); }
    void cleanup() { Diagram().Close(); }

    void engines_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("indexQuery");
        QTest::addColumn<QString>("indexAfter");
        QTest::newRow("SQLite") << "SQLite"
                                << "select (select \"unique\" from pragma_index_list('item') where name = "
                                   "'item by sku') || ':' || group_concat(name || ' ' || desc) from "
                                   "pragma_index_xinfo('item by sku') where key"
                                << "0:sku 0,qty 0";
        QTest::newRow("PostgreSQL") << "PostgreSQL"
                                    << "select indexdef from pg_indexes where indexname = 'item by sku'"
                                    << "CREATE INDEX \"item by sku\" ON public.item USING btree (sku, qty)";
    }

    void editIndex_data() { engines_data(); }
    void editIndex()
    {
        QFETCH(QString, engine);
        QFETCH(QString, indexQuery);
        QFETCH(QString, indexAfter);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        const QStringList rows = Rows(kItemRows);
        const QStringList names = Names(Item());
        QStringList shown, errors;
        const int handled = DoubleClick(UniqueIndex, "item by sku", [&](QWidget *dialog) {
            auto *grid = dialog->findChild<CGridCtrl *>();
            auto *unique = dialog->findChild<QCheckBox *>("unique");
            shown << dialog->findChild<QLineEdit *>("indexName")->text() << (unique->isChecked() ? "unique" : "");
            for (int row = 0; row < 3; ++row)
                shown << grid->GetItemText(row, 0) + " " + grid->GetItemText(row, 1);
            Tick(unique);
            OpenCell(grid, 0, 1);
            errors = Replace(dialog);
        });
        QCOMPARE(handled, 1);
        QCOMPARE(shown, (QStringList{"item by sku", "unique", "sku 1", "qty ", " "}));
        QCOMPARE(errors, QStringList());
        QCOMPARE(Rows(qPrintable(indexQuery)), QStringList{indexAfter});
        QCOMPARE(Rows(kItemRows), rows);
        QCOMPARE(Names(Item()), names);
        QCOMPARE(Blocks(Item()), CatalogBlocks(Diagram().Doc(), "item"));
        QCOMPARE(Item()->GetItem(RowOf(Item(), Index, "item by sku"))->m_selected, true);
    }

    // A new condition and a second statement: the trigger keeps its row
    // and fires its new body only.
    void editTrigger_data() { engines_data(); }
    void editTrigger()
    {
        QFETCH(QString, engine);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        const QStringList names = Names(Item());
        QStringList shown, errors;
        const int handled = DoubleClick(Trigger, "item audit", [&](QWidget *dialog) {
            auto *condition = dialog->findChild<QPlainTextEdit *>("condition");
            auto *body = dialog->findChild<QPlainTextEdit *>("body");
            shown << dialog->windowTitle() << dialog->findChild<QLineEdit *>("triggerName")->text()
                  << QString::number(dialog->findChild<QRadioButton *>("after")->isChecked())
                  << QString::number(dialog->findChild<QRadioButton *>("insert")->isChecked())
                  << condition->toPlainText() << body->toPlainText();
            Type(condition, "0");
            Type(body, "\ninsert into audit values (new.id, 'again');");
            errors = Replace(dialog);
        });
        QCOMPARE(handled, 1);
        QCOMPARE(shown, (QStringList{"Edit Trigger", "item audit", "1", "1", "new.qty > 10",
                                     "insert into audit values (new.id, 'big');"}));
        if (engine == "PostgreSQL")
            QEXPECT_FAIL("", kOldFunctionStays, Abort);
        QCOMPARE(errors, QStringList());
        QCOMPARE(Names(Item()), names);
        QCOMPARE(Names(Item()), CatalogNames(Diagram().Doc(), "item"));
        Rows("insert into item values (5, 'B-5', 20), (6, 'B-6', 200)");
        QCOMPARE(Rows("select item_id || ' ' || note from audit"), (QStringList{"6 big", "6 again"}));
    }

    // The engine refuses the new body: the dialog stays with what was typed
    // and the old trigger still fires its old body.
    void refusedReplacementKeepsTheOld_data() { engines_data(); }
    void refusedReplacementKeepsTheOld()
    {
        QFETCH(QString, engine);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        QStringList seen;
        const QString typed = "insert into audit values (new.id, 'big');\ninsert into audit valuess (1);";
        DoubleClick(Trigger, "item audit", [&](QWidget *dialog) {
            auto *body = dialog->findChild<QPlainTextEdit *>("body");
            Type(body, "\ninsert into audit valuess (1);");
            CModalAnswerer boxes;
            Press(dialog, "Replace");
            seen << boxes.texts << QString::number(dialog->isVisible()) << body->toPlainText();
            static_cast<QDialog *>(dialog)->reject();
        });
        QCOMPARE(seen.size(), 3);
        if (engine == "PostgreSQL")
            QEXPECT_FAIL("", kOldFunctionStays, Continue);
        QVERIFY2(seen[0].contains("valuess"), qPrintable(seen[0]));
        QCOMPARE(seen.mid(1), (QStringList{"1", typed}));
        QCOMPARE(Names(Item()), CatalogNames(Diagram().Doc(), "item"));
        Rows("insert into item values (7, 'C-7', 20)");
        QCOMPARE(Rows("select item_id || ' ' || note from audit"), QStringList{"7 big"});
    }

    // What the dialog cannot show whole, or what belongs to the table's own
    // definition, is refused before the dialog opens, saying why.
    void unshownIndexIsRefused_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("reason");
        QTest::newRow("SQLite partial") << "SQLite" << int(Index) << "item_part" << "WHERE clause";
        QTest::newRow("PostgreSQL partial") << "PostgreSQL" << int(Index) << "item_part" << "WHERE clause";
        QTest::newRow("SQLite row id key") << "SQLite" << int(UniqueIndex) << "rowid key" << "edited with the table";
        QTest::newRow("PostgreSQL key") << "PostgreSQL" << int(UniqueIndex) << "item_pkey" << "edited with the table";
    }
    void unshownIndexIsRefused()
    {
        QFETCH(QString, engine);
        QFETCH(int, kind);
        QFETCH(QString, index);
        QFETCH(QString, reason);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        CModalAnswerer boxes;
        QCOMPARE(DoubleClick(kind, qPrintable(index), [](QWidget *) {}), 0);
        QCOMPARE(boxes.Count(), 1);
        QVERIFY2(boxes.LastText().contains(reason), qPrintable(boxes.LastText()));
    }

    // SQLite's stored texts as anyone may have written them.
    void sqliteTexts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("read");
        QTest::newRow("quoted names, schema, comments")
            << "CREATE UNIQUE INDEX IF NOT EXISTS main.\"odd \"\"name\"\"\" ON [item] (/* a ( */ \"sku\" DESC,"
               " `qty` -- x)\n)"
            << "unique: sku desc, qty";
        QTest::newRow("expression") << "create index i on item(lower(sku))" << "refused";
        QTest::newRow("collation") << "create index i on item(sku collate nocase asc)" << "refused";
        QTest::newRow("trigger with a bracketed condition")
            << "CREATE TEMP TRIGGER \"t \"\"q\"\"\" AFTER UPDATE ON \"item\" FOR EACH ROW WHEN new.qty > (select 1)"
               " BEGIN\n  update audit set note = 'x'; -- begin end\nEND"
            << "after update | new.qty > (select 1) |   update audit set note = 'x'; -- begin end";
        QTest::newRow("trigger without timing, CASE in the condition")
            << "create trigger t delete on item when case when old.qty then 1 end begin select 1; end;"
            << "before delete | case when old.qty then 1 end | select 1;";
        QTest::newRow("instead of") << "create trigger t instead of insert on v begin select 1; end" << "refused";
        QTest::newRow("update of") << "create trigger t update of qty on item begin select 1; end" << "refused";
    }
    void sqliteTexts()
    {
        QFETCH(QString, sql);
        QFETCH(QString, read);
        const std::string text = sql.toStdString();
        CCreateIndex index;
        CCreateTrigger trigger;
        const bool isIndex = sql.contains("index", Qt::CaseInsensitive);
        const std::string why = isIndex ? SqliteDefinitions::ParseIndex(text, index)
                                        : SqliteDefinitions::ParseTrigger(text, trigger);
        QCOMPARE(why.empty() ? (isIndex ? Described(index) : Described(trigger)) : "refused", read);
    }
};

QTEST_MAIN(TestEditIndexAndTrigger)
#include "tst_editindexandtrigger.moc"

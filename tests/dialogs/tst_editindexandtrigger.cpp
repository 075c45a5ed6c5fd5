#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "diagram/TableWnd.h"
#include "grid/GridCtrl.h"
#include "tests/support/DialogInput.h"
#include "tests/support/EngineDiagram.h"
#include "tests/support/MariaDatabase.h"
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

// MariaDB has no partial index.
const char *const kPartialIndex = "create index item_part on item (qty) where qty > 0;\n";

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
    return QStringLiteral("%1 %2 | %3 | %4")
        .arg(trigger.m_timing == TriggerTiming::After ? "after" : "before",
             QStringList{"insert", "update", "delete"}[static_cast<int>(trigger.m_event)],
             Text(trigger.m_condition), Text(trigger.m_body));
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
    // MariaDB reads || as OR.
    const char *ItemRows() const
    {
        return m_shop.Engine() == "MariaDB" ? "select concat_ws(' ', id, sku, qty) from item order by id" : kItemRows;
    }

    // The shop with a trigger as Create Trigger makes it; MariaDB has no
    // row condition.
    bool OpenShop(const QString &engine)
    {
        const bool maria = engine == "MariaDB";
        const CCreateTrigger trigger{"item audit", "item", TriggerTiming::After, TriggerEvent::Insert, "",
                                     maria ? "" : "new.qty > 10", "insert into audit values (new.id, 'big');"};
        const QString sql = maria ? "set sql_mode = concat(@@sql_mode, ',ANSI_QUOTES');"
                                        + QString(kShopSql).remove(kPartialIndex)
                                  : kShopSql;
        if (!m_shop.Open(engine, sql) || ApplySchemaChange(Diagram().Session(), trigger) != 0)
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
        QTest::newRow("SQLite") << "SQLite" << "select group_concat(name || ' ' || desc) || ' ' || (select \"unique\" "
            "from pragma_index_list('item') where name = 'item by sku') from pragma_index_xinfo('item by sku') where key"
                                << "sku 0,qty 0 0";
        QTest::newRow("PostgreSQL") << "PostgreSQL" << "select indexdef from pg_indexes where indexname = 'item by sku'"
                                    << "CREATE INDEX \"item by sku\" ON public.item USING btree (sku, qty)";
        QTest::newRow("MariaDB") << "MariaDB" << "select group_concat(concat(column_name, ' ', collation, ' ', "
            "non_unique) order by seq_in_index) from information_schema.statistics where table_schema = database() "
            "and index_name = 'item by sku'" << "sku A 1,qty A 1";
    }

    void editIndex_data() { engines_data(); }
    void editIndex()
    {
        QFETCH(QString, engine);
        QFETCH(QString, indexQuery);
        QFETCH(QString, indexAfter);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        const QStringList rows = Rows(ItemRows());
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
        QCOMPARE(Rows(ItemRows()), rows);
        QCOMPARE(Names(Item()), names);
        QCOMPARE(Blocks(Item()), CatalogBlocks(Diagram().Doc(), "item"));
        QCOMPARE(Item()->GetItem(RowOf(Item(), Index, "item by sku"))->m_selected, true);
    }

    // A new condition and a second statement: the trigger keeps its row
    // and fires its new body only. Refused by the engine, the dialog keeps
    // what was typed and the old trigger fires its old body.
    void editTrigger_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("audit");
        QTest::addColumn<QString>("condition"); // as created, and made "new.qty > 100"
        const QString again = "insert into audit values (new.id, 'again');";
        const QString wrong = "insert into audit valuess (1);";
        const QString condition = "new.qty > 10";
        for (const char *engine : {"SQLite", "PostgreSQL"}) {
            QTest::addRow("%s", engine) << engine << again << "" << QStringList{"6 big", "6 again"} << condition;
            QTest::addRow("%s refused", engine) << engine << wrong << "valuess" << QStringList{"5 big", "6 big"}
                                                << condition;
        }
        // The condition field is greyed: every row fires.
        QTest::newRow("MariaDB") << "MariaDB" << again << "" << QStringList{"5 big", "5 again", "6 big", "6 again"}
                                 << "";
        QTest::newRow("MariaDB refused") << "MariaDB" << wrong << "valuess" << QStringList{"5 big", "6 big"} << "";
    }
    void editTrigger()
    {
        QFETCH(QString, engine);
        QFETCH(QString, statement);
        QFETCH(QString, error);
        QFETCH(QStringList, audit);
        QFETCH(QString, condition);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        const QStringList names = Names(Item());
        const QString body = "insert into audit values (new.id, 'big');";
        QStringList shown, errors;
        const int handled = DoubleClick(Trigger, "item audit", [&](QWidget *dialog) {
            auto *condition = dialog->findChild<QPlainTextEdit *>("condition");
            auto *bodyText = dialog->findChild<QPlainTextEdit *>("body");
            shown << dialog->windowTitle() << dialog->findChild<QLineEdit *>("triggerName")->text()
                  << QString::number(dialog->findChild<QRadioButton *>("after")->isChecked())
                  << QString::number(dialog->findChild<QRadioButton *>("insert")->isChecked())
                  << condition->toPlainText() << bodyText->toPlainText();
            if (condition->isEnabled()) // keys for a greyed field would go to the name
                Type(condition, "0");
            Type(bodyText, "\n" + statement);
            errors = Replace(dialog);
            shown << QString::number(static_cast<QDialog *>(dialog)->result()) << bodyText->toPlainText();
        });
        QCOMPARE(handled, 1);
        QCOMPARE(shown.mid(0, 6), (QStringList{"Edit Trigger", "item audit", "1", "1", condition, body}));
        QVERIFY2(error.isEmpty() ? errors.isEmpty() : errors.size() == 1 && errors[0].contains(error),
                 qPrintable(errors.join("\n")));
        QCOMPARE(shown.mid(6), (QStringList{QString::number(error.isEmpty()), body + "\n" + statement}));
        QCOMPARE(Names(Item()), names);
        QCOMPARE(Names(Item()), CatalogNames(Diagram().Doc(), "item"));
        Rows("insert into item values (5, 'B-5', 20), (6, 'B-6', 200)");
        const char *auditRows = m_shop.Engine() == "MariaDB" ? "select concat_ws(' ', item_id, note) from audit"
                                                             : "select item_id || ' ' || note from audit";
        QCOMPARE(Rows(auditRows), audit);
    }

    // MariaDB cannot rename a trigger in one statement: Replace under a new
    // name says so and asks first. No sends nothing and keeps the dialog;
    // Yes renames the trigger.
    void renamedTriggerAsksFirst()
    {
        QVERIFY2(OpenShop("MariaDB"), qPrintable(m_shop.Error()));
        QStringList asked, sentOnNo;
        bool stayed = false, closed = false;
        const int handled = DoubleClick(Trigger, "item audit", [&](QWidget *dialog) {
            Type(dialog->findChild<QLineEdit *>("triggerName"), " 2");
            Diagram().MarkLog();
            {
                CModalAnswerer no(QMessageBox::No);
                Press(dialog, "Replace");
                asked = no.texts;
            }
            sentOnNo = Diagram().SentSinceMark();
            stayed = dialog->isVisible();
            CModalAnswerer yes(QMessageBox::Yes);
            Press(dialog, "Replace");
            closed = !dialog->isVisible();
            if (!closed)
                static_cast<QDialog *>(dialog)->reject();
        });
        QCOMPARE(handled, 1);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains("cannot rename a trigger"), qPrintable(asked[0]));
        QCOMPARE(sentOnNo, QStringList());
        QVERIFY(stayed && closed);
        QCOMPARE(Rows("select trigger_name from information_schema.triggers where trigger_schema = database()"),
                 QStringList{"item audit 2"});
        QCOMPARE(Names(Item()), CatalogNames(Diagram().Doc(), "item"));
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

    // Definitions as anyone may have written them, read from the engine's
    // catalog: names in any quotes, comments, conditions with brackets or
    // CASE. A body the program wrapped in BEGIN and RETURN comes back as
    // typed, unless what it wraps is a block that would then lose its
    // RETURN. What the dialogs cannot show whole is refused.
    void definitionsReadBack_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("read");
        const QString function = "create function f() returns trigger language plpgsql as $$%1$$; "
                                 "create trigger x before insert on item for each row execute function f()";
        QTest::newRow("quoted names, comments") << "SQLite"
            << "CREATE UNIQUE INDEX IF NOT EXISTS main.\"x\" ON [item] (/* a ( */ \"sku\" DESC, `qty` -- x)\n)"
            << "unique: sku desc, qty";
        QTest::newRow("expression") << "SQLite" << "create index x on item(lower(sku))" << "refused";
        QTest::newRow("collation") << "SQLite" << "create index x on item(sku collate nocase asc)" << "refused";
        QTest::newRow("bracketed condition") << "SQLite"
            << "CREATE TRIGGER IF NOT EXISTS \"x\" AFTER UPDATE ON \"item\" FOR EACH ROW WHEN new.qty > (select 1)"
               " BEGIN\n  update audit set note = 'x'; -- begin end\nEND"
            << "after update | new.qty > (select 1) |   update audit set note = 'x'; -- begin end";
        QTest::newRow("no timing, CASE") << "SQLite"
            << "create trigger x delete on item when case when old.qty then 1 end begin select 1; end;"
            << "before delete | case when old.qty then 1 end | select 1;";
        QTest::newRow("update of") << "SQLite" << "create trigger x update of qty on item begin select 1; end"
                                   << "refused";
        QTest::newRow("wrapped body") << "PostgreSQL" << function.arg("BEGIN NEW.qty := 1;\nRETURN NEW; END;")
                                      << "before insert |  | NEW.qty := 1;";
        QTest::newRow("wrapped block") << "PostgreSQL"
            << function.arg("BEGIN BEGIN NEW.qty := 1; END;\nRETURN NEW; END;")
            << "before insert |  | BEGIN BEGIN NEW.qty := 1; END;\nRETURN NEW; END;";
        QTest::newRow("descending, bracketed condition") << "PostgreSQL"
            << "create index x on item (qty desc); " + function.arg("BEGIN RETURN NEW; END;").replace(
                   "for each row", "for each row when ((new.qty > 1) or new.sku = 'a''b')")
            << "qty desc | before insert | new.qty > 1 OR new.sku::text = 'a''b'::text | BEGIN RETURN NEW; END;";
        QTest::newRow("expression on the server") << "PostgreSQL" << "create index x on item (lower(sku))" << "refused";
    }
    void definitionsReadBack()
    {
        QFETCH(QString, engine);
        QFETCH(QString, sql);
        QFETCH(QString, read);
        QVERIFY2(OpenShop(engine) && m_shop.RunElsewhere(sql), qPrintable(m_shop.Error()));
        CDbSession &session = Diagram().Session();
        CDbmsAdapter *adapter = session.GetAdapter();
        CCreateIndex index;
        CCreateTrigger trigger;
        QStringList found;
        if (sql.contains("index", Qt::CaseInsensitive))
            found << (adapter->ReadIndexDefinition(session, "item", "x", index) < 0 ? "refused" : Described(index));
        if (sql.contains("trigger", Qt::CaseInsensitive))
            found << (adapter->ReadTriggerDefinition(session, "item", "x", trigger) < 0 ? "refused"
                                                                                         : Described(trigger));
        QCOMPARE(found.join(" | "), read);
    }
};

QTEST_MAIN(TestEditIndexAndTrigger)
#include "tst_editindexandtrigger.moc"

#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "dialogs/ColumnGrid.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "tests/support/ColumnGridDriver.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/RowDrag.h"
#include "tests/support/SessionRows.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace DialogInput;
using namespace TableRows;

namespace {

// A composite key, a self-reference, a trigger of the schema's own, names
// that need quoting, and a namesake in another schema that must not show.
const char *const kShopSql = R"SQL(
create table "Customer Data" (id integer, region varchar(4), name varchar(40), primary key (id, region));
insert into "Customer Data" values (1, 'N', 'Ann'), (2, 'S', 'Bo'), (3, 'N', null);
create table staff (id integer primary key, boss integer references staff (id), name text);
insert into staff values (1, null, 'Eve'), (2, 1, 'Max');
create function staff_trim() returns trigger language plpgsql as $$ begin NEW.name := trim(NEW.name); return NEW; end $$;
create trigger "staff trim" before update on staff for each row execute function staff_trim();
create table audit (note text);
create table "Bob's ""Shop""" ("it's" integer);
create index "Bob's ""index""" on "Bob's ""Shop""" ("it's");
create trigger "Bob's ""trim""" before update on "Bob's ""Shop""" for each row execute function staff_trim();
create schema archive;
create table archive.staff (old_id integer);
create table archive.orders (old_id integer);
)SQL";

// Every row of the tables the workflow never changes, and of the one it
// adds columns to.
const char *const kKeptRows =
    "select string_agg(r, ';' order by r) from (select c::text as r from \"Customer Data\" c "
    "union all select s::text from staff s union all select 'audit ' || a::text from audit a) x";
const char *const kCustomerRows = "select id || region || coalesce(name, '-') from \"Customer Data\" order by 1";

const char *const kShop = "Bob's \"Shop\"";

// Where a table window's caption can be grabbed.
const QPoint kCaption(60, 10);

QString RelationshipText(const CDbRelationship &r)
{
    return QString::fromStdString(r.m_name + ": " + r.m_foreignTable + " (" + r.m_foreignIndex + ") -> "
                                  + r.m_parentTable + " (" + r.m_parentIndex + ")");
}

} // namespace

// The whole design workflow on a PostgreSQL server, as a user works it:
// load, a new table from the background menu, a column more for a table
// that holds rows, an index and a trigger from the table's menu, a foreign
// key by a row drag, saving and reopening the diagram, then every drop
// from the table windows and the view. After each step the table windows
// agree with a fresh load from the catalog and every row is still there.
//
// One ordered scenario, not independent cases: Qt Test runs the slots in
// the order they are declared, on one database and one diagram, and each
// step works on what the steps before it made (the drops take the index,
// trigger, key and table created earlier; the reopen checks the places the
// user moved tables to). A per-case init() would have to rebuild the
// database and replay every earlier step through the dialogs before each
// case, which costs far more server time and code for the same assertions.
// So a slot run alone, or after a failed step, fails too.
class TestPostgresOrderedWorkflow : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    CDiagramDriver m_diagram;
    QTemporaryDir m_files;
    QString m_keptRows;

    CDoc *Doc() const { return m_diagram.Doc(); }
    CDbView *View() const { return m_diagram.View(); }
    CTableWnd *Table(const char *name) const { return m_diagram.Table(name); }
    // The first column of every row; the log mark moves past the query.
    QStringList Rows(const QString &sql)
    {
        const QStringList rows = FirstColumnRows(m_diagram.Session(), sql);
        m_diagram.MarkLog();
        return rows;
    }
    QStringList Relationships() const
    {
        QStringList relationships;
        for (int i = 0; i < m_diagram.Doc()->Schema().RelationshipCount(); ++i)
            relationships << RelationshipText(*m_diagram.Doc()->Schema().GetRelationship(i));
        relationships.sort();
        return relationships;
    }
    // The table window and a fresh load of the table from the catalog show
    // the same rows.
    bool Agrees(const char *name)
    {
        const CTableWnd *table = Table(name);
        if (!table || Blocks(table) != CatalogBlocks(Doc(), name)) {
            qWarning() << name << (table ? Blocks(table) : QStringList()) << CatalogBlocks(Doc(), name);
            return false;
        }
        return true;
    }
    // Each table window's name, place and rows, sorted by name.
    QStringList Layout() const
    {
        QStringList layout;
        for (int i = 0; i < Doc()->TableCount(); ++i) {
            const CTableWnd *table = Doc()->GetTable(i);
            const QPoint place = table->GetPosition();
            layout << QStringLiteral("%1 at %2,%3: %4")
                          .arg(QString::fromStdString(table->m_name))
                          .arg(place.x())
                          .arg(place.y())
                          .arg(Blocks(table).join(", "));
        }
        layout.sort();
        return layout;
    }
    bool NothingLost() { return Rows(kKeptRows) == QStringList{m_keptRows}; }
    // A point of the canvas in sight that no table window covers.
    QPoint BackgroundPoint() const
    {
        const QRect visible(View()->ScrollPosition(), View()->viewport()->size());
        for (int y = visible.top() + 5; y < visible.bottom(); y += 20)
            for (int x = visible.left() + 5; x < visible.right(); x += 20) {
                bool covered = false;
                for (int i = 0; i < Doc()->TableCount(); ++i)
                    covered = covered || Doc()->GetTable(i)->geometry().adjusted(-5, -5, 5, 5).contains(x, y);
                if (!covered)
                    return QPoint(x, y);
            }
        return visible.center();
    }
    // Moves the table window by its caption until its top left corner is
    // at the point of the canvas.
    static void MoveByCaption(CTableWnd *table, const QPoint &topLeft)
    {
        const QPoint to = kCaption + topLeft - table->pos();
        QTest::mousePress(table, Qt::LeftButton, Qt::NoModifier, kCaption);
        QTest::mouseMove(table, to);
        QTest::mouseRelease(table, Qt::LeftButton, Qt::NoModifier, to);
    }

    // Right-clicks the point of the widget and runs the menu entry; the
    // design dialog it opens is handed to fill, which ends by pressing the
    // dialog's button.
    void RunFromMenu(QWidget *widget, const QPoint &point, const char *entry,
                     const CModalAnswerer::Handler &fill)
    {
        auto answerer = CModalAnswerer::Dialogs();
        answerer.Queue([&fill](QWidget *dialog) {
            if (WaitActive(dialog))
                fill(dialog);
            // A fill that failed half-way leaves the dialog open.
            if (dialog->isVisible())
                static_cast<QDialog *>(dialog)->reject();
        });
        answerer.ChooseFromMenus(entry);
        QTest::mouseClick(widget, Qt::RightButton, Qt::NoModifier, point);
        QCOMPARE(answerer.MenuCount(), 1);
        QCOMPARE(answerer.Handled(), 1);
        QCOMPARE(answerer.Unexpected(), 0);
    }
    // Selects the rows with clicks (Ctrl for all but the first), then
    // drops them from the context menu, confirming.
    void DropRows(CTableWnd *table, const QList<QPair<int, const char *>> &rows)
    {
        for (int i = 0; i < rows.size(); ++i)
            m_diagram.Click(table, RowOf(table, rows[i].first, rows[i].second),
                            i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        m_diagram.MarkLog();
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.DropFromMenu(table);
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
        QVERIFY2(m_database.Run(kShopSql), qPrintable(m_database.Error()));
        QVERIFY(m_files.isValid());
        QVERIFY(m_diagram.Open(m_database.ConnectionString()));
        m_keptRows = Rows(kKeptRows).value(0);
    }
    void cleanupTestCase()
    {
        m_diagram.Close();
    }

    void loadsTheCurrentSchema()
    {
        QStringList tables;
        for (int i = 0; i < Doc()->TableCount(); ++i)
            tables << QString::fromStdString(Doc()->GetTable(i)->m_name);
        tables.sort();
        QCOMPARE(tables, Rows("select tablename from pg_tables where schemaname = 'public' order by 1"));
        QCOMPARE(Relationships(), QStringList{"staff_boss_fkey: staff () -> staff (staff_pkey)"});
        QCOMPARE(Names(Table("Customer Data")),
                 (QStringList{"id", "region", "name", "Customer Data_pkey", "id", "region"}));
        QCOMPARE(Names(Table("staff")), (QStringList{"id", "boss", "name", "staff_pkey", "id", "staff trim"}));
        QCOMPARE(Names(Table(kShop)),
                 (QStringList{"it's", "Bob's \"index\"", "it's", "Bob's \"trim\""}));
        for (const char *name : {"Customer Data", "staff", "audit", kShop})
            QVERIFY(Agrees(name));
    }

    // The server refuses a second table of a name; the user reads its
    // message, and the dialog stays open with what was typed.
    void refusedTableShowsTheServersMessage()
    {
        const int tables = Doc()->TableCount();
        CModalAnswerer answerer;
        bool stayedOpen = false;
        RunFromMenu(View()->Canvas(), BackgroundPoint(), "Create &Table", [&stayedOpen](QWidget *dialog) {
            Type(dialog->findChild<QLineEdit *>("tableName"), "staff");
            CColumnGridDriver(dialog->findChild<CColumnGrid *>()).FillRows({"a|integer"});
            Press(dialog, "Create");
            stayedOpen = dialog->isVisible();
        });
        QCOMPARE(answerer.titles, QStringList{"Error"});
        QVERIFY2(answerer.texts[0].contains(R"(relation "staff" already exists)"), qPrintable(answerer.texts[0]));
        QVERIFY(stayedOpen);
        QCOMPARE(Doc()->TableCount(), tables);
        QVERIFY(Agrees("staff"));
    }

    void createsTableFromTheBackgroundMenu()
    {
        CModalAnswerer errors;
        const int tables = Doc()->TableCount();
        RunFromMenu(View()->Canvas(), BackgroundPoint(), "Create &Table",
                    [](QWidget *dialog) {
                        Type(dialog->findChild<QLineEdit *>("tableName"), "orders");
                        CColumnGridDriver(dialog->findChild<CColumnGrid *>())
                            .FillRows({"id|integer|||||1", "customer id|integer", "region|varchar|4",
                                       "amount|numeric|10|2||0", "note|text"});
                        Press(dialog, "Create");
                    });
        QCOMPARE(errors.texts, QStringList());
        QCOMPARE(Doc()->TableCount(), tables + 1);
        QVERIFY(Table("orders") && Table("orders")->isVisible());
        QCOMPARE(Rows("select column_name || ' ' || data_type || ' ' || coalesce(character_maximum_length, "
                      "numeric_precision, 0) || ' ' || coalesce(numeric_scale, 0) || ' ' || is_nullable || ' ' "
                      "|| coalesce(column_default, '-') from information_schema.columns where "
                      "table_schema = 'public' and table_name = 'orders' order by ordinal_position"),
                 (QStringList{"id integer 32 0 NO -", "customer id integer 32 0 YES -",
                              "region character varying 4 0 YES -", "amount numeric 10 2 YES 0",
                              "note text 0 0 YES -"}));
        QVERIFY(Agrees("orders"));
        QCOMPARE(Names(Table("orders")), (QStringList{"id", "customer id", "region", "amount", "note"}));
        // It opens in the corner, over the tables there; the user moves it
        // beside them.
        int right = 0;
        for (int i = 0; i < tables; ++i)
            right = qMax(right, Doc()->GetTable(i)->geometry().right());
        MoveByCaption(Table("orders"), QPoint(right + 40, 20));
        QCOMPARE(Table("orders")->GetPosition(), QPoint(right + 40, 20));
    }

    // The table holds rows: the new not-null column takes its default in
    // each of them.
    void addsColumnsToATableWithRows()
    {
        CModalAnswerer errors;
        CTableWnd *customer = Table("Customer Data");
        const QStringList before = Rows(kCustomerRows);
        RunFromMenu(customer, RowPoint(customer, 0), "&Add Column", [](QWidget *dialog) {
            CColumnGridDriver(dialog->findChild<CColumnGrid *>())
                .FillRows({"rank|integer||||7|1", "since|date"});
            Press(dialog, "Add");
        });
        QCOMPARE(errors.texts, QStringList());
        QCOMPARE(m_diagram.ChangesSinceMark(),
                 QStringList{R"(ALTER TABLE "Customer Data" ADD COLUMN "rank" integer DEFAULT 7 not null, )"
                             R"(ADD COLUMN "since" date)"});
        QVERIFY(Agrees("Customer Data"));
        QCOMPARE(Names(customer).mid(3, 2), (QStringList{"rank", "since"}));
        QCOMPARE(Rows(kCustomerRows), before);
        QCOMPARE(Rows("select count(*) from \"Customer Data\" where rank = 7 and since is null"), QStringList{"3"});
        m_keptRows = Rows(kKeptRows).value(0);
    }

    // Two columns selected, then Create Index: the index leads with the
    // columns the foreign key will have.
    void createsIndexOnTheSelectedColumns()
    {
        CModalAnswerer errors;
        CTableWnd *orders = Table("orders");
        m_diagram.Click(orders, RowOf(orders, Column, "customer id"));
        m_diagram.Click(orders, RowOf(orders, Column, "region"), Qt::ControlModifier);
        RunFromMenu(orders, RowPoint(orders, RowOf(orders, Column, "region")), "Create &Index", [](QWidget *dialog) {
            Type(dialog->findChild<QLineEdit *>("indexName"), "orders by customer");
            Press(dialog, "Create");
        });
        QCOMPARE(errors.texts, QStringList());
        QCOMPARE(Names(orders).mid(5), (QStringList{"orders by customer", "customer id", "region"}));
        QVERIFY(Agrees("orders"));
        QCOMPARE(Rows("select indexdef from pg_indexes where indexname = 'orders by customer'"),
                 QStringList{R"(CREATE INDEX "orders by customer" ON public.orders USING btree ("customer id", region))"});
    }

    void createsTriggerThatFires()
    {
        CModalAnswerer errors;
        CTableWnd *orders = Table("orders");
        RunFromMenu(orders, RowPoint(orders, 0), "Create &Trigger", [](QWidget *dialog) {
            Type(dialog->findChild<QLineEdit *>("triggerName"), "orders audit");
            Tick(dialog->findChild<QRadioButton *>("after"));
            Type(dialog->findChild<QPlainTextEdit *>("body"), "INSERT INTO audit VALUES ('order ' || NEW.id);");
            Press(dialog, "Create");
        });
        QCOMPARE(errors.texts, QStringList());
        QCOMPARE(Names(orders).last(), QStringLiteral("orders audit"));
        QVERIFY(Agrees("orders"));
        QCOMPARE(Rows("insert into orders values (100, 1, 'N', 9.5, 'first')"), QStringList());
        QCOMPARE(Rows("select note from audit"), QStringList{"order 100"});
        m_keptRows = Rows(kKeptRows).value(0);
    }

    // A row of orders dragged onto the key of "Customer Data"; the second
    // pair of the two-column key is chosen in the dialog.
    void addsCompositeForeignKeyByRowDrag()
    {
        CModalAnswerer errors;
        CTableWnd *orders = Table("orders");
        CTableWnd *customer = Table("Customer Data");
        QStringList prefilled;
        errors.Queue([&prefilled](QWidget *dialog) {
            if (WaitActive(dialog)) {
                prefilled << RowDrag::Cells(dialog, 0) << RowDrag::Cells(dialog, 1);
                auto *grid = dialog->findChild<CGridCtrl *>();
                Choose(grid, RowDrag::List(dialog, 0), 1, "region");
                Choose(grid, RowDrag::List(dialog, 1), 1, "region");
                for (QRadioButton *rule : dialog->findChildren<QRadioButton *>())
                    if (rule->text() == QLatin1String("Cascade"))
                        Tick(rule);
                Press(dialog, "OK");
            }
            if (dialog->isVisible())
                static_cast<QDialog *>(dialog)->reject();
        });
        m_diagram.MarkLog();
        RowDrag::Drag(orders, RowOf(orders, Column, "customer id"), customer, RowOf(customer, Column, "id"));
        QCOMPARE(errors.Handled(), 1);
        QCOMPARE(errors.texts, QStringList());
        QCOMPARE(prefilled, (QStringList{"customer id", "id"}));
        const QStringList sent = m_diagram.ChangesSinceMark();
        QCOMPARE(sent.size(), 1);
        QVERIFY2(sent[0] == QLatin1String(R"(ALTER TABLE "orders" ADD FOREIGN KEY ("customer id", "region") )"
                                    R"(REFERENCES "Customer Data" ("id", "region") ON DELETE CASCADE)"),
                 qPrintable(sent[0]));

        // The parent index is the key behind the referenced columns, the
        // foreign one the index that leads with the key's columns.
        const QString name = Rows("select conname from pg_constraint where contype = 'f' "
                                  "and conrelid = 'orders'::regclass").value(0);
        QCOMPARE(Relationships(),
                 (QStringList{name + ": orders (orders by customer) -> Customer Data (Customer Data_pkey)",
                              "staff_boss_fkey: staff () -> staff (staff_pkey)"}));
        for (const char *table : {"orders", "Customer Data"})
            QVERIFY(Agrees(table));
        QCOMPARE(Rows("select confdeltype from pg_constraint where conname = '" + name + "'"), QStringList{"c"});
        QVERIFY(NothingLost());
        QVERIFY(m_diagram.Session().Execute("insert into orders values (101, 9, 'N', 1, 'x')") < 0);
        m_diagram.Session().CloseStatement();
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty())
            View()->viewport()->grab().save(folder + "/postgres-workflow.png");
    }

    // The user moves the new table, saves and opens the file again: the
    // same tables at the same places, with the same rows and lines.
    void savesAndReopens()
    {
        CModalAnswerer errors;
        CTableWnd *orders = Table("orders");
        MoveByCaption(orders, orders->pos() + QPoint(30, 90));
        const QStringList layout = Layout();
        const QStringList relationships = Relationships();
        QVERIFY(Doc()->CheckMovedTables());
        const QString path = m_files.filePath("shop.vmx");
        QVERIFY(Doc()->OnSaveDocument(path));

        QVERIFY(m_diagram.OpenFile(path));
        QCOMPARE(errors.texts, QStringList());
        QCOMPARE(Layout(), layout);
        QCOMPARE(Relationships(), relationships);
        QVERIFY(!Doc()->CheckMovedTables());
        QVERIFY(NothingLost());
    }

    void dropsIndex()
    {
        DropRows(Table("orders"), {{Index, "orders by customer"}});
        QCOMPARE(m_diagram.ChangesSinceMark(), QStringList{R"(DROP INDEX "orders by customer")"});
        QVERIFY(Agrees("orders"));
        QCOMPARE(Rows("select count(*) from pg_class where relname = 'orders by customer'"), QStringList{"0"});
        QVERIFY(NothingLost());
    }

    // The trigger goes with the function that held its body; the schema's
    // own trigger and function stay.
    void dropsTriggerWithItsFunction()
    {
        DropRows(Table("orders"), {{Trigger, "orders audit"}});
        QCOMPARE(m_diagram.ChangesSinceMark(),
                 (QStringList{R"(DROP TRIGGER "orders audit" ON "orders")", R"(DROP FUNCTION "orders_orders audit_6"())"}));
        QVERIFY(Agrees("orders"));
        QCOMPARE(Rows("select proname from pg_proc where pronamespace = 'public'::regnamespace"),
                 QStringList{"staff_trim"});
        QVERIFY(NothingLost());
    }

    void dropsTwoColumnsInOneStatement()
    {
        const QStringList kept = Rows("select id || ' ' || \"customer id\" || region from orders");
        DropRows(Table("orders"), {{Column, "amount"}, {Column, "note"}});
        QCOMPARE(m_diagram.ChangesSinceMark(),
                 QStringList{R"(ALTER TABLE "orders" DROP COLUMN "amount", DROP COLUMN "note")"});
        QVERIFY(Agrees("orders"));
        QCOMPARE(Rows("select id || ' ' || \"customer id\" || region from orders"), kept);
        QVERIFY(NothingLost());
    }

    // A click on the line's crow's foot selects it; Drop from the
    // background menu drops the key, and both tables reload.
    void dropsRelationshipSelectedOnTheLine()
    {
        int index = -1;
        for (int i = 0; i < m_diagram.Doc()->Schema().RelationshipCount(); ++i)
            if (m_diagram.Doc()->Schema().GetRelationship(i)->m_foreignTable == "orders")
                index = i;
        QVERIFY(index >= 0);
        CRelationshipRoute route;
        QVERIFY(View()->RelationshipRoute(*m_diagram.Doc()->Schema().GetRelationship(index), route));
        const QPoint inMarker = (route.m_marker[0] + route.m_marker[1] + route.m_marker[2]) / 3;
        View()->ensureVisible(inMarker.x(), inMarker.y());
        QTest::mouseClick(View()->Canvas(), Qt::LeftButton, {}, inMarker);
        QCOMPARE(View()->m_selRelationship, index);

        m_diagram.MarkLog();
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        answerer.ChooseFromMenus(QStringLiteral("&Drop"));
        QTest::mouseClick(View()->Canvas(), Qt::RightButton, {}, BackgroundPoint());
        QTRY_COMPARE(answerer.Count(), 1);
        QCOMPARE(answerer.LastText(), QStringLiteral("Are you sure you want to drop the foreign key relationship "
                                                     "between 'orders' and 'Customer Data'?"));
        QVERIFY(m_diagram.ChangesSinceMark().value(0).startsWith(R"(ALTER TABLE "orders" DROP CONSTRAINT )"));
        QCOMPARE(Relationships(), QStringList{"staff_boss_fkey: staff () -> staff (staff_pkey)"});
        QCOMPARE(Rows("select count(*) from pg_constraint where conrelid = 'orders'::regclass and contype = 'f'"),
                 QStringList{"0"});
        for (const char *table : {"orders", "Customer Data"})
            QVERIFY(Agrees(table));
        QVERIFY(NothingLost());
    }

    // With nothing selected, Drop in the caption's menu drops the table;
    // the namesake in the other schema stays.
    void dropsTableFromItsCaption()
    {
        QPointer<CTableWnd> orders = Table("orders");
        const int tables = Doc()->TableCount();
        m_diagram.MarkLog();
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        {
            auto chooser = CModalAnswerer::Menus("&Drop");
            QTest::mouseClick(orders, Qt::RightButton, Qt::NoModifier, kCaption);
            QCOMPARE(chooser.MenuCount(), 1);
        }
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(m_diagram.ChangesSinceMark(), QStringList{R"(DROP TABLE "orders")"});
        QTRY_VERIFY(orders.isNull());
        QCOMPARE(Doc()->TableCount(), tables - 1);
        QCOMPARE(Rows("select schemaname from pg_tables where tablename = 'orders'"), QStringList{"archive"});
        QVERIFY(NothingLost());
    }

    // Quotes and apostrophes in the name reach the server intact; the
    // function the table's trigger shares with another table stays.
    void dropsTableWithQuotesInItsName()
    {
        QPointer<CTableWnd> shop = Table(kShop);
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.MarkLog();
        {
            auto chooser = CModalAnswerer::Menus("&Drop");
            QTest::mouseClick(shop, Qt::RightButton, Qt::NoModifier, kCaption);
        }
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(m_diagram.ChangesSinceMark(), QStringList{"DROP TABLE \"Bob's \"\"Shop\"\"\""});
        QTRY_VERIFY(shop.isNull());
        QCOMPARE(Rows("select count(*) from pg_class where relname like 'Bob%'"), QStringList{"0"});
        QCOMPARE(Rows("select proname from pg_proc where pronamespace = 'public'::regnamespace"),
                 QStringList{"staff_trim"});
    }

    // What is left saves and opens again as it was.
    void savesAndReopensWhatIsLeft()
    {
        CModalAnswerer errors;
        const QStringList layout = Layout();
        const QString path = m_files.filePath("left.vmx");
        QVERIFY(Doc()->OnSaveDocument(path));
        QVERIFY(m_diagram.OpenFile(path));
        QCOMPARE(Layout(), layout);
        QCOMPARE(errors.texts, QStringList());
    }
};

QTEST_MAIN(TestPostgresOrderedWorkflow)
#include "tst_postgresworkflow.moc"

#include "tests/support/DesignWorkflow.h"

#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "dialogs/ColumnGrid.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "tests/support/ColumnGridDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/RowDrag.h"
#include "tests/support/SessionRows.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QtTest>

using namespace DialogInput;
using namespace TableRows;

namespace {

const char *const kShop = "Bob's \"Shop\"";

// Where a table window's caption can be grabbed.
const QPoint kCaption(60, 10);

QString RelationshipText(const CDbRelationship &r)
{
    return QString::fromStdString(r.m_name + ": " + r.m_foreignTable + " (" + r.m_foreignIndex + ") -> "
                                  + r.m_parentTable + " (" + r.m_parentIndex + ")");
}

} // namespace

// The first column of every row; the log mark moves past the query.
QStringList CDesignWorkflow::Rows(const QString &sql)
{
    const QStringList rows = FirstColumnRows(m_diagram.Session(), sql);
    m_diagram.MarkLog();
    return rows;
}

QStringList CDesignWorkflow::Relationships() const
{
    QStringList relationships;
    for (int i = 0; i < Doc()->Schema().RelationshipCount(); ++i)
        relationships << RelationshipText(*Doc()->Schema().GetRelationship(i));
    relationships.sort();
    return relationships;
}

// The table window and a fresh load of the table from the catalog show the
// same rows.
bool CDesignWorkflow::Agrees(const char *name)
{
    const CTableWnd *table = Table(name);
    if (!table || Blocks(table) != CatalogBlocks(Doc(), name)) {
        qWarning() << name << (table ? Blocks(table) : QStringList()) << CatalogBlocks(Doc(), name);
        return false;
    }
    return true;
}

// Each table window's name, place and rows, sorted by name.
QStringList CDesignWorkflow::Layout() const
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

// A point of the canvas in sight that no table window covers.
QPoint CDesignWorkflow::BackgroundPoint() const
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

// Moves the table window by its caption until its top left corner is at
// the point of the canvas.
void CDesignWorkflow::MoveByCaption(CTableWnd *table, const QPoint &topLeft)
{
    const QPoint to = kCaption + topLeft - table->pos();
    QTest::mousePress(table, Qt::LeftButton, Qt::NoModifier, kCaption);
    QTest::mouseMove(table, to);
    QTest::mouseRelease(table, Qt::LeftButton, Qt::NoModifier, to);
}

// Right-clicks the point of the widget and runs the menu entry; the design
// dialog it opens is handed to fill, which ends by pressing the dialog's
// button.
void CDesignWorkflow::RunFromMenu(QWidget *widget, const QPoint &point, const char *entry,
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

// Selects the rows with clicks (Ctrl for all but the first), then drops
// them from the context menu, confirming.
void CDesignWorkflow::DropRows(CTableWnd *table, const QList<QPair<int, const char *>> &rows)
{
    for (int i = 0; i < rows.size(); ++i)
        m_diagram.Click(table, RowOf(table, rows[i].first, rows[i].second),
                        i == 0 ? Qt::NoModifier : Qt::ControlModifier);
    m_diagram.MarkLog();
    CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
    m_diagram.DropFromMenu(table);
    QCOMPARE(answerer.titles, QStringList{"Confirmation"});
}

// With nothing selected, Drop in the caption's menu drops the table.
void CDesignWorkflow::DropTableFromCaption(const char *name, const QString &statement)
{
    QPointer<CTableWnd> table = Table(name);
    const int tables = Doc()->TableCount();
    m_diagram.MarkLog();
    CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
    {
        auto chooser = CModalAnswerer::Menus("&Drop");
        QTest::mouseClick(table, Qt::RightButton, Qt::NoModifier, kCaption);
        QCOMPARE(chooser.MenuCount(), 1);
    }
    QCOMPARE(answerer.titles, QStringList{"Confirmation"});
    QCOMPARE(m_diagram.ChangesSinceMark(), QStringList{statement});
    QTRY_VERIFY(table.isNull());
    QCOMPARE(Doc()->TableCount(), tables - 1);
}

void CDesignWorkflow::initTestCase()
{
    QString error;
    QVERIFY2(Prepare(error), qPrintable(error));
    QVERIFY(m_files.isValid());
    QVERIFY(m_diagram.Open(ConnectionString()));
    m_keptRows = Rows(m_engine.m_keptRows).value(0);
}

void CDesignWorkflow::cleanupTestCase() { m_diagram.Close(); }

void CDesignWorkflow::loadsTheCurrentSchema()
{
    QStringList tables;
    for (int i = 0; i < Doc()->TableCount(); ++i)
        tables << QString::fromStdString(Doc()->GetTable(i)->m_name);
    QStringList catalog = Rows(m_engine.m_tablesQuery);
    tables.sort();
    catalog.sort();
    QCOMPARE(tables, catalog);
    QCOMPARE(Relationships(), QStringList{m_engine.m_staffKey});
    QCOMPARE(Names(Table("Customer Data")), m_engine.m_customerNames);
    QCOMPARE(Names(Table("staff")), m_engine.m_staffNames);
    QCOMPARE(Names(Table(kShop)), m_engine.m_shopNames);
    for (const char *name : {"Customer Data", "staff", "audit", kShop})
        QVERIFY(Agrees(name));
}

// The server refuses a second table of a name; the user reads its message,
// and the dialog stays open with what was typed.
void CDesignWorkflow::refusedTableShowsTheServersMessage()
{
    const int tables = Doc()->TableCount();
    CModalAnswerer answerer;
    bool stayedOpen = false;
    const QString column = "a|" + m_engine.m_integer;
    RunFromMenu(View()->Canvas(), BackgroundPoint(), "Create &Table", [&](QWidget *dialog) {
        Type(dialog->findChild<QLineEdit *>("tableName"), "staff");
        CColumnGridDriver(dialog->findChild<CColumnGrid *>()).FillRows({column});
        Press(dialog, "Create");
        stayedOpen = dialog->isVisible();
    });
    QCOMPARE(answerer.titles, QStringList{"Error"});
    QVERIFY2(answerer.texts.value(0).contains(m_engine.m_tableExists), qPrintable(answerer.texts.value(0)));
    QVERIFY(stayedOpen);
    QCOMPARE(Doc()->TableCount(), tables);
    QVERIFY(Agrees("staff"));
}

void CDesignWorkflow::createsTableFromTheBackgroundMenu()
{
    CModalAnswerer errors;
    const int tables = Doc()->TableCount();
    const QString integer = m_engine.m_integer;
    const QStringList columns = {"id|" + integer + "|||||1", "customer id|" + integer, "region|varchar|4",
                                 "amount|" + m_engine.m_decimal + "|10|2||0", "note|text"};
    RunFromMenu(View()->Canvas(), BackgroundPoint(), "Create &Table", [&columns](QWidget *dialog) {
        Type(dialog->findChild<QLineEdit *>("tableName"), "orders");
        CColumnGridDriver(dialog->findChild<CColumnGrid *>()).FillRows(columns);
        Press(dialog, "Create");
    });
    QCOMPARE(errors.texts, QStringList());
    QCOMPARE(Doc()->TableCount(), tables + 1);
    QVERIFY(Table("orders") && Table("orders")->isVisible());
    QCOMPARE(Rows(m_engine.m_ordersColumnsQuery), m_engine.m_ordersColumns);
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

// The table holds rows: the new not-null column takes its default in each
// of them.
void CDesignWorkflow::addsColumnsToATableWithRows()
{
    CModalAnswerer errors;
    CTableWnd *customer = Table("Customer Data");
    const QStringList before = Rows(m_engine.m_customerRows);
    const QStringList columns = {"rank|" + m_engine.m_integer + "||||7|1", "since|date"};
    RunFromMenu(customer, RowPoint(customer, 0), "&Add Column", [&columns](QWidget *dialog) {
        CColumnGridDriver(dialog->findChild<CColumnGrid *>()).FillRows(columns);
        Press(dialog, "Add");
    });
    QCOMPARE(errors.texts, QStringList());
    QCOMPARE(m_diagram.ChangesSinceMark(),
             QStringList{R"(ALTER TABLE "Customer Data" ADD COLUMN "rank" )" + m_engine.m_integer
                         + R"( DEFAULT 7 not null, ADD COLUMN "since" date)"});
    QVERIFY(Agrees("Customer Data"));
    QCOMPARE(Names(customer).mid(3, 2), (QStringList{"rank", "since"}));
    QCOMPARE(Rows(m_engine.m_customerRows), before);
    QCOMPARE(Rows("select count(*) from \"Customer Data\" where \"rank\" = 7 and since is null"), QStringList{"3"});
    m_keptRows = Rows(m_engine.m_keptRows).value(0);
}

// Two columns selected, then Create Index: the index leads with the columns
// the foreign key will have.
void CDesignWorkflow::createsIndexOnTheSelectedColumns()
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
    QCOMPARE(Rows(m_engine.m_indexQuery), m_engine.m_index);
}

void CDesignWorkflow::createsTriggerThatFires()
{
    CModalAnswerer errors;
    CTableWnd *orders = Table("orders");
    RunFromMenu(orders, RowPoint(orders, 0), "Create &Trigger", [](QWidget *dialog) {
        Type(dialog->findChild<QLineEdit *>("triggerName"), "orders audit");
        Tick(dialog->findChild<QRadioButton *>("after"));
        Type(dialog->findChild<QPlainTextEdit *>("body"), "INSERT INTO audit VALUES (concat('order ', NEW.id));");
        Press(dialog, "Create");
    });
    QCOMPARE(errors.texts, QStringList());
    QCOMPARE(Names(orders).last(), QStringLiteral("orders audit"));
    QVERIFY(Agrees("orders"));
    const int inserted = m_diagram.Session().Execute("insert into orders values (100, 1, 'N', 9.5, 'first')");
    m_diagram.Session().CloseStatement();
    QVERIFY(inserted >= 0);
    QCOMPARE(Rows("select note from audit"), QStringList{"order 100"});
    m_keptRows = Rows(m_engine.m_keptRows).value(0);
}

// A row of orders dragged onto the key of "Customer Data"; the second pair
// of the two-column key is chosen in the dialog.
void CDesignWorkflow::addsCompositeForeignKeyByRowDrag()
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
    QCOMPARE(sent, QStringList{R"(ALTER TABLE "orders" ADD FOREIGN KEY ("customer id", "region") )"
                               R"(REFERENCES "Customer Data" ("id", "region") ON DELETE CASCADE)"});

    // The parent index is the key behind the referenced columns, the
    // foreign one the index that leads with the key's columns.
    const QString name = Rows("select constraint_name from information_schema.table_constraints where "
                              "constraint_type = 'FOREIGN KEY' and table_name = 'orders'").value(0);
    QCOMPARE(Relationships(), (QStringList{name + ": orders (orders by customer) -> Customer Data ("
                                               + m_engine.m_customerKey + ")",
                                           m_engine.m_staffKey}));
    for (const char *table : {"orders", "Customer Data"})
        QVERIFY(Agrees(table));
    QCOMPARE(Rows("select delete_rule from information_schema.referential_constraints where constraint_name = '"
                  + name + "'"),
             QStringList{"CASCADE"});
    QVERIFY(NothingLost());
    QVERIFY(m_diagram.Session().Execute("insert into orders values (101, 9, 'N', 1, 'x')") < 0);
    m_diagram.Session().CloseStatement();
    const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
    if (!folder.isEmpty())
        View()->viewport()->grab().save(folder + "/" + m_engine.m_name + "-workflow.png");
}

// The user moves the new table, saves and opens the file again: the same
// tables at the same places, with the same rows and lines.
void CDesignWorkflow::savesAndReopens()
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

// A click on the line's crow's foot selects it; Drop from the background
// menu drops the key, and both tables reload. It goes before the index it
// uses: MariaDB keeps a key's index as long as the key.
void CDesignWorkflow::dropsRelationshipSelectedOnTheLine()
{
    int index = -1;
    for (int i = 0; i < Doc()->Schema().RelationshipCount(); ++i)
        if (Doc()->Schema().GetRelationship(i)->m_foreignTable == "orders")
            index = i;
    QVERIFY(index >= 0);
    CRelationshipRoute route;
    QVERIFY(View()->RelationshipRoute(*Doc()->Schema().GetRelationship(index), route));
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
    QVERIFY(m_diagram.ChangesSinceMark().value(0).startsWith(m_engine.m_dropKey));
    QCOMPARE(Relationships(), QStringList{m_engine.m_staffKey});
    QCOMPARE(Rows("select count(*) from information_schema.table_constraints where constraint_type = 'FOREIGN KEY' "
                  "and table_name = 'orders'"),
             QStringList{"0"});
    for (const char *table : {"orders", "Customer Data"})
        QVERIFY(Agrees(table));
    QVERIFY(NothingLost());
}

void CDesignWorkflow::dropsIndex()
{
    DropRows(Table("orders"), {{Index, "orders by customer"}});
    QCOMPARE(m_diagram.ChangesSinceMark(), m_engine.m_dropIndex);
    QVERIFY(Agrees("orders"));
    QCOMPARE(Rows(m_engine.m_indexCount), QStringList{"0"});
    QVERIFY(NothingLost());
}

// The schema's own trigger code stays.
void CDesignWorkflow::dropsTrigger()
{
    DropRows(Table("orders"), {{Trigger, "orders audit"}});
    QCOMPARE(m_diagram.ChangesSinceMark(), m_engine.m_dropTrigger);
    QVERIFY(Agrees("orders"));
    QCOMPARE(Rows(m_engine.m_triggerCodeQuery), m_engine.m_triggerCode);
    QVERIFY(NothingLost());
}

void CDesignWorkflow::dropsTwoColumnsInOneStatement()
{
    const QString keptQuery = "select concat(id, ' ', \"customer id\", region) from orders";
    const QStringList kept = Rows(keptQuery);
    DropRows(Table("orders"), {{Column, "amount"}, {Column, "note"}});
    QCOMPARE(m_diagram.ChangesSinceMark(),
             QStringList{R"(ALTER TABLE "orders" DROP COLUMN "amount", DROP COLUMN "note")"});
    QVERIFY(Agrees("orders"));
    QCOMPARE(Rows(keptQuery), kept);
    QVERIFY(NothingLost());
}

// Only the table of the diagram's own schema goes.
void CDesignWorkflow::dropsTableFromItsCaption()
{
    DropTableFromCaption("orders", R"(DROP TABLE "orders")");
    QCOMPARE(Rows(m_engine.m_ordersLeftQuery), m_engine.m_ordersLeft);
    QVERIFY(NothingLost());
}

// Quotes and apostrophes in the name reach the server intact; trigger code
// the table shares with another table stays.
void CDesignWorkflow::dropsTableWithQuotesInItsName()
{
    DropTableFromCaption(kShop, "DROP TABLE \"Bob's \"\"Shop\"\"\"");
    QCOMPARE(Rows(m_engine.m_shopCount), QStringList{"0"});
    QCOMPARE(Rows(m_engine.m_triggerCodeQuery), m_engine.m_triggerCodeLast);
}

// What is left saves and opens again as it was.
void CDesignWorkflow::savesAndReopensWhatIsLeft()
{
    CModalAnswerer errors;
    const QStringList layout = Layout();
    const QString path = m_files.filePath("left.vmx");
    QVERIFY(Doc()->OnSaveDocument(path));
    QVERIFY(m_diagram.OpenFile(path));
    QCOMPARE(Layout(), layout);
    QCOMPARE(errors.texts, QStringList());
}

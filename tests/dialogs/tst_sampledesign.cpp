#include "db/DbSession.h"
#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "dialogs/ColumnGrid.h"
#include "document/Doc.h"
#include "tests/support/ColumnGridDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/RowDrag.h"
#include "tests/support/SampleDiagram.h"
#include "tests/support/SqliteRows.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace DialogInput;
using namespace TableRows;

namespace {

bool IsDark(QRgb pixel) { return qGray(pixel) < 128; }

// Fills a design dialog's table name and column grid, as a user does once
// the dialog is up.
std::function<void(QWidget *)> FillColumns(const QString &tableName, const QStringList &rows)
{
    return [=](QWidget *dialog) {
        if (!tableName.isEmpty())
            Type(dialog->findChild<QLineEdit *>("tableName"), tableName);
        CColumnGridDriver(dialog->findChild<CColumnGrid *>()).FillRows(rows);
    };
}

} // namespace

// A new user's first design steps on the sample order-entry diagram, all
// made with the mouse and the context menus: a table created and given a
// column, a unique index and a conditional trigger, relationship lines
// dropped and one dragged back, and columns and an index dropped or
// refused in plain words. No row of the sample's data is lost on the way.
class TestSampleDesign : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    std::unique_ptr<CSampleDiagram> m_sample;
    QString m_path;

    CDoc *Doc() const { return m_sample->Doc(); }
    CDbView *View() const { return m_sample->View(); }
    CSchemaModel &Keys() const { return Doc()->Schema(); }
    CTableWnd *Table(const char *name) const { return Doc()->FindTable(name); }
    QStringList Rows() const { return SqliteRows::Dump(m_path); }
    QString Query(const QString &sql) const { return QuerySqlite(m_path, sql); }

    // Right-clicks the point and runs the menu entry; the dialog it opens is
    // handed to fill, then its button is pressed, which must close it.
    void RunFromMenu(QWidget *target, const QPoint &point, const char *entry,
                     const std::function<void(QWidget *)> &fill, const char *button = "Create")
    {
        auto answerer = CModalAnswerer::Dialogs();
        answerer.Queue([&](QWidget *dialog) {
            QVERIFY(WaitActive(dialog));
            fill(dialog);
            Press(dialog, button);
            QVERIFY(!dialog->isVisible());
        });
        answerer.ChooseFromMenus(entry);
        QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, point);
        QCOMPARE(answerer.MenuCount(), 1);
        QCOMPARE(answerer.Handled(), 1);
        QCOMPARE(answerer.Unexpected(), 0);
    }
    // Selects the row and drops it through the Drop entry of its context menu.
    static void DropFromMenu(CTableWnd *table, int kind, const char *name)
    {
        const int row = RowOf(table, kind, name);
        QVERIFY(row >= 0);
        QTest::mouseClick(table, Qt::LeftButton, Qt::NoModifier, RowPoint(table, row));
        auto chooser = CModalAnswerer::Menus("&Drop");
        QTest::mouseClick(table, Qt::RightButton, Qt::NoModifier, RowPoint(table, row));
        QCOMPARE(chooser.MenuCount(), 1);
    }

    int Relationship(const char *foreign, const char *parent) const
    {
        for (int i = 0; const CDbRelationship *relationship = Keys().GetRelationship(i); ++i)
            if (relationship->m_foreignTable == foreign && relationship->m_parentTable == parent)
                return i;
        return -1;
    }
    CRelationshipRoute RouteOf(int index) const
    {
        CRelationshipRoute route;
        if (!View()->RelationshipRoute(*Keys().GetRelationship(index), route))
            qWarning("relationship %d has no route", index);
        return route;
    }
    QPoint InMarker(int index) const
    {
        const CRelationshipRoute route = RouteOf(index);
        return (route.m_marker[0] + route.m_marker[1] + route.m_marker[2]) / 3;
    }
    // Clicks inside the relationship's crow's foot, which selects it.
    int ClickLine(int index) const
    {
        QTest::mouseClick(View()->Canvas(), Qt::LeftButton, {}, InMarker(index));
        return View()->m_selRelationship;
    }
    // Drop from the background's context menu, at the selected line.
    void DropSelectedLine(int index)
    {
        auto chooser = CModalAnswerer::Menus("&Drop");
        QTest::mouseClick(View()->Canvas(), Qt::RightButton, {}, InMarker(index));
        QCOMPARE(chooser.MenuCount(), 1);
    }
    bool LineDrawn(int index) const
    {
        const CRelationshipRoute route = RouteOf(index);
        const QPoint onStub = (route.m_line[0] + route.m_line[1]) / 2 - View()->ScrollPosition();
        return IsDark(View()->viewport()->grab().toImage().pixel(onStub));
    }

private slots:
    void init()
    {
        CSampleDiagram::AddSource(m_sandbox);
        m_path = m_sandbox.DatabasePath("VellumixSample");
        m_sample = std::make_unique<CSampleDiagram>();
        // Large enough to show every table window.
        QVERIFY(m_sample->Open(1300, 1000));
    }
    void cleanup() { m_sample.reset(); }

    void createsTableAndAddsColumnFromTheMenus()
    {
        const int tables = Doc()->TableCount();
        // Confirmations are answered Yes; an error box would be recorded too.
        CModalAnswerer answers(QMessageBox::Yes);
        RunFromMenu(View()->Canvas(), QPoint(220, 10), "Create &Table",
                    FillColumns("courier", {"courier_id|integer|||||1", "name|varchar|60", "phone|varchar|20"}));
        QCOMPARE(Doc()->TableCount(), tables + 1);
        CTableWnd *courier = Table("courier");
        QVERIFY(courier);
        QCOMPARE(Names(courier), (QStringList{"courier_id", "name", "phone"}));

        RunFromMenu(courier, RowPoint(courier, 1), "&Add Column", FillColumns(QString(), {"tracking_url|varchar|200"}),
                    "Add");
        QCOMPARE(answers.texts, QStringList());
        QCOMPARE(Names(courier), (QStringList{"courier_id", "name", "phone", "tracking_url"}));
        QCOMPARE(CatalogNames(Doc(), "courier"), Names(courier));

        DropFromMenu(courier, Column, "phone");
        QCOMPARE(Names(courier), (QStringList{"courier_id", "name", "tracking_url"}));
        QCOMPARE(CatalogNames(Doc(), "courier"), Names(courier));
        CTableWnd *customer = Table("customer");
        DropFromMenu(customer, Index, "customer_by_name");
        QCOMPARE(RowOf(customer, Index, "customer_by_name"), -1);
        QCOMPARE(CatalogNames(Doc(), "customer"), Names(customer));
        QCOMPARE(answers.titles, (QStringList{"Confirmation", "Confirmation"}));
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty())
            View()->viewport()->grab().save(folder + "/sample-new-table.png");
    }

    // Two columns selected and a unique index made on them, then a trigger
    // with a condition.
    void uniqueIndexAndConditionalTrigger()
    {
        CTableWnd *employee = Table("employee");
        const int name = RowOf(employee, Column, "full_name");
        const int title = RowOf(employee, Column, "title");
        QTest::mouseClick(employee, Qt::LeftButton, Qt::NoModifier, RowPoint(employee, name));
        QTest::mouseClick(employee, Qt::LeftButton, Qt::ControlModifier, RowPoint(employee, title));
        CModalAnswerer answerer;

        const int header = employee->ItemCount();
        RunFromMenu(employee, RowPoint(employee, name), "Create &Index", [](QWidget *dialog) {
            Type(dialog->findChild<QLineEdit *>("indexName"), "employee_by_name_title");
            Tick(dialog->findChild<QCheckBox *>("unique"));
        });
        QCOMPARE(answerer.texts, QStringList());
        QCOMPARE(Names(employee).mid(header), (QStringList{"employee_by_name_title", "full_name", "title"}));
        QCOMPARE(employee->GetItem(header)->m_kind, int(UniqueIndex));
        QVERIFY(Query("insert into employee values (9, 'Tomas Berger', 'Account Manager', 1, null);")
                    .contains("UNIQUE constraint failed"));

        RunFromMenu(employee, RowPoint(employee, header), "Create &Trigger", [](QWidget *dialog) {
            Type(dialog->findChild<QLineEdit *>("triggerName"), "employee_not_own_manager");
            Tick(dialog->findChild<QRadioButton *>("update"));
            Type(dialog->findChild<QPlainTextEdit *>("condition"), "new.manager_id = new.employee_id");
            Type(dialog->findChild<QPlainTextEdit *>("body"), "select raise(abort, 'Nobody manages themselves');");
        });
        QCOMPARE(answerer.texts, QStringList());
        QCOMPARE(Names(employee).last(), QStringLiteral("employee_not_own_manager"));
        QVERIFY(Query("update employee set manager_id = 2 where employee_id = 2;")
                    .contains("Nobody manages themselves"));
        QCOMPARE(Blocks(employee), CatalogBlocks(Doc(), "employee"));
        QCOMPARE(Query("update employee set manager_id = 2 where employee_id = 3;"
                       "select manager_id from employee where employee_id = 3;"),
                 QStringLiteral("2\n"));
    }

    void productKeyOfOrderLinesDroppedAndDraggedBack()
    {
        const QStringList rows = Rows();
        const int count = Keys().RelationshipCount();
        const int index = Relationship("order_line", "product");
        QVERIFY(index >= 0);
        QCOMPARE(ClickLine(index), index);

        CModalAnswerer answerer(QMessageBox::Yes);
        DropSelectedLine(index);
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(answerer.LastText(), QStringLiteral("Are you sure you want to drop the foreign key "
                                                     "relationship between 'order_line' and 'product'?"));
        QCOMPARE(Keys().RelationshipCount(), count - 1);
        QCOMPARE(Relationship("order_line", "product"), -1);
        QCOMPARE(Rows(), rows);

        CTableWnd *orderLine = Table("order_line");
        CTableWnd *product = Table("product");
        QStringList pairs;
        answerer.Queue([&](QWidget *dialog) {
            pairs = RowDrag::Cells(dialog, 0) + RowDrag::Cells(dialog, 1);
            Press(dialog, "OK");
        });
        RowDrag::Drag(orderLine, RowOf(orderLine, Column, "product_id"), product,
                      RowOf(product, Column, "product_id"));
        QCOMPARE(answerer.Handled(), 1);
        QCOMPARE(pairs, (QStringList{"product_id", "product_id"}));
        QCOMPARE(answerer.Count(), 1);
        QCOMPARE(Keys().RelationshipCount(), count);
        const int back = Relationship("order_line", "product");
        QVERIFY(back >= 0);
        QTRY_VERIFY(LineDrawn(back));
        QCOMPARE(Rows(), rows);
    }

    void everyLineCanBeDropped()
    {
        const QStringList rows = Rows();
        CModalAnswerer answerer(QMessageBox::Yes);
        for (int left = Keys().RelationshipCount(); left > 0; --left) {
            const CDbRelationship relationship = *Keys().GetRelationship(0);
            const int selected = ClickLine(0);
            QVERIFY2(selected >= 0, relationship.m_name.c_str());
            DropSelectedLine(selected);
            QCOMPARE(answerer.LastTitle(), QStringLiteral("Confirmation"));
            QCOMPARE(Keys().RelationshipCount(), left - 1);
        }
        QVERIFY(!answerer.titles.contains("Error"));
        QCOMPARE(Rows(), rows);
    }

    // A column goes, with whatever only served it, or the refusal names
    // what still needs it.
    void dropsAColumnOrSaysWhatNeedsIt_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("plain column") << "shipment" << "carrier" << QString() << QString();
        QTest::newRow("unique column") << "customer" << "email" << QString() << QString();
        QTest::newRow("indexed column") << "payment" << "paid_on" << QString() << QString();
        QTest::newRow("another table's key")
            << "product" << "product_id" << QString()
            << "has a foreign key that would stop working without the column \"product_id\" of the "
               "table \"product\", so nothing was changed.";
        QTest::newRow("another table's trigger")
            << "stock" << "on_hand" << QString()
            << "The trigger \"order_line_reserves_stock\" would stop working without the column "
               "\"on_hand\" of the table \"stock\", so nothing was changed.";
        QTest::newRow("the table's own trigger")
            << "product" << "unit_price" << QString()
            << "The trigger \"product_price_not_negative\" would stop working without the column "
               "\"unit_price\" of the table \"product\", so nothing was changed.";
        QTest::newRow("a view") << "product" << "name"
                                << "create view price_list as select sku, name from product;"
                                << "The view \"price_list\" would stop working without the column "
                                   "\"name\" of the table \"product\", so nothing was changed.";
    }
    void dropsAColumnOrSaysWhatNeedsIt()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, setup);
        QFETCH(QString, refusal);
        if (!setup.isEmpty())
            QVERIFY(m_sandbox.RunSql("VellumixSample", setup));
        const QStringList rows = Rows();
        CTableWnd *window = Table(qPrintable(table));
        const QStringList names = Names(window);
        const QString count = Query("select count(*) from " + table + ";");

        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        DropFromMenu(window, Column, qPrintable(column));
        if (refusal.isEmpty()) {
            QCOMPARE(answerer.titles, QStringList{"Confirmation"});
            QCOMPARE(RowOf(window, Column, qPrintable(column)), -1);
            CTableWnd fresh(Doc(), table.toStdString());
            fresh.LoadSchema();
            QCOMPARE(Names(window), Names(&fresh));
            QCOMPARE(Query("select count(*) from " + table + ";"), count);
        } else {
            QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
            QVERIFY2(answerer.LastText().contains(refusal), qPrintable(answerer.LastText()));
            QCOMPARE(Names(window), names);
            QCOMPARE(Rows(), rows);
        }
    }
};

QTEST_MAIN(TestSampleDesign)
#include "tst_sampledesign.moc"

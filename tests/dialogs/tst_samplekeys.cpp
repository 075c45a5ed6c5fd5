#include "db/DbSession.h"
#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/RowDrag.h"
#include "tests/support/SqliteRows.h"
#include "tests/support/SampleDiagram.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QtTest>

using namespace TableRows;

namespace {

bool IsDark(QRgb pixel) { return qGray(pixel) < 128; }

} // namespace

// A new user's first design steps on the sample order-entry diagram, made
// with the mouse: a relationship line dropped and dragged back, every line
// dropped, and columns dropped or refused in plain words. Every row stays.
class TestSampleKeys : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    std::unique_ptr<CSampleDiagram> m_sample;
    QString m_path;

    CDbView *View() const { return m_sample->View(); }
    CDbSession &Session() const { return m_sample->Doc()->GetSession(); }
    CSchemaModel &Keys() const { return m_sample->Doc()->Schema(); }
    CTableWnd *Table(const char *name) const { return m_sample->Doc()->FindTable(name); }

    QStringList Rows() const { return SqliteRows::Dump(m_path); }
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
    // Clicks inside the relationship's crow's foot, which selects it.
    int ClickLine(int index) const
    {
        const CRelationshipRoute route = RouteOf(index);
        const QPoint inMarker = (route.m_marker[0] + route.m_marker[1] + route.m_marker[2]) / 3;
        QTest::mouseClick(View()->Canvas(), Qt::LeftButton, {}, inMarker);
        return View()->m_selRelationship;
    }
    // Drop from the background's context menu, at the selected line.
    void DropSelectedLine(int index)
    {
        const CRelationshipRoute route = RouteOf(index);
        const QPoint inMarker = (route.m_marker[0] + route.m_marker[1] + route.m_marker[2]) / 3;
        auto chooser = CModalAnswerer::Menus("&Drop");
        QTest::mouseClick(View()->Canvas(), Qt::RightButton, {}, inMarker);
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
        QVERIFY(m_sample->Open(1300, 950));
    }
    void cleanup() { m_sample.reset(); }

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
        auto driver = CModalAnswerer::Dialogs();
        driver.Queue([&](QWidget *dialog) {
            pairs = RowDrag::Cells(dialog, 0) + RowDrag::Cells(dialog, 1);
            DialogInput::Press(dialog, "OK");
        });
        RowDrag::Drag(orderLine, RowOf(orderLine, Column, "product_id"), product,
                      RowOf(product, Column, "product_id"));
        QCOMPARE(driver.Handled(), 1);
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
        const int row = RowOf(window, Column, qPrintable(column));
        QVERIFY(row >= 0);
        const QString count = QuerySqlite(m_path, "select count(*) from " + table + ";");

        QTest::mouseClick(window, Qt::LeftButton, {}, RowPoint(window, row));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        auto chooser = CModalAnswerer::Menus("&Drop");
        QTest::mouseClick(window, Qt::RightButton, {}, RowPoint(window, row));
        QCOMPARE(chooser.MenuCount(), 1);

        if (refusal.isEmpty()) {
            QCOMPARE(answerer.titles, QStringList{"Confirmation"});
            QCOMPARE(RowOf(window, Column, qPrintable(column)), -1);
            CTableWnd fresh(m_sample->Doc(), table.toStdString());
            fresh.LoadSchema();
            QCOMPARE(Names(window), Names(&fresh));
            QCOMPARE(QuerySqlite(m_path, "select count(*) from " + table + ";"), count);
        } else {
            QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
            QVERIFY2(answerer.LastText().contains(refusal), qPrintable(answerer.LastText()));
            QCOMPARE(Names(window), names);
            QCOMPARE(Rows(), rows);
        }
    }
};

QTEST_MAIN(TestSampleKeys)
#include "tst_samplekeys.moc"

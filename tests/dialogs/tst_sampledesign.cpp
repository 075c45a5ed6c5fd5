#include "diagram/TableWnd.h"
#include "dialogs/AddColumnDlg.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/CreateTableDlg.h"
#include "document/Doc.h"
#include "tests/support/ColumnGridDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// Fills a design dialog's column grid and presses its default button, as a
// user does once the dialog is up.
CModalAnswerer::Handler FillAndPress(const QString &tableName, const QStringList &rows, const QString &button)
{
    return [=](QWidget *dialog) {
        QVERIFY(DialogInput::WaitActive(dialog));
        if (!tableName.isEmpty())
            DialogInput::Type(dialog->findChild<QLineEdit *>("tableName"), tableName);
        CColumnGridDriver(dialog->findChild<CColumnGrid *>()).FillRows(rows);
        DialogInput::Press(dialog, button);
        QVERIFY(!dialog->isVisible());
    };
}

// Selects the row and drops it through the Drop entry of its context menu.
void DropFromMenu(CTableWnd *table, int kind, const char *name)
{
    const int row = TableRows::RowOf(table, kind, name);
    QVERIFY(row >= 0);
    QTest::mouseClick(table, Qt::LeftButton, Qt::NoModifier, TableRows::RowPoint(table, row));
    auto chooser = CModalAnswerer::Menus("&Drop");
    QTest::mouseClick(table, Qt::RightButton, Qt::NoModifier, TableRows::RowPoint(table, row));
    QCOMPARE(chooser.MenuCount(), 1);
}

} // namespace

// A new user on the sample database: a table of three columns from the
// background menu, one more column from the new table's own menu, then a
// column and an index dropped from the context menus, with no error on the
// way.
class TestSampleDesign : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
    }

    void createsTableAndAddsColumnFromTheMenus()
    {
        CSampleDiagram sample;
        QVERIFY(sample.Open(900, 700));
        CDoc *doc = sample.Doc();
        CDbView *view = sample.View();
        const int tables = doc->TableCount();
        // Confirmations are answered Yes; an error box would be recorded too.
        CModalAnswerer answers(QMessageBox::Yes);
        auto dialogs = CModalAnswerer::Dialogs();

        dialogs.Queue(FillAndPress("courier", {"courier_id|integer|||||1", "name|varchar|60", "phone|varchar|20"},
                                   "Create"));
        {
            auto chooser = CModalAnswerer::Menus("Create &Table");
            QTest::mouseClick(view->Canvas(), Qt::RightButton, Qt::NoModifier, QPoint(220, 10));
            QCOMPARE(chooser.MenuCount(), 1);
        }
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(doc->TableCount(), tables + 1);
        CTableWnd *courier = doc->FindTable("courier");
        QVERIFY(courier);
        QCOMPARE(TableRows::Names(courier), (QStringList{"courier_id", "name", "phone"}));

        dialogs.Queue(FillAndPress(QString(), {"tracking_url|varchar|200"}, "Add"));
        {
            auto chooser = CModalAnswerer::Menus("&Add Column");
            QTest::mouseClick(courier, Qt::RightButton, Qt::NoModifier, TableRows::RowPoint(courier, 1));
            QCOMPARE(chooser.MenuCount(), 1);
        }
        QCOMPARE(dialogs.Handled(), 2);
        QCOMPARE(dialogs.Unexpected(), 0);
        QCOMPARE(answers.texts, QStringList());
        QCOMPARE(TableRows::Names(courier), (QStringList{"courier_id", "name", "phone", "tracking_url"}));
        QCOMPARE(TableRows::CatalogNames(doc, "courier"), TableRows::Names(courier));

        DropFromMenu(courier, Column, "phone");
        QCOMPARE(TableRows::Names(courier), (QStringList{"courier_id", "name", "tracking_url"}));
        QCOMPARE(TableRows::CatalogNames(doc, "courier"), TableRows::Names(courier));
        CTableWnd *customer = doc->FindTable("customer");
        DropFromMenu(customer, Index, "customer_by_name");
        QCOMPARE(TableRows::RowOf(customer, Index, "customer_by_name"), -1);
        QCOMPARE(TableRows::CatalogNames(doc, "customer"), TableRows::Names(customer));
        QCOMPARE(answers.titles, (QStringList{"Confirmation", "Confirmation"}));
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty())
            view->viewport()->grab().save(folder + "/sample-new-table.png");
    }
};

QTEST_MAIN(TestSampleDesign)
#include "tst_sampledesign.moc"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "tests/support/TableRows.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace DialogInput;
using namespace TableRows;

// A new user on the sample database: two columns selected and a unique
// index made on them, then a trigger with a condition, all from the table
// window's context menu, with no error on the way.
class TestDesignOnSample : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    std::unique_ptr<CSampleDiagram> m_sample;

    CTableWnd *Employee() const { return m_sample->Doc()->FindTable("employee"); }
    QString Query(const QString &sql) const
    {
        return QuerySqlite(m_sandbox.DatabasePath("VellumixSample"), sql);
    }
    // Right-clicks the row and runs the menu entry; the dialog it opens is
    // handed to fill, which ends by pressing Create.
    void RunFromMenu(int row, const char *entry, const std::function<void(QWidget *)> &fill)
    {
        auto driver = CModalAnswerer::Dialogs();
        driver.Queue([&](QWidget *dialog) {
            QVERIFY(WaitActive(dialog));
            fill(dialog);
            Press(dialog, "Create");
        });
        auto chooser = CModalAnswerer::Menus(entry);
        QTest::mouseClick(Employee(), Qt::RightButton, Qt::NoModifier, RowPoint(Employee(), row));
        QCOMPARE(chooser.MenuCount(), 1);
        QCOMPARE(driver.Handled(), 1);
        QCOMPARE(driver.Unexpected(), 0);
    }

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
    }
    void init()
    {
        m_sample = std::make_unique<CSampleDiagram>();
        QVERIFY(m_sample->Open(1300, 1000));
    }
    void cleanup() { m_sample.reset(); }

    void uniqueIndexAndConditionalTrigger()
    {
        CTableWnd *employee = Employee();
        const int name = RowOf(employee, Column, "full_name");
        const int title = RowOf(employee, Column, "title");
        QTest::mouseClick(employee, Qt::LeftButton, Qt::NoModifier, RowPoint(employee, name));
        QTest::mouseClick(employee, Qt::LeftButton, Qt::ControlModifier, RowPoint(employee, title));
        CModalAnswerer answerer;

        const int header = employee->ItemCount();
        RunFromMenu(name, "Create &Index", [](QWidget *dialog) {
            Type(dialog->findChild<QLineEdit *>("indexName"), "employee_by_name_title");
            Tick(dialog->findChild<QCheckBox *>("unique"));
        });
        QCOMPARE(answerer.texts, QStringList());
        QCOMPARE(Names(employee).mid(header), (QStringList{"employee_by_name_title", "full_name", "title"}));
        QCOMPARE(employee->GetItem(header)->m_kind, int(UniqueIndex));
        QVERIFY(Query("insert into employee values (9, 'Tomas Berger', 'Account Manager', 1, null);")
                    .contains("UNIQUE constraint failed"));

        RunFromMenu(header, "Create &Trigger", [](QWidget *dialog) {
            Type(dialog->findChild<QLineEdit *>("triggerName"), "employee_not_own_manager");
            Tick(dialog->findChild<QRadioButton *>("update"));
            Type(dialog->findChild<QPlainTextEdit *>("condition"), "new.manager_id = new.employee_id");
            Type(dialog->findChild<QPlainTextEdit *>("body"),
                 "select raise(abort, 'Nobody manages themselves');");
        });
        QCOMPARE(answerer.texts, QStringList());
        QCOMPARE(Names(employee).last(), QStringLiteral("employee_not_own_manager"));
        QVERIFY(Query("update employee set manager_id = 2 where employee_id = 2;")
                    .contains("Nobody manages themselves"));
        QCOMPARE(Blocks(employee), CatalogBlocks(m_sample->Doc(), "employee"));
        QCOMPARE(Query("update employee set manager_id = 2 where employee_id = 3;"
                       "select manager_id from employee where employee_id = 3;"),
                 QStringLiteral("2\n"));
    }
};

QTEST_MAIN(TestDesignOnSample)
#include "tst_designonsample.moc"

#include "db/DbmsAdapter.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/CreateTableDlg.h"
#include "grid/GridListColumn.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

#include <memory>

using namespace DialogInput;

// The Create Table dialog filled by keys alone, as a user types a column:
// a name, Tab, a type chosen in the list with Enter, Tab, a size, and
// Enter for Create.
class TestColumnGridKeys : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram;

    static void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    // Each key goes where the focus is at that moment, as on a keyboard.
    static void Keys(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }

private slots:
    void initTestCase() { UseSqliteAdapter(); }
    void cleanupTestCase() { CAdapterRegistry::Instance().Clear(); }

    void init()
    {
        m_sandbox.AddSqliteSource("Empty", "create table other(id integer);");
        QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Empty")));
    }
    void cleanup() { m_diagram.Close(); }

    void enterInTheTypeListChoosesAndTabMovesOnToTheSize()
    {
        auto dialog = std::make_unique<CCreateTableDlg>(m_diagram.View());
        QVERIFY(Activate(dialog.get()));
        auto *grid = dialog->findChild<CColumnGrid *>();
        auto *types = dialog->findChild<CGridListColumn *>();
        Type(dialog->findChild<QLineEdit *>("tableName"), "shipment");
        m_diagram.MarkLog();
        CModalAnswerer answerer;

        Key(Qt::Key_Tab);
        Keys("carrier");
        Key(Qt::Key_Tab);
        QCOMPARE(grid->GetCurrentCell().column, 1);
        Keys("varchar"); // the first letter opens the list
        QVERIFY(types->isVisible());
        Key(Qt::Key_Return);
        QCOMPARE(answerer.texts.join("; "), QString());
        QVERIFY(dialog->isVisible());
        QVERIFY(!types->isVisible());
        QCOMPARE(m_diagram.SentSinceMark(), QStringList());
        QCOMPARE(grid->GetItemText(0, 1), QStringLiteral("varchar"));

        Key(Qt::Key_Tab);
        Keys("40");
        Key(Qt::Key_Return);
        QCOMPARE(answerer.texts.join("; "), QString());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(m_diagram.ChangesSinceMark(),
                 QStringList{R"(CREATE TABLE "shipment" ("carrier" varchar(40)))"});
    }
};

QTEST_MAIN(TestColumnGridKeys)
#include "tst_columngridkeys.moc"

#include "dialogs/ColumnGrid.h"
#include "dialogs/CreateTableDlg.h"
#include "grid/GridListColumn.h"
#include "view/DbView.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

#include <memory>

using namespace DialogInput;

// The Create Table dialog filled by keys alone, as a user types a column.
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
            c == '\t' ? Key(Qt::Key_Tab) : QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }

private slots:
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
        Type(dialog->findChild<QLineEdit *>("tableName"), "shipment");
        m_diagram.MarkLog();
        CModalAnswerer answerer;
        Keys("\tcarrier\tvarchar"); // the first letter of the type opens the list
        QVERIFY(dialog->findChild<CGridListColumn *>()->isVisible());
        Key(Qt::Key_Return);
        QCOMPARE(answerer.texts, QStringList());
        QCOMPARE(m_diagram.SentSinceMark(), QStringList());
        QCOMPARE(dialog->findChild<CColumnGrid *>()->GetItemText(0, 1), QStringLiteral("varchar"));
        Keys("\t40");
        Key(Qt::Key_Return);
        QCOMPARE(m_diagram.ChangesSinceMark(),
                 QStringList{R"(CREATE TABLE "shipment" ("carrier" varchar(40)))"});
    }
};

QTEST_MAIN(TestColumnGridKeys)
#include "tst_columngridkeys.moc"

#include "diagram/TableWnd.h"
#include "dialogs/TriggerDlg.h"
#include "document/Doc.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/TableRows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace DialogInput;
using namespace TableRows;

namespace {

const char *const kShopSql = R"(
create table item(id integer not null, qty integer);
create unique index item_pk on item(id);
create table audit(item_id integer, note varchar(40));
)";

} // namespace

// The Trigger dialog on SQLite, driven by clicks and keys.
class TestTriggerDlg : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram;
    std::unique_ptr<CTriggerDlg> m_dialog;

    CTableWnd *Item() const { return m_diagram.Table("item"); }
    template <class Control>
    Control *Find(const char *name) const { return m_dialog->findChild<Control *>(name); }
    QLineEdit *Name() const { return Find<QLineEdit>("triggerName"); }
    QPlainTextEdit *Condition() const { return Find<QPlainTextEdit>("condition"); }
    QPlainTextEdit *Body() const { return Find<QPlainTextEdit>("body"); }

    bool OpenDialog()
    {
        m_dialog = std::make_unique<CTriggerDlg>(Item());
        m_dialog->show();
        return WaitActive(m_dialog.get());
    }
    QString Query(const char *sql) const { return QuerySqlite(m_sandbox.DatabasePath("Shop"), sql); }

private slots:
    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
        QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Shop")));
    }
    void cleanup()
    {
        m_dialog.reset();
        m_diagram.Close();
    }

    // After Insert, only for rows with a quantity above 10, two statements.
    // The trigger row comes last, the selection stays, and the engine runs
    // the trigger: both statements for the big row, none for the small one.
    void conditionalTriggerFiresOnInsert()
    {
        CTableWnd *item = Item();
        m_diagram.Click(item, RowOf(item, Column, "qty"));
        const int rowsBefore = item->ItemCount();
        const int heightBefore = item->height();
        QVERIFY(OpenDialog());
        Type(Name(), "item_audit  ");
        Tick(Find<QRadioButton>("after"));
        Type(Condition(), "new.qty > 10\n");
        Type(Body(), "insert into audit values (new.id, 'big');\n"
                     "insert into audit values (new.id, 'again');\n\n");
        m_diagram.MarkLog();
        CModalAnswerer answerer;
        Press(m_dialog.get(), "Create");

        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_diagram.ChangesSinceMark().size(), 1);
        QCOMPARE(item->ItemCount(), rowsBefore + 1);
        QCOMPARE(item->GetItem(rowsBefore)->m_kind, int(Trigger));
        QCOMPARE(item->GetItem(rowsBefore)->m_name, std::string("item_audit"));
        QCOMPARE(item->FirstSelected(), RowOf(item, Column, "qty"));
        QCOMPARE(item->GetItem(rowsBefore)->m_selected, false);
        QCOMPARE(item->height(), heightBefore + 15);
        QCOMPARE(Names(item), CatalogNames(m_diagram.Doc(), "item"));

        QCOMPARE(Query("insert into item values (5, 20), (6, 1); select item_id, note from audit;"),
                 QStringLiteral("5,'big'\n5,'again'\n"));
        QCOMPARE(Query("select type, tbl_name from sqlite_master where name = 'item_audit';"),
                 QStringLiteral("'trigger','item'\n"));
    }

    // The engine's refusal is shown in its own words; the dialog keeps every
    // text as typed, and once mended the same dialog creates the trigger.
    void refusedBodyCanBeMended()
    {
        const QStringList rows = Names(Item());
        QVERIFY(OpenDialog());
        Type(Name(), "item_log");
        Type(Body(), "insert into audit valuess (new.id, 'x');\n");
        m_diagram.MarkLog();
        CModalAnswerer answerer;
        Press(m_dialog.get(), "Create");

        QCOMPARE(answerer.Count(), 1);
        QCOMPARE(answerer.LastTitle(), QStringLiteral("Error"));
        QVERIFY2(answerer.LastText().contains(R"(near "valuess": syntax error)"), qPrintable(answerer.LastText()));
        QCOMPARE(m_diagram.ChangesSinceMark().size(), 1);
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(Name()->text(), QStringLiteral("item_log"));
        QCOMPARE(Body()->toPlainText(), QStringLiteral("insert into audit valuess (new.id, 'x');\n"));
        QCOMPARE(Names(Item()), rows);
        QCOMPARE(Query("select count(*) from sqlite_master where type = 'trigger';"), QStringLiteral("0\n"));

        QTest::mouseClick(Body()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
        for (int i = 0; i < QStringLiteral("insert into audit values").size(); ++i)
            QTest::keyClick(Body(), Qt::Key_Right);
        QTest::keyClick(Body(), Qt::Key_Delete);
        Press(m_dialog.get(), "Create");
        QCOMPARE(answerer.Count(), 1);
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(Names(Item()), rows + QStringList{"item_log"});
    }

    void inputErrorsSendNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        QTest::newRow("name of blanks") << "   " << "select 1;" << "The trigger name is missing";
        QTest::newRow("body of blanks and line breaks") << "tr" << " \n \n" << "The trigger body is missing";
    }
    void inputErrorsSendNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, body);
        QFETCH(QString, message);
        QVERIFY(OpenDialog());
        Type(Name(), name);
        Type(Body(), body);
        m_diagram.MarkLog();
        CModalAnswerer answerer;
        Press(m_dialog.get(), "Create");
        QCOMPARE(answerer.texts, QStringList{message});
        QCOMPARE(m_diagram.SentSinceMark(), QStringList());
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(Name()->text(), name);
        QCOMPARE(Body()->toPlainText(), body);
    }

    // SQLite has no firing order: the field cannot be used and says why.
    // Conditions it has.
    void firingOrderIsDisabled()
    {
        QVERIFY(OpenDialog());
        QLineEdit *order = Find<QLineEdit>("firingOrder");
        QVERIFY(!order->isEnabled());
        QCOMPARE(order->toolTip(), QStringLiteral("SQLite has no firing order for triggers."));
        QVERIFY(Condition()->isEnabled());

        Type(Name(), "item_check");
        Tick(Find<QRadioButton>("after"));
        Tick(Find<QRadioButton>("update"));
        Type(Condition(), "new.qty < 0");
        Type(Body(), "select raise(abort, 'no negative stock');");
        QVERIFY(Find<QRadioButton>("after")->isChecked());
        QVERIFY(Find<QRadioButton>("update")->isChecked());
        QVERIFY(!Find<QRadioButton>("before")->isChecked());
        QVERIFY(!Find<QRadioButton>("insert")->isChecked());
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty())
            QVERIFY(m_dialog->grab().save(folder + "/trigger-dialog.png"));
    }
};

QTEST_MAIN(TestTriggerDlg)
#include "tst_triggerdlg.moc"

#include "diagram/TableWnd.h"
#include "dialogs/AddColumnDlg.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/CreateTableDlg.h"
#include "document/Doc.h"
#include "tests/support/ColumnGridDriver.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QLineEdit>
#include <QtTest>

using namespace DialogInput;

namespace {

const char *const kShopSql = R"(
create table T(a integer);
insert into T values (1), (2);
)";

} // namespace

// The column dialogs as a Pervasive.SQL user drives them: the statement
// each sends is the Pervasive.SQL text, byte for byte. SQLite's own
// dictionary runs underneath, so a text SQLite also accepts creates its
// table, and one it refuses shows how a refusal reaches the user.
class TestPervasiveColumnDialogs : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram{SqliteWithPervasiveDialect()};

    static CColumnGrid *Grid(const QWidget *dialog) { return dialog->findChild<CColumnGrid *>(); }

private slots:
    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
        QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Shop")));
    }
    void cleanup() { m_diagram.Close(); }

    void createTableSendsTheTextAsComposed_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("accepted");
        // SQLite knows no collation y.
        QTest::newRow("two rows") << "T2" << QStringList{"a|integer|||||1", "b|char|20||y|'x'"}
                                  << R"(CREATE TABLE "T2" ("a" integer not null, "b" char(20) DEFAULT 'x' collate 'y'))"
                                  << false;
        QTest::newRow("blank before the size, apostrophes in the default")
            << "S" << QStringList{"c|char| 5|||'it''s'", "n|integer|||||0"}
            << R"(CREATE TABLE "S" ("c" char( 5) DEFAULT 'it''s', "n" integer))" << true;
    }
    void createTableSendsTheTextAsComposed()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, rows);
        QFETCH(QString, statement);
        QFETCH(bool, accepted);
        CDoc *doc = m_diagram.Doc();
        const int tables = doc->TableCount();
        CCreateTableDlg dialog(m_diagram.View());
        QVERIFY(Activate(&dialog));
        Type(dialog.findChild<QLineEdit *>("tableName"), table);
        CColumnGridDriver(Grid(&dialog)).FillRows(rows);
        m_diagram.MarkLog();
        CModalAnswerer answerer;
        Press(&dialog, "Create");

        QCOMPARE(m_diagram.ChangesSinceMark().value(0), statement);
        QCOMPARE(answerer.Count(), accepted ? 0 : 1);
        QCOMPARE(dialog.isVisible(), !accepted);
        QCOMPARE(doc->TableCount(), tables + (accepted ? 1 : 0));
        if (accepted)
            QCOMPARE(TableRows::Names(doc->FindTable(qPrintable(table))),
                     TableRows::CatalogNames(doc, qPrintable(table)));
        else
            QVERIFY2(answerer.texts[0].contains("collation"), qPrintable(answerer.texts[0]));
    }

    // SQLite has no parenthesised list of ADD clauses: the refusal is the
    // engine's, and the table and its window stay as they were.
    void addColumnsSendsOneStatementWithAClausePerRow()
    {
        CTableWnd *table = m_diagram.Table("T");
        const QStringList before = TableRows::Names(table);
        CAddColumnDlg dialog(table);
        QVERIFY(Activate(&dialog));
        CColumnGridDriver grid(Grid(&dialog));
        grid.FillRows({"c|integer", "d|char|10||||1"});
        m_diagram.MarkLog();
        CModalAnswerer answerer;
        Press(&dialog, "Add");

        QCOMPARE(m_diagram.ChangesSinceMark(),
                 QStringList{R"(ALTER TABLE "T" ( ADD "c" integer,  ADD "d" char(10) not null))"});
        QCOMPARE(answerer.titles, QStringList{"Error"});
        QVERIFY2(answerer.texts[0].contains("syntax error"), qPrintable(answerer.texts[0]));
        QVERIFY(dialog.isVisible());
        QCOMPARE(grid.FilledRows(), (QStringList{"c|integer", "d|char|10||||1"}));
        QCOMPARE(TableRows::Names(table), before);
        QCOMPARE(TableRows::CatalogNames(m_diagram.Doc(), "T"), before);
    }
};

QTEST_MAIN(TestPervasiveColumnDialogs)
#include "tst_pervasivecolumndialogs.moc"

#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "dialogs/AddColumnDlg.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/CreateTableDlg.h"
#include "document/Doc.h"
#include "grid/GridListColumn.h"
#include "res/Resource.h"
#include "tests/support/ColumnGridDriver.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"
#include "tests/support/SessionRows.h"
#include "tests/support/SqliteRows.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <memory>

using namespace DialogInput;
using namespace TableRows;

namespace {

const char *const kShopSql = R"(
create table item(id integer primary key, name varchar(20) not null, qty integer);
create index item_by_name on item(name);
insert into item values (1, 'bolt', 5), (2, 'nut', 7), (3, 'gear', NULL);
create table T(a integer);
insert into T values (1), (2);
)";

// An expected statement ending in "..." fixes only its beginning: the rest
// is SQLite's dialect's own text.
bool Matches(const QString &sent, const QString &expected)
{
    return expected.endsWith("...") ? sent.startsWith(expected.chopped(3)) : sent == expected;
}

} // namespace

// The Create Table and Add Column dialogs, driven by clicks and keys: what
// reaches the engine, what the diagram shows afterwards, and what the user
// sees when something is refused. The Pervasive.SQL engine cannot run here:
// its cases run on SQLite's own dictionary with the Pervasive.SQL dialect,
// so every statement sent is the Pervasive.SQL text, and a text SQLite
// refuses shows how a refusal reaches the user.
class TestColumnDialogs : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_sqlite;
    CDiagramDriver m_pervasive{SqliteWithPervasiveDialect()};
    CDiagramDriver *m_diagram = &m_sqlite;
    CDoc *m_doc = nullptr;
    CDbView *m_view = nullptr;
    std::unique_ptr<CCreateTableDlg> m_dialog;

    CDbSession &Session() const { return m_diagram->Session(); }
    // Opens the shop's diagram as the engine's user sees it.
    bool Open(const QString &engine)
    {
        m_sqlite.Close();
        m_diagram = engine == "SQLite" ? &m_sqlite : &m_pervasive;
        if (!m_diagram->Open(COdbcSandbox::ConnectionString("Shop")))
            return false;
        m_doc = m_diagram->Doc();
        m_view = m_diagram->View();
        return true;
    }

    // The first column of every row of a query; the log mark moves past it.
    QStringList Rows(const QString &sql)
    {
        const QStringList rows = FirstColumnRows(Session(), sql);
        m_diagram->MarkLog();
        return rows;
    }
    QStringList CatalogColumns(const QString &table)
    {
        return Rows(QStringLiteral("select name from pragma_table_info('%1') order by cid").arg(table));
    }
    static QStringList ColumnRows(const CTableWnd *table)
    {
        QStringList columns;
        for (int i = 0; const CTableItem *item = table->GetItem(i); ++i)
            if (item->m_kind == Column)
                columns << QString::fromStdString(item->m_name);
        return columns;
    }

    CCreateTableDlg *OpenCreateTable()
    {
        m_dialog = std::make_unique<CCreateTableDlg>(m_view);
        if (!Activate(m_dialog.get()))
            qWarning("the Create Table dialog did not become active");
        return m_dialog.get();
    }
    static QLineEdit *TableName(const QWidget *dialog) { return dialog->findChild<QLineEdit *>("tableName"); }
    static CColumnGrid *Grid(const QWidget *dialog) { return dialog->findChild<CColumnGrid *>(); }
    // Presses Tab the given number of times and names where the focus went:
    // a button by its text, another control by its class.
    static QStringList FocusWalk(QWidget *dialog, int presses)
    {
        QStringList visited;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            if (!focus || focus->window() != dialog)
                visited << QStringLiteral("outside");
            else if (auto *button = qobject_cast<QPushButton *>(focus))
                visited << button->text();
            else
                visited << QString::fromLatin1(focus->metaObject()->className());
        }
        return visited;
    }

private slots:
    // Every case starts on SQLite; a case with an engine column opens its own.
    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
        QVERIFY(Open("SQLite"));
    }
    void cleanup()
    {
        m_dialog.reset();
        m_sqlite.Close();
        m_pervasive.Close();
    }

    void gridOffersTheEngineTypesInEightColumns()
    {
        CColumnGrid *grid = Grid(OpenCreateTable());
        QCOMPARE(grid->GetColumnCount(), 8);
        QStringList widths;
        for (int column = 0; column < 8; ++column)
            widths << QString::number(grid->GetColumnWidth(column));
        QCOMPARE(widths.mid(1), (QStringList{"100", "50", "50", "100", "100", "40", "40"}));
        // The name column takes what the others leave beside the scroll bar.
        QCOMPARE(grid->GetColumnWidth(0) + 480, grid->GetClientRect().width());
        QCOMPARE(static_cast<int>(grid->Types().size()), Session().TypeCount());

        CColumnGridDriver rows(grid);
        rows.FillRow(0, "a|integer");
        QVERIFY(grid->IsCellLocked(0, 2));
        rows.Choose(0, "varchar");
        QVERIFY(!grid->IsCellLocked(0, 2));
        QVERIFY(grid->IsCellLocked(0, 3));
        QVERIFY(!grid->IsCellLocked(1, 0));
        QVERIFY(grid->IsCellLocked(2, 0));
    }

    // The template's texts fit their controls at the platform's dialog
    // units. With VELLUMIX_SHOT_DIR set, both dialogs are saved as pictures
    // as a user sees them filled in.
    void dialogsShowTheirWholeTexts()
    {
        CCreateTableDlg *create = OpenCreateTable();
        Type(TableName(create), "shipment");
        CColumnGridDriver(Grid(create)).FillRows({"shipment_id|integer|||||1", "carrier|varchar|40||case|'post'",
                                                  "weight|decimal|8|3", "shipped_on"});
        OpenCell(Grid(create), 3, 1);
        const QImage createShot = create->grab().toImage();

        CAddColumnDlg add(m_doc->FindTable("item"));
        QVERIFY(Activate(&add));
        QCOMPARE(Grid(&add)->GetColumnCount(), 7); // no Key column: the table's key stays as it is
        CColumnGridDriver(Grid(&add)).FillRows({"price|decimal|10|2||0", "note|text|200"});
        const QImage addShot = add.grab().toImage();
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty()) {
            createShot.save(folder + "/create-table.png");
            addShot.save(folder + "/add-column.png");
        }

        for (const QWidget *dialog : {static_cast<QWidget *>(create), static_cast<QWidget *>(&add)}) {
            for (const QLabel *label : dialog->findChildren<QLabel *>()) {
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(label->text()));
                QVERIFY(label->fontMetrics().height() <= label->height());
            }
            for (const QPushButton *button : dialog->findChildren<QPushButton *>())
                QVERIFY2(button->sizeHint().height() <= button->height()
                             && button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 8,
                         qPrintable(button->text()));
        }
    }

    // Tab walks the controls in template order; Space on Cancel leaves and
    // sends nothing. Add Column comes through the view's own command (the
    // Edit menu's), which hands it to the active table window.
    void tabWalksTheTemplateAndCancelSendsNothing()
    {
        CCreateTableDlg *create = OpenCreateTable();
        QCOMPARE(QApplication::focusWidget(), TableName(create));
        QCOMPARE(FocusWalk(create, 3), (QStringList{"CColumnGrid", "Create", "Cancel"}));
        m_diagram->MarkLog();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(create->result(), int(QDialog::Rejected));
        QVERIFY(!create->isVisible());

        CTableWnd *item = m_doc->FindTable("item");
        m_diagram->Click(item, 0);
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *widget) {
            auto *dialog = qobject_cast<CAddColumnDlg *>(widget);
            QVERIFY(dialog);
            QCOMPARE(dialog->parentWidget(), item);
            QVERIFY(Activate(dialog));
            QCOMPARE(QApplication::focusWidget(), Grid(dialog));
            QCOMPARE(FocusWalk(dialog, 2), (QStringList{"Add", "Cancel"}));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
        });
        QVERIFY(m_view->OnCommand(Cmd::AddColumn));
        QCOMPARE(dialogs.Handled(), 1);
        QVERIFY(m_diagram->SentSinceMark().isEmpty());
        QCOMPARE(CatalogColumns("item"), (QStringList{"id", "name", "qty"}));
    }

    // The type list of a low row drops over the Create button and must be
    // seen whole, not painted over by the button.
    void typeListOpensOverTheButtons()
    {
        CCreateTableDlg *dialog = OpenCreateTable();
        CColumnGrid *grid = Grid(dialog);
        const int last = grid->GetItemCount() - 1;
        CColumnGridDriver rows(grid);
        for (int row = 0; row < last; ++row)
            rows.FillRow(row, QStringLiteral("c%1|integer").arg(row));
        rows.Type(last, 0, "low");
        OpenCell(grid, last, 1);
        auto *list = dialog->findChild<CGridListColumn *>();
        QVERIFY(list && list->isVisible());
        QPushButton *create = nullptr;
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->text() == "Create")
                create = button;
        QVERIFY(create);
        const QRect overlap = list->geometry() & create->geometry();
        QVERIFY2(!overlap.isEmpty(), "the list should reach the Create button");
        QWidget *seen = dialog->childAt(overlap.center());
        QVERIFY(seen == list || list->isAncestorOf(seen));
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty())
            dialog->grab().save(folder + "/create-table-low-list.png");
    }

    // Scrolled far from the corner, the user still sees the new table: the
    // view scrolls to it.
    void createsTableWithEveryKindOfColumn()
    {
        m_view->horizontalScrollBar()->setValue(3000);
        m_view->verticalScrollBar()->setValue(2500);
        QCOMPARE(m_view->ScrollPosition(), QPoint(3000, 2500));
        const int tables = m_doc->TableCount();
        CCreateTableDlg *dialog = OpenCreateTable();
        Type(TableName(dialog), "part");
        CColumnGridDriver(Grid(dialog)).FillRows({"id|integer|||||1", "name|varchar|30||Case|'none'",
                                                  "price|decimal|10|2||0", "code|char|4||rtrim",
                                                  "memo|blob|||||0"});
        CModalAnswerer answerer;
        Press(dialog, "Create");
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(!dialog->isVisible());

        QCOMPARE(Rows("select name||' '||type||' '||\"notnull\"||' '||coalesce(dflt_value, '-') "
                      "from pragma_table_info('part') order by cid"),
                 (QStringList{"id INTEGER 1 -", "name varchar(30) 0 'none'", "price decimal(10,2) 0 0",
                              "code char(4) 0 -", "memo BLOB 0 -"}));
        // Case-insensitive names, codes that ignore trailing blanks.
        QVERIFY(Session().Execute("insert into part(id, name, code) values (1, 'Bolt', 'ab  ')") >= 0);
        Session().CloseStatement();
        QCOMPARE(Rows("select count(*) from part where name = 'BOLT' and code = 'ab'"), QStringList{"1"});

        QCOMPARE(m_doc->TableCount(), tables + 1);
        CTableWnd *part = m_doc->GetTable(tables);
        QCOMPARE(part->m_name, std::string("part"));
        QCOMPARE(ColumnRows(part), CatalogColumns("part"));
        for (int i = 0; const CTableItem *item = part->GetItem(i); ++i) {
            const bool nullable = QString::fromStdString(item->m_description).endsWith(" N");
            QCOMPARE(nullable, item->m_name != "id");
        }
        QVERIFY(part->isVisible());
        QCOMPARE(part->parentWidget(), m_view->Canvas());
        QCOMPARE(part->m_savedPos, QPoint(0, 0));
        QCOMPARE(part->GetPosition(), QPoint(0, 0));
        const int frame = Platform::kSizingFrameHeight;
        QCOMPARE(part->size(), QSize(120, 3 * frame + Platform::kCaptionHeight + 2 + 15 * 5));
        QCOMPARE(m_view->ScrollPosition(), QPoint(0, 0));
        // The diagram file does not know the table until it is saved.
        QVERIFY(m_doc->CheckMovedTables());
        QTemporaryDir folder;
        QVERIFY(m_doc->OnSaveDocument(folder.filePath("shop.vmx")));
        QVERIFY(!m_doc->CheckMovedTables());
    }

    // What the engine answers reaches the user: an accepted table gets its
    // window, a refused one none, and the dialog keeps its input so the same
    // statement goes again. Pervasive.SQL's text is compared byte for byte;
    // SQLite's own dictionary underneath accepts or refuses it.
    void createTableShowsTheEnginesAnswer_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("error");
        QTest::newRow("SQLite, a name taken") << "SQLite" << "item" << QStringList{"a|integer", "b|varchar|10"}
                                              << R"(CREATE TABLE "item"...)" << "table \"item\" already exists";
        // SQLite knows no collation y.
        QTest::newRow("Pervasive.SQL, two rows")
            << "Pervasive.SQL" << "T2" << QStringList{"a|integer|||||1", "b|char|20||y|'x'"}
            << R"(CREATE TABLE "T2" ("a" integer not null, "b" char(20) DEFAULT 'x' collate 'y'))" << "collation";
        QTest::newRow("Pervasive.SQL, blank before the size, apostrophes in the default")
            << "Pervasive.SQL" << "S" << QStringList{"c|char| 5|||'it''s'", "n|integer|||||0"}
            << R"(CREATE TABLE "S" ("c" char( 5) DEFAULT 'it''s', "n" integer))" << QString();
    }
    void createTableShowsTheEnginesAnswer()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, rows);
        QFETCH(QString, statement);
        QFETCH(QString, error);
        QVERIFY(Open(engine));
        const int tables = m_doc->TableCount();
        const QStringList catalog = CatalogNames(m_doc, qPrintable(table));
        CCreateTableDlg *dialog = OpenCreateTable();
        Type(TableName(dialog), table);
        CColumnGridDriver grid(Grid(dialog));
        grid.FillRows(rows);
        m_diagram->MarkLog();
        CModalAnswerer answerer;
        Press(dialog, "Create");
        const QStringList sent = m_diagram->ChangesSinceMark();
        QCOMPARE(sent.size(), 1);
        QVERIFY2(Matches(sent[0], statement), qPrintable(sent[0]));
        if (error.isEmpty()) {
            QCOMPARE(answerer.Count(), 0);
            QVERIFY(!dialog->isVisible());
            QCOMPARE(m_doc->TableCount(), tables + 1);
            QCOMPARE(Names(m_doc->FindTable(qPrintable(table))), CatalogNames(m_doc, qPrintable(table)));
            return;
        }
        Press(dialog, "Create");
        QCOMPARE(answerer.titles, (QStringList{"Error", "Error"}));
        QCOMPARE(answerer.icons.value(0), QMessageBox::Critical);
        QVERIFY2(answerer.texts[0].contains(error), qPrintable(answerer.texts[0]));
        QCOMPARE(answerer.texts[1], answerer.texts[0]);
        QCOMPARE(m_diagram->ChangesSinceMark(), (QStringList{sent[0], sent[0]}));
        QVERIFY(dialog->isVisible());
        QCOMPARE(TableName(dialog)->text(), table);
        QCOMPARE(grid.FilledRows(), rows);
        QCOMPARE(m_doc->TableCount(), tables);
        QCOMPARE(CatalogNames(m_doc, qPrintable(table)), catalog);

        // Escape leaves without sending anything.
        m_diagram->MarkLog();
        QTest::keyClick(dialog, Qt::Key_Escape);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(m_diagram->SentSinceMark().isEmpty());
        QVERIFY(!m_doc->CheckMovedTables());
    }

    void inputErrorsAreShownAndTheInputStays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("-30005") << "" << QStringList{"a|integer"} << "The table name must be entered";
        QTest::newRow("-30007") << "T" << QStringList{} << "You must specify at least one column";
        QTest::newRow("-30008") << "T" << QStringList{"a|integer", "b"} << "The datatype has not been specified";
        QTest::newRow("-30003") << "T" << QStringList{"a|varchar|x"}
                                << "This datatype requires a length to be specified";
        QTest::newRow("-30004") << "T" << QStringList{"a|decimal|10|0"}
                                << "This datatype requires decimals to be specified";
    }
    void inputErrorsAreShownAndTheInputStays()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, rows);
        QFETCH(QString, message);
        CCreateTableDlg *dialog = OpenCreateTable();
        Type(TableName(dialog), name);
        CColumnGridDriver grid(Grid(dialog));
        grid.FillRows(rows);
        m_diagram->MarkLog();
        CModalAnswerer answerer;
        Press(dialog, "Create");
        QCOMPARE(answerer.titles, QStringList{"Error"});
        QCOMPARE(answerer.texts, QStringList{message});
        QVERIFY(m_diagram->SentSinceMark().isEmpty());
        QVERIFY(dialog->isVisible());
        QCOMPARE(TableName(dialog)->text(), name);
        QCOMPARE(grid.FilledRows(), rows);
    }

    // The engine refuses the columns: none may stay, and the dialog keeps
    // them. SQLite takes the first of its statements and refuses the second;
    // SQLite's parser refuses Pervasive.SQL's one statement with a clause per
    // row, which is compared byte for byte. Completed, the same rows go in
    // together.
    void addColumnsAllOrNone_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("error");
        // The default typed into the second row to complete it; none: the
        // dialog is cancelled. Then the table's columns and its rows, quoted.
        QTest::addColumn<QString>("completion");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("SQLite") << "SQLite" << "item" << QStringList{"extra|integer", "must|integer|||||1"}
                                << QStringList{R"(ALTER TABLE "item"...)", R"(ALTER TABLE "item"...)"}
                                << "Cannot add a NOT NULL column with default value NULL" << "0"
                                << QStringList{"id", "name", "qty", "extra", "must"}
                                << QStringList{"1'bolt'5NULL0", "2'nut'7NULL0", "3'gear'NULLNULL0"};
        QTest::newRow("Pervasive.SQL")
            << "Pervasive.SQL" << "T" << QStringList{"c|integer", "d|char|10||||1"}
            << QStringList{R"(ALTER TABLE "T" ( ADD "c" integer,  ADD "d" char(10) not null))"} << "syntax error"
            << QString() << QStringList{"a"} << QStringList{"1", "2"};
    }
    void addColumnsAllOrNone()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, statements);
        QFETCH(QString, error);
        QFETCH(QString, completion);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, values);
        QVERIFY(Open(engine));
        CTableWnd *window = m_doc->FindTable(qPrintable(table));
        const QStringList windowRows = Names(window);
        const QSize windowSize = window->size();
        const QStringList before = CatalogColumns(table);
        const QStringList data = SqliteRows::Dump(m_sandbox.DatabasePath("Shop"));
        m_diagram->Click(window, 0);
        auto answerer = CModalAnswerer::Dialogs();
        answerer.Queue([&](QWidget *widget) {
            auto *dialog = qobject_cast<CAddColumnDlg *>(widget);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Add Column(s)"));
            QVERIFY(Activate(dialog));
            CColumnGridDriver grid(Grid(dialog));
            grid.FillRows(rows);
            m_diagram->MarkLog();
            {
                CModalAnswerer refusal;
                Press(dialog, "Add");
                QCOMPARE(refusal.titles, QStringList{"Error"});
                QVERIFY2(refusal.texts[0].contains(error), qPrintable(refusal.texts[0]));
            }
            const QStringList sent = m_diagram->ChangesSinceMark();
            QCOMPARE(sent.size(), statements.size());
            for (int i = 0; i < sent.size(); ++i)
                QVERIFY2(Matches(sent[i], statements[i]), qPrintable(sent[i]));
            QVERIFY(dialog->isVisible());
            QCOMPARE(grid.FilledRows(), rows);
            QVERIFY(!Session().InTransaction());
            QCOMPARE(CatalogColumns(table), before);
            QCOMPARE(SqliteRows::Dump(m_sandbox.DatabasePath("Shop")), data);
            QCOMPARE(Names(window), windowRows);
            QCOMPARE(window->size(), windowSize);

            QVERIFY(Activate(dialog));
            if (completion.isEmpty()) {
                Press(dialog, "Cancel");
                return;
            }
            grid.Type(1, 5, completion);
            CModalAnswerer none;
            Press(dialog, "Add");
            QCOMPARE(none.Count(), 0);
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
        });
        answerer.ChooseFromMenus("&Add Column");
        QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, RowPoint(window, 0));
        QCOMPARE(answerer.Handled(), 1);

        QCOMPARE(CatalogColumns(table), columns);
        QCOMPARE(ColumnRows(window), columns);
        const QString quoted = "quote(\"" + columns.join("\")||quote(\"") + "\")";
        QCOMPARE(Rows(QStringLiteral("select %1 from \"%2\" order by 1").arg(quoted, table)), values);
        QCOMPARE(window->height(), windowSize.height() + 15 * static_cast<int>(columns.size() - before.size()));
    }
};

QTEST_MAIN(TestColumnDialogs)
#include "tst_columndialogs.moc"

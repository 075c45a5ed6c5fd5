#include "db/DbSession.h"
#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "grid/GridCtrl.h"
#include "grid/GridListColumn.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/RowDrag.h"
#include "tests/support/SqliteRows.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QRadioButton>
#include <QGroupBox>
#include <QtTest>

using namespace TableRows;
using DialogInput::Press;
using RowDrag::Cells;

namespace {

using SqliteRows::Lines;

// ORDERS carries a CHECK constraint, defaults, a collation, two indexes and
// a trigger, and rows of every storage class; CUSTOMER has a two-column
// unique index that ORDERS's two-column index can refer to.
const char *const kShopSql = R"(
create table CUSTOMER(ID integer primary key, REGION varchar(4) not null, NAME varchar(20));
create unique index CUSTOMER_KEY on CUSTOMER(ID, REGION);
insert into CUSTOMER values (1, 'N', 'Ann'), (2, 'S', 'Bo'), (3, 'N', NULL);
create table ORDERS(
  ID integer primary key,
  CUSTOMER_ID integer,
  CUSTOMER_REGION varchar(4) collate nocase default 'N', -- as typed
  QTY integer not null default 1 check (QTY > 0),
  NOTE text
);
create index ORDERS_BY_CUSTOMER on ORDERS(CUSTOMER_ID, CUSTOMER_REGION);
create index ORDERS_BY_QTY on ORDERS(QTY desc);
create trigger ORDERS_NOTE after update of QTY on ORDERS
begin update ORDERS set NOTE = 'changed' where ID = new.ID; end;
insert into ORDERS values (10, 1, 'N', 5, 'first'), (11, 2, 'S', 1, NULL),
  (12, NULL, NULL, 3, x'00ff'), (13, 1, 'N', 2, 1.5);
)";

bool IsDark(QRgb pixel) { return qGray(pixel) < 128; }

} // namespace

// The Foreign Key dialog at the end of a row drag, on SQLite: what it
// offers, the key it adds, and what a refusal leaves.
class TestForeignKeyDlg : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram;
    QString m_path;
    CTableWnd *m_orders = nullptr;
    CTableWnd *m_customer = nullptr;
    // Answers every message box, so that an unexpected one fails a test
    // rather than hanging it.
    std::unique_ptr<CModalAnswerer> m_answerer;

    CDbView *View() const { return m_diagram.View(); }
    CDbSession &Session() const { return m_diagram.Session(); }
    CSchemaModel &Keys() const { return m_diagram.Doc()->Schema(); }

    QStringList Rows() const { return SqliteRows::Dump(m_path); }
    QStringList Schema() const
    {
        return Lines(QuerySqlite(m_path, "select type, name, sql from sqlite_master order by name;"));
    }
    QString Sql(const char *name) const
    {
        return QuerySqlite(m_path, QStringLiteral("select sql from sqlite_master where name = '%1';").arg(name));
    }
    QStringList KeysOfOrders() const
    {
        return Lines(QuerySqlite(m_path, "select \"table\", \"from\", \"to\", on_delete from "
                                         "pragma_foreign_key_list('ORDERS') order by seq;"));
    }
    // Drags a row of ORDERS onto a row of CUSTOMER; the dialog is worked by
    // the handler, inside the release.
    void DragOrdersOntoCustomer(int kind, const char *row, int targetKind, const char *target,
                                CModalAnswerer::Handler handler)
    {
        auto driver = CModalAnswerer::Dialogs();
        driver.Queue([handler](QWidget *dialog) {
            if (DialogInput::WaitActive(dialog))
                handler(dialog);
            // A handler that failed half-way leaves the dialog open.
            if (dialog->isVisible())
                static_cast<QDialog *>(dialog)->reject();
        });
        RowDrag::Drag(m_orders, RowOf(m_orders, kind, row), m_customer, RowOf(m_customer, targetKind, target));
        QCOMPARE(driver.Handled(), 1);
        QCOMPARE(driver.Unexpected(), 0);
        QVERIFY(!QApplication::activeModalWidget());
    }
    static QRadioButton *Radio(QWidget *dialog, const QString &text)
    {
        for (QRadioButton *button : dialog->findChildren<QRadioButton *>())
            if (button->text() == text)
                return button;
        return nullptr;
    }
    // Opens a list cell and clicks the choice.
    static void Choose(QWidget *dialog, int row, int column, const QString &choice)
    {
        DialogInput::Choose(dialog->findChild<CGridCtrl *>(), RowDrag::List(dialog, column), row, choice);
    }
    // Whether a click on the cell opens it.
    static bool Opens(QWidget *dialog, int row, int column)
    {
        DialogInput::OpenCell(dialog->findChild<CGridCtrl *>(), row, column);
        const bool open = RowDrag::List(dialog, column)->isVisible();
        dialog->findChild<CGridCtrl *>()->TakeFocus();
        return open;
    }

private slots:
    void init()
    {
        m_path = m_sandbox.AddSqliteSource("Shop", kShopSql);
        QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Shop")));
        m_orders = m_diagram.Table("ORDERS");
        m_customer = m_diagram.Table("CUSTOMER");
        QVERIFY(m_orders && m_customer);
        m_answerer = std::make_unique<CModalAnswerer>();
    }
    void cleanup()
    {
        m_answerer.reset();
        m_diagram.Close();
    }

    // The dragged and the target column fill row 0; OK adds the key, the
    // line appears, and nothing of either table is lost.
    void columnOntoColumnAddsTheKey()
    {
        const QStringList rows = Rows();
        const QString table = Sql("ORDERS");
        const QStringList kept = {Sql("ORDERS_BY_CUSTOMER"), Sql("ORDERS_BY_QTY"), Sql("ORDERS_NOTE")};
        const QStringList ordersRows = Names(m_orders);
        QCOMPARE(Keys().RelationshipCount(), 0);

        QString title;
        QStringList headings, columns, referenced, choices, referencedChoices;
        bool ruleSet = true;
        DragOrdersOntoCustomer(Column, "CUSTOMER_ID", Column, "ID", [&](QWidget *dialog) {
            title = dialog->windowTitle();
            headings = RowDrag::Headings(dialog);
            columns = Cells(dialog, 0);
            referenced = Cells(dialog, 1);
            choices = DialogInput::Choices(RowDrag::List(dialog, 0));
            referencedChoices = DialogInput::Choices(RowDrag::List(dialog, 1));
            ruleSet = Radio(dialog, "Cascade")->isChecked() || Radio(dialog, "Restrict")->isChecked();
            Press(dialog, "OK");
        });
        QCOMPARE(m_answerer->Count(), 0);
        QCOMPARE(title, QStringLiteral("Foreign Key"));
        QCOMPARE(headings, (QStringList{"ORDERS", "CUSTOMER"}));
        QCOMPARE(columns, QStringList{"CUSTOMER_ID"});
        QCOMPARE(referenced, QStringList{"ID"});
        // Only columns are offered, sorted.
        QCOMPARE(choices, (QStringList{"CUSTOMER_ID", "CUSTOMER_REGION", "ID", "NOTE", "QTY"}));
        QCOMPARE(referencedChoices, (QStringList{"ID", "NAME", "REGION"}));
        QVERIFY(!ruleSet);

        QCOMPARE(KeysOfOrders(), QStringList{"'CUSTOMER','CUSTOMER_ID','ID','NO ACTION'"});
        QCOMPARE(Keys().RelationshipCount(), 1);
        const CDbRelationship *relationship = Keys().GetRelationship(0);
        QCOMPARE(relationship->m_foreignTable, std::string("ORDERS"));
        QCOMPARE(relationship->m_parentTable, std::string("CUSTOMER"));
        CRelationshipRoute route;
        QVERIFY(View()->RelationshipRoute(*relationship, route));
        const QPoint onStub = (route.m_line[0] + route.m_line[1]) / 2 - View()->ScrollPosition();
        QTRY_VERIFY(IsDark(View()->viewport()->grab().toImage().pixel(onStub)));

        QCOMPARE(Rows(), rows);
        // The table keeps its CHECK constraint, defaults and collation: its
        // text gains the key and loses nothing. Indexes and trigger stay.
        const QString rebuilt = Sql("ORDERS");
        const QStringList definitions = table.mid(table.indexOf('(') + 1).split('\n');
        for (const QString &definition : definitions.mid(0, definitions.size() - 2))
            QVERIFY2(rebuilt.contains(definition), qPrintable(rebuilt));
        QCOMPARE((QStringList{Sql("ORDERS_BY_CUSTOMER"), Sql("ORDERS_BY_QTY"), Sql("ORDERS_NOTE")}), kept);
        QCOMPARE(Names(m_orders), ordersRows);
        QCOMPARE(View()->m_dropRow, -1);
    }

    void twoSegmentIndexOntoTwoSegmentIndex()
    {
        QStringList columns, referenced;
        DragOrdersOntoCustomer(Index, "ORDERS_BY_CUSTOMER", UniqueIndex, "CUSTOMER_KEY", [&](QWidget *dialog) {
            columns = Cells(dialog, 0);
            referenced = Cells(dialog, 1);
            Press(dialog, "OK");
        });
        QCOMPARE(m_answerer->texts, QStringList());
        QCOMPARE(columns, (QStringList{"CUSTOMER_ID", "CUSTOMER_REGION"}));
        QCOMPARE(referenced, (QStringList{"ID", "REGION"}));
        QCOMPARE(KeysOfOrders(), (QStringList{"'CUSTOMER','CUSTOMER_ID','ID','NO ACTION'",
                                              "'CUSTOMER','CUSTOMER_REGION','REGION','NO ACTION'"}));
    }

    // A referenced column waits for the referencing column of its row, and
    // a referencing column for the one above it.
    void pairsFurtherColumnsRowByRow()
    {
        bool lockedBeforeItsPair = false;
        bool lockedBelowAGap = false;
        DragOrdersOntoCustomer(Column, "CUSTOMER_ID", Column, "ID", [&](QWidget *dialog) {
            lockedBeforeItsPair = !Opens(dialog, 1, 1);
            lockedBelowAGap = !Opens(dialog, 2, 0);
            Choose(dialog, 1, 0, "CUSTOMER_REGION");
            Choose(dialog, 1, 1, "REGION");
            Press(dialog, "OK");
        });
        QCOMPARE(m_answerer->texts, QStringList());
        QVERIFY(lockedBeforeItsPair);
        QVERIFY(lockedBelowAGap);
        QCOMPARE(KeysOfOrders(), (QStringList{"'CUSTOMER','CUSTOMER_ID','ID','NO ACTION'",
                                              "'CUSTOMER','CUSTOMER_REGION','REGION','NO ACTION'"}));
    }

    // The chosen rule is the key's; deleting customer 1 then removes its
    // two orders, or is refused.
    void deleteRuleIsTheKeys_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("onDelete");
        QTest::addColumn<QString>("ordersLeft");
        QTest::newRow("neither") << QString() << "NO ACTION" << "4";
        QTest::newRow("cascade") << "Cascade" << "CASCADE" << "2";
        QTest::newRow("restrict") << "Restrict" << "RESTRICT" << "4";
    }
    void deleteRuleIsTheKeys()
    {
        QFETCH(QString, button);
        QFETCH(QString, onDelete);
        QFETCH(QString, ordersLeft);
        DragOrdersOntoCustomer(Column, "CUSTOMER_ID", Column, "ID", [&](QWidget *dialog) {
            if (!button.isEmpty())
                DialogInput::Tick(Radio(dialog, button));
            Press(dialog, "OK");
        });
        QCOMPARE(m_answerer->texts, QStringList());
        QCOMPARE(KeysOfOrders(), QStringList{"'CUSTOMER','CUSTOMER_ID','ID','" + onDelete + "'"});
        QuerySqlite(m_path, "pragma foreign_keys = on; delete from CUSTOMER where ID = 1;");
        QCOMPARE(QuerySqlite(m_path, "select count(*) from ORDERS;").trimmed(), ordersLeft);
    }

    // A key the database refuses: the refusal is shown, the dialog keeps
    // its input, and Cancel leaves rows, schema and diagram as they were.
    void refusedKeyChangesNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("targetKind");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("rows violate the key")
            << int(Column) << "CUSTOMER_ID" << int(Column) << "ID"
            << QStringList{"1 row of the table \"ORDERS\"", "\"CUSTOMER\"", "Nothing was changed"};
        QTest::newRow("parent columns not unique")
            << int(Column) << "NOTE" << int(Column) << "NAME"
            << QStringList{"neither a primary key nor unique", "nothing was changed"};
        QTest::newRow("one column onto two") << int(Column) << "CUSTOMER_ID" << int(UniqueIndex)
                                             << "CUSTOMER_KEY" << QStringList{"number of columns"};
    }
    void refusedKeyChangesNothing()
    {
        QFETCH(int, kind);
        QFETCH(QString, row);
        QFETCH(int, targetKind);
        QFETCH(QString, target);
        QFETCH(QStringList, said);
        QVERIFY(m_sandbox.RunSql("Shop", "insert into ORDERS values (14, 99, 'N', 1, 'orphan');"));
        const QStringList rows = Rows();
        const QStringList schema = Schema();
        const QStringList ordersRows = Names(m_orders);
        const QStringList customerRows = Names(m_customer);

        QStringList before, after;
        bool stayedOpen = false;
        DragOrdersOntoCustomer(kind, qPrintable(row), targetKind, qPrintable(target), [&](QWidget *dialog) {
            before = Cells(dialog, 0) + Cells(dialog, 1);
            Press(dialog, "OK");
            stayedOpen = dialog->isVisible();
            after = Cells(dialog, 0) + Cells(dialog, 1);
            Press(dialog, "Cancel");
        });
        QCOMPARE(m_answerer->titles, QStringList{"Error"});
        QCOMPARE(m_answerer->icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
        for (const QString &words : said)
            QVERIFY2(m_answerer->LastText().contains(words), qPrintable(m_answerer->LastText()));
        QVERIFY(stayedOpen);
        QCOMPARE(after, before);
        QCOMPARE(Rows(), rows);
        QCOMPARE(Schema(), schema);
        QCOMPARE(Keys().RelationshipCount(), 0);
        QCOMPARE(Names(m_orders), ordersRows);
        QCOMPARE(Names(m_customer), customerRows);
    }

    // A drop-down opened over the Delete Rule group stays on top of it.
    void dropDownOverTheDeleteRule()
    {
        QImage closed, open;
        bool listOnTop = false;
        DragOrdersOntoCustomer(Column, "CUSTOMER_ID", Column, "ID", [&](QWidget *dialog) {
            closed = dialog->grab().toImage();
            const char *const fill[] = {"CUSTOMER_REGION", "ID", "NOTE", "QTY"};
            for (int row = 1; row <= 4; ++row)
                Choose(dialog, row, 0, fill[row - 1]);
            CGridCtrl *grid = dialog->findChild<CGridCtrl *>();
            DialogInput::OpenCell(grid, 5, 0);
            const QWidget *list = RowDrag::List(dialog, 0);
            QVERIFY(list->isVisible());
            const QRect overlap = list->geometry() & dialog->findChild<QGroupBox *>()->geometry();
            QVERIFY(!overlap.isEmpty());
            const QWidget *atOverlap = dialog->childAt(overlap.center());
            listOnTop = atOverlap && (atOverlap == list || list->isAncestorOf(atOverlap));
            open = dialog->grab().toImage();
            Press(dialog, "Cancel");
        });
        QVERIFY(listOnTop);
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR");
        if (!folder.isEmpty()) {
            closed.save(folder + "/foreign-key.png");
            open.save(folder + "/foreign-key-dropdown.png");
        }
        QCOMPARE(Keys().RelationshipCount(), 0);
    }
};

QTEST_MAIN(TestForeignKeyDlg)
#include "tst_foreignkeydlg.moc"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PopupMenuChooser.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QtTest>

using namespace TableRows;

namespace {

// ORDERS holds rows, three indexes and two triggers; LINES refers to
// CUSTOMER.
const char *const kShopSql = R"(
create table ORDERS(ID integer not null, NOTE varchar(40), FLAG integer, QTY integer, SHIPPED integer);
create unique index ORD_PK on ORDERS(ID);
create index BY_QTY on ORDERS(QTY);
create index BY_SHIPPED on ORDERS(SHIPPED, ID);
create trigger CHECK_QTY after insert on ORDERS begin select 1; end;
create trigger LOG_QTY after update on ORDERS begin select 1; end;
insert into ORDERS values (1, 'a', 0, 5, 1), (2, NULL, 1, 7, 0), (3, 'c', 1, 0, NULL);
create table CUSTOMER(ID integer primary key, NAME varchar(20));
create table LINES(ID integer, CUSTOMER_ID integer references CUSTOMER(ID));
)";

} // namespace

// The table window's drops on SQLite itself: the engine's own statements,
// the window and the catalog agreeing afterwards, and every row kept.
class TestSqliteDropCommands : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram;
    CDoc *m_doc = nullptr;
    CDbView *m_view = nullptr;

    CDbSession &Session() const { return m_diagram.Session(); }
    CSchemaModel &Keys() const { return m_doc->Schema(); }
    CTableWnd *Orders() const { return m_doc->FindTable("ORDERS"); }

    // The first column of every row, through the document's connection;
    // the log mark moves past the query.
    QStringList Rows(const char *sql)
    {
        QStringList rows;
        int result = Session().Execute(sql);
        while (result >= 0 && (result = Session().Fetch()) >= 0) {
            std::string text;
            result = Session().GetColumnText(1, text);
            rows << QString::fromStdString(text);
        }
        Session().CloseStatement();
        m_diagram.MarkLog();
        return rows;
    }
    QStringList OrderRows(const char *columns)
    {
        return Rows(qPrintable(QStringLiteral("select %1 from ORDERS order by ID").arg(columns)));
    }
    // The rows a fresh load of the table shows.
    QStringList CatalogRows(const char *table)
    {
        CTableWnd fresh(m_doc, table);
        fresh.LoadSchema();
        return Names(&fresh);
    }

private slots:
    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
        QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Shop")));
        m_doc = m_diagram.Doc();
        m_view = m_diagram.View();
    }
    void cleanup() { m_diagram.Close(); }

    void dropsColumnIndexAndTriggerTogether()
    {
        CTableWnd *orders = Orders();
        const QStringList kept = OrderRows("quote(ID)||quote(FLAG)||quote(QTY)||quote(SHIPPED)");
        m_diagram.Click(orders, RowOf(orders, Column, "NOTE"));
        m_diagram.Click(orders, RowOf(orders, Index, "BY_SHIPPED"), Qt::ControlModifier);
        m_diagram.Click(orders, RowOf(orders, Trigger, "CHECK_QTY"), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(orders);

        QCOMPARE(answerer.texts,
                 QStringList{"Are you sure you want to drop: ' NOTE, BY_SHIPPED, CHECK_QTY'?"});
        QCOMPARE(m_diagram.ChangesSinceMark(), (QStringList{R"(ALTER TABLE "ORDERS" DROP COLUMN "NOTE")",
                                               R"(DROP INDEX "BY_SHIPPED")",
                                               R"(DROP TRIGGER "CHECK_QTY")"}));
        QCOMPARE(RowOf(orders, Column, "NOTE"), -1);
        QCOMPARE(RowOf(orders, Index, "BY_SHIPPED"), -1);
        QCOMPARE(RowOf(orders, Trigger, "CHECK_QTY"), -1);
        QCOMPARE(Names(orders).size(), 9); // ID FLAG QTY SHIPPED, two indexes of one segment, LOG_QTY
        QCOMPARE(Names(orders), CatalogRows("ORDERS"));
        QCOMPARE(OrderRows("quote(ID)||quote(FLAG)||quote(QTY)||quote(SHIPPED)"), kept);
    }

    void dropsTwoColumnsInOneTransaction()
    {
        CTableWnd *orders = Orders();
        const QStringList kept = OrderRows("quote(ID)||quote(QTY)||quote(SHIPPED)");
        m_diagram.Click(orders, RowOf(orders, Column, "NOTE"));
        m_diagram.Click(orders, RowOf(orders, Column, "FLAG"), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        orders->OnCommand(Cmd::DropColumns);
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(m_diagram.ChangesSinceMark().size(), 2);
        QCOMPARE(RowOf(orders, Column, "NOTE"), -1);
        QCOMPARE(RowOf(orders, Column, "FLAG"), -1);
        QCOMPARE(Names(orders), CatalogRows("ORDERS"));
        QCOMPARE(OrderRows("quote(ID)||quote(QTY)||quote(SHIPPED)"), kept);
    }

    // SQLite's own DROP COLUMN refuses the indexed QTY; the table is rebuilt
    // instead, in one transaction with the NOTE drop, and the index that
    // only served QTY goes with it.
    void indexedColumnDropsWithItsIndex()
    {
        CTableWnd *orders = Orders();
        const QStringList kept = OrderRows("quote(ID)||quote(FLAG)||quote(SHIPPED)");
        m_diagram.Click(orders, RowOf(orders, Column, "NOTE"));
        m_diagram.Click(orders, RowOf(orders, Column, "QTY"), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(orders);
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(RowOf(orders, Column, "NOTE"), -1);
        QCOMPARE(RowOf(orders, Column, "QTY"), -1);
        QCOMPARE(RowOf(orders, Index, "BY_QTY"), -1);
        QVERIFY(RowOf(orders, Index, "BY_SHIPPED") >= 0);
        QCOMPARE(Names(orders), CatalogRows("ORDERS"));
        QCOMPARE(OrderRows("quote(ID)||quote(FLAG)||quote(SHIPPED)"), kept);
    }

    // A column that another table's foreign key refers to cannot go: the
    // refusal says why in plain words and nothing changes.
    void referencedColumnDropIsRefused()
    {
        CTableWnd *customer = m_doc->FindTable("CUSTOMER");
        const QStringList before = Names(customer);
        m_diagram.Click(customer, RowOf(customer, Column, "ID"));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.DropFromMenu(customer);
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("LINES"), qPrintable(answerer.texts[1]));
        QCOMPARE(Names(customer), before);
        QCOMPARE(CatalogRows("CUSTOMER"), before);
    }

    // CUSTOMER's INTEGER PRIMARY KEY is its row id, no index.
    void rowidKeyShowsAsSuchAndIsNotDropped()
    {
        CTableWnd *customer = m_doc->FindTable("CUSTOMER");
        const int key = RowOf(customer, UniqueIndex, "rowid key");
        QVERIFY(key >= 0);
        QCOMPARE(RowOf(customer, UniqueIndex, "sqlite_autoindex_0"), -1);
        QCOMPARE(customer->GetItem(key + 1)->m_name, std::string("ID"));
        m_diagram.Click(customer, key);
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.DropFromMenu(customer);
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("row id"), qPrintable(answerer.texts[1]));
        QCOMPARE(m_diagram.ChangesSinceMark(), QStringList());
    }

    // SQLite's own tables (the AUTOINCREMENT counter, ANALYZE's statistics).
    void internalTablesGetNoWindow()
    {
        QVERIFY(m_sandbox.RunSql("Shop", "create table SEQ(ID integer primary key autoincrement);\n"
                                         "insert into SEQ default values;\nanalyze;\n"));
        for (const bool reopen : {false, true}) {
            QVERIFY(reopen ? m_diagram.Open(COdbcSandbox::ConnectionString("Shop")) : m_view->Refresh());
            m_doc = m_diagram.Doc();
            m_view = m_diagram.View();
            QVERIFY(m_doc->FindTable("SEQ"));
            QVERIFY(!m_doc->FindTable("sqlite_sequence") && !m_doc->FindTable("sqlite_stat1"));
        }
    }

    void dropsIndexWithItsSegments()
    {
        CTableWnd *orders = Orders();
        m_diagram.Click(orders, RowOf(orders, Index, "BY_SHIPPED"));
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(orders);
        QCOMPARE(m_diagram.ChangesSinceMark(), QStringList{R"(DROP INDEX "BY_SHIPPED")"});
        QCOMPARE(RowOf(orders, Index, "BY_SHIPPED"), -1);
        QCOMPARE(Names(orders), CatalogRows("ORDERS"));
    }

    // The rebuild that drops the column leaves its key out; the line goes
    // with it.
    void keyGoesWithItsColumn()
    {
        QCOMPARE(Keys().RelationshipCount(), 1);
        CTableWnd *lines = m_doc->FindTable("LINES");
        m_diagram.Click(lines, RowOf(lines, Column, "CUSTOMER_ID"));
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(lines);
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(Rows("select count(*) from pragma_foreign_key_list('LINES')"), QStringList{"0"});
        QCOMPARE(Keys().RelationshipCount(), 0);
        QCOMPARE(Names(lines), CatalogRows("LINES"));
    }

    // The key is unnamed (a column-level REFERENCES); it is dropped by the
    // name the catalog shows for it. The line goes, both tables reload and
    // every row stays.
    void relationshipDropRebuildsTheForeignTable()
    {
        QVERIFY(m_sandbox.RunSql("Shop", "insert into CUSTOMER values (1, 'x'), (2, 'y');\n"
                                         "insert into LINES values (10, 1), (11, 2), (12, NULL);\n"));
        const QStringList lines = Rows("select quote(ID)||quote(CUSTOMER_ID) from LINES order by ID");
        QCOMPARE(Keys().RelationshipCount(), 1);
        m_view->m_selRelationship = 0;
        CModalAnswerer answerer(QMessageBox::Yes);
        QVERIFY(m_view->OnCommand(Cmd::Drop));
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(m_view->m_selRelationship, -1);
        QCOMPARE(Keys().RelationshipCount(), 0);
        QCOMPARE(Rows("select count(*) from pragma_foreign_key_list('LINES')"), QStringList{"0"});
        QCOMPARE(Rows("select quote(ID)||quote(CUSTOMER_ID) from LINES order by ID"), lines);
        QCOMPARE(Names(m_doc->FindTable("LINES")), CatalogRows("LINES"));
    }
};

QTEST_MAIN(TestSqliteDropCommands)
#include "tst_sqlitedropcommands.moc"

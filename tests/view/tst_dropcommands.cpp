#include "db/Dialect.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/EngineDiagram.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QPointer>
#include <QtTest>

using namespace TableRows;

namespace {

// The Pervasive.SQL drops go through SQLite's own dictionary, so the exact
// statements are checked while SQLite runs them. ORDERS has columns, a
// unique index, a two-column index and two triggers. SQLite reads "T"."I"
// as index I of the schema T, so the index of the table named main is the
// one whose drop the engine accepts. The quoted names check that a double
// quote inside a name stays inside it.
const char *const kPervasiveShopSql = R"(
create table ORDERS(ID integer not null, NOTE varchar(40), FLAG integer, QTY integer);
create unique index ORD_PK on ORDERS(ID);
create index BY_NOTE on ORDERS(NOTE, FLAG);
create trigger CHECK_QTY after insert on ORDERS begin select 1; end;
create trigger LOG_QTY after update on ORDERS begin select 1; end;
create table "main"(ID integer, NAME varchar(20));
create index MAIN_BY_NAME on "main"(NAME, ID);
create table CUSTOMER(ID integer, NAME varchar(20));
create trigger "T""Q" after insert on CUSTOMER begin select 1; end;
create trigger T after update on CUSTOMER begin select 1; end;
create table "ODD""NAME"(A integer);
create table ODD(A integer);
create table LOGBOOK(ID integer, TEXT varchar(80));
create trigger L1 after insert on LOGBOOK begin select 1; end;
create trigger L2 after update on LOGBOOK begin select 1; end;
create trigger L3 after delete on LOGBOOK begin select 1; end;
)";

// On SQLite and PostgreSQL alike, ORDERS holds rows, three indexes and its
// triggers; LINES refers to CUSTOMER. PostgreSQL's trigger is added the way
// Create Trigger makes it, with its function.
const char *const kSqliteShopSql = R"(
create table ORDERS(ID integer not null, NOTE varchar(40), FLAG integer, QTY integer, SHIPPED integer);
create unique index ORD_PK on ORDERS(ID);
create index BY_QTY on ORDERS(QTY);
create index BY_SHIPPED on ORDERS(SHIPPED, ID);
create trigger CHECK_QTY after insert on ORDERS begin select 1; end;
create trigger LOG_QTY after update on ORDERS begin select 1; end;
insert into ORDERS values (1, 'a', 0, 5, 1), (2, NULL, 1, 7, 0), (3, 'c', 1, 0, NULL);
create table CUSTOMER(ID integer primary key, NAME varchar(20));
insert into CUSTOMER values (1, 'x'), (2, 'y');
create table LINES(ID integer, CUSTOMER_ID integer references CUSTOMER(ID));
insert into LINES values (10, 1), (11, 2), (12, NULL);
)";

const char *const kPostgresShopSql = R"SQL(
create table orders (id integer primary key, note varchar(40), flag integer, qty integer, shipped integer);
create index by_qty on orders (qty);
create index by_shipped on orders (shipped, id);
insert into orders values (1, 'a', 0, 5, 1), (2, null, 1, 7, 0), (3, 'c', 1, 0, null);
create table customer (id integer primary key, name varchar(20));
insert into customer values (1, 'x'), (2, 'y');
create table lines (id integer, customer_id integer references customer (id));
insert into lines values (10, 1), (11, 2), (12, null);
)SQL";

// The questions before a drop: both engines read the same script.
const char *const kQuestionsSql = R"(
create table customer(id integer primary key, name varchar(20));
insert into customer values (1, 'a'), (2, 'b'), (3, 'c');
create table lines(id integer, customer_id integer references customer(id), sku varchar(10), qty integer);
create unique index lines_by_sku on lines(sku, qty);
)";

const QPoint kCaptionPoint(60, 10);

} // namespace

// The table window's drops and the relationship drop, as a user makes them,
// on each engine they concern: the question asked, the statements sent,
// the windows and the catalog agreeing afterwards, every row kept, and the
// engine's refusals shown.
class TestDropCommands : public QObject
{
    Q_OBJECT

    CEngineDiagram m_shop;

    CDiagramDriver &Diagram() const { return m_shop.Diagram(); }
    CDoc *Doc() const { return Diagram().Doc(); }
    CDbView *View() const { return Diagram().View(); }
    CSchemaModel &Keys() const { return Doc()->Schema(); }
    CTableWnd *Table(const QString &name) const { return Doc()->FindTable(qPrintable(name)); }

    bool OpenShop(const QString &engine)
    {
        const char *sql = engine == "PostgreSQL" ? kPostgresShopSql
                          : engine == "SQLite"   ? kSqliteShopSql
                                                 : kPervasiveShopSql;
        return m_shop.Open(engine, sql) && (engine != "PostgreSQL" || AddPostgresTrigger());
    }
    // A trigger as Create Trigger makes it: a function and the trigger.
    bool AddPostgresTrigger()
    {
        const CCreateTrigger trigger{"check qty", "orders", TriggerTiming::Before, TriggerEvent::Insert, "", "",
                                     "NEW.qty := abs(NEW.qty)"};
        if (ApplySchemaChange(Diagram().Session(), trigger) != 0)
            return false;
        Table("orders")->LoadSchema();
        Table("orders")->FitToContents();
        Diagram().MarkLog();
        return true;
    }

    // The first column of every row; the log mark moves past the query.
    QStringList Rows(const QString &sql)
    {
        const QStringList rows = FirstColumnRows(Diagram().Session(), sql);
        Diagram().MarkLog();
        return rows;
    }
    // How many catalog entries of SQLite have this type and name.
    int CountInCatalog(const char *type, const QString &name)
    {
        const QString sql = QStringLiteral("select count(*) from sqlite_master where type='%1' and name='%2'")
                                .arg(type, QString(name).replace("'", "''"));
        return Rows(sql).value(0, "-1").toInt();
    }
    QStringList CatalogRows(const QString &table) { return CatalogNames(Doc(), qPrintable(table)); }

private slots:
    void initTestCase() { QVERIFY2(m_shop.IsReady(), qPrintable(m_shop.Error())); }
    void cleanup() { Diagram().Close(); }

    void dropsTableWithNothingSelected()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        QPointer<CTableWnd> customer = Table("CUSTOMER");
        QVERIFY(customer);
        CModalAnswerer answerer(QMessageBox::Yes);
        auto chooser = CModalAnswerer::Menus("&Drop");
        QTest::mouseClick(customer, Qt::RightButton, Qt::NoModifier, kCaptionPoint);
        QCOMPARE(answerer.texts,
                 QStringList{"Are you sure you want to drop the table 'CUSTOMER'?"});
        QCOMPARE(Diagram().ChangesSinceMark(), QStringList{R"(drop table "CUSTOMER")"});
        QVERIFY(customer && !customer->isVisible());
        QCOMPARE(View()->m_pActiveTable, nullptr);
        QCOMPARE(Doc()->FindTable("CUSTOMER"), nullptr);
        QCOMPARE(Doc()->IndexOfTable(customer), -1);
        QTRY_VERIFY(customer.isNull());
        QCOMPARE(CountInCatalog("table", "CUSTOMER"), 0);
        // The other windows stay.
        QVERIFY(Table("ORDERS")->isVisible());
    }

    void dropsOnlyTheTableNamedWithQuote()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        QPointer<CTableWnd> odd = Table("ODD\"NAME");
        QVERIFY(odd);
        QTest::mouseClick(odd, Qt::LeftButton, Qt::NoModifier, kCaptionPoint);
        // The view forwards its Drop command to the active table.
        CModalAnswerer answerer(QMessageBox::Yes);
        QVERIFY(View()->OnCommand(Cmd::Drop));
        QCOMPARE(Diagram().ChangesSinceMark(), QStringList{R"(drop table "ODD""NAME")"});
        QTRY_VERIFY(odd.isNull());
        QCOMPARE(CountInCatalog("table", "ODD\"NAME"), 0);
        QCOMPARE(CountInCatalog("table", "ODD"), 1);
        QVERIFY(Table("ODD"));
    }

    void failedTableDropKeepsEverything()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        CTableWnd *customer = Table("CUSTOMER");
        Diagram().Click(customer, 0);
        customer->ClearSelection();
        // Another user dropped the table meanwhile.
        QVERIFY(m_shop.RunElsewhere("drop table CUSTOMER;"));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        Diagram().DropFromMenu(customer);
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("no such table"), qPrintable(answerer.texts[1]));
        QCOMPARE(answerer.icons[1], QMessageBox::Critical);
        QCOMPARE(Doc()->FindTable("CUSTOMER"), customer);
        QCOMPARE(View()->m_pActiveTable, customer);
        QVERIFY(customer->isVisible());
        // The statement was closed: the session still works.
        QCOMPARE(CountInCatalog("table", "ORDERS"), 1);
    }

    void dropsSelectedTrigger()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        CTableWnd *orders = Table("ORDERS");
        Diagram().Click(orders, RowOf(orders, Trigger, "CHECK_QTY"));
        CModalAnswerer answerer(QMessageBox::Yes);
        Diagram().DropFromMenu(orders);
        QCOMPARE(answerer.texts, QStringList{"Are you sure you want to drop' CHECK_QTY'?"});
        QCOMPARE(Diagram().SentSinceMark(), QStringList{R"(drop trigger "CHECK_QTY")"});
        QCOMPARE(RowOf(orders, Trigger, "CHECK_QTY"), -1);
        QVERIFY(RowOf(orders, Trigger, "LOG_QTY") >= 0);
        QCOMPARE(CountInCatalog("trigger", "CHECK_QTY"), 0);
        QCOMPARE(CountInCatalog("trigger", "LOG_QTY"), 1);
    }

    void dropsOnlyTheTriggerNamedWithQuote()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        CTableWnd *customer = Table("CUSTOMER");
        Diagram().Click(customer, RowOf(customer, Trigger, "T\"Q"));
        // The trigger command itself drops at once, without asking.
        CModalAnswerer answerer(QMessageBox::Yes);
        customer->OnCommand(Cmd::DropTriggers);
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(Diagram().SentSinceMark(), QStringList{R"(drop trigger "T""Q")"});
        QCOMPARE(CountInCatalog("trigger", "T\"Q"), 0);
        QCOMPARE(CountInCatalog("trigger", "T"), 1);
        QVERIFY(RowOf(customer, Trigger, "T") >= 0);
    }

    // The index header stands for the whole block: one statement drops the
    // index, and its segment rows go with it.
    void dropsIndexWithItsSegments_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("block");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QStringList>("rowsLeft");
        QTest::newRow("Pervasive") << "Pervasive" << "main" << QStringList{"MAIN_BY_NAME", "NAME", "ID"}
                                   << R"(drop index "main"."MAIN_BY_NAME")" << QStringList{"ID", "NAME"};
        QTest::newRow("SQLite") << "SQLite" << "ORDERS" << QStringList{"BY_SHIPPED", "SHIPPED", "ID"}
                                << R"(DROP INDEX "BY_SHIPPED")"
                                << QStringList{"ID", "NOTE", "FLAG", "QTY", "SHIPPED", "BY_QTY", "QTY", "ORD_PK",
                                               "ID", "CHECK_QTY", "LOG_QTY"};
    }
    void dropsIndexWithItsSegments()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, block);
        QFETCH(QString, statement);
        QFETCH(QStringList, rowsLeft);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        CTableWnd *window = Table(table);
        const int header = RowOf(window, Index, qPrintable(block[0]));
        QCOMPARE(Names(window).mid(header, block.size()), block);
        Diagram().Click(window, header);
        CModalAnswerer answerer(QMessageBox::Yes);
        Diagram().DropFromMenu(window);
        QCOMPARE(Diagram().SentSinceMark(), QStringList{statement});
        QCOMPARE(Names(window), rowsLeft);
        QCOMPARE(Names(window), CatalogRows(table));
        QCOMPARE(CountInCatalog("index", block[0]), 0);
    }

    void refusedIndexDropReportsEngineText()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        CTableWnd *orders = Table("ORDERS");
        const QStringList before = Names(orders);
        Diagram().Click(orders, RowOf(orders, Index, "BY_NOTE"));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        Diagram().DropFromMenu(orders);
        QCOMPARE(Diagram().SentSinceMark(), QStringList{R"(drop index "ORDERS"."BY_NOTE")"});
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("no such index"), qPrintable(answerer.texts[1]));
        QCOMPARE(Names(orders), before);
    }

    void failuresDoNotStopOtherDrops()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        CTableWnd *orders = Table("ORDERS");
        Diagram().Click(orders, RowOf(orders, Column, "NOTE"));
        Diagram().Click(orders, RowOf(orders, Column, "FLAG"), Qt::ControlModifier);
        Diagram().Click(orders, RowOf(orders, Trigger, "CHECK_QTY"), Qt::ControlModifier);
        Diagram().Click(orders, RowOf(orders, Trigger, "LOG_QTY"), Qt::ControlModifier);
        // Another user dropped one of the triggers meanwhile.
        QVERIFY(m_shop.RunElsewhere("drop trigger LOG_QTY;"));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        Diagram().DropFromMenu(orders);

        QCOMPARE(answerer.texts.value(0),
                 QStringLiteral("Are you sure you want to drop: ' NOTE, FLAG, CHECK_QTY, LOG_QTY'?\n"
                                "This also drops the index 'BY_NOTE'."));
        const QStringList sent = Diagram().ChangesSinceMark();
        QCOMPARE(sent.size(), 3);
        QCOMPARE(sent[0], QStringLiteral(R"(alter table "ORDERS"(drop "NOTE",drop "FLAG"))"));
        QVERIFY(sent.contains(R"(drop trigger "LOG_QTY")"));
        QVERIFY(sent.contains(R"(drop trigger "CHECK_QTY")"));
        // The engine refuses the column statement and the missing trigger;
        // each refusal is shown with the engine's text.
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error", "Error"}));
        QVERIFY2(answerer.texts[1].contains("syntax error"), qPrintable(answerer.texts[1]));
        QVERIFY2(answerer.texts[2].contains("no such trigger"), qPrintable(answerer.texts[2]));
        QVERIFY(RowOf(orders, Column, "NOTE") >= 0);
        QVERIFY(RowOf(orders, Column, "FLAG") >= 0);
        QVERIFY(RowOf(orders, Trigger, "LOG_QTY") >= 0);
        QCOMPARE(RowOf(orders, Trigger, "CHECK_QTY"), -1);
        QCOMPARE(CountInCatalog("trigger", "CHECK_QTY"), 0);
    }

    void answeringNoChangesNothing()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        CTableWnd *orders = Table("ORDERS");
        const QStringList before = Names(orders);
        Diagram().Click(orders, 1);
        Diagram().Click(orders, orders->ItemCount() - 1, Qt::ShiftModifier);
        CModalAnswerer answerer(QMessageBox::No);
        Diagram().DropFromMenu(orders);
        QCOMPARE(answerer.Count(), 1);
        QVERIFY(Diagram().ChangesSinceMark().isEmpty());
        QCOMPARE(Names(orders), before);
        QCOMPARE(orders->FirstSelected(), 1);
    }

    void focusStaysOnRowsAfterDroppingLastRows()
    {
        QVERIFY2(OpenShop("Pervasive"), qPrintable(m_shop.Error()));
        CTableWnd *logbook = Table("LOGBOOK");
        QCOMPARE(Names(logbook), (QStringList{"ID", "TEXT", "L1", "L2", "L3"}));
        Diagram().Click(logbook, 2);
        Diagram().Click(logbook, 4, Qt::ShiftModifier);
        QCOMPARE(logbook->m_focus, 4);
        CModalAnswerer answerer(QMessageBox::Yes);
        Diagram().DropFromMenu(logbook);
        QCOMPARE(Diagram().SentSinceMark().size(), 3);
        QCOMPARE(Names(logbook), (QStringList{"ID", "TEXT"}));
        QCOMPARE(logbook->m_focus, 1);
        const int height = logbook->height();
        QCOMPARE(height, Table("main")->height() - 3 * 15);
    }

    void dropsColumnIndexAndTriggerTogether_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("picked"); // a column, an index, a trigger
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QStringList>("rowsLeft");
        QTest::addColumn<QString>("keptSql");
        QTest::addColumn<QString>("leftoverSql"); // counts what the trigger leaves
        QTest::newRow("SQLite") << "SQLite" << "ORDERS" << QStringList{"NOTE", "BY_SHIPPED", "CHECK_QTY"}
                                << "Are you sure you want to drop: ' NOTE, BY_SHIPPED, CHECK_QTY'?"
                                << QStringList{R"(ALTER TABLE "ORDERS" DROP COLUMN "NOTE")",
                                               R"(DROP INDEX "BY_SHIPPED")", R"(DROP TRIGGER "CHECK_QTY")"}
                                << QStringList{"ID", "FLAG", "QTY", "SHIPPED", "BY_QTY", "QTY", "ORD_PK", "ID",
                                               "LOG_QTY"}
                                << "select quote(ID)||quote(FLAG)||quote(QTY)||quote(SHIPPED) from ORDERS order by ID"
                                << "select count(*) from sqlite_master where name = 'CHECK_QTY'";
        QTest::newRow("PostgreSQL") << "PostgreSQL" << "orders" << QStringList{"note", "by_shipped", "check qty"}
                                    << "Are you sure you want to drop: ' note, by_shipped, check qty'?"
                                    << QStringList{R"(ALTER TABLE "orders" DROP COLUMN "note")",
                                                   R"(DROP INDEX "by_shipped")",
                                                   R"(DROP TRIGGER "check qty" ON "orders")",
                                                   R"(DROP FUNCTION "orders_check qty_6"())"}
                                    << QStringList{"id", "flag", "qty", "shipped", "orders_pkey", "id", "by_qty",
                                                   "qty"}
                                    << "select id || '|' || qty from orders order by id"
                                    << "select count(*) from pg_proc where proname = 'orders_check qty_6'";
    }
    void dropsColumnIndexAndTriggerTogether()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, picked);
        QFETCH(QString, question);
        QFETCH(QStringList, statements);
        QFETCH(QStringList, rowsLeft);
        QFETCH(QString, keptSql);
        QFETCH(QString, leftoverSql);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        CTableWnd *orders = Table(table);
        const QStringList kept = Rows(keptSql);
        Diagram().Click(orders, RowOf(orders, Column, qPrintable(picked[0])));
        Diagram().Click(orders, RowOf(orders, Index, qPrintable(picked[1])), Qt::ControlModifier);
        Diagram().Click(orders, RowOf(orders, Trigger, qPrintable(picked[2])), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        Diagram().DropFromMenu(orders);

        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(answerer.texts, QStringList{question});
        QCOMPARE(Diagram().ChangesSinceMark(), statements);
        QCOMPARE(RowOf(orders, Column, qPrintable(picked[0])), -1);
        QCOMPARE(RowOf(orders, Index, qPrintable(picked[1])), -1);
        QCOMPARE(RowOf(orders, Trigger, qPrintable(picked[2])), -1);
        QCOMPARE(Names(orders), rowsLeft);
        QCOMPARE(Names(orders), CatalogRows(table));
        QCOMPARE(Rows(keptSql), kept);
        QCOMPARE(Rows(leftoverSql), QStringList{"0"});
    }

    // The Drop Columns command drops at once, without asking; every row stays.
    void dropsTwoColumnsWithTheColumnsCommand_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("keptSql");
        // SQLite drops one column a statement, in one transaction.
        QTest::newRow("SQLite") << "SQLite" << "ORDERS" << QStringList{"NOTE", "FLAG"}
                                << QStringList{R"(ALTER TABLE "ORDERS" DROP COLUMN "NOTE")",
                                               R"(ALTER TABLE "ORDERS" DROP COLUMN "FLAG")"}
                                << "select quote(ID)||quote(QTY)||quote(SHIPPED) from ORDERS order by ID";
        QTest::newRow("PostgreSQL") << "PostgreSQL" << "orders" << QStringList{"note", "flag"}
                                    << QStringList{R"(ALTER TABLE "orders" DROP COLUMN "note", DROP COLUMN "flag")"}
                                    << "select id || '|' || qty || '|' || coalesce(shipped, -1) from orders order by id";
    }
    void dropsTwoColumnsWithTheColumnsCommand()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, statements);
        QFETCH(QString, keptSql);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        CTableWnd *window = Table(table);
        const QStringList kept = Rows(keptSql);
        QCOMPARE(kept.size(), 3);
        Diagram().Click(window, RowOf(window, Column, qPrintable(columns[0])));
        Diagram().Click(window, RowOf(window, Column, qPrintable(columns[1])), Qt::ControlModifier);
        CModalAnswerer answerer(QMessageBox::Yes);
        window->OnCommand(Cmd::DropColumns);
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(Diagram().ChangesSinceMark(), statements);
        QCOMPARE(RowOf(window, Column, qPrintable(columns[0])), -1);
        QCOMPARE(RowOf(window, Column, qPrintable(columns[1])), -1);
        QCOMPARE(Names(window), CatalogRows(table));
        QCOMPARE(Rows(keptSql), kept);
    }

    // A column another table's key refers to cannot go: the refusal says why
    // and nothing changes. SQLite's refusal is the designer's own, as the
    // engine would take the column; the server's is its own message.
    void referencedColumnDropIsRefused_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("reason");
        QTest::newRow("SQLite") << "SQLite" << "CUSTOMER" << "ID" << "LINES";
        QTest::newRow("PostgreSQL") << "PostgreSQL" << "customer" << "id" << "because other objects depend on it";
    }
    void referencedColumnDropIsRefused()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, reason);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        CTableWnd *window = Table(table);
        const QStringList before = Names(window);
        Diagram().Click(window, RowOf(window, Column, qPrintable(column)));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        Diagram().DropFromMenu(window);
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains(reason), qPrintable(answerer.texts[1]));
        QCOMPARE(Names(window), before);
        QCOMPARE(CatalogRows(table), before);
    }

    // CUSTOMER's INTEGER PRIMARY KEY is its row id, no index.
    void rowidKeyShowsAsSuchAndIsNotDropped()
    {
        QVERIFY2(OpenShop("SQLite"), qPrintable(m_shop.Error()));
        CTableWnd *customer = Table("CUSTOMER");
        const int key = RowOf(customer, UniqueIndex, "rowid key");
        QVERIFY(key >= 0);
        QCOMPARE(RowOf(customer, UniqueIndex, "sqlite_autoindex_0"), -1);
        QCOMPARE(customer->GetItem(key + 1)->m_name, std::string("ID"));
        Diagram().Click(customer, key);
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        Diagram().DropFromMenu(customer);
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("row id"), qPrintable(answerer.texts[1]));
        QCOMPARE(Diagram().ChangesSinceMark(), QStringList());
    }

    // SQLite's own tables (the AUTOINCREMENT counter, ANALYZE's statistics).
    void internalTablesGetNoWindow()
    {
        QVERIFY2(OpenShop("SQLite"), qPrintable(m_shop.Error()));
        QVERIFY(m_shop.RunElsewhere("create table SEQ(ID integer primary key autoincrement);\n"
                                    "insert into SEQ default values;\nanalyze;\n"));
        for (const bool reopen : {false, true}) {
            QVERIFY(reopen ? m_shop.Reopen() : View()->Refresh());
            QVERIFY(Table("SEQ"));
            QVERIFY(!Table("sqlite_sequence") && !Table("sqlite_stat1"));
        }
    }

    // The engine takes a key along with its column or its table: the
    // relationship and its line go too. SQLite rebuilds the table to drop
    // the column and leaves the key out.
    void keyGoesWithItsColumnOrTable_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("wholeTable");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("keysSql");
        for (const bool wholeTable : {false, true}) {
            const char *what = wholeTable ? "table" : "column";
            QTest::addRow("SQLite: %s", what) << "SQLite" << wholeTable << "LINES" << "CUSTOMER_ID"
                                              << "select count(*) from pragma_foreign_key_list('LINES')";
            QTest::addRow("PostgreSQL: %s", what) << "PostgreSQL" << wholeTable << "lines" << "customer_id"
                                                  << "select count(*) from pg_constraint where contype = 'f'";
        }
    }
    void keyGoesWithItsColumnOrTable()
    {
        QFETCH(QString, engine);
        QFETCH(bool, wholeTable);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, keysSql);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        QCOMPARE(Keys().RelationshipCount(), 1);
        QPointer<CTableWnd> window = Table(table);
        CModalAnswerer answerer(QMessageBox::Yes);
        if (wholeTable)
            QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, kCaptionPoint);
        else
            Diagram().Click(window, RowOf(window, Column, qPrintable(column)));
        Diagram().DropFromMenu(window);
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(Rows(keysSql), QStringList{"0"});
        QCOMPARE(Keys().RelationshipCount(), 0);
        if (!wholeTable)
            QCOMPARE(Names(window), CatalogRows(table));
    }

    // The relationship's own drop: the line goes, both tables reload and
    // every row stays. The key is unnamed (a column-level REFERENCES), so
    // it is dropped by the name the catalog shows for it. SQLite rebuilds
    // the referring table for it, whose steps the rebuild's own tests check.
    void relationshipDropKeepsTheRows_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QStringList>("statements"); // none listed: a rebuild
        QTest::addColumn<QString>("keysSql");
        QTest::addColumn<QString>("rowsSql");
        QTest::newRow("SQLite") << "SQLite" << QStringList()
                                << "select count(*) from pragma_foreign_key_list('LINES')"
                                << "select quote(ID)||quote(CUSTOMER_ID) from LINES order by ID";
        QTest::newRow("PostgreSQL") << "PostgreSQL"
                                    << QStringList{R"(ALTER TABLE "lines" DROP CONSTRAINT "lines_customer_id_fkey")"}
                                    << "select count(*) from pg_constraint where contype = 'f'"
                                    << "select id || '|' || customer_id from lines order by id";
    }
    void relationshipDropKeepsTheRows()
    {
        QFETCH(QString, engine);
        QFETCH(QStringList, statements);
        QFETCH(QString, keysSql);
        QFETCH(QString, rowsSql);
        QVERIFY2(OpenShop(engine), qPrintable(m_shop.Error()));
        const QString lines = engine == "SQLite" ? "LINES" : "lines";
        QCOMPARE(Keys().RelationshipCount(), 1);
        const QStringList rows = Rows(rowsSql);
        QCOMPARE(rows.size(), 3);
        View()->m_selRelationship = 0;
        CModalAnswerer answerer(QMessageBox::Yes);
        QVERIFY(View()->OnCommand(Cmd::Drop));
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        if (!statements.isEmpty())
            QCOMPARE(Diagram().ChangesSinceMark(), statements);
        QCOMPARE(View()->m_selRelationship, -1);
        QCOMPARE(Keys().RelationshipCount(), 0);
        QCOMPARE(Rows(keysSql), QStringList{"0"});
        QCOMPARE(Rows(rowsSql), rows);
        QCOMPARE(Names(Table(lines)), CatalogRows(lines));
    }

    // Of two indexes that lead with the key's column the line ends at the
    // one the catalog names; once that one is dropped, at the other.
    void lineMovesToTheIndexLeftWhenItsIndexIsDropped()
    {
        QVERIFY2(OpenShop("PostgreSQL"), qPrintable(m_shop.Error()));
        QVERIFY2(m_shop.RunElsewhere("create index lines_a on lines (customer_id);"
                                     "create index lines_b on lines (customer_id, id);"),
                 qPrintable(m_shop.Error()));
        View()->ReloadRelationship(nullptr, Table("lines"));
        QCOMPARE(Keys().GetRelationship(0)->m_foreignIndex, std::string("lines_a"));
        CTableWnd *lines = Table("lines");
        Diagram().Click(lines, RowOf(lines, Index, "lines_a"));
        CModalAnswerer answerer(QMessageBox::Yes);
        Diagram().DropFromMenu(lines);
        QCOMPARE(answerer.titles, QStringList{"Confirmation"});
        QCOMPARE(Keys().RelationshipCount(), 1);
        QCOMPARE(Keys().GetRelationship(0)->m_foreignIndex, std::string("lines_b"));
    }

    // The table goes with its trigger and the trigger's function.
    void dropsTableWithItsTriggerFunction()
    {
        QVERIFY2(OpenShop("PostgreSQL"), qPrintable(m_shop.Error()));
        QPointer<CTableWnd> orders = Table("orders");
        CModalAnswerer answerer(QMessageBox::Yes);
        orders->OnCommand(Cmd::DropTable);
        QCOMPARE(Diagram().ChangesSinceMark(),
                 (QStringList{R"(DROP TABLE "orders")", R"(DROP FUNCTION "orders_check qty_6"())"}));
        QTRY_VERIFY(orders.isNull());
        QCOMPARE(Rows("select count(*) from pg_class where relname = 'orders'"), QStringList{"0"});
        QCOMPARE(Rows("select count(*) from pg_proc where proname = 'orders_check qty_6'"), QStringList{"0"});
    }

    // The question before a drop names what goes with it, and a table that
    // other tables refer to stays.
    void questionNamesWhatGoesAndReferencedTablesStay_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QString>("question");
        for (const char *engine : {"SQLite", "PostgreSQL"}) {
            QTest::addRow("%s: referenced table with rows", engine)
                << engine << "customer" << QStringList()
                << "Are you sure you want to drop the table 'customer'?\nIts 3 rows go with it.";
            QTest::addRow("%s: empty table", engine)
                << engine << "lines" << QStringList()
                << "Are you sure you want to drop the table 'lines'?";
            QTest::addRow("%s: columns with an index and a key", engine)
                << engine << "lines" << QStringList{"customer_id", "qty"}
                << "Are you sure you want to drop: ' customer_id, qty'?\nThis also drops the index "
                   "'lines_by_sku' and the foreign key 'lines_customer_id_fkey'.";
        }
    }
    void questionNamesWhatGoesAndReferencedTablesStay()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QString, question);
        const bool dropped = table != "customer"; // the only table referred to
        QVERIFY2(m_shop.Open(engine, kQuestionsSql), qPrintable(m_shop.Error()));
        CTableWnd *window = Table(table);
        for (int i = 0; i < columns.size(); ++i)
            Diagram().Click(window, RowOf(window, Column, qPrintable(columns[i])),
                            i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        const QStringList before = CatalogRows(table);
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        if (columns.isEmpty()) {
            auto chooser = CModalAnswerer::Menus("&Drop");
            QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, kCaptionPoint);
        } else {
            Diagram().DropFromMenu(window);
        }

        QCOMPARE(answerer.texts.value(0), question);
        QCOMPARE(answerer.titles.size(), dropped ? 1 : 2);
        if (!dropped) { // the refusal names the referring table
            QVERIFY2(answerer.texts[1].contains("lines"), qPrintable(answerer.texts[1]));
            QCOMPARE(CatalogRows(table), before);
        }
    }
};

QTEST_MAIN(TestDropCommands)
#include "tst_dropcommands.moc"

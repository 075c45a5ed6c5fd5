#include "db/sqlite/SqliteAdapter.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"
#include "tests/support/PopupMenuChooser.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QPointer>
#include <QtTest>

using namespace TableRows;

namespace {

// The drops here send the Pervasive.SQL texts through SQLite's own
// dictionary, so the exact statements are checked while SQLite runs them.
// ORDERS has columns, a unique index, a two-column index and two triggers.
// SQLite reads "T"."I" as index I of the schema T, so the index of the
// table named main is the one whose drop the engine accepts. The quoted
// names check that a double quote inside a name stays inside it.
const char *const kShopSql = R"(
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

const QPoint kCaptionPoint(60, 10);

} // namespace

class TestDropCommands : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CDiagramDriver m_diagram{SqliteWithPervasiveDialect()};
    CDoc *m_doc = nullptr;
    CDbView *m_view = nullptr;

    CTableWnd *Table(const char *name) const { return m_doc->FindTable(name); }

    // Counts the catalogue entries of a name and type, over the document's
    // own connection.
    int CountInDatabase(const char *type, const QString &name)
    {
        CDbSession &session = m_doc->GetSession();
        const QString sql = QStringLiteral("select count(*) from sqlite_master where type='%1' and name='%2'")
                                .arg(type, QString(name).replace("'", "''"));
        std::string count;
        if (session.Execute(sql.toStdString()) < 0 || session.Fetch() < 0
            || session.GetColumnText(1, count) < 0)
            count = "-1";
        session.CloseStatement();
        return std::stoi(count);
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

    void dropsTableWithNothingSelected()
    {
        QPointer<CTableWnd> customer = Table("CUSTOMER");
        QVERIFY(customer);
        CModalAnswerer answerer(QMessageBox::Yes);
        CPopupMenuChooser chooser("&Drop");
        QTest::mouseClick(customer, Qt::RightButton, Qt::NoModifier, kCaptionPoint);
        QCOMPARE(answerer.texts,
                 QStringList{"Are you sure you want to drop the table 'CUSTOMER'?"});
        QCOMPARE(m_diagram.ChangesSinceMark(), QStringList{R"(drop table "CUSTOMER")"});
        QVERIFY(customer && !customer->isVisible());
        QCOMPARE(m_view->m_pActiveTable, nullptr);
        QCOMPARE(m_doc->FindTable("CUSTOMER"), nullptr);
        QCOMPARE(m_doc->IndexOfTable(customer), -1);
        QTRY_VERIFY(customer.isNull());
        QCOMPARE(CountInDatabase("table", "CUSTOMER"), 0);
        // The other windows stay.
        QVERIFY(Table("ORDERS")->isVisible());
    }

    void dropsOnlyTheTableNamedWithQuote()
    {
        QPointer<CTableWnd> odd = Table("ODD\"NAME");
        QVERIFY(odd);
        QTest::mouseClick(odd, Qt::LeftButton, Qt::NoModifier, kCaptionPoint);
        // The view forwards its Drop command to the active table.
        CModalAnswerer answerer(QMessageBox::Yes);
        QVERIFY(m_view->OnCommand(Cmd::Drop));
        QCOMPARE(m_diagram.ChangesSinceMark(), QStringList{R"(drop table "ODD""NAME")"});
        QTRY_VERIFY(odd.isNull());
        QCOMPARE(CountInDatabase("table", "ODD\"NAME"), 0);
        QCOMPARE(CountInDatabase("table", "ODD"), 1);
        QVERIFY(Table("ODD"));
    }

    void failedTableDropKeepsEverything()
    {
        CTableWnd *customer = Table("CUSTOMER");
        m_diagram.Click(customer, 0);
        customer->ClearSelection();
        // Another user dropped the table meanwhile.
        QVERIFY(m_sandbox.RunSql("Shop", "drop table CUSTOMER;"));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.DropFromMenu(customer);
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("no such table"), qPrintable(answerer.texts[1]));
        QCOMPARE(answerer.icons[1], QMessageBox::Critical);
        QCOMPARE(m_doc->FindTable("CUSTOMER"), customer);
        QCOMPARE(m_view->m_pActiveTable, customer);
        QVERIFY(customer->isVisible());
        // The statement was closed: the session still works.
        QCOMPARE(CountInDatabase("table", "ORDERS"), 1);
    }

    void dropsSelectedTrigger()
    {
        CTableWnd *orders = Table("ORDERS");
        m_diagram.Click(orders, RowOf(orders, Trigger, "CHECK_QTY"));
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(orders);
        QCOMPARE(answerer.texts, QStringList{"Are you sure you want to drop' CHECK_QTY'?"});
        QCOMPARE(m_diagram.SentSinceMark(), QStringList{R"(drop trigger "CHECK_QTY")"});
        QCOMPARE(RowOf(orders, Trigger, "CHECK_QTY"), -1);
        QVERIFY(RowOf(orders, Trigger, "LOG_QTY") >= 0);
        QCOMPARE(CountInDatabase("trigger", "CHECK_QTY"), 0);
        QCOMPARE(CountInDatabase("trigger", "LOG_QTY"), 1);
    }

    void dropsOnlyTheTriggerNamedWithQuote()
    {
        CTableWnd *customer = Table("CUSTOMER");
        m_diagram.Click(customer, RowOf(customer, Trigger, "T\"Q"));
        // The trigger command itself drops at once, without asking.
        CModalAnswerer answerer(QMessageBox::Yes);
        customer->OnCommand(Cmd::DropTriggers);
        QCOMPARE(answerer.Count(), 0);
        QCOMPARE(m_diagram.SentSinceMark(), QStringList{R"(drop trigger "T""Q")"});
        QCOMPARE(CountInDatabase("trigger", "T\"Q"), 0);
        QCOMPARE(CountInDatabase("trigger", "T"), 1);
        QVERIFY(RowOf(customer, Trigger, "T") >= 0);
    }

    void dropsIndexBlockWithOneStatement()
    {
        CTableWnd *mainTable = Table("main");
        const int header = RowOf(mainTable, Index, "MAIN_BY_NAME");
        QCOMPARE(Names(mainTable).mid(header), (QStringList{"MAIN_BY_NAME", "NAME", "ID"}));
        m_diagram.Click(mainTable, header);
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(mainTable);
        QCOMPARE(m_diagram.SentSinceMark(), QStringList{R"(drop index "main"."MAIN_BY_NAME")"});
        QCOMPARE(Names(mainTable), (QStringList{"ID", "NAME"}));
        QCOMPARE(CountInDatabase("index", "MAIN_BY_NAME"), 0);
    }

    void refusedIndexDropReportsEngineText()
    {
        CTableWnd *orders = Table("ORDERS");
        const QStringList before = Names(orders);
        m_diagram.Click(orders, RowOf(orders, Index, "BY_NOTE"));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.DropFromMenu(orders);
        QCOMPARE(m_diagram.SentSinceMark(), QStringList{R"(drop index "ORDERS"."BY_NOTE")"});
        QCOMPARE(answerer.titles, (QStringList{"Confirmation", "Error"}));
        QVERIFY2(answerer.texts[1].contains("no such index"), qPrintable(answerer.texts[1]));
        QCOMPARE(Names(orders), before);
    }

    void failuresDoNotStopOtherDrops()
    {
        CTableWnd *orders = Table("ORDERS");
        m_diagram.Click(orders, RowOf(orders, Column, "NOTE"));
        m_diagram.Click(orders, RowOf(orders, Column, "FLAG"), Qt::ControlModifier);
        m_diagram.Click(orders, RowOf(orders, Trigger, "CHECK_QTY"), Qt::ControlModifier);
        m_diagram.Click(orders, RowOf(orders, Trigger, "LOG_QTY"), Qt::ControlModifier);
        // Another user dropped one of the triggers meanwhile.
        QVERIFY(m_sandbox.RunSql("Shop", "drop trigger LOG_QTY;"));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        m_diagram.DropFromMenu(orders);

        QCOMPARE(answerer.texts.value(0),
                 QStringLiteral("Are you sure you want to drop: ' NOTE, FLAG, CHECK_QTY, LOG_QTY'?\n"
                                "This also drops the index 'BY_NOTE'."));
        const QStringList sent = m_diagram.ChangesSinceMark();
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
        QCOMPARE(CountInDatabase("trigger", "CHECK_QTY"), 0);
    }

    void answeringNoChangesNothing()
    {
        CTableWnd *orders = Table("ORDERS");
        const QStringList before = Names(orders);
        m_diagram.Click(orders, 1);
        m_diagram.Click(orders, orders->ItemCount() - 1, Qt::ShiftModifier);
        CModalAnswerer answerer(QMessageBox::No);
        m_diagram.DropFromMenu(orders);
        QCOMPARE(answerer.Count(), 1);
        QVERIFY(m_diagram.ChangesSinceMark().isEmpty());
        QCOMPARE(Names(orders), before);
        QCOMPARE(orders->FirstSelected(), 1);
    }

    void focusStaysOnRowsAfterDroppingLastRows()
    {
        CTableWnd *logbook = Table("LOGBOOK");
        QCOMPARE(Names(logbook), (QStringList{"ID", "TEXT", "L1", "L2", "L3"}));
        m_diagram.Click(logbook, 2);
        m_diagram.Click(logbook, 4, Qt::ShiftModifier);
        QCOMPARE(logbook->m_focus, 4);
        CModalAnswerer answerer(QMessageBox::Yes);
        m_diagram.DropFromMenu(logbook);
        QCOMPARE(m_diagram.SentSinceMark().size(), 3);
        QCOMPARE(Names(logbook), (QStringList{"ID", "TEXT"}));
        QCOMPARE(logbook->m_focus, 1);
        const int height = logbook->height();
        QCOMPARE(height, Table("main")->height() - 3 * 15);
    }
};

QTEST_MAIN(TestDropCommands)
#include "tst_dropcommands.moc"

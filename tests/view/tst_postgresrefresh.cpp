#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QtTest>

using namespace TableRows;

namespace {

const char *const kShopSql = R"SQL(
create table customer (id integer primary key, name varchar(20));
create table lines (id integer, customer_id integer references customer (id));
)SQL";

} // namespace

// Refresh against a PostgreSQL server: another session's changes come in,
// and a connection the server has closed leaves the diagram as it was.
class TestPostgresRefresh : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    CDiagramDriver m_diagram;
    CDoc *m_doc = nullptr;
    CDbView *m_view = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
    }

    void init()
    {
        QVERIFY2(m_database.Recreate() && m_database.Run(kShopSql), qPrintable(m_database.Error()));
        QVERIFY(m_diagram.Open(m_database.ConnectionString()));
        m_doc = m_diagram.Doc();
        m_view = m_diagram.View();
    }
    void cleanup() { m_diagram.Close(); }

    void bringsInAnotherSessionsChanges()
    {
        QVERIFY2(m_database.Run("alter table customer add column city varchar(20);\n"
                                "create table invoice (id integer primary key,"
                                " customer_id integer references customer (id));\n"
                                "drop table lines;\n"),
                 qPrintable(m_database.Error()));
        QVERIFY(m_view->OnCommand(Cmd::ViewRefresh));
        QCOMPARE(m_doc->FindTable("lines"), nullptr);
        QVERIFY(m_doc->FindTable("invoice"));
        QCOMPARE(Names(m_doc->FindTable("customer")), CatalogNames(m_doc, "customer"));
        QVERIFY(Names(m_doc->FindTable("customer")).contains("city"));
        QCOMPARE(m_doc->Schema().RelationshipCount(), 1);
        QCOMPARE(m_doc->Schema().GetRelationship(0)->m_foreignTable, std::string("invoice"));
    }

    // The server ends the session (the database is dropped under it): the
    // refresh reports the failure and changes nothing.
    void aLostConnectionLeavesTheDiagram()
    {
        CTableWnd *customer = m_doc->FindTable("customer");
        const QStringList rows = Names(customer);
        const QPoint place = customer->pos();
        QVERIFY2(m_database.Recreate(), qPrintable(m_database.Error()));

        CModalAnswerer answerer;
        QVERIFY(m_view->OnCommand(Cmd::ViewRefresh));
        QCOMPARE(answerer.titles, QStringList{"Error"});
        QCOMPARE(answerer.icons.value(0), QMessageBox::Critical);
        QVERIFY(!answerer.LastText().isEmpty());
        QCOMPARE(m_doc->TableCount(), 2);
        QCOMPARE(m_doc->FindTable("customer"), customer);
        QCOMPARE(Names(customer), rows);
        QCOMPARE(customer->pos(), place);
        QCOMPARE(m_doc->Schema().RelationshipCount(), 1);
    }
};

QTEST_MAIN(TestPostgresRefresh)
#include "tst_postgresrefresh.moc"

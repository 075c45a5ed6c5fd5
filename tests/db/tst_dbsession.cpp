#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"

#include <QDir>
#include <QtTest>

#include <sqlext.h>

namespace {
int OpenFileCount() { return QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files).size(); }
} // namespace

class TestDbSession : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Sales", ExampleDatabaseSql()
            + "insert into \"X$Relate\" values ('FK_SECOND', 1, 0, 2, 3, 1, 1);\n"
              "insert into \"X$Relate\" values ('FK_SELF', 2, 1, 2, 1, 1, 1);\n"
              "create table LONGTEXT(V varchar(400));\n"
              "insert into LONGTEXT values ('CUSTOMER   '), (printf('%.300c', 'x'));\n");
        m_sandbox.AddSqliteSource("Plain", "create table T(A integer);\n");
    }
    void init() { UseAliasedPervasiveAdapter(); }
    void cleanupTestCase() { UnregisterDbmsAdapters(); }

    void errorTextsFollowTheMessageTable()
    {
        CDbSession session;
        session.m_lastError = "driver says no\n\n";
        QCOMPARE(session.GetErrorText(-30005), std::string("The table name must be entered"));
        QCOMPARE(session.GetErrorText(-31003), std::string("No data found or at end of data"));
        QCOMPARE(session.GetErrorText(-30001), std::string("This database is unsupported"));
        QCOMPARE(session.GetErrorText(-31002), std::string("Invalid ODBC handle"));
        QCOMPARE(session.GetErrorText(-29999), std::string("Error -29999"));
        QCOMPARE(session.GetErrorText(0), std::string("Error 0"));
        QCOMPARE(session.GetErrorText(-10000), std::string("Error -10000"));
        // Native codes, -30000 and -31000 show the captured diagnostics.
        QCOMPARE(session.GetErrorText(-1305), session.m_lastError);
        QCOMPARE(session.GetErrorText(-9998), session.m_lastError);
        QCOMPARE(session.GetErrorText(-30000), session.m_lastError);
        QCOMPARE(session.GetErrorText(-31000), session.m_lastError);
    }

    void returnCodesMapToResultCodes()
    {
        CDbSession session;
        session.m_lastError = "kept";
        QCOMPARE(session.CheckReturn(SQL_SUCCESS), 0);
        QCOMPARE(session.CheckReturn(SQL_SUCCESS_WITH_INFO), -31000);
        QCOMPARE(session.m_lastError, std::string("kept"));
        QCOMPARE(session.CheckReturn(SQL_NO_DATA_FOUND), -31003);
        QCOMPARE(session.CheckReturn(SQL_INVALID_HANDLE), -31002);
        QCOMPARE(session.CheckReturn(SQL_NEED_DATA), 0);
    }

    // No driver here reports negative native codes, so the folding of
    // diagnostic records is checked on records made up for the purpose.
    void diagnosticsKeepTheMostNegativeNativeCode()
    {
        std::string text;
        QCOMPARE(CDbSession::FoldDiagnostics({{-4, "first"}, {-1305, "second"}}, text), -1305);
        QCOMPARE(text, std::string("first\nsecond\n\n"));
        QCOMPARE(CDbSession::FoldDiagnostics({{0, "plain"}}, text), -30000);
        QCOMPARE(text, std::string("plain\n\n"));
        QCOMPARE(CDbSession::FoldDiagnostics({{3, "positive"}, {-7, "negative"}}, text), -7);
    }

    void dataSourceNameComesFromTheCompletedString_data()
    {
        QTest::addColumn<QString>("completed");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("dsn");
        QTest::newRow("first") << "DSN=Sales;UID=admin" << "" << "Sales";
        QTest::newRow("later") << "UID=admin;DSN=Sales" << "" << "Sales";
        QTest::newRow("lower case keeps the old name") << "dsn=Sales" << "Old" << "Old";
        QTest::newRow("old name is still cut") << "UID=x" << "A;B" << "A";
        QTest::newRow("empty name") << "DSN=;UID=x" << "Old" << "";
    }
    void dataSourceNameComesFromTheCompletedString()
    {
        QFETCH(QString, completed);
        QFETCH(QString, previous);
        QFETCH(QString, dsn);
        QCOMPARE(QString::fromStdString(CDbSession::ExtractDsn(completed.toStdString(),
                                                               previous.toStdString())),
                 dsn);
    }

    void connectLoadsRelationshipsAndTypes()
    {
        CDbSession session;
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        QCOMPARE(session.m_dsn, std::string("Sales"));
        QVERIFY(session.IsConnected());

        QCOMPARE(session.RelationshipCount(), 3);
        const CDbRelationship *first = session.GetRelationship(0);
        QCOMPARE(first->m_name, std::string("FK_ORDERS_CUSTOMER"));
        QCOMPARE(first->m_parentTable, std::string("CUSTOMER"));
        QCOMPARE(first->m_parentIndex, std::string("PK"));
        QCOMPARE(first->m_foreignTable, std::string("ORDERS"));
        QCOMPARE(first->m_foreignIndex, std::string("BY_CUSTOMER"));
        // Two relationships from the same parent index both get its name; an
        // index without a name entry keeps its number.
        const CDbRelationship *second = session.GetRelationship(1);
        QCOMPARE(second->m_parentIndex, std::string("PK"));
        QCOMPARE(second->m_foreignIndex, std::string("key3"));
        // Parent and foreign table the same: both ends are named.
        const CDbRelationship *self = session.GetRelationship(2);
        QCOMPARE(self->m_parentIndex, std::string("BY_CUSTOMER"));
        QCOMPARE(self->m_foreignIndex, std::string("BY_CUSTOMER"));
        QVERIFY(!session.GetRelationship(3));
        QVERIFY(!session.GetRelationship(-1));
    }

    void typeListEndsWithTheEngineTypes()
    {
        CDbSession session;
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        const int count = session.TypeCount();
        QVERIFY(count > 7);
        const char *extras[] = {"bigint", "currency", "identity", "numeric",
                                "smallidentity", "ubigint", "varbinary"};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(session.GetType(count - 7 + i)->m_name, std::string(extras[i]));
        QVERIFY(!session.GetType(count));
        // Names are lower case; the lookup is exact.
        for (int i = 0; i < count; ++i) {
            const std::string &name = session.GetType(i)->m_name;
            QCOMPARE(QString::fromStdString(name), QString::fromStdString(name).toLower());
        }
        QVERIFY(!session.FindType("NUMERIC"));
        QVERIFY(session.FindType("numeric"));
        // The driver's own record comes first where it lists the type.
        const CDbTypeInfo *identity = session.FindType("identity");
        QCOMPARE(identity, session.GetType(count - 5));
        QVERIFY(!identity->m_nullable);
        QCOMPARE(session.GetType(count - 4)->m_paramKind, int(CDbTypeInfo::PrecisionScale));
        QCOMPARE(session.GetType(count - 1)->m_paramKind, int(CDbTypeInfo::Length));
    }

    void anUnsupportedEngineIsRefused()
    {
        CAdapterRegistry::Instance().Clear();
        CAdapterRegistry::Instance().Register(std::make_unique<CPervasiveAdapter>());
        CDbSession session;
        QCOMPARE(session.Connect("DSN=Plain"), -30001);
        QCOMPARE(session.GetErrorText(-30001), std::string("This database is unsupported"));
        QCOMPARE(session.m_lastError,
                 std::string("The SQLite ODBC driver is not supported at this time"));
        QVERIFY(!session.IsConnected());
    }

    void aRefusedStatementCarriesTheDriverText()
    {
        CDbSession session;
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        const int result = session.Execute("select * from NO_SUCH_TABLE");
        QVERIFY(result < 0);
        QVERIFY2(session.GetErrorText(result).find("no such table") != std::string::npos,
                 session.GetErrorText(result).c_str());
        // The text always ends with the empty line of the final record call.
        QVERIFY(session.m_lastError.size() >= 2);
        QCOMPARE(session.m_lastError.substr(session.m_lastError.size() - 2), std::string("\n\n"));
        session.CloseStatement();
        QCOMPARE(session.GetStatementLog().back(), std::string("select * from NO_SUCH_TABLE"));
    }

    void valuesAreTrimmedAndLongValuesReported()
    {
        CDbSession session;
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        QCOMPARE(session.Execute("select V from LONGTEXT order by length(V)"), 0);
        std::string value;
        QCOMPARE(session.Fetch(), 0);
        QCOMPARE(session.GetColumnText(1, value), 0);
        QCOMPARE(value, std::string("CUSTOMER"));
        QCOMPARE(session.Fetch(), 0);
        QCOMPARE(session.GetColumnText(1, value), -31000);
        QCOMPARE(value.size(), size_t(254));
        QCOMPARE(session.Fetch(), -31003);
        QCOMPARE(session.CloseStatement(), 0);
    }

    void aLongConnectionStringIsNotCut()
    {
        CDbSession session;
        const std::string padding(400, 'x');
        QCOMPARE(session.Connect("Description=" + padding + ";DSN=Sales"), 0);
        QCOMPARE(session.m_dsn, std::string("Sales"));
    }

    void reconnectingKeepsOneCopyOfEachRelationship()
    {
        CDbSession session;
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        QCOMPARE(session.RelationshipCount(), 3);
        QCOMPARE(session.ReloadRelationships(), 0);
        QCOMPARE(session.RelationshipCount(), 3);
    }

    void sessionsReleaseTheirConnections()
    {
        { CDbSession warmUp; QCOMPARE(warmUp.Connect("DSN=Sales"), 0); }
        const int before = OpenFileCount();
        for (int i = 0; i < 20; ++i) {
            CDbSession session;
            QCOMPARE(session.Connect("DSN=Sales"), 0);
            QCOMPARE(session.Connect("DSN=Sales"), 0);
        }
        QVERIFY2(OpenFileCount() <= before + 1,
                 qPrintable(QString("%1 -> %2").arg(before).arg(OpenFileCount())));
    }

    void aCancelledPromptEndsAsNoData()
    {
        CDbSession session;
        session.SetConnectPrompt([](CDbSession &, std::string &) { return false; });
        QCOMPARE(session.Connect(), -31003);
        QCOMPARE(session.GetErrorText(-31003), std::string("No data found or at end of data"));
    }

    void thePromptChoosesAmongTheDataSources()
    {
        CDbSession session;
        QStringList seen;
        session.SetConnectPrompt([&seen](CDbSession &asked, std::string &connection) {
            for (const CDataSourceInfo &source : asked.ListDataSources())
                seen << QString::fromStdString(source.m_name + "|" + source.m_description);
            connection = "DSN=Sales";
            return true;
        });
        QCOMPARE(session.Connect(), 0);
        QCOMPARE(session.m_dsn, std::string("Sales"));
        // The driver manager describes a data source by its driver.
        QVERIFY2(seen.contains("Sales|SQLite3"), qPrintable(seen.join(",")));
        QVERIFY(seen.contains("Plain|SQLite3"));
    }

    void aMissingDataSourceReportsTheDriverManager()
    {
        CDbSession session;
        const int result = session.Connect("DSN=NoSuchSource");
        QVERIFY(result < 0);
        QVERIFY(!session.GetErrorText(result).empty());
    }

    // What the engine holds after a transaction decides: a rolled-back
    // table and row are gone, a committed one stays, and a guard that goes
    // out of scope unfinished rolls back.
    void transactionsTakeEffectTogetherOrNotAtAll()
    {
        m_sandbox.AddSqliteSource("Tx", "create table T(A integer);\n");
        CAdapterRegistry::Instance().Clear();
        RegisterDbmsAdapters();
        CDbSession session;
        QCOMPARE(session.Connect(COdbcSandbox::ConnectionString("Tx")), 0);
        const auto countRows = [&session](const std::string &sql) {
            std::string text;
            session.Execute(sql);
            session.Fetch();
            session.GetColumnText(1, text);
            session.CloseStatement();
            return text;
        };

        QCOMPARE(session.BeginTransaction(), 0);
        QVERIFY(session.InTransaction());
        QCOMPARE(session.Execute("create table U(B integer)"), 0);
        QCOMPARE(session.Execute("insert into T values (1)"), 0);
        QCOMPARE(session.RollbackTransaction(), 0);
        QVERIFY(!session.InTransaction());
        QCOMPARE(countRows("select count(*) from sqlite_master where name = 'U'"), std::string("0"));
        QCOMPARE(countRows("select count(*) from T"), std::string("0"));

        {
            CDbTransaction transaction(session);
            QCOMPARE(transaction.Begin(), 0);
            QCOMPARE(session.Execute("insert into T values (2)"), 0);
        }
        QCOMPARE(countRows("select count(*) from T"), std::string("0"));

        CDbTransaction transaction(session);
        QCOMPARE(transaction.Begin(), 0);
        QCOMPARE(session.Execute("insert into T values (3)"), 0);
        QCOMPARE(transaction.Commit(), 0);
        // Autocommit is back: a statement after the end stands on its own.
        QCOMPARE(session.Execute("insert into T values (4)"), 0);
        CDbSession other;
        QCOMPARE(other.Connect(COdbcSandbox::ConnectionString("Tx")), 0);
        std::string count;
        other.Execute("select count(*) from T");
        other.Fetch();
        other.GetColumnText(1, count);
        other.CloseStatement();
        QCOMPARE(count, std::string("2"));
    }

    void theRegistryTakesTheFirstMatchingName()
    {
        CAdapterRegistry &registry = CAdapterRegistry::Instance();
        registry.Clear();
        registry.Register(std::make_unique<CPervasiveAdapter>());
        registry.Register(std::make_unique<CAliasedPervasiveAdapter>());
        registry.Register(std::make_unique<CAliasedPervasiveAdapter>());
        QCOMPARE(registry.Find("SQLite"), registry.At(1));
        QCOMPARE(registry.Find("Pervasive.SQL"), registry.At(0));
        QVERIFY(!registry.Find("PERVASIVE.SQL"));
        QVERIFY(!registry.Find("Pervasive.SQL "));
        registry.Clear();
        QCOMPARE(registry.Count(), 0);
        RegisterDbmsAdapters();
        QCOMPARE(registry.At(0)->GetDbmsName(), std::string("Pervasive.SQL"));
        QCOMPARE(registry.At(1)->GetDbmsName(), std::string("SQLite"));
    }
};

QTEST_GUILESS_MAIN(TestDbSession)
#include "tst_dbsession.moc"

#include "tests/support/SessionRows.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "tests/support/FakeDriver.h"
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

    CAdapterList m_adapters;
    COdbcSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Sales", ExampleDatabaseSql()
            + "insert into \"X$Relate\" values ('FK_SECOND', 1, 0, 2, 3, 1, 1);\n"
              "insert into \"X$Relate\" values ('FK_SELF', 2, 1, 2, 1, 1, 1);\n"
              "create table LONGTEXT(V varchar(400));\n"
              "insert into LONGTEXT values ('CUSTOMER   '), (printf('%.300c', 'x')),"
              " (printf('%.254c', 'y'));\n");
        m_sandbox.AddSqliteSource("Plain", "create table T(A integer);\n");
    }
    void init() { m_adapters = AliasedPervasiveAdapter(); }

    void errorTextsFollowTheMessageTable()
    {
        CDbSession session(m_adapters);
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
        // A driver that said nothing still gets a text: no box stands empty.
        session.m_lastError = "\n";
        QCOMPARE(session.GetErrorText(-31000), std::string("Error -31000"));
        QCOMPARE(session.GetErrorText(-30000), std::string("Error -30000"));
        QCOMPARE(session.GetErrorText(-5), std::string("Error -5"));
    }

    void returnCodesMapToResultCodes()
    {
        CDbSession session(m_adapters);
        QCOMPARE(session.CheckReturn(SQL_SUCCESS), 0);
        // A success with a warning is a success.
        QCOMPARE(session.CheckReturn(SQL_SUCCESS_WITH_INFO), 0);
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
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        QCOMPARE(session.m_dsn, std::string("Sales"));
        QVERIFY(session.IsConnected());

        const CSessionKeys keys(session);
        QCOMPARE(keys.FirstRead(), 0);
        QCOMPARE(keys.RelationshipCount(), 3);
        const CDbRelationship *first = keys.GetRelationship(0);
        QCOMPARE(first->m_name, std::string("FK_ORDERS_CUSTOMER"));
        QCOMPARE(first->m_parentTable, std::string("CUSTOMER"));
        QCOMPARE(first->m_parentIndex, std::string("PK"));
        QCOMPARE(first->m_foreignTable, std::string("ORDERS"));
        QCOMPARE(first->m_foreignIndex, std::string("BY_CUSTOMER"));
        // Two relationships from the same parent index both get its name; an
        // index without a name entry keeps its number.
        const CDbRelationship *second = keys.GetRelationship(1);
        QCOMPARE(second->m_parentIndex, std::string("PK"));
        QCOMPARE(second->m_foreignIndex, std::string("key3"));
        // Parent and foreign table the same: both ends are named.
        const CDbRelationship *self = keys.GetRelationship(2);
        QCOMPARE(self->m_parentIndex, std::string("BY_CUSTOMER"));
        QCOMPARE(self->m_foreignIndex, std::string("BY_CUSTOMER"));
        QVERIFY(!keys.GetRelationship(3));
        QVERIFY(!keys.GetRelationship(-1));
    }

    void typeListEndsWithTheEngineTypes()
    {
        CDbSession session(m_adapters);
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
        m_adapters = CAdapterList();
        m_adapters.Add(std::make_unique<CPervasiveAdapter>());
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Plain"), -30001);
        QCOMPARE(session.GetErrorText(-30001), std::string("This database is unsupported"));
        QCOMPARE(session.m_lastError,
                 std::string("The SQLite ODBC driver is not supported at this time"));
        QVERIFY(!session.IsConnected());
    }

    void aRefusedStatementCarriesTheDriverText()
    {
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        const int result = session.Execute("select * from NO_SUCH_TABLE");
        QVERIFY(result < 0);
        QVERIFY2(session.GetErrorText(result).find("no such table") != std::string::npos,
                 session.GetErrorText(result).c_str());
        // The text always ends with the empty line of the final record call.
        QVERIFY(session.m_lastError.size() >= 2);
        QCOMPARE(session.m_lastError.substr(session.m_lastError.size() - 2), std::string("\n\n"));
        session.CloseStatement();
        QCOMPARE(session.GetStatementLog().back().m_statement,
                 std::string("select * from NO_SUCH_TABLE"));
    }

    // A value longer than the read buffer is read on in pieces, whole, with
    // the trailing blanks that are part of it.
    void valuesAreReadWholeWithTheirBlanks()
    {
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        QCOMPARE(session.Execute("select V from LONGTEXT order by length(V)"), 0);
        std::string value;
        QCOMPARE(session.Fetch(), 0);
        QCOMPARE(session.GetColumnText(1, value), 0);
        QCOMPARE(value, std::string("CUSTOMER   "));
        QCOMPARE(session.Fetch(), 0);
        QCOMPARE(session.GetColumnText(1, value), 0);
        QCOMPARE(value, std::string(254, 'y'));
        QCOMPARE(session.Fetch(), 0);
        QCOMPARE(session.GetColumnText(1, value), 0);
        QCOMPARE(value, std::string(300, 'x'));
        QCOMPARE(session.Fetch(), -31003);
        QCOMPARE(session.CloseStatement(), 0);
    }

    // A connect that succeeds with a warning is a success; a completed
    // string of 1,500 characters is read whole, and a DBMS name longer than
    // its first buffer is read again whole.
    void aConnectWithAWarningSucceeds()
    {
        UseFakeDriver(m_sandbox, m_adapters);
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DRIVER=Fake;Server=nowhere"), 0);
        QVERIFY(session.IsConnected());
        QCOMPARE(session.GetConnectionString(),
                 "DRIVER=Fake;Server=nowhere;Options=" + std::string(1500, 'o'));
        QCOMPARE(session.GetDbmsName(), CFakeDriverAdapter::DbmsName());
        QVERIFY2(session.m_lastError.find("[Fake]") != std::string::npos, session.m_lastError.c_str());
        // A refusal still fails, with the driver's text, and leaves no
        // connection behind.
        const int refused = session.Connect("DRIVER=Fake;UID=bob");
        QVERIFY(refused < 0);
        QVERIFY(!session.IsConnected());
        QCOMPARE(session.GetErrorText(refused), std::string("[Fake] A password is needed\n\n"));
    }

    void longDataSourceNamesAreListedWhole()
    {
        const QString name = "A_data_source_whose_name_is_longer_than_32_bytes";
        m_sandbox.AddSqliteSource(name, "create table T(A integer);\n");
        CDbSession session(m_adapters);
        QStringList names;
        for (const CDataSourceInfo &source : session.ListDataSources())
            names << QString::fromStdString(source.m_name);
        QVERIFY2(names.contains(name), qPrintable(names.join(",")));
    }

    // The texts of the dictionary queries exactly as the engine's
    // dictionary needs them; SQLite ignores the case of names, so only the
    // sent text can show a change.
    void dictionaryQueriesAreSentAsWritten()
    {
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        QCOMPARE(CSessionKeys(session).FirstRead(), 0);
        const CDbStatementLog &log = session.GetStatementLog();
        QCOMPARE(log.size(), size_t(2));
        QCOMPARE(log[0].m_statement,
                 std::string("select \"Xr$Name\", a.\"Xf$Name\", \"Xr$PIndex\", b.\"Xf$Name\", "
                             "\"Xr$FIndex\", \"Xr$UpdateRule\", \"Xr$DeleteRule\" from \"X$Relate\", "
                             "\"X$File\" a, \"X$File\" b where \"Xr$Pid\" = a.\"Xf$Id\" and "
                             "\"XR$FId\" = b.\"Xf$Id\""));
        QCOMPARE(log[1].m_statement,
                 std::string("select \"Xf$Name\",\"Xe$Name\",\"Xe$Offset\" from \"X$File\", "
                             "\"X$Field\" where \"Xe$DataType\"=255 and \"Xf$Id\"=\"Xe$File\""));
    }

    // Each statement is logged with its time, its text and its outcome;
    // the log keeps the last 1,000 while the count of statements sent goes
    // on growing.
    void theLogKeepsTheLastStatementsWithTheirOutcomes()
    {
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        const CDbStatementLog &log = session.GetStatementLog();
        const unsigned long long before = session.StatementsSent();
        const auto start = std::chrono::system_clock::now();

        QCOMPARE(session.Execute("create table LOGGED(A integer)"), 0);
        QCOMPARE(log.back().m_statement, std::string("create table LOGGED(A integer)"));
        QCOMPARE(log.back().m_outcome, CDbLogEntry::Ok);
        QVERIFY(log.back().m_message.empty());
        QVERIFY(log.back().m_time >= start);
        session.CloseStatement();

        std::vector<std::string> values;
        QCOMPARE(session.QueryRows("select V from LONGTEXT", {1},
                                   [&values](const CDbRow &row) { values.push_back(row[0]); }),
                 0);
        QCOMPARE(log.back().m_outcome, CDbLogEntry::Rows);
        QCOMPARE(log.back().m_rows, (long long)values.size());
        QVERIFY(log.back().m_allRead);

        QVERIFY(session.Execute("drop table NO_SUCH_TABLE") < 0);
        session.CloseStatement();
        QCOMPARE(log.back().m_outcome, CDbLogEntry::Failed);
        QVERIFY2(log.back().m_message.find("no such table: NO_SUCH_TABLE") != std::string::npos,
                 log.back().m_message.c_str());
        // The message is the engine's text without the closing line ends.
        QVERIFY(log.back().m_message.back() != '\n');

        for (int i = 0; i < 1000; ++i) {
            session.Execute("select " + std::to_string(i));
            session.CloseStatement();
        }
        QCOMPARE(log.size(), CDbStatementLog::kCapacity);
        QCOMPARE(session.StatementsSent(), before + 1003);
        QCOMPARE(log[0].m_statement, std::string("select 0"));
        QCOMPARE(log[0].m_number, before + 4);
        QCOMPARE(log.back().m_statement, std::string("select 999"));
    }

    void aLongConnectionStringIsNotCut()
    {
        CDbSession session(m_adapters);
        const std::string padding(400, 'x');
        QCOMPARE(session.Connect("Description=" + padding + ";DSN=Sales"), 0);
        QCOMPARE(session.m_dsn, std::string("Sales"));
    }

    void reconnectingKeepsOneCopyOfEachRelationship()
    {
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        QCOMPARE(session.Connect("DSN=Sales"), 0);
        CSessionKeys keys(session);
        QCOMPARE(keys.RelationshipCount(), 3);
        QCOMPARE(keys.Reload(), 0);
        QCOMPARE(keys.RelationshipCount(), 3);
    }

    void sessionsReleaseTheirConnections()
    {
        { CDbSession warmUp(m_adapters); QCOMPARE(warmUp.Connect("DSN=Sales"), 0); }
        const int before = OpenFileCount();
        for (int i = 0; i < 20; ++i) {
            CDbSession session(m_adapters);
            QCOMPARE(session.Connect("DSN=Sales"), 0);
            QCOMPARE(session.Connect("DSN=Sales"), 0);
        }
        QVERIFY2(OpenFileCount() <= before + 1,
                 qPrintable(QString("%1 -> %2").arg(before).arg(OpenFileCount())));
    }

    void aCancelledPromptEndsAsNoData()
    {
        CDbSession session(m_adapters);
        session.SetConnectPrompt(
            [](CDbSession &, std::string &, const std::string &) { return false; });
        QCOMPARE(session.Connect(), -31003);
        QCOMPARE(session.GetErrorText(-31003), std::string("No data found or at end of data"));
    }

    void thePromptChoosesAmongTheDataSources()
    {
        CDbSession session(m_adapters);
        QStringList seen;
        session.SetConnectPrompt([&seen](CDbSession &asked, std::string &connection,
                                         const std::string &) {
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
        CDbSession session(m_adapters);
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
        m_adapters = MakeDbmsAdapters();
        CDbSession session(m_adapters);
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
        CDbSession other(m_adapters);
        QCOMPARE(other.Connect(COdbcSandbox::ConnectionString("Tx")), 0);
        std::string count;
        other.Execute("select count(*) from T");
        other.Fetch();
        other.GetColumnText(1, count);
        other.CloseStatement();
        QCOMPARE(count, std::string("2"));
    }

    void theAdapterListTakesTheFirstMatchingName()
    {
        CAdapterList adapters;
        adapters.Add(std::make_unique<CPervasiveAdapter>());
        adapters.Add(std::make_unique<CAliasedPervasiveAdapter>());
        adapters.Add(std::make_unique<CAliasedPervasiveAdapter>());
        QCOMPARE(adapters.Find("SQLite"), adapters.At(1));
        QCOMPARE(adapters.Find("Pervasive.SQL"), adapters.At(0));
        QVERIFY(!adapters.Find("PERVASIVE.SQL"));
        QVERIFY(!adapters.Find("Pervasive.SQL "));
        adapters = MakeDbmsAdapters();
        QCOMPARE(adapters.At(0)->GetDbmsName(), std::string("Pervasive.SQL"));
        QCOMPARE(adapters.At(1)->GetDbmsName(), std::string("SQLite"));
    }
};

QTEST_GUILESS_MAIN(TestDbSession)
#include "tst_dbsession.moc"

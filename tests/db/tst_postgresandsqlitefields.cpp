#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "tests/support/ColumnDefs.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(CSchemaChange)

using ColumnDefs::Column;
using ColumnDefs::With;

namespace {

// The same tables on both engines: the one the typed fields go into, a
// log for the triggers, and the table the attacks aim at.
const char *const kTablesSql = R"SQL(
create table item (id integer primary key, name text);
create table log (item integer, what text);
create table victim (x integer);
)SQL";
// What the PostgreSQL attack binds its trigger to.
const char *const kTouchSql =
    "create function touch() returns trigger language plpgsql as $$ begin return new; end $$;";

CSchemaChange AfterInsert(const char *condition, const char *body)
{
    return CCreateTrigger{"tr", "item", TriggerTiming::After, TriggerEvent::Insert, "", condition, body};
}

CSchemaChange WithDefault(const char *type, const char *value)
{
    return CCreateTable{"t", {Column("id", "integer"), With(Column("d", type), "", value, "")}};
}

} // namespace

// What users type into a default, a trigger condition or a trigger body.
class TestTypedFields : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    CPostgresDatabase m_postgres{m_sandbox};
    std::unique_ptr<CDbSession> m_sqlite;
    std::unique_ptr<CDbSession> m_server;

    CDbSession &Session(const QString &engine) { return engine == "SQLite" ? *m_sqlite : *m_server; }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_postgres.IsReady(), qPrintable(m_postgres.Error()));
    }

    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kTablesSql);
        QVERIFY2(m_postgres.Recreate() && m_postgres.Run(kTablesSql) && m_postgres.Run(kTouchSql),
                 qPrintable(m_postgres.Error()));
        m_sqlite = std::make_unique<CDbSession>(m_adapters);
        m_server = std::make_unique<CDbSession>(m_adapters);
        QCOMPARE(m_sqlite->Connect(COdbcSandbox::ConnectionString("Shop")), 0);
        QCOMPARE(m_server->Connect(m_postgres.ConnectionString()), 0);
    }
    void cleanup() { m_sqlite.reset(); m_server.reset(); }

    // The attacks end the statement early and run one of their own: each
    // is refused, naming the field, with nothing sent. What people type
    // (quotes doubled, brackets, a ';' in a string, a keyword, a body that
    // ends in a comment) works as the engine reads it; of the timestamp,
    // the century. Defaults and conditions share one check.
    void typedFields_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<QString>("outcome"); // the refused field, or the value stored
        const QString defaultField = "The default value of column \"d\"";
        for (const char *engine : {"SQLite", "PostgreSQL"}) {
            QTest::addRow("%s: default", engine)
                << engine << WithDefault("integer", "0); DROP TABLE victim; --") << defaultField;
            QTest::addRow("%s: default with a second column", engine)
                << engine << WithDefault("integer", "0, victim2 integer") << defaultField;
            QTest::addRow("%s: doubled quote", engine) << engine << WithDefault("text", "'it''s'") << "it's";
            QTest::addRow("%s: brackets", engine) << engine << WithDefault("integer", "(1 + 2)") << "3";
            QTest::addRow("%s: keyword", engine) << engine << WithDefault("text", "CURRENT_TIMESTAMP") << "20";
        }
        const QString body = "The trigger body", condition = "The trigger condition";
        QTest::newRow("SQLite: body that ends the trigger")
            << "SQLite" << AfterInsert("", "SELECT 1; END; DROP TABLE victim; CREATE TRIGGER zz AFTER INSERT ON item "
                                           "BEGIN SELECT 1; END") << body;
        QTest::newRow("SQLite: condition")
            << "SQLite" << AfterInsert("1 BEGIN SELECT 1; END; DROP TABLE victim; --", "SELECT 1") << condition;
        QTest::newRow("SQLite: statement and comment")
            << "SQLite" << AfterInsert("", "insert into log values (new.id, 'x') -- note") << "7x";
        QTest::newRow("SQLite: block and comment")
            << "SQLite" << AfterInsert("new.name <> 'a;b'", "begin insert into log values (new.id, 'x'); end; -- note")
            << "7x";
        QTest::newRow("PostgreSQL: condition")
            << "PostgreSQL" << AfterInsert("true) EXECUTE FUNCTION touch(); DROP TABLE victim; --", "NULL")
            << condition;
        QTest::newRow("PostgreSQL: condition behind an escape string")
            << "PostgreSQL" << AfterInsert("E'\\'' = '') EXECUTE FUNCTION touch(); --'", "NULL") << condition;
        QTest::newRow("PostgreSQL: body that leaves its dollar quote open")
            << "PostgreSQL" << AfterInsert("", "NULL; $body$ DROP TABLE victim;") << body;
        QTest::newRow("PostgreSQL: statement and comment")
            << "PostgreSQL" << AfterInsert("", "INSERT INTO log VALUES (NEW.id, 'x') -- note") << "7x";
        QTest::newRow("PostgreSQL: block and comment")
            << "PostgreSQL"
            << AfterInsert("NEW.name <> 'a;b'", "BEGIN INSERT INTO log VALUES (NEW.id, 'x'); RETURN NULL; END -- note")
            << "7x";
    }
    void typedFields()
    {
        QFETCH(QString, engine);
        QFETCH(CSchemaChange, change);
        QFETCH(QString, outcome);
        CDbSession &session = Session(engine);
        const auto sent = session.StatementsSent();
        const int result = ApplySchemaChange(session, change);
        const QString message = QString::fromStdString(session.GetErrorText(result));
        if (outcome.startsWith("The ")) {
            QVERIFY2(message.startsWith(outcome + " is not one "), qPrintable(message));
            QCOMPARE(session.StatementsSent(), sent);
            QCOMPARE(FirstColumnRows(session, "select count(*) from victim"), QStringList{"0"});
            return;
        }
        QVERIFY2(result == 0, qPrintable(message));
        const bool trigger = std::holds_alternative<CCreateTrigger>(change);
        QVERIFY(session.Execute(trigger ? "insert into item values (7, 'seven')" : "insert into t (id) values (1)")
                >= 0);
        session.CloseStatement();
        QCOMPARE(FirstColumnRows(session, trigger ? "select item || what from log" : "select d from t")
                     .value(0).left(outcome == "20" ? 2 : -1),
                 outcome);
    }
};

QTEST_MAIN(TestTypedFields)
#include "tst_postgresandsqlitefields.moc"

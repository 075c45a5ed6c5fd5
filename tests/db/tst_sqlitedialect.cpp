#include "db/DbSession.h"
#include "db/Dialect.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "db/sqlite/SqliteDialect.h"
#include "tests/support/OdbcSandbox.h"

#include "tests/support/ColumnDefs.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(CSchemaChange)

using namespace ColumnDefs;

namespace {

// Three items with every kind of value, an index, a trigger, a log table
// for the triggers to write into, names that need quoting, and a view.
const char *const kShopSql = R"SQL(
create table item(id integer primary key, name varchar(20), qty integer, note text, flag integer);
create index item_by_qty on item(qty);
insert into item values (1, 'bolt', 5, 'a', 0), (2, 'nut', 7, NULL, 1), (3, 'gear', 0, 'c''s', 1);
create table log(item integer, what text);
create trigger "it""s" after update on item begin select 1; end;
create table "odd ""t"""(a integer);
create index "odd ""i""" on "odd ""t"""(a);
create view stock as select id, qty from item;
)SQL";

// Every row of item, all columns that still exist, as SQLite quotes them.
const char *const kItemRows =
    "select quote(id)||'|'||quote(name)||'|'||quote(qty) from item order by id";

CCreateTrigger InsertTrigger(const char *condition, const char *body)
{
    return CCreateTrigger{"on insert", "item", TriggerTiming::After, TriggerEvent::Insert,
                          "", condition, body};
}

} // namespace

// The SQLite dialect is checked by what the engine makes of its
// statements: the catalog afterwards, the rows, and the engine's refusals.
class TestSqliteDialect : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    std::unique_ptr<CDbSession> m_session;

    CDbSession &Session() { return *m_session; }

    // The first column of every row the query returns.
    QStringList Rows(CDbSession &session, const QString &sql)
    {
        QStringList rows;
        int result = session.Execute(sql.toStdString());
        while (result >= 0 && (result = session.Fetch()) >= 0) {
            std::string text;
            result = session.GetColumnText(1, text);
            rows << QString::fromStdString(text);
        }
        session.CloseStatement();
        return rows;
    }
    QStringList Rows(const QString &sql) { return Rows(Session(), sql); }
    QStringList Columns(const QString &table)
    {
        return Rows(QStringLiteral("select name from pragma_table_info('%1') order by cid")
                        .arg(QString(table).replace("'", "''")));
    }
    int Count(const char *type, const QString &name)
    {
        return Rows(QStringLiteral("select count(*) from sqlite_master where type = '%1' and name = '%2'")
                        .arg(type, QString(name).replace("'", "''")))
            .value(0)
            .toInt();
    }
    // What a second connection sees: only what was committed.
    QStringList CommittedColumns(const QString &table)
    {
        CDbSession other(m_adapters);
        if (other.Connect(COdbcSandbox::ConnectionString("Shop")) < 0)
            return {"no connection"};
        return Rows(other, QStringLiteral("select name from pragma_table_info('%1') order by cid").arg(table));
    }
    size_t Sent() const { return static_cast<size_t>(m_session->StatementsSent()); }
    QString ErrorText(int result) const { return QString::fromStdString(m_session->GetErrorText(result)); }

private slots:

    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
        m_session = std::make_unique<CDbSession>(m_adapters);
        QCOMPARE(m_session->Connect(COdbcSandbox::ConnectionString("Shop")), 0);
        QCOMPARE(QString::fromStdString(SessionDialect(Session())->EngineName()), QStringLiteral("SQLite"));
    }
    void cleanup() { m_session.reset(); }

    void createsTableWithEveryKindOfColumn()
    {
        using K = CDbTypeInfo;
        const CCreateTable table{
            "new \"t\"",
            {With(Column("id", "integer"), "", "", "1"),
             With(Column("name", "varchar", K::Length, "20"), "Case", "'x'", ""),
             With(Column("price", "decimal", K::PrecisionScale, "10", "2"), "", "0", "0"),
             With(Column("code", "char", K::Length, "4"), "RTRIM", "", ""),
             Column("memo", "text", K::NoSize, "99", "9")}};
        QCOMPARE(ApplySchemaChange(Session(), table), 0);
        QCOMPARE(Rows("select name||' '||type||' '||\"notnull\"||' '||coalesce(dflt_value, '-') "
                      "from pragma_table_info('new \"t\"') order by cid"),
                 (QStringList{"id INTEGER 1 -", "name varchar(20) 0 'x'", "price decimal(10,2) 0 0",
                              "code char(4) 0 -", "memo TEXT 0 -"}));
        // The collations work as the user meant them: case-insensitive
        // names, codes that ignore trailing blanks.
        QVERIFY(Session().Execute("insert into \"new \"\"t\"\"\"(id, name, code) values (1, 'Bolt', 'ab  ')") >= 0);
        Session().CloseStatement();
        QCOMPARE(Rows("select count(*) from \"new \"\"t\"\"\" where name = 'BOLT' and code = 'ab'"),
                 QStringList{"1"});
        QCOMPARE(CommittedColumns("new \"t\"").size(), 5);
    }

    void refusedCreateTableLeavesNothing_data()
    {
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("message");
        QTest::newRow("existing table") << CSchemaChange(CCreateTable{"item", {Column("a", "integer")}})
                                        << "item" << "already exists";
        QTest::newRow("unknown collation")
            << CSchemaChange(CCreateTable{"fresh", {With(Column("a", "text"), "klingon", "", "")}})
            << "fresh" << "no such collation sequence";
    }
    void refusedCreateTableLeavesNothing()
    {
        QFETCH(CSchemaChange, change);
        QFETCH(QString, table);
        QFETCH(QString, message);
        const QStringList before = Columns(table);
        const int result = ApplySchemaChange(Session(), change);
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains(message), qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QCOMPARE(Columns(table), before);
    }

    void addsColumnsInOneTransaction()
    {
        const QStringList rows = Rows(kItemRows);
        const CAddColumns add{"item", {With(Column("c1", "integer"), "", "3", ""),
                                       With(Column("c 2", "varchar", CDbTypeInfo::Length, "10"),
                                            "case", "", "")}};
        QCOMPARE(ApplySchemaChange(Session(), add), 0);
        const QStringList expected{"id", "name", "qty", "note", "flag", "c1", "c 2"};
        QCOMPARE(Columns("item"), expected);
        QCOMPARE(CommittedColumns("item"), expected);
        QCOMPARE(Rows(kItemRows), rows);
        QCOMPARE(Rows("select c1 from item"), (QStringList{"3", "3", "3"}));
        QVERIFY(!Session().InTransaction());
    }

    // The first column would be accepted; the second is refused, and
    // neither may stay.
    void refusedSecondColumnAddsNeither()
    {
        const QStringList rows = Rows(kItemRows);
        const QStringList columns = Columns("item");
        const CAddColumns add{"item", {Column("extra", "integer"),
                                       With(Column("must", "integer"), "", "", "1")}};
        const int result = ApplySchemaChange(Session(), add);
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("NOT NULL column"), qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QVERIFY(!Session().InTransaction());
        QCOMPARE(Columns("item"), columns);
        QCOMPARE(CommittedColumns("item"), columns);
        QCOMPARE(Rows(kItemRows), rows);
        // The session goes on in autocommit.
        QCOMPARE(ApplySchemaChange(Session(), CAddColumns{"item", {Column("extra", "integer")}}), 0);
        QCOMPARE(CommittedColumns("item"), columns + QStringList{"extra"});
    }

    void dropsColumns()
    {
        const QStringList rows = Rows(kItemRows);
        QCOMPARE(ApplySchemaChange(Session(), CDropColumns{"item", {"note", "flag"}}), 0);
        QCOMPARE(CommittedColumns("item"), (QStringList{"id", "name", "qty"}));
        QCOMPARE(Rows(kItemRows), rows);
    }

    // The indexed qty takes the rebuild road, and the view that reads it
    // refuses the change: the column dropped before it in the same change
    // comes back, and so does every row.
    void refusedColumnDropKeepsEveryColumn()
    {
        const QStringList rows = Rows(kItemRows);
        const QStringList columns = Columns("item");
        const int result = ApplySchemaChange(Session(), CDropColumns{"item", {"note", "qty"}});
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("stock"), qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QCOMPARE(CommittedColumns("item"), columns);
        QCOMPARE(Rows(kItemRows), rows);
        QCOMPARE(Rows("select quote(note) from item order by id"), (QStringList{"'a'", "NULL", "'c''s'"}));
    }

    // A key added with a delete rule really cascades, and the relationship
    // drop removes it again by the name the catalog gives an unnamed key.
    void foreignKeyIsAddedAndDropped()
    {
        QVERIFY(m_sandbox.RunSql("Shop", "insert into log values (1, 'a'), (1, 'b'), (2, 'c');\n"));
        QCOMPARE(ApplySchemaChange(Session(), CAddForeignKey{"log", {"item"}, "item", {"id"}, DeleteRule::Cascade}),
                 0);
        QCOMPARE(Rows("select \"table\"||'.'||\"to\"||' '||on_delete from pragma_foreign_key_list('log')"),
                 QStringList{"item.id CASCADE"});
        QCOMPARE(Session().Execute("pragma foreign_keys = on"), 0);
        QCOMPARE(Session().Execute("delete from item where id = 1"), 0);
        QCOMPARE(Rows("select what from log order by what"), QStringList{"c"});

        QCOMPARE(ApplySchemaChange(Session(), CDropRelationship{"log", "item", "log_item_fkey"}), 0);
        QCOMPARE(Rows("select count(*) from pragma_foreign_key_list('log')"), QStringList{"0"});
        QCOMPARE(Rows("select item||what from log"), QStringList{"2c"});
    }

    void dropsObjects_data()
    {
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("index") << CSchemaChange(CDropIndex{"item", "item_by_qty"}) << "index" << "item_by_qty";
        QTest::newRow("quoted index") << CSchemaChange(CDropIndex{"odd \"t\"", "odd \"i\""}) << "index"
                                      << "odd \"i\"";
        QTest::newRow("quoted trigger") << CSchemaChange(CDropTrigger{"item", "it\"s"}) << "trigger" << "it\"s";
        QTest::newRow("quoted table") << CSchemaChange(CDropTable{"odd \"t\""}) << "table" << "odd \"t\"";
    }
    void dropsObjects()
    {
        QFETCH(CSchemaChange, change);
        QFETCH(QString, type);
        QFETCH(QString, name);
        QCOMPARE(Count(qPrintable(type), name), 1);
        QCOMPARE(ApplySchemaChange(Session(), change), 0);
        QCOMPARE(Count(qPrintable(type), name), 0);
        QCOMPARE(Count("table", "item"), 1);
    }

    void createsUniqueIndexWithDescendingSegment()
    {
        const CCreateIndex index{"by name \"qty\"", "item", true, false, false,
                                 {{"name", false}, {"qty", true}}};
        QCOMPARE(ApplySchemaChange(Session(), index), 0);
        QCOMPARE(Rows("select name||' '||\"desc\" from pragma_index_xinfo('by name \"qty\"') where key"),
                 (QStringList{"name 0", "qty 1"}));
        QCOMPARE(Rows("select \"unique\" from pragma_index_list('item') where name = 'by name \"qty\"'"),
                 QStringList{"1"});
        const int duplicate = Session().Execute("insert into item(id, name, qty) values (9, 'bolt', 5)");
        QVERIFY(duplicate < 0);
        QVERIFY2(ErrorText(duplicate).contains("UNIQUE"), qPrintable(ErrorText(duplicate)));
        Session().CloseStatement();
    }

    // An option SQLite lacks is refused with a message before anything is
    // sent.
    void refusalsSendNothing_data()
    {
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("modifiable index")
            << CSchemaChange(CCreateIndex{"ix", "item", false, true, false, {{"qty", false}}})
            << "SQLite has no modifiable indexes.";
        QTest::newRow("not null index")
            << CSchemaChange(CCreateIndex{"ix", "item", true, false, true, {{"qty", false}}})
            << "SQLite has no Not Null option for indexes.";
        CCreateTrigger ordered = InsertTrigger("", "select 1;");
        ordered.m_firingOrder = "1";
        QTest::newRow("firing order") << CSchemaChange(ordered) << "SQLite has no firing order for triggers.";
    }
    void refusalsSendNothing()
    {
        QFETCH(CSchemaChange, change);
        QFETCH(QString, message);
        const size_t sent = Sent();
        const int result = ApplySchemaChange(Session(), change);
        QCOMPARE(result, int(DbResult::kErrorWithoutNativeCode));
        QVERIFY2(ErrorText(result).startsWith(message), qPrintable(ErrorText(result)));
        QCOMPARE(Sent(), sent);
        QCOMPARE(Count("index", "ix") + Count("trigger", "on insert"), 0);
    }

    // Whatever form the body takes, the trigger is created and fires.
    void triggersFire_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("written");
        const QString one = "insert into log values (new.id, 'one')";
        QTest::newRow("lone statement") << "" << one << QStringList{"9 one", "10 one"};
        QTest::newRow("lone statement with its semicolon") << "" << one + ";" << QStringList{"9 one", "10 one"};
        QTest::newRow("two statements on a condition")
            << "new.qty > 10" << one + ";\n  insert into log values (new.id, 'two')"
            << QStringList{"10 one", "10 two"};
        QTest::newRow("a block") << "" << "begin " + one + "; end" << QStringList{"9 one", "10 one"};
        QTest::newRow("a block with a semicolon after it")
            << "new.qty < 10" << "BEGIN\n  " + one + ";\nEND;" << QStringList{"9 one"};
    }
    void triggersFire()
    {
        QFETCH(QString, condition);
        QFETCH(QString, body);
        QFETCH(QStringList, written);
        const CCreateTrigger trigger = InsertTrigger(qPrintable(condition), qPrintable(body));
        const int result = ApplySchemaChange(Session(), trigger);
        QVERIFY2(result == 0, qPrintable(ErrorText(result)));
        QVERIFY(Session().Execute("insert into item(id, qty) values (9, 1), (10, 20)") >= 0);
        Session().CloseStatement();
        QCOMPARE(Rows("select item||' '||what from log order by rowid"), written);
    }

    void refusedTriggerReportsTheEngine()
    {
        const int result = ApplySchemaChange(Session(), InsertTrigger("", "insert into log values ("));
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("syntax error") || ErrorText(result).contains("incomplete"),
                 qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QCOMPARE(Count("trigger", "on insert"), 0);
    }

    void recognisesBlocks_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("block");
        QTest::newRow("block") << "BEGIN select 1; END" << true;
        QTest::newRow("small letters, line breaks, semicolon") << "\n begin\nselect 1;\nend ;\n" << true;
        QTest::newRow("statement") << "select 1" << false;
        QTest::newRow("begins with a longer word") << "beginning; end" << false;
        QTest::newRow("ends with a longer word") << "begin select 1 as weekend" << false;
        QTest::newRow("only the words") << "begin end" << true;
        QTest::newRow("a comment after the block") << "begin select 1; end; -- done" << true;
        QTest::newRow("a CASE inside") << "begin select case when 1 then 2 end; end" << true;
        QTest::newRow("a block that ends too early") << "begin select 1; end; select 2" << false;
        QTest::newRow("empty") << "" << false;
    }
    void recognisesBlocks()
    {
        QFETCH(QString, body);
        QFETCH(bool, block);
        QCOMPARE(CSqliteDialect::IsBlock(body.toStdString()), block);
    }
};

QTEST_MAIN(TestSqliteDialect)
#include "tst_sqlitedialect.moc"

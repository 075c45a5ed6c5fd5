#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "db/postgres/PostgresDialect.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "tests/support/ColumnDefs.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SessionRows.h"
#include "tests/support/TableRows.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(CSchemaChange)

using ColumnDefs::With;

// The tables every test starts from, at the end of the file (moc reads
// raw strings poorly).
extern const char *const kShopSql;

namespace {

// Every row of item, all columns that still exist.
const char *const kItemRows = "select id || '|' || coalesce(name, '-') || '|' || coalesce(qty::text, '-') "
                              "from item order by id";

CCreateTrigger ItemTrigger(const char *name, TriggerTiming timing, TriggerEvent event,
                       const char *condition, const char *body)
{
    return CCreateTrigger{name, "item", timing, event, "", condition, body};
}

} // namespace

// The PostgreSQL dialect is checked by what a real server makes of its
// statements: the catalog and the table windows afterwards, the rows, and
// the server's own refusals.
class TestPostgresDialect : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    std::unique_ptr<CDoc> m_doc;

    CDbSession &Session() { return m_doc->GetSession(); }
    QString ErrorText(int result) { return QString::fromStdString(Session().GetErrorText(result)); }

    QStringList Rows(const QString &sql) { return FirstColumnRows(Session(), sql); }
    int Count(const QString &sql) { return Rows("select count(*) from " + sql).value(0).toInt(); }
    int Functions(const QString &name) { return Count("pg_proc where proname = '" + name + "'"); }
    // The functions the program wrote as trigger bodies.
    int Marked()
    {
        return Count(QStringLiteral("pg_proc where obj_description(oid, 'pg_proc') = '%1'")
                         .arg(CPostgresDialect::kTriggerFunctionComment));
    }
    // The name of the function the trigger executes, as the catalog has it.
    QString FunctionOf(const QString &trigger)
    {
        return Rows("select p.proname from pg_trigger t join pg_proc p on p.oid = t.tgfoid "
                    "where t.tgname = '" + trigger + "'").value(0);
    }
    // The rows a table window shows when it loads the table now.
    QStringList Window(const char *table) { return TableRows::CatalogNames(m_doc.get(), table); }
    size_t Sent() const { return static_cast<size_t>(m_doc->GetSession().StatementsSent()); }
    int Apply(const CSchemaChange &change) { return ApplySchemaChange(Session(), change); }
    void Exec(const char *sql)
    {
        const int result = Session().Execute(sql);
        QVERIFY2(result >= 0, qPrintable(ErrorText(result)));
        Session().CloseStatement();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
    }

    void init()
    {
        m_doc.reset();
        QVERIFY2(m_database.Recreate() && m_database.Run(kShopSql), qPrintable(m_database.Error()));
        m_doc = std::make_unique<CDoc>(m_adapters);
        QCOMPARE(Session().Connect(m_database.ConnectionString()), 0);
        QCOMPARE(QString::fromStdString(SessionDialect(Session())->EngineName()), QStringLiteral("PostgreSQL"));
    }
    void cleanup() { m_doc.reset(); }

    void createsTableWithEveryKindOfColumn()
    {
        using K = CDbTypeInfo;
        const CCreateTable table{
            "new \"t\"",
            {With(ColumnDefs::Column("id", "integer"), "", "", "1"),
             With(ColumnDefs::Column("name", "varchar", K::Length, "20"), "", "'x'", ""),
             With(ColumnDefs::Column("price", "numeric", K::PrecisionScale, "10", "2"), "", "0", "0"),
             With(ColumnDefs::Column("code", "char", K::Length, "4"), "C", "", ""),
             ColumnDefs::Column("memo", "text", K::NoSize, "99", "9")}};
        QCOMPARE(Apply(table), 0);
        QCOMPARE(Window("new \"t\""), (QStringList{"id", "name", "price", "code", "memo"}));
        QCOMPARE(Rows("select column_name || ' ' || data_type || ' ' || is_nullable || ' ' || "
                      "coalesce(column_default, '-') || ' ' || coalesce(collation_name, '-') "
                      "from information_schema.columns where table_name = 'new \"t\"' "
                      "order by ordinal_position"),
                 (QStringList{"id integer NO - -", "name character varying YES 'x'::character varying -",
                              "price numeric YES 0 -", "code character YES - C", "memo text YES - -"}));
        Exec("insert into \"new \"\"t\"\"\" (id) values (1)");
        QCOMPARE(Rows("select name || price from \"new \"\"t\"\"\""), QStringList{"x0.00"});
    }

    void addsColumnsInOneStatement()
    {
        const QStringList rows = Rows(kItemRows);
        const size_t before = Sent();
        const CAddColumns add{"item", {With(ColumnDefs::Column("c1", "integer"), "", "3", ""),
                                       ColumnDefs::Column("c 2", "varchar", CDbTypeInfo::Length, "10")}};
        QCOMPARE(Apply(add), 0);
        QCOMPARE(Sent(), before + 1);
        QCOMPARE(Window("item"), (QStringList{"id", "name", "qty", "note", "flag", "c1", "c 2",
                                              "item_pkey", "id", "item_by_qty", "qty"}));
        QCOMPARE(Rows(kItemRows), rows);
        QCOMPARE(Rows("select c1 from item"), (QStringList{"3", "3", "3"}));
    }

    // The first column would be accepted; the second is refused, and
    // neither may stay.
    void refusedSecondColumnAddsNeither()
    {
        const QStringList window = Window("item");
        const int result = Apply(CAddColumns{"item", {ColumnDefs::Column("extra", "integer"), ColumnDefs::Column("name", "text")}});
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("column \"name\" of relation \"item\" already exists"),
                 qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QCOMPARE(Window("item"), window);
    }

    void dropsColumnsInOneStatement()
    {
        const QStringList rows = Rows(kItemRows);
        const size_t before = Sent();
        QCOMPARE(Apply(CDropColumns{"item", {"note", "flag"}}), 0);
        QCOMPARE(Sent(), before + 1);
        QCOMPARE(Window("item"), (QStringList{"id", "name", "qty", "item_pkey", "id", "item_by_qty", "qty"}));
        QCOMPARE(Rows(kItemRows), rows);
    }

    void dropsObjects_data()
    {
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<QString>("catalog");
        QTest::newRow("index") << CSchemaChange(CDropIndex{"item", "item_by_qty"})
                               << "pg_class where relname = 'item_by_qty'";
        QTest::newRow("quoted index") << CSchemaChange(CDropIndex{"odd \"t\"", "odd \"i\""})
                                      << "pg_class where relname = 'odd \"i\"'";
        QTest::newRow("quoted trigger") << CSchemaChange(CDropTrigger{"odd \"t\"", "it's \"on\""})
                                        << "pg_trigger where tgname = 'it''s \"on\"'";
        QTest::newRow("quoted table") << CSchemaChange(CDropTable{"odd \"t\""})
                                      << "pg_class where relname = 'odd \"t\"'";
        QTest::newRow("relationship") << CSchemaChange(CDropRelationship{"child", "parent", "child's key"})
                                      << "pg_constraint where conname = 'child''s key'";
    }
    void dropsObjects()
    {
        QFETCH(CSchemaChange, change);
        QFETCH(QString, catalog);
        QCOMPARE(Count(catalog), 1);
        QCOMPARE(Apply(change), 0);
        QCOMPARE(Count(catalog), 0);
        QCOMPARE(Rows("select count(*) from child"), QStringList{"2"});
        // A trigger the program did not write keeps its function.
        QCOMPARE(Functions("touch"), 1);
    }

    void refusedDropShowsTheServersMessage()
    {
        const int result = Apply(CDropIndex{"item", "item_pkey"});
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("cannot drop index item_pkey because constraint item_pkey "
                                            "on table item requires it"),
                 qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QCOMPARE(Window("item"), (QStringList{"id", "name", "qty", "note", "flag", "item_pkey", "id",
                                              "item_by_qty", "qty"}));
    }

    void createsUniqueIndexWithDescendingSegment()
    {
        QCOMPARE(Apply(CCreateIndex{"by name \"qty\"", "item", true, false, false,
                                    {{"name", false}, {"qty", true}}}),
                 0);
        const QStringList window = Window("item");
        const int header = window.indexOf("by name \"qty\"");
        QVERIFY(header > 0);
        QCOMPARE(window.mid(header, 3), (QStringList{"by name \"qty\"", "name", "qty"}));
        QCOMPARE(Rows("select pg_get_indexdef('\"by name \"\"qty\"\"\"'::regclass)"),
                 QStringList{"CREATE UNIQUE INDEX \"by name \"\"qty\"\"\" ON public.item USING btree "
                             "(name, qty DESC)"});
        const int duplicate = Session().Execute("insert into item (id, name, qty) values (9, 'bolt', 5)");
        QVERIFY(duplicate < 0);
        QVERIFY2(ErrorText(duplicate).contains("duplicate key value"), qPrintable(ErrorText(duplicate)));
        Session().CloseStatement();
    }

    // What PostgreSQL lacks is refused with a message before anything is
    // sent; so is a name it would cut short.
    void refusesWhatPostgresCannotDo_data()
    {
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("modifiable index")
            << CSchemaChange(CCreateIndex{"ix", "item", false, true, false, {{"qty", false}}})
            << "PostgreSQL has no modifiable indexes.";
        QTest::newRow("not null index")
            << CSchemaChange(CCreateIndex{"ix", "item", false, false, true, {{"qty", false}}})
            << "PostgreSQL has no Not Null option for indexes.";
        QTest::newRow("firing order")
            << CSchemaChange(CCreateTrigger{"tr", "item", TriggerTiming::Before, TriggerEvent::Insert,
                                            "1", "", "NEW.qty := 1"})
            << "PostgreSQL has no firing order for triggers.";
        const std::string longName(64, 'n');
        QTest::newRow("name of 64 bytes")
            << CSchemaChange(CAddColumns{"item", {ColumnDefs::Column(longName.c_str(), "integer")}})
            << "PostgreSQL names are at most 63 bytes long";
    }
    void refusesWhatPostgresCannotDo()
    {
        QFETCH(CSchemaChange, change);
        QFETCH(QString, message);
        const size_t before = Sent();
        const int result = Apply(change);
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).startsWith(message), qPrintable(ErrorText(result)));
        QCOMPARE(Sent(), before);
    }

    void addsAndDropsForeignKeyWithDeleteRule()
    {
        QCOMPARE(Apply(CDropRelationship{"child", "parent", "child's key"}), 0);
        QCOMPARE(Apply(CAddForeignKey{"child", {"k1", "k2"}, "parent", {"p1", "p2"}, DeleteRule::Cascade}), 0);
        CSessionKeys keys(Session());
        QCOMPARE(keys.FirstRead(), 0);
        QCOMPARE(keys.RelationshipCount(), 1);
        const CDbRelationship *key = keys.GetRelationship(0);
        QCOMPARE(QString::fromStdString(key->m_name), QStringLiteral("child_k1_k2_fkey"));
        QCOMPARE(QString::fromStdString(key->m_parentIndex), QStringLiteral("parent_pkey"));
        QCOMPARE(QString::fromStdString(key->m_foreignIndex), QStringLiteral("child_by_key"));
        Exec("delete from parent where p2 = 2");
        QCOMPARE(Rows("select c from child"), QStringList{"10"});

        QCOMPARE(Apply(CDropRelationship{"child", "parent", "child_k1_k2_fkey"}), 0);
        QCOMPARE(keys.Reload(), 0);
        QCOMPARE(keys.RelationshipCount(), 0);
        QCOMPARE(Rows("select c from child"), QStringList{"10"});
    }

    void refusedForeignKeyShowsTheServersMessage()
    {
        QCOMPARE(Apply(CDropRelationship{"child", "parent", "child's key"}), 0);
        Exec("insert into child values (12, 9, 9)");
        const int result = Apply(CAddForeignKey{"child", {"k1", "k2"}, "parent", {"p1", "p2"}, DeleteRule::Restrict});
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("violates foreign key constraint"), qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QCOMPARE(Count("pg_constraint where conrelid = 'child'::regclass and contype = 'f'"), 0);
    }

    // A body of plain statements gets the row it must return; the row is
    // NEW and OLD in the body as in the condition.
    void triggersRunTheirBodyOnTheRow()
    {
        QCOMPARE(Apply(ItemTrigger("shout", TriggerTiming::Before, TriggerEvent::Insert, "",
                               "NEW.name := upper(NEW.name);\nNEW.qty := coalesce(NEW.qty, 0);\n"
                               "NEW.note := $body$dollar$body$ || $x$?$x$")),
                 0);
        QCOMPARE(Apply(ItemTrigger("count moves", TriggerTiming::After, TriggerEvent::Update,
                               "OLD.qty IS DISTINCT FROM NEW.qty",
                               "INSERT INTO log VALUES (NEW.id, 'moved ' || OLD.qty || '>' || NEW.qty)")),
                 0);
        QCOMPARE(Apply(ItemTrigger("keep gone", TriggerTiming::Before, TriggerEvent::Delete, "",
                               "INSERT INTO log VALUES (OLD.id, 'gone');")),
                 0);
        QCOMPARE(Window("item").mid(9), (QStringList{"count moves", "keep gone", "shout"}));

        Exec("insert into item (id, name) values (4, 'washer')");
        Exec("update item set name = 'nut!' where id = 2");
        Exec("update item set qty = 8 where id = 2");
        Exec("delete from item where id = 1");
        QCOMPARE(Rows(kItemRows), (QStringList{"2|nut!|8", "3|gear|0", "4|WASHER|0"}));
        QCOMPARE(Rows("select note from item where id = 4"), QStringList{"dollar?"});
        QCOMPARE(Rows("select item || ' ' || what from log order by what"),
                 (QStringList{"1 gone", "2 moved 7>8"}));
    }

    // A whole block is the function body as it stands; dollar quotes and
    // question marks in it reach the server unchanged.
    void blockBodyStandsAsWritten()
    {
        QCOMPARE(Apply(ItemTrigger("guard", TriggerTiming::Before, TriggerEvent::Insert, "",
                               "DECLARE why text := $$no ? here$$;\nBEGIN\n  IF NEW.qty < 0 THEN\n"
                               "    RAISE EXCEPTION '%', why;\n  END IF;\n  RETURN NEW;\nEND")),
                 0);
        const int result = Session().Execute("insert into item (id, qty) values (5, -1)");
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("no ? here"), qPrintable(ErrorText(result)));
        Session().CloseStatement();
        Exec("insert into item (id, qty) values (5, 1)");
        QCOMPARE(Rows("select count(*) from item"), QStringList{"4"});
    }

    // The function is made, then the trigger is refused: neither stays.
    void triggerRefusedHalfWayLeavesNothing()
    {
        const size_t before = Sent();
        const int result = Apply(ItemTrigger("bad", TriggerTiming::Before, TriggerEvent::Insert,
                                         "OLD.qty > 0", "NEW.qty := 1"));
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("cannot reference OLD"), qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QVERIFY(Sent() > before + 1); // the function went out before the trigger failed
        QVERIFY(!Session().InTransaction());
        QCOMPARE(Marked(), 0);
        QCOMPARE(Count("pg_trigger where tgname = 'bad'"), 0);
        // The session goes on in autocommit.
        QCOMPARE(Apply(ItemTrigger("good", TriggerTiming::After, TriggerEvent::Insert, "", "NULL")), 0);
        QCOMPARE(Marked(), 1);
    }

    void refusedBodyLeavesNothing()
    {
        const int result = Apply(ItemTrigger("broken", TriggerTiming::Before, TriggerEvent::Insert, "",
                                         "NEW.qty = = 1"));
        QVERIFY(result < 0);
        QVERIFY2(ErrorText(result).contains("syntax error"), qPrintable(ErrorText(result)));
        Session().CloseStatement();
        QCOMPARE(Marked(), 0);
    }

    // Dropping a trigger the program wrote, or its table, takes the
    // function along; one that another trigger still runs stays.
    void droppingTriggerOrTableDropsItsFunction()
    {
        QCOMPARE(Apply(ItemTrigger("one", TriggerTiming::After, TriggerEvent::Insert, "", "NULL")), 0);
        QCOMPARE(Apply(ItemTrigger("two", TriggerTiming::After, TriggerEvent::Update, "", "NULL")), 0);
        const QString one = FunctionOf("one");
        const QString two = FunctionOf("two");
        Exec(qPrintable("create trigger borrower after delete on log for each row execute function \"" + two + "\"()"));
        QCOMPARE(Functions(one), 1);

        QCOMPARE(Apply(CDropTrigger{"item", "one"}), 0);
        QCOMPARE(Functions(one), 0);
        QCOMPARE(Window("item").mid(9), QStringList{"two"});

        QCOMPARE(Apply(CDropTable{"item"}), 0);
        QCOMPARE(Count("pg_class where relname = 'item'"), 0);
        QCOMPARE(Functions(two), 1);
    }

    // Table a_b with trigger c and table a with trigger b_c each get a
    // function of their own; a trigger made under the earlier names drops
    // with its function too, found from the trigger, not from its name.
    void triggerFunctionsNeverCollideAndDropWithTheirTrigger()
    {
        Exec("create table a_b (id integer); create table a (id integer)");
        Exec("create function \"item_old\"() returns trigger language plpgsql as $$ begin return new; end $$");
        Exec(qPrintable(QStringLiteral("comment on function \"item_old\"() is '%1'")
                            .arg(CPostgresDialect::kTriggerFunctionComment)));
        Exec("create trigger old before insert on item for each row execute function \"item_old\"()");
        QCOMPARE(Apply(CCreateTrigger{"c", "a_b", TriggerTiming::After, TriggerEvent::Insert, "", "",
                                      "INSERT INTO log VALUES (NEW.id, 'a_b c')"}),
                 0);
        QCOMPARE(Apply(CCreateTrigger{"b_c", "a", TriggerTiming::After, TriggerEvent::Insert, "", "",
                                      "INSERT INTO log VALUES (NEW.id, 'a b_c')"}),
                 0);
        QCOMPARE(Apply(CDropTrigger{"a_b", "c"}), 0);
        QCOMPARE(Apply(CDropTrigger{"item", "old"}), 0);
        Exec("insert into a_b values (1); insert into a values (2)");
        QCOMPARE(Rows("select item || ' ' || what from log"), QStringList{"2 a b_c"});
        QCOMPARE(Marked(), 1); // b_c's alone
    }

    // Pervasive.SQL's word case, or any name the server lacks, is refused
    // before the table changes, in words about the collation.
    void collationTheServerLacksIsRefused()
    {
        const int result = Apply(CAddColumns{"item", {With(ColumnDefs::Column("c", "text"), "CaSe", "", "")}});
        QCOMPARE(ErrorText(result), QStringLiteral("PostgreSQL has no collation \"CaSe\" (column \"c\"). "
                                                   "Nothing was changed."));
        QCOMPARE(Window("item").indexOf("c"), -1);
    }

    void triggerFunctionNamesFitAndStayDistinct()
    {
        const std::string table(40, 't');
        const std::string a = CPostgresDialect::TriggerFunctionName(table, std::string(30, 'a'));
        const std::string b = CPostgresDialect::TriggerFunctionName(table, std::string(30, 'a') + "b");
        QCOMPARE(int(a.size()), 63);
        QVERIFY(a != b);
        QCOMPARE(Apply(CCreateTrigger{"a rather long trigger name, still under the limit", "item",
                                      TriggerTiming::After, TriggerEvent::Insert, "", "", "NULL"}),
                 0);
        QCOMPARE(Count("pg_trigger where tgname like 'a rather%'"), 1);
    }
};

const char *const kShopSql = R"SQL(
create table item (id integer primary key, name varchar(20), qty integer, note text, flag integer);
create index item_by_qty on item (qty);
insert into item values (1, 'bolt', 5, 'a', 0), (2, 'nut', 7, null, 1), (3, 'gear', 0, 'c''s', 1);
create table log (item integer, what text);
create table "odd ""t""" (a integer primary key, b integer);
create index "odd ""i""" on "odd ""t""" (b);
create function touch() returns trigger language plpgsql as $$ begin return new; end $$;
create trigger "it's ""on""" before update on "odd ""t""" for each row execute function touch();
create table parent (p1 integer, p2 integer, primary key (p1, p2));
insert into parent values (1, 1), (1, 2);
create table child (c integer primary key, k1 integer, k2 integer,
  constraint "child's key" foreign key (k1, k2) references parent);
create index child_by_key on child (k1, k2);
insert into child values (10, 1, 1), (11, 1, 2);
)SQL";

QTEST_MAIN(TestPostgresDialect)
#include "tst_postgresdialect.moc"

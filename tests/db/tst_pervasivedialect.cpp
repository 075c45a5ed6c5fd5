#include "db/pervasive/PervasiveDialect.h"

#include "tests/support/ColumnDefs.h"

#include <QtTest>

Q_DECLARE_METATYPE(CSchemaChange)

using namespace ColumnDefs;

namespace {

CCreateTrigger Trigger(TriggerTiming timing, TriggerEvent event, const char *order,
                       const char *condition, const char *body)
{
    return CCreateTrigger{"tr", "T", timing, event, order, condition, body};
}

QStringList Texts(const std::vector<std::string> &statements)
{
    QStringList texts;
    for (const std::string &statement : statements)
        texts << QString::fromStdString(statement);
    return texts;
}

} // namespace

// Pervasive.SQL cannot run here, so its statements are pinned as text, byte
// for byte. Every identifier has its inner double quotes doubled. (The raw
// strings hold an even number of double quotes: moc misreads the others.)
class TestPervasiveDialect : public QObject
{
    Q_OBJECT

private slots:
    void statements_data()
    {
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<QString>("expected");
        using K = CDbTypeInfo;

        // Tables and column definitions.
        QTest::newRow("two columns")
            << CSchemaChange(CCreateTable{
                   "T", {With(Column("a", "integer"), "", "", "1"),
                         With(Column("b", "char", K::Length, "20"), "y", "'x'", "")}})
            << R"(CREATE TABLE "T" ("a" integer not null, "b" char(20) DEFAULT 'x' collate 'y'))";
        QTest::newRow("precision and scale, size with a leading blank")
            << CSchemaChange(CCreateTable{"T", {Column("p", "numeric", K::PrecisionScale, "10", "2"),
                                                Column("c", "char", K::Length, " 5")}})
            << R"(CREATE TABLE "T" ("p" numeric(10,2), "c" char( 5)))";
        QTest::newRow("sizes of a type without parameters are ignored")
            << CSchemaChange(CCreateTable{"T", {Column("d", "date", K::NoSize, "8", "2")}})
            << R"(CREATE TABLE "T" ("d" date))";
        QTest::newRow("the word case in any letters")
            << CSchemaChange(CCreateTable{"T", {With(Column("n", "char", K::Length, "9"), "CaSe", "", "")}})
            << R"(CREATE TABLE "T" ("n" char(9) case))";
        QTest::newRow("collation in small letters, after the default")
            << CSchemaChange(CCreateTable{"T", {With(Column("n", "char", K::Length, "9"), "Latin1_CI",
                                                     "'it''s' ", "")}})
            << R"(CREATE TABLE "T" ("n" char(9) DEFAULT 'it''s'  collate 'latin1_ci'))";
        QTest::newRow("a quote in the collation is doubled")
            << CSchemaChange(CCreateTable{"T", {With(Column("n", "char", K::Length, "9"), "It's", "", "")}})
            << R"(CREATE TABLE "T" ("n" char(9) collate 'it''s'))";
        QTest::newRow("only 1 means not null")
            << CSchemaChange(CCreateTable{"T", {With(Column("a", "integer"), "", "", "0"),
                                                With(Column("b", "integer"), "", "", "")}})
            << R"(CREATE TABLE "T" ("a" integer, "b" integer))";
        QTest::newRow("double quotes in names")
            << CSchemaChange(CCreateTable{"T\"", {Column("a\"b", "integer")}})
            << R"(CREATE TABLE "T""" ("a""b" integer))";

        QTest::newRow("add two columns")
            << CSchemaChange(CAddColumns{"T", {Column("c", "integer"),
                                               With(Column("d", "char", K::Length, "10"), "", "", "1")}})
            << R"(ALTER TABLE "T" ( ADD "c" integer,  ADD "d" char(10) not null))";
        QTest::newRow("add one column")
            << CSchemaChange(CAddColumns{"T", {Column("c", "integer")}})
            << R"(ALTER TABLE "T" ( ADD "c" integer))";

        // Drops.
        QTest::newRow("two columns dropped")
            << CSchemaChange(CDropColumns{"ORDERS", {"NOTE", "FLAG"}})
            << R"(alter table "ORDERS"(drop "NOTE",drop "FLAG"))";
        QTest::newRow("one column dropped")
            << CSchemaChange(CDropColumns{"ORDERS", {"NOTE"}}) << R"(alter table "ORDERS"(drop "NOTE"))";
        QTest::newRow("index") << CSchemaChange(CDropIndex{"ORDERS", "BY_DATE"})
                               << R"(drop index "ORDERS"."BY_DATE")";
        QTest::newRow("trigger") << CSchemaChange(CDropTrigger{"ORDERS", "CHECK_QTY"})
                                 << R"(drop trigger "CHECK_QTY")";
        QTest::newRow("table") << CSchemaChange(CDropTable{"ORDERS"}) << R"(drop table "ORDERS")";
        QTest::newRow("blank in names") << CSchemaChange(CDropIndex{"ORDER LINES", "BY DATE"})
                                        << R"(drop index "ORDER LINES"."BY DATE")";
        // A name with a double quote must not close its identifier early.
        QTest::newRow("quote in table name")
            << CSchemaChange(CDropTable{R"(A"; drop table "B)"}) << R"(drop table "A""; drop table ""B")";
        QTest::newRow("quote in column names")
            << CSchemaChange(CDropColumns{"T\"", {R"(",drop "X)", "Y"}})
            << R"(alter table "T"""(drop """,drop ""X",drop "Y"))";
        QTest::newRow("quote in index name")
            << CSchemaChange(CDropIndex{"T", R"(I"."J)"}) << R"(drop index "T"."I"".""J")";
        QTest::newRow("quote in trigger name")
            << CSchemaChange(CDropTrigger{"T", "R\""}) << "drop trigger \"R\"\"\"";
        QTest::newRow("relationship")
            << CSchemaChange(CDropRelationship{"ITEMS", "ORDERS", "FK_ITEMS_ORDERS"})
            << R"(alter table "ITEMS" drop constraint "FK_ITEMS_ORDERS")";
        QTest::newRow("relationship with quotes")
            << CSchemaChange(CDropRelationship{"ORD\"ERS", "CUSTOMER", R"(FK "1")"})
            << R"(alter table "ORD""ERS" drop constraint "FK ""1""")";

        // Indexes.
        const std::vector<CIndexSegment> ab = {{"a", false}, {"b", true}};
        QTest::newRow("unique index")
            << CSchemaChange(CCreateIndex{"ix", "T", true, false, false, ab})
            << R"(CREATE UNIQUE INDEX "ix" ON "T" ("a", "b" DESC))";
        QTest::newRow("every option")
            << CSchemaChange(CCreateIndex{"ix", "T", true, true, true, ab})
            << R"(CREATE UNIQUE MODIFIABLE NOT NULL INDEX "ix" ON "T" ("a", "b" DESC))";
        QTest::newRow("modifiable, one ascending segment")
            << CSchemaChange(CCreateIndex{"ix", "T", false, true, false, {{"a", false}}})
            << R"(CREATE MODIFIABLE INDEX "ix" ON "T" ("a"))";
        QTest::newRow("not null only")
            << CSchemaChange(CCreateIndex{"ix", "T", false, false, true, {{"a", true}}})
            << R"(CREATE NOT NULL INDEX "ix" ON "T" ("a" DESC))";

        // Triggers: the body follows directly, line breaks and leading
        // blanks included.
        QTest::newRow("trigger with the defaults")
            << CSchemaChange(Trigger(TriggerTiming::Before, TriggerEvent::Insert, "", "", "body"))
            << R"(CREATE TRIGGER "tr" BEFORE INSERT ON "T" FOR EACH ROW body)";
        QTest::newRow("after delete")
            << CSchemaChange(Trigger(TriggerTiming::After, TriggerEvent::Delete, "", "", "  x;\n y;"))
            << "CREATE TRIGGER \"tr\" AFTER DELETE ON \"T\" FOR EACH ROW   x;\n y;";
        QTest::newRow("update with order and condition")
            << CSchemaChange(Trigger(TriggerTiming::After, TriggerEvent::Update, "2", "new.a > 0", "b"))
            << R"(CREATE TRIGGER "tr" AFTER UPDATE ON "T" ORDER 2 FOR EACH ROW WHERE new.a > 0 b)";

        // Foreign keys: a delete rule only when one was chosen.
        const auto key = [](DeleteRule rule) {
            return CSchemaChange(CAddForeignKey{"A", {"x", "y"}, "B", {"p", "q"}, rule});
        };
        QTest::newRow("foreign key") << key(DeleteRule::None)
                                     << R"(ALTER TABLE "A" ADD FOREIGN KEY ("x", "y") REFERENCES "B" ("p", "q"))";
        QTest::newRow("cascade")
            << key(DeleteRule::Cascade)
            << R"(ALTER TABLE "A" ADD FOREIGN KEY ("x", "y") REFERENCES "B" ("p", "q") ON DELETE CASCADE)";
        QTest::newRow("restrict")
            << key(DeleteRule::Restrict)
            << R"(ALTER TABLE "A" ADD FOREIGN KEY ("x", "y") REFERENCES "B" ("p", "q") ON DELETE RESTRICT)";
        QTest::newRow("empty pairing is sent as it is")
            << CSchemaChange(CAddForeignKey{"A", {}, "B", {}, DeleteRule::None})
            << R"(ALTER TABLE "A" ADD FOREIGN KEY () REFERENCES "B" ())";
    }
    void statements()
    {
        QFETCH(CSchemaChange, change);
        QFETCH(QString, expected);
        const CRendering rendering = CPervasiveDialect().Render(change);
        QCOMPARE(rendering.m_result, 0);
        QCOMPARE(Texts(rendering.m_statements), QStringList{expected});
    }

    // A typed default or condition that would end the statement early is
    // refused, naming the field, before any text is made.
    void fieldsThatEndTheStatementAreRefused()
    {
        const CRendering byDefault = CPervasiveDialect().Render(
            CAddColumns{"T", {With(Column("d", "integer"), "", "0); drop table v; --", "")}});
        const CRendering byCondition = CPervasiveDialect().Render(
            Trigger(TriggerTiming::After, TriggerEvent::Update, "", "1 = 1; drop table v", "b"));
        QVERIFY(byDefault.m_result < 0 && byCondition.m_result < 0);
        QVERIFY2(byDefault.m_message.rfind("The default value of column \"d\"", 0) == 0, byDefault.m_message.c_str());
        QVERIFY2(byCondition.m_message.rfind("The trigger condition", 0) == 0, byCondition.m_message.c_str());
    }

    void noColumnsToDropSendsNothing()
    {
        const CRendering rendering = CPervasiveDialect().Render(CDropColumns{"T", {}});
        QCOMPARE(rendering.m_result, 0);
        QVERIFY(rendering.m_statements.empty());
    }
};

QTEST_MAIN(TestPervasiveDialect)
#include "tst_pervasivedialect.moc"

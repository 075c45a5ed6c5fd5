#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "db/mariadb/MariaDialect.h"
#include "tests/support/ColumnDefs.h"

#include <QtTest>

Q_DECLARE_METATYPE(CSchemaChange)

using namespace ColumnDefs;

namespace {

using K = CDbTypeInfo;

CCreateTrigger Trigger(const char *name, const char *body, const char *order = "", const char *condition = "")
{
    return CCreateTrigger{name, "item", TriggerTiming::Before, TriggerEvent::Insert, order, condition, body};
}

// The item table as Edit Table shows it: id (the key), name, qty.
CAlterTable Item()
{
    const std::vector<CColumnDef> before = {With(Column("id", "int"), "", "", "1"),
                                            Column("name", "varchar", K::Length, "20"), Column("qty", "int")};
    CAlterTable change{"item", "item", {}, {"id"}, before, {"id"}};
    for (const CColumnDef &column : before)
        change.m_columns.push_back({column.m_name, column});
    return change;
}

} // namespace

// The texts MariaDB is sent, where the text is the point (the design
// workflow checks the plain ones on the server): every change is
// one statement the server runs as a whole (it commits DDL statement by
// statement), and what it lacks is refused before anything is written.
class TestMariaDialect : public QObject
{
    Q_OBJECT

private slots:
    void rendersOneStatementPerChange_data()
    {
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<QString>("statements"); // or the refusal's words
        QTest::addColumn<QString>("note");       // what the user confirms first

        CAlterTable swapped = Item(), edited = Item();
        swapped.m_columns[1].m_column.m_name = "qty", swapped.m_columns[2].m_column.m_name = "name";
        edited.m_newName = "goods";
        edited.m_columns[0].m_column.m_typeName = "bigint";           // retyped
        edited.m_columns[1].m_column.m_name = "label";                // renamed
        edited.m_columns[2].m_column.m_default = "0";                 // given a default
        edited.m_columns.push_back({"", Column("price", "decimal", K::PrecisionScale, "8", "2")});
        edited.m_primaryKey = {"id", "label"};
        CAlterTable dropped = Item();
        dropped.m_columns.pop_back();
        dropped.m_columns[1].m_column.m_name = "qty"; // takes the dropped column's name

        const CCreateIndex index{"by qty", "item", false, false, false, {{"qty", true}, {"name", false}}};
        const CCreateIndex unique{"by name", "item", true, false, false, {{"name", false}}};
        const CCreateTrigger counts = Trigger("count", "SET NEW.qty = NEW.qty + 1 -- one more");
        QTest::addRow("create table")
            << CSchemaChange(CCreateTable{"new \"t\"",
                                          {With(Column("id", "int"), "", "", "1"),
                                           With(Column("na`me", "varchar", K::Length, "9"), "utf8mb4_bin", "'x'", "")},
                                          {"id"}})
            << "CREATE TABLE \"new \"\"t\"\"\" (\"id\" int not null, \"na`me\" varchar(9) DEFAULT 'x' COLLATE "
               "\"utf8mb4_bin\", PRIMARY KEY (\"id\")) ENGINE=InnoDB" << "";
        QTest::addRow("drop key") << CSchemaChange(CDropRelationship{"log", "item", "log_ibfk_1"})
                                  << "ALTER TABLE \"log\" DROP FOREIGN KEY \"log_ibfk_1\"" << "";
        QTest::addRow("index") << CSchemaChange(index)
                               << "CREATE INDEX \"by qty\" ON \"item\" (\"qty\" DESC, \"name\")" << "";
        QTest::addRow("replace index") << CSchemaChange(CReplaceIndex{{"item", "by qty"}, unique})
                                       << "ALTER TABLE \"item\" DROP INDEX \"by qty\", ADD UNIQUE INDEX \"by name\" "
                                          "(\"name\")" << "";
        QTest::addRow("trigger, plain body")
            << CSchemaChange(counts)
            << "CREATE TRIGGER \"count\" BEFORE INSERT ON \"item\" FOR EACH ROW BEGIN\nSET NEW.qty = NEW.qty + 1; "
               "-- one more\nEND" << "";
        QTest::addRow("trigger, block")
            << CSchemaChange(Trigger("count", " begin set new.qty = 1; set new.name = 'a;b'; end; "))
            << "CREATE TRIGGER \"count\" BEFORE INSERT ON \"item\" FOR EACH ROW begin set new.qty = 1; "
               "set new.name = 'a;b'; end" << "";
        QTest::addRow("replace trigger")
            << CSchemaChange(CReplaceTrigger{{"item", "count"}, counts})
            << "CREATE OR REPLACE TRIGGER \"count\" BEFORE INSERT ON \"item\" FOR EACH ROW BEGIN\n"
               "SET NEW.qty = NEW.qty + 1; -- one more\nEND" << "";
        QTest::addRow("replace and rename trigger")
            << CSchemaChange(CReplaceTrigger{{"item", "old"}, Trigger("count", "SET NEW.qty = 1")})
            << "DROP TRIGGER \"old\"\nCREATE TRIGGER \"count\" BEFORE INSERT ON \"item\" FOR EACH ROW BEGIN\n"
               "SET NEW.qty = 1;\nEND" << "cannot rename a trigger";
        QTest::addRow("swap column names")
            << CSchemaChange(swapped)
            << "ALTER TABLE \"item\" RENAME COLUMN \"name\" TO \"qty\", RENAME COLUMN \"qty\" TO \"name\"" << "";
        QTest::addRow("rename into a dropped name")
            << CSchemaChange(dropped)
            << "ALTER TABLE \"item\" DROP COLUMN \"qty\", RENAME COLUMN \"name\" TO \"qty\"" << "";
        QTest::addRow("edit everything at once")
            << CSchemaChange(edited)
            << "ALTER TABLE \"item\" DROP PRIMARY KEY, MODIFY COLUMN \"id\" bigint not null, RENAME COLUMN \"name\" "
               "TO \"label\", ALTER COLUMN \"qty\" SET DEFAULT (0), ADD COLUMN \"price\" decimal(8,2), ADD PRIMARY "
               "KEY (\"id\", \"label\"), RENAME TO \"goods\"" << "";
        QTest::addRow("edit nothing") << CSchemaChange(Item()) << "" << "";

        QTest::addRow("modifiable index")
            << CSchemaChange(CCreateIndex{"m", "item", false, true, false, {{"qty", false}}})
            << "MariaDB has no modifiable indexes." << "";
        QTest::addRow("firing order") << CSchemaChange(Trigger("t", "SET NEW.qty = 1", "2"))
                                      << "MariaDB has no firing order for triggers." << "";
        QTest::addRow("condition") << CSchemaChange(Trigger("t", "SET NEW.qty = 1", "", "NEW.qty > 1"))
                                   << "MariaDB has no row condition for triggers." << "";
        QTest::addRow("default with a comment")
            << CSchemaChange(CAddColumns{"item", {With(Column("a", "int"), "", "0 # none", "1")}})
            << "it has a comment" << "";
        QTest::addRow("backslash in a default")
            << CSchemaChange(CAddColumns{"item", {With(Column("a", "text"), "", "'a\\b'", "")}})
            << "it has a backslash inside a string" << "";
        QTest::addRow("unclosed quote in a body") << CSchemaChange(Trigger("t", "SET NEW.name = 'it\\'s"))
                                                  << "it has a ' that is not closed" << "";
    }

    void rendersOneStatementPerChange()
    {
        QFETCH(CSchemaChange, change);
        QFETCH(QString, statements);
        const CRendering rendering = CMariaDialect().Render(change);
        if (rendering.m_result < 0) {
            QVERIFY2(QString::fromStdString(rendering.m_message).contains(statements), rendering.m_message.c_str());
            return;
        }
        QStringList texts;
        for (const std::string &statement : rendering.m_statements)
            texts << QString::fromStdString(statement);
        QCOMPARE(texts.join('\n'), statements);
        QFETCH(QString, note);
        QCOMPARE(QString::fromStdString(rendering.m_message).contains(note), true);
        QCOMPARE(rendering.m_message.empty(), note.isEmpty());
    }

    // MariaDB keeps names of up to 64 characters, whatever their bytes;
    // a longer one is refused before anything is sent (here: to no
    // connection at all).
    void refusesLongNamesFirst_data()
    {
        QTest::addColumn<CSchemaChange>("change");
        QTest::addColumn<bool>("refused");
        const std::string e64 = QString(64, QChar(0xe9)).toStdString();
        const CCreateTable table{e64, {Column("a", "int")}};
        QTest::newRow("64 characters") << CSchemaChange(table) << false;
        QTest::newRow("65 characters") << CSchemaChange(CCreateTable{e64 + "x", {Column("a", "int")}}) << true;
        QTest::newRow("65 in a column") << CSchemaChange(CAddColumns{"t", {Column((e64 + "x").c_str(), "int")}}) << true;
        QTest::newRow("65 in an index") << CSchemaChange(CCreateIndex{e64 + "x", "t", false, false, false, {{"a"}}})
                                        << true;
    }
    void refusesLongNamesFirst()
    {
        QFETCH(CSchemaChange, change);
        QFETCH(bool, refused);
        const CAdapterList adapters = MakeDbmsAdapters();
        CDbSession session(adapters);
        const int result = CMariaDialect().Apply(session, change);
        QVERIFY(result < 0);
        QCOMPARE(QString::fromStdString(session.m_lastError).contains("at most 64 characters"), refused);
        QCOMPARE(session.StatementsSent() == 0, refused);
    }
};

QTEST_GUILESS_MAIN(TestMariaDialect)
#include "tst_mariadbdialect.moc"

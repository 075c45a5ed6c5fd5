#include "db/sqlite/SqliteTableEdit.h"
#include "db/sqlite/SqliteTableSql.h"
#include "tests/support/OdbcSandbox.h"

#include <QtTest>

namespace {

std::vector<std::string> Names(const QStringList &names)
{
    std::vector<std::string> out;
    for (const QString &name : names)
        out.push_back(name.toStdString());
    return out;
}

QStringList Names(const std::vector<std::string> &names)
{
    QStringList out;
    for (const std::string &name : names)
        out << QString::fromStdString(name);
    return out;
}

// The edit of a row: "add" with the constraint, "drop" with a name,
// "dropkey" and "dropcols" with columns.
CSqliteTableEdit MakeEdit(const QString &kind, const QStringList &arguments)
{
    if (kind == "add")
        return CSqliteTableEdit::AddConstraint(arguments.value(0).toStdString());
    if (kind == "drop")
        return CSqliteTableEdit::DropConstraint(arguments.value(0).toStdString());
    if (kind == "dropkey")
        return CSqliteTableEdit::DropForeignKey(Names(arguments));
    return CSqliteTableEdit::DropColumns(Names(arguments));
}

} // namespace

class TestSqliteTableEdit : public QObject
{
    Q_OBJECT

private slots:
    // Each edit changes the one thing and leaves every other byte as the
    // author wrote it.
    void editsChangeOnlyTheOneThing_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");

        QTest::newRow("add: after the last element")
            << "CREATE TABLE t (a int, b text)" << "add"
            << QStringList{"CONSTRAINT \"k\" FOREIGN KEY (\"a\") REFERENCES \"p\" (\"id\") ON DELETE CASCADE"}
            << "CREATE TABLE t (a int, b text, CONSTRAINT \"k\" FOREIGN KEY (\"a\") REFERENCES \"p\" "
               "(\"id\") ON DELETE CASCADE)";
        QTest::newRow("add: before the last line's comment, options kept")
            << "CREATE TABLE t (\n  a int,\n  b text -- the b\n) WITHOUT ROWID" << "add"
            << QStringList{"FOREIGN KEY (b) REFERENCES p"}
            << "CREATE TABLE t (\n  a int,\n  b text, FOREIGN KEY (b) REFERENCES p -- the b\n) WITHOUT ROWID";
        QTest::newRow("add: after a check with a parenthesis in a string")
            << "CREATE TABLE t (a int, check (a <> ')'))" << "add" << QStringList{"UNIQUE (a)"}
            << "CREATE TABLE t (a int, check (a <> ')'), UNIQUE (a))";

        QTest::newRow("drop: a table constraint in the middle")
            << "CREATE TABLE t (a int, b int, CONSTRAINT fk FOREIGN KEY (a) REFERENCES p, CHECK (b > 0))"
            << "drop" << QStringList{"FK"} << "CREATE TABLE t (a int, b int, CHECK (b > 0))";
        QTest::newRow("drop: the last line, a name with quotes")
            << "CREATE TABLE t (\n  a int,\n  CONSTRAINT \"it's a \"\"key\"\"\" FOREIGN KEY (a) REFERENCES p\n)"
            << "drop" << QStringList{"it's a \"key\""} << "CREATE TABLE t (\n  a int\n)";
        QTest::newRow("drop: a column constraint between others")
            << "CREATE TABLE t (a int CONSTRAINT nn NOT NULL CONSTRAINT fa REFERENCES p ON DELETE SET "
               "NULL ON UPDATE SET DEFAULT DEFAULT 0, b int)"
            << "drop" << QStringList{"fa"}
            << "CREATE TABLE t (a int CONSTRAINT nn NOT NULL DEFAULT 0, b int)";
        QTest::newRow("drop: one of two table constraints without a comma")
            << "CREATE TABLE t (a int, b int, PRIMARY KEY (a) CONSTRAINT fk FOREIGN KEY (b) REFERENCES p)"
            << "drop" << QStringList{"fk"} << "CREATE TABLE t (a int, b int, PRIMARY KEY (a))";
        QTest::newRow("drop: a comment before the comma stays with its line end")
            << "CREATE TABLE t (a int -- first\n, CONSTRAINT k CHECK (a > 0))" << "drop"
            << QStringList{"k"} << "CREATE TABLE t (a int -- first\n)";
        QTest::newRow("drop: an unnamed key by the name the catalog gives it")
            << "CREATE TABLE order_line (order_id int REFERENCES sales_order, product_id int "
               "REFERENCES product)"
            << "drop" << QStringList{"order_line_product_id_fkey"}
            << "CREATE TABLE order_line (order_id int REFERENCES sales_order, product_id int)";
        QTest::newRow("drop: the second unnamed key on a column is numbered")
            << "CREATE TABLE c (x int REFERENCES p, FOREIGN KEY (x) REFERENCES q)" << "drop"
            << QStringList{"c_x_fkey2"} << "CREATE TABLE c (x int REFERENCES p)";
        QTest::newRow("drop: generated names spell columns as declared")
            << "CREATE TABLE c (CustomerID int, FOREIGN KEY (customerid) REFERENCES p)" << "drop"
            << QStringList{"c_CustomerID_fkey"} << "CREATE TABLE c (CustomerID int)";

        QTest::newRow("dropkey: the unnamed key before a named one")
            << "CREATE TABLE t (a int, b int, CONSTRAINT named FOREIGN KEY (a, b) REFERENCES p, "
               "FOREIGN KEY (a, b) REFERENCES q)"
            << "dropkey" << QStringList{"A", "B"}
            << "CREATE TABLE t (a int, b int, CONSTRAINT named FOREIGN KEY (a, b) REFERENCES p)";
        QTest::newRow("dropkey: a column reference with odd quoting")
            << "CREATE TABLE t (\"col, one\" int REFERENCES \"p(x\" (\"id\"), b int)" << "dropkey"
            << QStringList{"col, one"} << "CREATE TABLE t (\"col, one\" int, b int)";
        QTest::newRow("dropkey: the words on both sides stay apart")
            << "CREATE TABLE t (a int key REFERENCES p (id)AS (1), b int)" << "dropkey"
            << QStringList{"a"} << "CREATE TABLE t (a int key AS (1), b int)";

        QTest::newRow("dropcols: the first column takes the comma after it")
            << "CREATE TABLE t (a int, b int)" << "dropcols" << QStringList{"a"}
            << "CREATE TABLE t (b int)";
        QTest::newRow("dropcols: the first two columns")
            << "CREATE TABLE t (a int, b int, c int)" << "dropcols" << QStringList{"b", "A"}
            << "CREATE TABLE t (c int)";
        QTest::newRow("dropcols: a middle line, a string with a comma")
            << "CREATE TABLE t (\n  a int,\n  b int NOT NULL DEFAULT 'x,y', -- bee\n  c int\n)"
            << "dropcols" << QStringList{"b"} << "CREATE TABLE t (\n  a int,\n  c int\n)";
        QTest::newRow("dropcols: the last ones, options kept")
            << "CREATE TABLE t (k text PRIMARY KEY, a int, b int) WITHOUT ROWID" << "dropcols"
            << QStringList{"b", "a"} << "CREATE TABLE t (k text PRIMARY KEY) WITHOUT ROWID";
        QTest::newRow("dropcols: with what names it, and nothing else")
            << "CREATE TABLE t (id integer PRIMARY KEY, parent int REFERENCES t (id), a int CHECK (a > "
               "id), b int, UNIQUE (a, b), CHECK (b <> 'id'), FOREIGN KEY (b) REFERENCES t)"
            << "dropcols" << QStringList{"id"}
            << "CREATE TABLE t (parent int, a int, b int, UNIQUE (a, b), CHECK (b <> 'id'))";
        QTest::newRow("dropcols: a key over two columns goes with either")
            << "CREATE TABLE t (a int, b int, c int, CONSTRAINT k FOREIGN KEY (b, c) REFERENCES p, "
               "PRIMARY KEY (a))"
            << "dropcols" << QStringList{"c"} << "CREATE TABLE t (a int, b int, PRIMARY KEY (a))";
        QTest::newRow("dropcols: quotes and parentheses in the name")
            << "CREATE TABLE [x] (\"A\"\"(b\" int, `c` int COLLATE NOCASE)" << "dropcols"
            << QStringList{"a\"(B"} << "CREATE TABLE [x] (`c` int COLLATE NOCASE)";
        QTest::newRow("dropcols: a generated column with the column it reads")
            << "CREATE TABLE t(a INT, b INT, c INT AS (a + 1), CHECK (a < b), UNIQUE (a, b))" << "dropcols"
            << QStringList{"c", "a"} << "CREATE TABLE t(b INT)";
        QTest::newRow("dropcols: a commented-out column is no column")
            << "CREATE TABLE t (a int /* b int, */, b int)" << "dropcols" << QStringList{"b"}
            << "CREATE TABLE t (a int /* b int, */)";
    }
    void editsChangeOnlyTheOneThing()
    {
        QFETCH(QString, sql);
        QFETCH(QString, kind);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const CSqliteEditedTable edited = EditCreateTable(sql.toStdString(), MakeEdit(kind, arguments));
        QCOMPARE(QString::fromStdString(edited.m_error), QString());
        QCOMPARE(QString::fromStdString(edited.m_sql), expected);
    }

    // A comment belongs to the part whose text stands before it on its line;
    // a comment on a line of its own stays. SQLite must accept every result.
    void commentsStayWithTheirParts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QString>("expected");
        const QString trailing = "CREATE TABLE t (\n  a int, -- about a\n  b int, -- about b\n"
                                 "  c int  -- about c\n)";
        QTest::newRow("commas at line ends, the middle")
            << trailing << QStringList{"b"}
            << "CREATE TABLE t (\n  a int, -- about a\n  c int  -- about c\n)";
        QTest::newRow("commas at line ends, the last")
            << trailing << QStringList{"c"}
            << "CREATE TABLE t (\n  a int, -- about a\n  b int -- about b\n)";
        QTest::newRow("commas at line ends, the first")
            << trailing << QStringList{"a"}
            << "CREATE TABLE t (\n  b int, -- about b\n  c int  -- about c\n)";
        const QString leading = "CREATE TABLE t (\n    a int /* A */\n  , b int /* B */\n  , /* C */ c int\n)";
        QTest::newRow("commas at line starts, the middle")
            << leading << QStringList{"b"} << "CREATE TABLE t (\n    a int /* A */\n  , /* C */ c int\n)";
        QTest::newRow("commas at line starts, the first")
            << leading << QStringList{"a"} << "CREATE TABLE t (\n  b int /* B */\n  , /* C */ c int\n)";
        QTest::newRow("one line")
            << "CREATE TABLE t (a int /* A */, b int /* B */, c int /* C */)" << QStringList{"b"}
            << "CREATE TABLE t (a int /* A */, c int /* C */)";
        QTest::newRow("comment lines stay, a comment inside a column stays with it")
            << "CREATE TABLE t ( -- the t\n  -- the key\n  id integer PRIMARY KEY,\n  /* x */\n"
               "  x text -- x\n    NOT NULL,\n  y text -- y\n) -- done"
            << QStringList{"y"}
            << "CREATE TABLE t ( -- the t\n  -- the key\n  id integer PRIMARY KEY,\n  /* x */\n"
               "  x text -- x\n    NOT NULL\n) -- done";
    }
    void commentsStayWithTheirParts()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, columns);
        QFETCH(QString, expected);
        const CSqliteEditedTable edited = EditCreateTable(sql.toStdString(), CSqliteTableEdit::DropColumns(Names(columns)));
        QCOMPARE(QString::fromStdString(edited.m_error), QString());
        QCOMPARE(QString::fromStdString(edited.m_sql), expected);
        QTemporaryDir dir;
        QString errors;
        QVERIFY2(RunSqliteScript(dir.filePath("t.db"), expected + "\n;\n", &errors), qPrintable(errors));
    }

    void droppedColumnsAreSpelledAsDeclared()
    {
        const CSqliteEditedTable edited = EditCreateTable(
            "create table t (Alpha int, \"Be\"\"ta\" int, c int)", CSqliteTableEdit::DropColumns({"BE\"TA", "alpha"}));
        QCOMPARE(Names(edited.m_removedColumns), QStringList({"Be\"ta", "Alpha"}));
    }

    void impossibleEditsSayWhy_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        const QString table = "CREATE TABLE t (a int, b int CONSTRAINT fk REFERENCES p)";
        QTest::newRow("no such constraint") << table << "drop" << QStringList{"nope"}
                                            << "The table \"t\" has no constraint named \"nope\".";
        QTest::newRow("no key on those columns, in that order")
            << "CREATE TABLE t (a int, b int, FOREIGN KEY (a, b) REFERENCES p)" << "dropkey"
            << QStringList{"b", "a"} << "The table \"t\" has no foreign key on (\"b\", \"a\").";
        QTest::newRow("no such column") << table << "dropcols" << QStringList{"a", "zz"}
                                        << "The table \"t\" has no column \"zz\".";
        QTest::newRow("every column")
            << table << "dropcols" << QStringList{"a", "B"}
            << "The table \"t\" cannot lose all of its columns; drop the table instead.";
        QTest::newRow("every stored column")
            << "CREATE TABLE t(a INTEGER NOT NULL, b GENERATED ALWAYS AS('x'))" << "dropcols" << QStringList{"a"}
            << "The table \"t\" must keep a column that is not generated, so nothing was changed.";
        QTest::newRow("every stored column, its type a word that reads ALWAYS")
            << "CREATE TABLE t(a INT, b GENERATE ALWAYS AS('x'))" << "dropcols" << QStringList{"a"}
            << "The table \"t\" must keep a column that is not generated, so nothing was changed.";
        QTest::newRow("every stored column, one named GENERATED of type ALWAYS")
            << "CREATE TABLE t(a INT, GENERATED ALWAYS AS('x'))" << "dropcols" << QStringList{"a"}
            << "The table \"t\" must keep a column that is not generated, so nothing was changed.";
        QTest::newRow("the key of a table without rowid")
            << "CREATE TABLE t(k TEXT PRIMARY KEY, v ANY) WITHOUT ROWID" << "dropcols" << QStringList{"k"}
            << "The table \"t\" has no rowid and needs its primary key column \"k\", so nothing was changed.";
        QTest::newRow("the named key of a table without rowid")
            << "CREATE TABLE t(k TEXT CONSTRAINT fk_k PRIMARY KEY, v ANY) WITHOUT ROWID" << "drop"
            << QStringList{"fk_k"}
            << "The table \"t\" has no rowid and needs its primary key \"fk_k\", so nothing was changed.";
        QTest::newRow("the table key's columns of a table without rowid")
            << "CREATE TABLE t(k TEXT, j INT, v ANY, PRIMARY KEY (k, j)) WITHOUT ROWID" << "dropcols"
            << QStringList{"K", "j"}
            << "The table \"t\" has no rowid and needs its primary key column \"k\", so nothing was changed.";
        QTest::newRow("a column a generated column reads")
            << "CREATE TABLE t(a INT, b INT, c INT AS (a + 1), CHECK (a < b), UNIQUE (a, b))" << "dropcols"
            << QStringList{"a"}
            << "The generated column \"c\" would stop working without the column \"a\" of the table "
               "\"t\", so nothing was changed.";
        const QString notOne = "The constraint to add is not a single table constraint.";
        QTest::newRow("a column is no constraint") << table << "add" << QStringList{"c int"} << notOne;
        QTest::newRow("two elements") << table << "add" << QStringList{"UNIQUE (a), c int"} << notOne;
        QTest::newRow("unclosed") << table << "add" << QStringList{"CHECK (a > 0"} << notOne;
        QTest::newRow("a closing parenthesis too many")
            << table << "add" << QStringList{"CHECK (a > 0)); DROP TABLE p; --"} << notOne;
        QTest::newRow("not a table") << "CREATE VIEW v AS SELECT 1" << "drop" << QStringList{"k"}
                                     << "The definition of the table cannot be read, so it cannot be "
                                        "changed.";
        QTest::newRow("a table made from a query")
            << "CREATE TABLE t AS SELECT 1" << "dropcols" << QStringList{"a"}
            << "The definition of the table cannot be read, so it cannot be changed.";
    }
    void impossibleEditsSayWhy()
    {
        QFETCH(QString, sql);
        QFETCH(QString, kind);
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const CSqliteEditedTable edited = EditCreateTable(sql.toStdString(), MakeEdit(kind, arguments));
        QCOMPARE(QString::fromStdString(edited.m_error), error);
        QVERIFY(edited.m_sql.empty());
    }

    // Whether an index still has all its columns once some are dropped.
    void indexTextsNameTheirColumns_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("namesB");
        QTest::newRow("a segment") << "CREATE INDEX i ON t (a, \"B\" DESC)" << true;
        QTest::newRow("inside an expression") << "CREATE INDEX i ON t (lower(b))" << true;
        QTest::newRow("in the condition") << "CREATE INDEX i ON t (a) WHERE b > 0" << true;
        QTest::newRow("a collation of that name") << "CREATE INDEX i ON t (a COLLATE b)" << false;
        QTest::newRow("a function of that name") << "CREATE INDEX i ON t (b(a))" << false;
        QTest::newRow("the index and table names") << "CREATE UNIQUE INDEX b ON b (a)" << false;
        QTest::newRow("a string") << "CREATE INDEX i ON t (a) WHERE a <> 'b'" << false;
    }
    void indexTextsNameTheirColumns()
    {
        QFETCH(QString, sql);
        QFETCH(bool, namesB);
        const CSqlTokens tokens = TokenizeSql(sql.toStdString());
        const CSqliteObjectHeader header = ReadObjectHeader(tokens);
        QCOMPARE(QString::fromStdString(header.m_type), QString("index"));
        QCOMPARE(TokensNameColumn(tokens, header.m_afterTable, tokens.size() - 1, {"b"}), namesB);
    }

    void triggerHeadsAreRead()
    {
        const CSqliteObjectHeader update = ReadObjectHeader(TokenizeSql(
            "CREATE TRIGGER IF NOT EXISTS \"t r\" BEFORE UPDATE OF a, \"b c\" ON [tab] FOR EACH ROW "
            "WHEN new.a > 0 BEGIN SELECT 1; END"));
        QCOMPARE(update.m_name, std::string("t r"));
        QCOMPARE(update.m_event, std::string("update"));
        QCOMPARE(Names(update.m_updateColumns), QStringList({"a", "b c"}));
        QCOMPARE(update.m_table, std::string("tab"));
        const CSqliteObjectHeader instead =
            ReadObjectHeader(TokenizeSql("create trigger x instead of insert on v begin select 1; end"));
        QCOMPARE(instead.m_event, std::string("insert"));
        QCOMPARE(instead.m_table, std::string("v"));
    }
};

QTEST_GUILESS_MAIN(TestSqliteTableEdit)
#include "tst_sqlitetableedit.moc"

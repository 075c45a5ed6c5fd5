#include "diagram/DropStatements.h"

#include <QtTest>

#include <string>
#include <vector>

using Names = std::vector<std::string>;
Q_DECLARE_METATYPE(Names)

// The drop statements and questions are composed text only; these cases pin
// the exact texts and that a double quote inside a name stays inside it.
class TestDropStatements : public QObject
{
    Q_OBJECT

private slots:
    void statements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");

        QTest::newRow("two columns")
            << QString::fromStdString(DropText::DropColumnsStatement("ORDERS", {"NOTE", "FLAG"}))
            << R"(alter table "ORDERS"(drop "NOTE",drop "FLAG"))";
        QTest::newRow("one column")
            << QString::fromStdString(DropText::DropColumnsStatement("ORDERS", {"NOTE"}))
            << R"(alter table "ORDERS"(drop "NOTE"))";
        QTest::newRow("index")
            << QString::fromStdString(DropText::DropIndexStatement("ORDERS", "BY_DATE"))
            << R"(drop index "ORDERS"."BY_DATE")";
        QTest::newRow("trigger")
            << QString::fromStdString(DropText::DropTriggerStatement("CHECK_QTY"))
            << R"(drop trigger "CHECK_QTY")";
        QTest::newRow("table")
            << QString::fromStdString(DropText::DropTableStatement("ORDERS"))
            << R"(drop table "ORDERS")";
        QTest::newRow("blank in names")
            << QString::fromStdString(DropText::DropIndexStatement("ORDER LINES", "BY DATE"))
            << R"(drop index "ORDER LINES"."BY DATE")";
        // A name with a double quote must not close its identifier early.
        QTest::newRow("quote in table name")
            << QString::fromStdString(DropText::DropTableStatement(R"(A"; drop table "B)"))
            << R"(drop table "A""; drop table ""B")";
        QTest::newRow("quote in column names")
            << QString::fromStdString(DropText::DropColumnsStatement(R"(T")", {R"(",drop "X)", "Y"}))
            << R"(alter table "T"""(drop """,drop ""X",drop "Y"))";
        QTest::newRow("quote in index name")
            << QString::fromStdString(DropText::DropIndexStatement("T", R"(I"."J)"))
            << R"(drop index "T"."I"".""J")";
        QTest::newRow("quote in trigger name")
            << QString::fromStdString(DropText::DropTriggerStatement(R"(R")"))
            << R"(drop trigger "R""")";
    }
    void statements()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(statement, expected);
    }

    void rowsQuestion_data()
    {
        QTest::addColumn<Names>("names");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one row") << Names{"NOTE"} << "Are you sure you want to drop' NOTE'?";
        QTest::newRow("two rows") << Names{"NOTE", "BY_DATE"}
                                  << "Are you sure you want to drop: ' NOTE, BY_DATE'?";
        QTest::newRow("index block")
            << Names{"PK", "ID", "CHECK_QTY"}
            << "Are you sure you want to drop: ' PK, ID, CHECK_QTY'?";
    }
    void rowsQuestion()
    {
        QFETCH(Names, names);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(DropText::DropRowsQuestion(names)), expected);
    }

    void tableQuestion()
    {
        QCOMPARE(QString::fromStdString(DropText::DropTableQuestion("ORDERS")),
                 QStringLiteral("Are you sure you want to drop the table 'ORDERS'?"));
    }

    void focusAfterRemoval_data()
    {
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("expected");
        QTest::newRow("last of ten, three removed") << 9 << 7 << 6;
        QTest::newRow("one past the end") << 5 << 5 << 4;
        QTest::newRow("every row removed") << 3 << 0 << 0;
        QTest::newRow("first row, all removed") << 0 << 0 << 0;
        QTest::newRow("still inside goes to the first row") << 2 << 5 << 0;
        QTest::newRow("last row still there") << 4 << 5 << 0;
    }
    void focusAfterRemoval()
    {
        QFETCH(int, focus);
        QFETCH(int, count);
        QFETCH(int, expected);
        const int result = DropText::FocusAfterRemoval(focus, count);
        QCOMPARE(result, expected);
        QVERIFY(result >= 0);
        QVERIFY(count == 0 || result < count);
    }
};

QTEST_MAIN(TestDropStatements)
#include "tst_dropstatements.moc"

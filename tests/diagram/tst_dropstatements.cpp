#include "diagram/DropStatements.h"

#include <QtTest>

#include <string>
#include <vector>

using Names = std::vector<std::string>;
Q_DECLARE_METATYPE(Names)

// The drop questions and the focus rule are plain functions; these cases
// pin the exact texts and where the current row goes.
class TestDropStatements : public QObject
{
    Q_OBJECT

private slots:
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

#include "dialogs/ComposeForeignKey.h"

#include <QtTest>

using Names = std::vector<std::string>;
Q_DECLARE_METATYPE(Names)
Q_DECLARE_METATYPE(DeleteRule)

// What the Foreign Key dialog's grid and Delete Rule buttons make of a
// key: each list runs to the first empty cell of its own column, and the
// database is left to judge empty or unequal lists.
class TestComposeForeignKey : public QObject
{
    Q_OBJECT

private slots:
    void composesTheKey_data()
    {
        QTest::addColumn<Names>("columnCells");
        QTest::addColumn<Names>("referencedCells");
        QTest::addColumn<bool>("cascade");
        QTest::addColumn<bool>("restrict");
        QTest::addColumn<Names>("columns");
        QTest::addColumn<Names>("referencedColumns");
        QTest::addColumn<DeleteRule>("rule");

        QTest::newRow("column onto column")
            << Names{"x", "", ""} << Names{"p", "", ""} << false << false
            << Names{"x"} << Names{"p"} << DeleteRule::None;
        QTest::newRow("two segments onto two segments")
            << Names{"x", "y", ""} << Names{"p", "q", ""} << false << false
            << Names{"x", "y"} << Names{"p", "q"} << DeleteRule::None;
        QTest::newRow("empty grid is sent empty")
            << Names{"", "", ""} << Names{"", "", ""} << false << false
            << Names{} << Names{} << DeleteRule::None;
        QTest::newRow("column onto a two-segment index")
            << Names{"x", "", ""} << Names{"p", "q", ""} << false << false
            << Names{"x"} << Names{"p", "q"} << DeleteRule::None;
        QTest::newRow("each list ends at its first empty cell")
            << Names{"x", "", "z"} << Names{"", "q", ""} << false << false
            << Names{"x"} << Names{} << DeleteRule::None;
        QTest::newRow("last row filled") << Names{"x", "y"} << Names{"p", "q"} << false << false
                                         << Names{"x", "y"} << Names{"p", "q"} << DeleteRule::None;
        QTest::newRow("cascade") << Names{"x"} << Names{"p"} << true << false << Names{"x"}
                                 << Names{"p"} << DeleteRule::Cascade;
        QTest::newRow("restrict") << Names{"x"} << Names{"p"} << false << true << Names{"x"}
                                  << Names{"p"} << DeleteRule::Restrict;
    }
    void composesTheKey()
    {
        QFETCH(Names, columnCells);
        QFETCH(Names, referencedCells);
        QFETCH(bool, cascade);
        QFETCH(bool, restrict);
        QFETCH(Names, columns);
        QFETCH(Names, referencedColumns);
        QFETCH(DeleteRule, rule);

        const CComposedChange composed =
            ComposeAddForeignKey({"A", columnCells, "B", referencedCells, cascade, restrict});
        QCOMPARE(composed.m_error, 0);
        const auto *key = std::get_if<CAddForeignKey>(&composed.m_change);
        QVERIFY(key);
        QCOMPARE(key->m_table, std::string("A"));
        QCOMPARE(key->m_referencedTable, std::string("B"));
        QVERIFY(key->m_columns == columns);
        QVERIFY(key->m_referencedColumns == referencedColumns);
        QCOMPARE(key->m_deleteRule, rule);
    }
};

QTEST_APPLESS_MAIN(TestComposeForeignKey)
#include "tst_composeforeignkey.moc"

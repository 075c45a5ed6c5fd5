#include "db/PervasiveDialect.h"
#include "dialogs/ComposeIndex.h"

#include <QtTest>

namespace {

// Grid rows written as "column|sort".
std::vector<CIndexGridRow> Rows(const QStringList &cells)
{
    std::vector<CIndexGridRow> rows;
    for (const QString &cell : cells) {
        const QStringList parts = cell.split('|');
        rows.push_back({parts.value(0).toStdString(), parts.value(1).toStdString()});
    }
    return rows;
}

} // namespace

// The Index dialog's input checks and the index they describe, shown as
// the statement the Pervasive.SQL dialect writes for it.
class TestComposeIndex : public QObject
{
    Q_OBJECT

private slots:
    void composes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("options"); // U, M, N for the ticked boxes
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("statement");

        QTest::newRow("unique, second descending")
            << "ix" << "U" << QStringList{"a|", "b|1", "|", "|"} << 0
            << R"(CREATE UNIQUE INDEX "ix" ON "T" ("a", "b" DESC))";
        QTest::newRow("all three options")
            << "ix" << "UMN" << QStringList{"a|", "b|1"} << 0
            << R"(CREATE UNIQUE MODIFIABLE NOT NULL INDEX "ix" ON "T" ("a", "b" DESC))";
        QTest::newRow("sort toggled twice or odd text is ascending")
            << "ix" << "" << QStringList{"a|0", "b|yes", "c|11"} << 0
            << R"(CREATE INDEX "ix" ON "T" ("a", "b", "c"))";
        QTest::newRow("rows after the first empty one are ignored")
            << "ix" << "N" << QStringList{"a|1", "|1", "c|", "d|1"} << 0
            << R"(CREATE NOT NULL INDEX "ix" ON "T" ("a" DESC))";
        QTest::newRow("name exactly as typed")
            << " by a " << "M" << QStringList{"a|"} << 0
            << R"(CREATE MODIFIABLE INDEX " by a " ON "T" ("a"))";
        QTest::newRow("no name, rows filled") << "" << "U" << QStringList{"a|", "b|1"} << -30006 << "";
        QTest::newRow("no name, no rows") << "" << "" << QStringList{"|", "|"} << -30006 << "";
        QTest::newRow("first row empty") << "ix" << "" << QStringList{"|1", "b|"} << -30009 << "";
        QTest::newRow("no rows at all") << "ix" << "U" << QStringList{} << -30009 << "";
    }
    void composes()
    {
        QFETCH(QString, name);
        QFETCH(QString, options);
        QFETCH(QStringList, rows);
        QFETCH(int, error);
        QFETCH(QString, statement);

        CIndexInput input;
        input.m_name = name.toStdString();
        input.m_table = "T";
        input.m_unique = options.contains('U');
        input.m_modifiable = options.contains('M');
        input.m_notNull = options.contains('N');
        input.m_rows = Rows(rows);
        const CComposedChange composed = ComposeIndex(input);
        QCOMPARE(composed.m_error, error);
        if (error < 0)
            return;
        const CRendering rendering = CPervasiveDialect().Render(composed.m_change);
        QCOMPARE(rendering.m_statements.size(), size_t(1));
        QCOMPARE(QString::fromStdString(rendering.m_statements.front()), statement);
    }
};

QTEST_APPLESS_MAIN(TestComposeIndex)
#include "tst_composeindex.moc"

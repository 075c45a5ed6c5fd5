// The schema model as plain data: no display, no widgets, no database.
#include "db/ResultCodes.h"
#include "db/RowSource.h"
#include "model/ColumnDescription.h"
#include "model/IndexRows.h"
#include "model/SchemaModel.h"

#include <QtTest>

#include <functional>
#include <map>

namespace {

// No driver here sends a table-statistics row ahead of the index rows, so
// this made-up statistics result stands in for one that does. Each row
// gives NON_UNIQUE (4), INDEX_NAME (6), TYPE (7) and COLUMN_NAME (9).
class CStatisticsRows : public CRowSource
{
public:
    explicit CStatisticsRows(std::vector<std::map<int, std::string>> rows) : m_rows(std::move(rows)) {}
    int Fetch() override
    {
        return ++m_current < static_cast<int>(m_rows.size()) ? DbResult::kOk : DbResult::kNoData;
    }
    int GetColumnText(int column, std::string &text) override
    {
        text = m_rows[static_cast<size_t>(m_current)][column];
        return DbResult::kOk;
    }

private:
    std::vector<std::map<int, std::string>> m_rows;
    int m_current = -1;
};

std::map<int, std::string> StatisticsRow(const char *type, const char *nonUnique,
                                         const char *index, const char *column)
{
    return {{4, nonUnique}, {6, index}, {7, type}, {9, column}};
}

// The indexes as the rows of a table window show them: unique (0) or
// plain (4) headers, each followed by its segments (5).
QStringList RowTexts(const std::vector<CSchemaIndex> &indexes)
{
    QStringList texts;
    for (const CSchemaIndex &index : indexes) {
        texts << QStringLiteral("%1 %2").arg(index.m_unique ? 0 : 4)
                     .arg(QString::fromStdString(index.m_name));
        for (const std::string &column : index.m_columns)
            texts << QStringLiteral("%1 %2").arg(5).arg(QString::fromStdString(column));
    }
    return texts;
}

CTableSchema Orders()
{
    return CTableSchema{"ORDERS",
                        {{"ID", {"INTEGER", "4", "10", "4", "0", "0"}},
                         {"NOTE", {"VARCHAR", "12", "", "40", "", "1"}, "'none'"}},
                        {{"PK", true, {"ID"}}},
                        {"AUDIT"},
                        {"ID"}};
}

} // namespace

class TestSchemaModel : public QObject
{
    Q_OBJECT

private slots:
    void describesColumns_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("precision");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("scale");
        QTest::addColumn<QString>("nullable");
        QTest::addColumn<QString>("description");
        QTest::newRow("char") << "CHAR" << "1" << "20" << "20" << "" << "0" << "char(20)";
        QTest::newRow("varchar nullable") << "VARCHAR" << "12" << "" << "40" << "" << "1" << "varchar(40) N";
        QTest::newRow("integer") << "INTEGER" << "4" << "10" << "4" << "0" << "1" << "integer N";
        QTest::newRow("timestamp") << "TIMESTAMP" << "11" << "" << "" << "" << "0" << "timestamp";
        QTest::newRow("long varchar") << "LONGVARCHAR" << "-1" << "" << "" << "" << "2" << "longvarchar";
        QTest::newRow("bit") << "BIT" << "-7" << "1" << "1" << "" << "0" << "bit";
        QTest::newRow("decimal") << "DECIMAL" << "3" << "10" << "12" << "2" << "1" << "decimal(10, 2) N";
        QTest::newRow("binary without scale") << "BINARY" << "-2" << "16" << "16" << "" << "0" << "binary(16, )";
        QTest::newRow("unknown code") << "WEIRD" << "-99" << "1" << "" << "0" << "0" << "weird(1, 0)";
        QTest::newRow("no code at all") << "odd" << "x" << "5" << "" << "1" << "0" << "odd(5, 1)";
        QTest::newRow("currency") << "CURRENCY" << "3" << "19" << "" << "4" << "1" << "currency N";
        QTest::newRow("bigint") << "BIGINT" << "2" << "19" << "" << "0" << "0" << "bigint";
        QTest::newRow("declared size kept once") << "char(30)" << "1" << "30" << "30" << "" << "1" << "char(30) N";
        QTest::newRow("declared precision kept once") << "NUMERIC(10,2)" << "2" << "10" << "" << "2" << "0" << "numeric(10,2)";
    }
    void describesColumns()
    {
        QFETCH(QString, type);
        QFETCH(QString, code);
        QFETCH(QString, precision);
        QFETCH(QString, length);
        QFETCH(QString, scale);
        QFETCH(QString, nullable);
        QFETCH(QString, description);
        CColumnFacts facts{type.toStdString(), code.toStdString(), precision.toStdString(),
                           length.toStdString(), scale.toStdString(), nullable.toStdString()};
        QCOMPARE(QString::fromStdString(DescribeColumn(facts)), description);
    }

    // Engines that report the declared type get it as it stands: SQLite
    // gives a length of 255 and a scale of 10 to types declared without a
    // size, which would read blob(0, 10).
    void describesDeclaredTypesAsDeclared()
    {
        CColumnFacts blob{"BLOB", "-4", "0", "255", "10", "1", true};
        QCOMPARE(DescribeColumn(blob), std::string("blob N"));
        CColumnFacts varchar{"varchar", "12", "255", "255", "10", "0", true};
        QCOMPARE(DescribeColumn(varchar), std::string("varchar"));
        CColumnFacts numeric{"NUMERIC(10,2)", "8", "2", "2", "10", "1", true};
        QCOMPARE(DescribeColumn(numeric), std::string("numeric(10,2) N"));
    }

    // A first statistics row of TYPE 0 is the table's statistics and is
    // skipped; a first row of another TYPE is an index column and is kept.
    void theTableStatisticsRowIsSkippedAndOnlyIt()
    {
        CStatisticsRows withStatistics({StatisticsRow("0", "", "", ""),
                                         StatisticsRow("3", "0", "PK", "ID"),
                                         StatisticsRow("3", "1", "BY_NAME", "NAME"),
                                         StatisticsRow("3", "1", "BY_NAME", "ID")});
        std::vector<CSchemaIndex> items;
        QCOMPARE(ReadIndexRows(withStatistics, items), 0);
        QCOMPARE(RowTexts(items), (QStringList{"0 PK", "5 ID", "4 BY_NAME", "5 NAME", "5 ID"}));

        CStatisticsRows withoutStatistics({StatisticsRow("1", "0", "PK", "ID"),
                                           StatisticsRow("1", "0", "PK", "CODE")});
        items.clear();
        QCOMPARE(ReadIndexRows(withoutStatistics, items), 0);
        QCOMPARE(RowTexts(items), (QStringList{"0 PK", "5 ID", "5 CODE"}));
    }

    // A copy is a value of its own: changing it leaves the original as it
    // was, and the two compare unequal until they agree again.
    void copiesAndComparesByValue()
    {
        CSchemaModel model;
        model.PutTable(Orders());
        model.AddRelationship({"CUSTOMER", "PK", "ORDERS", "BY_CUSTOMER", "FK"});
        CSchemaModel copy = model;
        QVERIFY(copy == model);

        QVERIFY(copy.ChangeTable("ORDERS", [](CTableSchema &table) { table.RemoveIndex("PK"); }));
        QVERIFY(copy != model);
        QCOMPARE(model.FindTable("ORDERS")->m_indexes.size(), size_t(1));
        QVERIFY(!copy.ChangeTable("NONE", [](CTableSchema &) {}));

        copy.PutTable(Orders());
        QVERIFY(copy == model);
        // Each part of a table counts.
        const std::vector<std::function<void(CTableSchema &)>> changes = {
            [](CTableSchema &t) { t.m_columns[1].m_name = "note"; },
            [](CTableSchema &t) { t.m_columns[1].m_facts.m_nullable = "0"; },
            [](CTableSchema &t) { t.m_indexes[0].m_unique = false; },
            [](CTableSchema &t) { t.m_indexes[0].m_columns.push_back("NOTE"); },
            [](CTableSchema &t) { t.m_triggers[0] = "AUDIT2"; },
            [](CTableSchema &t) { t.m_columns[1].m_default = "'other'"; },
            [](CTableSchema &t) { t.m_primaryKey.push_back("NOTE"); },
            [](CTableSchema &t) { t.m_primaryKey.clear(); },
        };
        for (const auto &change : changes) {
            CTableSchema changed = Orders();
            change(changed);
            QVERIFY(changed != Orders());
        }
        copy.SetRelationships({});
        QVERIFY(copy != model);
        QCOMPARE(QString::fromStdString(model.FindTable("ORDERS")->m_columns[1].Description()),
                 QStringLiteral("varchar(40) N"));
    }

    // Whoever keeps lines drawn from the relationships must see every
    // change, also when a whole model read afresh takes the place of the
    // old one.
    void everyChangeOfTheRelationshipsMovesTheVersion()
    {
        CSchemaModel model;
        unsigned long long seen = model.RelationshipsVersion();
        const auto moved = [&] {
            const bool changed = model.RelationshipsVersion() != seen;
            seen = model.RelationshipsVersion();
            return changed;
        };
        model.AddRelationship({"A", "PK", "B", "FK_A", "B_A"});
        QVERIFY(moved());
        model.SetRelationships({});
        QVERIFY(moved());
        CSchemaModel fresh;
        fresh.AddRelationship({"A", "PK", "B", "FK_A", "B_A"});
        model.ReplaceWith(fresh);
        QVERIFY(moved());
        QVERIFY(model.IsRelated("A") && model.IsRelated("B") && !model.IsRelated("C"));
        model.Clear();
        QVERIFY(moved());
        QCOMPARE(model.TableCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSchemaModel)
#include "tst_schemamodel.moc"

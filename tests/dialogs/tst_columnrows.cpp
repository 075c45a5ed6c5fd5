#include "db/ResultCodes.h"
#include "db/pervasive/PervasiveDialect.h"
#include "dialogs/ColumnRows.h"

#include <QtTest>

using namespace ColumnRows;

namespace {

// integer takes no size and no nulls; char a length, numeric a precision
// and a scale.
const CTypeList kTypes = {{"integer", CDbTypeInfo::NoSize, false},
                          {"char", CDbTypeInfo::Length, true},
                          {"numeric", CDbTypeInfo::PrecisionScale, true},
                          {"date", CDbTypeInfo::NoSize, true}};

// A row written as its seven texts joined by "|": name, type, size, dec,
// collate, default, null.
CColumnRow Row(const QString &texts)
{
    QStringList cells = texts.split('|');
    if (cells.size() > kColumnCount)
        qFatal("A row has seven cells: %s", qPrintable(texts));
    while (cells.size() < kColumnCount)
        cells << QString();
    const auto cell = [&cells](int column) { return cells[column].toStdString(); };
    return {cell(kName),    cell(kDataType), cell(kSize), cell(kDec),
            cell(kCollate), cell(kDefault),  cell(kNull)};
}

std::vector<CColumnRow> Rows(const QStringList &rows)
{
    std::vector<CColumnRow> result;
    for (const QString &row : rows)
        result.push_back(Row(row));
    return result;
}

// The statement the composed change becomes in the document's own dialect,
// or the error code as text.
QString Outcome(const CComposedChange &composed)
{
    if (composed.m_error < 0)
        return QString::number(composed.m_error);
    const CRendering rendering = CPervasiveDialect().Render(composed.m_change);
    return QString::fromStdString(rendering.m_statements.at(0));
}

} // namespace

// What the column grid's rows compose, in the order the checks are made,
// and which of their cells are open to editing.
class TestColumnRows : public QObject
{
    Q_OBJECT

private slots:
    void createTable_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("outcome");
        const QString noTableName = QString::number(DbResult::kNoTableName);
        const QString noColumn = QString::number(DbResult::kNoColumn);
        const QString noDataType = QString::number(DbResult::kNoDataType);
        const QString needsLength = QString::number(DbResult::kNeedsLength);
        const QString needsDecimals = QString::number(DbResult::kNeedsDecimals);

        QTest::newRow("two rows") << "T" << QStringList{"a|integer|||||1", "b|char|20||y|'x'|"}
                                  << R"(CREATE TABLE "T" ("a" integer not null, "b" char(20) DEFAULT 'x' collate 'y'))";
        QTest::newRow("no table name, no rows") << "" << QStringList{} << noTableName;
        QTest::newRow("table name first, rows unread") << "" << QStringList{"a"} << noTableName;
        QTest::newRow("blank table name is a name") << " " << QStringList{"a|date"}
                                                    << R"(CREATE TABLE " " ("a" date))";
        QTest::newRow("empty grid") << "T" << QStringList{} << noColumn;
        QTest::newRow("first row without name") << "T" << QStringList{"", "b|integer"} << noColumn;
        QTest::newRow("rows after an unnamed row unread")
            << "T" << QStringList{"a|integer", "", "c", "d|char|0"} << R"(CREATE TABLE "T" ("a" integer))";
        QTest::newRow("no type after a valid row") << "T" << QStringList{"a|integer", "b"} << noDataType;
        QTest::newRow("no type before a size error") << "T" << QStringList{"a", "b|char|0"} << noDataType;
        QTest::newRow("size error before a later type error")
            << "T" << QStringList{"a|char|0", "b"} << needsLength;
        QTest::newRow("length missing") << "T" << QStringList{"a|char"} << needsLength;
        QTest::newRow("scale 0") << "T" << QStringList{"a|numeric|10|0"} << needsDecimals;
        // The type is looked up by exact name; one the list lacks takes no
        // parameters and is written as typed.
        QTest::newRow("type of another case") << "T" << QStringList{"a|CHAR"} << R"(CREATE TABLE "T" ("a" CHAR))";
    }
    void createTable()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, rows);
        QFETCH(QString, outcome);
        QCOMPARE(Outcome(ComposeCreateTable(table.toStdString(), Rows(rows), kTypes)), outcome);
    }

    void addColumns_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("two rows") << QStringList{"c|integer", "d|char|10||||1"}
                                  << R"(ALTER TABLE "T" ( ADD "c" integer,  ADD "d" char(10) not null))";
        QTest::newRow("empty grid") << QStringList{"", ""} << QString::number(DbResult::kNoColumn);
        QTest::newRow("no type in the second row")
            << QStringList{"c|integer", "d"} << QString::number(DbResult::kNoDataType);
        QTest::newRow("scale missing") << QStringList{"c|numeric|8"} << QString::number(DbResult::kNeedsDecimals);
    }
    void addColumns()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, outcome);
        QCOMPARE(Outcome(ComposeAddColumns("T", Rows(rows), kTypes)), outcome);
    }

    void lockedCells_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("firstRow");
        QTest::addColumn<QString>("nameAbove");
        // The seven columns, "L" locked and "-" open.
        QTest::addColumn<QString>("locks");
        QTest::newRow("empty first row") << "" << true << "" << "-LLLLLL";
        QTest::newRow("row below an unnamed row") << "" << false << "" << "LLLLLLL";
        QTest::newRow("row below a named row") << "" << false << "a" << "-LLLLLL";
        QTest::newRow("named, no type") << "b" << false << "a" << "--LL--L";
        QTest::newRow("type the list lacks") << "b|CHAR" << true << "" << "--LL--L";
        QTest::newRow("no parameters, no nulls") << "b|integer" << true << "" << "--LL--L";
        QTest::newRow("no parameters, nulls") << "b|date" << true << "" << "--LL---";
        QTest::newRow("length") << "b|char" << true << "" << "---L---";
        QTest::newRow("precision and scale") << "b|numeric" << true << "" << "-------";
        // The name cell follows the row above, never the row itself.
        QTest::newRow("named row below an unnamed one") << "b|numeric" << false << "" << "L------";
    }
    void lockedCells()
    {
        QFETCH(QString, row);
        QFETCH(bool, firstRow);
        QFETCH(QString, nameAbove);
        QFETCH(QString, locks);
        QString actual;
        for (int column = 0; column < kColumnCount; ++column)
            actual += IsCellLocked(Row(row), firstRow, nameAbove.toStdString(), column, kTypes) ? 'L' : '-';
        QCOMPARE(actual, locks);
    }
};

QTEST_MAIN(TestColumnRows)
#include "tst_columnrows.moc"

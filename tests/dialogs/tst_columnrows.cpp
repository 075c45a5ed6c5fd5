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

// A row written as its texts joined by "|": name, type, size, dec,
// collate, default, null, key.
CColumnRow Row(const QString &texts)
{
    QStringList cells = texts.split('|');
    if (cells.size() > kColumnCount)
        qFatal("A row has eight cells: %s", qPrintable(texts));
    while (cells.size() < kColumnCount)
        cells << QString();
    const auto cell = [&cells](int column) { return cells[column].toStdString(); };
    return {cell(kName),    cell(kDataType), cell(kSize), cell(kDec),
            cell(kCollate), cell(kDefault),  cell(kNull), cell(kKey)};
}

QString Texts(const std::vector<std::string> &texts, char separator = ',')
{
    QStringList list;
    for (const std::string &text : texts)
        list << QString::fromStdString(text);
    return list.join(separator);
}

// A column as its texts joined by "|", like a row.
QString Texts(const CColumnDef &c)
{
    return Texts({c.m_name, c.m_typeName, c.m_size, c.m_dec, c.m_collation, c.m_default, c.m_nullMark}, '|');
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
    // The document's dialect writes no key; the key is told after the text.
    CSchemaChange change = composed.m_change;
    QString key;
    if (auto *create = std::get_if<CCreateTable>(&change)) {
        if (!create->m_primaryKey.empty())
            key = " key " + Texts(create->m_primaryKey);
        create->m_primaryKey.clear();
    }
    const CRendering rendering = CPervasiveDialect().Render(change);
    return QString::fromStdString(rendering.m_statements.at(0)) + key;
}

// An edited table as "new name; from>column...; key; before...; key before",
// or the error code as text.
QString AlterOutcome(const CComposedChange &composed)
{
    if (composed.m_error < 0)
        return QString::number(composed.m_error);
    const auto &alter = std::get<CAlterTable>(composed.m_change);
    QStringList parts{QString::fromStdString(alter.m_newName)};
    for (const CAlteredColumn &column : alter.m_columns)
        parts << QString::fromStdString(column.m_from) + '>' + Texts(column.m_column);
    parts << "key " + Texts(alter.m_primaryKey);
    for (const CColumnDef &column : alter.m_before)
        parts << "was " + Texts(column);
    parts << "key was " + Texts(alter.m_keyBefore);
    return parts.join("; ");
}

// The table every edit starts from: id, the key, and name.
QStringList Rows2() { return {"id|integer|||||1|1", "name|char|40|||'x'||"}; }

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
        QTest::newRow("key rows in grid order")
            << "T" << QStringList{"a|date", "b|integer|||||1|1", "c|date||||||1"}
            << R"(CREATE TABLE "T" ("a" date, "b" integer not null, "c" date) key b,c)";
        QTest::newRow("key after an unnamed row unread")
            << "T" << QStringList{"a|date", "", "c|date||||||1"} << R"(CREATE TABLE "T" ("a" date))";
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
        // The eight columns, "L" locked and "-" open.
        QTest::addColumn<QString>("locks");
        QTest::newRow("empty first row") << "" << true << "" << "-LLLLLLL";
        QTest::newRow("row below an unnamed row") << "" << false << "" << "LLLLLLLL";
        QTest::newRow("row below a named row") << "" << false << "a" << "-LLLLLLL";
        QTest::newRow("named, no type") << "b" << false << "a" << "--LL--L-";
        QTest::newRow("type the list lacks") << "b|CHAR" << true << "" << "--LL--L-";
        QTest::newRow("no parameters, no nulls") << "b|integer" << true << "" << "--LL--L-";
        QTest::newRow("no parameters, nulls") << "b|date" << true << "" << "--LL----";
        QTest::newRow("length") << "b|char" << true << "" << "---L----";
        QTest::newRow("precision and scale") << "b|numeric" << true << "" << "--------";
        // The name cell follows the row above, never the row itself.
        QTest::newRow("named row below an unnamed one") << "b|numeric" << false << "" << "L-------";
    }
    void alterTable_data()
    {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("outcome");
        const QString before = "was id|integer|||||1; was name|char|40|||'x'|; key was id";
        QTest::newRow("as shown") << "T" << Rows2() << "; id>id|integer|||||1; name>name|char|40|||'x'|; key id; " + before;
        QTest::newRow("renamed, widened, key moved")
            << "U" << QStringList{"id|integer|||||1|", "full_name|char|80|||'y'|1|1"}
            << "U; id>id|integer|||||1; name>full_name|char|80|||'y'|1; key full_name; " + before;
        QTest::newRow("emptied row drops, later rows stay, new rows added")
            << "T" << QStringList{"", "name|char|40", "note|date"}
            << "; name>name|char|40||||; >note|date|||||; key ; " + before;
        QTest::newRow("no table name") << "" << QStringList{"", ""} << QString::number(DbResult::kNoTableName);
        QTest::newRow("every row emptied") << "T" << QStringList{"", ""} << QString::number(DbResult::kNoColumn);
        QTest::newRow("type cleared") << "T" << QStringList{"id|", "name|char|40"}
                                      << QString::number(DbResult::kNoDataType);
        QTest::newRow("size cleared") << "T" << QStringList{"id|integer", "name|char"}
                                      << QString::number(DbResult::kNeedsLength);
    }
    void alterTable()
    {
        QFETCH(QString, newName);
        QFETCH(QStringList, rows);
        QFETCH(QString, outcome);
        QCOMPARE(AlterOutcome(ComposeAlterTable("T", newName.toStdString(), Rows(Rows2()), Rows(rows), kTypes)),
                 outcome);
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

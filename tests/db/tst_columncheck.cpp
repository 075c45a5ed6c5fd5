#include "db/ColumnCheck.h"
#include "db/ResultCodes.h"

#include <QtTest>

// The size checks of a column definition, in the order they are made.
class TestColumnCheck : public QObject
{
    Q_OBJECT

private slots:
    void leadingInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("digits") << "20" << 20;
        QTest::newRow("leading blanks") << "  7" << 7;
        QTest::newRow("sign") << "-3" << -3;
        QTest::newRow("plus") << "+4" << 4;
        QTest::newRow("trailing text ignored") << "12abc" << 12;
        QTest::newRow("no digits") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("sign without digits") << "-" << 0;
        QTest::newRow("too large") << "99999999999999999999" << INT_MAX;
        QTest::newRow("too small") << "-99999999999999999999" << INT_MIN;
    }
    void leadingInteger()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(ColumnCheck::LeadingInteger(text.toStdString()), expected);
    }

    void sizes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("dec");
        QTest::addColumn<int>("expected");
        const int none = CDbTypeInfo::NoSize, length = CDbTypeInfo::Length,
                  scaled = CDbTypeInfo::PrecisionScale;
        QTest::newRow("no parameters, texts ignored") << none << "x" << "" << 0;
        QTest::newRow("length given") << length << "20" << "" << 0;
        QTest::newRow("length with a leading blank") << length << " 20" << "" << 0;
        QTest::newRow("length 0") << length << "0" << "" << int(DbResult::kNeedsLength);
        QTest::newRow("length empty") << length << "" << "" << int(DbResult::kNeedsLength);
        QTest::newRow("length without digits") << length << "ten" << "" << int(DbResult::kNeedsLength);
        QTest::newRow("length ignores dec") << length << "5" << "0" << 0;
        QTest::newRow("precision and scale") << scaled << "10" << "2" << 0;
        QTest::newRow("scale 0 refused") << scaled << "10" << "0" << int(DbResult::kNeedsDecimals);
        QTest::newRow("precision checked first") << scaled << "" << "" << int(DbResult::kNeedsLength);
    }
    void sizes()
    {
        QFETCH(int, kind);
        QFETCH(QString, size);
        QFETCH(QString, dec);
        QFETCH(int, expected);
        CColumnDef column;
        column.m_name = "c";
        column.m_typeName = "t";
        column.m_paramKind = kind;
        column.m_size = size.toStdString();
        column.m_dec = dec.toStdString();
        QCOMPARE(ColumnCheck::CheckSizes(column), expected);
    }
};

QTEST_MAIN(TestColumnCheck)
#include "tst_columncheck.moc"

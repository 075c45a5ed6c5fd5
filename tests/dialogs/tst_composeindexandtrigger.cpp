#include "db/pervasive/PervasiveDialect.h"
#include "dialogs/ComposeIndex.h"
#include "dialogs/ComposeTrigger.h"

#include <QtTest>

Q_DECLARE_METATYPE(TriggerTiming)
Q_DECLARE_METATYPE(TriggerEvent)

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

// The error code, or the statement the Pervasive.SQL dialect writes for the
// change.
QString Outcome(const CComposedChange &composed)
{
    if (composed.m_error < 0)
        return QString::number(composed.m_error);
    const CRendering rendering = CPervasiveDialect().Render(composed.m_change);
    return rendering.m_statements.size() == 1 ? QString::fromStdString(rendering.m_statements.front())
                                              : QStringLiteral("not one statement");
}

} // namespace

// The input checks of the Index and Trigger dialogs, and the index or
// trigger they describe.
class TestComposeIndexAndTrigger : public QObject
{
    Q_OBJECT

private slots:
    void index_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("options"); // U, M, N for the ticked boxes
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("outcome");

        QTest::newRow("unique, second descending") << "ix" << "U" << QStringList{"a|", "b|1", "|", "|"}
                                                   << R"(CREATE UNIQUE INDEX "ix" ON "T" ("a", "b" DESC))";
        QTest::newRow("all three options")
            << "ix" << "UMN" << QStringList{"a|", "b|1"}
            << R"(CREATE UNIQUE MODIFIABLE NOT NULL INDEX "ix" ON "T" ("a", "b" DESC))";
        QTest::newRow("sort toggled twice or odd text is ascending")
            << "ix" << "" << QStringList{"a|0", "b|yes", "c|11"} << R"(CREATE INDEX "ix" ON "T" ("a", "b", "c"))";
        QTest::newRow("rows after the first empty one are ignored")
            << "ix" << "N" << QStringList{"a|1", "|1", "c|", "d|1"} << R"(CREATE NOT NULL INDEX "ix" ON "T" ("a" DESC))";
        QTest::newRow("name exactly as typed")
            << " by a " << "M" << QStringList{"a|"} << R"(CREATE MODIFIABLE INDEX " by a " ON "T" ("a"))";
        QTest::newRow("no name, rows filled") << "" << "U" << QStringList{"a|", "b|1"} << "-30006";
        QTest::newRow("no name, no rows") << "" << "" << QStringList{"|", "|"} << "-30006";
        QTest::newRow("first row empty") << "ix" << "" << QStringList{"|1", "b|"} << "-30009";
        QTest::newRow("no rows at all") << "ix" << "U" << QStringList{} << "-30009";
    }
    void index()
    {
        QFETCH(QString, name);
        QFETCH(QString, options);
        QFETCH(QStringList, rows);
        QFETCH(QString, outcome);
        CIndexInput input;
        input.m_name = name.toStdString();
        input.m_table = "T";
        input.m_unique = options.contains('U');
        input.m_modifiable = options.contains('M');
        input.m_notNull = options.contains('N');
        input.m_rows = Rows(rows);
        QCOMPARE(Outcome(ComposeCreateIndex(input)), outcome);
    }

    void trigger_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TriggerTiming>("timing");
        QTest::addColumn<TriggerEvent>("event");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("outcome");

        const auto before = TriggerTiming::Before;
        const auto after = TriggerTiming::After;
        QTest::newRow("defaults") << "tr" << before << TriggerEvent::Insert << "" << "" << "body"
                                  << R"(CREATE TRIGGER "tr" BEFORE INSERT ON "T" FOR EACH ROW body)";
        QTest::newRow("after delete") << "tr" << after << TriggerEvent::Delete << "" << "" << "body"
                                      << R"(CREATE TRIGGER "tr" AFTER DELETE ON "T" FOR EACH ROW body)";
        QTest::newRow("order and condition, trimmed")
            << "tr" << after << TriggerEvent::Update << " 2 \t" << " new.a > 0\r\n" << "b"
            << R"(CREATE TRIGGER "tr" AFTER UPDATE ON "T" ORDER  2 FOR EACH ROW WHERE  new.a > 0 b)";
        QTest::newRow("blank order and condition are left out")
            << "tr" << before << TriggerEvent::Update << "   " << " \n\t" << "b"
            << R"(CREATE TRIGGER "tr" BEFORE UPDATE ON "T" FOR EACH ROW b)";
        QTest::newRow("body keeps its leading white space only")
            << "tr" << before << TriggerEvent::Insert << "" << "" << "\n  x;\n y;  \n\t\n"
            << "CREATE TRIGGER \"tr\" BEFORE INSERT ON \"T\" FOR EACH ROW \n  x;\n y;";
        QTest::newRow("name keeps its leading blanks only")
            << "  tr \t\n" << before << TriggerEvent::Insert << "" << "" << "b"
            << R"(CREATE TRIGGER "  tr" BEFORE INSERT ON "T" FOR EACH ROW b)";
        QTest::newRow("name of blanks only") << "  \t" << before << TriggerEvent::Insert << "" << "" << "b"
                                             << "-30011";
        QTest::newRow("body of blanks and line breaks")
            << "tr" << before << TriggerEvent::Insert << "" << "" << " \r\n\t \n" << "-30012";
        QTest::newRow("name and body both empty") << "" << before << TriggerEvent::Insert << "" << "" << ""
                                                  << "-30011";
    }
    void trigger()
    {
        QFETCH(QString, name);
        QFETCH(TriggerTiming, timing);
        QFETCH(TriggerEvent, event);
        QFETCH(QString, order);
        QFETCH(QString, condition);
        QFETCH(QString, body);
        QFETCH(QString, outcome);
        const CCreateTrigger typed{name.toStdString(),      "T",
                                   timing,                  event,
                                   order.toStdString(),     condition.toStdString(),
                                   body.toStdString()};
        QCOMPARE(Outcome(ComposeCreateTrigger(typed)), outcome);
    }
};

QTEST_APPLESS_MAIN(TestComposeIndexAndTrigger)
#include "tst_composeindexandtrigger.moc"

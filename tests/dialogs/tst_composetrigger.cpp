#include "db/PervasiveDialect.h"
#include "dialogs/ComposeTrigger.h"

#include <QtTest>

Q_DECLARE_METATYPE(TriggerTiming)
Q_DECLARE_METATYPE(TriggerEvent)

// The Trigger dialog's trimming and input checks, and the trigger they
// describe, shown as the statement the Pervasive.SQL dialect writes for it.
class TestComposeTrigger : public QObject
{
    Q_OBJECT

private slots:
    void composes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TriggerTiming>("timing");
        QTest::addColumn<TriggerEvent>("event");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("statement");

        const auto before = TriggerTiming::Before;
        const auto after = TriggerTiming::After;
        QTest::newRow("defaults") << "tr" << before << TriggerEvent::Insert << "" << "" << "body" << 0
                                  << R"(CREATE TRIGGER "tr" BEFORE INSERT ON "T" FOR EACH ROW body)";
        QTest::newRow("after delete") << "tr" << after << TriggerEvent::Delete << "" << "" << "body" << 0
                                      << R"(CREATE TRIGGER "tr" AFTER DELETE ON "T" FOR EACH ROW body)";
        QTest::newRow("order and condition, trimmed")
            << "tr" << after << TriggerEvent::Update << " 2 \t" << " new.a > 0\r\n" << "b" << 0
            << R"(CREATE TRIGGER "tr" AFTER UPDATE ON "T" ORDER  2 FOR EACH ROW WHERE  new.a > 0 b)";
        QTest::newRow("blank order and condition are left out")
            << "tr" << before << TriggerEvent::Update << "   " << " \n\t" << "b" << 0
            << R"(CREATE TRIGGER "tr" BEFORE UPDATE ON "T" FOR EACH ROW b)";
        QTest::newRow("body keeps its leading white space only")
            << "tr" << before << TriggerEvent::Insert << "" << "" << "\n  x;\n y;  \n\t\n" << 0
            << "CREATE TRIGGER \"tr\" BEFORE INSERT ON \"T\" FOR EACH ROW \n  x;\n y;";
        QTest::newRow("name keeps its leading blanks only")
            << "  tr \t\n" << before << TriggerEvent::Insert << "" << "" << "b" << 0
            << R"(CREATE TRIGGER "  tr" BEFORE INSERT ON "T" FOR EACH ROW b)";
        QTest::newRow("name of blanks only") << "  \t" << before << TriggerEvent::Insert << "" << ""
                                             << "b" << -30011 << "";
        QTest::newRow("body of blanks and line breaks")
            << "tr" << before << TriggerEvent::Insert << "" << "" << " \r\n\t \n" << -30012 << "";
        QTest::newRow("name and body both empty")
            << "" << before << TriggerEvent::Insert << "" << "" << "" << -30011 << "";
    }
    void composes()
    {
        QFETCH(QString, name);
        QFETCH(TriggerTiming, timing);
        QFETCH(TriggerEvent, event);
        QFETCH(QString, order);
        QFETCH(QString, condition);
        QFETCH(QString, body);
        QFETCH(int, error);
        QFETCH(QString, statement);

        const CTriggerInput input{name.toStdString(),      "T",
                                  timing,                  event,
                                  order.toStdString(),     condition.toStdString(),
                                  body.toStdString()};
        const CComposedChange composed = ComposeTrigger(input);
        QCOMPARE(composed.m_error, error);
        if (error < 0)
            return;
        const CRendering rendering = CPervasiveDialect().Render(composed.m_change);
        QCOMPARE(rendering.m_statements.size(), size_t(1));
        QCOMPARE(QString::fromStdString(rendering.m_statements.front()), statement);
    }
};

QTEST_APPLESS_MAIN(TestComposeTrigger)
#include "tst_composetrigger.moc"

#include "db/ResultCodes.h"
#include "document/DiagramFile.h"
#include "res/Resource.h"

#include <QRandomGenerator>
#include <QtTest>

#include <map>
#include <set>

namespace {

// Records what reading does, instead of connecting and loading.
class CRecordingTarget : public CDiagramTarget
{
public:
    int ConnectWith(const std::string &connection) override
    {
        connects.push_back(connection);
        return connectResult;
    }
    bool HasTables() const override { return loaded; }
    int LoadAllTables() override
    {
        ++loads;
        loaded = true;
        return loadResult;
    }
    void SetRecordedPosition(const std::string &table, const QPoint &position) override
    {
        if (known.count(table))
            positions[table] = position;
    }
    void SetViewMode(int newMode) override { mode = newMode; }

    std::vector<std::string> connects;
    std::map<std::string, QPoint> positions;
    std::set<std::string> known{"CUSTOMER", "ORDERS", "Orders"};
    int connectResult = 0;
    int loadResult = 0;
    int loads = 0;
    bool loaded = false;
    int mode = -1;
};

} // namespace

class TestDiagramFile : public QObject
{
    Q_OBJECT

private slots:
    void writesTheDocumentedLines()
    {
        const QByteArray file = WriteDiagram("Sales", Attributes,
                                             {{"CUSTOMER", {20, 20}}, {"ORDERS", {160, -20}}});
        QCOMPARE(file, QByteArray("DSN=Sales\r\nView=Attributes\r\n"
                                  "Table=CUSTOMER\tPosn=20,20\r\nTable=ORDERS\tPosn=160,-20\r\n"));
        QVERIFY(WriteDiagram("", TableDiagram, {}).contains("View=Table Diagram\r\n"));
        QVERIFY(WriteDiagram("", 7, {}).contains("View=Schema\r\n"));
    }

    void readsBackWhatItWrote()
    {
        const QByteArray file = WriteDiagram("Sales", TableDiagram,
                                             {{"CUSTOMER", {20, 20}}, {"ORDERS", {-5, 9999}}});
        CRecordingTarget target;
        QCOMPARE(ReadDiagram(file, target), 0);
        QCOMPARE(target.connects, std::vector<std::string>{"DSN=Sales"});
        QCOMPARE(target.mode, int(TableDiagram));
        QCOMPARE(target.loads, 1);
        QCOMPARE(target.positions["CUSTOMER"], QPoint(20, 20));
        QCOMPARE(target.positions["ORDERS"], QPoint(-5, 9999));
    }

    void lineFeedsAloneReadTheSame()
    {
        CRecordingTarget crlf, lf;
        QCOMPARE(ReadDiagram("DSN=S\r\nView=Attributes\r\nTable=ORDERS\tPosn=1,2\r\n", crlf), 0);
        QCOMPARE(ReadDiagram("DSN=S\nView=Attributes\nTable=ORDERS\tPosn=1,2", lf), 0);
        QCOMPARE(crlf.connects, lf.connects);
        QCOMPARE(crlf.mode, lf.mode);
        QCOMPARE(crlf.positions, lf.positions);
    }

    void viewValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("mode");
        QTest::newRow("attributes") << QByteArray("View=Attributes") << int(Attributes);
        QTest::newRow("key in any case") << QByteArray("view=Attributes") << int(Attributes);
        QTest::newRow("value is exact") << QByteArray("View=attributes") << int(Schema);
        QTest::newRow("blank counts") << QByteArray("View= Attributes") << int(Schema);
        QTest::newRow("table diagram") << QByteArray("VIEW=Table Diagram") << int(TableDiagram);
        QTest::newRow("schema") << QByteArray("View=Schema") << int(Schema);
        QTest::newRow("nothing") << QByteArray("View") << int(Schema);
    }
    void viewValues()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, mode);
        CRecordingTarget target;
        QCOMPARE(ReadDiagram(line, target), 0);
        QCOMPARE(target.mode, mode);
    }

    void dataSourceLinesConnectWithTheWholeLine()
    {
        CRecordingTarget target;
        QCOMPARE(ReadDiagram("DSN = Sales\r\ndsn=Other\r\n", target), 0);
        QCOMPARE(target.connects, (std::vector<std::string>{"DSN = Sales", "dsn=Other"}));
        QCOMPARE(target.loads, 0);
    }

    void unknownAndEmptyLinesAreSkipped()
    {
        CRecordingTarget target;
        QCOMPARE(ReadDiagram("\r\n# comment\r\nDSNX=1\r\nTables=2\r\n\r\n", target), 0);
        QVERIFY(target.connects.empty());
        QCOMPARE(target.loads, 0);
        QCOMPARE(target.mode, -1);
    }

    void aTableLineBeforeAnyDataSourceAsks()
    {
        CRecordingTarget target;
        QCOMPARE(ReadDiagram("Table=ORDERS\tPosn=3,4\r\n", target), 0);
        QCOMPARE(target.connects, std::vector<std::string>{""});
        QCOMPARE(target.positions["ORDERS"], QPoint(3, 4));
        target.connectResult = DbResult::kNoData;
        CRecordingTarget cancelled;
        cancelled.connectResult = DbResult::kNoData;
        QCOMPARE(ReadDiagram("Table=ORDERS\tPosn=3,4\r\nView=Attributes\r\n", cancelled),
                 DbResult::kNoData);
        QCOMPARE(cancelled.loads, 0);
        QCOMPARE(cancelled.mode, -1);
    }

    void tablesLoadOnceAtTheFirstTableLine()
    {
        CRecordingTarget target;
        QCOMPARE(ReadDiagram("DSN=S\r\nTable=MISSING\tPosn=1,1\r\nTable=ORDERS\tPosn=5,6\r\n"
                             "TABLE=CUSTOMER\tPosn=7,8\r\n",
                             target),
                 0);
        QCOMPARE(target.loads, 1);
        QCOMPARE(target.positions.size(), size_t(2));
        QCOMPARE(target.positions["CUSTOMER"], QPoint(7, 8));
        // Table names are exact.
        QVERIFY(!target.positions.count("orders"));
    }

    void aFailedLoadStopsReading()
    {
        CRecordingTarget target;
        target.loadResult = -30000;
        QCOMPARE(ReadDiagram("DSN=S\r\nTable=ORDERS\tPosn=5,6\r\nView=Attributes\r\n", target),
                 -30000);
        QCOMPARE(target.mode, -1);
    }

    void positionsThatCannotBeReadLeaveTheLayout_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("positioned");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("plain") << QByteArray("Table=ORDERS\tPosn=10,20") << true << QPoint(10, 20);
        QTest::newRow("signs and blanks") << QByteArray("Table=ORDERS\tPosn= -10,+20") << true << QPoint(-10, 20);
        QTest::newRow("trailing text") << QByteArray("Table=ORDERS\tPosn=10,20xyz") << true << QPoint(10, 20);
        QTest::newRow("no tab") << QByteArray("Table=ORDERS") << false << QPoint();
        QTest::newRow("one number") << QByteArray("Table=ORDERS\tPosn=10") << false << QPoint();
        QTest::newRow("second number cut") << QByteArray("Table=ORDERS\tPosn=10,") << false << QPoint();
        QTest::newRow("wrong word") << QByteArray("Table=ORDERS\tPos=10,20") << false << QPoint();
        QTest::newRow("overflow") << QByteArray("Table=ORDERS\tPosn=99999999999,1") << false << QPoint();
        QTest::newRow("garbage") << QByteArray("Table=ORDERS\t\x01\x02") << false << QPoint();
    }
    void positionsThatCannotBeReadLeaveTheLayout()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, positioned);
        QFETCH(QPoint, position);
        CRecordingTarget target;
        QCOMPARE(ReadDiagram("DSN=S\r\n" + line + "\r\n", target), 0);
        QCOMPARE(target.loads, 1);
        QCOMPARE(target.positions.count("ORDERS") == 1, positioned);
        if (positioned)
            QCOMPARE(target.positions["ORDERS"], position);
    }

    void theNameStandsAtAFixedPlace()
    {
        CRecordingTarget target;
        target.known.insert("= Orders");
        target.known.insert("");
        QCOMPARE(ReadDiagram("DSN=S\r\ntable = Orders\tPosn=1,2\r\nTable\tPosn=3,4\r\n", target), 0);
        QCOMPARE(target.positions["= Orders"], QPoint(1, 2));
        QVERIFY(!target.positions.count("Orders"));
    }

    // A few thousand random and mutated files: reading never crashes, never
    // reads past the data and never loads twice.
    void survivesRandomAndMutatedFiles()
    {
        QRandomGenerator random(20261207);
        const QByteArray seed = WriteDiagram("Sales", Attributes,
                                             {{"CUSTOMER", {20, 20}}, {"ORDERS", {160, 20}}});
        for (int round = 0; round < 4000; ++round) {
            QByteArray file;
            if (round % 2 == 0) {
                file = seed;
                const int edits = 1 + random.bounded(8);
                for (int e = 0; e < edits && !file.isEmpty(); ++e) {
                    const int at = random.bounded(file.size());
                    switch (random.bounded(3)) {
                    case 0: file[at] = char(random.bounded(256)); break;
                    case 1: file.remove(at, 1 + random.bounded(4)); break;
                    default: file.insert(at, seed.mid(random.bounded(seed.size()), random.bounded(12))); break;
                    }
                }
            } else {
                file.resize(random.bounded(200));
                static const char alphabet[] = "Tt=\t\r\nPosn,-0123456789DSNVIEWview ";
                for (char &c : file)
                    c = alphabet[random.bounded(int(sizeof alphabet) - 1)];
            }
            CRecordingTarget target;
            target.connectResult = random.bounded(4) == 0 ? DbResult::kNoData : 0;
            const int result = ReadDiagram(file, target);
            QVERIFY(result == 0 || result == DbResult::kNoData);
            QVERIFY(target.loads <= 1);
            QVERIFY(target.mode >= -1 && target.mode <= 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestDiagramFile)
#include "tst_diagramfile.moc"

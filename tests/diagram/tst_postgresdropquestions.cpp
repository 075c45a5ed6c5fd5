#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PopupMenuChooser.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/TableRows.h"

#include <QtTest>

using namespace TableRows;

namespace {

// Both engines read the same script.
const char *const kShopSql = R"(
create table customer(id integer primary key, name varchar(20));
insert into customer values (1, 'a'), (2, 'b'), (3, 'c');
create table lines(id integer, customer_id integer references customer(id), sku varchar(10), qty integer);
create unique index lines_by_sku on lines(sku, qty);
)";

} // namespace

// The question before a drop names what goes with it, and a table that
// other tables refer to stays (both engines; the name asks for a server).
class TestDropQuestions : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};
    CDiagramDriver m_diagram;

    void Open(const QString &engine)
    {
        if (engine == "SQLite") {
            m_sandbox.AddSqliteSource("Shop", kShopSql);
            QVERIFY(m_diagram.Open(COdbcSandbox::ConnectionString("Shop")));
        } else {
            QVERIFY2(m_database.Recreate() && m_database.Run(kShopSql), qPrintable(m_database.Error()));
            QVERIFY(m_diagram.Open(m_database.ConnectionString()));
        }
        m_diagram.MarkLog();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_database.IsReady(), qPrintable(m_database.Error()));
    }
    void cleanup() { m_diagram.Close(); }

    void questionNamesWhatGoesAndReferencedTablesStay_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QString>("question");
        for (const char *engine : {"SQLite", "PostgreSQL"}) {
            QTest::addRow("%s: referenced table with rows", engine)
                << engine << "customer" << QStringList()
                << "Are you sure you want to drop the table 'customer'?\nIts 3 rows go with it.";
            QTest::addRow("%s: empty table", engine)
                << engine << "lines" << QStringList()
                << "Are you sure you want to drop the table 'lines'?";
            QTest::addRow("%s: columns with an index and a key", engine)
                << engine << "lines" << QStringList{"customer_id", "qty"}
                << "Are you sure you want to drop: ' customer_id, qty'?\nThis also drops the index "
                   "'lines_by_sku' and the foreign key 'lines_customer_id_fkey'.";
        }
    }
    void questionNamesWhatGoesAndReferencedTablesStay()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QString, question);
        const bool dropped = table != "customer"; // the only table referred to
        Open(engine);
        CTableWnd *window = m_diagram.Table(qPrintable(table));
        for (int i = 0; i < columns.size(); ++i)
            m_diagram.Click(window, RowOf(window, Column, qPrintable(columns[i])),
                            i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        const QStringList before = CatalogNames(m_diagram.Doc(), qPrintable(table));
        CModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        if (columns.isEmpty()) {
            CPopupMenuChooser chooser("&Drop");
            QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, QPoint(60, 10)); // the caption
        } else {
            m_diagram.DropFromMenu(window);
        }

        QCOMPARE(answerer.texts.value(0), question);
        QCOMPARE(answerer.titles.size(), dropped ? 1 : 2);
        if (!dropped) { // the refusal names the referring table
            QVERIFY2(answerer.texts[1].contains("lines"), qPrintable(answerer.texts[1]));
            QCOMPARE(CatalogNames(m_diagram.Doc(), qPrintable(table)), before);
        }
    }
};

QTEST_MAIN(TestDropQuestions)
#include "tst_postgresdropquestions.moc"

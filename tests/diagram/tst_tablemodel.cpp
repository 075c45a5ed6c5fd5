#include "db/ResultCodes.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"

#include <QtTest>

#include <map>

namespace {

} // namespace

class TestTableModel : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = AliasedPervasiveAdapter();
    COdbcSandbox m_sandbox;
    std::unique_ptr<CDoc> m_doc;

    CTableWnd *LoadedTable(const std::string &name)
    {
        auto *table = new CTableWnd(m_doc.get(), name);
        const int result = table->LoadSchema();
        if (result < 0)
            qWarning("%s", m_doc->GetSession().GetErrorText(result).c_str());
        m_doc->AppendTable(table);
        return table;
    }

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Example", ExampleDatabaseSql()
            + "create table EMPTY_ONE(X integer);\n");
        m_doc = std::make_unique<CDoc>(m_adapters);
        QCOMPARE(m_doc->GetSession().Connect("DSN=Example"), 0);
    }
    void cleanupTestCase()
    {
        m_doc.reset();
    }

    void loadsColumnsIndexesAndTriggersInOrder()
    {
        CTableWnd *table = LoadedTable("CUSTOMER");
        // The indexes stand in the order the driver's statistics give them.
        QStringList names{"ID", "NAME", "AMOUNT", "PK", "ID", "BY_NAME", "NAME", "CHECK_AMOUNT"};
        QList<int> kinds{Column, Column, Column, UniqueIndex, IndexSegment, Index, IndexSegment, Trigger};
        if (table->GetItem(3) && table->GetItem(3)->m_name == "BY_NAME") {
            names = QStringList{"ID", "NAME", "AMOUNT", "BY_NAME", "NAME", "PK", "ID", "CHECK_AMOUNT"};
            kinds = QList<int>{Column, Column, Column, Index, IndexSegment, UniqueIndex, IndexSegment, Trigger};
        }
        QCOMPARE(table->ItemCount(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(QString::fromStdString(table->GetItem(i)->m_name), names[i]);
            QCOMPARE(table->GetItem(i)->m_kind, kinds[i]);
            QVERIFY(!table->GetItem(i)->m_selected);
        }
        QCOMPARE(table->GetItem(0)->m_description, std::string("integer"));
        QCOMPARE(table->GetItem(1)->m_description, std::string("char(30) N"));
        QVERIFY(QString::fromStdString(table->GetItem(2)->m_description).startsWith("decimal(10"));
        QVERIFY(QString::fromStdString(table->GetItem(2)->m_description).endsWith(") N"));
        for (int i = 3; i < names.size(); ++i)
            QVERIFY(table->GetItem(i)->m_description.empty());
        QVERIFY(!table->GetItem(-1));
        QVERIFY(!table->GetItem(names.size()));
    }

    void reloadingRebuildsRowsAndClearsSelection()
    {
        CTableWnd *table = LoadedTable("CUSTOMER");
        table->SelectRange(0, 2);
        table->m_focus = 5;
        QCOMPARE(table->FirstSelected(), 0);
        QCOMPARE(table->LoadSchema(), 0);
        QCOMPARE(table->ItemCount(), 8);
        QCOMPARE(table->FirstSelected(), -1);
        QCOMPARE(table->m_focus, 5);
    }

    void selectionOperations()
    {
        CTableWnd *table = LoadedTable("CUSTOMER");
        table->SelectRange(6, 2);
        for (int i = 0; i < table->ItemCount(); ++i)
            QCOMPARE(table->GetItem(i)->m_selected, i >= 2 && i <= 6);
        QCOMPARE(table->FirstSelected(), 2);
        table->ClearSelection();
        QCOMPARE(table->FirstSelected(), -1);
    }

    void rowGeometry()
    {
        CTableWnd *table = LoadedTable("CUSTOMER");
        table->FitToContents();
        // An index header's rectangle spans its segment rows.
        QCOMPARE(table->GetRowRect(3).top(), 45);
        QCOMPARE(table->GetRowRect(3).bottom() + 1, 75);
        QCOMPARE(table->GetRowRect(3).left(), 18);
        QCOMPARE(table->GetRowRect(0).bottom() + 1, 15);
        // A segment row is hit as its header.
        QCOMPARE(table->HitRow(4 * 15 + 3), 3);
        QCOMPARE(table->HitRow(6 * 15), 5);
        QCOMPARE(table->HitRow(0), 0);
        QCOMPARE(table->HitRow(-14), 0);
        QCOMPARE(table->HitRow(-15), -1);
        QCOMPARE(table->HitRow(40 * 15), 40);
    }

    void fitsToTheViewMode()
    {
        CTableWnd *table = LoadedTable("CUSTOMER");
        const int f = Platform::kSizingFrameHeight;
        const int k = Platform::kCaptionHeight;
        m_doc->m_viewMode = Schema;
        table->FitToContents();
        QCOMPARE(table->size(), QSize(120, 3 * f + k + 2 + 15 * 8));
        m_doc->m_viewMode = TableDiagram;
        table->FitToContents();
        QCOMPARE(table->size(), QSize(120, f + k + 2));
        m_doc->m_viewMode = Attributes;
        table->FitToContents();
        QCOMPARE(table->size(), QSize(200, 3 * f + k + 2 + 15 * 8));
        m_doc->m_viewMode = Schema;
        // The client area holds every row.
        table->FitToContents();
        QVERIFY(table->ClientRect().height() >= 15 * 8);
    }

    void anchorsAtTheIndexHeaderRow()
    {
        CTableWnd *table = LoadedTable("CUSTOMER");
        table->move(100, 200);
        const QPoint client = QPoint(100, 200) + table->ClientRect().topLeft();
        const int byName = table->GetItem(3)->m_name == "BY_NAME" ? 3 : 5;
        QCOMPARE(table->GetIndexAnchor("BY_NAME"), client + QPoint(0, byName * 15));
        QCOMPARE(table->GetIndexAnchor("PK"), client + QPoint(0, (8 - byName) * 15));
        // A column name is not an index: the anchor falls at the end of the rows.
        QCOMPARE(table->GetIndexAnchor("AMOUNT"), client + QPoint(0, 8 * 15));
        QCOMPARE(table->GetIndexAnchor("NO_SUCH"), client + QPoint(0, 8 * 15));
        m_doc->m_viewMode = TableDiagram;
        QCOMPARE(table->GetIndexAnchor("PK"), client + QPoint(0, -15));
        QCOMPARE(table->GetIndexAnchor("NO_SUCH"), client + QPoint(0, -15));
        m_doc->m_viewMode = Schema;
    }

    // The table name of the column catalog is a search pattern; "_" in it
    // must not match any character.
    void aTableNameWithPatternCharactersGetsOnlyItsOwnColumns()
    {
        QVERIFY(m_sandbox.RunSql("Example", "create table A_B(OWN integer);\n"
                                            "create table AXB(OTHER integer);\n"
                                            "create table \"C%D\"(MINE integer);\n"
                                            "create table CXYD(THEIRS integer);\n"));
        CTableWnd *underscore = LoadedTable("A_B");
        QCOMPARE(underscore->ItemCount(), 1);
        QCOMPARE(underscore->GetItem(0)->m_name, std::string("OWN"));
        CTableWnd *percent = LoadedTable("C%D");
        QCOMPARE(percent->ItemCount(), 1);
        QCOMPARE(percent->GetItem(0)->m_name, std::string("MINE"));
    }

    // The trigger query exactly as the engine's dictionary needs it.
    void theTriggerQueryIsSentAsWritten()
    {
        LoadedTable("CUSTOMER");
        QCOMPARE(m_doc->GetSession().GetStatementLog().back().m_statement,
                 std::string("select \"Xt$Name\" from \"X$Trigger\",\"X$File\" where "
                             "\"Xt$File\"=\"Xf$Id\" and \"Xf$Name\" = 'CUSTOMER'"));
    }

    void aTableWithoutIndexesOrTriggersHasOnlyColumns()
    {
        CTableWnd *table = LoadedTable("EMPTY_ONE");
        QCOMPARE(table->ItemCount(), 1);
        QCOMPARE(table->GetItem(0)->m_description, std::string("integer N"));
    }

    void anApostropheInATableNameLoads()
    {
        QVERIFY(m_sandbox.RunSql("Example", "create table \"O'Brien\"(A integer);\n"
                                            "insert into \"X$File\" values (7, 'O''Brien');\n"
                                            "insert into \"X$Trigger\" values ('\"only_start', 7);\n"));
        CTableWnd *table = LoadedTable("O'Brien");
        QCOMPARE(table->ItemCount(), 2);
        // A name quoted only at its start keeps its quote.
        QCOMPARE(table->GetItem(1)->m_name, std::string("\"only_start"));
        QCOMPARE(table->GetItem(1)->m_kind, int(Trigger));
    }
};

QTEST_MAIN(TestTableModel)
#include "tst_tablemodel.moc"

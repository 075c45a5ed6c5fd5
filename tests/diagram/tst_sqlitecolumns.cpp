#include "db/DbmsAdapter.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "tests/support/OdbcSandbox.h"

#include <QtTest>

// Column rows of a SQLite table read as the table declared them.
class TestSqliteColumns : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Kinds",
            "create table kinds(id integer primary key, name text not null, code varchar(40),"
            " price numeric(10,2), photo blob, weight real, born date, loose);\n"
            "create unique index kinds_code on kinds(code, name);\n");
    }

    void columnsShowTheirDeclaredTypes()
    {
        CDoc doc(m_adapters);
        QCOMPARE(doc.GetSession().Connect("DSN=Kinds"), 0);
        CTableWnd table(&doc, "kinds");
        QCOMPARE(table.LoadSchema(), 0);
        QStringList descriptions;
        for (int i = 0; i < 8; ++i)
            descriptions << QString::fromStdString(table.GetItem(i)->m_description);
        // The driver calls even the rowid key nullable.
        QCOMPARE(descriptions, (QStringList{"integer N", "text", "varchar(40) N", "numeric(10,2) N",
                                            "blob N", "real N", "date N", " N"}));
        // The unique index has both its segments, the first one included.
        int header = 8;
        while (table.GetItem(header) && table.GetItem(header)->m_name != "kinds_code")
            ++header;
        QVERIFY(table.GetItem(header + 2));
        QCOMPARE(table.GetItem(header)->m_kind, int(UniqueIndex));
        QCOMPARE(table.GetItem(header + 1)->m_name, std::string("code"));
        QCOMPARE(table.GetItem(header + 1)->m_kind, int(IndexSegment));
        QCOMPARE(table.GetItem(header + 2)->m_name, std::string("name"));
    }
};

QTEST_MAIN(TestSqliteColumns)
#include "tst_sqlitecolumns.moc"

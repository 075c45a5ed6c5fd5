#include "tests/support/SessionRows.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/sqlite/SqliteTableRebuild.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SqliteRows.h"

#include <QFile>
#include <QtTest>

// The sample database a new user meets: every relationship can be
// dropped, a dropped one added again, and every column dropped, or the
// rebuild says in plain words what needs the column; either way no row
// changes and the schema stays whole.
namespace {

using SqliteRows::Dump;

QStringList Lines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split('\n'))
        if (!line.isEmpty())
            lines << line.mid(1, line.size() - 2); // without the listing's quotes
    return lines;
}

} // namespace

class TestSqliteRebuildSample : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    QString m_master;
    QString m_copy;

    // A fresh copy of the sample under the data source "Copy".
    void FreshCopy(CDbSession &session)
    {
        QFile::remove(m_copy);
        QVERIFY(QFile::copy(m_master, m_copy));
        QCOMPARE(session.Connect("DSN=Copy"), 0);
    }

    static QStringList RelationshipNames(CDbSession &session)
    {
        QStringList names;
        const CSessionKeys keys(session);
        if (keys.FirstRead() < 0)
            return {QStringLiteral("failed")};
        for (int i = 0; const CDbRelationship *relationship = keys.GetRelationship(i); ++i)
            names << QString::fromStdString(relationship->m_foreignTable + "." + relationship->m_name);
        names.sort(); // a rebuilt table's keys come last
        return names;
    }

private slots:
    void initTestCase()
    {
        QFile script(QStringLiteral(VELLUMIX_SOURCE_DIR "/samples/sample.sql"));
        QVERIFY(script.open(QIODevice::ReadOnly));
        m_master = m_sandbox.AddSqliteSource("Sample", QString::fromUtf8(script.readAll()));
        m_copy = m_sandbox.AddSqliteSource("Copy", QString());
    }

    void everyRelationshipCanBeDropped()
    {
        CDbSession sample(m_adapters);
        QCOMPARE(sample.Connect("DSN=Sample"), 0);
        const QStringList all = RelationshipNames(sample);
        QVERIFY(all.size() >= 15);
        const QStringList rows = Dump(m_master);
        const CSessionKeys keys(sample);
        for (int i = 0; const CDbRelationship *relationship = keys.GetRelationship(i); ++i) {
            CDbSession session(m_adapters);
            FreshCopy(session);
            QCOMPARE(RebuildSqliteTable(session, relationship->m_foreignTable,
                                        CSqliteTableEdit::DropConstraint(relationship->m_name)),
                     0);
            QStringList left = all;
            left.removeOne(QString::fromStdString(relationship->m_foreignTable + "." + relationship->m_name));
            QCOMPARE(RelationshipNames(session), left);
            QCOMPARE(Dump(m_copy), rows);
        }
    }

    void theProductKeyOfOrderLinesCanBeDroppedAndAddedAgain()
    {
        CDbSession session(m_adapters);
        FreshCopy(session);
        const QStringList rows = Dump(m_copy);
        QCOMPARE(RebuildSqliteTable(session, "order_line",
                                    CSqliteTableEdit::DropConstraint("order_line_product_id_fkey")),
                 0);
        QCOMPARE(RebuildSqliteTable(session, "order_line",
                                    CSqliteTableEdit::AddConstraint("FOREIGN KEY (\"product_id\") "
                                                                    "REFERENCES \"product\" (\"product_id\")")),
                 0);
        QVERIFY(RelationshipNames(session).contains("order_line.order_line_product_id_fkey"));
        QCOMPARE(Dump(m_copy), rows);
    }

    void everyColumnCanBeDroppedOrSaysWhatNeedsIt()
    {
        QStringList refused;
        for (const QString &table : Lines(QuerySqlite(m_master, "select name from sqlite_master where type "
                                                          "= 'table' order by name;"))) {
            const QStringList columns =
                Lines(QuerySqlite(m_master, "select name from pragma_table_info('" + table + "');"));
            for (const QString &column : columns) {
                const QString what = table + "." + column;
                CDbSession session(m_adapters);
                FreshCopy(session);
                const QString before = QuerySqlite(m_copy, ".dump");
                const int result = RebuildSqliteTable(session, table.toStdString(),
                                                      CSqliteTableEdit::DropColumns({column.toStdString()}));
                if (result < 0) {
                    const QString message = QString::fromStdString(session.GetErrorText(result));
                    QVERIFY2(message.startsWith("The ") && message.endsWith("nothing was changed."),
                             qPrintable(what + ": " + message));
                    QCOMPARE(QuerySqlite(m_copy, ".dump"), before);
                    refused << what;
                    continue;
                }
                const QString count = "select count(*) from \"" + table + "\";";
                QCOMPARE(QuerySqlite(m_copy, count), QuerySqlite(m_master, count));
                // In brackets: a double-quoted name that is no column reads as a string.
                QVERIFY2(QuerySqlite(m_copy, "select [" + column + "] from [" + table + "];")
                             .contains("no such column"),
                         qPrintable(what));
                QCOMPARE(QuerySqlite(m_copy, "pragma foreign_key_check;"), QString());
            }
        }
        // Refused: the parent keys that other tables' foreign keys refer to,
        // and the columns that triggers read.
        QCOMPARE(refused, QStringList({"address.address_id", "category.category_id",
                                       "customer.customer_id", "employee.employee_id",
                                       "order_line.order_id", "order_line.line_no",
                                       "order_line.product_id", "order_line.quantity",
                                       "order_line.unit_price", "payment.order_id", "payment.amount",
                                       "product.product_id", "product.unit_price", "region.country",
                                       "region.region_code", "sales_order.order_id", "sales_order.status",
                                       "shipment.shipment_id", "shipment.order_id", "stock.warehouse_id",
                                       "stock.product_id",
                                       "stock.on_hand", "supplier.supplier_id",
                                       "warehouse.warehouse_id"}));
    }
};

QTEST_GUILESS_MAIN(TestSqliteRebuildSample)
#include "tst_sqliterebuildsample.moc"

#include "app/SqlLogModel.h"
#include "app/SqlLogWindow.h"
#include "db/DbmsAdapter.h"
#include "db/Dialect.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/ColumnDefs.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QTreeView>
#include <QtTest>

namespace {

const char *const kShopSql =
    "create table ORDERS(ID integer not null, NOTE varchar(40));\n"
    "create trigger CHECK_QTY after insert on ORDERS begin select 1; end;\n"
    "create trigger LOG_QTY after update on ORDERS begin select 1; end;\n";

} // namespace

// The SQL Log window over a real document: the statements a drop sends,
// exactly as sent, with what came of each.
class TestSqlLog : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;
    std::unique_ptr<CSqlLogWindow> m_log;

    QString Cell(int row, int column) const
    {
        CSqlLogModel *model = m_log->Model();
        return model->index(row, column).data().toString();
    }
    int LastRow() const { return m_log->Model()->rowCount() - 1; }

    // Drops the named trigger of ORDERS the way the Drop command does for a
    // selected trigger row.
    void DropTrigger(const char *name)
    {
        CTableWnd *orders = m_doc->FindTable("ORDERS");
        orders->ClearSelection();
        orders->GetItem(TableRows::RowOf(orders, Trigger, name))->m_selected = true;
        orders->OnCommand(Cmd::DropTriggers);
    }

private slots:

    void init()
    {
        m_sandbox.AddSqliteSource("Shop", kShopSql);
        m_doc = std::make_unique<CDoc>(m_adapters);
        QCOMPARE(m_doc->GetSession().Connect(COdbcSandbox::ConnectionString("Shop")), 0);
        QCOMPARE(m_doc->LoadAllTables(), 0);
        m_view = std::make_unique<CDbView>(m_doc.get());
        m_view->OnInitialUpdate();
        m_log = std::make_unique<CSqlLogWindow>();
        m_log->resize(760, 220);
        m_log->SetDocument(m_doc.get());
        m_log->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_log.get()));
    }
    void cleanup()
    {
        m_log.reset();
        m_view.reset();
        m_doc.reset();
    }

    void showsWhatWasSentBeforeTheWindowWasAttached()
    {
        CSqlLogModel *model = m_log->Model();
        QCOMPARE(model->rowCount(), int(m_doc->GetSession().GetStatementLog().size()));
        QVERIFY(model->rowCount() > 0);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("Time"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("Statement"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QString("Outcome"));
        // The lock wait set on connecting, then the dictionary reads at
        // loading: how many rows each gave.
        QVERIFY2(Cell(0, 1).startsWith("pragma busy_timeout = "), qPrintable(Cell(0, 1)));
        QCOMPARE(Cell(LastRow(), 2), QString("2 rows"));
        QCOMPARE(Cell(1, 2), QString("0 rows"));
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(Cell(LastRow(), 0)).hasMatch());
    }

    void showsADropAndARefusedDrop()
    {
        QAbstractItemModelTester tester(m_log->Model());
        // The dialect writes its keywords in either case.
        DropTrigger("CHECK_QTY");
        QCOMPARE(Cell(LastRow(), 1).toLower(), QString("drop trigger \"check_qty\""));
        QCOMPARE(Cell(LastRow(), 2), QString("ok"));

        // Another user dropped the trigger meanwhile: the engine refuses.
        QVERIFY(m_sandbox.RunSql("Shop", "drop trigger LOG_QTY;"));
        CModalAnswerer answerer(QMessageBox::Ok);
        DropTrigger("LOG_QTY");
        QCOMPARE(answerer.Count(), 1);
        QCOMPARE(Cell(LastRow(), 1).toLower(), QString("drop trigger \"log_qty\""));
        QVERIFY2(Cell(LastRow(), 2).contains("no such trigger: LOG_QTY"),
                 qPrintable(Cell(LastRow(), 2)));
        QCOMPARE(m_log->Model()->index(LastRow(), 2).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(Qt::darkRed));

        // Both entries copied: one line each, the three texts tab-separated.
        QTreeView *view = m_log->View();
        view->setFocus();
        view->selectionModel()->select(m_log->Model()->index(LastRow() - 1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view->selectionModel()->select(m_log->Model()->index(LastRow(), 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QApplication::clipboard()->clear();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], Cell(LastRow() - 1, 0) + "\t" + Cell(LastRow() - 1, 1) + "\tok");
        QCOMPARE(lines[1], Cell(LastRow(), 0) + "\t" + Cell(LastRow(), 1) + "\t" + Cell(LastRow(), 2));

        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR", QDir::tempPath());
        QVERIFY(m_log->grab().save(folder + "/sql-log.png"));
    }

    // A change of several statements is one transaction; after a refused
    // statement the log shows the rollback, so the ones before it did not stay.
    void showsHowAChangeOfSeveralStatementsEnded()
    {
        const auto addColumns = [this](const char *second) {
            using ColumnDefs::Column;
            return ApplySchemaChange(m_doc->GetSession(),
                                     CAddColumns{"ORDERS", {Column("EXTRA", "integer"), Column(second, "text")}});
        };
        const auto entry = [this](int row) { return Cell(row, 1) + " " + Cell(row, 2); };
        QVERIFY(addColumns("NOTE") < 0);
        const int refused = LastRow();
        QCOMPARE(entry(refused - 3), QString("BEGIN ok"));
        QVERIFY2(Cell(refused - 1, 2).contains("duplicate column name: NOTE"), qPrintable(Cell(refused - 1, 2)));
        QCOMPARE(entry(refused), QString("ROLLBACK ok"));
        QCOMPARE(addColumns("MORE"), 0);
        QCOMPARE(entry(refused + 1), QString("BEGIN ok"));
        QCOMPARE(entry(LastRow()), QString("COMMIT ok"));
    }

    // A full log forgets its oldest entry as it takes a new one; the window
    // follows row by row.
    void followsAFullLog()
    {
        QAbstractItemModelTester tester(m_log->Model());
        CDbSession &session = m_doc->GetSession();
        for (size_t i = 0; i < CDbStatementLog::kCapacity + 5; ++i) {
            session.Execute("select " + std::to_string(i));
            session.CloseStatement();
        }
        QCOMPARE(m_log->Model()->rowCount(), int(CDbStatementLog::kCapacity));
        QCOMPARE(Cell(0, 1), QString("select 5"));
        QCOMPARE(Cell(LastRow(), 1), QString("select 1004"));
        QCOMPARE(Cell(LastRow(), 2), QString("rows")); // never read
    }

    void forgetsADocumentThatIsGone()
    {
        m_view.reset();
        m_doc.reset();
        QCOMPARE(m_log->Model()->rowCount(), 0);
    }
};

QTEST_MAIN(TestSqlLog)
#include "tst_sqllog.moc"

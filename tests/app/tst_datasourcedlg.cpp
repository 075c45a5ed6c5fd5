#include "app/DataSourceDlg.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
QPoint RowCenter(QTreeWidget *list, int row)
{
    return list->visualItemRect(list->topLevelItem(row)).center();
}
} // namespace

class TestDataSourceDlg : public QObject
{
    Q_OBJECT

    // No engine: a connect gets as far as choosing the adapter.
    CAdapterList m_adapters;
    COdbcSandbox m_sandbox;
    std::vector<CDataSourceInfo> m_sources;

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Alpha", "create table A(X integer);");
        m_sandbox.AddSqliteSource("Beta", "create table B(Y integer);");
        CDbSession session(m_adapters);
        m_sources = session.ListDataSources();
        QCOMPARE(int(m_sources.size()), 2);
    }

    void listsSourcesWithDescriptionsAndPicksTheFirst()
    {
        CDataSourceDlg dialog(m_sources);
        QCOMPARE(dialog.windowTitle(), QString("Select Data Source"));
        QTreeWidget *list = dialog.SourceList();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), QString("Alpha"));
        QCOMPARE(list->topLevelItem(0)->text(1), QString("User"));
        // The driver manager describes a source by its driver.
        QCOMPARE(list->topLevelItem(0)->text(2), QString("SQLite3"));
        QCOMPARE(list->topLevelItem(1)->text(0), QString("Beta"));
        QCOMPARE(dialog.ConnectionString(), QString("DSN=Alpha"));
        QVERIFY(dialog.Buttons()->button(QDialogButtonBox::Ok)->isEnabled());
    }

    void clickingAndDoubleClickingARow()
    {
        CDataSourceDlg dialog(m_sources);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTreeWidget *list = dialog.SourceList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 1));
        QCOMPARE(dialog.ConnectionString(), QString("DSN=Beta"));
        QVERIFY(dialog.isVisible());
        // A double click: the first press and release, then the second
        // press that the platform reports as a double click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 0));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 0));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ConnectionString(), QString("DSN=Alpha"));
    }

    void typedConnectionStringAndEmptyInput()
    {
        CDataSourceDlg dialog(m_sources);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLineEdit *edit = dialog.ConnectionEdit();
        QPushButton *ok = dialog.Buttons()->button(QDialogButtonBox::Ok);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(edit, "  ");
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(edit, "DSN=Beta;Timeout=5");
        QVERIFY(ok->isEnabled());
        QCOMPARE(dialog.ConnectionString(), QString("DSN=Beta;Timeout=5"));
    }

    // Asked again for a diagram file's connection string, the dialog shows
    // that string as it is, selects no source and says why it asks.
    void prefilledWithTheFilesStringAndTheReason()
    {
        CDataSourceDlg dialog(m_sources);
        QVERIFY(!dialog.ReasonLabel()->isVisibleTo(&dialog));
        dialog.Prefill("DSN=Beta;UID=bob", "[Fake] A password is needed");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.ConnectionString(), QString("DSN=Beta;UID=bob"));
        QVERIFY(dialog.SourceList()->selectedItems().isEmpty());
        QVERIFY(dialog.ReasonLabel()->isVisible());
        QCOMPARE(dialog.ReasonLabel()->text(), QString("[Fake] A password is needed"));
        QVERIFY(dialog.Buttons()->button(QDialogButtonBox::Ok)->isEnabled());
        QTest::keyClicks(dialog.ConnectionEdit(), ";PWD=x");
        QCOMPARE(dialog.ConnectionString(), QString("DSN=Beta;UID=bob;PWD=x"));
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR", QDir::tempPath());
        QVERIFY(dialog.grab().save(folder + "/datasource-prefilled.png"));
    }

    void withoutSourcesAConnectionStringCanBeTyped()
    {
        CDataSourceDlg dialog({});
        QCOMPARE(dialog.SourceList()->topLevelItemCount(), 0);
        QVERIFY(!dialog.ConnectionEdit()->placeholderText().isEmpty());
        QVERIFY(!dialog.Buttons()->button(QDialogButtonBox::Ok)->isEnabled());
        QVERIFY(!dialog.SelectSource("Alpha"));
    }

    void promptConnectsToTheChosenSourceOrReportsCancel()
    {
        const ConnectPrompt prompt = [](CDbSession &session, std::string &chosen,
                                        const std::string &reason) {
            return CDataSourceDlg::Prompt(session, chosen, reason, nullptr);
        };
        auto driver = CModalAnswerer::Dialogs();
        driver.Queue([](QWidget *widget) {
            auto *dialog = qobject_cast<CDataSourceDlg *>(widget);
            QVERIFY(dialog);
            QVERIFY(dialog->SelectSource("Beta"));
            QTest::mouseClick(dialog->Buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        driver.Queue([](QWidget *widget) {
            auto *dialog = qobject_cast<CDataSourceDlg *>(widget);
            QVERIFY(dialog);
            QTest::mouseClick(dialog->Buttons()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        });

        // The driver rejects the DBMS (the session knows no adapter), but
        // only after connecting to the chosen source.
        CDbSession chosen(m_adapters, prompt);
        QCOMPARE(chosen.Connect(), DbResult::kUnsupportedDbms);
        QCOMPARE(QString::fromStdString(chosen.GetConnectionString()).section(';', 0, 0),
                 QString("DSN=Beta"));

        CDbSession cancelled(m_adapters, prompt);
        const int result = cancelled.Connect();
        QCOMPARE(result, DbResult::kNoData);
        QCOMPARE(cancelled.GetErrorText(result), std::string("No data found or at end of data"));
        QCOMPARE(driver.Handled(), 2);
        QCOMPARE(driver.Unexpected(), 0);
    }
};

QTEST_MAIN(TestDataSourceDlg)
#include "tst_datasourcedlg.moc"

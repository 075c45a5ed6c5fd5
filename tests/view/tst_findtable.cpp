#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SchemaApp.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"
#include "view/FindBox.h"

#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

// The find box over the sample diagram, opened by the application's own
// Ctrl+F in a document window too small for the whole diagram.
class TestFindTable : public QObject
{
    Q_OBJECT

    CSchemaApp *m_app = static_cast<CSchemaApp *>(qApp);
    COdbcSandbox m_sandbox;

private slots:
    void initTestCase() { CSampleDiagram::AddSource(m_sandbox); }
    void cleanup()
    {
        if (m_app->MainFrame())
            m_app->ExitInstance();
    }

    // Names first, then tables by a column, from the sample database.
    // Enter, or a click on the first entry when no keys are given, brings
    // the table into sight, activates and flashes it; Escape leaves all as
    // it was. Nothing moves a window or marks the diagram changed.
    void findAndChoose_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("active");
        QTest::newRow("names, then columns, any case")
            << "SHIP" << QStringList{"shipment", "shipment_line", "sales_order (column ship_address_id)"}
            << "Return" << "shipment";
        QTest::newRow("column alone, click") << "customer_id" << QStringList{
            "address (column customer_id)", "customer (column customer_id)",
            "sales_order (column customer_id)"} << "" << "address";
        QTest::newRow("table.column") << "order_line.product"
            << QStringList{"order_line (column product_id)"} << "Return" << "order_line";
        QTest::newRow("out of sight") << "stock" << QStringList{"stock"} << "Return" << "stock";
        QTest::newRow("Down then Enter") << "region" << QStringList{"region",
            "address (column region_code)", "warehouse (column region_code)"} << "Down,Return" << "address";
        QTest::newRow("nothing") << "stock.country" << QStringList{"No table or column matches"}
                                 << "Return,Escape" << "";
    }
    void findAndChoose()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, listed);
        QFETCH(QString, keys);
        QFETCH(QString, active);
        QVERIFY(m_app->InitInstance(QStringList()));
        CChildFrame *child = m_app->OpenDocumentFile(CSampleDiagram::DiagramPath());
        QVERIFY(child);
        child->showNormal();
        child->resize(500, 400);
        CDbView *view = child->View();
        m_app->MainFrame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_app->MainFrame()));
        QTest::keyClick(m_app->MainFrame(), Qt::Key_F, Qt::ControlModifier);
        auto *box = view->viewport()->findChild<CFindBox *>();
        QVERIFY(box);
        QCOMPARE(QApplication::focusWidget(), box->Edit());
        QTest::keyClicks(box->Edit(), typed);
        QStringList texts;
        for (int i = 0; i < box->List()->count(); ++i)
            texts << box->List()->item(i)->text();
        QCOMPARE(texts, listed);

        CDoc &doc = *view->GetDocument();
        const auto places = [&doc] {
            QList<QPoint> at;
            for (int i = 0; i < doc.TableCount(); ++i)
                at << doc.GetTable(i)->pos();
            return at;
        };
        const QList<QPoint> before = places();
        const QPoint scroll = view->ScrollPosition();
        CTableWnd *table =
            active.isEmpty() ? view->m_pActiveTable : doc.FindTable(active.toStdString());
        if (keys.isEmpty())
            QTest::mouseClick(box->List()->viewport(), Qt::LeftButton, {},
                              box->List()->visualItemRect(box->List()->item(0)).center());
        for (const QString &key : keys.split(',', Qt::SkipEmptyParts))
            QTest::keySequence(box->Edit(), QKeySequence(key));

        QTRY_VERIFY(!view->viewport()->findChild<CFindBox *>());
        QVERIFY(view->hasFocus());
        QCOMPARE(places(), before);
        QVERIFY(!doc.IsModified());
        QCOMPARE(view->m_pActiveTable, table);
        if (active.isEmpty()) {
            QCOMPARE(view->ScrollPosition(), scroll);
            return;
        }
        QVERIFY(QRect(view->ScrollPosition(), view->viewport()->size()).contains(table->pos()));
        QVERIFY(table->findChild<QWidget *>("findFlash"));
        QTRY_VERIFY(!table->findChild<QWidget *>("findFlash"));
    }
};

// The application object under test is this program's QApplication.
int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    CSchemaApp app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestFindTable test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_findtable.moc"

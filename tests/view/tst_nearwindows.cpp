#include "bench/SchemaGenerator.h"
#include "db/DbmsAdapter.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/OdbcSandbox.h"
#include "view/DbView.h"
#include "view/FindBox.h"

#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

// A diagram far larger than its view: only the table windows near the
// visible area are shown, the canvas draws the others, and whatever brings
// a table into sight or points at it makes it a window that takes clicks.
class TestNearWindows : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CAdapterList m_adapters = MakeDbmsAdapters();
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;

    QImage OnScreen() const
    {
        QApplication::processEvents();
        const QPoint at = m_view->viewport()->mapTo(m_view.get(), QPoint(0, 0));
        return m_view->screen()->grabWindow(m_view->winId()).copy(QRect(at, m_view->viewport()->size())).toImage();
    }
    CTableWnd *Last() const { return m_doc->GetTable(m_doc->TableCount() - 1); }

private slots:
    void initTestCase()
    {
        const std::string script = CSchemaGenerator(600, CSchemaGenerator::Engine::Sqlite, 10).Script();
        QVERIFY(!m_sandbox.AddSqliteSource("Many", QString::fromStdString(script)).isEmpty());
    }
    void init()
    {
        m_doc = std::make_unique<CDoc>(m_adapters);
        QVERIFY(m_doc->GetSession().Connect(COdbcSandbox::ConnectionString("Many")) >= 0);
        QCOMPARE(m_doc->LoadAllTables(), 0);
        m_view = std::make_unique<CDbView>(m_doc.get());
        m_view->resize(800, 600);
        m_view->OnInitialUpdate();
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup() { m_view.reset(), m_doc.reset(); }

    // Far windows are hidden, near ones shown (none but the active one
    // when too many are near), and the screen is the same as with every
    // window shown.
    // Far out the canvas paints from pictures it keeps: a table moved after
    // they were made, drawn by the canvas or a window, shows at once.
    void farWindowsHiddenScreenUnchanged_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("windowsNear");
        QTest::addColumn<int>("moved");
        QTest::newRow("100 %") << 1.0 << true << -1;
        QTest::newRow("25 %") << 0.25 << true << -1;
        QTest::newRow("fitted") << 0.0 << false << -1;
        QTest::newRow("fitted, a drawn table moved") << 0.0 << false << 599;
        QTest::newRow("fitted, the active window moved") << 0.0 << false << 0;
    }
    void farWindowsHiddenScreenUnchanged()
    {
        QFETCH(double, zoom);
        QFETCH(bool, windowsNear);
        QFETCH(int, moved);
        m_doc->GetTable(0)->ActivateFrame();
        zoom > 0 ? m_view->SetZoom(zoom) : m_view->ZoomToFit();
        if (moved >= 0) {
            OnScreen();
            CTableWnd *table = m_doc->GetTable(moved);
            table->MoveTo(table->DiagramRect().topLeft() + QPoint(6000, -3000));
        }
        const QRect visible(m_view->ScrollPosition(), m_view->viewport()->size());
        for (int i = 1; i < m_doc->TableCount(); ++i) {
            const CTableWnd *table = m_doc->GetTable(i);
            if (!visible.adjusted(-600, -600, 600, 600).intersects(table->geometry()) || !windowsNear)
                QVERIFY2(table->isHidden(), table->m_name.c_str());
            else if (visible.intersects(table->geometry()))
                QVERIFY2(!table->isHidden(), table->m_name.c_str());
        }
        QVERIFY(Last()->isHidden() && !m_doc->GetTable(0)->isHidden());
        const QImage culled = OnScreen();
        if (const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR"); !folder.isEmpty())
            culled.save(folder + "/near-windows-" + QTest::currentDataTag() + ".png");
        m_view->SetCulling(false);
        QVERIFY(!Last()->isHidden());
        QCOMPARE(OnScreen(), culled);
    }

    // A far table brought into sight is a window; a real click on its
    // first row activates it and selects the row.
    void broughtIntoSightTakesClicks_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("scroll bars") << "scroll";
        QTest::newRow("find") << "find";
        QTest::newRow("Shift+F6") << "F6";
        QTest::newRow("click on the drawing, fitted") << "fitted";
    }
    void broughtIntoSightTakesClicks()
    {
        QFETCH(QString, how);
        CTableWnd *table = Last();
        QVERIFY(table->isHidden());
        if (how == "scroll") {
            m_view->horizontalScrollBar()->setValue(table->x() - 20);
            m_view->verticalScrollBar()->setValue(table->y() - 20);
        } else if (how == "find") {
            QVERIFY(m_view->OnCommand(Cmd::EditFind));
            auto *box = m_view->viewport()->findChild<CFindBox *>();
            QTest::keyClicks(box->Edit(), QString::fromStdString(table->m_name));
            QTest::keyClick(box->Edit(), Qt::Key_Return);
        } else if (how == "F6") {
            QTest::keyClick(m_view.get(), Qt::Key_F6, Qt::ShiftModifier);
        } else {
            m_view->ZoomToFit();
            QVERIFY(table->isHidden());
            const QPoint caption = table->geometry().topLeft() + QPoint(1, 1);
            QTest::mouseClick(m_view->Canvas(), Qt::LeftButton, {}, caption);
            QCOMPARE(m_view->m_pActiveTable, table);
            m_view->ZoomAbout(1.0, m_view->Canvas()->mapTo(m_view->viewport(), caption));
        }
        QApplication::processEvents();
        QVERIFY(!table->isHidden());
        QVERIFY(QRect(m_view->ScrollPosition(), m_view->viewport()->size()).intersects(table->geometry()));
        const QPoint firstRow = table->ClientRect().topLeft() + QPoint(40, 5);
        QTest::mouseClick(table, Qt::LeftButton, {}, firstRow);
        QCOMPARE(m_view->m_pActiveTable, table);
        QVERIFY(table->GetItem(0)->m_selected);
    }
};

QTEST_MAIN(TestNearWindows)
#include "tst_nearwindows.moc"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SchemaApp.h"
#include "app/SqlLogWindow.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"

#include <QMenu>
#include <QStatusBar>
#include <QtTest>

// Undo of layout through the main window's keys and Edit menu, and the
// windows' state a second start finds, on the sample diagram.
class TestLayoutUndo : public QObject
{
    Q_OBJECT

    CSchemaApp *m_app = static_cast<CSchemaApp *>(qApp);
    COdbcSandbox m_sandbox;

    CChildFrame *Start()
    {
        CChildFrame *child = m_app->InitInstance(QStringList())
                                 ? m_app->OpenDocumentFile(CSampleDiagram::DiagramPath()) : nullptr;
        m_app->MainFrame()->activateWindow();
        return QTest::qWaitForWindowActive(m_app->MainFrame()) ? child : nullptr;
    }
    // Ctrl+key on the main window, then the Undo and Redo entries as the
    // Edit menu shows them when it opens.
    QString KeyThenEntries(Qt::Key key = Qt::Key_unknown)
    {
        if (key != Qt::Key_unknown)
            QTest::keyClick(m_app->MainFrame(), key, Qt::ControlModifier);
        QTest::keyClick(m_app->MainFrame(), Qt::Key_E, Qt::AltModifier);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        const QString texts = menu->actions()[0]->text() + " | " + menu->actions()[1]->text();
        menu->close();
        return texts;
    }
    static void DragCaption(CTableWnd *table, const QPoint &by)
    {
        QTest::mousePress(table, Qt::LeftButton, {}, QPoint(30, 8));
        QTest::mouseMove(table, QPoint(30, 8) + by);
        QTest::mouseRelease(table, Qt::LeftButton, {}, QPoint(30, 8));
    }

private slots:
    void initTestCase() { CSampleDiagram::AddSource(m_sandbox); }
    void init() { QSettings().clear(); }
    void cleanup() { m_app->ExitInstance(); }

    void movesAndViewModesAreUndoneExactly()
    {
        CChildFrame *child = Start();
        QVERIFY(child);
        CTableWnd *table = child->Document()->GetTable(0);
        const CDbView::CLayout opened = child->View()->CurrentLayout();
        QCOMPARE(KeyThenEntries(), "&Undo\tCtrl+Z | &Redo\tCtrl+Y");
        DragCaption(table, QPoint(90, 40));
        const QPoint moved = opened.m_places.at(table->Name()) + QPoint(90, 40);
        QCOMPARE(table->GetPosition(), moved);
        QCOMPARE(KeyThenEntries(), "&Undo Move\tCtrl+Z | &Redo\tCtrl+Y");
        QCOMPARE(KeyThenEntries(Qt::Key_Z), "&Undo\tCtrl+Z | &Redo Move\tCtrl+Y");
        QCOMPARE(child->View()->CurrentLayout(), opened);
        QVERIFY(!child->Document()->CheckMovedTables());
        KeyThenEntries(Qt::Key_Y);
        QCOMPARE(table->GetPosition(), moved);
        QVERIFY(child->Document()->CheckMovedTables());

        const CDbView::CLayout beforeMode = child->View()->CurrentLayout();
        m_app->MainFrame()->CommandAction(Cmd::ViewTableDiagram)->trigger();
        QCOMPARE(KeyThenEntries(), "&Undo View Mode\tCtrl+Z | &Redo\tCtrl+Y");
        QCOMPARE(KeyThenEntries(Qt::Key_Z), "&Undo Move\tCtrl+Z | &Redo View Mode\tCtrl+Y");
        QCOMPARE(child->View()->CurrentLayout(), beforeMode);
        DragCaption(table, QPoint(-20, 30)); // a new step leaves nothing to redo
        QCOMPARE(KeyThenEntries(), "&Undo Move\tCtrl+Z | &Redo\tCtrl+Y");
        QVERIFY(!m_app->MainFrame()->CommandAction(Cmd::EditRedo)->isEnabled());
    }

    void windowsComeBackAsTheUserLeftThem()
    {
        QVERIFY(Start());
        CMainFrame *frame = m_app->MainFrame();
        frame->setGeometry(40, 50, 700, 500);
        frame->ActiveChild()->showMaximized();
        frame->CommandAction(Cmd::ViewSqlLog)->trigger();
        frame->CommandAction(Cmd::ViewStatusBar)->trigger();
        QVERIFY(frame->close());
        m_app->ExitInstance();
        CChildFrame *child = Start();
        QVERIFY(child);
        QCOMPARE(m_app->MainFrame()->geometry(), QRect(40, 50, 700, 500));
        QVERIFY(child->isMaximized());
        QVERIFY(m_app->MainFrame()->SqlLog()->isVisible());
        QVERIFY(m_app->MainFrame()->statusBar()->isHidden());
    }
};

// The application object under test is this program's QApplication, with
// settings in a folder of its own; closing the main window ends a run, not
// the program.
int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    CSchemaApp app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    app.setQuitOnLastWindowClosed(false);
    TestLayoutUndo test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_layoutundo.moc"

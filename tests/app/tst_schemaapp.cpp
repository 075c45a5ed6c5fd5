#include "app/ChildFrame.h"
#include "app/DataSourceDlg.h"
#include "app/DocTemplate.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/SchemaApp.h"
#include "app/SqlLogModel.h"
#include "app/SqlLogWindow.h"
#include "db/DbmsAdapter.h"
#include "db/pervasive/PervasiveAdapter.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "view/DbView.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>
#include <QtTest>

namespace {

const char *const kSampleSql =
    "create table CUSTOMER(ID integer primary key, NAME char(30));\n"
    "create table ORDERS(ID integer primary key, CUSTOMER_ID integer references CUSTOMER(ID));\n";

// The visible entries of a menu, separators as "-".
QStringList EntryTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions()) {
        if (!action->isVisible())
            continue;
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QStringList MenuTitles(const CMainFrame *frame)
{
    QStringList titles;
    for (const QAction *action : frame->menuBar()->actions())
        titles << action->text();
    return titles;
}

QMenu *MenuNamed(const CMainFrame *frame, const QString &title)
{
    for (QAction *action : frame->menuBar()->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

// Answers the data-source dialog with the named source.
CModalAnswerer::Handler ChooseSource(const QString &name, QString *pendingTitle = nullptr)
{
    return [name, pendingTitle](QWidget *widget) {
        auto *dialog = qobject_cast<CDataSourceDlg *>(widget);
        QVERIFY(dialog);
        if (pendingTitle) {
            auto *app = static_cast<CSchemaApp *>(qApp);
            *pendingTitle = app->DocTemplate()->PendingDocument()->GetTitle();
        }
        QVERIFY(dialog->SelectSource(name));
        QTest::mouseClick(dialog->Buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    };
}

CModalAnswerer::Handler CancelSourceChoice()
{
    return [](QWidget *widget) {
        auto *dialog = qobject_cast<CDataSourceDlg *>(widget);
        QVERIFY(dialog);
        QTest::mouseClick(dialog->Buttons()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    };
}

CModalAnswerer::Handler ChooseFile(const QString &path)
{
    return [path](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Open"));
        QCOMPARE(dialog->nameFilters(),
                 (QStringList{"Vellumix Files (*.vmx)", "All Files (*.*)"}));
        // The name goes into the file name box and Open is clicked. (Typing
        // it would race with the box's completer.)
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        auto *buttons = dialog->findChild<QDialogButtonBox *>("buttonBox");
        QVERIFY(name && buttons);
        name->setText(path);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    };
}

bool WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QList<QWidget *> VisibleTopLevels()
{
    QList<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            windows << widget;
    return windows;
}

} // namespace

class TestSchemaApp : public QObject
{
    Q_OBJECT

public:
    explicit TestSchemaApp(CSchemaApp *app) : m_app(app) {}

private:
    CSchemaApp *m_app;
    COdbcSandbox m_sandbox;
    QTemporaryDir m_files;
    CMainFrame *m_frame = nullptr;

    void Start(const QStringList &arguments = {})
    {
        QVERIFY(m_app->InitInstance(arguments));
        m_frame = m_app->MainFrame();
        QVERIFY(m_frame);
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    }

    QAbstractButton *ToolButton(int id) const
    {
        return qobject_cast<QAbstractButton *>(
            m_frame->ToolBar()->widgetForAction(m_frame->CommandAction(id)));
    }

    // The offscreen platform does not give the activation back to the main
    // window when a dialog closes, as a window manager does; keys need it.
    void Activate()
    {
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Activate();
        QTest::keyClick(m_frame, key, modifiers);
    }

    void Keys(const QKeySequence &keys)
    {
        Activate();
        QTest::keySequence(m_frame, keys);
    }

    // Opens a menu by its mnemonic and picks an entry by its mnemonic, as
    // the keyboard does.
    void ChooseMenuEntry(Qt::Key menuKey, Qt::Key entryKey)
    {
        Key(menuKey, Qt::AltModifier);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QTest::keyClick(menu, entryKey);
    }

    CChildFrame *NewDocumentFrom(const QString &dsn)
    {
        auto driver = CModalAnswerer::Dialogs();
        driver.Queue(ChooseSource(dsn));
        QTest::mouseClick(ToolButton(Cmd::FileNew), Qt::LeftButton);
        return driver.Handled() == 1 ? m_frame->ActiveChild() : nullptr;
    }

    QString DiagramFile(const QString &name, const QByteArray &content)
    {
        const QString path = m_files.filePath(name);
        return WriteFile(path, content) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        m_sandbox.AddSqliteSource("Sample", kSampleSql);
        m_sandbox.AddSqliteSource("Other", "create table T(A integer);\n");
        // Changed by the refresh test; the others keep Sample as it is.
        m_sandbox.AddSqliteSource("Shared", kSampleSql);
    }

    void init() { QSettings().clear(); }

    void cleanup()
    {
        if (m_app->MainFrame())
            m_app->ExitInstance();
        m_frame = nullptr;
    }

    void startsWithoutADocument()
    {
        CModalAnswerer boxes;
        Start();
        QCOMPARE(m_frame->windowTitle(), QString("Vellumix"));
        QVERIFY(m_frame->Children().isEmpty());
        QVERIFY(!m_frame->DocumentMenusShown());
        QCOMPARE(MenuTitles(m_frame), (QStringList{"&File", "&View", "&Help"}));
        QCOMPARE(EntryTexts(MenuNamed(m_frame, "&File")),
                 (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "-", "P&rint Setup...", "-",
                              "Recent File", "-", "E&xit"}));
        QCOMPARE(EntryTexts(MenuNamed(m_frame, "&View")),
                 (QStringList{"&Toolbar", "&Status Bar", "SQL &Log"}));
        QCOMPARE(EntryTexts(MenuNamed(m_frame, "&Help")),
                 (QStringList{"&Contents and Index\tF1", "What's &This?\tShift+F1", "Using &Help",
                              "-", "&About Vellumix..."}));
        for (int id : {Cmd::FileSave, Cmd::EditCut, Cmd::EditCopy, Cmd::EditPaste, Cmd::FilePrint})
            QVERIFY2(!ToolButton(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id : {Cmd::FileNew, Cmd::FileOpen, Cmd::AppAbout, Cmd::ContextHelp})
            QVERIFY2(ToolButton(id)->isEnabled(), qPrintable(QString::number(id)));
        QCOMPARE(ToolButton(Cmd::FileNew)->toolTip(), QString("New"));
        QCOMPARE(m_frame->ToolBar()->iconSize(), QSize(16, 15));
        auto *ready = m_frame->statusBar()->findChild<QLabel *>();
        QVERIFY(ready);
        QCOMPARE(ready->text(), QString("Ready"));
        for (auto indicator : {CMainFrame::CapsLock, CMainFrame::NumLock, CMainFrame::ScrollLock})
            QVERIFY(m_frame->IndicatorPane(indicator)->isVisible());
        QCOMPARE(boxes.Count(), 0);
        // No connection was made: no adapter was asked, no prompt shown.
        QCOMPARE(VisibleTopLevels(), QList<QWidget *>{m_frame});
    }

    // Window managers find the installed desktop entry (name, icon) by the
    // application's desktop name; task switchers ask for icons far larger
    // than the 32-pixel artwork, which must not come out blown up.
    void windowsAreKnownToTheDesktop()
    {
        Start();
        QCOMPARE(QGuiApplication::desktopFileName(), CSchemaApp::DesktopFileName());
        const QIcon icon = m_frame->windowIcon();
        QCOMPARE(icon.actualSize(QSize(256, 256)), QSize(256, 256));
        QCOMPARE(icon.pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32),
                 QImage(":/res/images/vellumix16.xpm").convertToFormat(QImage::Format_ARGB32));
    }

    void switchesOpenNothing_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::newRow("print") << QStringList{"/p"};
        QTest::newRow("print to") << QStringList{"/pt", "@", "printer", "driver", "port"};
        QTest::newRow("dash print") << QStringList{"-p"};
        QTest::newRow("dde") << QStringList{"/dde"};
    }
    void switchesOpenNothing()
    {
        QFETCH(QStringList, switches);
        const QString path = DiagramFile("switch.vmx", "DSN=Sample\r\nView=Attributes\r\n");
        const int at = switches.indexOf("@");
        if (at >= 0)
            switches[at] = path;
        else
            switches << path;
        CModalAnswerer boxes;
        auto dialogs = CModalAnswerer::Dialogs();
        Start(switches);
        QVERIFY(m_frame->Children().isEmpty());
        QCOMPARE(boxes.Count(), 0);
        QCOMPARE(dialogs.Unexpected(), 0);
        QCOMPARE(m_app->RecentFiles().Count(), 0);
    }

    void fileOnTheCommandLineOpensAfterTheMainWindowShows()
    {
        // Without a data-source line the file asks for a source: the
        // question comes over the main window, which is already visible.
        const QString path = DiagramFile("layout.vmx",
                                         "View=Attributes\r\nTable=ORDERS\tPosn=200,120\r\n");
        bool frameVisible = false;
        QWidget *dialogParent = nullptr;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *widget) {
            dialogParent = widget->parentWidget();
            frameVisible = dialogParent && dialogParent->isVisible();
            ChooseSource("Sample")(widget);
        });
        Start({path});
        QVERIFY(frameVisible);
        QCOMPARE(dialogParent, static_cast<QWidget *>(m_app->MainFrame()));
        QCOMPARE(m_frame->Children().size(), 1);
        CChildFrame *child = m_frame->ActiveChild();
        QCOMPARE(child->windowTitle(), QString("layout.vmx"));
        QCOMPARE(m_frame->windowTitle(), QString("Vellumix - layout.vmx"));
        CDoc *doc = child->Document();
        QCOMPARE(doc->m_viewMode, int(Attributes));
        QCOMPARE(doc->FindTable("ORDERS")->m_savedPos, QPoint(200, 120));
        QVERIFY(m_frame->CommandAction(Cmd::ViewAttributes)->isChecked());
        QCOMPARE(m_app->RecentFiles().At(0), QFileInfo(path).absoluteFilePath());
    }

    void fileNewWithAnUnsupportedEngineLeavesNothing()
    {
        Start();
        m_app->Adapters() = CAdapterList();
        m_app->Adapters().Add(std::make_unique<CPervasiveAdapter>());
        CModalAnswerer boxes;
        QVERIFY(!NewDocumentFrom("Sample"));
        QCOMPARE(boxes.titles, QStringList{"Error"});
        QCOMPARE(boxes.texts, QStringList{"This database is unsupported"});
        QCOMPARE(boxes.icons.value(0), QMessageBox::Critical);
        QVERIFY(m_frame->Children().isEmpty());
        QVERIFY(!m_frame->DocumentMenusShown());
        QCOMPARE(VisibleTopLevels(), QList<QWidget *>{m_frame});
    }

    // A cancel is not an error: no message, and no document.
    void cancelledSourceChoiceCreatesNothingSilently()
    {
        Start();
        CModalAnswerer boxes;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue(CancelSourceChoice());
        Key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(boxes.Count(), 0);
        QVERIFY(m_frame->Children().isEmpty());
        QCOMPARE(VisibleTopLevels(), QList<QWidget *>{m_frame});
    }

    void fileNewOpensADocumentWindowPerConnection()
    {
        Start();
        CModalAnswerer boxes;
        CChildFrame *first = NewDocumentFrom("Sample");
        QVERIFY(first);
        QCOMPARE(first->windowTitle(), QString("Sample"));
        QVERIFY(m_frame->DocumentMenusShown());
        QCOMPARE(MenuTitles(m_frame), (QStringList{"&File", "&Edit", "&View", "&Window", "&Help"}));
        QCOMPARE(EntryTexts(MenuNamed(m_frame, "&File")),
                 (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "&Save\tCtrl+S",
                              "Save &As...", "-", "&Print...\tCtrl+P", "Print Pre&view",
                              "P&rint Setup...", "&Export Diagram...", "Export S&QL Script...", "-", "Recent File", "-",
                              "E&xit"}));
        QCOMPARE(EntryTexts(MenuNamed(m_frame, "&Edit")),
                 (QStringList{"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                              "&Paste\tCtrl+V", "-", "&Find Table...\tCtrl+F", "-", "Create &Table", "&Edit Table...", "&Add Column",
                              "Create &Index", "Create &Foreign Key", "Create &Trigger", "-",
                              "&Drop"}));
        QCOMPARE(EntryTexts(MenuNamed(m_frame, "&View")),
                 (QStringList{"&Toolbar", "&Status Bar", "SQL &Log", "-", "S&chema", "Table &Diagram",
                              "&Attributes", "-", "Zoom &In\tCtrl++", "Zoom &Out\tCtrl+-",
                              "Actual Si&ze\tCtrl+0", "Zoom to &Fit", "-", "Arrange Dia&gram",
                              "Arrange S&elected", "-", "&Refresh\tF5"}));
        QCOMPARE(first->Document()->TableCount(), 2);
        QVERIFY(ToolButton(Cmd::FileSave)->isEnabled());
        for (int id : {Cmd::EditCut, Cmd::EditCopy, Cmd::EditPaste})
            QVERIFY(!ToolButton(id)->isEnabled());

        // A cancelled New in between does not use up a number.
        {
            auto cancel = CModalAnswerer::Dialogs();
            cancel.Queue(CancelSourceChoice());
            QTest::mouseClick(ToolButton(Cmd::FileNew), Qt::LeftButton);
            QCOMPARE(cancel.Handled(), 1);
            QCOMPARE(boxes.Count(), 0);
        }

        QString pendingTitle;
        auto second = CModalAnswerer::Dialogs();
        second.Queue(ChooseSource("Other", &pendingTitle));
        Key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(pendingTitle, QString("Vellum2"));
        QCOMPARE(m_frame->Children().size(), 2);
        CChildFrame *secondFrame = m_frame->ActiveChild();
        QVERIFY(secondFrame != first);
        QCOMPARE(secondFrame->windowTitle(), QString("Other"));
        QCOMPARE(m_frame->windowTitle(), QString("Vellumix - Other"));
        // Independent connections.
        QVERIFY(&secondFrame->Document()->GetSession() != &first->Document()->GetSession());
        QCOMPARE(secondFrame->Document()->TableCount(), 1);

        // The Window menu lists both, the active one checked; choosing the
        // first activates it.
        QMenu *window = MenuNamed(m_frame, "&Window");
        Key(Qt::Key_W, Qt::AltModifier);
        QCOMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(window));
        QCOMPARE(EntryTexts(window),
                 (QStringList{"&Cascade", "&Tile", "&Arrange Icons", "-", "&1 Sample", "&2 Other"}));
        QVERIFY(window->actions().last()->isChecked());
        QTest::keyClick(window, Qt::Key_1);
        QCOMPARE(m_frame->ActiveChild(), first);
        QCOMPARE(m_frame->windowTitle(), QString("Vellumix - Sample"));
        // A maximized document window has no caption of its own: its title
        // shows in brackets.
        first->showMaximized();
        QCOMPARE(m_frame->windowTitle(), QString("Vellumix - [Sample]"));
        first->showNormal();
        QCOMPARE(m_frame->windowTitle(), QString("Vellumix - Sample"));
    }

    void windowArrangement()
    {
        Start();
        QVERIFY(NewDocumentFrom("Sample"));
        QVERIFY(NewDocumentFrom("Other"));
        ChooseMenuEntry(Qt::Key_W, Qt::Key_T);
        const QList<CChildFrame *> children = m_frame->Children();
        QVERIFY(!children[0]->geometry().intersects(children[1]->geometry()));
        ChooseMenuEntry(Qt::Key_W, Qt::Key_C);
        QVERIFY(children[0]->geometry().intersects(children[1]->geometry()));
        for (CChildFrame *child : children)
            child->showMinimized();
        ChooseMenuEntry(Qt::Key_W, Qt::Key_A);
        const int bottom = m_frame->MdiArea()->viewport()->height();
        for (CChildFrame *child : children)
            QCOMPARE(child->geometry().bottom() + 1, bottom);
        QCOMPARE(children[0]->x(), 0);
        QCOMPARE(children[1]->x(), children[0]->width());
    }

    void closingAsksOnlyForMovedTablesAndCancelKeepsTheDocument()
    {
        Start();
        CChildFrame *child = NewDocumentFrom("Sample");
        QVERIFY(child);
        QPointer<CChildFrame> guard(child);
        CTableWnd *table = child->Document()->GetTable(0);
        table->move(table->pos() + QPoint(1, 0));

        {
            CModalAnswerer cancel(QMessageBox::Cancel);
            ChooseMenuEntry(Qt::Key_F, Qt::Key_C);
            QCOMPARE(cancel.texts, QStringList{"Save changes to Sample?"});
            QVERIFY(guard);
            QCOMPARE(m_frame->Children().size(), 1);

            // Exit asks the same question; Cancel keeps the program running.
            ChooseMenuEntry(Qt::Key_F, Qt::Key_X);
            QCOMPARE(cancel.Count(), 2);
            QVERIFY(m_frame->isVisible());
            QVERIFY(guard);
        }

        CModalAnswerer no(QMessageBox::No);
        ChooseMenuEntry(Qt::Key_F, Qt::Key_C);
        QCOMPARE(no.Count(), 1);
        QTRY_VERIFY(!guard);
        QVERIFY(m_frame->Children().isEmpty());
        QVERIFY(!m_frame->DocumentMenusShown());
        QCOMPARE(m_frame->windowTitle(), QString("Vellumix"));

        // An untouched document closes without a question.
        CChildFrame *again = NewDocumentFrom("Sample");
        QVERIFY(again);
        QPointer<CChildFrame> againGuard(again);
        ChooseMenuEntry(Qt::Key_F, Qt::Key_C);
        QCOMPARE(no.Count(), 1);
        QTRY_VERIFY(!againGuard);
    }

    // Two diagrams of one database: dropping a table in one leaves the
    // focus in that diagram, and Refresh (F5) brings the other in step
    // without closing it.
    void dropKeepsTheFocusInItsDiagramAndRefreshFollows()
    {
        Start();
        CChildFrame *first = NewDocumentFrom("Shared");
        CChildFrame *second = NewDocumentFrom("Shared");
        QVERIFY(first && second);
        QCOMPARE(m_frame->ActiveChild(), second);
        CTableWnd *orders = second->Document()->FindTable("ORDERS");
        Activate();
        QTest::mouseClick(orders, Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(orders));
        QCOMPARE(second->View()->m_pActiveTable, orders);
        {
            CModalAnswerer yes(QMessageBox::Yes);
            Key(Qt::Key_Delete);
            QCOMPARE(yes.texts, QStringList{"Are you sure you want to drop the table 'ORDERS'?"});
        }
        QCOMPARE(second->Document()->FindTable("ORDERS"), nullptr);
        Activate();
        QCOMPARE(m_frame->ActiveChild(), second);
        QCOMPARE(m_frame->focusWidget(), static_cast<QWidget *>(second->View()));

        CDoc *doc = first->Document();
        CTableWnd *customer = doc->FindTable("CUSTOMER");
        const QPoint place = customer->pos();
        ChooseMenuEntry(Qt::Key_W, Qt::Key_1);
        QCOMPARE(m_frame->ActiveChild(), first);
        QVERIFY(doc->FindTable("ORDERS"));
        QCOMPARE(doc->Schema().RelationshipCount(), 1);
        Key(Qt::Key_F5);
        QCOMPARE(doc->FindTable("ORDERS"), nullptr);
        QCOMPARE(doc->TableCount(), 1);
        QCOMPARE(doc->Schema().RelationshipCount(), 0);
        QCOMPARE(customer->pos(), place);

        // A table made in another program joins from the View menu.
        QVERIFY(m_sandbox.RunSql("Shared", "create table EXTRA(A integer);"));
        ChooseMenuEntry(Qt::Key_V, Qt::Key_R);
        QVERIFY(doc->FindTable("EXTRA"));
        QVERIFY(!doc->FindTable("EXTRA")->geometry().intersects(customer->geometry()));
        QVERIFY(doc->FindTable("EXTRA")->isVisible());

        // Nothing counts as moved.
        CModalAnswerer none;
        ChooseMenuEntry(Qt::Key_F, Qt::Key_C);
        QCOMPARE(none.Count(), 0);
        QTRY_COMPARE(m_frame->Children().size(), 1);
    }

    // A view mode the file does not hold is a change like a moved window;
    // right after a save there is nothing to ask about.
    void closingAsksAfterAViewModeChange()
    {
        Start();
        QPointer<CChildFrame> fresh = NewDocumentFrom("Sample");
        QVERIFY(fresh);
        ChooseMenuEntry(Qt::Key_V, Qt::Key_A);
        {
            CModalAnswerer no(QMessageBox::No);
            ChooseMenuEntry(Qt::Key_F, Qt::Key_C);
            QCOMPARE(no.texts, QStringList{"Save changes to Sample?"});
            QTRY_VERIFY(!fresh);
        }

        const QString path = DiagramFile("modes.vmx", "DSN=Sample\r\nView=Schema\r\n"
                                                      "Table=CUSTOMER\tPosn=20,20\r\n");
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue(ChooseFile(path));
        Key(Qt::Key_O, Qt::ControlModifier);
        QPointer<CChildFrame> opened = m_frame->ActiveChild();
        QVERIFY(opened);
        CModalAnswerer none;
        ChooseMenuEntry(Qt::Key_V, Qt::Key_D);
        Key(Qt::Key_S, Qt::ControlModifier);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("\r\nView=Table Diagram\r\n"));
        // Away and back again is no change either.
        ChooseMenuEntry(Qt::Key_V, Qt::Key_A);
        ChooseMenuEntry(Qt::Key_V, Qt::Key_D);
        ChooseMenuEntry(Qt::Key_F, Qt::Key_C);
        QTRY_VERIFY(!opened);
        QCOMPARE(none.Count(), 0);
    }

    // Every new document window can be reached: wholly inside the client
    // area, and maximized while a maximized one fills it.
    void newDocumentWindowsOpenInsideTheWorkspace()
    {
        Start();
        m_frame->resize(900, 640);
        QTest::qWait(20);
        QList<CChildFrame *> frames;
        for (int i = 0; i < 6; ++i) {
            frames << NewDocumentFrom(i % 2 ? "Other" : "Sample");
            QVERIFY(frames.last());
        }
        const QRect area = m_frame->MdiArea()->viewport()->rect();
        for (const CChildFrame *frame : frames)
            QVERIFY2(area.contains(frame->geometry()),
                     qPrintable(QStringLiteral("%1,%2 %3x%4")
                                    .arg(frame->x()).arg(frame->y())
                                    .arg(frame->width()).arg(frame->height())));
        QVERIFY(frames[1]->pos() != frames[0]->pos());
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR", QDir::tempPath());
        QVERIFY(m_frame->grab().save(folder + "/vellumix-new-windows.png"));

        frames.last()->showMaximized();
        CChildFrame *next = NewDocumentFrom("Other");
        QVERIFY(next);
        QVERIFY(next->isMaximized());
        next->showNormal();
        QVERIFY(area.contains(next->geometry()));
    }

    void recentFilesKeepTheLastFour()
    {
        Start();
        QStringList paths;
        for (int i = 1; i <= 5; ++i) {
            paths << DiagramFile(QStringLiteral("recent%1.vmx").arg(i), "DSN=Other\r\n");
            auto dialogs = CModalAnswerer::Dialogs();
            dialogs.Queue(ChooseFile(paths.last()));
            Key(Qt::Key_O, Qt::ControlModifier);
            QCOMPARE(dialogs.Handled(), 1);
            QCOMPARE(m_frame->Children().size(), i);
            QVERIFY(m_frame->ActiveChild());
            QCOMPARE(m_frame->ActiveChild()->windowTitle(), QFileInfo(paths.last()).fileName());
        }
        const QStringList expected{paths[4], paths[3], paths[2], paths[1]};
        QCOMPARE(m_app->RecentFiles().Files(), expected);

        // Opening a file that is already open activates its window.
        QCOMPARE(m_app->OpenDocumentFile(paths[2])->windowTitle(), QString("recent3.vmx"));
        QCOMPARE(m_frame->Children().size(), 5);

        // Exit writes the list; the next start reads it back into the menu.
        m_app->ExitInstance();
        QSettings settings;
        for (int i = 0; i < 4; ++i)
            QCOMPARE(settings.value(QStringLiteral("Recent File List/File%1").arg(i + 1)).toString(),
                     expected[i]);
        QVERIFY(!settings.contains("Recent File List/File5"));
        Start();
        QCOMPARE(m_app->RecentFiles().Files(), expected);
        const QStringList entries = EntryTexts(MenuNamed(m_frame, "&File"));
        QCOMPARE(entries.mid(5, 4),
                 (QStringList{m_app->RecentFiles().MenuText(0), m_app->RecentFiles().MenuText(1),
                              m_app->RecentFiles().MenuText(2), m_app->RecentFiles().MenuText(3)}));
        QVERIFY(entries[5].startsWith("&1 "));
        QVERIFY(entries[5].endsWith("recent5.vmx"));

        // A recent file that is gone leaves the list when chosen.
        QVERIFY(QFile::remove(paths[3]));
        CModalAnswerer boxes;
        ChooseMenuEntry(Qt::Key_F, Qt::Key_2);
        QCOMPARE(boxes.Count(), 1);
        QVERIFY(boxes.LastText().contains("Cannot find this file."));
        QCOMPARE(m_app->RecentFiles().Files(), (QStringList{paths[4], paths[2], paths[1]}));
        QVERIFY(m_frame->Children().isEmpty());

        // A recent file whose connection fails stays on the list. The
        // chooser offers to mend the connection string; cancelled, the open
        // ends without a word, as a cancelled choice does.
        QVERIFY(WriteFile(paths[2], "DSN=NoSuchSource\r\n"));
        auto dialogs = CModalAnswerer::Dialogs();
        QString offered;
        QString reason;
        dialogs.Queue([&](QWidget *widget) {
            auto *dialog = qobject_cast<CDataSourceDlg *>(widget);
            QVERIFY(dialog);
            offered = dialog->ConnectionString();
            reason = dialog->ReasonLabel()->text();
            QTest::mouseClick(dialog->Buttons()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        ChooseMenuEntry(Qt::Key_F, Qt::Key_2);
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(offered, QString("DSN=NoSuchSource"));
        QVERIFY2(reason.contains("not found"), qPrintable(reason));
        QCOMPARE(boxes.Count(), 1);
        QVERIFY(m_frame->Children().isEmpty());
        QCOMPARE(m_app->RecentFiles().Count(), 3);
    }

    // A file without a data-source or table line: File Open says so, as the
    // export does, and opens nothing nor lists it as recent.
    void aFileThatIsNotADiagramOpensNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage", 16);
        QTest::newRow("a view mode alone") << QByteArray("View=Attributes\r\n");
    }
    void aFileThatIsNotADiagramOpensNothing()
    {
        QFETCH(QByteArray, content);
        const QString path = DiagramFile("other.vmx", content);
        Start();
        CModalAnswerer boxes;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue(ChooseFile(path));
        Key(Qt::Key_O, Qt::ControlModifier);
        QVERIFY2(boxes.LastText().startsWith(path + " is not a diagram file"), qPrintable(boxes.LastText()));
        QVERIFY(m_frame->Children().isEmpty());
        QCOMPARE(m_app->RecentFiles().Count(), 0);
    }

    void toolbarAndStatusBarToggles()
    {
        Start();
        QAction *toolbar = m_frame->CommandAction(Cmd::ViewToolbar);
        QAction *status = m_frame->CommandAction(Cmd::ViewStatusBar);
        QVERIFY(toolbar->isChecked());
        ChooseMenuEntry(Qt::Key_V, Qt::Key_T);
        QVERIFY(!m_frame->ToolBar()->isVisible());
        QVERIFY(!toolbar->isChecked());
        ChooseMenuEntry(Qt::Key_V, Qt::Key_T);
        QVERIFY(m_frame->ToolBar()->isVisible());
        QVERIFY(toolbar->isChecked());

        ChooseMenuEntry(Qt::Key_V, Qt::Key_S);
        QVERIFY(!m_frame->statusBar()->isVisible());
        QVERIFY(!status->isChecked());
        ChooseMenuEntry(Qt::Key_V, Qt::Key_S);
        QVERIFY(m_frame->statusBar()->isVisible());
        QVERIFY(status->isChecked());
    }

    void toolbarPromptsShowInTheStatusBar()
    {
        Start();
        QAbstractButton *open = ToolButton(Cmd::FileOpen);
        QTest::mouseMove(open);
        QTRY_COMPARE(m_frame->statusBar()->currentMessage(), QString("Open an existing document"));
        QTest::mouseMove(m_frame->MdiArea());
        QTRY_COMPARE(m_frame->statusBar()->currentMessage(), QString());
    }

    void acceleratorsWithoutADocument()
    {
        Start();
        QSignalSpy routed(m_frame, &CMainFrame::commandRouted);
        auto dialogs = CModalAnswerer::Dialogs();
        CModalAnswerer boxes;
        // Disabled commands: nothing is sent.
        for (const QKeySequence &key : {QKeySequence("Ctrl+S"), QKeySequence("Ctrl+Z"),
                                        QKeySequence("Alt+Backspace"), QKeySequence("Shift+Del"),
                                        QKeySequence("Ctrl+Ins"), QKeySequence("Shift+Ins"),
                                        QKeySequence("Ctrl+P"), QKeySequence("Del")})
            Keys(key);
        QCOMPARE(routed.count(), 0);

        Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dialogs.Unexpected(), 1); // the Open dialog, rejected
        Key(Qt::Key_F1);
        QTRY_VERIFY(m_frame->HelpWindow()->isVisible());
        QCOMPARE(m_frame->HelpWindow()->CurrentPage(), CHelpWindow::PageUrl("index.html"));
        Key(Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QWhatsThis::leaveWhatsThisMode();
        QCOMPARE(routed.count(), 3);
        QCOMPARE(routed.at(0).at(0).toInt(), int(Cmd::FileOpen));
        QCOMPARE(routed.at(1).at(0).toInt(), int(Cmd::Help));
        QCOMPARE(routed.at(2).at(0).toInt(), int(Cmd::ContextHelp));
        QCOMPARE(boxes.Count(), 0);
    }

    void acceleratorsWithADocument()
    {
        Start();
        CChildFrame *child = NewDocumentFrom("Sample");
        QVERIFY(child);
        CDbView *view = child->View();
        CDoc *doc = child->Document();
        QSignalSpy routed(m_frame, &CMainFrame::commandRouted);

        // Delete needs an active table window or a selected relationship.
        QVERIFY(!view->m_pActiveTable);
        Key(Qt::Key_Delete);
        QCOMPARE(routed.count(), 0);

        Key(Qt::Key_F6);
        QCOMPARE(view->m_pActiveTable, doc->GetTable(0));
        Key(Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(view->m_pActiveTable, doc->GetTable(doc->TableCount() - 1));

        CModalAnswerer no(QMessageBox::No);
        Key(Qt::Key_Delete);
        QCOMPARE(no.titles, QStringList{"Confirmation"});
        QCOMPARE(doc->TableCount(), 2);

        auto dialogs = CModalAnswerer::Dialogs();
        Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(dialogs.Unexpected(), 1); // Save As for an untitled document, cancelled
        for (const QKeySequence &key : {QKeySequence("Ctrl+X"), QKeySequence("Ctrl+C"),
                                        QKeySequence("Ctrl+V"), QKeySequence("Ctrl+Z")})
            Keys(key);

        QList<int> ids;
        for (const QList<QVariant> &arguments : routed)
            ids << arguments.at(0).toInt();
        QCOMPARE(ids, (QList<int>{Cmd::NextPane, Cmd::PrevPane, Cmd::Drop, Cmd::FileSave}));
    }

    void viewModesCarryARadioMark()
    {
        Start();
        CChildFrame *child = NewDocumentFrom("Sample");
        QVERIFY(child);
        QVERIFY(m_frame->CommandAction(Cmd::ViewSchema)->isChecked());
        ChooseMenuEntry(Qt::Key_V, Qt::Key_D);
        QCOMPARE(child->Document()->m_viewMode, int(TableDiagram));
        QVERIFY(m_frame->CommandAction(Cmd::ViewTableDiagram)->isChecked());
        QVERIFY(!m_frame->CommandAction(Cmd::ViewSchema)->isChecked());
        // The printing commands are there for every open document.
        QVERIFY(m_frame->CommandAction(Cmd::FilePrint)->isEnabled());
        QVERIFY(ToolButton(Cmd::FilePrint)->isEnabled());
        QVERIFY(m_frame->CommandAction(Cmd::FilePrintPreview)->isEnabled());
        QVERIFY(m_frame->CommandAction(Cmd::FilePrintSetup)->isEnabled());
        QVERIFY(!m_frame->CommandAction(Cmd::CreateForeignKey)->isEnabled());
        QVERIFY(m_frame->CommandAction(Cmd::CreateTable)->isEnabled());
        QVERIFY(!m_frame->CommandAction(Cmd::AddColumn)->isEnabled());
    }

    // The SQL Log starts hidden; the View menu shows it with the active
    // document's statements, and hides it again.
    void sqlLogFromTheViewMenu()
    {
        Start();
        CSqlLogWindow *log = m_frame->SqlLog();
        QVERIFY(!log->isVisible());
        QVERIFY(!m_frame->CommandAction(Cmd::ViewSqlLog)->isChecked());
        QCOMPARE(log->windowTitle(), QString("SQL Log"));
        CChildFrame *child = NewDocumentFrom("Sample");
        QVERIFY(child);
        QCOMPARE(log->Model()->Document(), child->Document());

        ChooseMenuEntry(Qt::Key_V, Qt::Key_L);
        QVERIFY(log->isVisible());
        QVERIFY(m_frame->CommandAction(Cmd::ViewSqlLog)->isChecked());
        const int rows = log->Model()->rowCount();
        QCOMPARE(rows, int(child->Document()->GetSession().GetStatementLog().size()));
        QVERIFY(rows > 0);
        m_frame->resize(900, 640);
        QTest::qWait(20);
        const QString folder = qEnvironmentVariable("VELLUMIX_SHOT_DIR", QDir::tempPath());
        QVERIFY(m_frame->grab().save(folder + "/vellumix-sql-log.png"));

        m_frame->CommandAction(Cmd::ViewSqlLog)->trigger();
        QVERIFY(!log->isVisible());
        QVERIFY(!m_frame->CommandAction(Cmd::ViewSqlLog)->isChecked());
    }

    void aboutBoxAndHelpPages()
    {
        Start();
        QString name;
        QString licence;
        bool hasIcon = false;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QString("About Vellumix"));
            if (auto *label = dialog->findChild<QLabel *>("aboutName"))
                name = label->text();
            if (auto *label = dialog->findChild<QLabel *>("aboutLicence"))
                licence = label->text();
            for (QLabel *label : dialog->findChildren<QLabel *>())
                hasIcon = hasIcon || !label->pixmap().isNull();
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QTest::mouseClick(ToolButton(Cmd::AppAbout), Qt::LeftButton);
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(name, QString("Vellumix Version 1.0"));
        QVERIFY2(licence.contains("GNU General Public License,\nversion 3 or later"), qPrintable(licence));
        QVERIFY(hasIcon);

        ChooseMenuEntry(Qt::Key_H, Qt::Key_H);
        QCOMPARE(m_frame->HelpWindow()->CurrentPage(), CHelpWindow::PageUrl("using.html"));
        QVERIFY(m_frame->HelpWindow()->Browser()->toPlainText().contains("What's This?"));

        // Every page the contents links to exists.
        QFile index(":/res/help/index.html");
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(index.readAll());
        QRegularExpression link("href=\"([a-z]+\\.html)");
        int links = 0;
        for (auto match = link.globalMatch(html); match.hasNext(); ++links) {
            const QString page = match.next().captured(1);
            QVERIFY2(QFile::exists(":/res/help/" + page), qPrintable(page));
        }
        QVERIFY(links >= 5);
    }

    void printSetupWithoutADocument()
    {
        Start();
        bool pageSetup = false;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *dialog) {
            pageSetup = qobject_cast<QPageSetupDialog *>(dialog) != nullptr;
            static_cast<QDialog *>(dialog)->reject();
        });
        ChooseMenuEntry(Qt::Key_F, Qt::Key_R);
        QCOMPARE(dialogs.Handled(), 1);
        QVERIFY(pageSetup);
    }

    // The preview shows as many pages at once as the settings say, and the
    // user's choice in it is written back at exit.
    void printPreviewShowsTheStoredPageCount()
    {
        QSettings().setValue("Settings/PreviewPages", 2);
        Start();
        QVERIFY(NewDocumentFrom("Sample"));
        QPrintPreviewWidget::ViewMode mode = QPrintPreviewWidget::AllPagesView;
        auto dialogs = CModalAnswerer::Dialogs();
        dialogs.Queue([&](QWidget *widget) {
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(widget);
            QVERIFY(dialog);
            mode = dialog->findChild<QPrintPreviewWidget *>()->viewMode();
            auto *overview = dialog->findChild<QAction *>("overviewModeAction");
            QVERIFY(overview);
            overview->trigger();
            dialog->reject();
        });
        ChooseMenuEntry(Qt::Key_F, Qt::Key_V);
        QCOMPARE(dialogs.Handled(), 1);
        QCOMPARE(mode, QPrintPreviewWidget::FacingPagesView);
        m_app->ExitInstance();
        QCOMPARE(QSettings().value("Settings/PreviewPages").toInt(), 3);
    }

    void renderMainWindowWithADocument()
    {
        Start();
        m_frame->resize(900, 640);
        CChildFrame *child = NewDocumentFrom("Sample");
        QVERIFY(child);
        child->resize(600, 400);
        QTest::qWait(20);
        const QString path = QDir::temp().filePath("vellumix-mainframe.png");
        QVERIFY(m_frame->grab().save(path));
        qInfo("main window rendered to %s", qPrintable(path));
    }
};

// The application object under test is this program's QApplication, so the
// test has its own main instead of QTEST_MAIN.
int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    CSchemaApp app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestSchemaApp test(&app);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_schemaapp.moc"

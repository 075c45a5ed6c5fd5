#include "tests/support/DiagramDriver.h"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TableRows.h"
#include "view/DbView.h"

#include <QtTest>

bool CDiagramDriver::Open(const std::string &connectionString)
{
    Close();
    m_doc = new CDoc(m_adapters);
    if (m_doc->GetSession().Connect(connectionString) != 0 || m_doc->LoadAllTables() != 0) {
        QTest::qFail("The diagram's database did not load", __FILE__, __LINE__);
        return false;
    }
    return Show();
}

bool CDiagramDriver::OpenFile(const QString &path)
{
    Close();
    m_doc = new CDoc(m_adapters);
    if (!m_doc->OnOpenDocument(path)) {
        QTest::qFail("The diagram file did not open", __FILE__, __LINE__);
        return false;
    }
    return Show();
}

bool CDiagramDriver::Show()
{
    m_view = new CDbView(m_doc);
    m_view->resize(900, 700);
    m_view->OnInitialUpdate();
    m_view->show();
    if (!QTest::qWaitForWindowExposed(m_view)) {
        QTest::qFail("The view was not shown", __FILE__, __LINE__);
        return false;
    }
    MarkLog();
    return true;
}

void CDiagramDriver::Close()
{
    if (m_doc)
        m_doc->DeleteTables();
    delete m_view;
    delete m_doc;
    m_view = nullptr;
    m_doc = nullptr;
}

CDbSession &CDiagramDriver::Session() const { return m_doc->GetSession(); }

CTableWnd *CDiagramDriver::Table(const char *name) const { return m_doc->FindTable(name); }

void CDiagramDriver::Click(CTableWnd *table, int row, Qt::KeyboardModifiers modifiers)
{
    QVERIFY(row >= 0);
    QTest::mouseClick(table, Qt::LeftButton, modifiers, TableRows::RowPoint(table, row));
}

// A right click on a row that is not selected would select it: the menu is
// opened on the first selected row, or with Enter when none is.
void CDiagramDriver::DropFromMenu(CTableWnd *table)
{
    auto chooser = CModalAnswerer::Menus("&Drop");
    const int selected = table->FirstSelected();
    if (selected >= 0)
        QTest::mouseClick(table, Qt::RightButton, Qt::NoModifier, TableRows::RowPoint(table, selected));
    else
        QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(chooser.MenuCount(), 1);
}

void CDiagramDriver::MarkLog() { m_logMark = Session().GetStatementLog().size(); }

QStringList CDiagramDriver::SentSinceMark() const
{
    const auto &log = Session().GetStatementLog();
    QStringList sent;
    for (size_t i = m_logMark; i < log.size(); ++i)
        sent << QString::fromStdString(log[i].m_statement);
    return sent;
}

QStringList CDiagramDriver::ChangesSinceMark() const
{
    QStringList changes;
    static const QStringList kTransactionSteps = {"BEGIN", "COMMIT", "ROLLBACK"};
    for (const QString &statement : SentSinceMark())
        if (!statement.startsWith(QLatin1String("select ")) && !kTransactionSteps.contains(statement))
            changes << statement;
    return changes;
}

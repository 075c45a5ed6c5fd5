#include "tests/support/SampleDiagram.h"

#include "document/Doc.h"
#include "tests/support/OdbcSandbox.h"
#include "view/DbView.h"

#include <QFile>
#include <QTest>

QString CSampleDiagram::DiagramPath() { return QStringLiteral(VELLUMIX_SOURCE_DIR "/samples/sample.vmx"); }

void CSampleDiagram::AddSource(COdbcSandbox &sandbox)
{
    QFile script(QStringLiteral(VELLUMIX_SOURCE_DIR "/samples/sample.sql"));
    if (!script.open(QIODevice::ReadOnly))
        qWarning("cannot read the sample database script");
    sandbox.AddSqliteSource(QStringLiteral("VellumixSample"), QString::fromUtf8(script.readAll()));
}

CSampleDiagram::CSampleDiagram() = default;

// The view lets go of the table windows before the document deletes them.
CSampleDiagram::~CSampleDiagram()
{
    m_view.reset();
    m_doc.reset();
}

bool CSampleDiagram::Open(int width, int height)
{
    QFile file(DiagramPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_doc = std::make_unique<CDoc>(m_adapters);
    if (m_doc->LoadDiagram(file.readAll()) < 0)
        return false;
    m_view = std::make_unique<CDbView>(m_doc.get());
    m_view->resize(width, height);
    m_view->OnInitialUpdate();
    m_view->show();
    return QTest::qWaitForWindowExposed(m_view.get());
}

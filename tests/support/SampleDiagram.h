#pragma once

#include "db/DbmsAdapter.h"

#include <QString>

#include <memory>

class CDbView;
class CDoc;
class COdbcSandbox;

// The sample order-entry diagram (samples/sample.vmx) on its database
// (samples/sample.sql), registered in a test's ODBC sandbox under the data
// source name the diagram names, read with the adapters of every supported
// engine.
class CSampleDiagram
{
public:
    static QString DiagramPath();
    // Builds the sample database and registers its data source.
    static void AddSource(COdbcSandbox &sandbox);

    CSampleDiagram();
    ~CSampleDiagram();

    // Reads the diagram file into a document as File Open does and shows it
    // in a view of the given size. False when it did not load.
    bool Open(int width = 800, int height = 600);

    CDoc *Doc() const { return m_doc.get(); }
    CDbView *View() const { return m_view.get(); }

private:
    CAdapterList m_adapters = MakeDbmsAdapters();
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;
};

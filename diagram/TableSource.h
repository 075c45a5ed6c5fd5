#pragma once

#include <string>

class CTableWnd;
struct CTableSchema;

// What a table window shows comes from here: the diagram's view mode and
// the schema model of its table. The document is the source of its table
// windows.
class CTableSource
{
public:
    virtual int ViewMode() const = 0;
    // The table's schema in the model; null when the model has none.
    virtual const CTableSchema *FindSchema(const std::string &table) const = 0;
    // Reads the table's schema from the catalog into the model and shows
    // it in the window. A failed read leaves model and window as they were.
    virtual int ReloadTable(CTableWnd &table) = 0;

protected:
    ~CTableSource() = default;
};

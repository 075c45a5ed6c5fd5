#pragma once

#include <string>

// The kind of a table window row; it is also the number of the row's icon
// in the shared image list. Images 1 (table) and 3 (database) are not rows.
enum ItemKind {
    UniqueIndex = 0,
    TableImage = 1,
    Column = 2,
    DatabaseImage = 3,
    Index = 4,
    IndexSegment = 5,
    Trigger = 6,
};

// One row of a table window. An index is a header row followed by one
// segment row per index column.
struct CTableItem
{
    CTableItem() = default;
    CTableItem(int kind, std::string name, std::string description = std::string())
        : m_kind(kind), m_name(std::move(name)), m_description(std::move(description)) {}

    bool IsIndexHeader() const { return m_kind == UniqueIndex || m_kind == Index; }

    int m_kind = Column;
    std::string m_name;
    std::string m_description;
    bool m_selected = false;
    // A column of the table's primary key; its name is drawn underlined.
    bool m_key = false;
};

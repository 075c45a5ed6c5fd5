#pragma once

#include "db/CatalogTables.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class CDbSession;

// What the engines' bulk catalog reads share: reading a query's rows with
// a way to stop, and finding the asked table a row belongs to.
namespace CatalogRows {

// Reads every row of the query, its first `columns` columns as text, and
// hands each on; a handler that answers false stops the read as cancelled
// (DbResult::kCancelled). Closes the statement, also after a failure.
int ReadAll(CDbSession &session, const char *query, int columns,
            const std::function<bool(const std::vector<std::string> &row)> &onRow);

} // namespace CatalogRows

// The tables a bulk read fills: one per asked name, in the asked order,
// found by exactly that name (a row of a table nobody asked for is
// skipped; names that differ only in letter case are two tables).
class CCatalogPlaces
{
public:
    explicit CCatalogPlaces(const std::vector<std::string> &names);

    // The asked table of that name; null when it was not asked for.
    CCatalogTable *Find(const std::string &name);
    // Its place among the asked names; -1 when it was not asked for.
    int PlaceOf(const std::string &name) const;
    CCatalogTable &At(size_t place) { return m_tables[place]; }
    size_t Count() const { return m_tables.size(); }
    std::vector<CCatalogTable> Take() { return std::move(m_tables); }

private:
    std::unordered_map<std::string, size_t> m_place;
    std::vector<CCatalogTable> m_tables;
};

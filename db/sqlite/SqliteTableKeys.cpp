#include "db/sqlite/SqliteTableKeys.h"

#include "db/SqlText.h"
#include "db/sqlite/SqliteTokens.h"

#include <algorithm>

const char *const CSqliteTableKeys::kReportedRowidKeyName = "sqlite_autoindex_0";
const char *const CSqliteTableKeys::kRowidKeyName = "rowid key";

namespace {

using SqlTokens::SameName;

bool SameOrder(const std::vector<std::string> &a, const std::vector<std::string> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameName);
}

bool SameSet(std::vector<std::string> a, std::vector<std::string> b)
{
    for (std::string &name : a)
        name = SqlText::ToLower(name);
    for (std::string &name : b)
        name = SqlText::ToLower(name);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

std::vector<std::string> Leading(const std::vector<std::string> &columns, size_t count)
{
    return {columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(count)};
}

// How well an index's leading columns cover the wanted columns: 0 not at
// all, 1 as a set, 2 in the same order.
int LeadingMatch(const CSqliteIndex &index, const std::vector<std::string> &columns)
{
    if (columns.empty() || index.m_columns.size() < columns.size())
        return 0;
    const std::vector<std::string> leading = Leading(index.m_columns, columns.size());
    if (SameOrder(leading, columns))
        return 2;
    return SameSet(leading, columns) ? 1 : 0;
}

} // namespace

void CSqliteTableKeys::AddPrimaryKeyColumn(const std::string &column, const std::string &declaredType)
{
    m_primaryKey.push_back(column);
    m_primaryKeyTypes.push_back(declaredType);
}

void CSqliteTableKeys::AddIndex(const CSqliteIndex &index) { m_indexes.push_back(index); }

void CSqliteTableKeys::AddColumnToLastIndex(const std::string &column)
{
    if (!m_indexes.empty())
        m_indexes.back().m_columns.push_back(column);
}

std::vector<CSqliteIndex> CSqliteTableKeys::Indexes() const
{
    std::vector<CSqliteIndex> indexes;
    if (m_primaryKey.size() == 1 && SameName(m_primaryKeyTypes.front(), "integer")) {
        CSqliteIndex rowidKey;
        rowidKey.m_name = kRowidKeyName;
        rowidKey.m_unique = true;
        rowidKey.m_columns = m_primaryKey;
        indexes.push_back(rowidKey);
    }
    indexes.insert(indexes.end(), m_indexes.begin(), m_indexes.end());
    return indexes;
}

std::string CSqliteTableKeys::ParentIndexFor(const std::vector<std::string> &columns) const
{
    const std::vector<CSqliteIndex> indexes = Indexes();
    const CSqliteIndex *best = nullptr;
    int bestScore = 0;
    for (const CSqliteIndex &index : indexes) {
        const int match = LeadingMatch(index, columns);
        if (match == 0)
            continue;
        // An exact unique key is what SQLite itself enforces the reference
        // against; an index that only starts with the columns still puts the
        // line's end on the right rows.
        const bool exact = index.m_unique && !index.m_partial
                           && index.m_columns.size() == columns.size();
        const int score = (exact ? 10 : 0) + match;
        if (score > bestScore) {
            best = &index;
            bestScore = score;
        }
    }
    return best ? best->m_name : std::string();
}

std::string CSqliteTableKeys::ForeignIndexFor(const std::vector<std::string> &columns) const
{
    const std::vector<CSqliteIndex> indexes = Indexes();
    const CSqliteIndex *best = nullptr;
    for (const CSqliteIndex &index : indexes) {
        const int match = LeadingMatch(index, columns);
        if (match == 0)
            continue;
        if (!best) {
            best = &index;
            continue;
        }
        const int bestMatch = LeadingMatch(*best, columns);
        if (match > bestMatch
            || (match == bestMatch && index.m_columns.size() < best->m_columns.size()))
            best = &index;
    }
    return best ? best->m_name : std::string();
}

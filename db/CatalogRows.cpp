#include "db/CatalogRows.h"

#include "db/DbSession.h"
#include "db/ResultCodes.h"
#include "db/RowSource.h"

namespace CatalogRows {

int ReadAll(CDbSession &session, const char *query, int columns,
            const std::function<bool(const std::vector<std::string> &row)> &onRow)
{
    return session.ReadResult(session.Execute(query), [&](CRowSource &rows) {
        CDbRow row(static_cast<size_t>(columns));
        for (;;) {
            int result = rows.Fetch();
            if (result == DbResult::kNoData)
                return DbResult::kOk;
            for (int i = 0; result >= 0 && i < columns; ++i)
                result = rows.GetColumnText(i + 1, row[static_cast<size_t>(i)]);
            if (result < 0)
                return result;
            if (!onRow(row))
                return DbResult::kCancelled;
        }
    });
}

} // namespace CatalogRows

CCatalogPlaces::CCatalogPlaces(const std::vector<std::string> &names) : m_tables(names.size())
{
    m_place.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        m_place.emplace(names[i], i);
        m_tables[i].m_name = names[i];
    }
}

CCatalogTable *CCatalogPlaces::Find(const std::string &name)
{
    const int place = PlaceOf(name);
    return place < 0 ? nullptr : &m_tables[static_cast<size_t>(place)];
}

int CCatalogPlaces::PlaceOf(const std::string &name) const
{
    const auto found = m_place.find(name);
    return found == m_place.end() ? -1 : static_cast<int>(found->second);
}

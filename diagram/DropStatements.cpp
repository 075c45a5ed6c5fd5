#include "diagram/DropStatements.h"

#include "db/SqlText.h"

#include <algorithm>

using SqlText::QuoteIdentifier;

namespace DropText {

std::string DropColumnsStatement(const std::string &table, const std::vector<std::string> &columns)
{
    std::string statement = "alter table " + QuoteIdentifier(table) + "(";
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            statement += ",";
        statement += "drop " + QuoteIdentifier(columns[i]);
    }
    return statement + ")";
}

std::string DropIndexStatement(const std::string &table, const std::string &index)
{
    return "drop index " + QuoteIdentifier(table) + "." + QuoteIdentifier(index);
}

std::string DropTriggerStatement(const std::string &trigger)
{
    return "drop trigger " + QuoteIdentifier(trigger);
}

std::string DropTableStatement(const std::string &table)
{
    return "drop table " + QuoteIdentifier(table);
}

std::string DropRowsQuestion(const std::vector<std::string> &names)
{
    std::string list = "'";
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            list += ",";
        list += " " + names[i];
    }
    if (names.size() > 1)
        list = ": " + list;
    return "Are you sure you want to drop" + list + "'?";
}

std::string DropTableQuestion(const std::string &table)
{
    return "Are you sure you want to drop the table '" + table + "'?";
}

int FocusAfterRemoval(int focus, int count)
{
    if (focus > count - 1 && focus != 0)
        return std::max(0, std::min(focus - 1, count - 1));
    return 0;
}

} // namespace DropText

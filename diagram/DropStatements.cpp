#include "diagram/DropStatements.h"

#include <algorithm>

namespace DropText {

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

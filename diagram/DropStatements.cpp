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

std::string DropTableQuestion(const std::string &table, const std::string &rows)
{
    std::string question = "Are you sure you want to drop the table '" + table + "'?";
    if (!rows.empty() && rows != "0")
        question += "\nIts " + rows + (rows == "1" ? " row goes" : " rows go") + " with it.";
    return question;
}

namespace {

// "the index 'A'", "the indexes 'A', 'B'"; empty for no names.
std::string Objects(const char *one, const char *many, const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &name : names)
        text += (text.empty() ? "" : ", ") + ("'" + name + "'");
    if (text.empty())
        return text;
    return std::string("the ") + (names.size() == 1 ? one : many) + " " + text;
}

} // namespace

std::string DropRowsQuestion(const std::vector<std::string> &names, const std::vector<std::string> &indexes,
                             const std::vector<std::string> &keys)
{
    const std::string question = DropRowsQuestion(names);
    const std::string indexText = Objects("index", "indexes", indexes);
    const std::string keyText = Objects("foreign key", "foreign keys", keys);
    if (indexText.empty() && keyText.empty())
        return question;
    const std::string both = indexText.empty() || keyText.empty() ? "" : " and ";
    return question + "\nThis also drops " + indexText + both + keyText + ".";
}

int FocusAfterRemoval(int focus, int count)
{
    if (focus > count - 1 && focus != 0)
        return std::max(0, std::min(focus - 1, count - 1));
    return 0;
}

} // namespace DropText

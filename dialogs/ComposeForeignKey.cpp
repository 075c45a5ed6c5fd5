#include "dialogs/ComposeForeignKey.h"

namespace {

std::vector<std::string> UpToFirstEmpty(const std::vector<std::string> &cells)
{
    std::vector<std::string> names;
    for (const std::string &cell : cells) {
        if (cell.empty())
            break;
        names.push_back(cell);
    }
    return names;
}

DeleteRule ChosenRule(const CForeignKeyInput &input)
{
    if (input.m_cascade)
        return DeleteRule::Cascade;
    if (input.m_restrict)
        return DeleteRule::Restrict;
    return DeleteRule::None;
}

} // namespace

CComposedChange ComposeAddForeignKey(const CForeignKeyInput &input)
{
    CComposedChange composed;
    composed.m_change = CAddForeignKey{input.m_table, UpToFirstEmpty(input.m_columnCells),
                                       input.m_referencedTable,
                                       UpToFirstEmpty(input.m_referencedCells), ChosenRule(input)};
    return composed;
}

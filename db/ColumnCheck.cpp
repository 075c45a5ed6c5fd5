#include "db/ColumnCheck.h"

#include "db/ResultCodes.h"
#include "db/SqlText.h"

#include <cctype>
#include <climits>

namespace ColumnCheck {

int LeadingInteger(const std::string &text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

int CheckSizes(const CColumnDef &column)
{
    const bool sized = column.m_paramKind == CDbTypeInfo::Length
                       || column.m_paramKind == CDbTypeInfo::PrecisionScale;
    if (sized && LeadingInteger(column.m_size) < 1)
        return DbResult::kNeedsLength;
    if (column.m_paramKind == CDbTypeInfo::PrecisionScale && LeadingInteger(column.m_dec) < 1)
        return DbResult::kNeedsDecimals;
    return DbResult::kOk;
}

std::string CheckDefaults(const std::vector<CColumnDef> &columns, SqlSyntax syntax)
{
    for (const CColumnDef &column : columns) {
        if (column.m_default.empty())
            continue;
        const std::string why = SqlFragment::WhyNotOneExpression(column.m_default, syntax);
        if (!why.empty())
            return SqlFragment::Refusal("default value of column " + SqlText::QuoteIdentifier(column.m_name),
                                        "one expression", why);
    }
    return std::string();
}

} // namespace ColumnCheck

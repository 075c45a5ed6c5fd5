#include "model/ColumnDescription.h"

#include "db/SqlText.h"

#include <cstdlib>

int LeadingInteger(const std::string &text)
{
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

namespace {

std::string SizeSuffix(int dataType, const CColumnFacts &facts)
{
    switch (dataType) {
    case 1:  // CHAR
    case 12: // VARCHAR
        return "(" + facts.m_length + ")";
    case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11:
    case -1: case -5: case -6: case -7:
        return std::string();
    default:
        return "(" + facts.m_precision + ", " + facts.m_scale + ")";
    }
}

} // namespace

std::string DescribeColumn(const CColumnFacts &facts)
{
    std::string text = SqlText::ToLower(facts.m_typeName);
    const bool sizeless = text == "bigint" || text == "ubigint" || text == "currency";
    // A driver that reports the declared type (char(30)) already carries the
    // size; a second suffix would read char(30)(30).
    const bool sized = facts.m_declaredType || text.find('(') != std::string::npos;
    if (!sizeless && !sized)
        text += SizeSuffix(LeadingInteger(facts.m_dataType), facts);
    if (facts.m_nullable == "1")
        text += " N";
    return text;
}

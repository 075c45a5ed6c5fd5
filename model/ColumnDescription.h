#pragma once

#include <string>

// The catalog facts of one column that its description is made of; every
// value is the trimmed text SQLColumns returned.
struct CColumnFacts
{
    std::string m_typeName;
    std::string m_dataType;
    std::string m_precision;
    std::string m_length;
    std::string m_scale;
    std::string m_nullable;
    // The type name is the declared type, size and all; no suffix is added.
    bool m_declaredType = false;
};

// The description a column row shows in the Attributes mode: the lower-case
// type name, a size suffix chosen by the SQL data type code, and " N" for a
// nullable column (integer, char(30) N, decimal(10, 2) N).
std::string DescribeColumn(const CColumnFacts &facts);

// The leading signed decimal integer of a text, 0 when there is none.
int LeadingInteger(const std::string &text);

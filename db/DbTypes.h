#pragma once

#include <string>

// One data type of the connected engine.
struct CDbTypeInfo
{
    enum ParamKind { NoSize = 0, Length = 1, PrecisionScale = 2 };

    std::string m_name; // lower case
    int m_paramKind = NoSize;
    bool m_nullable = false;
};

// One foreign key: the line from the foreign (dependent) table's index to
// the parent table's index.
struct CDbRelationship
{
    std::string m_parentTable;
    std::string m_parentIndex;
    std::string m_foreignTable;
    std::string m_foreignIndex;
    std::string m_name;
};

// One entry of the driver manager's data-source list.
struct CDataSourceInfo
{
    std::string m_name;
    std::string m_description;
    bool m_system = false;
};

#include "tests/support/ColumnDefs.h"

namespace ColumnDefs {

CColumnDef Column(const char *name, const char *type, int kind, const char *size, const char *dec)
{
    CColumnDef column;
    column.m_name = name;
    column.m_typeName = type;
    column.m_paramKind = kind;
    column.m_size = size;
    column.m_dec = dec;
    return column;
}

CColumnDef With(CColumnDef column, const char *collation, const char *value, const char *nullMark)
{
    column.m_collation = collation;
    column.m_default = value;
    column.m_nullMark = nullMark;
    return column;
}

} // namespace ColumnDefs

#include "db/ResultCodes.h"

namespace DbResult {

const char *LookupMessage(int key)
{
    switch (key) {
    case 30001: return "This database is unsupported";
    case 30003: return "This datatype requires a length to be specified";
    case 30004: return "This datatype requires decimals to be specified";
    case 30005: return "The table name must be entered";
    case 30006: return "The index name is missing";
    case 30007: return "You must specify at least one column";
    case 30008: return "The datatype has not been specified";
    case 30009: return "You must specify at least one segment";
    case 30011: return "The trigger name is missing";
    case 30012: return "The trigger body is missing";
    case 31002: return "Invalid ODBC handle";
    case 31003: return "No data found or at end of data";
    case 31004: return "Cancelled";
    default: return nullptr;
    }
}

} // namespace DbResult

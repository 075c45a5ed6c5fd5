#pragma once

#include <string>
#include <vector>

// ODBC connection strings ("DSN=Sales;UID=bob"): what a diagram file keeps
// of one, and whether one read from a file may be used without asking.
namespace ConnectionString {

// One keyword=value pair as written: m_key without the white space around
// it, m_value without that white space and the braces that may enclose it,
// m_text the whole pair.
struct CAttribute
{
    std::string m_key;
    std::string m_value;
    std::string m_text;
};

// Splits a connection string at the semicolons that stand outside braces.
// False when a brace is left open.
bool Split(const std::string &text, std::vector<CAttribute> &attributes);

// True when the attribute's keyword is the given one (keywords ignore case).
bool IsKey(const CAttribute &attribute, const char *key);

// What a diagram file keeps of the connection string a document connected
// with, to follow "DSN=" on its data-source line: the string as it was
// sent, without its password, the data source first, so that the file
// reader takes the line for a data-source line. A string that names no
// data source (a driver named directly) follows an empty data source name:
// ";DRIVER={SQLite3};Database=/data/x.db". Without a string sent, the data
// source name alone.
std::string ForDiagramFile(const std::string &sent, const std::string &dsn);

// The connection string to send for one read from a diagram file. The
// driver manager takes the first of DSN and DRIVER it meets, and an empty
// data source name for its default data source: the empty name that stands
// before a driver named directly is left out, so that the driver is used.
// Any other string is sent as it stands.
std::string ForDriverManager(const std::string &fromFile);

// What this machine's driver manager knows: each installed driver's name
// with the library it loads, and each data source's name with its driver
// (the name of an installed driver, or a library).
struct CDriverCatalog
{
    struct CEntry
    {
        std::string m_name;
        std::string m_driver;
    };
    std::vector<CEntry> m_drivers;
    std::vector<CEntry> m_sources;
};

// Why a connection string read from a diagram file must be shown to the
// user before it is used, or empty when it may be used as it stands. A
// diagram file can come from anywhere, and a connection string can make
// the driver manager or the driver load a library (a driver given by path,
// a file data source, a driver's own setting such as an extension to load)
// or create a database file. Drivers do not all read the string as the
// driver manager does: the SQLite driver finds a setting after any ";",
// braces or not. So a string is used without asking only when it names a
// data source or an installed driver, every keyword is one known to be
// harmless for the driver it reaches, no value holds ";", "{", "}" or "=",
// and a SQLite database file it names exists already.
std::string ConsentReason(const std::string &fromFile, const CDriverCatalog &catalog);

// True when the string reaches the SQLite driver and no other, as far as
// the catalog tells.
bool ReachesOnlySqlite(const std::string &text, const CDriverCatalog &catalog);

} // namespace ConnectionString

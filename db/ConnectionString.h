#pragma once

#include <string>
#include <vector>

// ODBC connection strings ("DSN=Sales;UID=bob"): what a diagram file keeps
// of one, and whether one read from a file may be used without asking.
namespace ConnectionString {

// One keyword=value pair as written: m_key without surrounding blanks,
// m_value without the braces that may enclose it, m_text the whole pair.
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

// Why a connection string read from a diagram file must be shown to the
// user before it is used, or empty when it may be used as it stands. A
// diagram file can come from anywhere, and a connection string can make
// the driver manager or the driver load a library: a driver given by path,
// a file data source, or a driver's own setting such as an extension to
// load. So only a string made of a data source name, a driver installed on
// this machine, a user name, a password and the database's place is used
// without asking.
std::string ConsentReason(const std::string &fromFile,
                          const std::vector<std::string> &installedDrivers);

} // namespace ConnectionString

#include "db/ConnectionString.h"

#include "db/SqlText.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ConnectionString {

namespace {

// A tab or a line end around a keyword hides it as well as a blank does.
const char kWhiteSpace[] = " \t\r\n\v\f";

std::string Trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

// A braced value ends at the first single closing brace; "}}" inside it
// stands for one brace. Returns the position of the closing brace.
size_t ClosingBrace(const std::string &text, size_t open)
{
    size_t at = open + 1;
    for (;;) {
        at = text.find('}', at);
        if (at == std::string::npos || at + 1 >= text.size() || text[at + 1] != '}')
            return at;
        at += 2;
    }
}

std::string Unbraced(const std::string &value)
{
    if (value.size() < 2 || value.front() != '{' || value.back() != '}')
        return value;
    std::string inner;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
        inner += value[i];
        if (value[i] == '}')
            ++i;
    }
    return inner;
}

// The value as the string writes it, braces included.
std::string WrittenValue(const CAttribute &attribute)
{
    const auto equals = attribute.m_text.find('=');
    return equals == std::string::npos ? std::string() : attribute.m_text.substr(equals + 1);
}

bool IsPassword(const CAttribute &attribute)
{
    return IsKey(attribute, "PWD") || IsKey(attribute, "PASSWORD");
}

// The drivers whose keywords are known here, told apart by their library,
// since the names they are installed under are the installer's choice.
enum class DriverKind { Other, Sqlite3, Postgres };

std::string BaseName(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

DriverKind KindOfLibrary(const std::string &library)
{
    const std::string name = SqlText::ToLower(BaseName(library));
    if (name.rfind("libsqlite3odbc", 0) == 0)
        return DriverKind::Sqlite3;
    if (name.rfind("psqlodbc", 0) == 0)
        return DriverKind::Postgres;
    return DriverKind::Other;
}

bool SameName(const std::string &a, const std::string &b)
{
    return SqlText::ToLower(a) == SqlText::ToLower(b);
}

// A data source names its driver by name or by library; the driver manager
// looks both names up without regard to case.
DriverKind KindOfDriver(const std::string &driver, const CDriverCatalog &catalog)
{
    for (const CDriverCatalog::CEntry &installed : catalog.m_drivers)
        if (SameName(installed.m_name, driver))
            return KindOfLibrary(installed.m_driver);
    return KindOfLibrary(driver);
}

// The keywords that only say where the data is and who connects, as each
// driver reads them (its documentation, each one checked): nothing that
// loads a library, writes a file or changes how the driver behaves. Of a
// driver not known here only the keywords every driver manager reads.
bool IsHarmlessFor(DriverKind kind, const CAttribute &attribute)
{
    static const std::vector<const char *> common = {"DSN", "DRIVER", "UID", "PWD"};
    static const std::vector<const char *> sqlite3 = {"Database"};
    static const std::vector<const char *> postgres = {"Servername", "Server", "Port", "Database",
                                                      "Username", "Password"};
    const auto listed = [&attribute](const std::vector<const char *> &keys) {
        return std::any_of(keys.begin(), keys.end(),
                           [&attribute](const char *key) { return IsKey(attribute, key); });
    };
    return listed(common) || (kind == DriverKind::Sqlite3 && listed(sqlite3))
           || (kind == DriverKind::Postgres && listed(postgres));
}

// Every driver the string can reach: the one of each data source it names
// (of every source the name may denote) and each driver it names.
std::vector<DriverKind> KindsReached(const std::vector<CAttribute> &attributes,
                                     const CDriverCatalog &catalog)
{
    std::vector<DriverKind> kinds;
    for (const CAttribute &attribute : attributes) {
        if (IsKey(attribute, "DRIVER")) {
            kinds.push_back(KindOfDriver(attribute.m_value, catalog));
        } else if (IsKey(attribute, "DSN") && !attribute.m_value.empty()) {
            bool found = false;
            for (const CDriverCatalog::CEntry &source : catalog.m_sources)
                if (SameName(source.m_name, attribute.m_value)) {
                    kinds.push_back(KindOfDriver(source.m_driver, catalog));
                    found = true;
                }
            if (!found)
                kinds.push_back(DriverKind::Other);
        }
    }
    return kinds;
}

// A value with one of these can end its pair early for a driver that
// reads the string its own way, and start a setting of its own there.
bool HoldsSeparator(const CAttribute &attribute)
{
    return attribute.m_value.find_first_of(";{}=") != std::string::npos;
}

bool IsInstalled(const std::string &driver, const CDriverCatalog &catalog)
{
    return std::any_of(catalog.m_drivers.begin(), catalog.m_drivers.end(),
                       [&driver](const CDriverCatalog::CEntry &d) { return d.m_name == driver; });
}

// The SQLite driver creates the database file it is given when there is
// none; a file it names must not make the program create one unasked.
std::string MissingDatabase(const std::vector<CAttribute> &attributes)
{
    for (const CAttribute &attribute : attributes) {
        if (!IsKey(attribute, "Database") || attribute.m_value.empty())
            continue;
        std::error_code error;
        if (!std::filesystem::exists(attribute.m_value, error))
            return attribute.m_value;
    }
    return std::string();
}

std::string ReasonOfKey(const CAttribute &attribute)
{
    return "The diagram file's connection string sets \"" + attribute.m_key
           + "\", which can make the driver manager or the driver load a library. "
             "Connect only if you trust the file.";
}

} // namespace

bool Split(const std::string &text, std::vector<CAttribute> &attributes)
{
    attributes.clear();
    size_t start = 0;
    while (start < text.size()) {
        const size_t equals = text.find_first_of("=;", start);
        size_t end = text.find(';', start);
        if (equals != std::string::npos && text[equals] == '=') {
            const size_t value = text.find_first_not_of(kWhiteSpace, equals + 1);
            if (value != std::string::npos && text[value] == '{') {
                const size_t close = ClosingBrace(text, value);
                if (close == std::string::npos)
                    return false;
                end = text.find(';', close);
            }
        }
        if (end == std::string::npos)
            end = text.size();
        CAttribute attribute;
        attribute.m_text = text.substr(start, end - start);
        const auto split = attribute.m_text.find('=');
        attribute.m_key = Trimmed(attribute.m_text.substr(0, split));
        if (split != std::string::npos)
            attribute.m_value = Unbraced(Trimmed(attribute.m_text.substr(split + 1)));
        if (!Trimmed(attribute.m_text).empty())
            attributes.push_back(attribute);
        start = end + 1;
    }
    return true;
}

bool IsKey(const CAttribute &attribute, const char *key)
{
    return SqlText::ToLower(attribute.m_key) == SqlText::ToLower(key);
}

std::string ForDiagramFile(const std::string &sent, const std::string &dsn)
{
    std::vector<CAttribute> attributes;
    if (sent.empty() || !Split(sent, attributes))
        return dsn;
    // The first data source that is named wins; the others, and the
    // password, stay out of the file.
    const auto source = std::find_if(attributes.begin(), attributes.end(), [](const CAttribute &a) {
        return IsKey(a, "DSN") && !a.m_value.empty();
    });
    std::string kept = source == attributes.end() ? std::string() : WrittenValue(*source);
    for (const CAttribute &attribute : attributes)
        if (!IsKey(attribute, "DSN") && !IsPassword(attribute))
            kept += ";" + attribute.m_text;
    return kept;
}

std::string ForDriverManager(const std::string &fromFile)
{
    std::vector<CAttribute> attributes;
    if (!Split(fromFile, attributes))
        return fromFile;
    const auto isDriver = [](const CAttribute &a) { return IsKey(a, "DRIVER"); };
    const auto isEmptySource = [](const CAttribute &a) { return IsKey(a, "DSN") && a.m_value.empty(); };
    if (attributes.empty() || !isEmptySource(attributes.front())
        || std::none_of(attributes.begin(), attributes.end(), isDriver))
        return fromFile;
    std::string sent;
    for (const CAttribute &attribute : attributes) {
        if (isEmptySource(attribute))
            continue;
        if (!sent.empty())
            sent += ';';
        sent += attribute.m_text;
    }
    return sent;
}

std::string ConsentReason(const std::string &fromFile, const CDriverCatalog &catalog)
{
    std::vector<CAttribute> attributes;
    if (!Split(fromFile, attributes))
        return "The diagram file's connection string is not complete.";
    for (const CAttribute &attribute : attributes)
        if (IsKey(attribute, "DRIVER") && !IsInstalled(attribute.m_value, catalog))
            return "The diagram file names a driver that is not installed on this "
                   "machine, which can load any library. Connect only if you trust the "
                   "file.";
    const std::vector<DriverKind> kinds = KindsReached(attributes, catalog);
    if (kinds.empty())
        return "The diagram file names no data source. Choose one.";
    for (const CAttribute &attribute : attributes) {
        if (attribute.m_text.find('=') == std::string::npos)
            return ReasonOfKey(attribute);
        for (const DriverKind kind : kinds)
            if (!IsHarmlessFor(kind, attribute))
                return ReasonOfKey(attribute);
        if (HoldsSeparator(attribute))
            return "The diagram file's connection string gives \"" + attribute.m_key
                   + "\" a value with \";\", \"{\", \"}\" or \"=\", which a driver can read as "
                     "a further setting that loads a library. Connect only if you trust the file.";
    }
    if (std::find(kinds.begin(), kinds.end(), DriverKind::Sqlite3) != kinds.end()) {
        const std::string missing = MissingDatabase(attributes);
        if (!missing.empty())
            return "The diagram file names the database file \"" + missing
                   + "\", which does not exist: connecting would create it. Connect only if "
                     "you want it created.";
    }
    return std::string();
}

bool ReachesOnlySqlite(const std::string &text, const CDriverCatalog &catalog)
{
    std::vector<CAttribute> attributes;
    if (!Split(text, attributes))
        return false;
    const std::vector<DriverKind> kinds = KindsReached(attributes, catalog);
    return !kinds.empty() && std::all_of(kinds.begin(), kinds.end(), [](DriverKind kind) {
        return kind == DriverKind::Sqlite3;
    });
}

} // namespace ConnectionString

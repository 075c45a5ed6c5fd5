// The connection-string reader and the consent check on any text. The
// text stands for what a diagram file holds after "DSN=", or for what the
// driver manager reported when the document connected.
#include "FuzzCheck.h"
#include "db/ConnectionString.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace ConnectionString;

namespace {

// A machine with the two drivers the tests use and one data source.
const CDriverCatalog kCatalog = {
    {{"SQLite3", "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so"},
     {"PostgreSQL Unicode", "/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so"}},
    {{"Sales", "SQLite3"}}};

std::string Describe(const std::vector<CAttribute> &attributes)
{
    std::string text;
    for (const CAttribute &attribute : attributes)
        text += "[" + attribute.m_key + "] = [" + attribute.m_value + "]\n";
    return text;
}

bool SamePairs(const std::vector<CAttribute> &a, const std::vector<CAttribute> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].m_key != b[i].m_key || a[i].m_value != b[i].m_value)
            return false;
    return true;
}

bool IsEmptySource(const CAttribute &attribute)
{
    return IsKey(attribute, "DSN") && attribute.m_value.empty();
}

// Joining the pairs as written reads back as the same pairs: the strings
// the program builds from pieces of another depend on it.
void CheckRejoin(const std::string &text, const std::vector<CAttribute> &attributes)
{
    std::string joined;
    for (const CAttribute &attribute : attributes)
        joined += (joined.empty() ? "" : ";") + attribute.m_text;
    std::vector<CAttribute> again;
    Require(Split(joined, again) && SamePairs(attributes, again), "pairs joined read back the same",
            "text: " + text + "\njoined: " + joined + "\n" + Describe(attributes) + "---\n"
                + Describe(again));
}

// The file never keeps a password: the line the reader gets back holds none.
void CheckForDiagramFile(const std::string &sent)
{
    const std::string line = "DSN=" + ForDiagramFile(sent, "Sales");
    std::vector<CAttribute> attributes;
    if (!Split(line, attributes))
        return;
    for (const CAttribute &attribute : attributes)
        Require(!IsKey(attribute, "PWD") && !IsKey(attribute, "PASSWORD"),
                "a diagram file's data-source line keeps no password", "sent: " + sent + "\nline: " + line);
}

// What is sent is what was read from the file, less the empty data source
// name before a driver; a string the consent check let through stays one
// it lets through.
void CheckForDriverManager(const std::string &fromFile, const std::vector<CAttribute> &read)
{
    const std::string sent = ForDriverManager(fromFile);
    if (sent != fromFile) {
        std::vector<CAttribute> expected;
        for (const CAttribute &attribute : read)
            if (!IsEmptySource(attribute))
                expected.push_back(attribute);
        std::vector<CAttribute> sentPairs;
        Require(Split(sent, sentPairs) && SamePairs(expected, sentPairs),
                "the string sent holds the file's pairs", "file: " + fromFile + "\nsent: " + sent);
    }
    if (ConsentReason(fromFile, kCatalog).empty())
        Require(ConsentReason(sent, kCatalog).empty(),
                "the string sent needs no more consent than the file's", "file: " + fromFile + "\nsent: " + sent);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<CAttribute> attributes;
    if (Split(text, attributes)) {
        CheckRejoin(text, attributes);
        CheckForDriverManager(text, attributes);
    } else {
        ForDriverManager(text);
        ConsentReason(text, kCatalog);
    }
    CheckForDiagramFile(text);
    return 0;
}

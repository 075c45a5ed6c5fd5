#include "db/ConnectionString.h"

#include "db/SqlText.h"

#include <algorithm>

namespace ConnectionString {

namespace {

std::string Trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
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

// Keywords that only say where the data is and who connects.
bool IsHarmless(const CAttribute &attribute)
{
    for (const char *key : {"DSN", "UID", "PWD", "PASSWORD", "DATABASE", "SERVER", "PORT"})
        if (IsKey(attribute, key))
            return true;
    return false;
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
            const size_t value = text.find_first_not_of(' ', equals + 1);
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

std::string ConsentReason(const std::string &fromFile,
                          const std::vector<std::string> &installedDrivers)
{
    std::vector<CAttribute> attributes;
    if (!Split(fromFile, attributes))
        return "The diagram file's connection string is not complete.";
    bool namesSource = false;
    for (const CAttribute &attribute : attributes) {
        if (IsKey(attribute, "DRIVER")) {
            const bool installed = std::find(installedDrivers.begin(), installedDrivers.end(),
                                             attribute.m_value)
                                   != installedDrivers.end();
            if (!installed)
                return "The diagram file names a driver that is not installed on this "
                       "machine, which can load any library. Connect only if you trust the "
                       "file.";
            namesSource = true;
        } else if (!IsHarmless(attribute)) {
            return "The diagram file's connection string sets \"" + attribute.m_key
                   + "\", which can make the driver manager or the driver load a library. "
                     "Connect only if you trust the file.";
        } else if (IsKey(attribute, "DSN") && !attribute.m_value.empty()) {
            namesSource = true;
        }
    }
    if (!namesSource)
        return "The diagram file names no data source. Choose one.";
    return std::string();
}

} // namespace ConnectionString

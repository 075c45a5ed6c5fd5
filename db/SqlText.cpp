#include "db/SqlText.h"

namespace SqlText {

namespace {
std::string Enclose(const std::string &text, char quote)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += quote;
    for (char c : text) {
        out += c;
        if (c == quote)
            out += quote;
    }
    out += quote;
    return out;
}
} // namespace

std::string QuoteIdentifier(const std::string &name) { return Enclose(name, '"'); }

std::string QuoteLiteral(const std::string &text) { return Enclose(text, '\''); }

std::string ToLower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void TrimRight(std::string &text)
{
    const auto end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
}

std::string EscapePattern(const std::string &name, const std::string &escape)
{
    if (escape.empty())
        return name;
    std::string pattern;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '_' || name[i] == '%' || name.compare(i, escape.size(), escape) == 0)
            pattern += escape;
        pattern += name[i];
    }
    return pattern;
}

} // namespace SqlText

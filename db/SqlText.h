#pragma once

#include <string>

// Helpers every composed statement uses, so that a name the user typed or
// the catalog returned can never end its quotes early.
namespace SqlText {

// "name" with every double quote inside the name doubled.
std::string QuoteIdentifier(const std::string &name);

// 'text' with every apostrophe inside the text doubled.
std::string QuoteLiteral(const std::string &text);

// Lower-cases ASCII letters only: the catalog texts are 8-bit ANSI text and
// must not be touched outside A-Z.
std::string ToLower(std::string text);

// Removes trailing blanks, tabs and line ends.
void TrimRight(std::string &text);

// The name as a catalog search pattern that matches only itself: "_",
// "%" and the escape itself are preceded by the driver's search escape.
// Without an escape the name stays as it is.
std::string EscapePattern(const std::string &name, const std::string &escape);

} // namespace SqlText

#include "document/DiagramFile.h"

#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "res/Resource.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

const char *ViewModeWord(int mode)
{
    switch (mode) {
    case Attributes: return "Attributes";
    case TableDiagram: return "Table Diagram";
    default: return "Schema";
    }
}

// Lines end at a line feed; a carriage return right before it is not part
// of the line; a last line without a terminator still counts.
std::vector<std::string> SplitLines(const QByteArray &content)
{
    std::vector<std::string> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        const bool terminated = end >= 0;
        if (!terminated)
            end = content.size();
        qsizetype stop = end;
        if (terminated && stop > start && content[stop - 1] == '\r')
            --stop;
        lines.emplace_back(content.constData() + start, static_cast<size_t>(stop - start));
        start = end + 1;
    }
    return lines;
}

std::string KeyOf(const std::string &line)
{
    return SqlText::ToLower(line.substr(0, line.find_first_of(" =\r\n")));
}

// One %d of the position format: optional white space, an optional sign and
// at least one digit.
bool ScanInteger(const char *&cursor, int &value)
{
    while (std::isspace(static_cast<unsigned char>(*cursor)))
        ++cursor;
    const char *digits = cursor;
    if (*digits == '+' || *digits == '-')
        ++digits;
    if (!std::isdigit(static_cast<unsigned char>(*digits)))
        return false;
    char *end = nullptr;
    errno = 0;
    const long number = std::strtol(cursor, &end, 10);
    if (errno == ERANGE || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    cursor = end;
    return true;
}

} // namespace

bool ScanPosition(const std::string &text, QPoint &position)
{
    static const char kPrefix[] = "Posn=";
    if (text.compare(0, sizeof kPrefix - 1, kPrefix) != 0)
        return false;
    const char *cursor = text.c_str() + sizeof kPrefix - 1;
    int x = 0, y = 0;
    if (!ScanInteger(cursor, x) || *cursor != ',')
        return false;
    ++cursor;
    if (!ScanInteger(cursor, y))
        return false;
    position = QPoint(x, y);
    return true;
}

QByteArray WriteDiagram(const std::string &dataSource, int viewMode,
                        const std::vector<CDiagramEntry> &tables)
{
    QByteArray out;
    out += "DSN=";
    out += QByteArray::fromStdString(dataSource);
    out += "\r\nView=";
    out += ViewModeWord(viewMode);
    out += "\r\n";
    for (const CDiagramEntry &table : tables) {
        out += "Table=";
        out += QByteArray::fromStdString(table.m_name);
        out += "\tPosn=";
        out += QByteArray::number(table.m_position.x());
        out += ',';
        out += QByteArray::number(table.m_position.y());
        out += "\r\n";
    }
    return out;
}

int ReadDiagram(const QByteArray &content, CDiagramTarget &target)
{
    int result = DbResult::kOk;
    bool connected = false;
    for (const std::string &line : SplitLines(content)) {
        const std::string key = KeyOf(line);
        if (key == "dsn") {
            result = target.ConnectWith(line);
            connected = result >= 0;
        } else if (key == "table") {
            const std::string rest = line.size() > 6 ? line.substr(6) : std::string();
            const std::string name = rest.substr(0, rest.find_first_of("\t\r\n"));
            if (!connected) {
                result = target.ConnectWith(std::string());
                if (result < 0)
                    break;
                connected = true;
            }
            if (!target.HasTables()) {
                result = target.LoadAllTables();
                if (result < 0)
                    break;
            }
            // A position that is missing or cannot be read completely leaves
            // the table where the automatic layout put it.
            const auto tab = line.find('\t');
            QPoint position;
            if (tab != std::string::npos && ScanPosition(line.substr(tab + 1), position))
                target.SetRecordedPosition(name, position);
        } else if (key == "view") {
            const std::string value = line.size() > 5 ? line.substr(5) : std::string();
            target.SetViewMode(value == "Attributes" ? Attributes
                               : value == "Table Diagram" ? TableDiagram
                                                          : Schema);
        }
        if (result < 0)
            break;
    }
    return result;
}

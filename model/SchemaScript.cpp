#include "model/SchemaScript.h"

#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/SqlText.h"
#include "model/SchemaLoader.h"
#include "model/ScriptClauses.h"

#include <sstream>

using SqlText::QuoteIdentifier;
using TypeConversion::EngineName;
using namespace ScriptClauses;

namespace SchemaScript {
namespace {

const char *const kIndent = "    ";
constexpr size_t kLineLength = 100;

std::string NameList(const std::vector<std::string> &names)
{
    std::string list;
    for (const std::string &name : names)
        list += (list.empty() ? "" : ", ") + QuoteIdentifier(name);
    return list;
}

// Every line of the text as a comment line, without trailing blanks.
std::string Commented(const std::string &text)
{
    std::istringstream lines(text);
    std::string line, comment;
    while (std::getline(lines, line)) {
        SqlText::TrimRight(line);
        comment += line.empty() ? "--\n" : "-- " + line + "\n";
    }
    return comment;
}

// The script under way: its engines, and the comments of the table
// being written, which go above its statement.
class CWriter
{
public:
    CWriter(const CSchemaModel &model, ScriptEngine source, ScriptEngine target)
        : m_model(model), m_source(source), m_target(target)
    {
    }

    std::string Run(const std::vector<std::string> &tables);

private:
    bool Converting() const { return m_source != m_target; }
    bool KeysInTables() const { return m_target == ScriptEngine::Sqlite; }
    // The comment for what the target does not get.
    void LeaveOut(const CTableSchema &table, const std::string &what, const std::string &text);
    std::string Table(const CTableSchema &table);
    std::string ColumnLine(const CTableSchema &table, const CSchemaColumn &column);
    std::vector<std::string> ConstraintLines(const CTableSchema &table);
    std::string Indexes(const CTableSchema &table);
    std::string ForeignKey(const CStoredForeignKey &key) const;
    std::string AddedForeignKeys(const CTableSchema &table);
    std::string Triggers(const CTableSchema &table);
    // SQLite keeps a parent's name as the key wrote it, in any letter case;
    // PostgreSQL needs the table's own spelling.
    std::string ParentName(const std::string &written) const;

    const CSchemaModel &m_model;
    ScriptEngine m_source;
    ScriptEngine m_target;
    std::string m_comments;
};

void CWriter::LeaveOut(const CTableSchema &table, const std::string &what, const std::string &text)
{
    m_comments += "-- " + QuoteIdentifier(table.m_name) + (what.empty() ? "" : "." + QuoteIdentifier(what))
                  + ": not carried over to " + EngineName(m_target) + ":\n" + Commented(text);
}

std::string CWriter::ParentName(const std::string &written) const
{
    if (m_model.FindTable(written) || m_source != ScriptEngine::Sqlite)
        return written;
    const std::string lower = SqlText::ToLower(written);
    for (const std::string &name : m_model.TableNames())
        if (SqlText::ToLower(name) == lower)
            return name;
    return written;
}

const CStoredColumn *StoredColumn(const CTableSchema &table, const std::string &name)
{
    for (const CStoredColumn &column : table.m_definitions.m_columns)
        if (column.m_name == name)
            return &column;
    return nullptr;
}

std::string CWriter::ColumnLine(const CTableSchema &table, const CSchemaColumn &column)
{
    const CStoredColumn *stored = StoredColumn(table, column.m_name);
    const std::string type = TypeConversion::ConvertType(stored ? stored->m_type : column.m_facts.m_typeName,
                                                         m_source, m_target);
    std::string line = kIndent + QuoteIdentifier(column.m_name) + (type.empty() ? "" : " " + type);
    if (column.m_facts.m_nullable == "0")
        line += " NOT NULL";
    const std::string &written = stored ? stored->m_default : column.m_default;
    std::string value;
    if (!written.empty()) {
        if (TypeConversion::ConvertDefault(written, type, m_source, m_target, value))
            line += DefaultClause(value, m_target);
        else
            LeaveOut(table, column.m_name, "DEFAULT " + written);
    }
    const CTableDefinitions &definitions = table.m_definitions;
    const std::vector<std::string> &key = table.m_primaryKey;
    if (definitions.m_keyOnColumn && key.size() == 1 && key.front() == column.m_name) {
        line += " PRIMARY KEY";
        if (definitions.m_autoIncrement && m_target == ScriptEngine::Sqlite)
            line += " AUTOINCREMENT";
        else if (definitions.m_autoIncrement)
            LeaveOut(table, column.m_name, "AUTOINCREMENT");
    }
    for (const std::string &clause : stored ? stored->m_clauses : std::vector<std::string>()) {
        if (!Converting() || IsUnique(clause) || IsPortableCheck(clause, table))
            line += " " + InCapitals(clause);
        else
            LeaveOut(table, column.m_name, InCapitals(clause));
    }
    return line;
}

std::vector<std::string> CWriter::ConstraintLines(const CTableSchema &table)
{
    std::vector<std::string> lines;
    if (!table.m_primaryKey.empty() && !table.m_definitions.m_keyOnColumn)
        lines.push_back(kIndent + std::string("PRIMARY KEY (") + NameList(table.m_primaryKey) + ")");
    for (const std::string &constraint : table.m_definitions.m_constraints) {
        if (!Converting() || IsUnique(constraint) || IsPortableCheck(constraint, table))
            lines.push_back(kIndent + InCapitals(constraint));
        else
            LeaveOut(table, "", InCapitals(constraint));
    }
    if (KeysInTables())
        for (const CStoredForeignKey &key : table.m_definitions.m_foreignKeys) {
            std::string line = kIndent + ForeignKey(key);
            // A long key goes on under its own columns, as one would wrap it.
            if (line.size() > kLineLength)
                line.replace(line.find(" REFERENCES "), 1, std::string("\n") + kIndent + kIndent);
            lines.push_back(line);
        }
    return lines;
}

std::string CWriter::ForeignKey(const CStoredForeignKey &key) const
{
    std::string clause = key.m_name.empty() ? "" : "CONSTRAINT " + QuoteIdentifier(key.m_name) + " ";
    clause += "FOREIGN KEY (" + NameList(key.m_columns) + ") REFERENCES "
              + QuoteIdentifier(ParentName(key.m_parentTable));
    if (!key.m_parentColumns.empty())
        clause += " (" + NameList(key.m_parentColumns) + ")";
    if (!key.m_deleteRule.empty())
        clause += " ON DELETE " + key.m_deleteRule;
    if (!key.m_updateRule.empty())
        clause += " ON UPDATE " + key.m_updateRule;
    return clause;
}

std::string CWriter::Table(const CTableSchema &table)
{
    m_comments.clear();
    std::vector<std::string> lines;
    for (const CSchemaColumn &column : table.m_columns)
        lines.push_back(ColumnLine(table, column));
    for (std::string &line : ConstraintLines(table))
        lines.push_back(std::move(line));
    std::string statement = "CREATE TABLE " + QuoteIdentifier(table.m_name) + " (\n";
    for (size_t i = 0; i < lines.size(); ++i)
        statement += lines[i] + (i + 1 < lines.size() ? ",\n" : "\n");
    statement += ")";
    if (table.m_definitions.m_withoutRowid && m_target == ScriptEngine::Sqlite)
        statement += " WITHOUT ROWID";
    else if (table.m_definitions.m_withoutRowid)
        LeaveOut(table, "", "WITHOUT ROWID");
    statement += ";\n";
    const std::string indexes = Indexes(table);
    return m_comments + statement + indexes;
}

std::string CWriter::Indexes(const CTableSchema &table)
{
    std::string text;
    for (const CStoredIndex &index : table.m_definitions.m_indexes) {
        std::string statement = index.m_statement;
        if (statement.empty()) {
            statement = std::string("CREATE ") + (index.m_unique ? "UNIQUE " : "") + "INDEX "
                        + QuoteIdentifier(index.m_name) + " ON " + QuoteIdentifier(table.m_name) + " (";
            for (size_t i = 0; i < index.m_segments.size(); ++i)
                statement += (i ? ", " : "") + QuoteIdentifier(index.m_segments[i].m_column)
                             + (index.m_segments[i].m_descending ? " DESC" : "");
            statement += ")";
            if (!index.m_condition.empty())
                statement += " WHERE " + index.m_condition;
        }
        // An expression or a condition is written in the source's SQL.
        if (Converting() && (!index.m_statement.empty() || !index.m_condition.empty()))
            text += "-- " + QuoteIdentifier(index.m_name) + ": in " + EngineName(m_source)
                    + "'s SQL, not carried over:\n" + Commented(statement);
        else
            text += statement + ";\n";
    }
    return text;
}

std::string CWriter::AddedForeignKeys(const CTableSchema &table)
{
    std::string text;
    for (const CStoredForeignKey &key : table.m_definitions.m_foreignKeys) {
        std::string clause = ForeignKey(key);
        // One line for the key's own columns, one for what it references.
        const size_t references = clause.find(" REFERENCES ");
        clause.replace(references, 1, std::string("\n") + kIndent);
        text += "ALTER TABLE " + QuoteIdentifier(table.m_name) + " ADD " + clause + ";\n";
    }
    return text;
}

std::string CWriter::Triggers(const CTableSchema &table)
{
    std::string text;
    for (const CStoredTrigger &trigger : table.m_definitions.m_triggers) {
        std::string statement = trigger.m_function.empty() ? "" : trigger.m_function + ";\n";
        statement += trigger.m_statement + ";\n";
        if (Converting())
            statement = "-- The trigger " + QuoteIdentifier(trigger.m_name) + " on "
                        + QuoteIdentifier(table.m_name) + " is written in " + EngineName(m_source)
                        + "'s SQL and is not carried over:\n" + Commented(statement);
        text += (text.empty() ? "" : "\n") + statement;
    }
    return text;
}

std::string CWriter::Run(const std::vector<std::string> &names)
{
    std::vector<const CTableSchema *> tables;
    for (const std::string &name : names)
        if (const CTableSchema *table = m_model.FindTable(name))
            tables.push_back(table);
    std::string script = "-- " + std::to_string(tables.size()) + (tables.size() == 1 ? " table" : " tables")
                         + " for " + EngineName(m_target);
    script += Converting() ? std::string(", converted from ") + EngineName(m_source) + ".\n" : ".\n";
    for (const CTableSchema *table : tables)
        script += "\n" + Table(*table);
    std::string keys;
    if (!KeysInTables())
        for (const CTableSchema *table : tables)
            keys += AddedForeignKeys(*table);
    if (!keys.empty())
        script += "\n" + keys;
    for (const CTableSchema *table : tables) {
        const std::string triggers = Triggers(*table);
        if (!triggers.empty())
            script += "\n" + triggers;
    }
    return script;
}

} // namespace

std::string Write(const CSchemaModel &model, const std::vector<std::string> &tables, ScriptEngine source,
                  ScriptEngine target)
{
    return CWriter(model, source, target).Run(tables);
}

bool EngineOf(const CDbSession &session, ScriptEngine &engine)
{
    const std::string &name = session.GetDbmsName();
    if (name == "SQLite")
        engine = ScriptEngine::Sqlite;
    else if (name == "PostgreSQL")
        engine = ScriptEngine::Postgres;
    else
        return false;
    return true;
}

namespace {

std::string OneLine(std::string text)
{
    for (char &c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    SqlText::TrimRight(text);
    return text;
}

int LoadTables(CDbSession &session, const std::vector<std::string> &names, CSchemaModel &model)
{
    for (const std::string &name : names) {
        CTableSchema table;
        int result = SchemaLoader::LoadTable(session, name, table);
        if (result >= 0)
            result = SchemaLoader::LoadDefinitions(session, table);
        if (result < 0)
            return result;
        model.PutTable(std::move(table));
    }
    return 0;
}

} // namespace

bool Export(CDbSession &session, std::vector<std::string> tables, const ScriptEngine *target,
            std::string &script, std::string &error)
{
    ScriptEngine source = ScriptEngine::Sqlite;
    if (!EngineOf(session, source)) {
        error = "a schema script cannot be written for " + session.GetDbmsName()
                + ": only SQLite's and PostgreSQL's definitions can be read";
        return false;
    }
    int result = tables.empty() ? SchemaLoader::ListUserTables(session, tables) : 0;
    CSchemaModel model;
    if (result >= 0)
        result = LoadTables(session, tables, model);
    if (result < 0) {
        error = OneLine(session.GetErrorText(result));
        return false;
    }
    if (tables.empty())
        return false;
    script = Write(model, tables, source, target ? *target : source);
    return true;
}

} // namespace SchemaScript

#include "db/Dialect.h"

#include "db/ColumnCheck.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "db/SqlText.h"
#include "db/TableAlteration.h"

using SqlText::QuoteIdentifier;

namespace {

// Calls the dialect's renderer for the kind of change held.
template <class... Kinds>
struct Dispatch : Kinds...
{
    using Kinds::operator()...;
};
template <class... Kinds>
Dispatch(Kinds...) -> Dispatch<Kinds...>;

} // namespace

std::string CDialect::MissingFeatureText(Feature feature) const
{
    switch (feature) {
    case Feature::ModifiableIndex: return EngineName() + " has no modifiable indexes.";
    case Feature::NotNullIndex: return EngineName() + " has no Not Null option for indexes.";
    case Feature::TriggerFiringOrder: return EngineName() + " has no firing order for triggers.";
    case Feature::TriggerCondition: return EngineName() + " has no row condition for triggers.";
    case Feature::DeleteRule: return EngineName() + " has no delete rules for foreign keys.";
    }
    return std::string();
}

CRendering CDialect::CheckDefaults(const CSchemaChange &change) const
{
    const std::vector<CColumnDef> *columns = nullptr;
    std::vector<CColumnDef> altered;
    if (const auto *create = std::get_if<CCreateTable>(&change)) {
        columns = &create->m_columns;
    } else if (const auto *add = std::get_if<CAddColumns>(&change)) {
        columns = &add->m_columns;
    } else if (const auto *alter = std::get_if<CAlterTable>(&change)) {
        for (const CAlteredColumn &column : alter->m_columns)
            altered.push_back(column.m_column);
        columns = &altered;
    }
    const std::string refused = columns ? ColumnCheck::CheckDefaults(*columns, Syntax()) : std::string();
    return refused.empty() ? CRendering() : Refusal(refused);
}

CRendering CDialect::CheckFeatures(const CSchemaChange &change) const
{
    // What replaces an index or a trigger asks for what creating it asks.
    if (const auto *index = std::get_if<CReplaceIndex>(&change))
        return CheckFeatures(index->m_new);
    if (const auto *trigger = std::get_if<CReplaceTrigger>(&change))
        return CheckFeatures(trigger->m_new);
    std::vector<Feature> asked;
    if (const auto *index = std::get_if<CCreateIndex>(&change)) {
        if (index->m_modifiable)
            asked.push_back(Feature::ModifiableIndex);
        if (index->m_notNull)
            asked.push_back(Feature::NotNullIndex);
    } else if (const auto *trigger = std::get_if<CCreateTrigger>(&change)) {
        if (!trigger->m_firingOrder.empty())
            asked.push_back(Feature::TriggerFiringOrder);
        if (!trigger->m_condition.empty())
            asked.push_back(Feature::TriggerCondition);
    } else if (const auto *key = std::get_if<CAddForeignKey>(&change)) {
        if (key->m_deleteRule != DeleteRule::None)
            asked.push_back(Feature::DeleteRule);
    }
    for (Feature feature : asked)
        if (!HasFeature(feature))
            return Refusal(MissingFeatureText(feature));
    return CRendering();
}

CRendering CDialect::Render(const CSchemaChange &change) const
{
    CRendering refused = CheckFeatures(change);
    if (refused.m_result >= 0)
        refused = CheckDefaults(change);
    if (refused.m_result < 0)
        return refused;
    return std::visit(Dispatch{
                          [this](const CCreateTable &c) { return CreateTable(c); },
                          [this](const CAddColumns &c) { return AddColumns(c); },
                          [this](const CDropColumns &c) { return DropColumns(c); },
                          [this](const CDropIndex &c) { return DropIndex(c); },
                          [this](const CDropTrigger &c) { return DropTrigger(c); },
                          [this](const CDropTable &c) { return DropTable(c); },
                          [this](const CDropRelationship &c) { return DropRelationship(c); },
                          [this](const CCreateIndex &c) { return CreateIndex(c); },
                          [this](const CCreateTrigger &c) { return CreateTrigger(c); },
                          [this](const CAddForeignKey &c) { return AddForeignKey(c); },
                          [this](const CAlterTable &c) { return AlterTable(c); },
                          [this](const CReplaceIndex &c) { return ReplaceIndex(c); },
                          [this](const CReplaceTrigger &c) { return ReplaceTrigger(c); },
                      },
                      change);
}

CRendering CDialect::AlterTable(const CAlterTable &) const
{
    return Refusal("Editing an existing table is not supported for " + EngineName()
                   + ": its statements for it cannot be checked here. Nothing was changed.");
}

namespace {

// Two renderings run one after the other, or the first refusal.
CRendering Joined(CRendering first, const CRendering &second)
{
    if (first.m_result < 0)
        return first;
    if (second.m_result < 0)
        return second;
    first.m_statements.insert(first.m_statements.end(), second.m_statements.begin(),
                              second.m_statements.end());
    return first;
}

} // namespace

CRendering CDialect::ReplaceIndex(const CReplaceIndex &change) const
{
    return Joined(DropIndex(change.m_old), CreateIndex(change.m_new));
}

CRendering CDialect::ReplaceTrigger(const CReplaceTrigger &change) const
{
    return Joined(DropTrigger(change.m_old), CreateTrigger(change.m_new));
}

int CDialect::Apply(CDbSession &session, const CSchemaChange &change) const
{
    const CRendering rendering = Render(change);
    if (rendering.m_result < 0)
        return Refuse(session, rendering);
    return RunStatements(session, rendering.m_statements);
}

int CDialect::RunStatements(CDbSession &session, const std::vector<std::string> &statements)
{
    if (statements.empty())
        return DbResult::kOk;
    if (statements.size() == 1) {
        const int result = session.Execute(statements.front());
        if (result >= 0)
            session.CloseStatement();
        return result;
    }
    CDbTransaction transaction(session);
    int result = transaction.Begin();
    for (const std::string &statement : statements) {
        if (result < 0)
            break;
        result = session.Execute(statement);
        if (result >= 0)
            session.CloseStatement();
    }
    if (result < 0) {
        // The rollback must not replace the engine's reason for the failure.
        const std::string reason = session.m_lastError;
        transaction.Rollback();
        session.m_lastError = reason;
        return result;
    }
    return transaction.Commit();
}

int CDialect::Refuse(CDbSession &session, const CRendering &rendering)
{
    session.m_lastError = rendering.m_message;
    return rendering.m_result;
}

CRendering CDialect::Statement(std::string statement)
{
    CRendering rendering;
    rendering.m_statements.push_back(std::move(statement));
    return rendering;
}

CRendering CDialect::Refusal(std::string message)
{
    CRendering rendering;
    rendering.m_result = DbResult::kErrorWithoutNativeCode;
    rendering.m_message = std::move(message);
    return rendering;
}

std::string CDialect::ColumnDefinition(const CColumnDef &column) const
{
    std::string text = QuoteIdentifier(column.m_name) + " " + ColumnTypeText(column);
    // DEFAULT comes before the collation although the grid shows Collate
    // first.
    if (!column.m_default.empty())
        text += " DEFAULT " + column.m_default;
    if (!column.m_collation.empty())
        text += CollationClause(column.m_collation);
    if (column.m_nullMark == "1")
        text += " not null";
    return text;
}

std::string CDialect::CreateTableStatement(const CCreateTable &change) const
{
    std::string text = "CREATE TABLE " + QuoteIdentifier(change.m_table) + " (";
    for (size_t i = 0; i < change.m_columns.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += ColumnDefinition(change.m_columns[i]);
    }
    // Without a key the statement is the one every engine sent before keys
    // could be declared.
    if (!change.m_primaryKey.empty())
        text += ", PRIMARY KEY (" + IdentifierList(change.m_primaryKey) + ")";
    return text + ")";
}

std::string CDialect::IdentifierList(const std::vector<std::string> &names)
{
    std::string list;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            list += ", ";
        list += QuoteIdentifier(names[i]);
    }
    return list;
}

std::string CDialect::IndexStatement(const CCreateIndex &change)
{
    std::string text = "CREATE";
    if (change.m_unique)
        text += " UNIQUE";
    if (change.m_modifiable)
        text += " MODIFIABLE";
    if (change.m_notNull)
        text += " NOT NULL";
    text += " INDEX " + QuoteIdentifier(change.m_name) + " ON " + QuoteIdentifier(change.m_table)
            + " (";
    for (size_t i = 0; i < change.m_segments.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += QuoteIdentifier(change.m_segments[i].m_column);
        if (change.m_segments[i].m_descending)
            text += " DESC";
    }
    return text + ")";
}

std::string CDialect::TriggerHead(const CCreateTrigger &change)
{
    std::string text = "CREATE TRIGGER " + QuoteIdentifier(change.m_name) + " ";
    text += change.m_timing == TriggerTiming::Before ? "BEFORE " : "AFTER ";
    switch (change.m_event) {
    case TriggerEvent::Insert: text += "INSERT"; break;
    case TriggerEvent::Update: text += "UPDATE"; break;
    case TriggerEvent::Delete: text += "DELETE"; break;
    }
    return text + " ON " + QuoteIdentifier(change.m_table) + " ";
}

std::string CDialect::ForeignKeyClause(const CAddForeignKey &change)
{
    std::string text = "FOREIGN KEY (" + IdentifierList(change.m_columns) + ") REFERENCES "
                       + QuoteIdentifier(change.m_referencedTable) + " ("
                       + IdentifierList(change.m_referencedColumns) + ")";
    if (change.m_deleteRule == DeleteRule::Cascade)
        text += " ON DELETE CASCADE";
    else if (change.m_deleteRule == DeleteRule::Restrict)
        text += " ON DELETE RESTRICT";
    return text;
}

const CDialect *SessionDialect(const CDbSession &session)
{
    const CDbmsAdapter *adapter = session.GetAdapter();
    return adapter ? &adapter->GetDialect() : nullptr;
}

int ApplySchemaChange(CDbSession &session, const CSchemaChange &change)
{
    const CDialect *dialect = SessionDialect(session);
    if (!dialect) {
        session.m_lastError = "There is no connection to a database.";
        return DbResult::kErrorWithoutNativeCode;
    }
    return dialect->Apply(session, change);
}

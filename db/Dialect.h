#pragma once

#include "db/SchemaChange.h"
#include "db/SqlFragment.h"

#include <string>
#include <vector>

class CDbSession;

// The statements one change needs on one engine, or why the engine cannot
// make it.
struct CRendering
{
    int m_result = 0;        // negative when refused; m_message says why
    // When not refused, a note the user confirms before anything is sent
    // (an engine that cannot roll the statements back says so); mostly empty.
    std::string m_message;
    std::vector<std::string> m_statements;
};

// One engine's way of writing schema changes. Every design action reaches
// the database the same way:
//
//   dialog / table window   checks its input, composes a CSchemaChange
//     -> ApplySchemaChange(session, change)
//          the connected adapter's dialect renders the change into its
//          engine's statements and runs them: one alone, several in one
//          transaction that is rolled back when any of them fails
//     <- result code; GetErrorText gives the engine's own message or the
//        dialect's refusal
//   dialog / table window   updates its table windows, or shows the error
//
// A dialog asks HasFeature before it offers an option that not every
// engine has. An option the engine lacks is refused with a message before
// anything is sent; it is never dropped from the statement.
class CDialect
{
public:
    enum class Feature { ModifiableIndex, NotNullIndex, TriggerFiringOrder, TriggerCondition, DeleteRule };

    virtual ~CDialect() = default;

    // The engine's name as users know it, for messages.
    virtual std::string EngineName() const = 0;
    virtual bool HasFeature(Feature feature) const = 0;
    // The sentence that explains a missing feature, as a refusal or as the
    // tooltip of a disabled option: "SQLite has no modifiable indexes."
    std::string MissingFeatureText(Feature feature) const;

    CRendering Render(const CSchemaChange &change) const;
    // Renders and runs the change. On failure nothing of it remains and the
    // session's GetErrorText of the result explains it.
    virtual int Apply(CDbSession &session, const CSchemaChange &change) const;

protected:
    virtual CRendering CreateTable(const CCreateTable &change) const = 0;
    virtual CRendering AddColumns(const CAddColumns &change) const = 0;
    virtual CRendering DropColumns(const CDropColumns &change) const = 0;
    virtual CRendering DropIndex(const CDropIndex &change) const = 0;
    virtual CRendering DropTrigger(const CDropTrigger &change) const = 0;
    virtual CRendering DropTable(const CDropTable &change) const = 0;
    virtual CRendering DropRelationship(const CDropRelationship &change) const = 0;
    virtual CRendering CreateIndex(const CCreateIndex &change) const = 0;
    virtual CRendering CreateTrigger(const CCreateTrigger &change) const = 0;
    virtual CRendering AddForeignKey(const CAddForeignKey &change) const = 0;
    // An engine whose statements for editing a table are not known here
    // refuses it, naming the engine.
    virtual CRendering AlterTable(const CAlterTable &change) const;
    // The old one's drop and the new one's creation, in one transaction.
    // An engine that can do both in one statement says so here.
    virtual CRendering ReplaceIndex(const CReplaceIndex &change) const;
    virtual CRendering ReplaceTrigger(const CReplaceTrigger &change) const;

    // The clause a collation name becomes in a column definition.
    virtual std::string CollationClause(const std::string &collation) const = 0;

    // The quoting and comment rules that typed defaults are read with.
    virtual SqlSyntax Syntax() const = 0;

    // A refusal when the change asks for an option the engine lacks.
    CRendering CheckFeatures(const CSchemaChange &change) const;
    // A refusal when a typed default of the change is more than one
    // expression of the engine's SQL.
    CRendering CheckDefaults(const CSchemaChange &change) const;
    // Runs the statements: one alone, several in one transaction. On
    // failure the engine's message stays for GetErrorText.
    static int RunStatements(CDbSession &session, const std::vector<std::string> &statements);
    static int Refuse(CDbSession &session, const CRendering &rendering);

    static CRendering Statement(std::string statement);
    static CRendering Refusal(std::string message);

    // Pieces the engines share. Every identifier is quoted by
    // SqlText::QuoteIdentifier.
    // "name" type[(size[,dec])][ DEFAULT value][collation][ not null]
    std::string ColumnDefinition(const CColumnDef &column) const;
    // CREATE TABLE "T" (definition, definition)
    std::string CreateTableStatement(const CCreateTable &change) const;
    // "a", "b"
    static std::string IdentifierList(const std::vector<std::string> &names);
    // CREATE[ UNIQUE][ MODIFIABLE][ NOT NULL] INDEX "ix" ON "T" ("a", "b" DESC)
    static std::string IndexStatement(const CCreateIndex &change);
    // CREATE TRIGGER "tr" BEFORE INSERT ON "T" (with a trailing blank)
    static std::string TriggerHead(const CCreateTrigger &change);
    // FOREIGN KEY ("x") REFERENCES "B" ("p")[ ON DELETE CASCADE|RESTRICT]
    static std::string ForeignKeyClause(const CAddForeignKey &change);
};

// The dialect of the session's engine; null while it is not connected.
const CDialect *SessionDialect(const CDbSession &session);

// Applies the change through the dialect of the session's engine.
int ApplySchemaChange(CDbSession &session, const CSchemaChange &change);

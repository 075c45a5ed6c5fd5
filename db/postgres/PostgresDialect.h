#pragma once

#include "db/Dialect.h"
#include "db/SqlFragment.h"

// PostgreSQL's statements. Every change is one statement, except a
// trigger: PostgreSQL runs a trigger body as a function, so a trigger
// becomes a PL/pgSQL function holding the body, a comment that marks the
// function as the trigger's own, and the trigger that executes it, all in
// one transaction. Dropping such a trigger, or its table, drops the marked
// function too, unless some other trigger still executes it.
//
// The trigger body:
//  - a body that is already a PL/pgSQL block (BEGIN ... END or DECLARE ...
//    BEGIN ... END) is the function body as it stands; it returns the row
//    itself;
//  - any other body is one or more statements separated by semicolons; it
//    is wrapped in BEGIN ... END followed by the return a row trigger
//    needs: NEW before an insert or update (the row goes on as the
//    statements left it), OLD before a delete (the delete goes on), NULL
//    after any event (the value is ignored).
// Inside the body the row is NEW and OLD, as in the condition, which
// becomes the trigger's WHEN clause. PostgreSQL fires the triggers of one
// event in the order of their names, so a firing order is refused, as are
// modifiable and not-null indexes, which it does not have.
//
// PostgreSQL cuts a name longer than 63 bytes short with only a notice;
// such names are refused before anything is sent, so that no object ends
// up under a name nobody typed.
class CPostgresDialect : public CDialect
{
public:
    std::string EngineName() const override { return "PostgreSQL"; }
    SqlSyntax Syntax() const override { return SqlSyntax::Postgres; }
    bool HasFeature(Feature feature) const override;
    int Apply(CDbSession &session, const CSchemaChange &change) const override;

    // The longest name PostgreSQL keeps whole, in bytes.
    static constexpr size_t kMaxNameBytes = 63;
    // The comment that marks a function as the body of one trigger.
    static const char *const kTriggerFunctionComment;
    // The name of the function that holds the body of trigger R on table T:
    // T_R_n, n the length of T in bytes, so that no two pairs share it; when
    // that is too long, T_R cut short and a hash of the pair. Dropping finds
    // the function from the trigger in the catalog, whatever its name.
    static std::string TriggerFunctionName(const std::string &table, const std::string &trigger);
    // The functions that dropping the trigger (or, when the trigger is
    // empty, every trigger of the table) leaves unused: those marked as
    // trigger bodies that no other trigger executes.
    static std::string UnusedFunctionQuery(const std::string &table, const std::string &trigger);

protected:
    CRendering CreateTable(const CCreateTable &change) const override;
    CRendering AddColumns(const CAddColumns &change) const override;
    CRendering DropColumns(const CDropColumns &change) const override;
    CRendering DropIndex(const CDropIndex &change) const override;
    CRendering DropTrigger(const CDropTrigger &change) const override;
    CRendering DropTable(const CDropTable &change) const override;
    CRendering DropRelationship(const CDropRelationship &change) const override;
    CRendering CreateIndex(const CCreateIndex &change) const override;
    CRendering CreateTrigger(const CCreateTrigger &change) const override;
    CRendering AddForeignKey(const CAddForeignKey &change) const override;
    // The edit in statements of their own, renames first and the table's
    // own rename last, so that every statement between names the table and
    // its columns as they are by then. The key is dropped by the name the
    // server gives a key by default; Apply asks the catalog for the real one.
    CRendering AlterTable(const CAlterTable &change) const override;
    std::string CollationClause(const std::string &collation) const override;

private:
    static CRendering CheckNameLengths(const CSchemaChange &change);
    static std::string FunctionBody(const CCreateTrigger &change, const SqlFragment::CBody &body);
    int ApplyWithCollations(CDbSession &session, const CSchemaChange &change,
                            const std::vector<CColumnDef> &columns) const;
    static int CheckCollation(CDbSession &session, const CColumnDef &column);
    CRendering AlterStatements(const CAlterTable &change, const std::string &keyName) const;
    int ApplyAlterTable(CDbSession &session, const CAlterTable &change) const;
    int CheckTriggerBodies(CDbSession &session, const CAlterTable &change) const;
    int ApplyDroppingFunctions(CDbSession &session, const CSchemaChange &change,
                               const std::string &table, const std::string &trigger,
                               size_t dropStatements = static_cast<size_t>(-1)) const;
};

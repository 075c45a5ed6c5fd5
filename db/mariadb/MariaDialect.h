#pragma once

#include "db/Dialect.h"

#include <map>

// MariaDB's (and MySQL's) statements.
//
// Identifiers are quoted with double quotes: the adapter adds ANSI_QUOTES
// to the session's sql_mode, so that one quoting rule holds for every
// statement the program sends, the shared row counts and checks included.
// String literals are therefore in single quotes only, which is how typed
// defaults are read (Syntax); on top of that a default may hold no comment
// ('#' ends a line here too) and no backslash inside a string, which
// MariaDB reads as an escape where the other engines see a character.
//
// MariaDB commits every DDL statement on its own: a change of several
// statements cannot be rolled back. So each change is one statement where
// the engine allows it: several columns are one ALTER TABLE with a clause
// each, Edit Table is one ALTER TABLE (renames, retyping, added and
// dropped columns, the key and the table's own rename together), an edited
// index is dropped and added in one ALTER TABLE, and an edited trigger that
// keeps its name is one CREATE OR REPLACE TRIGGER. Only a trigger that is
// renamed while it is edited takes two statements; the rendering then
// carries a note (CRendering::m_message) that the dialog shows before
// anything is sent, and a failure of the second statement says what stayed.
//
// A rename that a trigger body or a view names is refused: MariaDB leaves
// them as they are. An edited table is altered in strict mode whatever the session's mode,
// so that values that do not fit make the server refuse the edit instead
// of being cut short. Tables are InnoDB so that their foreign keys hold. A trigger body becomes
// a BEGIN ... END block. MariaDB has no modifiable or not-null indexes and
// no row condition for triggers. Its firing order names another trigger
// (FOLLOWS / PRECEDES) where the dialog asks for a number, so that option
// is refused too. Names longer than 64 characters, which the server would
// refuse only after reading the whole statement, are refused before
// anything is sent.
class CMariaDialect : public CDialect
{
public:
    std::string EngineName() const override { return "MariaDB"; }
    SqlSyntax Syntax() const override { return SqlSyntax::Standard; }
    bool HasFeature(Feature feature) const override;
    int Apply(CDbSession &session, const CSchemaChange &change) const override;

    // The longest name MariaDB keeps, in characters.
    static constexpr size_t kMaxNameCharacters = 64;

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
    // One ALTER TABLE whose clauses all name the columns as they were:
    // MariaDB reads them against the table before the statement, so
    // swapped names need no temporary names.
    CRendering AlterTable(const CAlterTable &change) const override;
    CRendering ReplaceIndex(const CReplaceIndex &change) const override;
    CRendering ReplaceTrigger(const CReplaceTrigger &change) const override;
    std::string CollationClause(const std::string &collation) const override;

private:
    static CRendering CheckNames(const CSchemaChange &change);
    static CRendering CheckMariaDefaults(const std::vector<CColumnDef> &columns);
    static int RunOneByOne(CDbSession &session, const CRendering &rendering);
    static int RunStrictly(CDbSession &session, const CRendering &rendering);
    static int CheckTriggerBodies(CDbSession &session, const CAlterTable &change);
    static int ReadKeptAttributes(CDbSession &session, const std::string &table,
                                  std::map<std::string, std::string> &kept);
    // kept: what each restated column (by its old name) keeps after its
    // definition.
    CRendering AlterStatement(const CAlterTable &change, const std::map<std::string, std::string> &kept) const;
};

#pragma once

#include "db/Dialect.h"
#include "db/sqlite/SqliteTableEdit.h"

// SQLite's statements. SQLite alters a table one column at a time, so a
// change of several columns becomes several statements in one transaction.
// It has no modifiable or not-null indexes and no trigger firing order;
// those options are refused. A trigger body becomes a BEGIN ... END block.
//
// Adding or dropping a foreign key cannot be done with ALTER TABLE at all:
// SQLite's way is to rebuild the table from its edited definition
// (SqliteTableRebuild.h). A column drop that DROP COLUMN refuses takes the
// same road.
class CSqliteDialect : public CDialect
{
public:
    std::string EngineName() const override { return "SQLite"; }
    SqlSyntax Syntax() const override { return SqlSyntax::Sqlite; }
    bool HasFeature(Feature feature) const override;
    int Apply(CDbSession &session, const CSchemaChange &change) const override;

    // True when the body already is a BEGIN ... END block (';' and comments
    // may follow its END).
    static bool IsBlock(const std::string &body);

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
    // Renames alone are ALTER TABLE ... RENAME statements; any other edit
    // of a table is made by rebuilding it (Apply).
    CRendering AlterTable(const CAlterTable &change) const override;
    std::string CollationClause(const std::string &collation) const override;

private:
    // SqliteDialectAlter.cpp: the edit of a table, renames by the engine's
    // rename and the rest by one rebuild, in one transaction; a change that
    // would lose or alter stored values is refused before anything is sent.
    int ApplyAlterTable(CDbSession &session, const CAlterTable &change) const;
    CSqliteTableEdit AlterEdit(const CAlterTable &change) const;
    static int DropColumnsByRebuild(CDbSession &session, const CDropColumns &change);
    // A drop SQLite would make but must not: of the rowid key, which is no
    // index, or of a table other tables' keys refer to, which would leave
    // those keys pointing at nothing. The refusal comes before anything is
    // sent; result is negative for a refusal or a failed read.
    static CRendering CheckDrop(CDbSession &session, const CSchemaChange &change);
};

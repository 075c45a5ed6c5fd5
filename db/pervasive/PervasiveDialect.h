#pragma once

#include "db/Dialect.h"

// Pervasive.SQL's statements: the texts the designer has always sent, each
// change as one statement. The design statements are written in upper case,
// the drops in lower case.
class CPervasiveDialect : public CDialect
{
public:
    std::string EngineName() const override { return "Pervasive.SQL"; }
    SqlSyntax Syntax() const override { return SqlSyntax::Standard; }
    bool HasFeature(Feature) const override { return true; }

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
    std::string CollationClause(const std::string &collation) const override;
};

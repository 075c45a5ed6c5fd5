#pragma once

#include "db/Dialect.h"

// MariaDB's (and MySQL's) statements.
class CMariaDialect : public CDialect
{
public:
    std::string EngineName() const override { return "MariaDB"; }
    SqlSyntax Syntax() const override { return SqlSyntax::Standard; }
    bool HasFeature(Feature feature) const override;

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

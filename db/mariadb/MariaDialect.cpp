#include "db/mariadb/MariaDialect.h"

namespace {

CRendering NotYet()
{
    CRendering rendering;
    rendering.m_result = -1;
    rendering.m_message = "MariaDB's statements are not written yet.";
    return rendering;
}

} // namespace

bool CMariaDialect::HasFeature(Feature) const { return false; }

CRendering CMariaDialect::CreateTable(const CCreateTable &) const { return NotYet(); }
CRendering CMariaDialect::AddColumns(const CAddColumns &) const { return NotYet(); }
CRendering CMariaDialect::DropColumns(const CDropColumns &) const { return NotYet(); }
CRendering CMariaDialect::DropIndex(const CDropIndex &) const { return NotYet(); }
CRendering CMariaDialect::DropTrigger(const CDropTrigger &) const { return NotYet(); }
CRendering CMariaDialect::DropTable(const CDropTable &) const { return NotYet(); }
CRendering CMariaDialect::DropRelationship(const CDropRelationship &) const { return NotYet(); }
CRendering CMariaDialect::CreateIndex(const CCreateIndex &) const { return NotYet(); }
CRendering CMariaDialect::CreateTrigger(const CCreateTrigger &) const { return NotYet(); }
CRendering CMariaDialect::AddForeignKey(const CAddForeignKey &) const { return NotYet(); }
std::string CMariaDialect::CollationClause(const std::string &) const { return {}; }

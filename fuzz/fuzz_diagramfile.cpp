// The diagram file reader on any bytes. A diagram file can come from
// anywhere, so reading one must never crash; and what it reads back from a
// file it wrote itself must be what went in.
#include "FuzzCheck.h"
#include "document/DiagramFile.h"
#include "res/Resource.h"

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A document that records what the reader asks of it; its answers fail as
// the bits of `failures` say, so that the reader's early stops are
// explored too.
class CRecordingTarget : public CDiagramTarget
{
public:
    explicit CRecordingTarget(uint8_t failures = 0) : m_failures(failures) {}

    int ConnectWith(const std::string &connectionString) override
    {
        m_connections.push_back(connectionString);
        return (m_failures & 1) ? -1 : 0;
    }
    bool HasTables() const override { return m_loaded || (m_failures & 4); }
    int LoadAllTables() override
    {
        m_loaded = true;
        return (m_failures & 2) ? -2 : 0;
    }
    void SetRecordedPosition(const std::string &table, const QPoint &position) override
    {
        m_tables.push_back({table, position});
    }
    void SetViewMode(int mode) override { m_viewMode = mode; }

    std::vector<std::string> m_connections;
    std::vector<CDiagramEntry> m_tables;
    int m_viewMode = Schema;

private:
    uint8_t m_failures;
    bool m_loaded = false;
};

std::string Describe(const std::vector<CDiagramEntry> &tables)
{
    std::string text;
    for (const CDiagramEntry &entry : tables)
        text += entry.m_name + " @ " + std::to_string(entry.m_position.x()) + ","
                + std::to_string(entry.m_position.y()) + "\n";
    return text;
}

bool SameEntries(const std::vector<CDiagramEntry> &a, const std::vector<CDiagramEntry> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].m_name != b[i].m_name || a[i].m_position != b[i].m_position)
            return false;
    return true;
}

// Writing what a successful read recorded and reading that again gives
// the same tables, positions and view mode.
void CheckRoundTrip(const CRecordingTarget &first)
{
    const QByteArray written = WriteDiagram("Fuzz", first.m_viewMode, first.m_tables);
    CRecordingTarget second;
    Require(ReadDiagram(written, second) == 0, "a written diagram reads back without error");
    Require(second.m_viewMode == first.m_viewMode, "the view mode survives writing and reading");
    Require(SameEntries(second.m_tables, first.m_tables), "the tables survive writing and reading",
            "read:\n" + Describe(first.m_tables) + "read back:\n" + Describe(second.m_tables));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    CRecordingTarget target;
    if (ReadDiagram(content, target) == 0)
        CheckRoundTrip(target);
    for (uint8_t failures = 1; failures < 8; ++failures) {
        CRecordingTarget failing(failures);
        ReadDiagram(content, failing);
    }
    QPoint position;
    ScanPosition(content.toStdString(), position);
    return 0;
}

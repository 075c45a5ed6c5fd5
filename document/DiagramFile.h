#pragma once

#include <QByteArray>
#include <QPoint>

#include <string>
#include <vector>

// What reading a diagram file does to a document. The document implements
// it; the reader itself only parses lines and decides what happens when.
class CDiagramTarget
{
public:
    virtual ~CDiagramTarget() = default;
    // Connects with the whole data-source line as connection string, or,
    // when it is empty, through the data-source prompt.
    virtual int ConnectWith(const std::string &connectionString) = 0;
    virtual bool HasTables() const = 0;
    virtual int LoadAllTables() = 0;
    // Records a table's position; a name without a table is ignored.
    virtual void SetRecordedPosition(const std::string &table, const QPoint &position) = 0;
    virtual void SetViewMode(int mode) = 0;
};

struct CDiagramEntry
{
    std::string m_name;
    QPoint m_position;
};

// The whole file: "DSN=" followed by the data source (its name, possibly
// followed by more of the connection string, see
// ConnectionString::ForDiagramFile), "View=" and one
// "Table=name<TAB>Posn=x,y" line per table, each ending in CR LF.
QByteArray WriteDiagram(const std::string &dataSource, int viewMode,
                        const std::vector<CDiagramEntry> &tables);

// Reads a file into the target and returns the first negative result code
// (the caller reports it), or 0.
int ReadDiagram(const QByteArray &content, CDiagramTarget &target);

// Scans "Posn=%d,%d"; false unless both numbers were read completely.
bool ScanPosition(const std::string &text, QPoint &position);

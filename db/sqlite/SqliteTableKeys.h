#pragma once

#include <string>
#include <vector>

// One index of a SQLite table under the name the table window shows for
// it: the name the ODBC driver's SQLStatistics reports, but for the rowid
// key.
struct CSqliteIndex
{
    std::string m_name;
    bool m_unique = false;
    bool m_partial = false;
    std::vector<std::string> m_columns; // in index order
};

// The keys of one table: its primary key columns and its indexes, used to
// find the indexes at the two ends of a foreign key.
class CSqliteTableKeys
{
public:
    // The driver reports a rowid primary key (a single INTEGER column) as a
    // unique index named kReportedRowidKeyName, ahead of the table's real
    // indexes. No index of that name exists, so the table window shows the
    // key as what it is, under kRowidKeyName, and the drop of it is refused.
    static const char *const kReportedRowidKeyName;
    static const char *const kRowidKeyName;

    // Primary key columns in key order, with the declared type of each.
    void AddPrimaryKeyColumn(const std::string &column, const std::string &declaredType);
    // Indexes in the order pragma index_list gives them.
    void AddIndex(const CSqliteIndex &index);
    void AddColumnToLastIndex(const std::string &column);

    // A foreign key that names no parent columns refers to the primary key.
    const std::vector<std::string> &PrimaryKey() const { return m_primaryKey; }

    // The unique index whose columns are exactly these, preferring one in the
    // same order; failing that, an index that starts with them; empty when
    // there is none.
    std::string ParentIndexFor(const std::vector<std::string> &columns) const;
    // The index whose leading columns are these, preferring the same order
    // and then the fewest columns; empty when there is none.
    std::string ForeignIndexFor(const std::vector<std::string> &columns) const;

    // The indexes as the table window lists them, the rowid key first.
    std::vector<CSqliteIndex> Indexes() const;

private:
    std::vector<std::string> m_primaryKey;
    std::vector<std::string> m_primaryKeyTypes;
    std::vector<CSqliteIndex> m_indexes;
};

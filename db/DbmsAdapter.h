#pragma once

#include "db/CatalogTables.h"

#include <memory>
#include <string>
#include <vector>

class CDbSession;
struct CCreateIndex;
struct CCreateTrigger;
struct CDbRelationship;
struct CTableDefinitions;
class CDialect;

// What the program knows of one engine's dictionary beyond the ODBC
// catalogue: the foreign-key relationships with the names of the indexes
// they join, the engine's further data types, and a table's triggers.
// Chosen by exact DBMS name at connect time.
class CDbmsAdapter
{
public:
    virtual ~CDbmsAdapter() = default;

    // The DBMS name exactly as SQLGetInfo(SQL_DBMS_NAME) reports it.
    virtual std::string GetDbmsName() const = 0;
    // Appends the engine's relationships to the list. On failure the
    // statement is closed and the list may hold part of them.
    virtual int LoadRelationships(CDbSession &session,
                                  std::vector<CDbRelationship> &relationships) = 0;
    // Appends the engine's further data types to the session's type list.
    virtual int AddExtraTypes(CDbSession &session) = 0;
    // Appends the names of the table's triggers. End of rows is success.
    virtual int LoadTriggerNames(CDbSession &session, const std::string &table,
                                 std::vector<std::string> &names) = 0;
    // True when ReadCatalogTables reads every table with a few queries over
    // the whole catalog. The model is then loaded that way rather than with
    // the catalog functions table by table, which some drivers answer by
    // searching the whole catalog for each table.
    virtual bool ReadsCatalogInBulk() const { return false; }
    // True when the bulk read reports what this session's catalog functions
    // would: a driver's connection options may change their reports in ways
    // the bulk read does not follow. The model is then read table by table.
    virtual bool BulkReadMatches(const CDbSession &) const { return true; }
    // The named tables (as ListTables names them), one entry each in the
    // same order, with what SQLColumns, SQLStatistics, SQLPrimaryKeys and
    // LoadTriggerNames would report of each, value for value; a name the
    // catalog does not have gets an empty entry, as those calls give none.
    // Progress is reported as the rows come; when it answers false the read
    // stops with DbResult::kCancelled. Closes its statements. Refused by an
    // engine without the bulk read.
    virtual int ReadCatalogTables(CDbSession &session, const std::vector<std::string> &names,
                                  std::vector<CCatalogTable> &tables,
                                  const CCatalogProgress &progress);
    // True when the driver's SQLColumns takes the table name without regard
    // to letter case, so that it also lists the columns of a table whose
    // name differs from the asked one only in case ("Orders" and "ORDERS",
    // two tables on an engine that tells them apart); the loader then keeps
    // only the rows of exactly the asked name.
    virtual bool ColumnsMatchNamesWithoutCase() const { return false; }
    // True when the driver's SQLPrimaryKeys misreports keys (their order,
    // or a key where the table has none) and ReadPrimaryKey reads the key
    // in its place.
    virtual bool ReadsPrimaryKeys() const { return false; }
    // The table's primary key, its columns in key order; none for a table
    // without one. Refused by an engine that leaves it to SQLPrimaryKeys.
    virtual int ReadPrimaryKey(CDbSession &session, const std::string &table,
                               std::vector<std::string> &columns);
    // True when the catalog's TYPE_NAME is the type as the table declared
    // it, size included (varchar(40), numeric(10,2)); the column rows then
    // show it as it stands instead of adding a size from the catalog.
    virtual bool ReportsDeclaredTypes() const { return false; }
    // How the engine's schema changes are written (Dialect.h).
    virtual const CDialect &GetDialect() const = 0;

    // True for a table the engine keeps for itself, which the catalog lists
    // among the user's tables but the diagram does not show.
    virtual bool IsInternalTable(const std::string &) const { return false; }
    // The name the table window shows for an index as SQLStatistics reports
    // it; a driver may report a key that is no index under a made-up name.
    virtual std::string ShownIndexName(const std::string &reported) const { return reported; }

    // What a drop takes with it beyond what the user named, for the question
    // put before it. Each read closes its statement, also after a failure.
    // The number of rows of the table.
    virtual int CountRows(CDbSession &session, const std::string &table, std::string &count);
    // The indexes (as the table window names them) and the foreign keys (as
    // the relationship list names them) of the table that dropping these
    // columns drops too. By default the indexes come from SQLStatistics and
    // no keys are found.
    virtual int ReadColumnDropEffects(CDbSession &session, const std::string &table,
                                      const std::vector<std::string> &columns,
                                      std::vector<std::string> &indexes, std::vector<std::string> &keys);

    // An index or a trigger of the table as the catalog holds it, so that
    // the user can edit it and have it replaced: the index with its
    // segments and their direction, the trigger with its timing, event,
    // condition and body. A definition the dialogs cannot show whole (an
    // expression, a partial index, a trigger on some columns only) is
    // refused rather than shown in part, so that a replacement never loses
    // what the user did not see. By default the engine cannot read them:
    // a refusal whose message names the engine (the session's last error).
    virtual int ReadIndexDefinition(CDbSession &session, const std::string &table,
                                    const std::string &index, CCreateIndex &definition);
    virtual int ReadTriggerDefinition(CDbSession &session, const std::string &table,
                                      const std::string &trigger, CCreateTrigger &definition);
    // What a schema script needs of the table beyond the diagram
    // (TableDefinitions.h). By default a refusal naming the engine.
    virtual int ReadTableDefinitions(CDbSession &session, const std::string &table,
                                     CTableDefinitions &definitions);

    // Sets what every later statement of the session obeys, first thing
    // after connecting: how long to wait for a lock that another program
    // holds (CDbSession::kLockWaitMilliseconds). Nothing by default.
    virtual int PrepareSession(CDbSession &) { return 0; }
    // True when the driver reads its search escape before itself as an
    // escaped escape in catalog search patterns, as ODBC says.
    virtual bool EscapesTheSearchEscape() const { return true; }
    // The schema the catalog functions look in, read once at connect.
    // Empty (the default) names none: the driver then lists every table it
    // has.
    virtual int ReadCatalogSchema(CDbSession &session, std::string &schema);
    // True when that name is the driver's catalog rather than its schema
    // (an engine whose databases are catalogs); the catalog calls then
    // pass it as the catalog.
    virtual bool SchemaIsCatalog() const { return false; }
    // The parameter kind of a type from the driver's CREATE_PARAMS text,
    // lower-cased (CDbTypeInfo::ParamKind); by default exactly "length" and
    // exactly "precision,scale" take sizes.
    virtual int ParameterKind(const std::string &createParams) const;
    static int StandardParameterKind(const std::string &createParams);
    // Puts a column's catalog facts (SQLColumns TYPE_NAME, DATA_TYPE,
    // PRECISION and LENGTH) the way the column rows read them, for a driver
    // that reports them in its own way. By default they stay as they are.
    virtual void NormalizeColumnFacts(std::string &typeName, std::string &dataType,
                                      const std::string &precision, std::string &length) const;

protected:
    // A refusal of the program's own: the message becomes the session's
    // last error, which the result code reports.
    static int Refuse(CDbSession &session, std::string message);
    // Appends a further type unless the driver listed one of that name.
    static void AddTypeUnlessListed(CDbSession &session, const char *name, int paramKind,
                                    bool nullable);
};

// Whether the table is one the session's engine keeps for itself.
bool IsInternalTable(const CDbSession &session, const std::string &table);

// The adapters a program knows, in the order Connect tries them: it takes
// the first whose name matches. The application (or a test) owns the list
// and lends it to each session it makes; the list outlives those sessions.
class CAdapterList
{
public:
    CAdapterList() = default;
    CAdapterList(CAdapterList &&) = default;
    CAdapterList &operator=(CAdapterList &&) = default;

    void Add(std::unique_ptr<CDbmsAdapter> adapter);
    CDbmsAdapter *Find(const std::string &dbmsName) const;
    int Count() const { return static_cast<int>(m_adapters.size()); }
    CDbmsAdapter *At(int index) const;

private:
    std::vector<std::unique_ptr<CDbmsAdapter>> m_adapters;
};

// The adapters of every supported engine, in order.
CAdapterList MakeDbmsAdapters();

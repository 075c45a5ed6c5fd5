#pragma once

#include "db/SchemaChange.h"

#include <string>

class CDbSession;

// An index or a trigger read back from the CREATE text SQLite keeps in
// sqlite_master, as the Index and Trigger dialogs show it. The text is read
// token by token, so names in any quotes, comments and line breaks are
// read as SQLite reads them.
namespace SqliteDefinitions {

// Each fills the definition from the stored text and gives an empty
// string, or gives what in the text the dialog could not show (the
// definition is then not to be used). The name and table are the
// catalog's and are not read from the text.
std::string ParseIndex(const std::string &sql, CCreateIndex &index);
std::string ParseTrigger(const std::string &sql, CCreateTrigger &trigger);

// The catalog's index or trigger of the table; a refusal (the session's
// last error) when there is none of that name or it cannot be shown whole.
int ReadIndex(CDbSession &session, const std::string &table, const std::string &name, CCreateIndex &index);
int ReadTrigger(CDbSession &session, const std::string &table, const std::string &name,
                CCreateTrigger &trigger);

} // namespace SqliteDefinitions

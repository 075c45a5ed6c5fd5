#pragma once

#include <QStringList>

class CDbSession;

// The first column of every row the statement returns, read through the
// session's one statement, which is closed afterwards. A failure ends the
// list with "failed: " and the session's error text.
QStringList FirstColumnRows(CDbSession &session, const QString &sql);

#include "model/SchemaLoader.h"
#include "model/SchemaModel.h"

// The relationships of a connected session as its adapter reads them,
// read at construction and again by Reload.
class CSessionKeys : public CSchemaModel
{
public:
    explicit CSessionKeys(CDbSession &session) : m_session(session) { m_first = Reload(); }
    int Reload() { return SchemaLoader::LoadRelationships(m_session, *this); }
    // The result of the read at construction.
    int FirstRead() const { return m_first; }

private:
    CDbSession &m_session;
    int m_first = 0;
};

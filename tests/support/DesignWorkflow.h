#pragma once

#include "tests/support/DiagramDriver.h"
#include "tests/support/ModalAnswerer.h"

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

class CDbView;
class CDoc;
class CTableWnd;
struct CDbRelationship;

// What the design workflow finds different from one server engine to the
// next: its SQL for the schema and for reading the catalog, the names it
// gives keys and indexes, its own messages and the statements its dialect
// sends. Every other step and check is the same on each engine.
struct CWorkflowEngine
{
    QString m_name;       // "postgres": names the screenshot
    // Every row of the tables the workflow never changes, and of the one
    // it adds columns to, each as one text.
    QString m_keptRows;
    QString m_customerRows;
    QString m_tablesQuery; // the tables the diagram shows, sorted
    QString m_integer;     // type names as the column grid takes them
    QString m_decimal;
    // The columns of the new table "orders" as
    // "name type length-or-precision scale nullable default".
    QString m_ordersColumnsQuery;
    QStringList m_ordersColumns;
    QString m_tableExists; // the server's refusal of a second "staff"
    QStringList m_customerNames, m_staffNames, m_shopNames;
    QString m_staffKey;    // the self-reference as Relationships() lists it
    QString m_customerKey; // the index behind the key of "Customer Data"
    QString m_indexQuery;  // the index "orders by customer" as the catalog states it
    QStringList m_index;
    QString m_indexCount;  // how many indexes "orders by customer" there are
    QStringList m_dropIndex, m_dropTrigger;
    QString m_dropKey;     // what the key's drop starts with
    // What stays of the triggers' code when the workflow's trigger, and
    // later the table with quotes in its name, have gone.
    QString m_triggerCodeQuery;
    QStringList m_triggerCode, m_triggerCodeLast;
    // Where a table named "orders" remains when the workflow's one is dropped.
    QString m_ordersLeftQuery;
    QStringList m_ordersLeft;
    QString m_shopCount;   // tables and indexes named like "Bob%"
};

// The whole design workflow on a server engine, as a user works it: load,
// a new table from the background menu, a column more for a table that
// holds rows, an index and a trigger from the table's menu, a foreign key
// by a row drag, saving and reopening the diagram, then every drop from
// the table windows and the view. After each step the table windows agree
// with a fresh load from the catalog and every row is still there.
//
// One ordered scenario, not independent cases: Qt Test runs the slots in
// the order they are declared, on one database and one diagram, and each
// step works on what the steps before it made (the drops take the index,
// trigger, key and table created earlier; the reopen checks the places the
// user moved tables to). A per-case init() would have to rebuild the
// database and replay every earlier step through the dialogs before each
// case, which costs far more server time and code for the same assertions.
// So a slot run alone, or after a failed step, fails too.
//
// A test program derives from it for one engine: it owns the database and
// gives the engine's facts.
class CDesignWorkflow : public QObject
{
    Q_OBJECT

public:
    explicit CDesignWorkflow(CWorkflowEngine engine) : m_engine(std::move(engine)) {}

protected:
    // Creates the database with the engine's schema; false with the reason.
    virtual bool Prepare(QString &error) = 0;
    virtual std::string ConnectionString() const = 0;

private:
    CDoc *Doc() const { return m_diagram.Doc(); }
    CDbView *View() const { return m_diagram.View(); }
    CTableWnd *Table(const char *name) const { return m_diagram.Table(name); }
    QStringList Rows(const QString &sql);
    QStringList Relationships() const;
    bool Agrees(const char *name);
    QStringList Layout() const;
    bool NothingLost() { return Rows(m_engine.m_keptRows) == QStringList{m_keptRows}; }
    QPoint BackgroundPoint() const;
    static void MoveByCaption(CTableWnd *table, const QPoint &topLeft);
    void RunFromMenu(QWidget *widget, const QPoint &point, const char *entry, const CModalAnswerer::Handler &fill);
    void DropRows(CTableWnd *table, const QList<QPair<int, const char *>> &rows);
    void DropTableFromCaption(const char *name, const QString &statement);

    CWorkflowEngine m_engine;
    CDiagramDriver m_diagram;
    QTemporaryDir m_files;
    QString m_keptRows;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void loadsTheCurrentSchema();
    void refusedTableShowsTheServersMessage();
    void createsTableFromTheBackgroundMenu();
    void addsColumnsToATableWithRows();
    void createsIndexOnTheSelectedColumns();
    void createsTriggerThatFires();
    void addsCompositeForeignKeyByRowDrag();
    void savesAndReopens();
    void dropsRelationshipSelectedOnTheLine();
    void dropsIndex();
    void dropsTrigger();
    void dropsTwoColumnsInOneStatement();
    void dropsTableFromItsCaption();
    void dropsTableWithQuotesInItsName();
    void savesAndReopensWhatIsLeft();
};

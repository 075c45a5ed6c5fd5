#include "diagram/TableWnd.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/CreateTableDlg.h"
#include "document/Doc.h"
#include "tests/support/ColumnGridDriver.h"
#include "tests/support/DiagramDriver.h"
#include "tests/support/DialogInput.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PervasiveFixture.h"
#include "tests/support/PostgresDatabase.h"
#include "tests/support/SampleDiagram.h"
#include "tests/support/SessionRows.h"
#include "tests/support/SqliteRows.h"
#include "view/DbView.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

#include <functional>
#include <memory>

using namespace DialogInput;

namespace {

// The sample's customer table as a PostgreSQL server holds it.
const char *const kPostgresCustomerSql = R"(
create table customer (
  customer_id  integer primary key,
  name         varchar(60) not null,
  email        varchar(80) unique,
  referred_by  integer references customer (customer_id),
  created_on   date not null default current_date
);
create index customer_by_name on customer (name);
insert into customer values
  (1, 'Harbour Tools Ltd', 'orders@harbourtools.example', null, '2019-05-02'),
  (2, 'Kessler Werkstatt', 'einkauf@kessler.example', 1, '2020-02-17'),
  (3, 'Atelier Moreau', 'contact@moreau.example', 2, '2022-11-03');
)";

// Each column's name, type, null rule and default on PostgreSQL.
const QString kColumnsQuery = QStringLiteral(
    "select column_name || ' ' || data_type || ' ' || is_nullable || ' ' || coalesce(column_default, '-') "
    "from information_schema.columns where table_name = '%1' order by ordinal_position");

} // namespace

// The Edit Table dialog driven by clicks and keys on the sample diagram:
// how it opens filled from the catalog, what OK changes and what a refusal
// leaves. The Pervasive.SQL engine cannot run here; its row runs on the
// sample's SQLite database with the Pervasive.SQL dialect, which refuses
// editing a table.
class TestEditTable : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    QString m_path;
    std::unique_ptr<CDiagramDriver> m_diagram;
    std::unique_ptr<CPostgresDatabase> m_postgres;
    QString m_engine;

    CDoc *Doc() const { return m_diagram->Doc(); }
    CTableWnd *Table(const char *name) const { return m_diagram->Table(name); }
    static CColumnGrid *Grid(const QWidget *dialog) { return dialog->findChild<CColumnGrid *>(); }
    static QLineEdit *TableName(const QWidget *dialog) { return dialog->findChild<QLineEdit *>("tableName"); }

    // The sample's customer table on the engine, its diagram open.
    bool Open(const QString &engine)
    {
        m_engine = engine;
        std::string connection = COdbcSandbox::ConnectionString("VellumixSample");
        if (engine == "PostgreSQL") {
            if (!m_postgres)
                m_postgres = std::make_unique<CPostgresDatabase>(m_sandbox);
            if (!m_postgres->Recreate() || !m_postgres->Run(kPostgresCustomerSql)) {
                qWarning("%s", qPrintable(m_postgres->Error()));
                return false;
            }
            connection = m_postgres->ConnectionString();
        }
        m_diagram = std::make_unique<CDiagramDriver>(engine == "Pervasive.SQL" ? SqliteWithPervasiveDialect()
                                                                                : MakeDbmsAdapters());
        return m_diagram->Open(connection);
    }
    // The engine's own account, read past the designer: the first column of
    // each row of a query, through the sqlite3 shell or the session.
    QStringList Query(const QString &sqlite, const QString &postgres)
    {
        if (m_engine != "PostgreSQL")
            return SqliteRows::Lines(QuerySqlite(m_path, sqlite + ";"));
        const QStringList rows = FirstColumnRows(m_diagram->Session(), postgres);
        m_diagram->MarkLog();
        return rows;
    }
    // Every row of every table, value by value (SQLite: as its dump writes
    // them, row ids included).
    QStringList AllRows(const QString &table)
    {
        if (m_engine != "PostgreSQL")
            return SqliteRows::Dump(m_path);
        return Query(QString(), QStringLiteral("select c::text from \"%1\" c order by 1").arg(table));
    }

    // Double-clicks the table's caption; the dialog it opens goes to handle,
    // which must close it.
    void EditByDoubleClick(CTableWnd *table, const std::function<void(QWidget *)> &handle)
    {
        auto answerer = CModalAnswerer::Dialogs();
        answerer.Queue([&](QWidget *dialog) {
            QVERIFY(WaitActive(dialog));
            handle(dialog);
            if (dialog->isVisible())
                Press(dialog, "Cancel");
        });
        QTest::mouseDClick(table, Qt::LeftButton, {}, QPoint(table->width() / 2, 6));
        QCOMPARE(answerer.Handled(), 1);
        QCOMPARE(answerer.Unexpected(), 0);
    }

    // Replaces a field's or a cell's text as a user does: select all, type.
    static void Retype(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }
    static void Retype(CGridCtrl *grid, int row, int column, const QString &text)
    {
        OpenCell(grid, row, column);
        Retype(QApplication::focusWidget(), text);
    }

private slots:
    void init()
    {
        CSampleDiagram::AddSource(m_sandbox);
        m_path = m_sandbox.DatabasePath("VellumixSample");
    }
    void cleanup() { m_diagram.reset(); }

    // The grid shows each column as the catalog reports it, size, default,
    // null rule and key included.
    void doubleClickOpensTheTableAsTheCatalogReportsIt_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QStringList>("rows");
        // As pragma_table_info gives them on SQLite, information_schema.columns
        // on PostgreSQL.
        const QStringList sqlite{"customer_id|integer||||||1", "name|varchar|60||||1", "email|varchar|80",
                                 "referred_by|integer", "created_on|date||||date('now')|1"};
        QTest::newRow("SQLite") << "SQLite" << sqlite;
        QTest::newRow("Pervasive.SQL") << "Pervasive.SQL" << sqlite;
        QTest::newRow("PostgreSQL") << "PostgreSQL"
                                    << QStringList{"customer_id|int4|||||1|1", "name|varchar|60||||1", "email|varchar|80",
                                                   "referred_by|int4", "created_on|date||||CURRENT_DATE|1"};
    }
    void doubleClickOpensTheTableAsTheCatalogReportsIt()
    {
        QFETCH(QString, engine);
        QFETCH(QStringList, rows);
        QVERIFY(Open(engine));
        EditByDoubleClick(Table("customer"), [&](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Table"));
            QCOMPARE(TableName(dialog)->text(), QStringLiteral("customer"));
            QCOMPARE(CColumnGridDriver(Grid(dialog)).FilledRows(), rows);
            if (!qEnvironmentVariableIsEmpty("VELLUMIX_SHOT_DIR"))
                dialog->grab().save(qEnvironmentVariable("VELLUMIX_SHOT_DIR") + "/edit-table-" + engine + ".png");
        });
    }

    // A refused OK leaves the dialog open with everything typed, and the
    // database and the diagram as they were: Pervasive.SQL refuses editing
    // a table at all, SQLite a change that would alter stored values.
    void refusedOkKeepsEverythingTyped_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("Pervasive.SQL") << "Pervasive.SQL" << "Pervasive.SQL";
        // referred_by holds a null in one row: it cannot become not null.
        QTest::newRow("SQLite") << "SQLite" << "referred_by";
        QTest::newRow("PostgreSQL") << "PostgreSQL" << "referred_by";
    }
    void refusedOkKeepsEverythingTyped()
    {
        QFETCH(QString, engine);
        QFETCH(QString, refusal);
        QVERIFY(Open(engine));
        const QStringList before = AllRows("customer");
        const QStringList schema = Query(".schema customer", kColumnsQuery.arg("customer"));
        m_diagram->MarkLog();
        EditByDoubleClick(Table("customer"), [&](QWidget *dialog) {
            Type(TableName(dialog), "s");
            CColumnGridDriver grid(Grid(dialog));
            grid.Type(2, 0, "_address");
            grid.Type(1, 2, "0");
            grid.FillRow(5, "note|integer");
            OpenCell(Grid(dialog), 3, 6); // referred_by becomes not null
            const QStringList typed = grid.FilledRows();
            CModalAnswerer boxes;
            Press(dialog, "OK");
            QCOMPARE(boxes.Count(), 1);
            QVERIFY2(boxes.LastText().contains(refusal), qPrintable(boxes.LastText()));
            QVERIFY(dialog->isVisible());
            QCOMPARE(TableName(dialog)->text(), QStringLiteral("customers"));
            QCOMPARE(grid.FilledRows(), typed);
            QVERIFY(Activate(dialog));
        });
        // The dialect refuses before sending anything; SQLite after reading
        // the rows, PostgreSQL inside the transaction, which is rolled back.
        if (m_engine == "Pervasive.SQL")
            QCOMPARE(m_diagram->SentSinceMark(), QStringList());
        QCOMPARE(Query(".schema customer", kColumnsQuery.arg("customer")), schema);
        QCOMPARE(AllRows("customer"), before);
        QCOMPARE(Table("customer")->GetItem(2)->m_name, std::string("email"));
    }

    // From the context menu: a column renamed, a varchar widened, and the
    // table renamed; every row is kept and the diagram follows.
    void renamesAndWidensKeepingEveryRow_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns"); // as the engine keeps them afterwards
        QTest::addColumn<QString>("index");
        const QStringList sqlite{"'customer_id','INTEGER'", "'full_name','varchar(60)'", "'email','varchar(120)'",
                                 "'referred_by','INTEGER'", "'created_on','date'"};
        const QStringList postgres{"customer_id integer", "full_name character varying(60)",
                                   "email character varying(120)", "referred_by integer", "created_on date"};
        QTest::newRow("SQLite") << "SQLite" << "customer" << sqlite
                                << R"('CREATE INDEX customer_by_name on customer ("full_name")')";
        QTest::newRow("SQLite, table renamed") << "SQLite" << "client" << sqlite
                                               << R"('CREATE INDEX customer_by_name on "client" ("full_name")')";
        QTest::newRow("PostgreSQL") << "PostgreSQL" << "customer" << postgres
                                    << "CREATE INDEX customer_by_name ON public.customer USING btree (full_name)";
        QTest::newRow("PostgreSQL, table renamed") << "PostgreSQL" << "client" << postgres
                                                   << "CREATE INDEX customer_by_name ON public.client USING btree (full_name)";
    }
    void renamesAndWidensKeepingEveryRow()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QString, index);
        QVERIFY(Open(engine));
        // Only SQLite's dump names the table with each row.
        QStringList before = AllRows("customer");
        before.replaceInStrings("INSERT INTO customer ", "INSERT INTO " + table + " ");
        before.sort();
        CTableWnd *window = Table("customer");
        auto answerer = CModalAnswerer::Dialogs();
        answerer.Queue([&](QWidget *dialog) {
            QVERIFY(WaitActive(dialog));
            Retype(TableName(dialog), table);
            Retype(Grid(dialog), 1, 0, "full_name");
            Retype(Grid(dialog), 2, 2, "120");
            Press(dialog, "OK");
            QVERIFY(!dialog->isVisible());
        });
        answerer.ChooseFromMenus("&Edit Table...");
        QTest::mouseClick(window, Qt::RightButton, {}, QPoint(window->width() / 2, 6));
        QCOMPARE(answerer.Handled(), 1);

        QCOMPARE(Query(QStringLiteral("select name, type from pragma_table_info('%1')").arg(table),
                       QStringLiteral("select column_name || ' ' || data_type || coalesce('(' || "
                                      "character_maximum_length || ')', '') from information_schema.columns "
                                      "where table_name = '%1' order by ordinal_position").arg(table)),
                 columns);
        QCOMPARE(AllRows(table), before);
        // The index on the renamed column followed it.
        QCOMPARE(Query("select sql from sqlite_master where name = 'customer_by_name'",
                       "select indexdef from pg_indexes where indexname = 'customer_by_name'"),
                 QStringList{index});
        QCOMPARE(window->m_name, table.toStdString());
        QCOMPARE(window->GetItem(1)->m_name, std::string("full_name"));
        QCOMPARE(Doc()->FindSchema("customer") != nullptr, table == "customer");
        QVERIFY(Doc()->FindSchema(table.toStdString()));
        QVERIFY(Doc()->Schema().IsRelated(table.toStdString()));
        QCOMPARE(Doc()->Schema().IsRelated("customer"), table == "customer");
    }

    // A table created without a key is given one by ticking Key; its rows
    // stay and its window underlines the key column.
    void keyTickedInTheGridBecomesThePrimaryKey_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("type");
        QTest::newRow("SQLite") << "SQLite" << "integer";
        QTest::newRow("PostgreSQL") << "PostgreSQL" << "int4";
    }
    void keyTickedInTheGridBecomesThePrimaryKey()
    {
        QFETCH(QString, engine);
        QFETCH(QString, type);
        QVERIFY(Open(engine));
        CCreateTableDlg create(m_diagram->View());
        QVERIFY(Activate(&create));
        Type(TableName(&create), "parcel");
        CColumnGridDriver(Grid(&create)).FillRows({"parcel_id|" + type, "weight|" + type});
        Press(&create, "Create");
        const auto key = [this] {
            return Query("select name from pragma_table_info('parcel') where pk > 0",
                         "select a.attname from pg_index i join pg_attribute a on a.attrelid = i.indrelid "
                         "and a.attnum = any(i.indkey) where i.indrelid = 'parcel'::regclass and i.indisprimary");
        };
        QCOMPARE(key(), QStringList());
        QVERIFY(m_diagram->Session().Execute("insert into parcel values (1, 5), (2, 7)") >= 0);
        m_diagram->Session().CloseStatement();
        const QStringList before = AllRows("parcel");
        EditByDoubleClick(Table("parcel"), [](QWidget *dialog) {
            OpenCell(Grid(dialog), 0, 7);
            Press(dialog, "OK");
        });
        QCOMPARE(key(), QStringList{engine == "SQLite" ? "'parcel_id'" : "parcel_id"});
        QCOMPARE(AllRows("parcel"), before);
        QVERIFY(Table("parcel")->GetItem(0)->m_key && !Table("parcel")->GetItem(1)->m_key);
    }
};

QTEST_MAIN(TestEditTable)
#include "tst_edittable.moc"

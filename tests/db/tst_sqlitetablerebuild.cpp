#include "tests/support/SessionRows.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/sqlite/SqliteTableRebuild.h"
#include "tests/support/OdbcSandbox.h"

#include <QtTest>

#include <memory>

namespace {

// The product table's definition after its name, up to the closing
// parenthesis of the list. A rebuild keeps it byte for byte; only the name
// comes back quoted, as SQLite's rename writes it.
const char *const kProductBody = R"SQL( (
  id integer primary key autoincrement,
  sku text not null collate nocase,
  name text default 'ünïcødé, (unnamed)' check (length(name) > 0), -- shown in lists
  price numeric(10,2) not null default 0 check (price >= 0),
  category_id integer,
  supplier_id integer constraint fk_supplier references supplier (id),
  note text,
  repriced_on text,
  /* a check on the table: "price < 1000000" */
  constraint price_sane check (price < 1000000))SQL";

// A shop whose product table carries everything a rebuild must keep: a
// long text with comments and non-ASCII text, checks on a column and on
// the table, defaults, a collation, AUTOINCREMENT with a counter above the
// highest id, two indexes and a trigger. A view and another table's
// trigger name it; order_line has no rowid and a named and an unnamed key.
const char *const kShopScript = R"SQL(
create table category (id integer primary key, name text not null, code text unique);
create table shelf (label text, category_code text references category (code));
create table supplier (id integer primary key, name text);
)SQL" "create table product%1\n);" R"SQL(
create index product_by_sku on product (sku);
create index product_by_category on product (category_id, name);
create trigger product_repriced after update of price on product
begin
  update product set repriced_on = 'today' where id = new.id;
end;
create table sales_order (id integer primary key, placed_on text);
create table order_line (
  order_id integer not null,
  line_no integer not null,
  product_id integer references product,
  qty integer not null check (qty > 0),
  constraint line_order foreign key (order_id) references sales_order (id),
  constraint line_key primary key (order_id, line_no)
) without rowid;
create view cheap_product as select id, sku, price from product where price < 10;
create trigger order_line_notes after insert on order_line
begin
  update product set note = 'ordered' where id = new.product_id;
end;

insert into category values (1, 'Tools', 'T'), (2, 'Fasteners', 'F'), (3, 'Measuring', 'M');
insert into shelf values ('A1', 'T'), ('B2', 'F');
insert into supplier values (1, 'Nordstahl'), (2, 'Pacific');
insert into product (id, sku, name, price, category_id, supplier_id, note) values
  (1, 'HT-100', 'Claw hammer', 18.5, 1, 1, null),
  (2, 'FA-008', 'Wood screws, box of 200', 6.75, 2, 2, 'bulk'),
  (3, 'ME-300', 'Tape measure', 11.2, 1, null, ''),
  (4, 'ME-310', 'Laser measure', 89, 3, 2, x'00ff'),
  (5, 'XX-999', 'Discontinued', 1, 2, 1, 'gone');
delete from product where id = 5;
insert into sales_order values (1, '2024-03-04'), (2, '2024-03-06');
insert into order_line values (1, 1, 2, 10), (1, 2, 3, 2), (2, 1, 1, 5);
)SQL";

QString ShopScript() { return QString::fromUtf8(kShopScript).arg(QString::fromUtf8(kProductBody)); }

const QStringList kShopTables = {"category", "shelf", "supplier", "product", "sales_order", "order_line"};

// Comparing two failed reads would prove nothing.
bool ReadWithoutError(const QString &output)
{
    return !output.contains("error", Qt::CaseInsensitive) && !output.isEmpty();
}

QString Quoted(const QString &name) { return "\"" + QString(name).replace("\"", "\"\"") + "\""; }

QString Rows(const QString &path, const QString &table, const QString &columns = "*")
{
    const QString key = table == "order_line" ? "order_id, line_no" : "rowid";
    return QuerySqlite(path, "select " + (key == "rowid" ? "rowid, " : QString()) + columns + " from "
                           + Quoted(table) + " order by " + key + ";");
}

QString SchemaEntry(const QString &path, const QString &name)
{
    return QuerySqlite(path, "select type, tbl_name, sql from sqlite_master where name = '" + name + "';");
}

QStringList SchemaNames(const QString &path)
{
    QStringList names;
    for (const QString &line : QuerySqlite(path, "select name from sqlite_master order by name;").split('\n'))
        if (!line.isEmpty())
            names << line.mid(1, line.size() - 2); // without the quotes of the listing
    return names;
}

// Everything a failed rebuild must leave as it was.
QString Everything(const QString &path)
{
    QString all = QuerySqlite(path, "select type, name, tbl_name, sql from sqlite_master order by rowid;"
                              "select * from sqlite_sequence;");
    for (const QString &table : kShopTables)
        all += Rows(path, table);
    return all;
}

QString ForeignKeysOf(const QString &path, const QString &table)
{
    return QuerySqlite(path, "select \"table\", \"from\", on_delete from pragma_foreign_key_list('" + table
                           + "') order by id desc;");
}

} // namespace

class TestSqliteTableRebuild : public QObject
{
    Q_OBJECT

    CAdapterList m_adapters = MakeDbmsAdapters();
    COdbcSandbox m_sandbox;
    std::unique_ptr<CDbSession> m_session;
    QString m_path;

    std::string Pragma(const std::string &name)
    {
        std::string value;
        m_session->Execute("PRAGMA " + name);
        m_session->Fetch();
        m_session->GetColumnText(1, value);
        m_session->CloseStatement();
        return value;
    }

    int Rebuild(const std::string &table, const CSqliteTableEdit &edit)
    {
        const int result = RebuildSqliteTable(*m_session, table, edit);
        m_session->CloseStatement();
        return result;
    }

    void ExpectSettingsRestored(const std::string &foreignKeys)
    {
        QCOMPARE(Pragma("foreign_keys"), foreignKeys);
        QCOMPARE(Pragma("legacy_alter_table"), std::string("0"));
        QVERIFY(!m_session->InTransaction());
    }

private slots:
    void init()
    {
        m_session.reset();
        m_path = m_sandbox.AddSqliteSource("Shop", ShopScript());
        m_session = std::make_unique<CDbSession>(m_adapters);
        QCOMPARE(m_session->Connect("DSN=Shop"), 0);
    }

    // The key is added, and every row, index, trigger, view and counter is
    // as it was; the views and triggers that name the table still work.
    void addingAKeyKeepsEverythingElse()
    {
        QMap<QString, QString> rows;
        for (const QString &table : kShopTables)
            rows[table] = Rows(m_path, table);
        QVERIFY(ReadWithoutError(rows.values().join(QString())));
        QMap<QString, QString> entries;
        for (const QString &name : SchemaNames(m_path))
            entries[name] = SchemaEntry(m_path, name);

        const char *const key = "CONSTRAINT \"fk_category\" FOREIGN KEY (\"category_id\") REFERENCES "
                                "\"category\" (\"id\")";
        QCOMPARE(Rebuild("PRODUCT", CSqliteTableEdit::AddConstraint(key)), 0);

        for (const QString &table : kShopTables)
            QCOMPARE(Rows(m_path, table), rows[table]);
        QCOMPARE(SchemaNames(m_path), entries.keys());
        for (const QString &name : entries.keys())
            if (name != "product")
                QCOMPARE(SchemaEntry(m_path, name), entries[name]);
        QCOMPARE(QuerySqlite(m_path, "select sql from sqlite_master where name = 'product';"),
                 "'CREATE TABLE \"product\"" + QString::fromUtf8(kProductBody).replace("'", "''") + ", "
                     + QString(key).replace("'", "''") + "\n)'\n");
        QCOMPARE(QuerySqlite(m_path, "select seq from sqlite_sequence where name = 'product';"), "5\n");
        QCOMPARE(ForeignKeysOf(m_path, "product"), "'supplier','supplier_id','NO ACTION'\n"
                                                   "'category','category_id','NO ACTION'\n");
        ExpectSettingsRestored("0");

        const CSessionKeys keys(*m_session);
        QCOMPARE(keys.FirstRead(), 0);
        bool listed = false;
        for (int i = 0; const CDbRelationship *relationship = keys.GetRelationship(i); ++i)
            listed |= relationship->m_name == "fk_category" && relationship->m_foreignTable == "product"
                      && relationship->m_parentTable == "category";
        QVERIFY(listed);

        QCOMPARE(QuerySqlite(m_path, "select count(*) from cheap_product;"
                               "insert into order_line values (2, 2, 3, 1);"
                               "update product set price = 12 where id = 3;"
                               "select note, repriced_on from product where id = 3;"),
                 "1\n'ordered','today'\n");
    }

    void aCascadingKeyAddedByTheRebuildCascades()
    {
        QCOMPARE(m_session->Execute("PRAGMA foreign_keys = ON"), 0);
        m_session->CloseStatement();
        QCOMPARE(Rebuild("product", CSqliteTableEdit::AddConstraint(
                                        "FOREIGN KEY (category_id) REFERENCES category ON DELETE CASCADE")),
                 0);
        ExpectSettingsRestored("1");
        // Product 4 is the only one of category 3 and no order line names it.
        QCOMPARE(m_session->Execute("DELETE FROM category WHERE id = 3"), 0);
        m_session->CloseStatement();
        QCOMPARE(QuerySqlite(m_path, "select group_concat(id) from (select id from product order by id);"),
                 "'1,2,3'\n");
    }

    void droppingAKeyKeepsTheRows_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("keysLeft");
        QTest::addColumn<QString>("definition");
        const QString named = "'product','product_id','NO ACTION'\n";
        const QString unnamed = "'sales_order','order_id','NO ACTION'\n";
        QTest::newRow("named") << "name" << "line_order" << named
                               << "CREATE TABLE \"order_line\" (\n  order_id integer not null,\n  line_no "
                                  "integer not null,\n  product_id integer references product,\n  qty "
                                  "integer not null check (qty > 0),\n  constraint line_key primary key "
                                  "(order_id, line_no)\n) without rowid";
        const QString withoutUnnamed =
            "CREATE TABLE \"order_line\" (\n  order_id integer not null,\n  line_no integer not null,\n"
            "  product_id integer,\n  qty integer not null check (qty > 0),\n  constraint line_order "
            "foreign key (order_id) references sales_order (id),\n  constraint line_key primary key "
            "(order_id, line_no)\n) without rowid";
        QTest::newRow("unnamed, by the name the catalog shows")
            << "name" << "order_line_product_id_fkey" << unnamed << withoutUnnamed;
        QTest::newRow("unnamed, by its columns") << "columns" << "product_id" << unnamed << withoutUnnamed;
    }
    void droppingAKeyKeepsTheRows()
    {
        QFETCH(QString, kind);
        QFETCH(QString, argument);
        QFETCH(QString, keysLeft);
        QFETCH(QString, definition);
        const QString rows = Rows(m_path, "order_line");
        QVERIFY(ReadWithoutError(rows));
        const CSqliteTableEdit edit = kind == "name"
                                          ? CSqliteTableEdit::DropConstraint(argument.toStdString())
                                          : CSqliteTableEdit::DropForeignKey({argument.toStdString()});
        QCOMPARE(Rebuild("order_line", edit), 0);
        QCOMPARE(Rows(m_path, "order_line"), rows);
        QCOMPARE(ForeignKeysOf(m_path, "order_line"), keysLeft);
        QCOMPARE(QuerySqlite(m_path, "select sql from sqlite_master where name = 'order_line';"),
                 "'" + definition + "'\n");
        QCOMPARE(SchemaEntry(m_path, "order_line_notes").isEmpty(), false);
    }

    // A dropped column takes the indexes that name it; the rest stays.
    void droppingAColumnTakesWhatNeedsIt_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("gone");
        QTest::newRow("indexed and checked") << "name" << "id, sku, price, category_id, supplier_id, "
                                                          "note, repriced_on"
                                             << "product_by_category";
    }
    void droppingAColumnTakesWhatNeedsIt()
    {
        QFETCH(QString, column);
        QFETCH(QString, kept);
        QFETCH(QString, gone);
        const QString rows = Rows(m_path, "product", kept);
        QVERIFY(ReadWithoutError(rows));
        QStringList names = SchemaNames(m_path);
        QMap<QString, QString> entries;
        for (const QString &name : names)
            entries[name] = SchemaEntry(m_path, name);

        QCOMPARE(Rebuild("product", CSqliteTableEdit::DropColumns({column.toStdString()})), 0);

        QCOMPARE(Rows(m_path, "product", kept), rows);
        QVERIFY(QuerySqlite(m_path, "select " + column + " from product;").contains("no such column"));
        names.removeAll(gone);
        QCOMPARE(SchemaNames(m_path), names);
        for (const QString &name : names)
            if (name != "product")
                QCOMPARE(SchemaEntry(m_path, name), entries[name]);
        QCOMPARE(QuerySqlite(m_path, "select seq from sqlite_sequence;"), "5\n");
        ExpectSettingsRestored("0");
    }

    // Every way a rebuild can fail leaves the file exactly as it was and
    // says why in plain words.
    void aFailedRebuildChangesNothing_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("message");
        QTest::newRow("rows violate the new key")
            << "insert into product (sku, category_id) values ('A', 7), ('B', 8);" << "product"
            << "add" << "FOREIGN KEY (category_id) REFERENCES category (id)"
            << "2 rows of the table \"product\" have no matching row in the table \"category\", so the "
               "key cannot be added. Nothing was changed.";
        QTest::newRow("the copy stops half-way") << "" << "product" << "add" << "CHECK (price > 7)"
                                                 << "CHECK constraint failed";
        QTest::newRow("the copy would lose rows")
            << "" << "product" << "add" << "UNIQUE (category_id) ON CONFLICT IGNORE"
            << "The changed table \"product\" would not keep every row, so nothing was changed.";
        QTest::newRow("a view would stop working, after copy, drop and rename")
            << "" << "product" << "dropcolumn" << "sku"
            << "The view \"cheap_product\" would stop working without the column \"sku\" of the "
               "table \"product\", so nothing was changed.";
        QTest::newRow("another table's trigger would stop working")
            << "" << "product" << "dropcolumn" << "note"
            << "The trigger \"order_line_notes\" would stop working without the column \"note\" of "
               "the table \"product\", so nothing was changed.";
        QTest::newRow("the table's own trigger would stop working")
            << "" << "product" << "dropcolumn" << "repriced_on"
            << "The trigger \"product_repriced\" would stop working without the column "
               "\"repriced_on\" of the table \"product\", so nothing was changed.";
        QTest::newRow("another table's key would lose its parent key")
            << "" << "category" << "dropcolumn" << "code"
            << "The table \"shelf\" has a foreign key that would stop working without the column "
               "\"code\" of the table \"category\", so nothing was changed.";
        QTest::newRow("a key to columns that are not unique")
            << "" << "product" << "add" << "FOREIGN KEY (sku) REFERENCES category (name)"
            << "The table \"product\" would have a foreign key whose parent columns are neither a "
               "primary key nor unique, so nothing was changed.";
        QTest::newRow("no such table") << "" << "nowhere" << "drop" << "k"
                                       << "The table \"nowhere\" does not exist.";
        QTest::newRow("no such constraint") << "" << "product" << "drop" << "nope"
                                            << "The table \"product\" has no constraint named \"nope\".";
    }
    void aFailedRebuildChangesNothing()
    {
        QFETCH(QString, setup);
        QFETCH(QString, table);
        QFETCH(QString, kind);
        QFETCH(QString, argument);
        QFETCH(QString, message);
        if (!setup.isEmpty())
            QVERIFY(m_sandbox.RunSql("Shop", setup));
        const QString before = Everything(m_path);
        QVERIFY(ReadWithoutError(before));
        const std::string text = argument.toStdString();
        const CSqliteTableEdit edit = kind == "add"    ? CSqliteTableEdit::AddConstraint(text)
                                      : kind == "drop" ? CSqliteTableEdit::DropConstraint(text)
                                                       : CSqliteTableEdit::DropColumns({text});
        const int result = Rebuild(table.toStdString(), edit);
        QCOMPARE(result, -30000);
        const QString shown = QString::fromStdString(m_session->GetErrorText(result));
        if (message.endsWith('.'))
            QCOMPARE(shown, message);
        else
            QVERIFY2(shown.contains(message), qPrintable(shown));
        QCOMPARE(Everything(m_path), before);
        ExpectSettingsRestored("0");
    }

    // Rows that already break one key do not hold back a change to another.
    void violationsThatWereThereBeforeDoNotCount()
    {
        QVERIFY(m_sandbox.RunSql("Shop", "insert into order_line values (3, 1, 1, 1);"));
        QCOMPARE(Rebuild("order_line", CSqliteTableEdit::DropForeignKey({"product_id"})), 0);
        QCOMPARE(QuerySqlite(m_path, "select count(*) from pragma_foreign_key_check('order_line');"), "1\n");
    }

    // Rows keep their values and their rowids whatever the table is made
    // of: rowid gaps, a column called rowid, generated columns, no rowid.
    void rowsSurviveEveryShapeOfTable_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("columns");
        QTest::newRow("rowid gaps") << "t"
                                    << "create table t (a text, b int);"
                                       "insert into t values ('x', 1), ('y', 2), ('z', 3);"
                                       "delete from t where a = 'y';"
                                    << "rowid, a";
        QTest::newRow("a column called rowid") << "t"
                                               << "create table t (rowid text, a int, b int);"
                                                  "insert into t values ('r1', 1, 1), ('r2', 2, 2);"
                                                  "delete from t where a = 1;"
                                               << "oid, rowid, a";
        QTest::newRow("generated columns") << "t"
                                           << "create table t (a int, g int as (a * 2), b int, "
                                              "s int generated always as (a + 1) stored);"
                                              "insert into t (a, b) values (1, 1), (2, 2);"
                                           << "rowid, a, g, s";
        QTest::newRow("without rowid")
            << "t"
            << "create table t (k text primary key, a blob, b int) without rowid;"
               "insert into t values ('k1', x'00ff', 1), ('k2', 2.5, 2), ('k3', null, 3);"
            << "k, a";
        QTest::newRow("odd names") << "Bob's \"odd\" (table)"
                                   << "create table [Bob's \"odd\" (table)] (\"a, (b)\" text, b int);"
                                      "create index \"i \"\"1\"\"\" on [Bob's \"odd\" (table)] (\"a, (b)\");"
                                      "insert into [Bob's \"odd\" (table)] values ('it''s', 1);"
                                   << "rowid, \"a, (b)\"";
    }
    void rowsSurviveEveryShapeOfTable()
    {
        QFETCH(QString, table);
        QFETCH(QString, sql);
        QFETCH(QString, columns);
        m_sandbox.AddSqliteSource("Shape", sql);
        CDbSession session(m_adapters);
        QCOMPARE(session.Connect("DSN=Shape"), 0);
        const QString path = m_sandbox.DatabasePath("Shape");
        const QString query = "select " + columns + " from " + Quoted(table) + " order by 1;";
        const QString before = QuerySqlite(path, query);
        QVERIFY(ReadWithoutError(before));
        const QString indexes = QuerySqlite(path, "select name, sql from sqlite_master where type = 'index';");
        QCOMPARE(RebuildSqliteTable(session, table.toStdString(), CSqliteTableEdit::DropColumns({"b"})), 0);
        QCOMPARE(QuerySqlite(path, query), before);
        QCOMPARE(QuerySqlite(path, "select name, sql from sqlite_master where type = 'index';"), indexes);
    }

    // Inside an open transaction SQLite ignores the switch that keeps the
    // drop of the old table from deleting the rows that refer to it.
    void aRebuildInsideATransactionIsRefused()
    {
        const QString before = Everything(m_path);
        QCOMPARE(m_session->BeginTransaction(), 0);
        const int result = Rebuild("product", CSqliteTableEdit::DropConstraint("price_sane"));
        QCOMPARE(result, -30000);
        QVERIFY(!m_session->GetErrorText(result).empty());
        QCOMPARE(m_session->RollbackTransaction(), 0);
        QCOMPARE(Everything(m_path), before);
    }
};

QTEST_GUILESS_MAIN(TestSqliteTableRebuild)
#include "tst_sqlitetablerebuild.moc"

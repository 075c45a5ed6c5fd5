// Times the SQLite table rebuild (adding a foreign key to a table with rows,
// two indexes, a trigger, a view on it and a table referring to it)
// against a baseline measured in the same run: the bare statements of the
// documented procedure, sent through the same session in one transaction,
// without reading the schema, checking views or triggers, or counting.
//
//   bench_rebuild [row counts...]      default: 10000 100000
//
// Each measurement runs on a fresh copy of the database.
#include "bench/BenchOdbc.h"
#include "db/DbSession.h"
#include "db/DbmsAdapter.h"
#include "db/sqlite/SqliteTableRebuild.h"

#include <QCoreApplication>

#include <vector>

namespace {

const char *const kItem =
    "CREATE TABLE item (\n"
    "  id integer primary key,\n"
    "  sku text not null collate nocase,\n"
    "  name text default 'unnamed' check (length(name) > 0),\n"
    "  price real not null default 0 check (price >= 0),\n"
    "  category_id integer,\n"
    "  note text\n"
    ")";

const char *const kKey = "FOREIGN KEY (category_id) REFERENCES category (id)";

std::string Script(int rows)
{
    return std::string("create table category (id integer primary key, name text);\n"
                       "insert into category select value, 'c' || value from generate_series(1, 100);\n")
           + kItem + ";\n"
           + "create index item_by_sku on item (sku);\n"
             "create index item_by_category on item (category_id, name);\n"
             "create trigger item_repriced after update of price on item begin "
             "update item set note = 'repriced' where id = new.id; end;\n"
             "create view cheap_item as select id, sku from item where price < 10;\n"
             "create table tag (item_id integer references item, label text);\n"
             "insert into item select value, 'SKU-' || value, 'Item ' || value, value % 50, "
             "1 + value % 100, null from generate_series(1, "
           + std::to_string(rows) + ");\n"
           + "insert into tag select value, 't' from generate_series(1, 1000);\n";
}

// The procedure's statements and nothing else.
int Baseline(CDbSession &session)
{
    const std::string created = std::string(kItem).replace(13, 4, "item_new");
    const std::vector<std::string> statements = {
        "PRAGMA legacy_alter_table = ON",
        "BEGIN",
        created.substr(0, created.size() - 2) + ",\n  " + kKey + "\n)",
        "INSERT INTO item_new (rowid, id, sku, name, price, category_id, note) "
        "SELECT rowid, id, sku, name, price, category_id, note FROM item",
        "DROP TABLE item",
        "ALTER TABLE item_new RENAME TO item",
        "create index item_by_sku on item (sku)",
        "create index item_by_category on item (category_id, name)",
        "create trigger item_repriced after update of price on item begin "
        "update item set note = 'repriced' where id = new.id; end",
        "SELECT count(*) FROM pragma_foreign_key_check('item')",
        "COMMIT",
    };
    for (const std::string &statement : statements) {
        const int result = session.Execute(statement);
        session.CloseStatement();
        if (result < 0)
            return result;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    CBenchOdbc odbc; // before any ODBC call
    const CAdapterList adapters = MakeDbmsAdapters();
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {10000, 100000};

    std::printf("%10s %12s %12s %8s\n", "rows", "rebuild s", "baseline s", "ratio");
    std::vector<std::pair<int, double>> ratios;
    for (int count : counts) {
        const std::string master = "rows" + std::to_string(count);
        if (count < 1 || !odbc.AddDatabase(master, Script(count)) || !odbc.AddDatabase("copy", "")) {
            std::fprintf(stderr, "cannot build the database for %d rows\n", count);
            return 1;
        }
        auto run = [&](const std::function<int(CDbSession &)> &work) {
            QFile::remove(odbc.DatabasePath("copy"));
            QFile::copy(odbc.DatabasePath(master), odbc.DatabasePath("copy"));
            CDbSession session(adapters);
            if (session.Connect("DSN=copy") < 0)
                return -1.0;
            int result = 0;
            const double seconds = Seconds([&] { result = work(session); });
            if (result < 0)
                std::fprintf(stderr, "failed: %s\n", session.GetErrorText(result).c_str());
            return seconds;
        };
        const double rebuild = run([](CDbSession &session) {
            return RebuildSqliteTable(session, "item", CSqliteTableEdit::AddConstraint(kKey));
        });
        const double baseline = run(Baseline);
        std::printf("%10d %12.3f %12.3f %8.2f\n", count, rebuild, baseline, rebuild / baseline);
        ratios.emplace_back(count, rebuild / baseline);
    }
    std::printf("\n");
    for (const auto &[count, ratio] : ratios)
        PrintHeadline("rebuild_ratio_" + std::to_string(count), ratio);
    return 0;
}

#include "tests/support/DesignWorkflow.h"
#include "tests/support/MariaDatabase.h"
#include "tests/support/OdbcSandbox.h"

#include <QtTest>

// A composite key, a named self-reference (MariaDB indexes its column under
// the key's name), triggers of the schema's own, and names with quotes,
// apostrophes and a backquote. Run by the client, which quotes with
// backquotes.
// At the end of the file: moc reads raw strings poorly.
extern const char *const kShopSql;

namespace {

CWorkflowEngine Maria()
{
    CWorkflowEngine e;
    e.m_name = "mariadb";
    e.m_keptRows = "select group_concat(r order by r separator ';') from (select concat_ws(',', id, region, name) r "
                   "from \"Customer Data\" union all select concat_ws(',', id, boss, name) from staff "
                   "union all select concat('audit ', note) from audit) x";
    e.m_customerRows = "select concat(id, region, coalesce(name, '-')) from \"Customer Data\" order by 1";
    e.m_tablesQuery = "select table_name from information_schema.tables where table_schema = database() "
                      "order by 1";
    e.m_integer = "int";
    e.m_decimal = "decimal";
    e.m_ordersColumnsQuery = "select concat_ws(' ', column_name, data_type, coalesce(character_maximum_length, "
                             "numeric_precision, 0), coalesce(numeric_scale, 0), is_nullable, "
                             "coalesce(column_default, '-')) from information_schema.columns where "
                             "table_schema = database() and table_name = 'orders' order by ordinal_position";
    // The server's catalog states a missing default as the word NULL.
    e.m_ordersColumns = {"id int 10 0 NO -", "customer id int 10 0 YES NULL", "region varchar 4 0 YES NULL",
                         "amount decimal 10 2 YES 0.00", "note text 65535 0 YES NULL"};
    e.m_tableExists = "Table 'staff' already exists";
    e.m_customerNames = {"id", "region", "name", "PRIMARY", "id", "region"};
    e.m_staffNames = {"id", "boss", "name", "PRIMARY", "id", "staff_boss_fkey", "boss", "staff trim"};
    e.m_shopNames = {"it's", "back`quote", "Bob's \"index\"", "it's", "Bob's \"trim\""};
    e.m_staffKey = "staff_boss_fkey: staff (staff_boss_fkey) -> staff (PRIMARY)";
    e.m_customerKey = "PRIMARY";
    e.m_indexQuery = "select group_concat(concat(column_name, ' ', collation) order by seq_in_index) from "
                     "information_schema.statistics where table_schema = database() and index_name = "
                     "'orders by customer'";
    e.m_index = {"customer id A,region A"};
    e.m_indexCount = "select count(*) from information_schema.statistics where table_schema = database() and "
                     "index_name = 'orders by customer'";
    e.m_dropIndex = {R"(DROP INDEX "orders by customer" ON "orders")"};
    e.m_dropTrigger = {R"(DROP TRIGGER "orders audit")"};
    e.m_dropKey = R"(ALTER TABLE "orders" DROP FOREIGN KEY )";
    e.m_triggerCodeQuery = "select trigger_name from information_schema.triggers where trigger_schema = database() "
                           "order by 1";
    e.m_triggerCode = {"Bob's \"trim\"", "staff trim"};
    // A table's triggers go with it.
    e.m_triggerCodeLast = {"staff trim"};
    e.m_ordersLeftQuery = "select count(*) from information_schema.tables where table_schema = database() and "
                          "table_name = 'orders'";
    e.m_ordersLeft = {"0"};
    e.m_shopCount = "select count(*) from information_schema.tables where table_schema = database() and "
                    "table_name like 'Bob%'";
    return e;
}

} // namespace

// The design workflow (DesignWorkflow.h) on a MariaDB server.
class TestMariaOrderedWorkflow : public CDesignWorkflow
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CMariaDatabase m_database{m_sandbox};

public:
    TestMariaOrderedWorkflow() : CDesignWorkflow(Maria()) {}

protected:
    bool Prepare(QString &error) override
    {
        const bool ready = m_database.IsReady() && m_database.Run(kShopSql);
        error = m_database.Error();
        return ready;
    }
    std::string ConnectionString() const override { return m_database.ConnectionString(); }
};

const char *const kShopSql = R"SQL(
create table `Customer Data` (id int, region varchar(4), name varchar(40), primary key (id, region));
insert into `Customer Data` values (1, 'N', 'Ann'), (2, 'S', 'Bo'), (3, 'N', null);
create table staff (id int primary key, boss int, name text,
  constraint staff_boss_fkey foreign key (boss) references staff (id));
insert into staff values (1, null, 'Eve'), (2, 1, 'Max');
create trigger `staff trim` before update on staff for each row set new.name = trim(new.name);
create table audit (note text);
create table `Bob's "Shop"` (`it's` int, `back``quote` int);
create index `Bob's "index"` on `Bob's "Shop"` (`it's`);
create trigger `Bob's "trim"` before update on `Bob's "Shop"` for each row set new.`it's` = abs(new.`it's`);
)SQL";

QTEST_MAIN(TestMariaOrderedWorkflow)
#include "tst_mariadbworkflow.moc"

#include "tests/support/DesignWorkflow.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/PostgresDatabase.h"

#include <QtTest>

// A composite key, a self-reference, a trigger of the schema's own, names
// that need quoting, and a namesake in another schema that must not show.
// At the end of the file: moc reads raw strings poorly.
extern const char *const kShopSql;

namespace {

CWorkflowEngine Postgres()
{
    CWorkflowEngine e;
    e.m_name = "postgres";
    e.m_keptRows = "select string_agg(r, ';' order by r) from (select c::text as r from \"Customer Data\" c "
                   "union all select s::text from staff s union all select 'audit ' || a::text from audit a) x";
    e.m_customerRows = "select id || region || coalesce(name, '-') from \"Customer Data\" order by 1";
    e.m_tablesQuery = "select tablename from pg_tables where schemaname = 'public' order by 1";
    e.m_integer = "integer";
    e.m_decimal = "numeric";
    e.m_ordersColumnsQuery =
        "select column_name || ' ' || data_type || ' ' || coalesce(character_maximum_length, "
        "numeric_precision, 0) || ' ' || coalesce(numeric_scale, 0) || ' ' || is_nullable || ' ' "
        "|| coalesce(column_default, '-') from information_schema.columns where "
        "table_schema = 'public' and table_name = 'orders' order by ordinal_position";
    e.m_ordersColumns = {"id integer 32 0 NO -", "customer id integer 32 0 YES -",
                         "region character varying 4 0 YES -", "amount numeric 10 2 YES 0", "note text 0 0 YES -"};
    e.m_tableExists = R"(relation "staff" already exists)";
    e.m_customerNames = {"id", "region", "name", "Customer Data_pkey", "id", "region"};
    e.m_staffNames = {"id", "boss", "name", "staff_pkey", "id", "staff trim"};
    e.m_shopNames = {"it's", "Bob's \"index\"", "it's", "Bob's \"trim\""};
    e.m_staffKey = "staff_boss_fkey: staff () -> staff (staff_pkey)";
    e.m_customerKey = "Customer Data_pkey";
    e.m_indexQuery = "select indexdef from pg_indexes where indexname = 'orders by customer'";
    e.m_index = {R"(CREATE INDEX "orders by customer" ON public.orders USING btree ("customer id", region))"};
    e.m_indexCount = "select count(*) from pg_class where relname = 'orders by customer'";
    e.m_dropIndex = {R"(DROP INDEX "orders by customer")"};
    // The trigger goes with the function that held its body.
    e.m_dropTrigger = {R"(DROP TRIGGER "orders audit" ON "orders")", R"(DROP FUNCTION "orders_orders audit_6"())"};
    e.m_dropKey = R"(ALTER TABLE "orders" DROP CONSTRAINT )";
    e.m_triggerCodeQuery = "select proname from pg_proc where pronamespace = 'public'::regnamespace";
    e.m_triggerCode = e.m_triggerCodeLast = {"staff_trim"};
    e.m_ordersLeftQuery = "select schemaname from pg_tables where tablename = 'orders'";
    e.m_ordersLeft = {"archive"};
    e.m_shopCount = "select count(*) from pg_class where relname like 'Bob%'";
    return e;
}

} // namespace

// The design workflow (DesignWorkflow.h) on a PostgreSQL server.
class TestPostgresOrderedWorkflow : public CDesignWorkflow
{
    Q_OBJECT

    COdbcSandbox m_sandbox;
    CPostgresDatabase m_database{m_sandbox};

public:
    TestPostgresOrderedWorkflow() : CDesignWorkflow(Postgres()) {}

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
create table "Customer Data" (id integer, region varchar(4), name varchar(40), primary key (id, region));
insert into "Customer Data" values (1, 'N', 'Ann'), (2, 'S', 'Bo'), (3, 'N', null);
create table staff (id integer primary key, boss integer references staff (id), name text);
insert into staff values (1, null, 'Eve'), (2, 1, 'Max');
create function staff_trim() returns trigger language plpgsql as $$ begin NEW.name := trim(NEW.name); return NEW; end $$;
create trigger "staff trim" before update on staff for each row execute function staff_trim();
create table audit (note text);
create table "Bob's ""Shop""" ("it's" integer);
create index "Bob's ""index""" on "Bob's ""Shop""" ("it's");
create trigger "Bob's ""trim""" before update on "Bob's ""Shop""" for each row execute function staff_trim();
create schema archive;
create table archive.staff (old_id integer);
create table archive.orders (old_id integer);
)SQL";

QTEST_MAIN(TestPostgresOrderedWorkflow)
#include "tst_postgresworkflow.moc"

#include "tests/support/PervasiveFixture.h"

CAdapterList AliasedPervasiveAdapter()
{
    CAdapterList adapters;
    adapters.Add(std::make_unique<CAliasedPervasiveAdapter>());
    return adapters;
}

CAdapterList SqliteWithPervasiveDialect()
{
    CAdapterList adapters;
    adapters.Add(std::make_unique<CSqliteWithPervasiveDialect>());
    return adapters;
}

QString PervasiveDictionarySql()
{
    return QStringLiteral(
        "create table \"X$File\"(\"Xf$Id\" integer, \"Xf$Name\" char(20));\n"
        "create table \"X$Field\"(\"Xe$Id\" integer, \"Xe$File\" integer, \"Xe$Name\" char(20),"
        " \"Xe$DataType\" integer, \"Xe$Offset\" integer);\n"
        "create table \"X$Relate\"(\"Xr$Name\" char(20), \"Xr$Pid\" integer, \"Xr$PIndex\" integer,"
        " \"Xr$FId\" integer, \"Xr$FIndex\" integer, \"Xr$UpdateRule\" integer,"
        " \"Xr$DeleteRule\" integer);\n"
        "create table \"X$Trigger\"(\"Xt$Name\" char(30), \"Xt$File\" integer);\n");
}

QString ExampleDatabaseSql()
{
    return PervasiveDictionarySql()
           + QStringLiteral(
               "create table CUSTOMER(ID INTEGER NOT NULL, NAME CHAR(30), AMOUNT DECIMAL(10,2));\n"
               "create unique index PK on CUSTOMER(ID);\n"
               "create index BY_NAME on CUSTOMER(NAME);\n"
               "create table ORDERS(ORDER_ID INTEGER NOT NULL, CUSTOMER_ID INTEGER);\n"
               "create unique index ORDERS_PK on ORDERS(ORDER_ID);\n"
               "create index BY_CUSTOMER on ORDERS(CUSTOMER_ID);\n"
               "insert into \"X$File\" values (1, 'CUSTOMER'), (2, 'ORDERS');\n"
               "insert into \"X$Field\" values (10, 1, 'PK', 255, 0),"
               " (11, 2, 'BY_CUSTOMER', 255, 1);\n"
               "insert into \"X$Relate\" values ('FK_ORDERS_CUSTOMER', 1, 0, 2, 1, 1, 1);\n"
               "insert into \"X$Trigger\" values ('\"CHECK_AMOUNT\"', 1);\n");
}

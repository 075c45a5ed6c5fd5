-- Vellumix sample database: a small order-entry system.
-- Build it with:  sqlite3 sample.db < samples/sample.sql
pragma foreign_keys = on;
begin;

create table region (
  country      char(2)     not null,
  region_code  varchar(6)  not null,
  name         varchar(40) not null,
  primary key (country, region_code)
);

create table employee (
  employee_id  integer primary key,
  full_name    varchar(60) not null,
  title        varchar(40),
  manager_id   integer constraint fk_employee_manager references employee (employee_id),
  hired_on     date
);
create index employee_by_manager on employee (manager_id);

create table customer (
  customer_id  integer primary key,
  name         varchar(60) not null,
  email        varchar(80) unique,
  referred_by  integer references customer (customer_id),
  created_on   date not null default (date('now'))
);
create index customer_by_name on customer (name);
create index customer_by_referrer on customer (referred_by);

create table address (
  address_id   integer primary key,
  customer_id  integer not null,
  line1        varchar(60) not null,
  city         varchar(40) not null,
  country      char(2) not null,
  region_code  varchar(6),
  constraint fk_address_customer foreign key (customer_id) references customer (customer_id)
    on delete cascade,
  constraint fk_address_region foreign key (country, region_code)
    references region (country, region_code)
);
create index address_by_customer on address (customer_id);
create index address_by_region on address (country, region_code);

create table category (
  category_id  integer primary key,
  name         varchar(40) not null unique
);

create table supplier (
  supplier_id  integer primary key,
  name         varchar(60) not null,
  country      char(2) not null
);

create table product (
  product_id   integer primary key,
  sku          varchar(20) not null,
  name         varchar(60) not null,
  category_id  integer not null constraint fk_product_category references category,
  supplier_id  integer references supplier,
  unit_price   numeric(10,2) not null check (unit_price >= 0)
);
create unique index product_sku on product (sku);
create index product_by_category on product (category_id, name);
create index product_by_supplier on product (supplier_id);

create table sales_order (
  order_id         integer primary key,
  customer_id      integer not null,
  ship_address_id  integer,
  salesperson_id   integer,
  ordered_on       date not null,
  status           char(1) not null default 'N',
  constraint fk_order_customer foreign key (customer_id) references customer,
  constraint fk_order_address foreign key (ship_address_id) references address (address_id),
  constraint fk_order_salesperson foreign key (salesperson_id) references employee
);
create index order_by_customer on sales_order (customer_id, ordered_on);
create index order_by_address on sales_order (ship_address_id);
create index order_by_salesperson on sales_order (salesperson_id);

create table order_line (
  order_id     integer not null references sales_order on delete cascade,
  line_no      integer not null,
  product_id   integer not null references product,
  quantity     integer not null check (quantity > 0),
  unit_price   numeric(10,2) not null,
  primary key (order_id, line_no)
);
create index order_line_by_product on order_line (product_id);

create table warehouse (
  warehouse_id integer primary key,
  name         varchar(40) not null,
  country      char(2) not null,
  region_code  varchar(6),
  foreign key (country, region_code) references region
);
create index warehouse_by_region on warehouse (country, region_code);

create table stock (
  warehouse_id integer not null constraint fk_stock_warehouse references warehouse,
  product_id   integer not null constraint fk_stock_product references product,
  on_hand      integer not null default 0,
  primary key (warehouse_id, product_id)
);
create index stock_by_product on stock (product_id);

create table shipment (
  shipment_id  integer primary key,
  order_id     integer not null references sales_order,
  warehouse_id integer not null references warehouse,
  shipped_on   date,
  carrier      varchar(30)
);
create index shipment_by_order on shipment (order_id);
create index shipment_by_warehouse on shipment (warehouse_id);

create table shipment_line (
  shipment_id  integer not null references shipment on delete cascade,
  order_id     integer not null,
  line_no      integer not null,
  quantity     integer not null,
  primary key (shipment_id, order_id, line_no),
  constraint fk_shipment_line_order_line foreign key (order_id, line_no)
    references order_line (order_id, line_no)
);
create index shipment_line_by_order_line on shipment_line (order_id, line_no);

create table payment (
  payment_id   integer primary key,
  order_id     integer not null constraint fk_payment_order references sales_order,
  paid_on      date not null,
  amount       numeric(10,2) not null,
  method       varchar(12) not null
);
create index payment_by_order on payment (order_id, paid_on);

-- Stock follows what is ordered and what is shipped.
create trigger order_line_reserves_stock after insert on order_line
begin
  update stock set on_hand = on_hand - new.quantity
   where product_id = new.product_id
     and warehouse_id = (select min(warehouse_id) from stock where product_id = new.product_id);
end;

create trigger shipment_closes_order after insert on shipment
begin
  update sales_order set status = 'S' where order_id = new.order_id;
end;

create trigger payment_marks_order_paid after insert on payment
when (select sum(amount) from payment where order_id = new.order_id)
     >= (select sum(quantity * unit_price) from order_line where order_id = new.order_id)
begin
  update sales_order set status = 'P' where order_id = new.order_id and status <> 'S';
end;

create trigger product_price_not_negative before update of unit_price on product
when new.unit_price < 0
begin
  select raise(abort, 'A price cannot be negative');
end;

-- A little data, so that the database is not empty when explored.
insert into region values
  ('DE', 'BY', 'Bavaria'), ('DE', 'BE', 'Berlin'), ('FR', 'IDF', 'Ile-de-France'),
  ('US', 'CA', 'California'), ('US', 'NY', 'New York');
insert into employee values
  (1, 'Greta Lindqvist', 'Sales Director', null, '2015-03-01'),
  (2, 'Tomas Berger', 'Account Manager', 1, '2018-09-15'),
  (3, 'Aiko Tanaka', 'Account Manager', 1, '2021-01-11');
insert into customer values
  (1, 'Harbour Tools Ltd', 'orders@harbourtools.example', null, '2019-05-02'),
  (2, 'Kessler Werkstatt', 'einkauf@kessler.example', 1, '2020-02-17'),
  (3, 'Atelier Moreau', 'contact@moreau.example', 2, '2022-11-03');
insert into address values
  (1, 1, '12 Quay Street', 'San Francisco', 'US', 'CA'),
  (2, 2, 'Werkstrasse 4', 'Munich', 'DE', 'BY'),
  (3, 3, '8 rue des Lilas', 'Paris', 'FR', 'IDF');
insert into category values (1, 'Hand tools'), (2, 'Fasteners'), (3, 'Measuring');
insert into supplier values (1, 'Nordstahl GmbH', 'DE'), (2, 'Pacific Supply Co', 'US');
insert into product values
  (1, 'HT-100', 'Claw hammer 450 g', 1, 1, 18.50),
  (2, 'HT-210', 'Screwdriver set, 6 pieces', 1, 1, 24.90),
  (3, 'FA-008', 'Wood screws 4x40, box of 200', 2, 2, 6.75),
  (4, 'ME-300', 'Steel tape measure 5 m', 3, 2, 11.20);
insert into warehouse values (1, 'Munich Central', 'DE', 'BY'), (2, 'Oakland Dock', 'US', 'CA');
insert into stock values (1, 1, 120), (1, 2, 80), (1, 3, 900), (2, 3, 400), (2, 4, 60);
insert into sales_order values
  (1, 1, 1, 2, '2024-03-04', 'N'),
  (2, 2, 2, 3, '2024-03-06', 'N');
insert into order_line values
  (1, 1, 3, 10, 6.75), (1, 2, 4, 2, 11.20),
  (2, 1, 1, 5, 18.50), (2, 2, 2, 5, 24.90);
insert into shipment values (1, 1, 2, '2024-03-07', 'Harbor Freight Lines');
insert into shipment_line values (1, 1, 1, 10), (1, 1, 2, 2);
insert into payment values (1, 2, '2024-03-10', 217.00, 'transfer');

commit;

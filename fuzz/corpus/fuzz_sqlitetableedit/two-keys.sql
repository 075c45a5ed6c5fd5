CREATE TABLE address (
  address_id integer primary key,
  customer_id integer not null,
  country char(2) not null,
  region_code varchar(6),
  constraint fk_address_customer foreign key (customer_id) references customer (customer_id)
    on delete cascade,
  constraint fk_address_region foreign key (country, region_code)
    references region (country, region_code)
)
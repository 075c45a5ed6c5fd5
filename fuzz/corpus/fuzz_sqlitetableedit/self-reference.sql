CREATE TABLE employee (
  employee_id  integer primary key,
  full_name    varchar(60) not null,
  manager_id   integer constraint fk_employee_manager references employee (employee_id),
  hired_on     date
)
-- The database schema of Zabbix 6.0, a network monitoring system, as the
-- Debian package zabbix-server-pgsql 1:6.0.14+dfsg-1+b1 ships it
-- (/usr/share/zabbix-server-pgsql/schema.sql.gz; Copyright 2000-2023 Zabbix SIA,
-- licence GPL-2+). Kept: the CREATE TABLE and CREATE INDEX statements with each
-- column's name, type and NOT NULL, and the foreign keys, written into their
-- tables so that SQLite reads them; dropped: defaults, data, functions and
-- triggers. The measurements need only what the diagram shows.
CREATE TABLE role (
  roleid bigint NOT NULL,
  name varchar(255) NOT NULL,
  type integer NOT NULL,
  readonly integer NOT NULL,
  PRIMARY KEY (roleid)
);
CREATE TABLE users (
  userid bigint NOT NULL,
  username varchar(100) NOT NULL,
  name varchar(100) NOT NULL,
  surname varchar(100) NOT NULL,
  passwd varchar(60) NOT NULL,
  url varchar(2048) NOT NULL,
  autologin integer NOT NULL,
  autologout varchar(32) NOT NULL,
  lang varchar(7) NOT NULL,
  refresh varchar(32) NOT NULL,
  theme varchar(128) NOT NULL,
  attempt_failed integer NOT NULL,
  attempt_ip varchar(39) NOT NULL,
  attempt_clock integer NOT NULL,
  rows_per_page integer NOT NULL,
  timezone varchar(50) NOT NULL,
  roleid bigint NOT NULL,
  PRIMARY KEY (userid),
  CONSTRAINT c_users_1 FOREIGN KEY (roleid) REFERENCES role (roleid)
);
CREATE TABLE maintenances (
  maintenanceid bigint NOT NULL,
  name varchar(128) NOT NULL,
  maintenance_type integer NOT NULL,
  description text NOT NULL,
  active_since integer NOT NULL,
  active_till integer NOT NULL,
  tags_evaltype integer NOT NULL,
  PRIMARY KEY (maintenanceid)
);
CREATE TABLE hosts (
  hostid bigint NOT NULL,
  proxy_hostid bigint,
  host varchar(128) NOT NULL,
  status integer NOT NULL,
  lastaccess integer NOT NULL,
  ipmi_authtype integer NOT NULL,
  ipmi_privilege integer NOT NULL,
  ipmi_username varchar(16) NOT NULL,
  ipmi_password varchar(20) NOT NULL,
  maintenanceid bigint,
  maintenance_status integer NOT NULL,
  maintenance_type integer NOT NULL,
  maintenance_from integer NOT NULL,
  name varchar(128) NOT NULL,
  flags integer NOT NULL,
  templateid bigint,
  description text NOT NULL,
  tls_connect integer NOT NULL,
  tls_accept integer NOT NULL,
  tls_issuer varchar(1024) NOT NULL,
  tls_subject varchar(1024) NOT NULL,
  tls_psk_identity varchar(128) NOT NULL,
  tls_psk varchar(512) NOT NULL,
  proxy_address varchar(255) NOT NULL,
  auto_compress integer NOT NULL,
  discover integer NOT NULL,
  custom_interfaces integer NOT NULL,
  uuid varchar(32) NOT NULL,
  name_upper varchar(128) NOT NULL,
  PRIMARY KEY (hostid),
  CONSTRAINT c_hosts_1 FOREIGN KEY (proxy_hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_hosts_2 FOREIGN KEY (maintenanceid) REFERENCES maintenances (maintenanceid),
  CONSTRAINT c_hosts_3 FOREIGN KEY (templateid) REFERENCES hosts (hostid)
);
CREATE TABLE hstgrp (
  groupid bigint NOT NULL,
  name varchar(255) NOT NULL,
  internal integer NOT NULL,
  flags integer NOT NULL,
  uuid varchar(32) NOT NULL,
  PRIMARY KEY (groupid)
);
CREATE TABLE group_prototype (
  group_prototypeid bigint NOT NULL,
  hostid bigint NOT NULL,
  name varchar(255) NOT NULL,
  groupid bigint,
  templateid bigint,
  PRIMARY KEY (group_prototypeid),
  CONSTRAINT c_group_prototype_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_group_prototype_2 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid),
  CONSTRAINT c_group_prototype_3 FOREIGN KEY (templateid) REFERENCES group_prototype (group_prototypeid)
);
CREATE TABLE group_discovery (
  groupid bigint NOT NULL,
  parent_group_prototypeid bigint NOT NULL,
  name varchar(255) NOT NULL,
  lastcheck integer NOT NULL,
  ts_delete integer NOT NULL,
  PRIMARY KEY (groupid),
  CONSTRAINT c_group_discovery_1 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid),
  CONSTRAINT c_group_discovery_2 FOREIGN KEY (parent_group_prototypeid) REFERENCES group_prototype (group_prototypeid)
);
CREATE TABLE drules (
  druleid bigint NOT NULL,
  proxy_hostid bigint,
  name varchar(255) NOT NULL,
  iprange varchar(2048) NOT NULL,
  delay varchar(255) NOT NULL,
  nextcheck integer NOT NULL,
  status integer NOT NULL,
  PRIMARY KEY (druleid),
  CONSTRAINT c_drules_1 FOREIGN KEY (proxy_hostid) REFERENCES hosts (hostid)
);
CREATE TABLE dchecks (
  dcheckid bigint NOT NULL,
  druleid bigint NOT NULL,
  type integer NOT NULL,
  key_ varchar(2048) NOT NULL,
  snmp_community varchar(255) NOT NULL,
  ports varchar(255) NOT NULL,
  snmpv3_securityname varchar(64) NOT NULL,
  snmpv3_securitylevel integer NOT NULL,
  snmpv3_authpassphrase varchar(64) NOT NULL,
  snmpv3_privpassphrase varchar(64) NOT NULL,
  uniq integer NOT NULL,
  snmpv3_authprotocol integer NOT NULL,
  snmpv3_privprotocol integer NOT NULL,
  snmpv3_contextname varchar(255) NOT NULL,
  host_source integer NOT NULL,
  name_source integer NOT NULL,
  PRIMARY KEY (dcheckid),
  CONSTRAINT c_dchecks_1 FOREIGN KEY (druleid) REFERENCES drules (druleid)
);
CREATE TABLE httptest (
  httptestid bigint NOT NULL,
  name varchar(64) NOT NULL,
  nextcheck integer NOT NULL,
  delay varchar(255) NOT NULL,
  status integer NOT NULL,
  agent varchar(255) NOT NULL,
  authentication integer NOT NULL,
  http_user varchar(64) NOT NULL,
  http_password varchar(64) NOT NULL,
  hostid bigint NOT NULL,
  templateid bigint,
  http_proxy varchar(255) NOT NULL,
  retries integer NOT NULL,
  ssl_cert_file varchar(255) NOT NULL,
  ssl_key_file varchar(255) NOT NULL,
  ssl_key_password varchar(64) NOT NULL,
  verify_peer integer NOT NULL,
  verify_host integer NOT NULL,
  uuid varchar(32) NOT NULL,
  PRIMARY KEY (httptestid),
  CONSTRAINT c_httptest_2 FOREIGN KEY (hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_httptest_3 FOREIGN KEY (templateid) REFERENCES httptest (httptestid)
);
CREATE TABLE httpstep (
  httpstepid bigint NOT NULL,
  httptestid bigint NOT NULL,
  name varchar(64) NOT NULL,
  no integer NOT NULL,
  url varchar(2048) NOT NULL,
  timeout varchar(255) NOT NULL,
  posts text NOT NULL,
  required varchar(255) NOT NULL,
  status_codes varchar(255) NOT NULL,
  follow_redirects integer NOT NULL,
  retrieve_mode integer NOT NULL,
  post_type integer NOT NULL,
  PRIMARY KEY (httpstepid),
  CONSTRAINT c_httpstep_1 FOREIGN KEY (httptestid) REFERENCES httptest (httptestid)
);
CREATE TABLE interface (
  interfaceid bigint NOT NULL,
  hostid bigint NOT NULL,
  main integer NOT NULL,
  type integer NOT NULL,
  useip integer NOT NULL,
  ip varchar(64) NOT NULL,
  dns varchar(255) NOT NULL,
  port varchar(64) NOT NULL,
  available integer NOT NULL,
  error varchar(2048) NOT NULL,
  errors_from integer NOT NULL,
  disable_until integer NOT NULL,
  PRIMARY KEY (interfaceid),
  CONSTRAINT c_interface_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid)
);
CREATE TABLE valuemap (
  valuemapid bigint NOT NULL,
  hostid bigint NOT NULL,
  name varchar(64) NOT NULL,
  uuid varchar(32) NOT NULL,
  PRIMARY KEY (valuemapid),
  CONSTRAINT c_valuemap_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid)
);
CREATE TABLE items (
  itemid bigint NOT NULL,
  type integer NOT NULL,
  snmp_oid varchar(512) NOT NULL,
  hostid bigint NOT NULL,
  name varchar(255) NOT NULL,
  key_ varchar(2048) NOT NULL,
  delay varchar(1024) NOT NULL,
  history varchar(255) NOT NULL,
  trends varchar(255) NOT NULL,
  status integer NOT NULL,
  value_type integer NOT NULL,
  trapper_hosts varchar(255) NOT NULL,
  units varchar(255) NOT NULL,
  formula varchar(255) NOT NULL,
  logtimefmt varchar(64) NOT NULL,
  templateid bigint,
  valuemapid bigint,
  params text NOT NULL,
  ipmi_sensor varchar(128) NOT NULL,
  authtype integer NOT NULL,
  username varchar(64) NOT NULL,
  password varchar(64) NOT NULL,
  publickey varchar(64) NOT NULL,
  privatekey varchar(64) NOT NULL,
  flags integer NOT NULL,
  interfaceid bigint,
  description text NOT NULL,
  inventory_link integer NOT NULL,
  lifetime varchar(255) NOT NULL,
  evaltype integer NOT NULL,
  jmx_endpoint varchar(255) NOT NULL,
  master_itemid bigint,
  timeout varchar(255) NOT NULL,
  url varchar(2048) NOT NULL,
  query_fields varchar(2048) NOT NULL,
  posts text NOT NULL,
  status_codes varchar(255) NOT NULL,
  follow_redirects integer NOT NULL,
  post_type integer NOT NULL,
  http_proxy varchar(255) NOT NULL,
  headers text NOT NULL,
  retrieve_mode integer NOT NULL,
  request_method integer NOT NULL,
  output_format integer NOT NULL,
  ssl_cert_file varchar(255) NOT NULL,
  ssl_key_file varchar(255) NOT NULL,
  ssl_key_password varchar(64) NOT NULL,
  verify_peer integer NOT NULL,
  verify_host integer NOT NULL,
  allow_traps integer NOT NULL,
  discover integer NOT NULL,
  uuid varchar(32) NOT NULL,
  name_upper varchar(255) NOT NULL,
  PRIMARY KEY (itemid),
  CONSTRAINT c_items_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_items_2 FOREIGN KEY (templateid) REFERENCES items (itemid),
  CONSTRAINT c_items_3 FOREIGN KEY (valuemapid) REFERENCES valuemap (valuemapid),
  CONSTRAINT c_items_4 FOREIGN KEY (interfaceid) REFERENCES interface (interfaceid),
  CONSTRAINT c_items_5 FOREIGN KEY (master_itemid) REFERENCES items (itemid)
);
CREATE TABLE httpstepitem (
  httpstepitemid bigint NOT NULL,
  httpstepid bigint NOT NULL,
  itemid bigint NOT NULL,
  type integer NOT NULL,
  PRIMARY KEY (httpstepitemid),
  CONSTRAINT c_httpstepitem_1 FOREIGN KEY (httpstepid) REFERENCES httpstep (httpstepid),
  CONSTRAINT c_httpstepitem_2 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE httptestitem (
  httptestitemid bigint NOT NULL,
  httptestid bigint NOT NULL,
  itemid bigint NOT NULL,
  type integer NOT NULL,
  PRIMARY KEY (httptestitemid),
  CONSTRAINT c_httptestitem_1 FOREIGN KEY (httptestid) REFERENCES httptest (httptestid),
  CONSTRAINT c_httptestitem_2 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE media_type (
  mediatypeid bigint NOT NULL,
  type integer NOT NULL,
  name varchar(100) NOT NULL,
  smtp_server varchar(255) NOT NULL,
  smtp_helo varchar(255) NOT NULL,
  smtp_email varchar(255) NOT NULL,
  exec_path varchar(255) NOT NULL,
  gsm_modem varchar(255) NOT NULL,
  username varchar(255) NOT NULL,
  passwd varchar(255) NOT NULL,
  status integer NOT NULL,
  smtp_port integer NOT NULL,
  smtp_security integer NOT NULL,
  smtp_verify_peer integer NOT NULL,
  smtp_verify_host integer NOT NULL,
  smtp_authentication integer NOT NULL,
  exec_params varchar(255) NOT NULL,
  maxsessions integer NOT NULL,
  maxattempts integer NOT NULL,
  attempt_interval varchar(32) NOT NULL,
  content_type integer NOT NULL,
  script text NOT NULL,
  timeout varchar(32) NOT NULL,
  process_tags integer NOT NULL,
  show_event_menu integer NOT NULL,
  event_menu_url varchar(2048) NOT NULL,
  event_menu_name varchar(255) NOT NULL,
  description text NOT NULL,
  PRIMARY KEY (mediatypeid)
);
CREATE TABLE media_type_param (
  mediatype_paramid bigint NOT NULL,
  mediatypeid bigint NOT NULL,
  name varchar(255) NOT NULL,
  value varchar(2048) NOT NULL,
  PRIMARY KEY (mediatype_paramid),
  CONSTRAINT c_media_type_param_1 FOREIGN KEY (mediatypeid) REFERENCES media_type (mediatypeid)
);
CREATE TABLE media_type_message (
  mediatype_messageid bigint NOT NULL,
  mediatypeid bigint NOT NULL,
  eventsource integer NOT NULL,
  recovery integer NOT NULL,
  subject varchar(255) NOT NULL,
  message text NOT NULL,
  PRIMARY KEY (mediatype_messageid),
  CONSTRAINT c_media_type_message_1 FOREIGN KEY (mediatypeid) REFERENCES media_type (mediatypeid)
);
CREATE TABLE usrgrp (
  usrgrpid bigint NOT NULL,
  name varchar(64) NOT NULL,
  gui_access integer NOT NULL,
  users_status integer NOT NULL,
  debug_mode integer NOT NULL,
  PRIMARY KEY (usrgrpid)
);
CREATE TABLE users_groups (
  id bigint NOT NULL,
  usrgrpid bigint NOT NULL,
  userid bigint NOT NULL,
  PRIMARY KEY (id),
  CONSTRAINT c_users_groups_1 FOREIGN KEY (usrgrpid) REFERENCES usrgrp (usrgrpid),
  CONSTRAINT c_users_groups_2 FOREIGN KEY (userid) REFERENCES users (userid)
);
CREATE TABLE scripts (
  scriptid bigint NOT NULL,
  name varchar(255) NOT NULL,
  command text NOT NULL,
  host_access integer NOT NULL,
  usrgrpid bigint,
  groupid bigint,
  description text NOT NULL,
  confirmation varchar(255) NOT NULL,
  type integer NOT NULL,
  execute_on integer NOT NULL,
  timeout varchar(32) NOT NULL,
  scope integer NOT NULL,
  port varchar(64) NOT NULL,
  authtype integer NOT NULL,
  username varchar(64) NOT NULL,
  password varchar(64) NOT NULL,
  publickey varchar(64) NOT NULL,
  privatekey varchar(64) NOT NULL,
  menu_path varchar(255) NOT NULL,
  PRIMARY KEY (scriptid),
  CONSTRAINT c_scripts_1 FOREIGN KEY (usrgrpid) REFERENCES usrgrp (usrgrpid),
  CONSTRAINT c_scripts_2 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid)
);
CREATE TABLE script_param (
  script_paramid bigint NOT NULL,
  scriptid bigint NOT NULL,
  name varchar(255) NOT NULL,
  value varchar(2048) NOT NULL,
  PRIMARY KEY (script_paramid),
  CONSTRAINT c_script_param_1 FOREIGN KEY (scriptid) REFERENCES scripts (scriptid)
);
CREATE TABLE actions (
  actionid bigint NOT NULL,
  name varchar(255) NOT NULL,
  eventsource integer NOT NULL,
  evaltype integer NOT NULL,
  status integer NOT NULL,
  esc_period varchar(255) NOT NULL,
  formula varchar(1024) NOT NULL,
  pause_suppressed integer NOT NULL,
  notify_if_canceled integer NOT NULL,
  PRIMARY KEY (actionid)
);
CREATE TABLE operations (
  operationid bigint NOT NULL,
  actionid bigint NOT NULL,
  operationtype integer NOT NULL,
  esc_period varchar(255) NOT NULL,
  esc_step_from integer NOT NULL,
  esc_step_to integer NOT NULL,
  evaltype integer NOT NULL,
  recovery integer NOT NULL,
  PRIMARY KEY (operationid),
  CONSTRAINT c_operations_1 FOREIGN KEY (actionid) REFERENCES actions (actionid)
);
CREATE TABLE opmessage (
  operationid bigint NOT NULL,
  default_msg integer NOT NULL,
  subject varchar(255) NOT NULL,
  message text NOT NULL,
  mediatypeid bigint,
  PRIMARY KEY (operationid),
  CONSTRAINT c_opmessage_1 FOREIGN KEY (operationid) REFERENCES operations (operationid),
  CONSTRAINT c_opmessage_2 FOREIGN KEY (mediatypeid) REFERENCES media_type (mediatypeid)
);
CREATE TABLE opmessage_grp (
  opmessage_grpid bigint NOT NULL,
  operationid bigint NOT NULL,
  usrgrpid bigint NOT NULL,
  PRIMARY KEY (opmessage_grpid),
  CONSTRAINT c_opmessage_grp_1 FOREIGN KEY (operationid) REFERENCES operations (operationid),
  CONSTRAINT c_opmessage_grp_2 FOREIGN KEY (usrgrpid) REFERENCES usrgrp (usrgrpid)
);
CREATE TABLE opmessage_usr (
  opmessage_usrid bigint NOT NULL,
  operationid bigint NOT NULL,
  userid bigint NOT NULL,
  PRIMARY KEY (opmessage_usrid),
  CONSTRAINT c_opmessage_usr_1 FOREIGN KEY (operationid) REFERENCES operations (operationid),
  CONSTRAINT c_opmessage_usr_2 FOREIGN KEY (userid) REFERENCES users (userid)
);
CREATE TABLE opcommand (
  operationid bigint NOT NULL,
  scriptid bigint NOT NULL,
  PRIMARY KEY (operationid),
  CONSTRAINT c_opcommand_1 FOREIGN KEY (operationid) REFERENCES operations (operationid),
  CONSTRAINT c_opcommand_2 FOREIGN KEY (scriptid) REFERENCES scripts (scriptid)
);
CREATE TABLE opcommand_hst (
  opcommand_hstid bigint NOT NULL,
  operationid bigint NOT NULL,
  hostid bigint,
  PRIMARY KEY (opcommand_hstid),
  CONSTRAINT c_opcommand_hst_1 FOREIGN KEY (operationid) REFERENCES operations (operationid),
  CONSTRAINT c_opcommand_hst_2 FOREIGN KEY (hostid) REFERENCES hosts (hostid)
);
CREATE TABLE opcommand_grp (
  opcommand_grpid bigint NOT NULL,
  operationid bigint NOT NULL,
  groupid bigint NOT NULL,
  PRIMARY KEY (opcommand_grpid),
  CONSTRAINT c_opcommand_grp_1 FOREIGN KEY (operationid) REFERENCES operations (operationid),
  CONSTRAINT c_opcommand_grp_2 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid)
);
CREATE TABLE opgroup (
  opgroupid bigint NOT NULL,
  operationid bigint NOT NULL,
  groupid bigint NOT NULL,
  PRIMARY KEY (opgroupid),
  CONSTRAINT c_opgroup_1 FOREIGN KEY (operationid) REFERENCES operations (operationid),
  CONSTRAINT c_opgroup_2 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid)
);
CREATE TABLE optemplate (
  optemplateid bigint NOT NULL,
  operationid bigint NOT NULL,
  templateid bigint NOT NULL,
  PRIMARY KEY (optemplateid),
  CONSTRAINT c_optemplate_1 FOREIGN KEY (operationid) REFERENCES operations (operationid),
  CONSTRAINT c_optemplate_2 FOREIGN KEY (templateid) REFERENCES hosts (hostid)
);
CREATE TABLE opconditions (
  opconditionid bigint NOT NULL,
  operationid bigint NOT NULL,
  conditiontype integer NOT NULL,
  operator integer NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (opconditionid),
  CONSTRAINT c_opconditions_1 FOREIGN KEY (operationid) REFERENCES operations (operationid)
);
CREATE TABLE conditions (
  conditionid bigint NOT NULL,
  actionid bigint NOT NULL,
  conditiontype integer NOT NULL,
  operator integer NOT NULL,
  value varchar(255) NOT NULL,
  value2 varchar(255) NOT NULL,
  PRIMARY KEY (conditionid),
  CONSTRAINT c_conditions_1 FOREIGN KEY (actionid) REFERENCES actions (actionid)
);
CREATE TABLE config (
  configid bigint NOT NULL,
  work_period varchar(255) NOT NULL,
  alert_usrgrpid bigint,
  default_theme varchar(128) NOT NULL,
  authentication_type integer NOT NULL,
  ldap_host varchar(255) NOT NULL,
  ldap_port integer NOT NULL,
  ldap_base_dn varchar(255) NOT NULL,
  ldap_bind_dn varchar(255) NOT NULL,
  ldap_bind_password varchar(128) NOT NULL,
  ldap_search_attribute varchar(128) NOT NULL,
  discovery_groupid bigint NOT NULL,
  max_in_table integer NOT NULL,
  search_limit integer NOT NULL,
  severity_color_0 varchar(6) NOT NULL,
  severity_color_1 varchar(6) NOT NULL,
  severity_color_2 varchar(6) NOT NULL,
  severity_color_3 varchar(6) NOT NULL,
  severity_color_4 varchar(6) NOT NULL,
  severity_color_5 varchar(6) NOT NULL,
  severity_name_0 varchar(32) NOT NULL,
  severity_name_1 varchar(32) NOT NULL,
  severity_name_2 varchar(32) NOT NULL,
  severity_name_3 varchar(32) NOT NULL,
  severity_name_4 varchar(32) NOT NULL,
  severity_name_5 varchar(32) NOT NULL,
  ok_period varchar(32) NOT NULL,
  blink_period varchar(32) NOT NULL,
  problem_unack_color varchar(6) NOT NULL,
  problem_ack_color varchar(6) NOT NULL,
  ok_unack_color varchar(6) NOT NULL,
  ok_ack_color varchar(6) NOT NULL,
  problem_unack_style integer NOT NULL,
  problem_ack_style integer NOT NULL,
  ok_unack_style integer NOT NULL,
  ok_ack_style integer NOT NULL,
  snmptrap_logging integer NOT NULL,
  server_check_interval integer NOT NULL,
  hk_events_mode integer NOT NULL,
  hk_events_trigger varchar(32) NOT NULL,
  hk_events_internal varchar(32) NOT NULL,
  hk_events_discovery varchar(32) NOT NULL,
  hk_events_autoreg varchar(32) NOT NULL,
  hk_services_mode integer NOT NULL,
  hk_services varchar(32) NOT NULL,
  hk_audit_mode integer NOT NULL,
  hk_audit varchar(32) NOT NULL,
  hk_sessions_mode integer NOT NULL,
  hk_sessions varchar(32) NOT NULL,
  hk_history_mode integer NOT NULL,
  hk_history_global integer NOT NULL,
  hk_history varchar(32) NOT NULL,
  hk_trends_mode integer NOT NULL,
  hk_trends_global integer NOT NULL,
  hk_trends varchar(32) NOT NULL,
  default_inventory_mode integer NOT NULL,
  custom_color integer NOT NULL,
  http_auth_enabled integer NOT NULL,
  http_login_form integer NOT NULL,
  http_strip_domains varchar(2048) NOT NULL,
  http_case_sensitive integer NOT NULL,
  ldap_configured integer NOT NULL,
  ldap_case_sensitive integer NOT NULL,
  db_extension varchar(32) NOT NULL,
  autoreg_tls_accept integer NOT NULL,
  compression_status integer NOT NULL,
  compress_older varchar(32) NOT NULL,
  instanceid varchar(32) NOT NULL,
  saml_auth_enabled integer NOT NULL,
  saml_idp_entityid varchar(1024) NOT NULL,
  saml_sso_url varchar(2048) NOT NULL,
  saml_slo_url varchar(2048) NOT NULL,
  saml_username_attribute varchar(128) NOT NULL,
  saml_sp_entityid varchar(1024) NOT NULL,
  saml_nameid_format varchar(2048) NOT NULL,
  saml_sign_messages integer NOT NULL,
  saml_sign_assertions integer NOT NULL,
  saml_sign_authn_requests integer NOT NULL,
  saml_sign_logout_requests integer NOT NULL,
  saml_sign_logout_responses integer NOT NULL,
  saml_encrypt_nameid integer NOT NULL,
  saml_encrypt_assertions integer NOT NULL,
  saml_case_sensitive integer NOT NULL,
  default_lang varchar(5) NOT NULL,
  default_timezone varchar(50) NOT NULL,
  login_attempts integer NOT NULL,
  login_block varchar(32) NOT NULL,
  show_technical_errors integer NOT NULL,
  validate_uri_schemes integer NOT NULL,
  uri_valid_schemes varchar(255) NOT NULL,
  x_frame_options varchar(255) NOT NULL,
  iframe_sandboxing_enabled integer NOT NULL,
  iframe_sandboxing_exceptions varchar(255) NOT NULL,
  max_overview_table_size integer NOT NULL,
  history_period varchar(32) NOT NULL,
  period_default varchar(32) NOT NULL,
  max_period varchar(32) NOT NULL,
  socket_timeout varchar(32) NOT NULL,
  connect_timeout varchar(32) NOT NULL,
  media_type_test_timeout varchar(32) NOT NULL,
  script_timeout varchar(32) NOT NULL,
  item_test_timeout varchar(32) NOT NULL,
  session_key varchar(32) NOT NULL,
  url varchar(255) NOT NULL,
  report_test_timeout varchar(32) NOT NULL,
  dbversion_status text NOT NULL,
  hk_events_service varchar(32) NOT NULL,
  passwd_min_length integer NOT NULL,
  passwd_check_rules integer NOT NULL,
  auditlog_enabled integer NOT NULL,
  ha_failover_delay varchar(32) NOT NULL,
  geomaps_tile_provider varchar(255) NOT NULL,
  geomaps_tile_url varchar(1024) NOT NULL,
  geomaps_max_zoom integer NOT NULL,
  geomaps_attribution varchar(1024) NOT NULL,
  PRIMARY KEY (configid),
  CONSTRAINT c_config_1 FOREIGN KEY (alert_usrgrpid) REFERENCES usrgrp (usrgrpid),
  CONSTRAINT c_config_2 FOREIGN KEY (discovery_groupid) REFERENCES hstgrp (groupid)
);
CREATE TABLE triggers (
  triggerid bigint NOT NULL,
  expression varchar(2048) NOT NULL,
  description text NOT NULL,
  url varchar(255) NOT NULL,
  status integer NOT NULL,
  value integer NOT NULL,
  priority integer NOT NULL,
  lastchange integer NOT NULL,
  comments text NOT NULL,
  error varchar(2048) NOT NULL,
  templateid bigint,
  type integer NOT NULL,
  state integer NOT NULL,
  flags integer NOT NULL,
  recovery_mode integer NOT NULL,
  recovery_expression varchar(2048) NOT NULL,
  correlation_mode integer NOT NULL,
  correlation_tag varchar(255) NOT NULL,
  manual_close integer NOT NULL,
  opdata varchar(255) NOT NULL,
  discover integer NOT NULL,
  event_name varchar(2048) NOT NULL,
  uuid varchar(32) NOT NULL,
  PRIMARY KEY (triggerid),
  CONSTRAINT c_triggers_1 FOREIGN KEY (templateid) REFERENCES triggers (triggerid)
);
CREATE TABLE trigger_depends (
  triggerdepid bigint NOT NULL,
  triggerid_down bigint NOT NULL,
  triggerid_up bigint NOT NULL,
  PRIMARY KEY (triggerdepid),
  CONSTRAINT c_trigger_depends_1 FOREIGN KEY (triggerid_down) REFERENCES triggers (triggerid),
  CONSTRAINT c_trigger_depends_2 FOREIGN KEY (triggerid_up) REFERENCES triggers (triggerid)
);
CREATE TABLE functions (
  functionid bigint NOT NULL,
  itemid bigint NOT NULL,
  triggerid bigint NOT NULL,
  name varchar(12) NOT NULL,
  parameter varchar(255) NOT NULL,
  PRIMARY KEY (functionid),
  CONSTRAINT c_functions_1 FOREIGN KEY (itemid) REFERENCES items (itemid),
  CONSTRAINT c_functions_2 FOREIGN KEY (triggerid) REFERENCES triggers (triggerid)
);
CREATE TABLE graphs (
  graphid bigint NOT NULL,
  name varchar(128) NOT NULL,
  width integer NOT NULL,
  height integer NOT NULL,
  yaxismin DOUBLE NOT NULL,
  yaxismax DOUBLE NOT NULL,
  templateid bigint,
  show_work_period integer NOT NULL,
  show_triggers integer NOT NULL,
  graphtype integer NOT NULL,
  show_legend integer NOT NULL,
  show_3d integer NOT NULL,
  percent_left DOUBLE NOT NULL,
  percent_right DOUBLE NOT NULL,
  ymin_type integer NOT NULL,
  ymax_type integer NOT NULL,
  ymin_itemid bigint,
  ymax_itemid bigint,
  flags integer NOT NULL,
  discover integer NOT NULL,
  uuid varchar(32) NOT NULL,
  PRIMARY KEY (graphid),
  CONSTRAINT c_graphs_1 FOREIGN KEY (templateid) REFERENCES graphs (graphid),
  CONSTRAINT c_graphs_2 FOREIGN KEY (ymin_itemid) REFERENCES items (itemid),
  CONSTRAINT c_graphs_3 FOREIGN KEY (ymax_itemid) REFERENCES items (itemid)
);
CREATE TABLE graphs_items (
  gitemid bigint NOT NULL,
  graphid bigint NOT NULL,
  itemid bigint NOT NULL,
  drawtype integer NOT NULL,
  sortorder integer NOT NULL,
  color varchar(6) NOT NULL,
  yaxisside integer NOT NULL,
  calc_fnc integer NOT NULL,
  type integer NOT NULL,
  PRIMARY KEY (gitemid),
  CONSTRAINT c_graphs_items_1 FOREIGN KEY (graphid) REFERENCES graphs (graphid),
  CONSTRAINT c_graphs_items_2 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE graph_theme (
  graphthemeid bigint NOT NULL,
  theme varchar(64) NOT NULL,
  backgroundcolor varchar(6) NOT NULL,
  graphcolor varchar(6) NOT NULL,
  gridcolor varchar(6) NOT NULL,
  maingridcolor varchar(6) NOT NULL,
  gridbordercolor varchar(6) NOT NULL,
  textcolor varchar(6) NOT NULL,
  highlightcolor varchar(6) NOT NULL,
  leftpercentilecolor varchar(6) NOT NULL,
  rightpercentilecolor varchar(6) NOT NULL,
  nonworktimecolor varchar(6) NOT NULL,
  colorpalette varchar(255) NOT NULL,
  PRIMARY KEY (graphthemeid)
);
CREATE TABLE globalmacro (
  globalmacroid bigint NOT NULL,
  macro varchar(255) NOT NULL,
  value varchar(2048) NOT NULL,
  description text NOT NULL,
  type integer NOT NULL,
  PRIMARY KEY (globalmacroid)
);
CREATE TABLE hostmacro (
  hostmacroid bigint NOT NULL,
  hostid bigint NOT NULL,
  macro varchar(255) NOT NULL,
  value varchar(2048) NOT NULL,
  description text NOT NULL,
  type integer NOT NULL,
  PRIMARY KEY (hostmacroid),
  CONSTRAINT c_hostmacro_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid)
);
CREATE TABLE hosts_groups (
  hostgroupid bigint NOT NULL,
  hostid bigint NOT NULL,
  groupid bigint NOT NULL,
  PRIMARY KEY (hostgroupid),
  CONSTRAINT c_hosts_groups_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_hosts_groups_2 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid)
);
CREATE TABLE hosts_templates (
  hosttemplateid bigint NOT NULL,
  hostid bigint NOT NULL,
  templateid bigint NOT NULL,
  PRIMARY KEY (hosttemplateid),
  CONSTRAINT c_hosts_templates_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_hosts_templates_2 FOREIGN KEY (templateid) REFERENCES hosts (hostid)
);
CREATE TABLE valuemap_mapping (
  valuemap_mappingid bigint NOT NULL,
  valuemapid bigint NOT NULL,
  value varchar(64) NOT NULL,
  newvalue varchar(64) NOT NULL,
  type integer NOT NULL,
  sortorder integer NOT NULL,
  PRIMARY KEY (valuemap_mappingid),
  CONSTRAINT c_valuemap_mapping_1 FOREIGN KEY (valuemapid) REFERENCES valuemap (valuemapid)
);
CREATE TABLE media (
  mediaid bigint NOT NULL,
  userid bigint NOT NULL,
  mediatypeid bigint NOT NULL,
  sendto varchar(1024) NOT NULL,
  active integer NOT NULL,
  severity integer NOT NULL,
  period varchar(1024) NOT NULL,
  PRIMARY KEY (mediaid),
  CONSTRAINT c_media_1 FOREIGN KEY (userid) REFERENCES users (userid),
  CONSTRAINT c_media_2 FOREIGN KEY (mediatypeid) REFERENCES media_type (mediatypeid)
);
CREATE TABLE rights (
  rightid bigint NOT NULL,
  groupid bigint NOT NULL,
  permission integer NOT NULL,
  id bigint NOT NULL,
  PRIMARY KEY (rightid),
  CONSTRAINT c_rights_1 FOREIGN KEY (groupid) REFERENCES usrgrp (usrgrpid),
  CONSTRAINT c_rights_2 FOREIGN KEY (id) REFERENCES hstgrp (groupid)
);
CREATE TABLE services (
  serviceid bigint NOT NULL,
  name varchar(128) NOT NULL,
  status integer NOT NULL,
  algorithm integer NOT NULL,
  sortorder integer NOT NULL,
  weight integer NOT NULL,
  propagation_rule integer NOT NULL,
  propagation_value integer NOT NULL,
  description text NOT NULL,
  uuid varchar(32) NOT NULL,
  created_at integer NOT NULL,
  PRIMARY KEY (serviceid)
);
CREATE TABLE services_links (
  linkid bigint NOT NULL,
  serviceupid bigint NOT NULL,
  servicedownid bigint NOT NULL,
  PRIMARY KEY (linkid),
  CONSTRAINT c_services_links_1 FOREIGN KEY (serviceupid) REFERENCES services (serviceid),
  CONSTRAINT c_services_links_2 FOREIGN KEY (servicedownid) REFERENCES services (serviceid)
);
CREATE TABLE icon_map (
  iconmapid bigint NOT NULL,
  name varchar(64) NOT NULL,
  default_iconid bigint NOT NULL,
  PRIMARY KEY (iconmapid),
  CONSTRAINT c_icon_map_1 FOREIGN KEY (default_iconid) REFERENCES images (imageid)
);
CREATE TABLE icon_mapping (
  iconmappingid bigint NOT NULL,
  iconmapid bigint NOT NULL,
  iconid bigint NOT NULL,
  inventory_link integer NOT NULL,
  expression varchar(64) NOT NULL,
  sortorder integer NOT NULL,
  PRIMARY KEY (iconmappingid),
  CONSTRAINT c_icon_mapping_1 FOREIGN KEY (iconmapid) REFERENCES icon_map (iconmapid),
  CONSTRAINT c_icon_mapping_2 FOREIGN KEY (iconid) REFERENCES images (imageid)
);
CREATE TABLE sysmaps (
  sysmapid bigint NOT NULL,
  name varchar(128) NOT NULL,
  width integer NOT NULL,
  height integer NOT NULL,
  backgroundid bigint,
  label_type integer NOT NULL,
  label_location integer NOT NULL,
  highlight integer NOT NULL,
  expandproblem integer NOT NULL,
  markelements integer NOT NULL,
  show_unack integer NOT NULL,
  grid_size integer NOT NULL,
  grid_show integer NOT NULL,
  grid_align integer NOT NULL,
  label_format integer NOT NULL,
  label_type_host integer NOT NULL,
  label_type_hostgroup integer NOT NULL,
  label_type_trigger integer NOT NULL,
  label_type_map integer NOT NULL,
  label_type_image integer NOT NULL,
  label_string_host varchar(255) NOT NULL,
  label_string_hostgroup varchar(255) NOT NULL,
  label_string_trigger varchar(255) NOT NULL,
  label_string_map varchar(255) NOT NULL,
  label_string_image varchar(255) NOT NULL,
  iconmapid bigint,
  expand_macros integer NOT NULL,
  severity_min integer NOT NULL,
  userid bigint NOT NULL,
  private integer NOT NULL,
  show_suppressed integer NOT NULL,
  PRIMARY KEY (sysmapid),
  CONSTRAINT c_sysmaps_1 FOREIGN KEY (backgroundid) REFERENCES images (imageid),
  CONSTRAINT c_sysmaps_2 FOREIGN KEY (iconmapid) REFERENCES icon_map (iconmapid),
  CONSTRAINT c_sysmaps_3 FOREIGN KEY (userid) REFERENCES users (userid)
);
CREATE TABLE sysmaps_elements (
  selementid bigint NOT NULL,
  sysmapid bigint NOT NULL,
  elementid bigint NOT NULL,
  elementtype integer NOT NULL,
  iconid_off bigint,
  iconid_on bigint,
  label varchar(2048) NOT NULL,
  label_location integer NOT NULL,
  x integer NOT NULL,
  y integer NOT NULL,
  iconid_disabled bigint,
  iconid_maintenance bigint,
  elementsubtype integer NOT NULL,
  areatype integer NOT NULL,
  width integer NOT NULL,
  height integer NOT NULL,
  viewtype integer NOT NULL,
  use_iconmap integer NOT NULL,
  evaltype integer NOT NULL,
  PRIMARY KEY (selementid),
  CONSTRAINT c_sysmaps_elements_1 FOREIGN KEY (sysmapid) REFERENCES sysmaps (sysmapid),
  CONSTRAINT c_sysmaps_elements_2 FOREIGN KEY (iconid_off) REFERENCES images (imageid),
  CONSTRAINT c_sysmaps_elements_3 FOREIGN KEY (iconid_on) REFERENCES images (imageid),
  CONSTRAINT c_sysmaps_elements_4 FOREIGN KEY (iconid_disabled) REFERENCES images (imageid),
  CONSTRAINT c_sysmaps_elements_5 FOREIGN KEY (iconid_maintenance) REFERENCES images (imageid)
);
CREATE TABLE sysmaps_links (
  linkid bigint NOT NULL,
  sysmapid bigint NOT NULL,
  selementid1 bigint NOT NULL,
  selementid2 bigint NOT NULL,
  drawtype integer NOT NULL,
  color varchar(6) NOT NULL,
  label varchar(2048) NOT NULL,
  PRIMARY KEY (linkid),
  CONSTRAINT c_sysmaps_links_1 FOREIGN KEY (sysmapid) REFERENCES sysmaps (sysmapid),
  CONSTRAINT c_sysmaps_links_2 FOREIGN KEY (selementid1) REFERENCES sysmaps_elements (selementid),
  CONSTRAINT c_sysmaps_links_3 FOREIGN KEY (selementid2) REFERENCES sysmaps_elements (selementid)
);
CREATE TABLE sysmaps_link_triggers (
  linktriggerid bigint NOT NULL,
  linkid bigint NOT NULL,
  triggerid bigint NOT NULL,
  drawtype integer NOT NULL,
  color varchar(6) NOT NULL,
  PRIMARY KEY (linktriggerid),
  CONSTRAINT c_sysmaps_link_triggers_1 FOREIGN KEY (linkid) REFERENCES sysmaps_links (linkid),
  CONSTRAINT c_sysmaps_link_triggers_2 FOREIGN KEY (triggerid) REFERENCES triggers (triggerid)
);
CREATE TABLE sysmap_element_url (
  sysmapelementurlid bigint NOT NULL,
  selementid bigint NOT NULL,
  name varchar(255) NOT NULL,
  url varchar(255) NOT NULL,
  PRIMARY KEY (sysmapelementurlid),
  CONSTRAINT c_sysmap_element_url_1 FOREIGN KEY (selementid) REFERENCES sysmaps_elements (selementid)
);
CREATE TABLE sysmap_url (
  sysmapurlid bigint NOT NULL,
  sysmapid bigint NOT NULL,
  name varchar(255) NOT NULL,
  url varchar(255) NOT NULL,
  elementtype integer NOT NULL,
  PRIMARY KEY (sysmapurlid),
  CONSTRAINT c_sysmap_url_1 FOREIGN KEY (sysmapid) REFERENCES sysmaps (sysmapid)
);
CREATE TABLE sysmap_user (
  sysmapuserid bigint NOT NULL,
  sysmapid bigint NOT NULL,
  userid bigint NOT NULL,
  permission integer NOT NULL,
  PRIMARY KEY (sysmapuserid),
  CONSTRAINT c_sysmap_user_1 FOREIGN KEY (sysmapid) REFERENCES sysmaps (sysmapid),
  CONSTRAINT c_sysmap_user_2 FOREIGN KEY (userid) REFERENCES users (userid)
);
CREATE TABLE sysmap_usrgrp (
  sysmapusrgrpid bigint NOT NULL,
  sysmapid bigint NOT NULL,
  usrgrpid bigint NOT NULL,
  permission integer NOT NULL,
  PRIMARY KEY (sysmapusrgrpid),
  CONSTRAINT c_sysmap_usrgrp_1 FOREIGN KEY (sysmapid) REFERENCES sysmaps (sysmapid),
  CONSTRAINT c_sysmap_usrgrp_2 FOREIGN KEY (usrgrpid) REFERENCES usrgrp (usrgrpid)
);
CREATE TABLE maintenances_hosts (
  maintenance_hostid bigint NOT NULL,
  maintenanceid bigint NOT NULL,
  hostid bigint NOT NULL,
  PRIMARY KEY (maintenance_hostid),
  CONSTRAINT c_maintenances_hosts_1 FOREIGN KEY (maintenanceid) REFERENCES maintenances (maintenanceid),
  CONSTRAINT c_maintenances_hosts_2 FOREIGN KEY (hostid) REFERENCES hosts (hostid)
);
CREATE TABLE maintenances_groups (
  maintenance_groupid bigint NOT NULL,
  maintenanceid bigint NOT NULL,
  groupid bigint NOT NULL,
  PRIMARY KEY (maintenance_groupid),
  CONSTRAINT c_maintenances_groups_1 FOREIGN KEY (maintenanceid) REFERENCES maintenances (maintenanceid),
  CONSTRAINT c_maintenances_groups_2 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid)
);
CREATE TABLE timeperiods (
  timeperiodid bigint NOT NULL,
  timeperiod_type integer NOT NULL,
  every integer NOT NULL,
  month integer NOT NULL,
  dayofweek integer NOT NULL,
  day integer NOT NULL,
  start_time integer NOT NULL,
  period integer NOT NULL,
  start_date integer NOT NULL,
  PRIMARY KEY (timeperiodid)
);
CREATE TABLE maintenances_windows (
  maintenance_timeperiodid bigint NOT NULL,
  maintenanceid bigint NOT NULL,
  timeperiodid bigint NOT NULL,
  PRIMARY KEY (maintenance_timeperiodid),
  CONSTRAINT c_maintenances_windows_1 FOREIGN KEY (maintenanceid) REFERENCES maintenances (maintenanceid),
  CONSTRAINT c_maintenances_windows_2 FOREIGN KEY (timeperiodid) REFERENCES timeperiods (timeperiodid)
);
CREATE TABLE regexps (
  regexpid bigint NOT NULL,
  name varchar(128) NOT NULL,
  test_string text NOT NULL,
  PRIMARY KEY (regexpid)
);
CREATE TABLE expressions (
  expressionid bigint NOT NULL,
  regexpid bigint NOT NULL,
  expression varchar(255) NOT NULL,
  expression_type integer NOT NULL,
  exp_delimiter varchar(1) NOT NULL,
  case_sensitive integer NOT NULL,
  PRIMARY KEY (expressionid),
  CONSTRAINT c_expressions_1 FOREIGN KEY (regexpid) REFERENCES regexps (regexpid)
);
CREATE TABLE ids (
  table_name varchar(64) NOT NULL,
  field_name varchar(64) NOT NULL,
  nextid bigint NOT NULL,
  PRIMARY KEY (table_name,field_name)
);
CREATE TABLE alerts (
  alertid bigint NOT NULL,
  actionid bigint NOT NULL,
  eventid bigint NOT NULL,
  userid bigint,
  clock integer NOT NULL,
  mediatypeid bigint,
  sendto varchar(1024) NOT NULL,
  subject varchar(255) NOT NULL,
  message text NOT NULL,
  status integer NOT NULL,
  retries integer NOT NULL,
  error varchar(2048) NOT NULL,
  esc_step integer NOT NULL,
  alerttype integer NOT NULL,
  p_eventid bigint,
  acknowledgeid bigint,
  parameters text NOT NULL,
  PRIMARY KEY (alertid),
  CONSTRAINT c_alerts_1 FOREIGN KEY (actionid) REFERENCES actions (actionid),
  CONSTRAINT c_alerts_2 FOREIGN KEY (eventid) REFERENCES events (eventid),
  CONSTRAINT c_alerts_3 FOREIGN KEY (userid) REFERENCES users (userid),
  CONSTRAINT c_alerts_4 FOREIGN KEY (mediatypeid) REFERENCES media_type (mediatypeid),
  CONSTRAINT c_alerts_5 FOREIGN KEY (p_eventid) REFERENCES events (eventid),
  CONSTRAINT c_alerts_6 FOREIGN KEY (acknowledgeid) REFERENCES acknowledges (acknowledgeid)
);
CREATE TABLE history (
  itemid bigint NOT NULL,
  clock integer NOT NULL,
  value DOUBLE NOT NULL,
  ns integer NOT NULL,
  PRIMARY KEY (itemid,clock,ns)
);
CREATE TABLE history_uint (
  itemid bigint NOT NULL,
  clock integer NOT NULL,
  value numeric(20) NOT NULL,
  ns integer NOT NULL,
  PRIMARY KEY (itemid,clock,ns)
);
CREATE TABLE history_str (
  itemid bigint NOT NULL,
  clock integer NOT NULL,
  value varchar(255) NOT NULL,
  ns integer NOT NULL,
  PRIMARY KEY (itemid,clock,ns)
);
CREATE TABLE history_log (
  itemid bigint NOT NULL,
  clock integer NOT NULL,
  timestamp integer NOT NULL,
  source varchar(64) NOT NULL,
  severity integer NOT NULL,
  value text NOT NULL,
  logeventid integer NOT NULL,
  ns integer NOT NULL,
  PRIMARY KEY (itemid,clock,ns)
);
CREATE TABLE history_text (
  itemid bigint NOT NULL,
  clock integer NOT NULL,
  value text NOT NULL,
  ns integer NOT NULL,
  PRIMARY KEY (itemid,clock,ns)
);
CREATE TABLE proxy_history (
  id bigserial NOT NULL,
  itemid bigint NOT NULL,
  clock integer NOT NULL,
  timestamp integer NOT NULL,
  source varchar(64) NOT NULL,
  severity integer NOT NULL,
  value text NOT NULL,
  logeventid integer NOT NULL,
  ns integer NOT NULL,
  state integer NOT NULL,
  lastlogsize numeric(20) NOT NULL,
  mtime integer NOT NULL,
  flags integer NOT NULL,
  write_clock integer NOT NULL,
  PRIMARY KEY (id)
);
CREATE TABLE proxy_dhistory (
  id bigserial NOT NULL,
  clock integer NOT NULL,
  druleid bigint NOT NULL,
  ip varchar(39) NOT NULL,
  port integer NOT NULL,
  value varchar(255) NOT NULL,
  status integer NOT NULL,
  dcheckid bigint,
  dns varchar(255) NOT NULL,
  PRIMARY KEY (id)
);
CREATE TABLE events (
  eventid bigint NOT NULL,
  source integer NOT NULL,
  object integer NOT NULL,
  objectid bigint NOT NULL,
  clock integer NOT NULL,
  value integer NOT NULL,
  acknowledged integer NOT NULL,
  ns integer NOT NULL,
  name varchar(2048) NOT NULL,
  severity integer NOT NULL,
  PRIMARY KEY (eventid)
);
CREATE TABLE trends (
  itemid bigint NOT NULL,
  clock integer NOT NULL,
  num integer NOT NULL,
  value_min DOUBLE NOT NULL,
  value_avg DOUBLE NOT NULL,
  value_max DOUBLE NOT NULL,
  PRIMARY KEY (itemid,clock)
);
CREATE TABLE trends_uint (
  itemid bigint NOT NULL,
  clock integer NOT NULL,
  num integer NOT NULL,
  value_min numeric(20) NOT NULL,
  value_avg numeric(20) NOT NULL,
  value_max numeric(20) NOT NULL,
  PRIMARY KEY (itemid,clock)
);
CREATE TABLE acknowledges (
  acknowledgeid bigint NOT NULL,
  userid bigint NOT NULL,
  eventid bigint NOT NULL,
  clock integer NOT NULL,
  message varchar(2048) NOT NULL,
  action integer NOT NULL,
  old_severity integer NOT NULL,
  new_severity integer NOT NULL,
  PRIMARY KEY (acknowledgeid),
  CONSTRAINT c_acknowledges_1 FOREIGN KEY (userid) REFERENCES users (userid),
  CONSTRAINT c_acknowledges_2 FOREIGN KEY (eventid) REFERENCES events (eventid)
);
CREATE TABLE auditlog (
  auditid varchar(25) NOT NULL,
  userid bigint,
  username varchar(100) NOT NULL,
  clock integer NOT NULL,
  ip varchar(39) NOT NULL,
  action integer NOT NULL,
  resourcetype integer NOT NULL,
  resourceid bigint,
  resource_cuid varchar(25),
  resourcename varchar(255) NOT NULL,
  recordsetid varchar(25) NOT NULL,
  details text NOT NULL,
  PRIMARY KEY (auditid)
);
CREATE TABLE service_alarms (
  servicealarmid bigint NOT NULL,
  serviceid bigint NOT NULL,
  clock integer NOT NULL,
  value integer NOT NULL,
  PRIMARY KEY (servicealarmid),
  CONSTRAINT c_service_alarms_1 FOREIGN KEY (serviceid) REFERENCES services (serviceid)
);
CREATE TABLE autoreg_host (
  autoreg_hostid bigint NOT NULL,
  proxy_hostid bigint,
  host varchar(128) NOT NULL,
  listen_ip varchar(39) NOT NULL,
  listen_port integer NOT NULL,
  listen_dns varchar(255) NOT NULL,
  host_metadata varchar(255) NOT NULL,
  flags integer NOT NULL,
  tls_accepted integer NOT NULL,
  PRIMARY KEY (autoreg_hostid),
  CONSTRAINT c_autoreg_host_1 FOREIGN KEY (proxy_hostid) REFERENCES hosts (hostid)
);
CREATE TABLE proxy_autoreg_host (
  id bigserial NOT NULL,
  clock integer NOT NULL,
  host varchar(128) NOT NULL,
  listen_ip varchar(39) NOT NULL,
  listen_port integer NOT NULL,
  listen_dns varchar(255) NOT NULL,
  host_metadata varchar(255) NOT NULL,
  flags integer NOT NULL,
  tls_accepted integer NOT NULL,
  PRIMARY KEY (id)
);
CREATE TABLE dhosts (
  dhostid bigint NOT NULL,
  druleid bigint NOT NULL,
  status integer NOT NULL,
  lastup integer NOT NULL,
  lastdown integer NOT NULL,
  PRIMARY KEY (dhostid),
  CONSTRAINT c_dhosts_1 FOREIGN KEY (druleid) REFERENCES drules (druleid)
);
CREATE TABLE dservices (
  dserviceid bigint NOT NULL,
  dhostid bigint NOT NULL,
  value varchar(255) NOT NULL,
  port integer NOT NULL,
  status integer NOT NULL,
  lastup integer NOT NULL,
  lastdown integer NOT NULL,
  dcheckid bigint NOT NULL,
  ip varchar(39) NOT NULL,
  dns varchar(255) NOT NULL,
  PRIMARY KEY (dserviceid),
  CONSTRAINT c_dservices_1 FOREIGN KEY (dhostid) REFERENCES dhosts (dhostid),
  CONSTRAINT c_dservices_2 FOREIGN KEY (dcheckid) REFERENCES dchecks (dcheckid)
);
CREATE TABLE escalations (
  escalationid bigint NOT NULL,
  actionid bigint NOT NULL,
  triggerid bigint,
  eventid bigint,
  r_eventid bigint,
  nextcheck integer NOT NULL,
  esc_step integer NOT NULL,
  status integer NOT NULL,
  itemid bigint,
  acknowledgeid bigint,
  servicealarmid bigint,
  serviceid bigint,
  PRIMARY KEY (escalationid)
);
CREATE TABLE globalvars (
  globalvarid bigint NOT NULL,
  snmp_lastsize numeric(20) NOT NULL,
  PRIMARY KEY (globalvarid)
);
CREATE TABLE graph_discovery (
  graphid bigint NOT NULL,
  parent_graphid bigint NOT NULL,
  lastcheck integer NOT NULL,
  ts_delete integer NOT NULL,
  PRIMARY KEY (graphid),
  CONSTRAINT c_graph_discovery_1 FOREIGN KEY (graphid) REFERENCES graphs (graphid),
  CONSTRAINT c_graph_discovery_2 FOREIGN KEY (parent_graphid) REFERENCES graphs (graphid)
);
CREATE TABLE host_inventory (
  hostid bigint NOT NULL,
  inventory_mode integer NOT NULL,
  type varchar(64) NOT NULL,
  type_full varchar(64) NOT NULL,
  name varchar(128) NOT NULL,
  alias varchar(128) NOT NULL,
  os varchar(128) NOT NULL,
  os_full varchar(255) NOT NULL,
  os_short varchar(128) NOT NULL,
  serialno_a varchar(64) NOT NULL,
  serialno_b varchar(64) NOT NULL,
  tag varchar(64) NOT NULL,
  asset_tag varchar(64) NOT NULL,
  macaddress_a varchar(64) NOT NULL,
  macaddress_b varchar(64) NOT NULL,
  hardware varchar(255) NOT NULL,
  hardware_full text NOT NULL,
  software varchar(255) NOT NULL,
  software_full text NOT NULL,
  software_app_a varchar(64) NOT NULL,
  software_app_b varchar(64) NOT NULL,
  software_app_c varchar(64) NOT NULL,
  software_app_d varchar(64) NOT NULL,
  software_app_e varchar(64) NOT NULL,
  contact text NOT NULL,
  location text NOT NULL,
  location_lat varchar(16) NOT NULL,
  location_lon varchar(16) NOT NULL,
  notes text NOT NULL,
  chassis varchar(64) NOT NULL,
  model varchar(64) NOT NULL,
  hw_arch varchar(32) NOT NULL,
  vendor varchar(64) NOT NULL,
  contract_number varchar(64) NOT NULL,
  installer_name varchar(64) NOT NULL,
  deployment_status varchar(64) NOT NULL,
  url_a varchar(255) NOT NULL,
  url_b varchar(255) NOT NULL,
  url_c varchar(255) NOT NULL,
  host_networks text NOT NULL,
  host_netmask varchar(39) NOT NULL,
  host_router varchar(39) NOT NULL,
  oob_ip varchar(39) NOT NULL,
  oob_netmask varchar(39) NOT NULL,
  oob_router varchar(39) NOT NULL,
  date_hw_purchase varchar(64) NOT NULL,
  date_hw_install varchar(64) NOT NULL,
  date_hw_expiry varchar(64) NOT NULL,
  date_hw_decomm varchar(64) NOT NULL,
  site_address_a varchar(128) NOT NULL,
  site_address_b varchar(128) NOT NULL,
  site_address_c varchar(128) NOT NULL,
  site_city varchar(128) NOT NULL,
  site_state varchar(64) NOT NULL,
  site_country varchar(64) NOT NULL,
  site_zip varchar(64) NOT NULL,
  site_rack varchar(128) NOT NULL,
  site_notes text NOT NULL,
  poc_1_name varchar(128) NOT NULL,
  poc_1_email varchar(128) NOT NULL,
  poc_1_phone_a varchar(64) NOT NULL,
  poc_1_phone_b varchar(64) NOT NULL,
  poc_1_cell varchar(64) NOT NULL,
  poc_1_screen varchar(64) NOT NULL,
  poc_1_notes text NOT NULL,
  poc_2_name varchar(128) NOT NULL,
  poc_2_email varchar(128) NOT NULL,
  poc_2_phone_a varchar(64) NOT NULL,
  poc_2_phone_b varchar(64) NOT NULL,
  poc_2_cell varchar(64) NOT NULL,
  poc_2_screen varchar(64) NOT NULL,
  poc_2_notes text NOT NULL,
  PRIMARY KEY (hostid),
  CONSTRAINT c_host_inventory_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid)
);
CREATE TABLE housekeeper (
  housekeeperid bigint NOT NULL,
  tablename varchar(64) NOT NULL,
  field varchar(64) NOT NULL,
  value bigint NOT NULL,
  PRIMARY KEY (housekeeperid)
);
CREATE TABLE images (
  imageid bigint NOT NULL,
  imagetype integer NOT NULL,
  name varchar(64) NOT NULL,
  image bytea NOT NULL,
  PRIMARY KEY (imageid)
);
CREATE TABLE item_discovery (
  itemdiscoveryid bigint NOT NULL,
  itemid bigint NOT NULL,
  parent_itemid bigint NOT NULL,
  key_ varchar(2048) NOT NULL,
  lastcheck integer NOT NULL,
  ts_delete integer NOT NULL,
  PRIMARY KEY (itemdiscoveryid),
  CONSTRAINT c_item_discovery_1 FOREIGN KEY (itemid) REFERENCES items (itemid),
  CONSTRAINT c_item_discovery_2 FOREIGN KEY (parent_itemid) REFERENCES items (itemid)
);
CREATE TABLE host_discovery (
  hostid bigint NOT NULL,
  parent_hostid bigint,
  parent_itemid bigint,
  host varchar(128) NOT NULL,
  lastcheck integer NOT NULL,
  ts_delete integer NOT NULL,
  PRIMARY KEY (hostid),
  CONSTRAINT c_host_discovery_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_host_discovery_2 FOREIGN KEY (parent_hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_host_discovery_3 FOREIGN KEY (parent_itemid) REFERENCES items (itemid)
);
CREATE TABLE interface_discovery (
  interfaceid bigint NOT NULL,
  parent_interfaceid bigint NOT NULL,
  PRIMARY KEY (interfaceid),
  CONSTRAINT c_interface_discovery_1 FOREIGN KEY (interfaceid) REFERENCES interface (interfaceid),
  CONSTRAINT c_interface_discovery_2 FOREIGN KEY (parent_interfaceid) REFERENCES interface (interfaceid)
);
CREATE TABLE profiles (
  profileid bigint NOT NULL,
  userid bigint NOT NULL,
  idx varchar(96) NOT NULL,
  idx2 bigint NOT NULL,
  value_id bigint NOT NULL,
  value_int integer NOT NULL,
  value_str text NOT NULL,
  source varchar(96) NOT NULL,
  type integer NOT NULL,
  PRIMARY KEY (profileid),
  CONSTRAINT c_profiles_1 FOREIGN KEY (userid) REFERENCES users (userid)
);
CREATE TABLE sessions (
  sessionid varchar(32) NOT NULL,
  userid bigint NOT NULL,
  lastaccess integer NOT NULL,
  status integer NOT NULL,
  PRIMARY KEY (sessionid),
  CONSTRAINT c_sessions_1 FOREIGN KEY (userid) REFERENCES users (userid)
);
CREATE TABLE trigger_discovery (
  triggerid bigint NOT NULL,
  parent_triggerid bigint NOT NULL,
  lastcheck integer NOT NULL,
  ts_delete integer NOT NULL,
  PRIMARY KEY (triggerid),
  CONSTRAINT c_trigger_discovery_1 FOREIGN KEY (triggerid) REFERENCES triggers (triggerid),
  CONSTRAINT c_trigger_discovery_2 FOREIGN KEY (parent_triggerid) REFERENCES triggers (triggerid)
);
CREATE TABLE item_condition (
  item_conditionid bigint NOT NULL,
  itemid bigint NOT NULL,
  operator integer NOT NULL,
  macro varchar(64) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (item_conditionid),
  CONSTRAINT c_item_condition_1 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE item_rtdata (
  itemid bigint NOT NULL,
  lastlogsize numeric(20) NOT NULL,
  state integer NOT NULL,
  mtime integer NOT NULL,
  error varchar(2048) NOT NULL,
  PRIMARY KEY (itemid),
  CONSTRAINT c_item_rtdata_1 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE opinventory (
  operationid bigint NOT NULL,
  inventory_mode integer NOT NULL,
  PRIMARY KEY (operationid),
  CONSTRAINT c_opinventory_1 FOREIGN KEY (operationid) REFERENCES operations (operationid)
);
CREATE TABLE trigger_tag (
  triggertagid bigint NOT NULL,
  triggerid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (triggertagid),
  CONSTRAINT c_trigger_tag_1 FOREIGN KEY (triggerid) REFERENCES triggers (triggerid)
);
CREATE TABLE event_tag (
  eventtagid bigint NOT NULL,
  eventid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (eventtagid),
  CONSTRAINT c_event_tag_1 FOREIGN KEY (eventid) REFERENCES events (eventid)
);
CREATE TABLE problem (
  eventid bigint NOT NULL,
  source integer NOT NULL,
  object integer NOT NULL,
  objectid bigint NOT NULL,
  clock integer NOT NULL,
  ns integer NOT NULL,
  r_eventid bigint,
  r_clock integer NOT NULL,
  r_ns integer NOT NULL,
  correlationid bigint,
  userid bigint,
  name varchar(2048) NOT NULL,
  acknowledged integer NOT NULL,
  severity integer NOT NULL,
  PRIMARY KEY (eventid),
  CONSTRAINT c_problem_1 FOREIGN KEY (eventid) REFERENCES events (eventid),
  CONSTRAINT c_problem_2 FOREIGN KEY (r_eventid) REFERENCES events (eventid)
);
CREATE TABLE problem_tag (
  problemtagid bigint NOT NULL,
  eventid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (problemtagid),
  CONSTRAINT c_problem_tag_1 FOREIGN KEY (eventid) REFERENCES problem (eventid)
);
CREATE TABLE tag_filter (
  tag_filterid bigint NOT NULL,
  usrgrpid bigint NOT NULL,
  groupid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (tag_filterid),
  CONSTRAINT c_tag_filter_1 FOREIGN KEY (usrgrpid) REFERENCES usrgrp (usrgrpid),
  CONSTRAINT c_tag_filter_2 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid)
);
CREATE TABLE event_recovery (
  eventid bigint NOT NULL,
  r_eventid bigint NOT NULL,
  c_eventid bigint,
  correlationid bigint,
  userid bigint,
  PRIMARY KEY (eventid),
  CONSTRAINT c_event_recovery_1 FOREIGN KEY (eventid) REFERENCES events (eventid),
  CONSTRAINT c_event_recovery_2 FOREIGN KEY (r_eventid) REFERENCES events (eventid),
  CONSTRAINT c_event_recovery_3 FOREIGN KEY (c_eventid) REFERENCES events (eventid)
);
CREATE TABLE correlation (
  correlationid bigint NOT NULL,
  name varchar(255) NOT NULL,
  description text NOT NULL,
  evaltype integer NOT NULL,
  status integer NOT NULL,
  formula varchar(255) NOT NULL,
  PRIMARY KEY (correlationid)
);
CREATE TABLE corr_condition (
  corr_conditionid bigint NOT NULL,
  correlationid bigint NOT NULL,
  type integer NOT NULL,
  PRIMARY KEY (corr_conditionid),
  CONSTRAINT c_corr_condition_1 FOREIGN KEY (correlationid) REFERENCES correlation (correlationid)
);
CREATE TABLE corr_condition_tag (
  corr_conditionid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  PRIMARY KEY (corr_conditionid),
  CONSTRAINT c_corr_condition_tag_1 FOREIGN KEY (corr_conditionid) REFERENCES corr_condition (corr_conditionid)
);
CREATE TABLE corr_condition_group (
  corr_conditionid bigint NOT NULL,
  operator integer NOT NULL,
  groupid bigint NOT NULL,
  PRIMARY KEY (corr_conditionid),
  CONSTRAINT c_corr_condition_group_1 FOREIGN KEY (corr_conditionid) REFERENCES corr_condition (corr_conditionid),
  CONSTRAINT c_corr_condition_group_2 FOREIGN KEY (groupid) REFERENCES hstgrp (groupid)
);
CREATE TABLE corr_condition_tagpair (
  corr_conditionid bigint NOT NULL,
  oldtag varchar(255) NOT NULL,
  newtag varchar(255) NOT NULL,
  PRIMARY KEY (corr_conditionid),
  CONSTRAINT c_corr_condition_tagpair_1 FOREIGN KEY (corr_conditionid) REFERENCES corr_condition (corr_conditionid)
);
CREATE TABLE corr_condition_tagvalue (
  corr_conditionid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  operator integer NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (corr_conditionid),
  CONSTRAINT c_corr_condition_tagvalue_1 FOREIGN KEY (corr_conditionid) REFERENCES corr_condition (corr_conditionid)
);
CREATE TABLE corr_operation (
  corr_operationid bigint NOT NULL,
  correlationid bigint NOT NULL,
  type integer NOT NULL,
  PRIMARY KEY (corr_operationid),
  CONSTRAINT c_corr_operation_1 FOREIGN KEY (correlationid) REFERENCES correlation (correlationid)
);
CREATE TABLE task (
  taskid bigint NOT NULL,
  type integer NOT NULL,
  status integer NOT NULL,
  clock integer NOT NULL,
  ttl integer NOT NULL,
  proxy_hostid bigint,
  PRIMARY KEY (taskid),
  CONSTRAINT c_task_1 FOREIGN KEY (proxy_hostid) REFERENCES hosts (hostid)
);
CREATE TABLE task_close_problem (
  taskid bigint NOT NULL,
  acknowledgeid bigint NOT NULL,
  PRIMARY KEY (taskid),
  CONSTRAINT c_task_close_problem_1 FOREIGN KEY (taskid) REFERENCES task (taskid)
);
CREATE TABLE item_preproc (
  item_preprocid bigint NOT NULL,
  itemid bigint NOT NULL,
  step integer NOT NULL,
  type integer NOT NULL,
  params text NOT NULL,
  error_handler integer NOT NULL,
  error_handler_params varchar(255) NOT NULL,
  PRIMARY KEY (item_preprocid),
  CONSTRAINT c_item_preproc_1 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE task_remote_command (
  taskid bigint NOT NULL,
  command_type integer NOT NULL,
  execute_on integer NOT NULL,
  port integer NOT NULL,
  authtype integer NOT NULL,
  username varchar(64) NOT NULL,
  password varchar(64) NOT NULL,
  publickey varchar(64) NOT NULL,
  privatekey varchar(64) NOT NULL,
  command text NOT NULL,
  alertid bigint,
  parent_taskid bigint NOT NULL,
  hostid bigint NOT NULL,
  PRIMARY KEY (taskid),
  CONSTRAINT c_task_remote_command_1 FOREIGN KEY (taskid) REFERENCES task (taskid)
);
CREATE TABLE task_remote_command_result (
  taskid bigint NOT NULL,
  status integer NOT NULL,
  parent_taskid bigint NOT NULL,
  info text NOT NULL,
  PRIMARY KEY (taskid),
  CONSTRAINT c_task_remote_command_result_1 FOREIGN KEY (taskid) REFERENCES task (taskid)
);
CREATE TABLE task_data (
  taskid bigint NOT NULL,
  type integer NOT NULL,
  data text NOT NULL,
  parent_taskid bigint NOT NULL,
  PRIMARY KEY (taskid),
  CONSTRAINT c_task_data_1 FOREIGN KEY (taskid) REFERENCES task (taskid)
);
CREATE TABLE task_result (
  taskid bigint NOT NULL,
  status integer NOT NULL,
  parent_taskid bigint NOT NULL,
  info text NOT NULL,
  PRIMARY KEY (taskid),
  CONSTRAINT c_task_result_1 FOREIGN KEY (taskid) REFERENCES task (taskid)
);
CREATE TABLE task_acknowledge (
  taskid bigint NOT NULL,
  acknowledgeid bigint NOT NULL,
  PRIMARY KEY (taskid),
  CONSTRAINT c_task_acknowledge_1 FOREIGN KEY (taskid) REFERENCES task (taskid)
);
CREATE TABLE sysmap_shape (
  sysmap_shapeid bigint NOT NULL,
  sysmapid bigint NOT NULL,
  type integer NOT NULL,
  x integer NOT NULL,
  y integer NOT NULL,
  width integer NOT NULL,
  height integer NOT NULL,
  text text NOT NULL,
  font integer NOT NULL,
  font_size integer NOT NULL,
  font_color varchar(6) NOT NULL,
  text_halign integer NOT NULL,
  text_valign integer NOT NULL,
  border_type integer NOT NULL,
  border_width integer NOT NULL,
  border_color varchar(6) NOT NULL,
  background_color varchar(6) NOT NULL,
  zindex integer NOT NULL,
  PRIMARY KEY (sysmap_shapeid),
  CONSTRAINT c_sysmap_shape_1 FOREIGN KEY (sysmapid) REFERENCES sysmaps (sysmapid)
);
CREATE TABLE sysmap_element_trigger (
  selement_triggerid bigint NOT NULL,
  selementid bigint NOT NULL,
  triggerid bigint NOT NULL,
  PRIMARY KEY (selement_triggerid),
  CONSTRAINT c_sysmap_element_trigger_1 FOREIGN KEY (selementid) REFERENCES sysmaps_elements (selementid),
  CONSTRAINT c_sysmap_element_trigger_2 FOREIGN KEY (triggerid) REFERENCES triggers (triggerid)
);
CREATE TABLE httptest_field (
  httptest_fieldid bigint NOT NULL,
  httptestid bigint NOT NULL,
  type integer NOT NULL,
  name varchar(255) NOT NULL,
  value text NOT NULL,
  PRIMARY KEY (httptest_fieldid),
  CONSTRAINT c_httptest_field_1 FOREIGN KEY (httptestid) REFERENCES httptest (httptestid)
);
CREATE TABLE httpstep_field (
  httpstep_fieldid bigint NOT NULL,
  httpstepid bigint NOT NULL,
  type integer NOT NULL,
  name varchar(255) NOT NULL,
  value text NOT NULL,
  PRIMARY KEY (httpstep_fieldid),
  CONSTRAINT c_httpstep_field_1 FOREIGN KEY (httpstepid) REFERENCES httpstep (httpstepid)
);
CREATE TABLE dashboard (
  dashboardid bigint NOT NULL,
  name varchar(255) NOT NULL,
  userid bigint,
  private integer NOT NULL,
  templateid bigint,
  display_period integer NOT NULL,
  auto_start integer NOT NULL,
  uuid varchar(32) NOT NULL,
  PRIMARY KEY (dashboardid),
  CONSTRAINT c_dashboard_1 FOREIGN KEY (userid) REFERENCES users (userid),
  CONSTRAINT c_dashboard_2 FOREIGN KEY (templateid) REFERENCES hosts (hostid)
);
CREATE TABLE dashboard_user (
  dashboard_userid bigint NOT NULL,
  dashboardid bigint NOT NULL,
  userid bigint NOT NULL,
  permission integer NOT NULL,
  PRIMARY KEY (dashboard_userid),
  CONSTRAINT c_dashboard_user_1 FOREIGN KEY (dashboardid) REFERENCES dashboard (dashboardid),
  CONSTRAINT c_dashboard_user_2 FOREIGN KEY (userid) REFERENCES users (userid)
);
CREATE TABLE dashboard_usrgrp (
  dashboard_usrgrpid bigint NOT NULL,
  dashboardid bigint NOT NULL,
  usrgrpid bigint NOT NULL,
  permission integer NOT NULL,
  PRIMARY KEY (dashboard_usrgrpid),
  CONSTRAINT c_dashboard_usrgrp_1 FOREIGN KEY (dashboardid) REFERENCES dashboard (dashboardid),
  CONSTRAINT c_dashboard_usrgrp_2 FOREIGN KEY (usrgrpid) REFERENCES usrgrp (usrgrpid)
);
CREATE TABLE dashboard_page (
  dashboard_pageid bigint NOT NULL,
  dashboardid bigint NOT NULL,
  name varchar(255) NOT NULL,
  display_period integer NOT NULL,
  sortorder integer NOT NULL,
  PRIMARY KEY (dashboard_pageid),
  CONSTRAINT c_dashboard_page_1 FOREIGN KEY (dashboardid) REFERENCES dashboard (dashboardid)
);
CREATE TABLE widget (
  widgetid bigint NOT NULL,
  type varchar(255) NOT NULL,
  name varchar(255) NOT NULL,
  x integer NOT NULL,
  y integer NOT NULL,
  width integer NOT NULL,
  height integer NOT NULL,
  view_mode integer NOT NULL,
  dashboard_pageid bigint NOT NULL,
  PRIMARY KEY (widgetid),
  CONSTRAINT c_widget_1 FOREIGN KEY (dashboard_pageid) REFERENCES dashboard_page (dashboard_pageid)
);
CREATE TABLE widget_field (
  widget_fieldid bigint NOT NULL,
  widgetid bigint NOT NULL,
  type integer NOT NULL,
  name varchar(255) NOT NULL,
  value_int integer NOT NULL,
  value_str varchar(255) NOT NULL,
  value_groupid bigint,
  value_hostid bigint,
  value_itemid bigint,
  value_graphid bigint,
  value_sysmapid bigint,
  value_serviceid bigint,
  value_slaid bigint,
  PRIMARY KEY (widget_fieldid),
  CONSTRAINT c_widget_field_1 FOREIGN KEY (widgetid) REFERENCES widget (widgetid),
  CONSTRAINT c_widget_field_2 FOREIGN KEY (value_groupid) REFERENCES hstgrp (groupid),
  CONSTRAINT c_widget_field_3 FOREIGN KEY (value_hostid) REFERENCES hosts (hostid),
  CONSTRAINT c_widget_field_4 FOREIGN KEY (value_itemid) REFERENCES items (itemid),
  CONSTRAINT c_widget_field_5 FOREIGN KEY (value_graphid) REFERENCES graphs (graphid),
  CONSTRAINT c_widget_field_6 FOREIGN KEY (value_sysmapid) REFERENCES sysmaps (sysmapid),
  CONSTRAINT c_widget_field_7 FOREIGN KEY (value_serviceid) REFERENCES services (serviceid),
  CONSTRAINT c_widget_field_8 FOREIGN KEY (value_slaid) REFERENCES sla (slaid)
);
CREATE TABLE task_check_now (
  taskid bigint NOT NULL,
  itemid bigint NOT NULL,
  PRIMARY KEY (taskid),
  CONSTRAINT c_task_check_now_1 FOREIGN KEY (taskid) REFERENCES task (taskid)
);
CREATE TABLE event_suppress (
  event_suppressid bigint NOT NULL,
  eventid bigint NOT NULL,
  maintenanceid bigint,
  suppress_until integer NOT NULL,
  PRIMARY KEY (event_suppressid),
  CONSTRAINT c_event_suppress_1 FOREIGN KEY (eventid) REFERENCES events (eventid),
  CONSTRAINT c_event_suppress_2 FOREIGN KEY (maintenanceid) REFERENCES maintenances (maintenanceid)
);
CREATE TABLE maintenance_tag (
  maintenancetagid bigint NOT NULL,
  maintenanceid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  operator integer NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (maintenancetagid),
  CONSTRAINT c_maintenance_tag_1 FOREIGN KEY (maintenanceid) REFERENCES maintenances (maintenanceid)
);
CREATE TABLE lld_macro_path (
  lld_macro_pathid bigint NOT NULL,
  itemid bigint NOT NULL,
  lld_macro varchar(255) NOT NULL,
  path varchar(255) NOT NULL,
  PRIMARY KEY (lld_macro_pathid),
  CONSTRAINT c_lld_macro_path_1 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE host_tag (
  hosttagid bigint NOT NULL,
  hostid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (hosttagid),
  CONSTRAINT c_host_tag_1 FOREIGN KEY (hostid) REFERENCES hosts (hostid)
);
CREATE TABLE config_autoreg_tls (
  autoreg_tlsid bigint NOT NULL,
  tls_psk_identity varchar(128) NOT NULL,
  tls_psk varchar(512) NOT NULL,
  PRIMARY KEY (autoreg_tlsid)
);
CREATE TABLE module (
  moduleid bigint NOT NULL,
  id varchar(255) NOT NULL,
  relative_path varchar(255) NOT NULL,
  status integer NOT NULL,
  config text NOT NULL,
  PRIMARY KEY (moduleid)
);
CREATE TABLE interface_snmp (
  interfaceid bigint NOT NULL,
  version integer NOT NULL,
  bulk integer NOT NULL,
  community varchar(64) NOT NULL,
  securityname varchar(64) NOT NULL,
  securitylevel integer NOT NULL,
  authpassphrase varchar(64) NOT NULL,
  privpassphrase varchar(64) NOT NULL,
  authprotocol integer NOT NULL,
  privprotocol integer NOT NULL,
  contextname varchar(255) NOT NULL,
  PRIMARY KEY (interfaceid),
  CONSTRAINT c_interface_snmp_1 FOREIGN KEY (interfaceid) REFERENCES interface (interfaceid)
);
CREATE TABLE lld_override (
  lld_overrideid bigint NOT NULL,
  itemid bigint NOT NULL,
  name varchar(255) NOT NULL,
  step integer NOT NULL,
  evaltype integer NOT NULL,
  formula varchar(255) NOT NULL,
  stop integer NOT NULL,
  PRIMARY KEY (lld_overrideid),
  CONSTRAINT c_lld_override_1 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE lld_override_condition (
  lld_override_conditionid bigint NOT NULL,
  lld_overrideid bigint NOT NULL,
  operator integer NOT NULL,
  macro varchar(64) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (lld_override_conditionid),
  CONSTRAINT c_lld_override_condition_1 FOREIGN KEY (lld_overrideid) REFERENCES lld_override (lld_overrideid)
);
CREATE TABLE lld_override_operation (
  lld_override_operationid bigint NOT NULL,
  lld_overrideid bigint NOT NULL,
  operationobject integer NOT NULL,
  operator integer NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (lld_override_operationid),
  CONSTRAINT c_lld_override_operation_1 FOREIGN KEY (lld_overrideid) REFERENCES lld_override (lld_overrideid)
);
CREATE TABLE lld_override_opstatus (
  lld_override_operationid bigint NOT NULL,
  status integer NOT NULL,
  PRIMARY KEY (lld_override_operationid),
  CONSTRAINT c_lld_override_opstatus_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid)
);
CREATE TABLE lld_override_opdiscover (
  lld_override_operationid bigint NOT NULL,
  discover integer NOT NULL,
  PRIMARY KEY (lld_override_operationid),
  CONSTRAINT c_lld_override_opdiscover_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid)
);
CREATE TABLE lld_override_opperiod (
  lld_override_operationid bigint NOT NULL,
  delay varchar(1024) NOT NULL,
  PRIMARY KEY (lld_override_operationid),
  CONSTRAINT c_lld_override_opperiod_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid)
);
CREATE TABLE lld_override_ophistory (
  lld_override_operationid bigint NOT NULL,
  history varchar(255) NOT NULL,
  PRIMARY KEY (lld_override_operationid),
  CONSTRAINT c_lld_override_ophistory_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid)
);
CREATE TABLE lld_override_optrends (
  lld_override_operationid bigint NOT NULL,
  trends varchar(255) NOT NULL,
  PRIMARY KEY (lld_override_operationid),
  CONSTRAINT c_lld_override_optrends_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid)
);
CREATE TABLE lld_override_opseverity (
  lld_override_operationid bigint NOT NULL,
  severity integer NOT NULL,
  PRIMARY KEY (lld_override_operationid),
  CONSTRAINT c_lld_override_opseverity_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid)
);
CREATE TABLE lld_override_optag (
  lld_override_optagid bigint NOT NULL,
  lld_override_operationid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (lld_override_optagid),
  CONSTRAINT c_lld_override_optag_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid)
);
CREATE TABLE lld_override_optemplate (
  lld_override_optemplateid bigint NOT NULL,
  lld_override_operationid bigint NOT NULL,
  templateid bigint NOT NULL,
  PRIMARY KEY (lld_override_optemplateid),
  CONSTRAINT c_lld_override_optemplate_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid),
  CONSTRAINT c_lld_override_optemplate_2 FOREIGN KEY (templateid) REFERENCES hosts (hostid)
);
CREATE TABLE lld_override_opinventory (
  lld_override_operationid bigint NOT NULL,
  inventory_mode integer NOT NULL,
  PRIMARY KEY (lld_override_operationid),
  CONSTRAINT c_lld_override_opinventory_1 FOREIGN KEY (lld_override_operationid) REFERENCES lld_override_operation (lld_override_operationid)
);
CREATE TABLE trigger_queue (
  trigger_queueid bigint NOT NULL,
  objectid bigint NOT NULL,
  type integer NOT NULL,
  clock integer NOT NULL,
  ns integer NOT NULL,
  PRIMARY KEY (trigger_queueid)
);
CREATE TABLE item_parameter (
  item_parameterid bigint NOT NULL,
  itemid bigint NOT NULL,
  name varchar(255) NOT NULL,
  value varchar(2048) NOT NULL,
  PRIMARY KEY (item_parameterid),
  CONSTRAINT c_item_parameter_1 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE role_rule (
  role_ruleid bigint NOT NULL,
  roleid bigint NOT NULL,
  type integer NOT NULL,
  name varchar(255) NOT NULL,
  value_int integer NOT NULL,
  value_str varchar(255) NOT NULL,
  value_moduleid bigint,
  value_serviceid bigint,
  PRIMARY KEY (role_ruleid),
  CONSTRAINT c_role_rule_1 FOREIGN KEY (roleid) REFERENCES role (roleid),
  CONSTRAINT c_role_rule_2 FOREIGN KEY (value_moduleid) REFERENCES module (moduleid),
  CONSTRAINT c_role_rule_3 FOREIGN KEY (value_serviceid) REFERENCES services (serviceid)
);
CREATE TABLE token (
  tokenid bigint NOT NULL,
  name varchar(64) NOT NULL,
  description text NOT NULL,
  userid bigint NOT NULL,
  token varchar(128),
  lastaccess integer NOT NULL,
  status integer NOT NULL,
  expires_at integer NOT NULL,
  created_at integer NOT NULL,
  creator_userid bigint,
  PRIMARY KEY (tokenid),
  CONSTRAINT c_token_1 FOREIGN KEY (userid) REFERENCES users (userid),
  CONSTRAINT c_token_2 FOREIGN KEY (creator_userid) REFERENCES users (userid)
);
CREATE TABLE item_tag (
  itemtagid bigint NOT NULL,
  itemid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (itemtagid),
  CONSTRAINT c_item_tag_1 FOREIGN KEY (itemid) REFERENCES items (itemid)
);
CREATE TABLE httptest_tag (
  httptesttagid bigint NOT NULL,
  httptestid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (httptesttagid),
  CONSTRAINT c_httptest_tag_1 FOREIGN KEY (httptestid) REFERENCES httptest (httptestid)
);
CREATE TABLE sysmaps_element_tag (
  selementtagid bigint NOT NULL,
  selementid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  operator integer NOT NULL,
  PRIMARY KEY (selementtagid),
  CONSTRAINT c_sysmaps_element_tag_1 FOREIGN KEY (selementid) REFERENCES sysmaps_elements (selementid)
);
CREATE TABLE report (
  reportid bigint NOT NULL,
  userid bigint NOT NULL,
  name varchar(255) NOT NULL,
  description varchar(2048) NOT NULL,
  status integer NOT NULL,
  dashboardid bigint NOT NULL,
  period integer NOT NULL,
  cycle integer NOT NULL,
  weekdays integer NOT NULL,
  start_time integer NOT NULL,
  active_since integer NOT NULL,
  active_till integer NOT NULL,
  state integer NOT NULL,
  lastsent integer NOT NULL,
  info varchar(2048) NOT NULL,
  PRIMARY KEY (reportid),
  CONSTRAINT c_report_1 FOREIGN KEY (userid) REFERENCES users (userid),
  CONSTRAINT c_report_2 FOREIGN KEY (dashboardid) REFERENCES dashboard (dashboardid)
);
CREATE TABLE report_param (
  reportparamid bigint NOT NULL,
  reportid bigint NOT NULL,
  name varchar(255) NOT NULL,
  value text NOT NULL,
  PRIMARY KEY (reportparamid),
  CONSTRAINT c_report_param_1 FOREIGN KEY (reportid) REFERENCES report (reportid)
);
CREATE TABLE report_user (
  reportuserid bigint NOT NULL,
  reportid bigint NOT NULL,
  userid bigint NOT NULL,
  exclude integer NOT NULL,
  access_userid bigint,
  PRIMARY KEY (reportuserid),
  CONSTRAINT c_report_user_1 FOREIGN KEY (reportid) REFERENCES report (reportid),
  CONSTRAINT c_report_user_2 FOREIGN KEY (userid) REFERENCES users (userid),
  CONSTRAINT c_report_user_3 FOREIGN KEY (access_userid) REFERENCES users (userid)
);
CREATE TABLE report_usrgrp (
  reportusrgrpid bigint NOT NULL,
  reportid bigint NOT NULL,
  usrgrpid bigint NOT NULL,
  access_userid bigint,
  PRIMARY KEY (reportusrgrpid),
  CONSTRAINT c_report_usrgrp_1 FOREIGN KEY (reportid) REFERENCES report (reportid),
  CONSTRAINT c_report_usrgrp_2 FOREIGN KEY (usrgrpid) REFERENCES usrgrp (usrgrpid),
  CONSTRAINT c_report_usrgrp_3 FOREIGN KEY (access_userid) REFERENCES users (userid)
);
CREATE TABLE service_problem_tag (
  service_problem_tagid bigint NOT NULL,
  serviceid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  operator integer NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (service_problem_tagid),
  CONSTRAINT c_service_problem_tag_1 FOREIGN KEY (serviceid) REFERENCES services (serviceid)
);
CREATE TABLE service_problem (
  service_problemid bigint NOT NULL,
  eventid bigint NOT NULL,
  serviceid bigint NOT NULL,
  severity integer NOT NULL,
  PRIMARY KEY (service_problemid),
  CONSTRAINT c_service_problem_1 FOREIGN KEY (eventid) REFERENCES problem (eventid),
  CONSTRAINT c_service_problem_2 FOREIGN KEY (serviceid) REFERENCES services (serviceid)
);
CREATE TABLE service_tag (
  servicetagid bigint NOT NULL,
  serviceid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (servicetagid),
  CONSTRAINT c_service_tag_1 FOREIGN KEY (serviceid) REFERENCES services (serviceid)
);
CREATE TABLE service_status_rule (
  service_status_ruleid bigint NOT NULL,
  serviceid bigint NOT NULL,
  type integer NOT NULL,
  limit_value integer NOT NULL,
  limit_status integer NOT NULL,
  new_status integer NOT NULL,
  PRIMARY KEY (service_status_ruleid),
  CONSTRAINT c_service_status_rule_1 FOREIGN KEY (serviceid) REFERENCES services (serviceid)
);
CREATE TABLE ha_node (
  ha_nodeid varchar(25) NOT NULL,
  name varchar(255) NOT NULL,
  address varchar(255) NOT NULL,
  port integer NOT NULL,
  lastaccess integer NOT NULL,
  status integer NOT NULL,
  ha_sessionid varchar(25) NOT NULL,
  PRIMARY KEY (ha_nodeid)
);
CREATE TABLE sla (
  slaid bigint NOT NULL,
  name varchar(255) NOT NULL,
  period integer NOT NULL,
  slo DOUBLE NOT NULL,
  effective_date integer NOT NULL,
  timezone varchar(50) NOT NULL,
  status integer NOT NULL,
  description text NOT NULL,
  PRIMARY KEY (slaid)
);
CREATE TABLE sla_schedule (
  sla_scheduleid bigint NOT NULL,
  slaid bigint NOT NULL,
  period_from integer NOT NULL,
  period_to integer NOT NULL,
  PRIMARY KEY (sla_scheduleid),
  CONSTRAINT c_sla_schedule_1 FOREIGN KEY (slaid) REFERENCES sla (slaid)
);
CREATE TABLE sla_excluded_downtime (
  sla_excluded_downtimeid bigint NOT NULL,
  slaid bigint NOT NULL,
  name varchar(255) NOT NULL,
  period_from integer NOT NULL,
  period_to integer NOT NULL,
  PRIMARY KEY (sla_excluded_downtimeid),
  CONSTRAINT c_sla_excluded_downtime_1 FOREIGN KEY (slaid) REFERENCES sla (slaid)
);
CREATE TABLE sla_service_tag (
  sla_service_tagid bigint NOT NULL,
  slaid bigint NOT NULL,
  tag varchar(255) NOT NULL,
  operator integer NOT NULL,
  value varchar(255) NOT NULL,
  PRIMARY KEY (sla_service_tagid),
  CONSTRAINT c_sla_service_tag_1 FOREIGN KEY (slaid) REFERENCES sla (slaid)
);
CREATE TABLE dbversion (
  dbversionid bigint NOT NULL,
  mandatory integer NOT NULL,
  optional integer NOT NULL,
  PRIMARY KEY (dbversionid)
);
CREATE UNIQUE INDEX role_1 ON role (name);
CREATE UNIQUE INDEX users_1 ON users (username);
CREATE INDEX maintenances_1 ON maintenances (active_since,active_till);
CREATE UNIQUE INDEX maintenances_2 ON maintenances (name);
CREATE INDEX hosts_1 ON hosts (host);
CREATE INDEX hosts_2 ON hosts (status);
CREATE INDEX hosts_3 ON hosts (proxy_hostid);
CREATE INDEX hosts_4 ON hosts (name);
CREATE INDEX hosts_5 ON hosts (maintenanceid);
CREATE INDEX hosts_6 ON hosts (name_upper);
CREATE INDEX hstgrp_1 ON hstgrp (name);
CREATE INDEX group_prototype_1 ON group_prototype (hostid);
CREATE INDEX drules_1 ON drules (proxy_hostid);
CREATE UNIQUE INDEX drules_2 ON drules (name);
CREATE INDEX dchecks_1 ON dchecks (druleid,host_source,name_source);
CREATE UNIQUE INDEX httptest_2 ON httptest (hostid,name);
CREATE INDEX httptest_3 ON httptest (status);
CREATE INDEX httptest_4 ON httptest (templateid);
CREATE INDEX httpstep_1 ON httpstep (httptestid);
CREATE INDEX interface_1 ON interface (hostid,type);
CREATE INDEX interface_2 ON interface (ip,dns);
CREATE INDEX interface_3 ON interface (available);
CREATE UNIQUE INDEX valuemap_1 ON valuemap (hostid,name);
CREATE INDEX items_1 ON items (hostid,key_);
CREATE INDEX items_3 ON items (status);
CREATE INDEX items_4 ON items (templateid);
CREATE INDEX items_5 ON items (valuemapid);
CREATE INDEX items_6 ON items (interfaceid);
CREATE INDEX items_7 ON items (master_itemid);
CREATE INDEX items_8 ON items (key_);
CREATE INDEX items_9 ON items (hostid,name_upper);
CREATE UNIQUE INDEX httpstepitem_1 ON httpstepitem (httpstepid,itemid);
CREATE INDEX httpstepitem_2 ON httpstepitem (itemid);
CREATE UNIQUE INDEX httptestitem_1 ON httptestitem (httptestid,itemid);
CREATE INDEX httptestitem_2 ON httptestitem (itemid);
CREATE UNIQUE INDEX media_type_1 ON media_type (name);
CREATE INDEX media_type_param_1 ON media_type_param (mediatypeid);
CREATE UNIQUE INDEX media_type_message_1 ON media_type_message (mediatypeid,eventsource,recovery);
CREATE UNIQUE INDEX usrgrp_1 ON usrgrp (name);
CREATE UNIQUE INDEX users_groups_1 ON users_groups (usrgrpid,userid);
CREATE INDEX users_groups_2 ON users_groups (userid);
CREATE INDEX scripts_1 ON scripts (usrgrpid);
CREATE INDEX scripts_2 ON scripts (groupid);
CREATE UNIQUE INDEX scripts_3 ON scripts (name);
CREATE UNIQUE INDEX script_param_1 ON script_param (scriptid,name);
CREATE INDEX actions_1 ON actions (eventsource,status);
CREATE UNIQUE INDEX actions_2 ON actions (name);
CREATE INDEX operations_1 ON operations (actionid);
CREATE INDEX opmessage_1 ON opmessage (mediatypeid);
CREATE UNIQUE INDEX opmessage_grp_1 ON opmessage_grp (operationid,usrgrpid);
CREATE INDEX opmessage_grp_2 ON opmessage_grp (usrgrpid);
CREATE UNIQUE INDEX opmessage_usr_1 ON opmessage_usr (operationid,userid);
CREATE INDEX opmessage_usr_2 ON opmessage_usr (userid);
CREATE INDEX opcommand_1 ON opcommand (scriptid);
CREATE INDEX opcommand_hst_1 ON opcommand_hst (operationid);
CREATE INDEX opcommand_hst_2 ON opcommand_hst (hostid);
CREATE INDEX opcommand_grp_1 ON opcommand_grp (operationid);
CREATE INDEX opcommand_grp_2 ON opcommand_grp (groupid);
CREATE UNIQUE INDEX opgroup_1 ON opgroup (operationid,groupid);
CREATE INDEX opgroup_2 ON opgroup (groupid);
CREATE UNIQUE INDEX optemplate_1 ON optemplate (operationid,templateid);
CREATE INDEX optemplate_2 ON optemplate (templateid);
CREATE INDEX opconditions_1 ON opconditions (operationid);
CREATE INDEX conditions_1 ON conditions (actionid);
CREATE INDEX config_1 ON config (alert_usrgrpid);
CREATE INDEX config_2 ON config (discovery_groupid);
CREATE INDEX triggers_1 ON triggers (status);
CREATE INDEX triggers_2 ON triggers (value,lastchange);
CREATE INDEX triggers_3 ON triggers (templateid);
CREATE UNIQUE INDEX trigger_depends_1 ON trigger_depends (triggerid_down,triggerid_up);
CREATE INDEX trigger_depends_2 ON trigger_depends (triggerid_up);
CREATE INDEX functions_1 ON functions (triggerid);
CREATE INDEX functions_2 ON functions (itemid,name,parameter);
CREATE INDEX graphs_1 ON graphs (name);
CREATE INDEX graphs_2 ON graphs (templateid);
CREATE INDEX graphs_3 ON graphs (ymin_itemid);
CREATE INDEX graphs_4 ON graphs (ymax_itemid);
CREATE INDEX graphs_items_1 ON graphs_items (itemid);
CREATE INDEX graphs_items_2 ON graphs_items (graphid);
CREATE UNIQUE INDEX graph_theme_1 ON graph_theme (theme);
CREATE UNIQUE INDEX globalmacro_1 ON globalmacro (macro);
CREATE UNIQUE INDEX hostmacro_1 ON hostmacro (hostid,macro);
CREATE UNIQUE INDEX hosts_groups_1 ON hosts_groups (hostid,groupid);
CREATE INDEX hosts_groups_2 ON hosts_groups (groupid);
CREATE UNIQUE INDEX hosts_templates_1 ON hosts_templates (hostid,templateid);
CREATE INDEX hosts_templates_2 ON hosts_templates (templateid);
CREATE UNIQUE INDEX valuemap_mapping_1 ON valuemap_mapping (valuemapid,value,type);
CREATE INDEX media_1 ON media (userid);
CREATE INDEX media_2 ON media (mediatypeid);
CREATE INDEX rights_1 ON rights (groupid);
CREATE INDEX rights_2 ON rights (id);
CREATE INDEX services_links_1 ON services_links (servicedownid);
CREATE UNIQUE INDEX services_links_2 ON services_links (serviceupid,servicedownid);
CREATE UNIQUE INDEX icon_map_1 ON icon_map (name);
CREATE INDEX icon_map_2 ON icon_map (default_iconid);
CREATE INDEX icon_mapping_1 ON icon_mapping (iconmapid);
CREATE INDEX icon_mapping_2 ON icon_mapping (iconid);
CREATE UNIQUE INDEX sysmaps_1 ON sysmaps (name);
CREATE INDEX sysmaps_2 ON sysmaps (backgroundid);
CREATE INDEX sysmaps_3 ON sysmaps (iconmapid);
CREATE INDEX sysmaps_elements_1 ON sysmaps_elements (sysmapid);
CREATE INDEX sysmaps_elements_2 ON sysmaps_elements (iconid_off);
CREATE INDEX sysmaps_elements_3 ON sysmaps_elements (iconid_on);
CREATE INDEX sysmaps_elements_4 ON sysmaps_elements (iconid_disabled);
CREATE INDEX sysmaps_elements_5 ON sysmaps_elements (iconid_maintenance);
CREATE INDEX sysmaps_links_1 ON sysmaps_links (sysmapid);
CREATE INDEX sysmaps_links_2 ON sysmaps_links (selementid1);
CREATE INDEX sysmaps_links_3 ON sysmaps_links (selementid2);
CREATE UNIQUE INDEX sysmaps_link_triggers_1 ON sysmaps_link_triggers (linkid,triggerid);
CREATE INDEX sysmaps_link_triggers_2 ON sysmaps_link_triggers (triggerid);
CREATE UNIQUE INDEX sysmap_element_url_1 ON sysmap_element_url (selementid,name);
CREATE UNIQUE INDEX sysmap_url_1 ON sysmap_url (sysmapid,name);
CREATE UNIQUE INDEX sysmap_user_1 ON sysmap_user (sysmapid,userid);
CREATE UNIQUE INDEX sysmap_usrgrp_1 ON sysmap_usrgrp (sysmapid,usrgrpid);
CREATE UNIQUE INDEX maintenances_hosts_1 ON maintenances_hosts (maintenanceid,hostid);
CREATE INDEX maintenances_hosts_2 ON maintenances_hosts (hostid);
CREATE UNIQUE INDEX maintenances_groups_1 ON maintenances_groups (maintenanceid,groupid);
CREATE INDEX maintenances_groups_2 ON maintenances_groups (groupid);
CREATE UNIQUE INDEX maintenances_windows_1 ON maintenances_windows (maintenanceid,timeperiodid);
CREATE INDEX maintenances_windows_2 ON maintenances_windows (timeperiodid);
CREATE UNIQUE INDEX regexps_1 ON regexps (name);
CREATE INDEX expressions_1 ON expressions (regexpid);
CREATE INDEX alerts_1 ON alerts (actionid);
CREATE INDEX alerts_2 ON alerts (clock);
CREATE INDEX alerts_3 ON alerts (eventid);
CREATE INDEX alerts_4 ON alerts (status);
CREATE INDEX alerts_5 ON alerts (mediatypeid);
CREATE INDEX alerts_6 ON alerts (userid);
CREATE INDEX alerts_7 ON alerts (p_eventid);
CREATE INDEX alerts_8 ON alerts (acknowledgeid);
CREATE INDEX proxy_history_1 ON proxy_history (clock);
CREATE INDEX proxy_dhistory_1 ON proxy_dhistory (clock);
CREATE INDEX proxy_dhistory_2 ON proxy_dhistory (druleid);
CREATE INDEX events_1 ON events (source,object,objectid,clock);
CREATE INDEX events_2 ON events (source,object,clock);
CREATE INDEX acknowledges_1 ON acknowledges (userid);
CREATE INDEX acknowledges_2 ON acknowledges (eventid);
CREATE INDEX acknowledges_3 ON acknowledges (clock);
CREATE INDEX auditlog_1 ON auditlog (userid,clock);
CREATE INDEX auditlog_2 ON auditlog (clock);
CREATE INDEX auditlog_3 ON auditlog (resourcetype,resourceid);
CREATE INDEX service_alarms_1 ON service_alarms (serviceid,clock);
CREATE INDEX service_alarms_2 ON service_alarms (clock);
CREATE INDEX autoreg_host_1 ON autoreg_host (host);
CREATE INDEX autoreg_host_2 ON autoreg_host (proxy_hostid);
CREATE INDEX proxy_autoreg_host_1 ON proxy_autoreg_host (clock);
CREATE INDEX dhosts_1 ON dhosts (druleid);
CREATE UNIQUE INDEX dservices_1 ON dservices (dcheckid,ip,port);
CREATE INDEX dservices_2 ON dservices (dhostid);
CREATE UNIQUE INDEX escalations_1 ON escalations (triggerid,itemid,serviceid,escalationid);
CREATE INDEX escalations_2 ON escalations (eventid);
CREATE INDEX escalations_3 ON escalations (nextcheck);
CREATE INDEX graph_discovery_1 ON graph_discovery (parent_graphid);
CREATE UNIQUE INDEX images_1 ON images (name);
CREATE UNIQUE INDEX item_discovery_1 ON item_discovery (itemid,parent_itemid);
CREATE INDEX item_discovery_2 ON item_discovery (parent_itemid);
CREATE INDEX profiles_1 ON profiles (userid,idx,idx2);
CREATE INDEX profiles_2 ON profiles (userid,profileid);
CREATE INDEX sessions_1 ON sessions (userid,status,lastaccess);
CREATE INDEX trigger_discovery_1 ON trigger_discovery (parent_triggerid);
CREATE INDEX item_condition_1 ON item_condition (itemid);
CREATE INDEX trigger_tag_1 ON trigger_tag (triggerid);
CREATE INDEX event_tag_1 ON event_tag (eventid);
CREATE INDEX problem_1 ON problem (source,object,objectid);
CREATE INDEX problem_2 ON problem (r_clock);
CREATE INDEX problem_3 ON problem (r_eventid);
CREATE INDEX problem_tag_1 ON problem_tag (eventid,tag,value);
CREATE INDEX event_recovery_1 ON event_recovery (r_eventid);
CREATE INDEX event_recovery_2 ON event_recovery (c_eventid);
CREATE INDEX correlation_1 ON correlation (status);
CREATE UNIQUE INDEX correlation_2 ON correlation (name);
CREATE INDEX corr_condition_1 ON corr_condition (correlationid);
CREATE INDEX corr_condition_group_1 ON corr_condition_group (groupid);
CREATE INDEX corr_operation_1 ON corr_operation (correlationid);
CREATE INDEX task_1 ON task (status,proxy_hostid);
CREATE INDEX item_preproc_1 ON item_preproc (itemid,step);
CREATE INDEX task_result_1 ON task_result (parent_taskid);
CREATE INDEX sysmap_shape_1 ON sysmap_shape (sysmapid);
CREATE UNIQUE INDEX sysmap_element_trigger_1 ON sysmap_element_trigger (selementid,triggerid);
CREATE INDEX httptest_field_1 ON httptest_field (httptestid);
CREATE INDEX httpstep_field_1 ON httpstep_field (httpstepid);
CREATE INDEX dashboard_1 ON dashboard (userid);
CREATE INDEX dashboard_2 ON dashboard (templateid);
CREATE UNIQUE INDEX dashboard_user_1 ON dashboard_user (dashboardid,userid);
CREATE UNIQUE INDEX dashboard_usrgrp_1 ON dashboard_usrgrp (dashboardid,usrgrpid);
CREATE INDEX dashboard_page_1 ON dashboard_page (dashboardid);
CREATE INDEX widget_1 ON widget (dashboard_pageid);
CREATE INDEX widget_field_1 ON widget_field (widgetid);
CREATE INDEX widget_field_2 ON widget_field (value_groupid);
CREATE INDEX widget_field_3 ON widget_field (value_hostid);
CREATE INDEX widget_field_4 ON widget_field (value_itemid);
CREATE INDEX widget_field_5 ON widget_field (value_graphid);
CREATE INDEX widget_field_6 ON widget_field (value_sysmapid);
CREATE INDEX widget_field_7 ON widget_field (value_serviceid);
CREATE INDEX widget_field_8 ON widget_field (value_slaid);
CREATE UNIQUE INDEX event_suppress_1 ON event_suppress (eventid,maintenanceid);
CREATE INDEX event_suppress_2 ON event_suppress (suppress_until);
CREATE INDEX event_suppress_3 ON event_suppress (maintenanceid);
CREATE INDEX maintenance_tag_1 ON maintenance_tag (maintenanceid);
CREATE UNIQUE INDEX lld_macro_path_1 ON lld_macro_path (itemid,lld_macro);
CREATE INDEX host_tag_1 ON host_tag (hostid);
CREATE UNIQUE INDEX config_autoreg_tls_1 ON config_autoreg_tls (tls_psk_identity);
CREATE UNIQUE INDEX lld_override_1 ON lld_override (itemid,name);
CREATE INDEX lld_override_condition_1 ON lld_override_condition (lld_overrideid);
CREATE INDEX lld_override_operation_1 ON lld_override_operation (lld_overrideid);
CREATE INDEX lld_override_optag_1 ON lld_override_optag (lld_override_operationid);
CREATE UNIQUE INDEX lld_override_optemplate_1 ON lld_override_optemplate (lld_override_operationid,templateid);
CREATE INDEX lld_override_optemplate_2 ON lld_override_optemplate (templateid);
CREATE INDEX item_parameter_1 ON item_parameter (itemid);
CREATE INDEX role_rule_1 ON role_rule (roleid);
CREATE INDEX role_rule_2 ON role_rule (value_moduleid);
CREATE INDEX role_rule_3 ON role_rule (value_serviceid);
CREATE INDEX token_1 ON token (name);
CREATE UNIQUE INDEX token_2 ON token (userid,name);
CREATE UNIQUE INDEX token_3 ON token (token);
CREATE INDEX token_4 ON token (creator_userid);
CREATE INDEX item_tag_1 ON item_tag (itemid);
CREATE INDEX httptest_tag_1 ON httptest_tag (httptestid);
CREATE INDEX sysmaps_element_tag_1 ON sysmaps_element_tag (selementid);
CREATE UNIQUE INDEX report_1 ON report (name);
CREATE INDEX report_param_1 ON report_param (reportid);
CREATE INDEX report_user_1 ON report_user (reportid);
CREATE INDEX report_usrgrp_1 ON report_usrgrp (reportid);
CREATE INDEX service_problem_tag_1 ON service_problem_tag (serviceid);
CREATE INDEX service_problem_1 ON service_problem (eventid);
CREATE INDEX service_problem_2 ON service_problem (serviceid);
CREATE INDEX service_tag_1 ON service_tag (serviceid);
CREATE INDEX service_status_rule_1 ON service_status_rule (serviceid);
CREATE UNIQUE INDEX ha_node_1 ON ha_node (name);
CREATE INDEX ha_node_2 ON ha_node (status,lastaccess);
CREATE UNIQUE INDEX sla_1 ON sla (name);
CREATE INDEX sla_schedule_1 ON sla_schedule (slaid);
CREATE INDEX sla_excluded_downtime_1 ON sla_excluded_downtime (slaid);
CREATE INDEX sla_service_tag_1 ON sla_service_tag (slaid);

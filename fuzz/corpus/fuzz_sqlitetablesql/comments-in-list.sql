CREATE TABLE t(a -- comment, with comma
, b /* block ) */ int, c int)
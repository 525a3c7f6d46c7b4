-- A step of the tests' own, after the real ones: a table with every rule a step may give.
-- Oldest writer: 1.1
-- Changes: The tests' notes on titles, one open note per till.
CREATE TABLE testnotes (
    Note    INTEGER PRIMARY KEY AUTOINCREMENT,
    ISBN    TEXT NOT NULL,
    Written TIMESTAMP NOT NULL,
    Till    TEXT NOT NULL DEFAULT 'counter' CHECK (Till <> ''),
    Amount  MONEY CHECK (Amount >= 0),
    IsOpen  INTEGER NOT NULL DEFAULT 1,
    UNIQUE (ISBN, Written),
    CHECK (IsOpen IN (0, 1))
);
CREATE UNIQUE INDEX testnotes_one_open ON testnotes (Till) WHERE IsOpen = 1;
GRANT SELECT, INSERT, UPDATE (IsOpen) ON testnotes TO quillmart_till;
GRANT SELECT, INSERT, UPDATE, DELETE ON testnotes TO quillmart_office;
-- server only:
CREATE FUNCTION testnotes_open(which text) RETURNS bigint LANGUAGE sql STABLE SECURITY DEFINER
    SET search_path FROM CURRENT AS $$ SELECT count(*) FROM testnotes WHERE till = which AND isopen = 1 $$;
-- end

-- A second step of the tests' own: a table keyed by a text, with a row of its own.
-- Oldest writer: 1.1
-- Changes: The tests' codes, each with its name.
CREATE TABLE testcodes (
    Code TEXT PRIMARY KEY,
    Name TEXT NOT NULL UNIQUE
);
CREATE INDEX testcodes_name ON testcodes (Name);
GRANT SELECT ON testcodes TO quillmart_till, quillmart_office;
-- file only:
INSERT INTO testcodes (Code, Name) VALUES ('A', 'first');
-- end
-- server only:
INSERT INTO testcodes (code, name) VALUES ('A', 'first');
-- end

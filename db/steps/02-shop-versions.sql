-- Version 2: the shop records its version and each upgrade made to it.
-- Oldest writer: 1.1
-- Changes: The shop records its version, the oldest Quillmart that may change it, and each upgrade made to it.

-- One row: the shop's version, and the oldest program version that may write to the shop
-- (an older one opens it read-only).
CREATE TABLE shopversion (
    Shop         TEXT PRIMARY KEY CHECK (Shop = 'shop'),
    Version      INTEGER NOT NULL CHECK (Version >= 2),
    OldestWriter TEXT NOT NULL
);
GRANT SELECT ON shopversion TO quillmart_till, quillmart_office;

-- Each upgrade: from which version to which, when (the upgrading computer's time), by which
-- program version and which login.
CREATE TABLE shopupgrades (
    Upgrade        INTEGER PRIMARY KEY AUTOINCREMENT,
    FromVersion    INTEGER NOT NULL,
    ToVersion      INTEGER NOT NULL,
    UpgradedAt     TIMESTAMP NOT NULL,
    ProgramVersion TEXT NOT NULL,
    Login          TEXT NOT NULL,
    CHECK (ToVersion > FromVersion)
);
GRANT SELECT ON shopupgrades TO quillmart_till, quillmart_office;

-- The shop database: ten tables, columns in their fixed order.
-- Declared types name each column's kind for the data layer:
--   INTEGER PRIMARY KEY AUTOINCREMENT  auto-number
--   INTEGER                            whole number
--   MONEY                              decimal amount (stored as a double)
--   DATE                               a day, stored as 'YYYY-MM-DD'
--   TIME                               a time of day, stored as 'HH:MM:SS'
--   TEXT                               text
-- Relations between tables are by equal text (a supplier's name, an ISBN), never by key.
-- A table marked "-- scratch" holds one till's working rows (the top sellers, a bill listing to
-- print): on a server each till sees only its own, and a copy of the shop leaves them out.

CREATE TABLE Titles (
    BOOKNO           INTEGER PRIMARY KEY AUTOINCREMENT,
    ISBN             TEXT,
    Title            TEXT,
    Author           TEXT,
    Subject          TEXT,
    Publisher        TEXT,
    [Year Published] TEXT,
    [Fixed Price]    MONEY,
    [Sale Price]     MONEY,
    PurchasePrice    MONEY,
    Qty              INTEGER,
    SafeQty          INTEGER,
    Retail           TEXT
);
CREATE INDEX TitlesISBN ON Titles (ISBN);

CREATE TABLE Subject (
    [Subject No] TEXT,
    Subject      TEXT
);

CREATE TABLE publishers (
    PubID          TEXT,
    Name           TEXT,
    [Company Name] TEXT,
    Address        TEXT,
    City           TEXT,
    State          TEXT,
    Zip            TEXT,
    Telephone      TEXT,
    Fax            TEXT
);

CREATE TABLE retail (
    RetNo      INTEGER PRIMARY KEY AUTOINCREMENT,
    RetName    TEXT,
    RetAddress TEXT,
    RetTel     TEXT,
    Salesman   TEXT
);

CREATE TABLE soldbook (
    SoldDate DATE,
    SoldTime TIME,
    ISBN     TEXT,
    Title    TEXT,
    Price    MONEY,
    Qty      INTEGER
);
CREATE INDEX soldbookSoldDate ON soldbook (SoldDate, SoldTime);
-- Serves the top-sellers summary: one pass over a period's sales grouped by ISBN.
CREATE INDEX soldbookISBN ON soldbook (ISBN, SoldDate, Qty);

CREATE TABLE onsale (
    ISBN           TEXT,
    [OnSale Price] MONEY,
    [Begin]        DATE,
    [End]          DATE
);
CREATE INDEX onsaleISBN ON onsale (ISBN);

CREATE TABLE Bill (
    [Invoice No]   TEXT,
    [Invoice Date] DATE,
    Fee            MONEY,
    [Invoice Time] TIME,
    Retail         TEXT
);
CREATE INDEX BillInvoiceDate ON Bill ([Invoice Date]);

CREATE TABLE paidbill (
    [Invoice No]   TEXT,
    [Invoice Date] DATE,
    Fee            MONEY,
    Time           TIME,
    Retail         TEXT,
    [Paid date]    DATE
);
CREATE INDEX paidbillInvoiceDate ON paidbill ([Invoice Date]);
CREATE INDEX paidbillRetail ON paidbill (Retail);

CREATE TABLE tmp ( -- scratch
    A TEXT,
    B TEXT,
    C TEXT
);

CREATE TABLE tempPay ( -- scratch
    [Invoice No]   TEXT,
    [Invoice Date] DATE,
    Fee            MONEY,
    [Invoice Time] TIME,
    Retail         TEXT,
    RetName        TEXT
);

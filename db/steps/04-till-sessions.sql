-- Version 4: till sessions and their cash-up, cash paid in and out, refunds and voids.
-- Oldest writer: 1.3
-- Changes: With payments on, each till sells in a session opened by counting its float and closed by counting its drawer.
-- Changes: Refunds by receipt or by ISBN, voids of receipts not yet paid, and cash paid in or taken out, each with who, when and why.

-- A till's session: from the float counted into its drawer to the count that closes it. A
-- till has one open session at a time (the index, not a check before the insert).
CREATE TABLE tillsessions (
    Session      INTEGER PRIMARY KEY AUTOINCREMENT,
    Till         INTEGER NOT NULL,
    Opened       TIMESTAMP NOT NULL,
    Closed       TIMESTAMP,
    OpeningFloat MONEY NOT NULL CHECK (OpeningFloat >= 0),
    OpenedBy     TEXT NOT NULL,
    ClosedBy     TEXT,
    CHECK ((Closed IS NULL AND ClosedBy IS NULL) OR (Closed IS NOT NULL AND ClosedBy IS NOT NULL))
);
GRANT SELECT ON tillsessions TO quillmart_till, quillmart_office;
CREATE UNIQUE INDEX tillsessions_open ON tillsessions (Till) WHERE Closed IS NULL;
CREATE INDEX tillsessions_opened ON tillsessions (Opened);

-- The session each receipt was sold in (none for a receipt sold with payments off).
CREATE TABLE receiptsessions (
    Receipt TEXT PRIMARY KEY,
    Session INTEGER NOT NULL
);
GRANT SELECT ON receiptsessions TO quillmart_till, quillmart_office;
CREATE INDEX receiptsessions_session ON receiptsessions (Session);

-- Cash put into a session's drawer or taken out of it, with the reason.
CREATE TABLE cashmovements (
    Movement  TEXT PRIMARY KEY CHECK (length(Movement) = 36),
    Session   INTEGER NOT NULL,
    Direction TEXT NOT NULL CHECK (Direction IN ('in', 'out')),
    Amount    MONEY NOT NULL CHECK (Amount > 0),
    Reason    TEXT NOT NULL CHECK (length(Reason) BETWEEN 1 AND 80),
    MovedAt   TIMESTAMP NOT NULL,
    Login     TEXT NOT NULL
);
GRANT SELECT ON cashmovements TO quillmart_till, quillmart_office;
CREATE INDEX cashmovements_session ON cashmovements (Session);

-- The reasons a refund may give; a reason taken out of use stays for the refunds given with it.
CREATE TABLE refundreasons (
    Reason  INTEGER PRIMARY KEY AUTOINCREMENT,
    Name    TEXT NOT NULL UNIQUE CHECK (length(Name) BETWEEN 1 AND 40),
    Removed INTEGER NOT NULL DEFAULT 0 CHECK (Removed IN (0, 1))
);
GRANT SELECT ON refundreasons TO quillmart_till;
GRANT SELECT, INSERT, UPDATE (Name, Removed) ON refundreasons TO quillmart_office;

-- A refund, made on its till under an identifier of its own (a UUID): of a receipt's lines or
-- (Receipt empty) of titles by ISBN. With payments on the money goes out by Method in Session;
-- with payments off neither is named and no money moves.
CREATE TABLE refunds (
    Refund     TEXT PRIMARY KEY CHECK (length(Refund) = 36),
    Session    INTEGER,
    Receipt    TEXT,
    Reason     TEXT NOT NULL CHECK (length(Reason) BETWEEN 1 AND 40),
    Method     INTEGER,
    Amount     MONEY NOT NULL CHECK (Amount >= 0),
    RefundedAt TIMESTAMP NOT NULL,
    Login      TEXT NOT NULL,
    CHECK ((Session IS NULL AND Method IS NULL) OR (Session IS NOT NULL AND Method IS NOT NULL))
);
GRANT SELECT ON refunds TO quillmart_till, quillmart_office;
CREATE INDEX refunds_session ON refunds (Session);
CREATE INDEX refunds_receipt ON refunds (Receipt);

-- A refund's lines: the copies taken back at Price each, back into stock unless Damaged. Each
-- wrote a soldbook row of SoldDate, SoldTime, ISBN, Title and Price with the quantity -Qty.
CREATE TABLE refundlines (
    Refund      TEXT NOT NULL,
    Line        INTEGER NOT NULL CHECK (Line >= 1),
    ReceiptLine INTEGER,
    BOOKNO      INTEGER NOT NULL,
    ISBN        TEXT NOT NULL,
    Title       TEXT NOT NULL,
    Price       MONEY NOT NULL CHECK (Price >= 0),
    Qty         INTEGER NOT NULL CHECK (Qty >= 1),
    Damaged     INTEGER NOT NULL DEFAULT 0 CHECK (Damaged IN (0, 1)),
    SoldDate    DATE NOT NULL,
    SoldTime    TIME NOT NULL,
    UNIQUE (Refund, Line)
);
GRANT SELECT ON refundlines TO quillmart_till, quillmart_office;

-- The copies of a receipt's line taken back by refunds and voids: never more than were sold,
-- by one conditional change, so that two tills cannot both take back the last copy.
CREATE TABLE linesback (
    Receipt TEXT NOT NULL,
    Line    INTEGER NOT NULL,
    Sold    INTEGER NOT NULL,
    Back    INTEGER NOT NULL DEFAULT 0 CHECK (Back >= 0),
    UNIQUE (Receipt, Line),
    CHECK (Back <= Sold)
);
GRANT SELECT ON linesback TO quillmart_till, quillmart_office;

-- A void, made on its till under an identifier of its own (a UUID): of one line of a receipt
-- not yet paid, or (Line empty) of the whole receipt, in the session it was sold in.
CREATE TABLE voids (
    Void     TEXT PRIMARY KEY CHECK (length(Void) = 36),
    Receipt  TEXT NOT NULL,
    Line     INTEGER,
    Session  INTEGER,
    Reason   TEXT NOT NULL CHECK (length(Reason) BETWEEN 1 AND 80),
    VoidedAt TIMESTAMP NOT NULL,
    Login    TEXT NOT NULL
);
GRANT SELECT ON voids TO quillmart_till, quillmart_office;
CREATE INDEX voids_session ON voids (Session);

-- Each line a void took back, once: its copies back into stock and its soldbook row offset by
-- a row of SoldDate, SoldTime, ISBN, Title and Price with the quantity -Qty.
CREATE TABLE voidlines (
    Void     TEXT NOT NULL,
    Receipt  TEXT NOT NULL,
    Line     INTEGER NOT NULL,
    Price    MONEY NOT NULL,
    Qty      INTEGER NOT NULL CHECK (Qty >= 1),
    SoldDate DATE NOT NULL,
    SoldTime TIME NOT NULL,
    UNIQUE (Receipt, Line)
);
GRANT SELECT ON voidlines TO quillmart_till, quillmart_office;
CREATE INDEX voidlines_void ON voidlines (Void);

-- The Z report of a closed session as it stood at its closing: never computed again.
CREATE TABLE zreports (
    Session  INTEGER NOT NULL UNIQUE,
    Receipts INTEGER NOT NULL,
    Sales    MONEY NOT NULL,
    Voids    INTEGER NOT NULL,
    Voided   MONEY NOT NULL,
    Refunds  INTEGER NOT NULL,
    Refunded MONEY NOT NULL,
    Rounding MONEY NOT NULL,
    CashIn   MONEY NOT NULL,
    CashOut  MONEY NOT NULL
);
GRANT SELECT ON zreports TO quillmart_till, quillmart_office;

-- Its lines for each payment method: what the drawer should have held, what was counted.
CREATE TABLE zreportmethods (
    Session  INTEGER NOT NULL,
    Method   INTEGER NOT NULL,
    Name     TEXT NOT NULL,
    Kind     TEXT NOT NULL,
    Taken    MONEY NOT NULL,
    Refunded MONEY NOT NULL,
    Expected MONEY NOT NULL,
    Counted  MONEY NOT NULL,
    UNIQUE (Session, Method)
);
GRANT SELECT ON zreportmethods TO quillmart_till, quillmart_office;

-- When an X report of a session was opened, and by whom (the Z report lists them).
CREATE TABLE xreports (
    Session  INTEGER NOT NULL,
    OpenedAt TIMESTAMP NOT NULL,
    Login    TEXT NOT NULL
);
GRANT SELECT, INSERT ON xreports TO quillmart_office;
CREATE INDEX xreports_session ON xreports (Session);

-- Version 8: the stock cycle: what to reorder, purchase orders, deliveries, bills checked
-- against them and returns to suppliers.
-- Oldest writer: 1.4
-- Changes: Reorder suggestions per supplier, from the sales of a window of days, the supplier's lead days and the days of stock to cover.
-- Changes: Purchase orders to suppliers (draft, sent, partly received, received, closed) and the deliveries received against them.
-- Changes: Supplier bills checked against what was delivered, held for the office's approval when they differ; returns to suppliers and their credit notes.

-- How far back sales are counted, how long the supplier takes to deliver and how many days of
-- sales an order covers, in days: per supplier (by its name, as bills name it), and the shop's
-- own under the empty name. A supplier without a row takes the shop's.
CREATE TABLE reordersettings (
    Supplier   TEXT PRIMARY KEY,
    WindowDays INTEGER NOT NULL CHECK (WindowDays >= 1),
    LeadDays   INTEGER NOT NULL CHECK (LeadDays >= 0),
    CoverDays  INTEGER NOT NULL CHECK (CoverDays >= 0)
);
GRANT SELECT, INSERT, UPDATE, DELETE ON reordersettings TO quillmart_office;
-- A supplier's list of what to reorder reads that supplier's titles alone.
CREATE INDEX titles_retail ON Titles (Retail);

-- The shop's amounts for its purchasing: how far a bill may differ from what was delivered
-- before it is held for approval (InvoiceTolerance).
CREATE TABLE purchasesettings (
    Setting TEXT PRIMARY KEY CHECK (Setting IN ('InvoiceTolerance')),
    Amount  MONEY NOT NULL CHECK (Amount >= 0)
);
GRANT SELECT, INSERT, UPDATE (Amount) ON purchasesettings TO quillmart_office;

-- An order to a supplier, named by its text as bills name it. Changed is when its state last
-- moved.
CREATE TABLE purchaseorders (
    OrderNo  INTEGER PRIMARY KEY AUTOINCREMENT,
    Supplier TEXT NOT NULL,
    State    TEXT NOT NULL DEFAULT 'draft' CHECK (State IN ('draft', 'sent', 'partly received', 'received', 'closed')),
    Created  TIMESTAMP NOT NULL,
    Changed  TIMESTAMP NOT NULL,
    Login    TEXT NOT NULL,
    Notes    TEXT NOT NULL DEFAULT ''
);
GRANT SELECT, INSERT, UPDATE ON purchaseorders TO quillmart_office;
CREATE INDEX purchaseorders_supplier ON purchaseorders (Supplier, State);

-- A title on an order: copies ordered, received so far (more than ordered when the supplier
-- sent more), invoiced and cancelled, the cost of each, and the customer order it is for.
CREATE TABLE purchaselines (
    Line          INTEGER PRIMARY KEY AUTOINCREMENT,
    OrderNo       INTEGER NOT NULL,
    BOOKNO        INTEGER NOT NULL,
    ISBN          TEXT NOT NULL,
    Title         TEXT NOT NULL,
    Ordered       INTEGER NOT NULL CHECK (Ordered >= 1),
    Received      INTEGER NOT NULL DEFAULT 0 CHECK (Received >= 0),
    Invoiced      INTEGER NOT NULL DEFAULT 0 CHECK (Invoiced >= 0),
    Cancelled     INTEGER NOT NULL DEFAULT 0 CHECK (Cancelled >= 0),
    Cost          MONEY NOT NULL DEFAULT 0 CHECK (Cost >= 0),
    CustomerOrder INTEGER,
    CHECK (Cancelled <= Ordered)
);
GRANT SELECT, INSERT, UPDATE, DELETE ON purchaselines TO quillmart_office;
CREATE INDEX purchaselines_order ON purchaselines (OrderNo);
CREATE INDEX purchaselines_title ON purchaselines (BOOKNO);

-- A delivery received from a supplier, with the day by which its copies may be sent back.
CREATE TABLE deliveries (
    Delivery   INTEGER PRIMARY KEY AUTOINCREMENT,
    Supplier   TEXT NOT NULL,
    ReceivedAt TIMESTAMP NOT NULL,
    ReturnBy   DATE,
    Login      TEXT NOT NULL
);
GRANT SELECT, INSERT ON deliveries TO quillmart_office;
CREATE INDEX deliveries_supplier ON deliveries (Supplier, ReceivedAt);

-- The copies of a title in a delivery: the order line they were received against (none when
-- they were on no order), how many of them were more than the line still wanted, and how many
-- have been invoiced and sent back since.
CREATE TABLE deliverylines (
    Entry    INTEGER PRIMARY KEY AUTOINCREMENT,
    Delivery INTEGER NOT NULL,
    Line     INTEGER,
    BOOKNO   INTEGER NOT NULL,
    Copies   INTEGER NOT NULL CHECK (Copies >= 1),
    Cost     MONEY NOT NULL DEFAULT 0 CHECK (Cost >= 0),
    Extra    INTEGER NOT NULL DEFAULT 0 CHECK (Extra >= 0),
    Invoiced INTEGER NOT NULL DEFAULT 0 CHECK (Invoiced >= 0),
    Returned INTEGER NOT NULL DEFAULT 0 CHECK (Returned >= 0),
    CHECK (Extra <= Copies),
    CHECK (Invoiced <= Copies),
    CHECK (Returned <= Copies)
);
GRANT SELECT, INSERT, UPDATE (Invoiced, Returned) ON deliverylines TO quillmart_office;
CREATE INDEX deliverylines_delivery ON deliverylines (Delivery);
CREATE INDEX deliverylines_title ON deliverylines (BOOKNO);

-- A bill held for the office's approval because its amount differs from what was delivered by
-- more than the shop's tolerance. The Bill table has no key: the hold names its bill by all
-- five of its columns
-- (Invoice No, Invoice Date, Fee, Invoice Time, Retail).
CREATE TABLE invoiceholds (
    Hold           INTEGER PRIMARY KEY AUTOINCREMENT,
    InvoiceNo   TEXT NOT NULL,
    InvoiceDate DATE NOT NULL,
    Fee         MONEY,
    InvoiceTime TIME NOT NULL,
    Retail      TEXT NOT NULL,
    Expected    MONEY NOT NULL,
    HeldAt      TIMESTAMP NOT NULL,
    ApprovedAt  TIMESTAMP,
    ApprovedBy  TEXT
);
GRANT SELECT, INSERT, UPDATE (ApprovedAt, ApprovedBy) ON invoiceholds TO quillmart_office;
CREATE INDEX invoiceholds_bill ON invoiceholds (InvoiceNo, Retail);

-- Copies sent back to a supplier, and the credit the shop expects for them.
CREATE TABLE supplierreturns (
    ReturnNo     INTEGER PRIMARY KEY AUTOINCREMENT,
    Supplier     TEXT NOT NULL,
    MadeAt       TIMESTAMP NOT NULL,
    Credit       MONEY NOT NULL CHECK (Credit >= 0),
    PastDeadline INTEGER NOT NULL DEFAULT 0 CHECK (PastDeadline IN (0, 1)),
    Login        TEXT NOT NULL
);
GRANT SELECT, INSERT ON supplierreturns TO quillmart_office;

CREATE TABLE returnlines (
    Entry    INTEGER PRIMARY KEY AUTOINCREMENT,
    ReturnNo INTEGER NOT NULL,
    Delivery INTEGER NOT NULL,
    BOOKNO   INTEGER NOT NULL,
    ISBN     TEXT NOT NULL,
    Title    TEXT NOT NULL,
    Copies   INTEGER NOT NULL CHECK (Copies >= 1),
    Cost     MONEY NOT NULL CHECK (Cost >= 0)
);
GRANT SELECT, INSERT ON returnlines TO quillmart_office;
CREATE INDEX returnlines_return ON returnlines (ReturnNo);

-- A supplier's credit note: it lowers what the shop has to pay that supplier.
CREATE TABLE creditnotes (
    CreditNo INTEGER PRIMARY KEY AUTOINCREMENT,
    Supplier TEXT NOT NULL,
    Number   TEXT NOT NULL,
    Day      DATE NOT NULL,
    Amount   MONEY NOT NULL CHECK (Amount > 0),
    ReturnNo INTEGER,
    UNIQUE (Supplier, Number)
);
GRANT SELECT, INSERT ON creditnotes TO quillmart_office;

-- The reorder list the office is editing: a supplier's suggestions, with the quantity the
-- operator will order (a line dropped is deleted), until a draft order is made of it.
CREATE TABLE reorderlist ( -- scratch
    Supplier      TEXT NOT NULL,
    BOOKNO        INTEGER NOT NULL,
    ISBN          TEXT,
    Title         TEXT,
    OnHand        INTEGER NOT NULL DEFAULT 0,
    SafeQty       INTEGER NOT NULL DEFAULT 0,
    Sold          INTEGER NOT NULL DEFAULT 0,
    OnOrder       INTEGER NOT NULL DEFAULT 0,
    Awaited       INTEGER NOT NULL DEFAULT 0,
    Suggested     INTEGER NOT NULL DEFAULT 0,
    Quantity      INTEGER NOT NULL DEFAULT 0 CHECK (Quantity >= 0),
    Cost          MONEY NOT NULL DEFAULT 0 CHECK (Cost >= 0),
    CustomerOrder INTEGER
);
GRANT SELECT, INSERT, UPDATE (Quantity, Cost), DELETE ON reorderlist TO quillmart_office;

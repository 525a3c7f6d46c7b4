-- Version 3: tills, receipts with their lines, payments, and the shop's payment settings.
-- Oldest writer: 1.2
-- Changes: Each customer's lines form a receipt with a number of its till, kept with its payments.
-- Changes: The shop keeps its tills, its payment methods and whether the counter takes payment.

-- The shop's own settings, one row each: whether the counter takes payment ("on" or "off";
-- off in a shop upgraded from version 1, which then sells as before) and how cash is rounded.
CREATE TABLE shopsettings (
    Setting TEXT PRIMARY KEY,
    Value   TEXT NOT NULL,
    CHECK ((Setting = 'Payments' AND Value IN ('on', 'off')) OR (Setting = 'CashRounding' AND Value IN ('none', '0.05', '0.10')))
);
GRANT SELECT ON shopsettings TO quillmart_till;
GRANT SELECT, INSERT, UPDATE (Value) ON shopsettings TO quillmart_office;

-- A till: its name, the short prefix of its receipt numbers and the number its next receipt
-- gets. On a server each till's login is named here; a shop file is one till.
CREATE TABLE tills (
    Till       INTEGER PRIMARY KEY AUTOINCREMENT,
    Name       TEXT NOT NULL UNIQUE CHECK (length(Name) BETWEEN 1 AND 40),
    Prefix     TEXT NOT NULL UNIQUE CHECK (length(Prefix) BETWEEN 1 AND 4 AND Prefix = upper(Prefix)),
    NextNumber INTEGER NOT NULL DEFAULT 1 CHECK (NextNumber >= 1),
    Login      TEXT UNIQUE
);
GRANT SELECT ON tills TO quillmart_till;
GRANT SELECT, INSERT, UPDATE (Name, Prefix, Login) ON tills TO quillmart_office;

-- A receipt: made on its till under an identifier of its own (a UUID), numbered by its till
-- when its first line is stored; Paid is empty until it is paid in full.
CREATE TABLE receipts (
    Receipt  TEXT PRIMARY KEY CHECK (length(Receipt) = 36),
    Till     INTEGER NOT NULL,
    Number   INTEGER NOT NULL CHECK (Number >= 1),
    Readable TEXT NOT NULL UNIQUE,
    Opened   TIMESTAMP NOT NULL,
    Paid     TIMESTAMP,
    Login    TEXT NOT NULL,
    UNIQUE (Till, Number)
);
GRANT SELECT ON receipts TO quillmart_till, quillmart_office;
CREATE INDEX receipts_unpaid ON receipts (Till, Opened) WHERE Paid IS NULL;

-- A receipt's lines, written with the line's sale row and stock change.
CREATE TABLE receiptlines (
    Receipt  TEXT NOT NULL,
    Line     INTEGER NOT NULL CHECK (Line >= 1),
    BOOKNO   INTEGER NOT NULL,
    ISBN     TEXT NOT NULL,
    Title    TEXT NOT NULL,
    Price    MONEY NOT NULL,
    Qty      INTEGER NOT NULL,
    SoldDate DATE NOT NULL,
    SoldTime TIME NOT NULL,
    UNIQUE (Receipt, Line)
);
GRANT SELECT ON receiptlines TO quillmart_till, quillmart_office;

-- How customers may pay. Cash and card are always there; a method taken out of use stays
-- for the payments made with it and is refused for new ones.
CREATE TABLE paymentmethods (
    Method  INTEGER PRIMARY KEY AUTOINCREMENT,
    Name    TEXT NOT NULL UNIQUE CHECK (length(Name) BETWEEN 1 AND 40),
    Kind    TEXT NOT NULL DEFAULT 'other' CHECK (Kind IN ('cash', 'card', 'other')),
    Removed INTEGER NOT NULL DEFAULT 0 CHECK (Removed IN (0, 1)),
    CHECK (Kind = 'other' OR Removed = 0)
);
GRANT SELECT ON paymentmethods TO quillmart_till;
GRANT SELECT, INSERT, UPDATE (Name, Removed) ON paymentmethods TO quillmart_office;
CREATE UNIQUE INDEX paymentmethods_kind ON paymentmethods (Kind) WHERE Kind <> 'other';

-- A receipt's payments. Amount is what the payment settles of the receipt (the cash kept);
-- in cash the customer tendered Tendered and was given Given back.
CREATE TABLE payments (
    Receipt  TEXT NOT NULL,
    Payment  INTEGER NOT NULL CHECK (Payment >= 1),
    Method   INTEGER NOT NULL,
    Amount   MONEY NOT NULL CHECK (Amount > 0),
    Tendered MONEY NOT NULL,
    Given    MONEY NOT NULL DEFAULT 0 CHECK (Given >= 0),
    PaidAt   TIMESTAMP NOT NULL,
    UNIQUE (Receipt, Payment),
    CHECK (Tendered - Given = Amount)
);
GRANT SELECT ON payments TO quillmart_till, quillmart_office;

-- The rounding of a receipt paid in cash in a shop that rounds cash: what the cash paid
-- differs from the exact total by.
CREATE TABLE receiptrounding (
    Receipt TEXT PRIMARY KEY,
    Amount  MONEY NOT NULL CHECK (Amount >= -0.05 AND Amount <= 0.05)
);
GRANT SELECT ON receiptrounding TO quillmart_till, quillmart_office;

-- file only, in an upgraded shop:
-- A shop upgraded from an earlier version, empty or not, gets cash, card and its one till
-- here. A shop made at this version gets them from what makes it (File > New Shop,
-- quillmart-createdb), and a shop copied into one brings its own. A setting without its row
-- is off (payments) or none (rounding).
INSERT INTO paymentmethods (Name, Kind) VALUES ('Cash', 'cash'), ('Card', 'card');
INSERT INTO tills (Name, Prefix) VALUES ('Till 1', 'A');
-- end

-- file only:
-- Kept for the payments made with it: a method is taken out of use, never deleted.
CREATE TRIGGER paymentmethods_kept BEFORE DELETE ON paymentmethods BEGIN SELECT RAISE(ABORT, 'A payment method is never deleted: it stays for the payments made with it. Set Removed to 1 to take it out of use.'); END;
-- end

-- server only:
-- "Do you have…?" at the counter looks for words in the titles, authors and ISBNs: on a server
-- an index of their trigrams serves it (pg_trgm ships with the server and is trusted, so the
-- shop's owner may add it). The three are one text, a line each, as the server's dialect tests
-- a word against them: one test a title rather than three when the catalogue is read whole (a
-- word of one or two letters has no trigram to look up).
CREATE EXTENSION IF NOT EXISTS pg_trgm;
CREATE INDEX titleswords ON titles USING gin ((coalesce(title, '') || E'\n' || coalesce(author, '') || E'\n' || coalesce(isbn, '')) gin_trgm_ops);
-- A till stores its receipts only through this function, which runs as the shop's owner: the
-- header once, numbered by the login's till in the same transaction; each line once, with its
-- sale row and stock change (quillmart_book_sale's checks); each payment once, of a method in
-- use and no more than is due; the rounding once. A part already stored is left as it is, so
-- that the same receipt sent again changes nothing.
CREATE FUNCTION quillmart_store_receipt(p jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER AS $receipt$
DECLARE
    v_id text := p->>'receipt';
    v_till integer;
    v_prefix text;
    v_number integer;
    v_readable text;
    v_stored_till integer;
    v_paid timestamp;
    v_line record;
    v_pay record;
    v_stored record;
    v_kind text;
    v_removed integer;
    v_total numeric;
    v_settled numeric;
    v_rounds text;
BEGIN
    IF v_id IS NULL OR v_id !~ '^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$' THEN
        RAISE EXCEPTION 'a receipt needs its identifier' USING ERRCODE = 'invalid_parameter_value';
    END IF;
    SELECT t.till, t.prefix INTO v_till, v_prefix FROM tills t WHERE t.login = session_user;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'the login % is not registered at any till: the back office registers it '
            'under Tills', session_user USING ERRCODE = 'insufficient_privilege';
    END IF;
    -- The till's next number is taken only by a receipt not stored yet; the till's row stays
    -- locked to the commit, so that two receipts of one till never get one number.
    UPDATE tills SET nextnumber = nextnumber + 1
        WHERE till = v_till AND NOT EXISTS (SELECT FROM receipts r WHERE r.receipt = v_id)
        RETURNING nextnumber - 1 INTO v_number;
    IF FOUND THEN
        INSERT INTO receipts (receipt, till, number, readable, opened, login)
            VALUES (v_id, v_till, v_number, v_prefix || v_number, (p->>'opened')::timestamp,
                    session_user)
            ON CONFLICT (receipt) DO NOTHING;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'the receipt was being stored at the same moment; store it again'
                USING ERRCODE = 'serialization_failure';
        END IF;
    END IF;
    SELECT r.till, r.number, r.readable, r.paid INTO v_stored_till, v_number, v_readable, v_paid
        FROM receipts r WHERE r.receipt = v_id;
    IF v_stored_till <> v_till THEN
        RAISE EXCEPTION 'the receipt % is another till''s', v_readable
            USING ERRCODE = 'insufficient_privilege';
    END IF;
    FOR v_line IN SELECT * FROM jsonb_to_recordset(coalesce(p->'lines', '[]'::jsonb)) AS x(
            line integer, bookno integer, isbn text, title text, price numeric, qty integer,
            day date, soldtime time without time zone) LOOP
        INSERT INTO receiptlines (receipt, line, bookno, isbn, title, price, qty, solddate,
                                  soldtime)
            VALUES (v_id, v_line.line, v_line.bookno, v_line.isbn, v_line.title, v_line.price,
                    v_line.qty, v_line.day, v_line.soldtime)
            ON CONFLICT (receipt, line) DO NOTHING;
        IF FOUND THEN
            IF v_paid IS NOT NULL THEN
                RAISE EXCEPTION 'the receipt % is paid: a line is added to a new receipt',
                    v_readable USING ERRCODE = 'check_violation';
            END IF;
            IF v_line.qty <= 0 THEN
                RAISE EXCEPTION 'a line of a receipt sells at least one copy'
                    USING ERRCODE = 'check_violation';
            END IF;
            IF NOT quillmart_book_sale(v_line.bookno, v_line.qty, v_line.price, v_line.day,
                                       v_line.soldtime) THEN
                RAISE EXCEPTION 'the title "%" is no longer in the catalogue (it was deleted '
                    'after it was looked up)', v_line.title USING ERRCODE = 'no_data_found';
            END IF;
        ELSE
            -- Stored before: it must be this line. A till that missed the answer to a store
            -- numbers its next line as the shop's, and a different line would go unseen.
            SELECT l.bookno, l.price, l.qty INTO v_stored FROM receiptlines l
                WHERE l.receipt = v_id AND l.line = v_line.line;
            IF (v_stored.bookno, v_stored.price, v_stored.qty)
                    IS DISTINCT FROM (v_line.bookno, v_line.price, v_line.qty) THEN
                RAISE EXCEPTION 'the line % of the receipt % was stored already as % of BOOKNO % '
                    'at %; the receipt is read again from the shop', v_line.line, v_readable,
                    v_stored.qty, v_stored.bookno, trim_scale(v_stored.price)
                    USING ERRCODE = 'unique_violation';
            END IF;
        END IF;
    END LOOP;
    SELECT coalesce(sum(l.price * l.qty), 0) INTO v_total FROM receiptlines l
        WHERE l.receipt = v_id;
    FOR v_pay IN SELECT * FROM jsonb_to_recordset(coalesce(p->'payments', '[]'::jsonb)) AS x(
            payment integer, method integer, amount numeric, tendered numeric, given numeric,
            paidat timestamp) LOOP
        INSERT INTO payments (receipt, payment, method, amount, tendered, given, paidat)
            VALUES (v_id, v_pay.payment, v_pay.method, v_pay.amount, v_pay.tendered,
                    v_pay.given, v_pay.paidat)
            ON CONFLICT (receipt, payment) DO NOTHING;
        IF FOUND THEN
            SELECT m.kind, m.removed INTO v_kind, v_removed FROM paymentmethods m
                WHERE m.method = v_pay.method;
            IF NOT FOUND OR v_removed <> 0 THEN
                RAISE EXCEPTION 'the payment method % is not in use', v_pay.method
                    USING ERRCODE = 'check_violation';
            END IF;
            IF v_kind <> 'cash' AND v_pay.given <> 0 THEN
                RAISE EXCEPTION 'only cash is given change' USING ERRCODE = 'check_violation';
            END IF;
        ELSE
            SELECT y.method, y.amount, y.tendered, y.given INTO v_stored FROM payments y
                WHERE y.receipt = v_id AND y.payment = v_pay.payment;
            IF (v_stored.method, v_stored.amount, v_stored.tendered, v_stored.given)
                    IS DISTINCT FROM (v_pay.method, v_pay.amount, v_pay.tendered, v_pay.given) THEN
                RAISE EXCEPTION 'the payment % of the receipt % was stored already as % by '
                    'method % (tendered %, change %); the receipt is read again from the shop',
                    v_pay.payment, v_readable, trim_scale(v_stored.amount), v_stored.method,
                    trim_scale(v_stored.tendered), trim_scale(v_stored.given)
                    USING ERRCODE = 'unique_violation';
            END IF;
        END IF;
    END LOOP;
    IF p->>'rounding' IS NOT NULL THEN
        INSERT INTO receiptrounding (receipt, amount)
            VALUES (v_id, (p->>'rounding')::numeric) ON CONFLICT (receipt) DO NOTHING;
        IF FOUND THEN
            SELECT s.value INTO v_rounds FROM shopsettings s WHERE s.setting = 'CashRounding';
            IF v_rounds IS DISTINCT FROM '0.05' AND v_rounds IS DISTINCT FROM '0.10' THEN
                RAISE EXCEPTION 'the shop does not round cash' USING ERRCODE = 'check_violation';
            END IF;
        END IF;
    END IF;
    SELECT coalesce(sum(y.amount), 0) INTO v_settled FROM payments y WHERE y.receipt = v_id;
    v_settled := v_settled - coalesce((SELECT g.amount FROM receiptrounding g
                                      WHERE g.receipt = v_id), 0);
    IF v_settled > v_total THEN
        RAISE EXCEPTION 'the payments (%) come to more than the receipt''s total (%)',
            trim_scale(v_settled), trim_scale(v_total) USING ERRCODE = 'check_violation';
    END IF;
    IF v_settled = v_total AND v_total > 0 AND v_paid IS NULL THEN
        v_paid := coalesce((p->>'paid')::timestamp, localtimestamp(0));
        UPDATE receipts SET paid = v_paid WHERE receipt = v_id AND paid IS NULL;
    END IF;
    RETURN jsonb_build_object('number', v_number, 'readable', v_readable,
                              'paid', v_paid IS NOT NULL);
END
$receipt$;
DO $$ BEGIN EXECUTE format('ALTER FUNCTION quillmart_store_receipt(jsonb) SET search_path = %I, pg_temp', current_schema()); END $$;
REVOKE ALL ON FUNCTION quillmart_store_receipt(jsonb) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION quillmart_store_receipt(jsonb) TO quillmart_till, quillmart_office;
-- end

-- server only, in an upgraded shop:
-- A shop upgraded from an earlier version, empty or not, gets cash and card here. A shop made
-- at this version gets them from quillmart-createdb, and a shop copied into one brings its
-- own. A setting without its row is off (payments) or none (rounding).
INSERT INTO paymentmethods (name, kind) VALUES ('Cash', 'cash'), ('Card', 'card');
-- end

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
GRANT SELECT ON xreports TO quillmart_till;
GRANT SELECT, INSERT ON xreports TO quillmart_office;
CREATE INDEX xreports_session ON xreports (Session);

-- file only, in an upgraded shop:
-- A shop upgraded from an earlier version, empty or not, gets a few reasons for refunds here.
-- A shop made at this version gets them from what makes it, and a shop copied into one brings
-- its own.
INSERT INTO refundreasons (Name) VALUES ('Changed mind'), ('Damaged'), ('Faulty'), ('Wrong item'), ('Gift return');
-- end

-- file only:
-- Kept for the refunds given with it: a reason is taken out of use, never deleted.
CREATE TRIGGER refundreasons_kept BEFORE DELETE ON refundreasons BEGIN SELECT RAISE(ABORT, 'A refund reason is never deleted: it stays for the refunds given with it. Set Removed to 1 to take it out of use.'); END;
-- end

-- server only:

-- The till of this login, or a refusal.
CREATE FUNCTION quillmart_login_till() RETURNS integer
LANGUAGE plpgsql STABLE AS $till$
DECLARE
    v_till integer;
BEGIN
    SELECT t.till INTO v_till FROM tills t WHERE t.login = session_user;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'the login % is not registered at any till: the back office registers it '
            'under Tills', session_user USING ERRCODE = 'insufficient_privilege';
    END IF;
    RETURN v_till;
END
$till$;

-- Refuses unless the session is the till's and open; holds it open to the commit, so that its
-- closing waits for the work done in it.
CREATE FUNCTION quillmart_own_open_session(p_session bigint, p_till integer) RETURNS void
LANGUAGE plpgsql AS $own$
DECLARE
    v_till integer;
    v_closed timestamp;
BEGIN
    SELECT s.till, s.closed INTO v_till, v_closed FROM tillsessions s
        WHERE s.session = p_session FOR SHARE;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'there is no session % in this shop', p_session
            USING ERRCODE = 'no_data_found';
    END IF;
    IF v_till <> p_till THEN
        RAISE EXCEPTION 'the session % is another till''s', p_session
            USING ERRCODE = 'insufficient_privilege';
    END IF;
    IF v_closed IS NOT NULL THEN
        RAISE EXCEPTION 'the session % is closed', p_session USING ERRCODE = 'check_violation';
    END IF;
END
$own$;

-- A session's figures so far (the X report's, and the Z report's at its closing): how many
-- receipts, what they sold, the lines voided, the refunds, the rounding, the cash moved.
CREATE FUNCTION quillmart_session_totals(p_session bigint)
RETURNS TABLE (receipts bigint, sales numeric, voids bigint, voided numeric, refunds bigint,
               refunded numeric, rounding numeric, cashin numeric, cashout numeric)
LANGUAGE sql STABLE AS $totals$
SELECT (SELECT count(*) FROM receiptsessions s WHERE s.session = p_session
            AND EXISTS (SELECT FROM receiptlines l WHERE l.receipt = s.receipt)),
       (SELECT coalesce(sum(l.price * l.qty), 0) FROM receiptsessions s
            JOIN receiptlines l ON l.receipt = s.receipt WHERE s.session = p_session),
       (SELECT count(*) FROM voids v JOIN voidlines w ON w.void = v.void
            WHERE v.session = p_session),
       (SELECT coalesce(sum(w.price * w.qty), 0) FROM voids v JOIN voidlines w ON w.void = v.void
            WHERE v.session = p_session),
       (SELECT count(*) FROM refunds r WHERE r.session = p_session),
       (SELECT coalesce(sum(r.amount), 0) FROM refunds r WHERE r.session = p_session),
       (SELECT coalesce(sum(g.amount), 0) FROM receiptsessions s
            JOIN receiptrounding g ON g.receipt = s.receipt WHERE s.session = p_session),
       (SELECT coalesce(sum(c.amount), 0) FROM cashmovements c
            WHERE c.session = p_session AND c.direction = 'in'),
       (SELECT coalesce(sum(c.amount), 0) FROM cashmovements c
            WHERE c.session = p_session AND c.direction = 'out')
$totals$;

-- Each payment method's figures of a session so far: what its receipts' payments took, what
-- refunds gave back, and what the drawer should hold (for cash: the float, the cash kept,
-- less cash refunds, with the cash paid in and taken out).
CREATE FUNCTION quillmart_session_methods(p_session bigint)
RETURNS TABLE (method integer, name text, kind text, taken numeric, refunded numeric,
               expected numeric)
LANGUAGE sql STABLE AS $methods$
SELECT m.method, m.name, m.kind, coalesce(p.taken, 0), coalesce(r.refunded, 0),
       coalesce(p.taken, 0) - coalesce(r.refunded, 0) + CASE m.kind WHEN 'cash' THEN
           (SELECT s.openingfloat FROM tillsessions s WHERE s.session = p_session)
           + (SELECT coalesce(sum(CASE c.direction WHEN 'in' THEN c.amount ELSE -c.amount END), 0)
                  FROM cashmovements c WHERE c.session = p_session)
       ELSE 0 END
FROM paymentmethods m
LEFT JOIN (SELECT y.method, sum(y.amount) AS taken FROM receiptsessions s
               JOIN payments y ON y.receipt = s.receipt WHERE s.session = p_session
               GROUP BY y.method) p ON p.method = m.method
LEFT JOIN (SELECT f.method, sum(f.amount) AS refunded FROM refunds f
               WHERE f.session = p_session GROUP BY f.method) r ON r.method = m.method
WHERE m.removed = 0 OR p.method IS NOT NULL OR r.method IS NOT NULL
ORDER BY CASE m.kind WHEN 'cash' THEN 0 WHEN 'card' THEN 1 ELSE 2 END, m.name, m.method
$methods$;

-- A receipt is sold in its till's open session, which a till with payments on must have;
-- a line voided is left out of what its payments must settle.
CREATE OR REPLACE FUNCTION quillmart_store_receipt(p jsonb) RETURNS jsonb
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
    v_session bigint;
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
        -- Sold in the till's open session, which cannot close before this commits.
        SELECT s.session INTO v_session FROM tillsessions s
            WHERE s.till = v_till AND s.closed IS NULL FOR SHARE;
        IF FOUND THEN
            INSERT INTO receiptsessions (receipt, session) VALUES (v_id, v_session);
        ELSIF EXISTS (SELECT FROM shopsettings s WHERE s.setting = 'Payments' AND s.value = 'on') THEN
            RAISE EXCEPTION 'the till has no open session: count the float to open one'
                USING ERRCODE = 'check_violation';
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
        WHERE l.receipt = v_id AND NOT EXISTS (
            SELECT FROM voidlines w WHERE w.receipt = l.receipt AND w.line = l.line);
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

-- Opens the session of the login's till with the float counted: one open session a till, by
-- the unique index.
CREATE FUNCTION quillmart_open_session(p jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER AS $open$
DECLARE
    v_till integer := quillmart_login_till();
    v_session bigint;
BEGIN
    IF (p->>'float')::numeric < 0 THEN
        RAISE EXCEPTION 'the float cannot be below 0' USING ERRCODE = 'check_violation';
    END IF;
    INSERT INTO tillsessions (till, opened, openingfloat, openedby)
        VALUES (v_till, (p->>'at')::timestamp, (p->>'float')::numeric, session_user)
        ON CONFLICT DO NOTHING RETURNING session INTO v_session;
    IF v_session IS NULL THEN
        RAISE EXCEPTION 'the till has a session open already: close it before opening another'
            USING ERRCODE = 'unique_violation';
    END IF;
    RETURN jsonb_build_object('session', v_session);
END
$open$;

-- Cash paid into or taken out of the login's till's open session, once by its identifier.
CREATE FUNCTION quillmart_move_cash(p jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER AS $cash$
DECLARE
    v_session bigint := (p->>'session')::bigint;
BEGIN
    IF EXISTS (SELECT FROM cashmovements c WHERE c.movement = p->>'movement') THEN
        RETURN '{}'::jsonb;
    END IF;
    IF coalesce((p->>'amount')::numeric, 0) <= 0 THEN
        RAISE EXCEPTION 'the amount paid in or taken out must be more than 0'
            USING ERRCODE = 'check_violation';
    END IF;
    IF coalesce(btrim(p->>'reason'), '') = '' THEN
        RAISE EXCEPTION 'give the reason the cash is paid in or taken out'
            USING ERRCODE = 'check_violation';
    END IF;
    PERFORM quillmart_own_open_session(v_session, quillmart_login_till());
    INSERT INTO cashmovements (movement, session, direction, amount, reason, movedat, login)
        VALUES (p->>'movement', v_session, p->>'direction', (p->>'amount')::numeric,
                btrim(p->>'reason'), (p->>'at')::timestamp, session_user)
        ON CONFLICT (movement) DO NOTHING;
    RETURN '{}'::jsonb;
END
$cash$;

-- Closes the login's till's open session with the amounts counted, and stores its Z report as
-- the session's figures stand then. A session with a receipt neither paid nor voided stays
-- open.
CREATE FUNCTION quillmart_close_session(p jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER AS $close$
DECLARE
    v_session bigint := (p->>'session')::bigint;
    v_unpaid text;
BEGIN
    IF EXISTS (SELECT FROM jsonb_array_elements(coalesce(p->'counted', '[]'::jsonb)) c
               WHERE (c->>'counted')::numeric < 0) THEN
        RAISE EXCEPTION 'a counted amount cannot be below 0' USING ERRCODE = 'check_violation';
    END IF;
    PERFORM quillmart_own_open_session(v_session, quillmart_login_till());
    SELECT r.readable INTO v_unpaid FROM receiptsessions s
        JOIN receipts r ON r.receipt = s.receipt
        WHERE s.session = v_session AND r.paid IS NULL AND EXISTS (
            SELECT FROM receiptlines l WHERE l.receipt = r.receipt AND NOT EXISTS (
                SELECT FROM voidlines w WHERE w.receipt = l.receipt AND w.line = l.line))
        ORDER BY r.number LIMIT 1;
    IF FOUND THEN
        RAISE EXCEPTION 'the receipt % is not paid: the session cannot close until that receipt '
            'is paid or voided', v_unpaid USING ERRCODE = 'check_violation';
    END IF;
    UPDATE tillsessions SET closed = (p->>'at')::timestamp, closedby = session_user
        WHERE session = v_session AND closed IS NULL;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'the session % is closed', v_session USING ERRCODE = 'check_violation';
    END IF;
    INSERT INTO zreports (session, receipts, sales, voids, voided, refunds, refunded, rounding,
                          cashin, cashout)
        SELECT v_session, t.* FROM quillmart_session_totals(v_session) t;
    INSERT INTO zreportmethods (session, method, name, kind, taken, refunded, expected, counted)
        SELECT v_session, m.method, m.name, m.kind, m.taken, m.refunded, m.expected,
               coalesce((SELECT sum((c->>'counted')::numeric)
                         FROM jsonb_array_elements(coalesce(p->'counted', '[]'::jsonb)) c
                         WHERE (c->>'method')::integer = m.method), 0)
        FROM quillmart_session_methods(v_session) m;
    RETURN '{}'::jsonb;
END
$close$;

-- A refund, once by its identifier: of a paid receipt's lines (each capped by the copies left
-- of it, at the price paid) or of titles by ISBN (at their counter price or less). Copies go
-- back into stock unless damaged, each line offsets its sale by a soldbook row of the negative
-- quantity, and with payments on the money goes out by a method in use in the login's till's
-- open session.
CREATE FUNCTION quillmart_store_refund(p jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER AS $refund$
DECLARE
    v_id text := p->>'refund';
    v_receipt text := p->>'receipt';
    v_method integer := (p->>'method')::integer;
    v_at timestamp := (p->>'at')::timestamp;
    v_session bigint;
    v_amount numeric := 0;
    v_readable text;
    v_paid timestamp;
    v_line record;
    v_sold record;
    v_back integer;
    v_most numeric;
BEGIN
    IF v_id IS NULL OR v_id !~ '^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$' THEN
        RAISE EXCEPTION 'a refund needs its identifier' USING ERRCODE = 'invalid_parameter_value';
    END IF;
    IF EXISTS (SELECT FROM refunds r WHERE r.refund = v_id) THEN
        RETURN (SELECT jsonb_build_object('amount', trim_scale(r.amount)::text, 'session',
                                          r.session) FROM refunds r WHERE r.refund = v_id);
    END IF;
    IF NOT EXISTS (SELECT FROM refundreasons r WHERE r.name = p->>'reason' AND r.removed = 0) THEN
        RAISE EXCEPTION 'the reason "%" is not in the shop''s list of refund reasons',
            p->>'reason' USING ERRCODE = 'check_violation';
    END IF;
    IF jsonb_array_length(coalesce(p->'lines', '[]'::jsonb)) = 0 THEN
        RAISE EXCEPTION 'a refund takes back at least one copy' USING ERRCODE = 'check_violation';
    END IF;
    IF EXISTS (SELECT FROM shopsettings s WHERE s.setting = 'Payments' AND s.value = 'on') THEN
        IF v_method IS NULL THEN
            RAISE EXCEPTION 'choose the payment method the money goes back by'
                USING ERRCODE = 'check_violation';
        END IF;
        SELECT s.session INTO v_session FROM tillsessions s
            WHERE s.till = quillmart_login_till() AND s.closed IS NULL FOR SHARE;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'the till has no open session: count the float to open one before '
                'refunding' USING ERRCODE = 'check_violation';
        END IF;
        IF NOT EXISTS (SELECT FROM paymentmethods m WHERE m.method = v_method AND m.removed = 0)
                THEN
            RAISE EXCEPTION 'the payment method % is not in use', v_method
                USING ERRCODE = 'check_violation';
        END IF;
    ELSIF v_method IS NOT NULL THEN
        RAISE EXCEPTION 'the counter takes no payment: no money goes back by a method'
            USING ERRCODE = 'check_violation';
    END IF;
    IF v_receipt IS NOT NULL THEN
        SELECT r.readable, r.paid INTO v_readable, v_paid FROM receipts r
            WHERE r.receipt = v_receipt;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'the receipt is not in this shop' USING ERRCODE = 'no_data_found';
        END IF;
        IF v_paid IS NULL THEN
            RAISE EXCEPTION 'the receipt % is not paid: void its lines instead', v_readable
                USING ERRCODE = 'check_violation';
        END IF;
    END IF;
    INSERT INTO refunds (refund, session, receipt, reason, method, amount, refundedat, login)
        VALUES (v_id, v_session, v_receipt, p->>'reason', v_method, 0, v_at, session_user)
        ON CONFLICT (refund) DO NOTHING;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'the refund was being stored at the same moment; store it again'
            USING ERRCODE = 'serialization_failure';
    END IF;
    FOR v_line IN SELECT * FROM jsonb_to_recordset(p->'lines') AS x(
            line integer, receiptline integer, bookno integer, isbn text, title text,
            price numeric, qty integer, damaged boolean) LOOP
        IF v_line.qty IS NULL OR v_line.qty < 1 THEN
            RAISE EXCEPTION 'a line of a refund takes back at least one copy'
                USING ERRCODE = 'check_violation';
        END IF;
        IF v_receipt IS NOT NULL THEN
            SELECT l.bookno, l.isbn, l.title, l.price, l.qty INTO v_sold FROM receiptlines l
                WHERE l.receipt = v_receipt AND l.line = v_line.receiptline;
            IF NOT FOUND THEN
                RAISE EXCEPTION 'the receipt % has no line %', v_readable, v_line.receiptline
                    USING ERRCODE = 'no_data_found';
            END IF;
            -- One statement takes the copies back if that many are left, as another till's
            -- refund left the line: two tills cannot both take the last copy.
            INSERT INTO linesback (receipt, line, sold, back)
                SELECT l.receipt, l.line, l.qty, v_line.qty FROM receiptlines l
                WHERE l.receipt = v_receipt AND l.line = v_line.receiptline AND v_line.qty <= l.qty
                ON CONFLICT (receipt, line) DO UPDATE SET back = linesback.back + excluded.back
                WHERE linesback.back + excluded.back <= linesback.sold;
            IF NOT FOUND THEN
                v_back := coalesce((SELECT b.back FROM linesback b WHERE b.receipt = v_receipt
                                    AND b.line = v_line.receiptline), 0);
                RAISE EXCEPTION 'only % of line % (%) is left to refund: % sold, % taken back '
                    'before', v_sold.qty - v_back, v_line.receiptline, v_sold.title, v_sold.qty,
                    v_back USING ERRCODE = 'check_violation';
            END IF;
        ELSE
            IF coalesce(v_line.receiptline, 0) <> 0 THEN
                RAISE EXCEPTION 'a refund without a receipt names no receipt line'
                    USING ERRCODE = 'check_violation';
            END IF;
            SELECT coalesce(t."sale price", 0) INTO v_most FROM titles t
                WHERE t.bookno = v_line.bookno;
            IF NOT FOUND THEN
                RAISE EXCEPTION 'the title "%" is no longer in the catalogue', v_line.title
                    USING ERRCODE = 'no_data_found';
            END IF;
            IF v_line.price > v_most THEN
                RAISE EXCEPTION 'the price of "%" cannot be raised above its counter price %',
                    v_line.title, trim_scale(v_most) USING ERRCODE = 'check_violation';
            END IF;
            IF v_line.price IS NULL OR v_line.price < 0 THEN
                RAISE EXCEPTION 'a refund''s price cannot be below 0'
                    USING ERRCODE = 'check_violation';
            END IF;
            SELECT v_line.bookno AS bookno, v_line.isbn AS isbn, v_line.title AS title,
                   v_line.price AS price INTO v_sold;
        END IF;
        IF NOT coalesce(v_line.damaged, false) THEN
            UPDATE titles SET qty = qty + v_line.qty WHERE bookno = v_sold.bookno;
        END IF;
        INSERT INTO soldbook (solddate, soldtime, isbn, title, price, qty)
            VALUES (v_at::date, v_at::time, v_sold.isbn, v_sold.title, v_sold.price, -v_line.qty);
        INSERT INTO refundlines (refund, line, receiptline, bookno, isbn, title, price, qty,
                                 damaged, solddate, soldtime)
            VALUES (v_id, v_line.line, CASE WHEN v_receipt IS NOT NULL THEN v_line.receiptline END,
                    v_sold.bookno, v_sold.isbn, v_sold.title, v_sold.price, v_line.qty,
                    CASE WHEN coalesce(v_line.damaged, false) THEN 1 ELSE 0 END, v_at::date,
                    v_at::time);
        v_amount := v_amount + v_sold.price * v_line.qty;
    END LOOP;
    UPDATE refunds SET amount = v_amount WHERE refund = v_id;
    RETURN jsonb_build_object('amount', trim_scale(v_amount)::text, 'session', v_session);
END
$refund$;

-- A void, once by its identifier: of one line of a receipt not yet paid, or of every line of
-- it not voided yet, in the session it was sold in. The copies come back into stock and each
-- line's sale is offset by a soldbook row of the negative quantity; nothing is deleted.
CREATE FUNCTION quillmart_store_void(p jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER AS $void$
DECLARE
    v_id text := p->>'void';
    v_receipt text := p->>'receipt';
    v_line integer := nullif((p->>'line')::integer, 0);
    v_at timestamp := (p->>'at')::timestamp;
    v_readable text;
    v_paid timestamp;
    v_session bigint;
    v_sold record;
    v_count integer := 0;
    v_settled numeric;
    v_due numeric;
BEGIN
    IF v_id IS NULL OR v_id !~ '^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$' THEN
        RAISE EXCEPTION 'a void needs its identifier' USING ERRCODE = 'invalid_parameter_value';
    END IF;
    IF EXISTS (SELECT FROM voids v WHERE v.void = v_id) THEN
        RETURN '{}'::jsonb;
    END IF;
    IF coalesce(btrim(p->>'reason'), '') = '' THEN
        RAISE EXCEPTION 'give the reason for the void' USING ERRCODE = 'check_violation';
    END IF;
    SELECT r.readable, r.paid INTO v_readable, v_paid FROM receipts r
        WHERE r.receipt = v_receipt FOR UPDATE;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'the receipt is not in this shop' USING ERRCODE = 'no_data_found';
    END IF;
    IF v_paid IS NOT NULL THEN
        RAISE EXCEPTION 'the receipt % is paid: only a refund takes its lines back', v_readable
            USING ERRCODE = 'check_violation';
    END IF;
    SELECT s.session INTO v_session FROM receiptsessions s WHERE s.receipt = v_receipt;
    IF FOUND AND NOT EXISTS (SELECT FROM tillsessions s WHERE s.session = v_session
                             AND s.closed IS NULL AND s.till = quillmart_login_till()) THEN
        RAISE EXCEPTION 'the receipt % was sold in a session that is closed', v_readable
            USING ERRCODE = 'check_violation';
    END IF;
    PERFORM FROM tillsessions s WHERE s.session = v_session FOR SHARE;
    INSERT INTO voids (void, receipt, line, session, reason, voidedat, login)
        VALUES (v_id, v_receipt, v_line, v_session, btrim(p->>'reason'), v_at, session_user)
        ON CONFLICT (void) DO NOTHING;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'the void was being stored at the same moment; store it again'
            USING ERRCODE = 'serialization_failure';
    END IF;
    IF v_line IS NOT NULL AND NOT EXISTS (SELECT FROM receiptlines l
                                          WHERE l.receipt = v_receipt AND l.line = v_line) THEN
        RAISE EXCEPTION 'the receipt % has no line %', v_readable, v_line
            USING ERRCODE = 'no_data_found';
    END IF;
    FOR v_sold IN SELECT l.line, l.bookno, l.isbn, l.title, l.price, l.qty FROM receiptlines l
            WHERE l.receipt = v_receipt AND (l.line = v_line OR v_line IS NULL)
            AND (v_line IS NOT NULL OR NOT EXISTS (
                SELECT FROM voidlines w WHERE w.receipt = l.receipt AND w.line = l.line))
            ORDER BY l.line LOOP
        INSERT INTO voidlines (void, receipt, line, price, qty, solddate, soldtime)
            VALUES (v_id, v_receipt, v_sold.line, v_sold.price, v_sold.qty, v_at::date,
                    v_at::time)
            ON CONFLICT (receipt, line) DO NOTHING;
        IF FOUND THEN
            INSERT INTO linesback (receipt, line, sold, back)
                VALUES (v_receipt, v_sold.line, v_sold.qty, v_sold.qty)
                ON CONFLICT (receipt, line) DO UPDATE SET back = linesback.back + excluded.back
                WHERE linesback.back + excluded.back <= linesback.sold;
        END IF;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'the line % of the receipt % is voided already', v_sold.line,
                v_readable USING ERRCODE = 'check_violation';
        END IF;
        UPDATE titles SET qty = qty + v_sold.qty WHERE bookno = v_sold.bookno;
        INSERT INTO soldbook (solddate, soldtime, isbn, title, price, qty)
            VALUES (v_at::date, v_at::time, v_sold.isbn, v_sold.title, v_sold.price, -v_sold.qty);
        v_count := v_count + 1;
    END LOOP;
    IF v_count = 0 THEN
        RAISE EXCEPTION 'every line of the receipt % is voided already', v_readable
            USING ERRCODE = 'check_violation';
    END IF;
    SELECT coalesce(sum(y.amount), 0) - coalesce((SELECT g.amount FROM receiptrounding g
                                                  WHERE g.receipt = v_receipt), 0)
        INTO v_settled FROM payments y WHERE y.receipt = v_receipt;
    SELECT coalesce(sum(l.price * l.qty), 0) INTO v_due FROM receiptlines l
        WHERE l.receipt = v_receipt AND NOT EXISTS (
            SELECT FROM voidlines w WHERE w.receipt = l.receipt AND w.line = l.line);
    IF v_settled > v_due THEN
        RAISE EXCEPTION 'the payments taken on the receipt % (%) come to more than its lines '
            'would total (%)', v_readable, trim_scale(v_settled), trim_scale(v_due)
            USING ERRCODE = 'check_violation';
    END IF;
    RETURN '{}'::jsonb;
END
$void$;

-- Each function runs with the shop's schema first, whoever calls it; the tills call the
-- session's work, the back office that and the figures of a session so far.
DO $$ DECLARE f text; BEGIN
    FOREACH f IN ARRAY ARRAY['quillmart_store_receipt(jsonb)', 'quillmart_login_till()',
            'quillmart_own_open_session(bigint, integer)', 'quillmart_session_totals(bigint)',
            'quillmart_session_methods(bigint)', 'quillmart_open_session(jsonb)',
            'quillmart_move_cash(jsonb)', 'quillmart_close_session(jsonb)',
            'quillmart_store_refund(jsonb)', 'quillmart_store_void(jsonb)'] LOOP
        EXECUTE format('ALTER FUNCTION %s SET search_path = %I, pg_temp', f, current_schema());
        EXECUTE format('REVOKE ALL ON FUNCTION %s FROM PUBLIC', f);
    END LOOP;
END $$;
GRANT EXECUTE ON FUNCTION quillmart_store_receipt(jsonb), quillmart_open_session(jsonb), quillmart_move_cash(jsonb), quillmart_close_session(jsonb), quillmart_store_refund(jsonb), quillmart_store_void(jsonb) TO quillmart_till, quillmart_office;
GRANT EXECUTE ON FUNCTION quillmart_session_totals(bigint), quillmart_session_methods(bigint) TO quillmart_office;
-- end

-- server only, in an upgraded shop:
-- A shop upgraded from an earlier version, empty or not, gets a few reasons for refunds here.
-- A shop made at this version gets them from quillmart-createdb, and a shop copied into one
-- brings its own.
INSERT INTO refundreasons (name) VALUES ('Changed mind'), ('Damaged'), ('Faulty'), ('Wrong item'), ('Gift return');
-- end

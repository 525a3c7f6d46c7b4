-- Version 7: customer orders, the copies set aside for them and their deposits.
-- Oldest writer: 1.4
-- Changes: Customer orders for titles the shop does not have: requested, ordered, arrived, customer told and collected, or cancelled or abandoned, each change kept with when and who.
-- Changes: Copies that arrive are set aside for the orders waiting for them; deposits are taken at the till and used at collection.

-- A customer's order of a title: who asked (name and contact, blanked once the order has been
-- finished longer than the shop keeps them), what and how many, at what price, from which
-- supplier, the deposit held on it now, and its state. Changed is when the state last moved.
CREATE TABLE customerorders (
    OrderNo   INTEGER PRIMARY KEY AUTOINCREMENT,
    Customer  TEXT NOT NULL CHECK (length(Customer) <= 80),
    Phone     TEXT NOT NULL DEFAULT '' CHECK (length(Phone) <= 40),
    Email     TEXT NOT NULL DEFAULT '' CHECK (length(Email) <= 80),
    BOOKNO    INTEGER NOT NULL,
    ISBN      TEXT NOT NULL,
    Title     TEXT NOT NULL,
    Qty       INTEGER NOT NULL CHECK (Qty >= 1),
    Price     MONEY NOT NULL CHECK (Price >= 0),
    Supplier  TEXT NOT NULL DEFAULT '',
    Deposit   MONEY NOT NULL DEFAULT 0 CHECK (Deposit >= 0),
    Promised  DATE,
    Notes     TEXT NOT NULL DEFAULT '',
    State     TEXT NOT NULL DEFAULT 'requested' CHECK (State IN ('requested', 'ordered', 'arrived', 'told', 'collected', 'cancelled', 'abandoned')),
    Requested TIMESTAMP NOT NULL,
    Changed   TIMESTAMP NOT NULL,
    Wiped     INTEGER NOT NULL DEFAULT 0 CHECK (Wiped IN (0, 1)),
    CHECK (Deposit <= Price * Qty)
);
GRANT SELECT, INSERT, UPDATE (State, Changed, Deposit, Customer, Phone, Email, Wiped) ON customerorders TO quillmart_till;
GRANT SELECT, INSERT, UPDATE ON customerorders TO quillmart_office;
CREATE INDEX customerorders_state ON customerorders (State, Requested);
CREATE INDEX customerorders_title ON customerorders (BOOKNO);

-- Each move of an order's state: when, at which till (none for a back-office login) and by
-- which login, and for "customer told" how the customer was told.
CREATE TABLE orderhistory (
    Entry     INTEGER PRIMARY KEY AUTOINCREMENT,
    OrderNo   INTEGER NOT NULL,
    State     TEXT NOT NULL,
    ChangedAt TIMESTAMP NOT NULL,
    Till      TEXT,
    Login     TEXT NOT NULL,
    Told      TEXT CHECK (Told IN ('phone', 'e-mail', 'in person'))
);
GRANT SELECT, INSERT ON orderhistory TO quillmart_till, quillmart_office;
CREATE INDEX orderhistory_order ON orderhistory (OrderNo);

-- The copies of a title set aside for customer orders, together: never more than the title's
-- stock when they are set aside, by one conditional change, so that two tills cannot set aside
-- the same last copy. Free copies are the stock less these.
CREATE TABLE heldcopies (
    BOOKNO INTEGER NOT NULL UNIQUE,
    Held   INTEGER NOT NULL DEFAULT 0 CHECK (Held >= 0)
);
GRANT SELECT, INSERT, UPDATE (Held) ON heldcopies TO quillmart_till, quillmart_office;

-- The copies set aside for each order, once (the order is the key).
CREATE TABLE orderholds (
    OrderNo INTEGER NOT NULL UNIQUE,
    BOOKNO  INTEGER NOT NULL,
    Copies  INTEGER NOT NULL CHECK (Copies >= 1),
    HeldAt  TIMESTAMP NOT NULL
);
GRANT SELECT, INSERT, DELETE ON orderholds TO quillmart_till, quillmart_office;
CREATE INDEX orderholds_title ON orderholds (BOOKNO);

-- The money of a deposit, each movement once by the identifier its till made: taken at a till
-- (by a method, in that till's session), used to pay for the order at its collection (on the
-- receipt), or refunded when the order is cancelled (by a method, in a session).
CREATE TABLE orderdeposits (
    Movement TEXT PRIMARY KEY CHECK (length(Movement) = 36),
    OrderNo  INTEGER NOT NULL,
    Kind     TEXT NOT NULL CHECK (Kind IN ('taken', 'used', 'refunded')),
    Session  INTEGER,
    Method   INTEGER,
    Receipt  TEXT,
    Amount   MONEY NOT NULL CHECK (Amount > 0),
    MovedAt  TIMESTAMP NOT NULL,
    Login    TEXT NOT NULL
);
GRANT SELECT, INSERT ON orderdeposits TO quillmart_till, quillmart_office;
CREATE INDEX orderdeposits_order ON orderdeposits (OrderNo);
CREATE INDEX orderdeposits_session ON orderdeposits (Session);

-- The shop's limits for orders, in days: an order waiting longer than WaitingDays is marked in
-- the lists, one not collected within AbandonDays of its arrival may be abandoned, and the
-- customer's name and contact are kept WipeDays after the order is finished.
CREATE TABLE ordersettings (
    Setting TEXT PRIMARY KEY CHECK (Setting IN ('WaitingDays', 'AbandonDays', 'WipeDays')),
    Days    INTEGER NOT NULL CHECK (Days >= 0)
);
GRANT SELECT ON ordersettings TO quillmart_till;
GRANT SELECT, INSERT, UPDATE (Days) ON ordersettings TO quillmart_office;

-- The days on which names and contacts of finished orders were wiped: the first program to
-- start on a day adds the day and wipes, the others find it there.
CREATE TABLE orderwipes (
    Day DATE NOT NULL UNIQUE
);
GRANT SELECT, INSERT ON orderwipes TO quillmart_till, quillmart_office;

-- server only:
-- A title a till's customer orders and the catalogue does not hold: added with no stock, a
-- safe quantity of 0 and the order's price, as the shop's owner (a till may not add titles
-- otherwise). Returns its BOOKNO.
CREATE FUNCTION quillmart_add_ordered_title(p jsonb) RETURNS bigint
LANGUAGE plpgsql SECURITY DEFINER AS $title$
DECLARE
    v_bookno bigint;
BEGIN
    IF coalesce(btrim(p->>'isbn'), '') = '' OR coalesce(btrim(p->>'title'), '') = '' THEN
        RAISE EXCEPTION 'a title ordered for a customer needs its ISBN and its title'
            USING ERRCODE = 'check_violation';
    END IF;
    IF (p->>'price')::numeric < 0 THEN
        RAISE EXCEPTION 'a title''s price cannot be below 0' USING ERRCODE = 'check_violation';
    END IF;
    INSERT INTO titles (isbn, title, author, publisher, "fixed price", "sale price", qty, safeqty,
                        retail)
        VALUES (btrim(p->>'isbn'), btrim(p->>'title'), nullif(btrim(p->>'author'), ''),
                nullif(btrim(p->>'publisher'), ''), (p->>'price')::numeric,
                (p->>'price')::numeric, 0, 0, nullif(btrim(p->>'supplier'), ''))
        RETURNING bookno INTO v_bookno;
    RETURN v_bookno;
END
$title$;

-- Placing, cancelling and abandoning an order are the back office's: a till's login that
-- tries is refused, whatever it sends.
CREATE FUNCTION quillmart_order_moves_of_office() RETURNS trigger
LANGUAGE plpgsql AS $moves$
BEGIN
    IF NEW.state IS DISTINCT FROM OLD.state AND NEW.state IN ('ordered', 'cancelled', 'abandoned')
            AND NOT pg_has_role(session_user, 'quillmart_office', 'MEMBER') THEN
        RAISE EXCEPTION 'only the back office places, cancels or abandons a customer order'
            USING ERRCODE = 'insufficient_privilege';
    END IF;
    RETURN NEW;
END
$moves$;
CREATE TRIGGER customerorders_office_moves BEFORE UPDATE OF state ON customerorders
    FOR EACH ROW EXECUTE FUNCTION quillmart_order_moves_of_office();

-- Deposit money moves in a session that is open as it is written: the session's row is held
-- until the commit, so that a close at the same moment waits for the deposit and counts it, or
-- comes first and the deposit is refused (a till may not lock the row itself).
CREATE FUNCTION quillmart_deposit_in_open_session() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER AS $deposit$
BEGIN
    IF NEW.session IS NOT NULL THEN
        PERFORM FROM tillsessions s WHERE s.session = NEW.session AND s.closed IS NULL FOR SHARE;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'the till''s session % is not open: count the float to open one',
                NEW.session USING ERRCODE = 'check_violation';
        END IF;
    END IF;
    RETURN NEW;
END
$deposit$;
CREATE TRIGGER orderdeposits_open_session BEFORE INSERT ON orderdeposits
    FOR EACH ROW EXECUTE FUNCTION quillmart_deposit_in_open_session();

DO $$ DECLARE f text; BEGIN
    FOREACH f IN ARRAY ARRAY['quillmart_add_ordered_title(jsonb)',
            'quillmart_order_moves_of_office()', 'quillmart_deposit_in_open_session()'] LOOP
        EXECUTE format('ALTER FUNCTION %s SET search_path = %I, pg_temp', f, current_schema());
        EXECUTE format('REVOKE ALL ON FUNCTION %s FROM PUBLIC', f);
    END LOOP;
END $$;
GRANT EXECUTE ON FUNCTION quillmart_add_ordered_title(jsonb) TO quillmart_till, quillmart_office;
GRANT EXECUTE ON FUNCTION quillmart_order_moves_of_office() TO quillmart_till, quillmart_office;
GRANT EXECUTE ON FUNCTION quillmart_deposit_in_open_session() TO quillmart_till, quillmart_office;
-- end

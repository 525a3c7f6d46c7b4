-- Version 6: receipts a till made while the shop's server could not be reached.
-- Oldest writer: 1.4
-- Changes: A till goes on selling while the shop's server cannot be reached, and sends its receipts when the server is back.
-- Changes: The shop records when it received each receipt sent late, and keeps the receipts it refused for the back office.

-- A receipt made on a till while the server was away, with the till's own number of it (the
-- one printed for the customer) and when the shop received it. Written in the transaction that
-- stores the receipt; a receipt sent again changes nothing.
CREATE TABLE receivedreceipts (
    Receipt    TEXT PRIMARY KEY CHECK (length(Receipt) = 36),
    Till       INTEGER NOT NULL,
    TillNumber INTEGER NOT NULL CHECK (TillNumber >= 1),
    Received   TIMESTAMP NOT NULL
);
GRANT SELECT ON receivedreceipts TO quillmart_office;

-- A receipt made on a till while the server was away that the shop refused for good (a title
-- deleted, a method taken out of use...): its identifier, till, the reason, when, and the
-- receipt as the till made it, so that the back office can book it by hand.
CREATE TABLE refusedreceipts (
    Receipt TEXT PRIMARY KEY CHECK (length(Receipt) = 36),
    Till    INTEGER NOT NULL,
    Reason  TEXT NOT NULL,
    Refused TIMESTAMP NOT NULL,
    Made    TEXT NOT NULL
);
GRANT SELECT ON refusedreceipts TO quillmart_office;

-- server only:
-- A till records the arrival of its own stored receipts only, through this function, in the
-- transaction of the store; the time is the server's.
CREATE FUNCTION quillmart_receipt_received(p jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER SET search_path FROM CURRENT AS $received$
DECLARE
    v_till integer := quillmart_login_till();
BEGIN
    IF NOT EXISTS (SELECT FROM receipts r WHERE r.receipt = p->>'receipt' AND r.till = v_till) THEN
        RAISE EXCEPTION 'the receipt % is not a stored receipt of this till', p->>'receipt'
            USING ERRCODE = 'no_data_found';
    END IF;
    INSERT INTO receivedreceipts (receipt, till, tillnumber, received)
        VALUES (p->>'receipt', v_till, (p->>'number')::integer, localtimestamp(0))
        ON CONFLICT (receipt) DO NOTHING;
    RETURN '{}'::jsonb;
END
$received$;
-- A till sets aside its own refused receipts only: the till is the login's.
CREATE FUNCTION quillmart_refuse_receipt(p jsonb) RETURNS jsonb
LANGUAGE plpgsql SECURITY DEFINER SET search_path FROM CURRENT AS $refused$
BEGIN
    INSERT INTO refusedreceipts (receipt, till, reason, refused, made)
        VALUES (p->>'receipt', quillmart_login_till(), coalesce(p->>'reason', ''),
                localtimestamp(0), coalesce(p->>'made', ''))
        ON CONFLICT (receipt) DO NOTHING;
    RETURN '{}'::jsonb;
END
$refused$;
REVOKE ALL ON FUNCTION quillmart_receipt_received(jsonb), quillmart_refuse_receipt(jsonb) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION quillmart_receipt_received(jsonb), quillmart_refuse_receipt(jsonb) TO quillmart_till, quillmart_office;
-- end

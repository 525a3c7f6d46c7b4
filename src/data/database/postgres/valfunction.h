// The function val() of the shop's queries on the server: the number a text begins with, as
// the program reads it from a text in the file (conv::leadingNumber), for the same results.
#pragma once

inline constexpr char kValSql[] = R"sql(
CREATE FUNCTION val(t text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $val$
DECLARE
    m text;
    negative boolean;
    mantissa text;
    digits text;
    exponent text;
    point integer;
    magnitude bigint;
    n numeric;
BEGIN
    -- The common cases first, without the cost of finding the number's part of the text: a
    -- plain number, and a text that does not begin with one.
    IF length(t) <= 300 AND t ~ '^[0-9]+(\.[0-9]*)?$' THEN
        RETURN t::double precision;
    END IF;
    IF t !~ '^[ \t\n\v\f\r]*[+-]?[ \t\n\v\f\r]*\.?[0-9]' THEN
        RETURN 0;
    END IF;
    -- Blanks, a sign, digits with at most one point, and an exponent. Only ASCII blanks and
    -- digits count, as in the program.
    m := substring(t FROM '^[ \t\n\v\f\r]*([+-]?[ \t\n\v\f\r]*(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)');
    IF m IS NULL THEN
        RETURN 0;
    END IF;
    m := replace(m, ' ', '');
    -- A sign parted from its digits by a tab or a line break makes no number.
    IF m ~ '[\t\n\v\f\r]' THEN
        RETURN 0;
    END IF;
    -- Up to 300 characters and no exponent: always within the range of a double.
    IF length(m) <= 300 AND m !~ '[eE]' THEN
        RETURN m::double precision;
    END IF;
    -- Otherwise the value is 0.<digits> times ten to the power magnitude; a value that is not
    -- a finite, non-zero double is 0, where the server's own conversion would fail.
    negative := left(m, 1) = '-';
    mantissa := substring(m FROM '^[+-]?([0-9.]+)');
    exponent := coalesce(substring(m FROM '[eE]([+-]?[0-9]+)$'), '0');
    point := position('.' IN mantissa);
    IF point = 0 THEN
        point := length(mantissa) + 1;
    END IF;
    digits := replace(mantissa, '.', '');
    magnitude := point - 1 - (length(digits) - length(ltrim(digits, '0')));
    digits := rtrim(ltrim(digits, '0'), '0');
    IF digits = '' THEN
        RETURN CASE WHEN negative THEN '-0'::double precision ELSE 0 END;
    END IF;
    exponent := ltrim(ltrim(exponent, '+-'), '0');
    IF length(exponent) > 12 THEN
        RETURN 0;
    END IF;
    IF exponent <> '' THEN
        magnitude := magnitude + CASE WHEN m ~ '[eE]-' THEN -exponent::bigint ELSE exponent::bigint END;
    END IF;
    IF magnitude >= 310 OR magnitude <= -324 THEN
        RETURN 0;
    END IF;
    -- 800 significant digits decide the rounding; a last 1 stands for any that follow.
    IF length(digits) > 800 THEN
        digits := left(digits, 800) || '1';
    END IF;
    n := ('0.' || digits || 'e' || magnitude)::numeric;
    -- At least 2^1024 - 2^970 rounds to infinity; at most 2^-1075 rounds to zero.
    IF n >= 179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497792::numeric
       OR n * 404804506614621236704990693437834614099113299528284236713802716054860679135990693783920767402874248990374155728633623822779617474771586953734026799881477019843034848553132722728933815484186432682479535356945490137124014966849385397236206711298319112681620113024717539104666829230461005064372655017292012526615415482186989568::numeric <= 1 THEN
        RETURN 0;
    END IF;
    RETURN (CASE WHEN negative THEN -n ELSE n END)::double precision;
END
$val$;

-- Numbers are their own value: val(Qty) and val(Price) resolve to this one.
CREATE FUNCTION val(x double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT x';
)sql";

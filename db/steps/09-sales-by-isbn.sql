-- Version 9: a server groups a period's sales by ISBN from an index alone.
-- Oldest writer: 1.3
-- Changes: On a server, the top sellers of a long period are listed faster.

-- The top sellers group a period's sales by ISBN and fetch each ISBN's first sale by its row
-- id. The file's index of sales by ISBN, day and quantity carries each row's id already, so
-- that one pass over it in ISBN order is the whole grouping. The server's did not: it read the
-- period's rows from the table and grouped them by hashing, some 40% more work for a year. An
-- index that carries the row id beside the same columns lets it walk the index in ISBN order
-- and group as it goes. The file has no need of it.
-- server only:
CREATE INDEX soldbook_isbn_sales ON soldbook (isbn, solddate, qty) INCLUDE (rowid);
-- end

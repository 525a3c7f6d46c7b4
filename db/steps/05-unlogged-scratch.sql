-- Version 5: a server keeps each till's working rows out of its write-ahead log.
-- Oldest writer: 1.3
-- Changes: On a server, the top sellers and the bill listing are built faster: the working rows each till prints from are no longer written to the server's log.

-- The scratch tables hold rows a till builds, prints and builds again (the top sellers, a
-- bill listing): nothing there outlives the screen that asked for it, so the server need not
-- log them for recovery. After a crash the server empties them, which loses nothing the shop
-- keeps. The file has no such thing.
-- server only:
ALTER TABLE tmp SET UNLOGGED;
ALTER TABLE temppay SET UNLOGGED;
-- end

-- The game directory of the demo: which header ID belongs to which game data.
CREATE TABLE Games (
  "Key" INTEGER PRIMARY KEY,
  "ID" TEXT NOT NULL,
  "Database" TEXT NOT NULL
);
INSERT INTO Games VALUES (1, 'TESSDEMO', 'tessdemo.mdb');

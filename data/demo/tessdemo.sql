-- The demo game's sprite definitions. Tile lists hold "column,row,offset"
-- lines separated by CR LF (char(13) || char(10)); offsets are ROM offsets for
-- plain sprites. The ROM generator writes each sprite's art at these offsets.
CREATE TABLE NFO (
  "ID" INTEGER PRIMARY KEY,
  "Name" TEXT, "Palette" INTEGER, "Completion" TEXT, "Author" TEXT, "Comment" TEXT
);
INSERT INTO NFO VALUES (1, 'Tessellane Demo', 4096, '100', 'Tessellane',
  'The demo game that ships with Tessellane.' || char(13) || char(10) ||
  'Its sprites are the project''s own art: edit them freely.');

CREATE TABLE HEAD ("ID" INTEGER PRIMARY KEY, "Name" TEXT NOT NULL);
INSERT INTO HEAD VALUES (1, 'Characters'), (2, 'Items'), (3, 'Scenery');

CREATE TABLE SPRITE (
  "Name" TEXT PRIMARY KEY COLLATE NOCASE,
  "Heading" INTEGER, "Palette" TEXT, "Width" INTEGER, "Height" INTEGER,
  "White" TEXT, "Grey" TEXT
);
INSERT INTO SPRITE VALUES
 ('Hero', 1, '0', 2, 3,
  '0,0,&H2000' || char(13) || char(10) || '1,0,&H2020' || char(13) || char(10) ||
  '0,1,&H2040' || char(13) || char(10) || '1,1,&H2060' || char(13) || char(10) ||
  '0,2,&H2080' || char(13) || char(10) || '1,2,&H20A0', '-1'),
 ('Slime', 1, '0', 2, 2,
  '0,0,8384' || char(13) || char(10) || '1,0,8416' || char(13) || char(10) ||
  '0,1,8448' || char(13) || char(10) || '1,1,8480', '-1'),
 ('Slime (night)', 1, '&H1020', 2, 2,
  '0,0,8384' || char(13) || char(10) || '1,0,8416' || char(13) || char(10) ||
  '0,1,8448' || char(13) || char(10) || '1,1,8480', NULL),
 ('Coin', 2, '0', 2, 2,
  '0,0,&H2140' || char(13) || char(10) || '1,0,&H2160' || char(13) || char(10) ||
  '0,1,&H2180' || char(13) || char(10) || '1,1,&H21A0', '-1'),
 ('Heart', 2, '0', 1, 1, '0,0,&H21C0', '-1'),
 ('Tree', 3, '0', 2, 5,
  '0,0,&H21E0' || char(13) || char(10) || '1,0,&H2200' || char(13) || char(10) ||
  '0,1,&H2220' || char(13) || char(10) || '1,1,&H2240' || char(13) || char(10) ||
  '0,2,&H2260' || char(13) || char(10) || '1,2,&H2280' || char(13) || char(10) ||
  '0,3,&H22A0' || char(13) || char(10) || '1,3,&H22C0',
  '0,4,&H22E0' || char(13) || char(10) || '1,4,&H2300');

CREATE TABLE COMPRESSED (
  "Name" TEXT PRIMARY KEY COLLATE NOCASE,
  "SubHead" TEXT NOT NULL, "Palette" TEXT, "Width" INTEGER, "Height" INTEGER,
  "White" TEXT, "Grey" TEXT, "Offset" INTEGER, "MaxSize" INTEGER
);
INSERT INTO COMPRESSED VALUES
 ('Treasure Chest', 'Objects', '0', 2, 2,
  '0,0,0' || char(13) || char(10) || '1,0,32' || char(13) || char(10) || '0,1,64' || char(13) || char(10) || '1,1,96', '', 12288, 100),
 ('Banner', 'Title', '0', 4, 3,
  '0,0,&H0' || char(13) || char(10) || '1,0,&H20' || char(13) || char(10) || '2,0,&H40' || char(13) || char(10) || '3,0,&H60' || char(13) || char(10) || '0,1,&H80' || char(13) || char(10) || '1,1,&HA0' || char(13) || char(10) || '2,1,&HC0' || char(13) || char(10) || '3,1,&HE0',
  '0,2,256' || char(13) || char(10) || '1,2,288' || char(13) || char(10) || '2,2,320' || char(13) || char(10) || '3,2,352', 12800, 400);

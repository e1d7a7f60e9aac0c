-- The database sjk.mdb at version 1. The program creates a missing file by running this and
-- then the steps to the current version (src/store/database.cpp), all in one transaction, the
-- same steps that bring a file of an earlier version up to date: so a new file and an upgraded
-- one have the same schema. This text stays as version 1 had it; later changes are new steps.
-- Column names and their order are part of the file format: some windows write
-- khb, ytb and dyb by column position. Never reorder, never insert a column.
-- Statements are separated by semicolons.

-- 'LSJT': lets the program tell its own files from any other SQLite file.
PRAGMA application_id = 1280526932;
PRAGMA user_version = 1;

-- Customers: the counterparties printed as payee or payer.
CREATE TABLE khb (
    gsmc     text,  -- customer name
    zhh      text,  -- account number
    khh      text,  -- bank where the account is held
    sheng    text,  -- province or municipality
    shi      text,  -- city or county
    gsmczmjc text   -- pinyin initials of gsmc, one per character
);
-- Version 2 appends gsmcdyjc: the initials of gsmc from the characters' (common) readings;
-- version 3 gsmcdyzm: the initials of every reading of each character (text/readings.h).
-- The add window and the import look a name up before every insertion.
CREATE INDEX khb_gsmc ON khb (gsmc);

-- The own company: exactly one row.
CREATE TABLE bssz (
    gsmc text,  -- name
    khh  text,  -- bank
    zhh  text,  -- account number
    hp   text,  -- province or municipality
    hc   text   -- city or county
);

-- Payment purposes.
CREATE TABLE ytb (
    yt text
);

-- Print history: one row per printed voucher. Dates are ISO text (YYYY-MM-DD) so that
-- between and sorting work; the declared type "date" marks them for the program.
CREATE TABLE dyb (
    xh     integer PRIMARY KEY AUTOINCREMENT,
    dyrq   date CHECK (dyrq IS NULL OR dyrq GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),
    fkrq   date CHECK (fkrq IS NULL OR fkrq GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'),
    pzlx   text,  -- voucher type
    pzhm   text,  -- voucher number
    fkje   text,  -- amount as typed
    fkyt   text,  -- purpose
    fkrmc  text,  -- payer name
    fkrzhh text,  -- payer account
    fkrkhh text,  -- payer bank
    skrmc  text,  -- payee name
    skrzhh text,  -- payee account
    skrkhh text,  -- payee bank
    sheng  text,
    shi    text
);
-- The history query (payee name contains a text, payment date within a range) tests the text
-- against each distinct payee name once, in dyb_skrmc, and then seeks the matching names'
-- rows in this index, which holds name, date and row id: a search over the whole history
-- costs what it finds, not a pass over every row.
CREATE INDEX dyb_skrmc_fkrq ON dyb (skrmc, fkrq);
-- Without a name the query is a date range alone, answered from this index (date, name and
-- row id): even a range over the whole history never fetches table rows one by one.
CREATE INDEX dyb_fkrq_skrmc ON dyb (fkrq, skrmc);

-- Every payee name the history has held, kept by the triggers below. A name whose rows are
-- all deleted stays: it only costs a look-up that finds nothing.
CREATE TABLE dyb_skrmc (
    skrmc text PRIMARY KEY
) WITHOUT ROWID;
CREATE TRIGGER dyb_skrmc_insert AFTER INSERT ON dyb WHEN new.skrmc IS NOT NULL
BEGIN
    INSERT OR IGNORE INTO dyb_skrmc (skrmc) VALUES (new.skrmc);
END;
CREATE TRIGGER dyb_skrmc_update AFTER UPDATE OF skrmc ON dyb WHEN new.skrmc IS NOT NULL
BEGIN
    INSERT OR IGNORE INTO dyb_skrmc (skrmc) VALUES (new.skrmc);
END;

-- Global print offsets (twips = millimetres x 57): exactly one row.
-- djpzup holds the horizontal offset and djpzleft the vertical one.
CREATE TABLE dytj (
    djpzup   numeric NOT NULL DEFAULT 0,
    djpzleft numeric NOT NULL DEFAULT 0
);

-- Calibration of the general wire voucher (twips = millimetres x 57): exactly one row.
-- Columns ending in l shift left/right, in u up/down; jg marks a spacing. They are added
-- to the voucher's fixed base positions, so all zeros prints every field at its base.
CREATE TABLE tydysz (
    rqnl     numeric NOT NULL DEFAULT 0,
    rqnu     numeric NOT NULL DEFAULT 0,
    rqyl     numeric NOT NULL DEFAULT 0,
    rqyu     numeric NOT NULL DEFAULT 0,
    rqrl     numeric NOT NULL DEFAULT 0,
    rqru     numeric NOT NULL DEFAULT 0,
    hkrqcl   numeric NOT NULL DEFAULT 0,
    hkrqcu   numeric NOT NULL DEFAULT 0,
    hkrzhhl  numeric NOT NULL DEFAULT 0,
    hkrzhhu  numeric NOT NULL DEFAULT 0,
    hcshengl numeric NOT NULL DEFAULT 0,
    hcshengu numeric NOT NULL DEFAULT 0,
    hcshil   numeric NOT NULL DEFAULT 0,
    hcshiu   numeric NOT NULL DEFAULT 0,
    hchmcl   numeric NOT NULL DEFAULT 0,
    hchmcu   numeric NOT NULL DEFAULT 0,
    skrqcl   numeric NOT NULL DEFAULT 0,
    skrqcu   numeric NOT NULL DEFAULT 0,
    skrzhhl  numeric NOT NULL DEFAULT 0,
    skrzhhu  numeric NOT NULL DEFAULT 0,
    hrshengl numeric NOT NULL DEFAULT 0,
    hrshengu numeric NOT NULL DEFAULT 0,
    hrshil   numeric NOT NULL DEFAULT 0,
    hrshiu   numeric NOT NULL DEFAULT 0,
    hrhmcl   numeric NOT NULL DEFAULT 0,
    hrhmcu   numeric NOT NULL DEFAULT 0,
    jedxl    numeric NOT NULL DEFAULT 0,
    jedxu    numeric NOT NULL DEFAULT 0,
    jexxl    numeric NOT NULL DEFAULT 0,
    jexxu    numeric NOT NULL DEFAULT 0,
    zhmml    numeric NOT NULL DEFAULT 0,
    zhmmu    numeric NOT NULL DEFAULT 0,
    ytl      numeric NOT NULL DEFAULT 0,
    ytu      numeric NOT NULL DEFAULT 0,
    zhtl     numeric NOT NULL DEFAULT 0,
    zhtu     numeric NOT NULL DEFAULT 0,
    mmjg     numeric NOT NULL DEFAULT 0,
    jexxjg   numeric NOT NULL DEFAULT 0
);

-- Delivered rows. The print history starts empty: a made-up voucher would stand in
-- the user's record of real prints, and every window copes with an empty result.
INSERT INTO bssz (gsmc, khh, zhh, hp, hc)
    VALUES ('北京示例商贸有限公司', '中国工商银行北京朝阳支行', '0200001009014412345', '北京', '朝阳区');

INSERT INTO khb (gsmc, zhh, khh, sheng, shi, gsmczmjc)
    VALUES ('上海华东建材有限公司', '31001234567890123456', '中国建设银行上海浦东支行', '上海', '浦东新区', 'SHHDJCYXGS');

INSERT INTO ytb (yt) VALUES ('货款');
INSERT INTO ytb (yt) VALUES ('工资');
INSERT INTO ytb (yt) VALUES ('差旅费');
INSERT INTO ytb (yt) VALUES ('办公用品');
INSERT INTO ytb (yt) VALUES ('往来款');

INSERT INTO dytj DEFAULT VALUES;
INSERT INTO tydysz DEFAULT VALUES;

#pragma once

// The SQL of the document file, in one place. docs/file-format.md describes
// the same schema for people; keep the two in step.

namespace quorvella::DocumentSchema {

inline constexpr const char *createTables = R"sql(
CREATE TABLE census (
    id INTEGER PRIMARY KEY,
    censusName TEXT,
    abundance INTEGER,
    richness INTEGER,
    buzasGibson REAL,
    chao REAL,
    shannon REAL,
    simpson REAL,
    peters REAL,
    pielou REAL,
    pie REAL,
    rarefactionRichness REAL,
    rarefactionSampleSize INTEGER
);
CREATE TABLE taxon (
    id INTEGER PRIMARY KEY,
    taxonName TEXT,
    abundance INTEGER,
    census INTEGER REFERENCES census(id),
    includeTaxon INTEGER NOT NULL DEFAULT 1
);
)sql";

// No index is written: Quorvella reads whole tables in id order and never
// looks taxa up by collection. An index on taxon(census) made the file half
// as large again and was most of the writing (two million taxa: 75 MB
// instead of 48 MB, and 0.6 s of a 1.4 s import). Files that hold one, as
// every file written before did, read the same: indexes are not read.

// Column lists in the order the reader and the writer use.
inline constexpr const char *censusColumns =
    "id, censusName, abundance, richness, buzasGibson, chao, shannon, simpson, peters, pielou, "
    "pie, rarefactionRichness, rarefactionSampleSize";
inline constexpr int censusColumnCount = 13;
inline constexpr const char *taxonColumns = "id, taxonName, abundance, census, includeTaxon";
inline constexpr int taxonColumnCount = 5;

} // namespace quorvella::DocumentSchema

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

// Made before the rows: an import's taxa come in collection order, so each
// entry is appended to the index as its row is written, instead of a sort of
// every row at the end (a third less writing for two million taxa, whose
// sort then came after the import's last text; the file is about 5 % larger).
inline constexpr const char *createIndexes = "CREATE INDEX taxon_census ON taxon(census);";

// Column lists in the order the reader and the writer use.
inline constexpr const char *censusColumns =
    "id, censusName, abundance, richness, buzasGibson, chao, shannon, simpson, peters, pielou, "
    "pie, rarefactionRichness, rarefactionSampleSize";
inline constexpr int censusColumnCount = 13;
inline constexpr const char *taxonColumns = "id, taxonName, abundance, census, includeTaxon";
inline constexpr int taxonColumnCount = 5;

} // namespace quorvella::DocumentSchema

#!/usr/bin/env python3
"""Writes the seed documents of the document-loader fuzzer into corpus/fuzz_document_loader/.

Each seed is a small document file in the format of docs/file-format.md, with
512-byte pages so that it stays small, plus a few near misses."""
import os
import sqlite3
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus", "fuzz_document_loader")
SCHEMA = """
CREATE TABLE census (id INTEGER PRIMARY KEY, censusName TEXT, abundance INTEGER,
  richness INTEGER, buzasGibson REAL, chao REAL, shannon REAL, simpson REAL, peters REAL,
  pielou REAL, pie REAL, rarefactionRichness REAL, rarefactionSampleSize INTEGER);
CREATE TABLE taxon (id INTEGER PRIMARY KEY, taxonName TEXT, abundance INTEGER,
  census INTEGER REFERENCES census(id), includeTaxon INTEGER NOT NULL DEFAULT 1);
"""
NAN = struct.pack(">Q", 0x7FF8000000000000)
INF = struct.pack(">d", float("inf"))


def document(name, censuses, taxa, version=1, app_id=0x51564C41, index=True):
    path = os.path.join(CORPUS, name)
    if os.path.exists(path):
        os.remove(path)
    db = sqlite3.connect(path)
    db.execute("PRAGMA page_size = 512")
    db.executescript(SCHEMA)
    for row in censuses:
        db.execute("INSERT INTO census VALUES (%s)" % ",".join("?" * 13), row)
    for row in taxa:
        db.execute("INSERT INTO taxon VALUES (?,?,?,?,?)", row)
    if index:
        db.execute("CREATE INDEX taxon_census ON taxon(census)")
    db.execute("PRAGMA application_id = %d" % app_id)
    db.execute("PRAGMA user_version = %d" % version)
    db.commit()
    db.close()


def main():
    os.makedirs(CORPUS, exist_ok=True)
    full = (1, "S1", 12, 3, 0.8, 4.5, 1.1, 0.3, 2.0, 0.9, 0.7, 2.5, 10)
    empty = (2,) + (None,) * 12
    odd = (3, "", -1, 0, NAN, INF, -0.0, None, 1e300, None, None, NAN, None)
    taxa = [(4, "Abies", 5, 1, 1), (5, None, None, 1, 0), (6, "orphan", 2, None, 1),
            (7, "x, \"y\"", 2147483647, 3, 1)]
    document("three-collections.qvl", [full, empty, odd], taxa)
    document("empty.qvl", [], [])
    document("newer.qvl", [full], [], version=2)
    document("other-application.qvl", [full], [], app_id=0)
    document("no-index.qvl", [full], taxa[:1], index=False)
    with open(os.path.join(CORPUS, "text.txt"), "w") as out:
        out.write("label,A,B\nS1,1,2\n")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Reads a dBASE table with dbfread, a reader independent of the programs, and
prints what it found as JSON: the language driver byte, the fields (name, type,
length) and every record's values in field order. Texts are decoded from code
page 1251 strictly, so a byte that is not text fails the read."""
import json
import sys

from dbfread import DBF


def main(path):
    table = DBF(path, encoding="cp1251", char_decode_errors="strict", load=False)
    records = [list(record.values()) for record in table]
    print(json.dumps({
        "language_driver": table.header.language_driver,
        "record_count": table.header.numrecords,
        "fields": [[f.name, f.type, f.length] for f in table.fields],
        "records": records,
    }))


if __name__ == "__main__":
    main(sys.argv[1])

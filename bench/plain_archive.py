#!/usr/bin/env python3
"""The yardstick of the archive's ingest: plain Python inserting a capture's packets, decoded
beforehand (the decoding is not timed), into tables like the archive's (frames with its
indexes, receptions), executemany in one transaction, in the same journal mode. Prints how
long the inserts took, in nanoseconds.

  plain_archive.py CAPTURE DATABASE
"""
import os
import sqlite3
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import plain_decoder as decoder  # noqa: E402

capture, database = sys.argv[1], sys.argv[2]
data = open(capture, "rb").read()
frames = [f for f in decoder.kiss_frames(data) if len(f) == 216]
channels = len(decoder.decode(frames[0]))
rows, receptions = [], []
for n, frame in enumerate(frames):
    time_ms = 1612620000000 + 1000 * n
    rows.append((n + 1, time_ms, time_ms, hash(frame), frame, "2021/02/06 14:00:00", *decoder.decode(frame)))
    receptions.append((n + 1, f"varied.kss#{n + 1}", "N0CALL", time_ms))

db = sqlite3.connect(database)
db.executescript("PRAGMA page_size = 16384; PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
                 "CREATE TABLE frames(id INTEGER PRIMARY KEY, time_ms INTEGER NOT NULL, last_ms INTEGER, digest INTEGER NOT NULL, "
                 "bytes BLOB NOT NULL, obc_time TEXT" + "".join(f", c{k} REAL" for k in range(channels)) + ");"
                 "CREATE INDEX frames_by_time ON frames(time_ms, digest);"
                 "CREATE TABLE receptions(frame INTEGER NOT NULL, source TEXT NOT NULL, station TEXT NOT NULL, "
                 "time_ms INTEGER NOT NULL, PRIMARY KEY(frame, source, station)) WITHOUT ROWID;")
start = time.perf_counter_ns()
with db:
    db.executemany("INSERT INTO frames VALUES (" + ", ".join("?" * (6 + channels)) + ")", rows)
    db.executemany("INSERT INTO receptions VALUES (?, ?, ?, ?)", receptions)
print(time.perf_counter_ns() - start)

#!/usr/bin/env python3
"""The yardstick orca5-decode is held against: a few lines of plain Python decoding the same
frames, one struct.unpack_from a frame, with no output. It reads the beacon layout from
telemetry/beacon_layout.h, so both decode the same fields.

  plain_decoder.py decode FILE              a capture (.kss) or a SatNOGS export: packets, seconds
  plain_decoder.py capture FILE N           N telemetry frames of random bytes, a second apart
  plain_decoder.py export FILE N            the same as a SatNOGS export
"""
import os
import re
import struct
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CODES = {"U8": "B", "S8": "b", "U16": "H", "U32": "I", "BinaryText": "4s"}
SIZES = {"U8": 1, "S8": 1, "U16": 2, "U32": 4, "BinaryText": 4}


def layout():
    """One big-endian struct over the whole frame, pad bytes between the fields, and each
    field's divisor (None for the binary text, read as four characters)."""
    text = open(os.path.join(HERE, "..", "telemetry", "beacon_layout.h")).read()
    fields = sorted((int(offset), encoding, int(divisor))
                    for offset, encoding, divisor in re.findall(r"\{channel::\w+, (\d+), Encoding::(\w+), (\d+)\}", text))
    fmt, at, divisors = ">", 0, []
    for offset, encoding, divisor in fields:
        fmt += "x" * (offset - at) + CODES[encoding]
        at = offset + SIZES[encoding]
        divisors.append(None if encoding == "BinaryText" else divisor)
    return struct.Struct(fmt), divisors


BEACON, DIVISORS = layout()


def decode(frame):
    if len(frame) == 200:
        frame = bytes(16) + frame
    values = []
    for raw, divisor in zip(BEACON.unpack_from(frame), DIVISORS):
        if divisor is None:  # four characters, each "1" a binary one, the first weighing 8
            values.append(sum(8 >> i for i, c in enumerate(raw) if c == 0x31))
        else:
            values.append(raw / divisor if divisor != 1 else raw)
    return values


def kiss_frames(data):
    for chunk in data.split(b"\xc0"):
        if len(chunk) < 2 or chunk[0] != 0:
            continue
        yield chunk[1:].replace(b"\xdb\xdc", b"\xc0").replace(b"\xdb\xdd", b"\xdb")


def satnogs_frames(data):
    for line in data.split(b"\n"):
        fields = line.split(b"|")
        if len(fields) > 1 and len(fields[0]) == 19:
            yield bytes.fromhex(fields[1].strip().decode())


def main():
    command, path = sys.argv[1], sys.argv[2]
    if command == "decode":
        data = open(path, "rb").read()
        start = time.perf_counter()
        frames = kiss_frames(data) if b"\xc0" in data[:1] else satnogs_frames(data)
        packets = sum(1 for frame in frames if len(frame) in (200, 216) and decode(frame))
        print(packets, time.perf_counter() - start)
        return
    count = int(sys.argv[3])
    with open(path, "wb") as out:
        for n in range(count):
            frame = os.urandom(216)
            stamp = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(1612620000 + n))
            if command == "export":
                out.write(stamp.encode() + b"|" + frame.hex().upper().encode() + b"\r\n")
            else:
                escaped = frame.replace(b"\xdb", b"\xdb\xdd").replace(b"\xc0", b"\xdb\xdc")
                out.write(b"\xc0\x09" + (stamp + ".000 UTC").encode() + b"\xc0\xc0\x00" + escaped + b"\xc0")


if __name__ == "__main__":
    main()

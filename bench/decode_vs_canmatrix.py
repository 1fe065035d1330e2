#!/usr/bin/python3
"""The two halves of bench/decode_vs_canmatrix.sh.

  decode_vs_canmatrix.py make DBC LOG [FRAMES]  a candump log of FRAMES
      frames (200000) whose identifiers are the DBC's messages, random data,
      fixed seed: the same log on every run.
  decode_vs_canmatrix.py decode DBC LOG         decodes LOG with canmatrix the
      way tests/dbc/oracle.py does, read by python-can; prints the frames
      decoded.
"""
import logging
import random
import sys


def load(dbc):
    import canmatrix.formats
    logging.disable(logging.CRITICAL)  # canmatrix's remarks on the file
    return canmatrix.formats.loadp_flat(dbc, dbcImportEncoding="cp1252")


def make(dbc, log, count):
    frames = [f for f in load(dbc).frames if f.size and f.signals]
    rng = random.Random(57)
    stamp = 1700000000.0
    with open(log, "w") as out:
        for _ in range(count):
            frame = rng.choice(frames)
            stamp += rng.uniform(0.00005, 0.0005)
            size = min(frame.size, 8)
            data = rng.getrandbits(8 * size).to_bytes(size, "little")
            ident = frame.arbitration_id
            out.write("(%.6f) can0 %s#%s\n" % (
                stamp, ("%08X" if ident.extended else "%03X") % ident.id, data.hex().upper()))


def decode(dbc, log):
    import can
    matrix = load(dbc)
    decoded = 0
    for message in can.CanutilsLogReader(log):
        frame = matrix.frame_by_id(canmatrix.ArbitrationId(
            id=message.arbitration_id, extended=message.is_extended_id))
        if frame is None or message.is_remote_frame:
            continue
        values = frame.decode(bytes(message.data))
        decoded += 1
        for name, signal in values.items():
            float(signal.phys_value)
    print(decoded)


if __name__ == "__main__":
    logging.disable(logging.CRITICAL)  # canmatrix's remarks on its optional formats
    import canmatrix
    if sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3], int(sys.argv[4]) if len(sys.argv) > 4 else 200000)
    else:
        decode(sys.argv[2], sys.argv[3])

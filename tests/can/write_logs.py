"""Writes the same frames as a Vector ASC log, a python-can CSV log, PCAN
traces (file versions 1.0 and 2.1) and Vector BLF files (zlib-compressed
and not, in containers small enough that frames span two of them) with
python-can, then reads each back with python-can's own reader and prints
what it read, one frame a line: "FILE MICROSECONDS ID EXTENDED REMOTE DLC
HEXDATA", times from the start of the file for the formats that count from
it. The C++ readers must read the same.

Usage: write_logs.py DIR
"""

import os
import sys

import can
from can.io.trc import TRCFileVersion

out = sys.argv[1]
start = 1700000000.0
messages = [
    can.Message(timestamp=start, arbitration_id=0x1A0, data=[0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77],
                is_extended_id=False),
    can.Message(timestamp=start + 0.010, arbitration_id=0x18DAF110, data=[1, 2, 3], is_extended_id=True),
    can.Message(timestamp=start + 0.020, arbitration_id=0x7DF, is_remote_frame=True, dlc=0,
                is_extended_id=False),
    can.Message(timestamp=start + 0.030, arbitration_id=0x18DB33F1, is_remote_frame=True, dlc=8,
                is_extended_id=True),
    can.Message(timestamp=start + 0.040, arbitration_id=0x123, is_error_frame=True),
    can.Message(timestamp=start + 1.234567, arbitration_id=0x000, data=[], is_extended_id=False),
    can.Message(timestamp=start + 61.5, arbitration_id=0x7FF, data=[0xFF] * 8, is_extended_id=False),
]
# Enough frames for several containers.
messages += [can.Message(timestamp=start + 62 + i * 0.000013, arbitration_id=0x100 + i, data=[i, 255 - i],
                         is_extended_id=bool(i % 2)) for i in range(40)]


def trc(version):
    def make(path):
        w = can.TRCWriter(path)
        w.file_version = version
        return w
    return make


writers = (
    ("log.asc", can.ASCWriter, can.ASCReader),
    ("log.csv", can.CSVWriter, can.CSVReader),
    ("log10.trc", trc(TRCFileVersion.V1_0), can.TRCReader),
    ("log21.trc", trc(TRCFileVersion.V2_1), can.TRCReader),
    ("log.blf", lambda p: can.BLFWriter(p, compression_level=0, max_container_size=200), can.BLFReader),
    ("logz.blf", lambda p: can.BLFWriter(p, max_container_size=300), can.BLFReader),
)
for name, writer, reader_type in writers:
    path = os.path.join(out, name)
    w = writer(path)
    for m in messages:
        w.on_message_received(m)
    w.stop()
    reader = reader_type(path)
    base = reader.start_timestamp if name.endswith("blf") else 0
    for m in reader:
        if m.is_error_frame:
            continue
        data = "" if m.is_remote_frame else bytes(m.data).hex().upper()
        print(name, round((m.timestamp - base) * 1e6), m.arbitration_id, int(m.is_extended_id),
              int(m.is_remote_frame), m.dlc, data or "-")

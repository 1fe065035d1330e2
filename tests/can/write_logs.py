"""Writes the same frames as a Vector ASC log and a python-can CSV log with
python-can, then reads each back with python-can's own reader and prints
what it read, one frame a line: "FILE MICROSECONDS ID EXTENDED REMOTE DLC
HEXDATA". The C++ readers must read the same.

Usage: write_logs.py DIR
"""

import os
import sys

import can

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
for name, writer in (("log.asc", can.ASCWriter), ("log.csv", can.CSVWriter)):
    path = os.path.join(out, name)
    w = writer(path)
    for m in messages:
        w.on_message_received(m)
    w.stop()
    reader = can.ASCReader(path) if name.endswith("asc") else can.CSVReader(path)
    for m in reader:
        if m.is_error_frame:
            continue
        data = "" if m.is_remote_frame else bytes(m.data).hex().upper()
        print(name, round(m.timestamp * 1e6), m.arbitration_id, int(m.is_extended_id),
              int(m.is_remote_frame), m.dlc, data or "-")

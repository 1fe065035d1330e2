"""A capture in which one field moves at each mark, encoded by canmatrix.

Usage: write_search_log.py FOLDER big|little
Writes FOLDER/search.log (candump: 20 identifiers every 100 ms for 30 s,
the others noisy), FOLDER/search.marks (a mark 300 ms before each move,
ending with up or down) and FOLDER/search.dbc, the field as canmatrix
writes it in a DBC file: what the search must find.
"""
import os
import random
import sys

import canmatrix
import canmatrix.formats

folder, order = sys.argv[1], sys.argv[2]
big = order == "big"
random.seed(5)
if big:
    signal = canmatrix.Signal("level", start_bit=23, size=12, is_little_endian=False,
                              is_signed=False)
    levels = [100, 3000, 2000, 4000, 50, 2730, 1365, 4095]
else:
    signal = canmatrix.Signal("level", start_bit=13, size=10, is_little_endian=True,
                              is_signed=True)
    levels = [-500, 300, -100, 511, -512, 170, -341, 0]
frame = canmatrix.Frame("F", arbitration_id=canmatrix.ArbitrationId(0x3B4), size=8)
frame.add_signal(signal)
database = canmatrix.CanMatrix()
database.add_frame(frame)
canmatrix.formats.dumpp({"": database}, os.path.join(folder, "search.dbc"), "dbc")

moves = ["up" if b > a else "down" for a, b in zip(levels, levels[1:])]
marks = [5.0 + 3 * i for i in range(len(moves))]
with open(os.path.join(folder, "search.log"), "w") as log:
    for tick in range(300):
        t = tick * 0.1
        level = levels[sum(1 for m in marks if t >= m + 0.3)]
        for k in range(20):
            ident = 0x3B4 if k == 0 else 0x100 + k
            if ident == 0x3B4:
                data = bytes(frame.encode({"level": level}))
            else:
                data = bytes(random.getrandbits(8) if random.random() < 0.3 else 0
                             for _ in range(8))
            log.write("(%.6f) can0 %03X#%s\n" % (1000 + t + k * 0.001, ident, data.hex().upper()))
with open(os.path.join(folder, "search.marks"), "w") as out:
    for mark, move in zip(marks, moves):
        out.write("%.6f level %s\n" % (1000 + mark, move))

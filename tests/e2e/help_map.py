#!/usr/bin/env python3
"""The help file maps the context numbers the program asks for (2: the main window, 16: the
options dialog) to two different topics that the file holds, as its #IVB and #STRINGS tables
say: the help viewer looks a topic up there by that name.

Run: help_map.py brimview.chm   (needs extract_chmLib and enum_chmLib from Debian's libchm-bin)
"""
import pathlib
import re
import struct
import subprocess
import sys
import tempfile

CONTEXTS = (2, 16)


def main(chm):
    listing = subprocess.run(["enum_chmLib", chm], capture_output=True, text=True, check=True).stdout
    stored = set(re.findall(r"\s(/\S+)$", listing, re.M))
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["extract_chmLib", chm, folder], capture_output=True, check=True)
        ivb = pathlib.Path(folder, "#IVB").read_bytes()
        strings = pathlib.Path(folder, "#STRINGS").read_bytes()
    # #IVB: the byte count of the pairs that follow, then (context number, offset into #STRINGS).
    (length,) = struct.unpack_from("<I", ivb)
    pairs = dict(struct.iter_unpack("<II", ivb[4:4 + length]))
    topics = {}
    for context in CONTEXTS:
        if context not in pairs:
            return f"context {context} is not mapped"
        end = strings.index(b"\0", pairs[context])
        topics[context] = strings[pairs[context]:end].decode("latin-1")
        if topics[context] not in stored:
            return f"context {context} maps to {topics[context]}, which the file does not hold"
    if len(set(topics.values())) != len(CONTEXTS):
        return f"the contexts share a topic: {topics}"
    print(", ".join(f"{c} -> {t}" for c, t in topics.items()))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

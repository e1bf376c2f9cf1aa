#!/usr/bin/env python3
"""Closes the program again and again and kills it (SIGKILL) during the close's save, within
3 ms of its temporary file appearing or, every other round, of the next change beside the
settings file (the step that puts the new file in place). After every kill the settings file
must hold, byte for byte, what it held before or what the close writes.

usage: killsave.py FOLDER ROUNDS  (FOLDER holds brimview.exe and driver.exe; `wine` runs them)
"""
import os
import random
import select
import signal
import subprocess
import sys
import time

folder, rounds = sys.argv[1], int(sys.argv[2])
ini = os.path.join(folder, "brimview.ini")
random.seed(rounds)
# About 100 KB, as the start-up writes it back; the close writes the window's keys in decimal.
padding = "".join(f"Key{n:04}={'x' * 40}\r\n" for n in range(2000))
before = f"[Window]\r\nTop=0x10\r\nLeft=0x20\r\nDrive=C\r\n\r\n[Display]\r\nSkin=0\r\n\r\n[Padding]\r\n{padding}\r\n"
before = before.encode()
after = before.replace(b"Top=0x10", b"Top=16").replace(b"Left=0x20", b"Left=32")
driver = subprocess.Popen(["wine", "driver.exe", "closes"], cwd=folder, stdin=subprocess.PIPE, stdout=subprocess.PIPE)


def fail(why):
    print(f"FAIL: {why}", file=sys.stderr)
    sys.exit(1)


def beside():
    """Every file in the folder but the program's own and the settings file."""
    return set(os.listdir(folder)) - {"brimview.exe", "driver.exe", "skin", "brimview.ini"}


def close(changes):
    """Starts the program on the settings `before` and closes it; killed within 3 ms of that many
    changes beside the settings file, unless 0. The settings file's bytes, None when missing."""
    with open(ini, "wb") as f:
        f.write(before)
    program = subprocess.Popen(["wine", "brimview.exe"], cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    driver.stdin.write(b"close\n")
    driver.stdin.flush()
    if not select.select([driver.stdout], [], [], 120)[0] or driver.stdout.readline().strip() != b"closing":
        fail("the driver did not close the window")
    names = beside()
    for _ in range(changes):
        deadline = time.monotonic() + 30
        while (now := beside()) == names and program.poll() is None and time.monotonic() < deadline:
            pass
        names = now
    if changes:
        time.sleep(random.uniform(0, 0.003))
        if program.poll() is None:
            os.kill(program.pid, signal.SIGKILL)
    try:
        program.wait(60)
    except subprocess.TimeoutExpired:
        fail("the program did not end")
    try:
        with open(ini, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


if close(0) != after:
    fail("a close did not write the expected settings")
midway = 0
for n in range(rounds):
    content = close(1 + n % 2)
    if content is None:
        fail(f"round {n}: the settings file is missing; beside it: {sorted(beside())}")
    if content not in (before, after):
        fail(f"round {n}: the settings file is torn ({len(content)} bytes)")
    midway += bool(beside())
# A clean start and close clears what the kills left.
if close(0) != after or beside():
    fail(f"the last close left {sorted(beside())} beside the settings file")
driver.stdin.close()
driver.wait(30)
print(f"{rounds} kills, {midway} of them with a temporary file left")

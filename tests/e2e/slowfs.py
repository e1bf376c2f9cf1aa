#!/usr/bin/python3
# A file system whose space query answers late, as a network share whose server has gone
# does: an empty root folder, and a statfs that takes DELAY seconds before it tells 1000000
# blocks of 4096 bytes, 250000 of them free. Like a redirector that honours a cancelled
# request, it answers at once when the process that asked is being killed, so that a program
# can end while one of its queries is out.
#
# The wineserver is answered at once too. It asks the file system type of a drive when a
# process first opens a file there, and every process of the Wine session waits while it
# does: with a slow answer the whole session, the test's driver included, would stop, which
# no program can help and Windows does not do. Every other asker gets the slow answer.
#
# While the file HANG exists, nobody but the wineserver gets an answer, not even a query
# already waiting: the server has gone for good.
#   slowfs.py MOUNTPOINT DELAY HANG
import errno
import os
import stat
import sys
import time

import fusepy  # Debian's python3-fusepy, seen by /usr/bin/python3 only


def asked_by_wineserver(tid):
    try:
        with open(f"/proc/{tid}/comm") as comm:
            return comm.read().startswith("wineserver")
    except OSError:
        return False


def being_killed(tid):
    """Whether the asking thread is gone or has SIGKILL pending (the process is ending)."""
    try:
        with open(f"/proc/{tid}/status") as status:
            for line in status:
                if line.startswith(("SigPnd:", "ShdPnd:")) and int(line.split()[1], 16) & (1 << 8):
                    return True
    except OSError:
        return True
    return False


class SlowSpace(fusepy.Operations):
    def __init__(self, delay, hang):
        self.delay = delay
        self.hang = hang

    def getattr(self, path, fh=None):
        if path != "/":
            raise fusepy.FuseOSError(errno.ENOENT)
        return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, st_size=0, st_ctime=0, st_mtime=0, st_atime=0)

    def readdir(self, path, fh):
        return [".", ".."]

    def statfs(self, path):
        _, _, tid = fusepy.fuse_get_context()
        if not asked_by_wineserver(tid):
            end = time.monotonic() + self.delay
            while (time.monotonic() < end or os.path.exists(self.hang)) and not being_killed(tid):
                time.sleep(0.05)
        return dict(f_bsize=4096, f_frsize=4096, f_blocks=1000000, f_bfree=250000, f_bavail=250000, f_namemax=255)


if __name__ == "__main__":
    fusepy.FUSE(SlowSpace(float(sys.argv[2]), sys.argv[3]), sys.argv[1], foreground=True, nothreads=False)

#!/usr/bin/env python3
"""Runs a command inside the Debian 13 root of Wine 10, for tools/wine-run.

Usage: enter-root.py HOLDER ROOT FOLDER DIR... -- COMMAND ARGS...

HOLDER is the pid of a process that keeps the root's mount namespace alive
(with /proc, /sys, /dev and /tmp mounted inside). Every Wine 10 program of a
prefix joins that one namespace, since its wineserver, which opens the files
for all of them, must see the same paths they do.

FOLDER and each DIR are made visible inside the root at their own paths, as
they are right now on the machine, mounts below them included: a folder that
a test mounted read-only a moment ago is read-only inside too. The namespace
was made earlier and does not receive the machine's later mounts, so each is
cloned here (open_tree) and attached inside (move_mount) whenever the root
shows something else at that path. The command then runs, chrooted, in
FOLDER, with code page 1250's locale.
"""
import ctypes
import os
import stat
import sys

SYS_OPEN_TREE, SYS_MOVE_MOUNT, SYS_SETNS = 428, 429, 308  # x86_64
OPEN_TREE_CLONE, AT_RECURSIVE, AT_FDCWD = 1, 0x8000, -100
MOVE_MOUNT_F_EMPTY_PATH, CLONE_NEWNS = 4, 0x00020000

libc = ctypes.CDLL(None, use_errno=True)
libc.syscall.restype = ctypes.c_long


def syscall(*args):
    result = libc.syscall(*args)
    if result < 0:
        error = ctypes.get_errno()
        raise OSError(error, os.strerror(error))
    return result


def identity(path):
    """What a path shows: its file and whether it is read-only there."""
    info = os.stat(path)
    return info.st_dev, info.st_ino, bool(os.statvfs(path).f_flag & os.ST_RDONLY)


def main():
    split = sys.argv.index("--")
    holder, root, *dirs = sys.argv[1:split]
    command = sys.argv[split + 1:]
    folder = dirs[0]
    dirs = sorted({os.path.realpath(d) for d in dirs if d}, key=len)

    # Clone each folder as the machine shows it now (before leaving its view).
    clones = []
    for d in dirs:
        if d == "/" or not stat.S_ISDIR(os.stat(d).st_mode):
            continue
        fd = syscall(SYS_OPEN_TREE, AT_FDCWD, ctypes.c_char_p(d.encode()),
                     OPEN_TREE_CLONE | AT_RECURSIVE | os.O_CLOEXEC)
        clones.append((d, identity(d), fd))

    ns = os.open(f"/proc/{holder}/ns/mnt", os.O_RDONLY | os.O_CLOEXEC)
    syscall(SYS_SETNS, ns, CLONE_NEWNS)

    for d, wanted, fd in clones:
        inside = root + d
        try:
            same = identity(inside) == wanted
        except OSError:
            same = False
        if not same:
            os.makedirs(inside, exist_ok=True)
            syscall(SYS_MOVE_MOUNT, fd, ctypes.c_char_p(b""), AT_FDCWD,
                    ctypes.c_char_p(inside.encode()), MOVE_MOUNT_F_EMPTY_PATH)
        os.close(fd)

    os.chroot(root)
    os.chdir(folder)
    env = dict(os.environ, HOME="/root", LC_ALL="cs_CZ.UTF-8")
    os.execve(command[0], command, env)


if __name__ == "__main__":
    main()

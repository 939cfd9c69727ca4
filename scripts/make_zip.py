#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Packs a folder into a zip file that depends on nothing but the files'
names and bytes: the entries in sorted order, every time stamp the one of
SOURCE_DATE_EPOCH, fixed permissions, no owner. Two runs give the same bytes.

Usage: make_zip.py <zip file> <folder> [<folder name inside the zip>]
"""
import os
import sys
import time
import zipfile

# The zip format cannot hold a date before 1980.
EARLIEST = (1980, 1, 1, 0, 0, 0)


def entry_time():
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if epoch is None:
        sys.exit("make_zip.py: SOURCE_DATE_EPOCH is not set")
    stamp = time.gmtime(int(epoch))[:6]
    return max(stamp, EARLIEST)


def files_below(folder):
    found = []
    for root, dirs, names in os.walk(folder):
        dirs.sort()
        for name in names:
            path = os.path.join(root, name)
            found.append(os.path.relpath(path, folder).replace(os.sep, "/"))
    return sorted(found)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    target, folder = sys.argv[1], sys.argv[2]
    inside = sys.argv[3].strip("/") + "/" if len(sys.argv) == 4 else ""
    stamp = entry_time()
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name in files_below(folder):
            path = os.path.join(folder, name)
            entry = zipfile.ZipInfo(inside + name, date_time=stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            # Unpacked on Linux, programs stay runnable and the rest readable.
            mode = 0o755 if os.access(path, os.X_OK) else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            entry.create_system = 3
            with open(path, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)


if __name__ == "__main__":
    main()

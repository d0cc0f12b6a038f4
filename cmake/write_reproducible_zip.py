"""Writes a ZIP archive whose bytes depend only on the files' names, contents
and executable bits: entries in name order, one fixed time, no extra fields
(no owner, no access or change times), deflate at a fixed level.

Usage: write_reproducible_zip.py ARCHIVE DIRECTORY TIMESTAMP
TIMESTAMP is "YYYY-MM-DD hh:mm:ss"; every regular file directly inside
DIRECTORY is stored under its own name.
"""

import os
import stat
import sys
import time
import zipfile


def main(archive, directory, timestamp):
    date_time = time.strptime(timestamp, "%Y-%m-%d %H:%M:%S")[:6]
    names = sorted(
        name for name in os.listdir(directory) if os.path.isfile(os.path.join(directory, name))
    )
    with zipfile.ZipFile(archive, "w") as out:
        for name in names:
            path = os.path.join(directory, name)
            info = zipfile.ZipInfo(name, date_time=date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the mode below is read
            executable = os.stat(path).st_mode & stat.S_IXUSR
            info.external_attr = (stat.S_IFREG | (0o755 if executable else 0o644)) << 16
            with open(path, "rb") as source:
                out.writestr(info, source.read(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])

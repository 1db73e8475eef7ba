"""Writes a zip archive again so that its bytes follow from its content alone:
the entries sorted by name, each with the time that SOURCE_DATE_EPOCH names
(when it is set), its Unix permissions, and no owner or other extra fields.

    normalize-zip.py ARCHIVE
"""

import os
import sys
import time
import zipfile

# The earliest time a zip entry can carry.
DOS_EPOCH = (1980, 1, 1, 0, 0, 0)


def entry_time(epoch, own):
    if epoch is None:
        return own
    return max(DOS_EPOCH, time.gmtime(int(epoch))[:6])


def main():
    path = sys.argv[1]
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    with zipfile.ZipFile(path) as source:
        entries = sorted(
            ((info, source.read(info)) for info in source.infolist()),
            key=lambda entry: entry[0].filename,
        )
    rewritten = path + ".new"
    with zipfile.ZipFile(rewritten, "w") as target:
        for info, data in entries:
            entry = zipfile.ZipInfo(info.filename, entry_time(epoch, info.date_time))
            entry.create_system = 3  # Unix: the permissions below mean what they say
            entry.external_attr = info.external_attr
            entry.compress_type = zipfile.ZIP_DEFLATED if data else zipfile.ZIP_STORED
            target.writestr(entry, data)
    os.replace(rewritten, path)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks the version resources of a Windows executable against a version.

Usage: version_info.py VERSION FILE.exe [--manifest]

Reads the VERSIONINFO that Explorer shows under Properties > Details, and
with --manifest the version of the embedded manifest's assemblyIdentity.
Prints what differs and exits 1, or exits 0 when everything matches.
"""

import os
import re
import sys

import pefile  # Debian's python3-pefile: run with /usr/bin/python3

RT_MANIFEST = 24


def string_table(pe):
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    return strings


def manifest_version(pe):
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != RT_MANIFEST:
            continue
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                text = pe.get_data(data.OffsetToData, data.Size).decode("utf-8")
                identity = re.search(r"<assemblyIdentity[^>]*\bname=\"Kavrin(\.\w+)?\"[^>]*>", text)
                if identity:
                    return re.search(r"\bversion=\"([^\"]*)\"", identity.group(0)).group(1)
    return None


def main():
    version, path = sys.argv[1], sys.argv[2]
    pe = pefile.PE(path)
    name = os.path.basename(path)
    four = version + ".0"
    numbers = [int(n) for n in four.split(".")]
    fixed = pe.VS_FIXEDFILEINFO[0]
    wanted = {
        "FileVersion": version,
        "ProductVersion": version,
        "ProductName": "Kavrin",
        "OriginalFilename": name,
        "InternalName": os.path.splitext(name)[0],
    }
    strings = string_table(pe)
    problems = ["%s is %r, not %r" % (k, strings.get(k), v) for k, v in wanted.items() if strings.get(k) != v]
    problems += ["%s is missing" % k for k in ("FileDescription", "LegalCopyright") if not strings.get(k)]
    binary = [fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16,
              fixed.FileVersionLS & 0xFFFF]
    if binary != numbers:
        problems.append("the binary FILEVERSION is %s, not %s" % (binary, numbers))
    if "--manifest" in sys.argv[3:] and manifest_version(pe) != four:
        problems.append("the manifest's version is %r, not %r" % (manifest_version(pe), four))
    for problem in problems:
        print("%s: %s" % (name, problem))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

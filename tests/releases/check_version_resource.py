#!/usr/bin/python3
"""Reads a PE file's version resource back (Debian's python3-pefile) and compares it, field by
field, with what the build says it must hold.

usage: check_version_resource.py FILE VERSION COMPANY PRODUCT DESCRIPTION FILE_OS
  VERSION      a.b.c.d, as text in FileVersion and ProductVersion and as the binary numbers
  FILE_OS      the VS_FIXEDFILEINFO file OS, e.g. 0x4 (Windows 95 and NT) or 0x40004 (NT)
"""
import os
import sys

import pefile


def main():
    path, version, company, product, description, file_os = sys.argv[1:7]
    name = os.path.basename(path)
    expected = {
        "CompanyName": company,
        "FileDescription": description,
        "FileVersion": version,
        "InternalName": os.path.splitext(name)[0],
        "OriginalFilename": name,
        "ProductName": product,
        "ProductVersion": version,
    }
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    problems = []
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            if entry.Key == b"StringFileInfo":
                for table in entry.StringTable:
                    strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    for key, value in expected.items():
        if strings.get(key) != value:
            problems.append(f"{key} is {strings.get(key)!r}, expected {value!r}")
    if not getattr(pe, "VS_FIXEDFILEINFO", None):
        problems.append("no VS_FIXEDFILEINFO")
    else:
        fixed = pe.VS_FIXEDFILEINFO[0]
        numbers = [int(part) for part in version.split(".")]
        ms, ls = (numbers[0] << 16) | numbers[1], (numbers[2] << 16) | numbers[3]
        for field, want in (("FileVersionMS", ms), ("FileVersionLS", ls),
                            ("ProductVersionMS", ms), ("ProductVersionLS", ls),
                            ("FileOS", int(file_os, 16)),
                            ("FileType", 2 if name.lower().endswith(".dll") else 1)):
            if getattr(fixed, field) != want:
                problems.append(f"{field} is {getattr(fixed, field):#x}, expected {want:#x}")
    for problem in problems:
        print(f"{name}: {problem}")
    if problems:
        return 1
    print(f"{name}: version resource as expected ({version}, {description})")
    return 0


if __name__ == "__main__":
    sys.exit(main())

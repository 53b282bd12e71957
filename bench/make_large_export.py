#!/usr/bin/env python3
"""Writes a large registry export shaped like a real machine's HKLM\\SOFTWARE, for the
benchmarks of the stand-in registry: "Windows Registry Editor Version 5.00", UTF-16LE
with BOM, CR LF, sections in the order regedit writes them.

    make_large_export.py OUTPUT.reg [--other-keys N] [--uninstall N] [--app-paths N]

Defaults: 200,000 other keys (spread over vendor keys of 1,000 each, four values
apiece), 10,000 Uninstall entries in each view (nine values, as an installer leaves
them) and 1,000 App Paths entries: about 118 MB and 1.5 million lines.
"""

import argparse
import os
import sys
import uuid

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from gen_sample_registry import hex_bytes, quote  # noqa: E402  (the sample's own writer)

ROOT = "HKEY_LOCAL_MACHINE\\SOFTWARE"
CURRENT_VERSION = "Microsoft\\Windows\\CurrentVersion"
PER_PARENT = 1000


def expand_sz(text):
    return hex_bytes('"DisplayIcon"=hex(2):', (text + "\0").encode("utf-16-le")).split("\r\n")


def other_keys(count, ids):
    for parent in range((count + PER_PARENT - 1) // PER_PARENT):
        vendor = f"Vendor {parent:03d} Inc"
        yield [f"[{ROOT}\\{vendor}]", ""]
        numbers = range(parent * PER_PARENT, min(count, (parent + 1) * PER_PARENT))
        # Subkeys in the order regedit writes them: by their upper-cased names.
        for guid, i in sorted((ids.next_guid(), i) for i in numbers):
            yield [f"[{ROOT}\\{vendor}\\{{{guid}}}]",
                   f'@="Component {i}"',
                   '"InprocServer32"=' + quote(f"C:\\Windows\\System32\\bc{i}.dll"),
                   '"ThreadingModel"="Both"',
                   f'"Version"=dword:{0x10000 + i % 65536:08x}',
                   ""]


def uninstall_entries(count, view_root, bits):
    folder_root = "C:\\Program Files" if bits == 64 else "C:\\Program Files (x86)"
    yield [f"[{view_root}]", ""]
    kind = "" if bits == 64 else " (x86)"
    names = [(f"Bench Program{kind} {i}" if i % 100 else f"Bänch Prögram{kind} {i}", i) for i in range(count)]
    for name, i in sorted(names, key=lambda entry: entry[0].upper()):
        folder = f"{folder_root}\\Bench Vendor {i % 997}\\Program {i}"
        yield [f"[{view_root}\\{name}]",
               '"DisplayName"=' + quote(f"{name} ({bits}-bit, Community Edition)"),
               f'"DisplayVersion"="12.4.{i}"',
               '"Publisher"=' + quote(f"Bench Vendor {i % 997} Software Ltd"),
               '"InstallDate"="20240311"',
               '"InstallLocation"=' + quote(folder + "\\"),
               *expand_sz(f"%ProgramFiles%\\Bench\\program{i}.exe,0"),
               '"UninstallString"=' + quote(f'"{folder}\\uninstall.exe" /S'),
               f'"HelpLink"="https://support.bench.example/{i}"',
               f'"EstimatedSize"=dword:{1000 + i:08x}',
               ""]


def app_paths(count):
    yield [f"[{ROOT}\\{CURRENT_VERSION}\\App Paths]", ""]
    for i in sorted(range(count), key=str):
        folder = f"C:\\Program Files\\Bench Vendor {i % 997}\\Program {i}"
        yield [f"[{ROOT}\\{CURRENT_VERSION}\\App Paths\\program{i}.exe]",
               "@=" + quote(f"{folder}\\program{i}.exe"),
               '"Path"=' + quote(folder),
               ""]


class Ids:
    """GUIDs that are the same on every run."""

    def __init__(self):
        self.n = 0

    def next_guid(self):
        self.n += 1
        return str(uuid.uuid5(uuid.NAMESPACE_OID, str(self.n))).upper()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output")
    parser.add_argument("--other-keys", type=int, default=200000)
    parser.add_argument("--uninstall", type=int, default=10000)
    parser.add_argument("--app-paths", type=int, default=1000)
    args = parser.parse_args()
    blocks = [
        [["Windows Registry Editor Version 5.00", ""], [f"[{ROOT}]", ""]],
        app_paths(args.app_paths),
        uninstall_entries(args.uninstall, f"{ROOT}\\{CURRENT_VERSION}\\Uninstall", 64),
        other_keys(args.other_keys, Ids()),
        uninstall_entries(args.uninstall, f"{ROOT}\\WOW6432Node\\{CURRENT_VERSION}\\Uninstall", 32),
    ]
    lines = 0
    with open(args.output, "wb") as out:
        out.write(b"\xff\xfe")
        for block in blocks:
            batch = []
            for section in block:
                batch.extend(section)
                if len(batch) > 50000:
                    out.write(("\r\n".join(batch) + "\r\n").encode("utf-16-le"))
                    lines += len(batch)
                    batch = []
            if batch:
                out.write(("\r\n".join(batch) + "\r\n").encode("utf-16-le"))
                lines += len(batch)
        size = out.tell()
    print(f"{args.output}: {size / 1e6:.1f} MB, {lines} lines")


if __name__ == "__main__":
    main()

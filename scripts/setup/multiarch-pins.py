#!/usr/bin/env python3
"""Writes apt preferences that hold every library the given i386 packages need at one version in
both architectures.

A Multi-Arch: same library must be at the same version for amd64 and i386. When one index of a
mirror is broken or behind (seen: bookworm-security's i386 index failing its size check) the two
architectures' candidates differ, and apt offers to remove the amd64 side instead of installing
the i386 one. Each such library is pinned to the newest version both architectures have.

Usage: multiarch-pins.py BASE_PREFERENCES OUTPUT PACKAGE:i386...
BASE_PREFERENCES is copied first (it pins the broken suite down); apt-cache reads it too.
"""
import subprocess
import sys


def apt_cache(prefs, *args):
    return subprocess.run(["apt-cache", "-o", f"Dir::Etc::preferences={prefs}", *args],
                          check=True, capture_output=True, text=True).stdout


def closure(prefs, packages):
    out = apt_cache(prefs, "depends", "--recurse", "--no-recommends", "--no-suggests",
                    "--no-conflicts", "--no-breaks", "--no-replaces", "--no-enhances", *packages)
    names = set()
    for line in out.splitlines():
        if line and not line[0].isspace() and not line.startswith("<"):
            names.add(line.split(":")[0])
    return sorted(names)


def policies(prefs, names):
    """{(name, arch): (candidate, installed, downloadable versions)} from one apt-cache call."""
    out = apt_cache(prefs, "policy", *(f"{n}:{a}" for n in names for a in ("amd64", "i386")))
    table, key = {}, None
    for line in out.splitlines():
        text = line.strip()
        if line and not line[0].isspace():
            name, _, arch = text.rstrip(":").partition(":")
            key = (name, arch or "amd64")
            table[key] = [None, None, set()]
            current = None
        elif key is None:
            continue
        elif text.startswith("Candidate:"):
            table[key][0] = text.split()[1]
        elif text.startswith("Installed:"):
            table[key][1] = text.split()[1]
        elif line.startswith("     ") and not line.startswith("        "):
            current = text.removeprefix("*** ").split()[0]
        elif line.startswith("        ") and current and "/var/lib/dpkg/status" not in text:
            table[key][2].add(current)
    none = (None, "(none)")
    return {k: (None if c in none else c, None if i in none else i, v)
            for k, (c, i, v) in table.items()}


def multiarch_same(prefs, names):
    out = apt_cache(prefs, "show", "--no-all-versions", *(f"{n}:i386" for n in names))
    same, name = set(), None
    for line in out.splitlines():
        if line.startswith("Package: "):
            name = line.split()[1]
        elif line == "Multi-Arch: same" and name:
            same.add(name)
    return same


def newest(versions):
    best = None
    for v in versions:
        if best is None or subprocess.run(["dpkg", "--compare-versions", v, "gt", best]).returncode == 0:
            best = v
    return best


def main():
    base, output, packages = sys.argv[1], sys.argv[2], sys.argv[3:]
    pins = []
    names = sorted(multiarch_same(base, closure(base, packages)))
    table = policies(base, names)
    for name in names:
        cand64, inst64, avail64 = table.get((name, "amd64"), (None, None, set()))
        cand32, _, avail32 = table.get((name, "i386"), (None, None, set()))
        if not cand32 or not (cand64 or inst64):
            continue
        if cand64 == cand32 and (inst64 or cand64) == cand32:
            continue
        common = avail32 & (avail64 | ({inst64} if inst64 else set()))
        if common:
            pins.append((name, newest(common)))
    with open(base) as f, open(output, "w") as out:
        out.write(f.read())
        for name, version in pins:
            out.write(f"\nPackage: {name}\nPin: version {version}\nPin-Priority: 1001\n")
    for name, version in pins:
        print(f"  pinned {name} to {version} in both architectures")


if __name__ == "__main__":
    main()

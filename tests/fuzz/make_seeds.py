#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/ (seed-* files only;
the regression-* inputs of past findings are kept as they are). Run it again after changing
an input format; the cache seeds are built with SQLite itself. The hive seeds are made
when the path of a built make-hive is given: make_seeds.py build/native/tools/make-hive"""
import os
import sqlite3
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def utf16(text):
    return text.encode("utf-16-le")


def reg_files():
    body = (
        '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Editor]\r\n'
        ';last-write-time=01CA8A75EB7B1800\r\n'
        '@="default"\r\n'
        '"DisplayName"="Editor \\"Pro\\""\r\n'
        '"Size"=dword:0000bc53\r\n'
        '"Bytes"=hex:01,02,ff,\\\r\n  00\r\n'
        '"Path"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n'
        '"List"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n'
        '"Quad"=hex(b):01,00,00,00,00,00,00,00\r\n'
        '"Odd"=hex(1234abcd):\r\n'
        '\r\n[HKEY_CURRENT_USER\\Software\\Taldrin\\Deep\\Er\\Still]\r\n"v"="1"\r\n'
    )
    write("reg_file", "version5.reg", b"\xff\xfe" + utf16("Windows Registry Editor Version 5.00\r\n\r\n" + body))
    write("reg_file", "regedit4.reg", ("REGEDIT4\n\n" + body.replace("\r\n", "\n")).encode("utf-8"))
    write("reg_file", "deletions.reg",
          b"REGEDIT4\n[-HKEY_CURRENT_USER\\Software\\Gone]\n[HKEY_CURRENT_USER\\Software\\Kept]\n\"a\"=-\n"
          b"\"b\"=\"caf\xe9\"\n")


def wine_files():
    head = 'WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n'
    body = (
        '\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\\\xc4rger \\x58a8] 1700000000\n'
        '#time=1d9c0f1a2b3c4d5\n'
        '"DisplayName"="\\xc4rger \\"Editor\\" \\x58a8"\n'
        '@="a\\tb\\0c\\101"\n'
        '"Path"=str(2):"%ProgramFiles%\\\\x"\n'
        '"List"=str(7):"a\\0b\\0"\n'
        '"Size"=dword:0000bc53\n'
        '"Blob"=hex:01,02,\\\n  ff\n'
        '"Quad"=hex(b):01,00,00,00,00,00,00,00\n'
        '\n[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths] 1700000000\n'
        '#time=1d9c0f1a2b3c4d6\n#link\n'
        '"SymbolicLinkValue"=hex(6):5c,00,52,00\n'
    )
    write("wine_registry", "win64.reg", (head + body).encode("ascii"))
    write("wine_registry", "win32.reg", (head.replace("win64", "win32") + body).encode("ascii"))


def glob_patterns():
    for i, (floating, text, pattern) in enumerate([
            (0, "editor.exe", "ed*.exe"), (1, "quillpdf reader", "*pdf*"), (1, "a*b", "**"),
            (0, "", "*"), (1, "foo bar", "o b"), (0, "glimmer\u00e4\U0001F600", "glim*\U0001F600")]):
        write("glob_match", "%d" % i, bytes([floating]) + utf16(text) + b"\0\0" + utf16(pattern))


def number_digits():
    for i, (number, digits) in enumerate([
            (11, "1011"), (0x7FFFFFFF, "7FFFFFFF"), (0xFFFFFFFF, "ffff"), (0x80000000, "12a"),
            (0, "1" * 40)]):
        write("number_base", "%d" % i, struct.pack(">I", number) + utf16(digits))


def language_files():
    write("language_file", "all-keys.ini",
          b"200:Quorvel Werkzeuge\r\n201:Jetzt pr\xfcfen\r\n202:Schlie\xdfen\r\n203:Start\r\n204:Bitte klicken.\r\n")
    write("language_file", "odd-lines.ini",
          b"[Strings]\n203:First\n20\n\nabc:x\n199:below\n2O3:O\n203 no colon\n204:\x00\x01\xff\r\r\n202:End")


def database(statements, encoding="UTF-16le"):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "seed.db")
        connection = sqlite3.connect(path)
        connection.execute("PRAGMA encoding = '%s'" % encoding)
        connection.execute("PRAGMA page_size = 512")
        connection.executescript(statements)
        connection.commit()
        connection.close()
        with open(path, "rb") as f:
            return f.read()


PLUGINCACHE = "CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT);"
CACHEINFO3 = "CREATE TABLE cacheinfo (version TEXT,installtime1 TEXT,installtime2 TEXT);"
CACHEINFO5 = ("CREATE TABLE cacheinfo (version TEXT,installtime1 TEXT,installtime2 TEXT,"
              "installtime64bit1 TEXT,installtime64bit2 TEXT);")
NAMES = ("INSERT INTO plugincache (uninstallkey) VALUES ('foo bar');"
         "INSERT INTO plugincache (uninstallkey) VALUES ('glimmer*');"
         "INSERT INTO plugincache (executable) VALUES ('editor.exe');")
ENDLESS = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "


def cache_files():
    write("cache_file", "one-view.db",
          database(PLUGINCACHE + CACHEINFO3 + NAMES + "INSERT INTO cacheinfo VALUES ('2.0.0.1','30050933','3950712832');"))
    write("cache_file", "two-views.db",
          database(PLUGINCACHE + CACHEINFO5 + NAMES + "INSERT INTO cacheinfo VALUES ('2.0.0.1','1','2','3','4');") + b"\0")
    write("cache_file", "planted-view.db",
          database(CACHEINFO3 + "CREATE VIEW plugincache AS " + ENDLESS +
                   "SELECT 'x' || i AS executable, NULL AS uninstallkey FROM n;"))
    write("cache_file", "planted-trigger.db",
          database(PLUGINCACHE + CACHEINFO3 + NAMES + "CREATE TABLE pad (b BLOB);"
                   "CREATE TRIGGER fill BEFORE DELETE ON plugincache BEGIN INSERT INTO pad VALUES (zeroblob(10000)); END;"))
    write("cache_file", "someone-elses.db",
          database("CREATE TABLE invoices (number INTEGER, customer TEXT); INSERT INTO invoices VALUES (1, 'Ada');",
                   "UTF-8"))
    write("cache_file", "not-a-database.txt", b"this is a note, not a database\r\n")


def cache_contents():
    # wow64 flag, a name (UTF-16, zero unit), the file's layout byte, then plantings by index
    # into the target's list, each followed by the values its parameters take.
    def seed(name, wow64, layout, plantings):
        return bytes([wow64]) + utf16(name) + b"\0\0" + bytes([layout]) + plantings

    text16 = lambda s: b"\0" + utf16(s) + b"\0\0"  # value kind 0: UTF-16 text
    null = b"\x05"  # value kind 5
    # Plantings: 0 our plugincache, 1 and 2 our cacheinfo (three and five columns), 7 the
    # endless view, 8 the silent view, 10 the pad, 11 the growing trigger, 20 and 21 another
    # table with a row, 26 a plugincache row, 27 a three-column cacheinfo row.
    write("cache_contents", "sound-cache", seed("foo bar", 0, 0, bytes([0, 1, 26]) + text16("x.exe") + null +
                                                 bytes([27]) + text16("2.0.0.1") + text16("1") + text16("2")))
    write("cache_contents", "endless-view", seed("a", 1, 4, bytes([2, 7])))
    write("cache_contents", "silent-view", seed("a", 0, 0, bytes([0, 26]) + null + text16("k") + bytes([8])))
    write("cache_contents", "trigger", seed("b", 0, 1, bytes([0, 1, 10, 11, 26]) + text16("x") + null))
    write("cache_contents", "foreign-utf8", seed("c", 0, 2, bytes([20, 21, 0])))

def hive_files(make_hive):
    """Small SOFTWARE hives made by make-hive (the path of the built tool) from .reg text."""
    sections = {
        "empty": "",
        "both-views": (
            '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zeichner]\r\n'
            '"DisplayName"="Zeichner f\u00fcr \u6587\u5b57"\r\n"EstimatedSize"=dword:00000400\r\n'
            '"Blob"=hex:01,02,03\r\n@="x"\r\n'
            '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zeich.exe]\r\n'
            '@="C:\\\\Zeichner\\\\zeich.exe"\r\n'
            '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{0A1B}]\r\n'
            '"DisplayName"="Alt 32"\r\n"List"=hex(7):61,00,00,00,00,00\r\n'),
    }
    with tempfile.TemporaryDirectory() as folder:
        for name, body in sections.items():
            source = os.path.join(folder, name + ".reg")
            with open(source, "wb") as f:
                f.write(b"\xff\xfe" + utf16("Windows Registry Editor Version 5.00\r\n\r\n"
                                           "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n" + body))
            hive = os.path.join(folder, name + ".hive")
            subprocess.run([make_hive, source, hive], check=True)
            with open(hive, "rb") as f:
                write("hive_file", name + ".hive", f.read())
        # A user's hive (NTUSER.DAT), mounted by its Software key.
        source = os.path.join(folder, "user.reg")
        with open(source, "wb") as f:
            f.write(b"\xff\xfe" + utf16(
                "Windows Registry Editor Version 5.00\r\n\r\n"
                "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Eigen]\r\n"
                '"DisplayName"="Eigen \u00e9crit"\r\n'
                "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\eigen.exe]\r\n"
                '@="C:\\\\Users\\\\x\\\\eigen.exe"\r\n'
                "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n\"Wallpaper\"=\"\"\r\n"))
        hive = os.path.join(folder, "user.hive")
        subprocess.run([make_hive, "--user", source, hive], check=True)
        with open(hive, "rb") as f:
            write("hive_file", "user.hive", f.read())


if __name__ == "__main__":
    if len(sys.argv) > 1:
        hive_files(sys.argv[1])
    reg_files()
    wine_files()
    glob_patterns()
    number_digits()
    language_files()
    cache_files()
    cache_contents()

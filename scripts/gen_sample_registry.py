#!/usr/bin/env python3
"""Writes samples/sample-machine.reg: a fictional 64-bit Windows machine with about
fifty installed programs in both registry views, plus their App Paths registrations.

The file is "Windows Registry Editor Version 5.00" in UTF-16LE with a BOM and CR LF
line ends, as regedit writes it. Run from anywhere:

    python3 scripts/gen_sample_registry.py [output.reg]
"""

import os
import sys

UNINSTALL_64 = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
UNINSTALL_32 = r"HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall"
APP_PATHS = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths"

PF64 = "C:\\Program Files"
PF32 = "C:\\Program Files (x86)"


def sz(value):
    return ("sz", value)


def expand_sz(value):
    return ("expand_sz", value)


def dword(value):
    return ("dword", value)


def program(view, subkey, name=None, version=None, publisher=None, date=None, folder=None, exe=None,
            size_kb=None, help_link=None, msi=False, extra=None, icon=None):
    """One Uninstall registration. `folder` is relative to Program Files of the view."""
    pf = PF64 if view == 64 else PF32
    values = []
    location = f"{pf}\\{folder}" if folder else None
    if name is not None:
        values.append(("DisplayName", sz(name)))
    if version is not None:
        values.append(("DisplayVersion", sz(version)))
    if publisher is not None:
        values.append(("Publisher", sz(publisher)))
    if date is not None:
        values.append(("InstallDate", dword(date) if isinstance(date, int) else sz(date)))
    if location:
        values.append(("InstallLocation", sz(location + "\\")))
    if icon is not None:
        values.append(("DisplayIcon", icon))
    elif location and exe:
        values.append(("DisplayIcon", sz(f"{location}\\{exe},0")))
    if msi:
        values.append(("UninstallString", sz(f"MsiExec.exe /X{subkey}")))
        values.append(("WindowsInstaller", dword(1)))
    elif location:
        values.append(("UninstallString", sz(f"\"{location}\\uninstall.exe\"")))
    if size_kb is not None:
        values.append(("EstimatedSize", dword(size_kb)))
    if help_link is not None:
        values.append(("HelpLink", sz(help_link)))
    values.extend(extra or [])
    root = UNINSTALL_64 if view == 64 else UNINSTALL_32
    return (f"{root}\\{subkey}", values)


def app_path(exe_name, view, folder, exe=None):
    pf = PF64 if view == 64 else PF32
    location = f"{pf}\\{folder}"
    return (f"{APP_PATHS}\\{exe_name}", [("", sz(f"{location}\\{exe or exe_name}")), ("Path", sz(location))])


PROGRAMS = [
    # 64-bit view
    program(64, "Quorvel Utilities 14", "Quorvel Utilities 14", "14.0.3.212", "Taldrin", "20240311",
            "Taldrin\\Quorvel Utilities 14", "qv.exe", 48211, "https://support.taldrin.example/qu14"),
    program(64, "BrindleCone.Notes", "Brindlecone Notes", "7.2.1", "Brindlecone Software", "20231102",
            "Brindlecone\\Notes", "bcnotes.exe", 18230),
    program(64, "QUILLMARK_PDF", "Quillmark PDF Studio", "11.4.0.1870", "Quillmark Systems", "20230917",
            "Quillmark\\PDF Studio", "quillpdf.exe", 251904, "https://help.quillmark.example/pdf"),
    program(64, "{3F2B8C1D-7A4E-4B9F-9C2D-5E6F7A8B9C0D}", "Halvorsen Runtime Libraries 2019 (x64)",
            "14.29.30133", "Halvorsen Labs", "20220608", None, None, 20480, msi=True),
    program(64, "{A1C7E905-2D6B-4F18-8E3A-90B4C2D7F615}", "Halvorsen Runtime Libraries 2022 (x64)",
            "14.38.33130", "Halvorsen Labs", "20240115", None, None, 21660, msi=True),
    program(64, "ÄrgerEditor", "Ärger Editor", "3.0.2", "Grünwald Textwerkzeuge", "20230405",
            "Ärger Editor", "ArgerEdit.exe", 9120),
    program(64, "墨香笔记_is1", "墨香笔记 (Moxiang Notes)", "2.6.0", "青岚软件工作室", "20231220",
            "Moxiang Notes", "moxiang.exe", 35210),
    program(64, "LumoraPlayer", "Lumora Player (64-bit)", "5.1.7", "Lumora Interactive", "20240202",
            "Lumora\\Player", "lumora.exe", 74112),
    program(64, "Otterpine Photo Lab", "Otterpine Photo Lab 2024", "24.1.0", "Otterpine Media",
            0x0134B0D3, "Otterpine\\Photo Lab", "oplab.exe", 612384),  # InstallDate written as a DWORD
    program(64, "NordvikBackup", "Nordvik Backup Agent", "9.0.4402", "Nordvik Digital", "20230728",
            "Nordvik\\Backup Agent", "nvbackup.exe", 143360,
            icon=expand_sz("%ProgramFiles%\\Nordvik\\Backup Agent\\nvbackup.exe,0")),
    program(64, "cobaltreach-vpn", "Cobaltreach VPN Client", "4.12.3", "Cobaltreach Networks", "20240120",
            "Cobaltreach\\VPN", "crvpn.exe", 56320),
    program(64, "FennickArchiver", "Fennick Archiver 23.01 (x64)", "23.01", "Fennick & Sons Software",
            "20230301", "Fennick Archiver", "farc.exe", 5412),
    program(64, "Tessaline 3D", "Tessaline 3D Modeller", "2.93.4", "Tessaline Foundation", "20231015",
            "Tessaline\\3D", "tessaline.exe", 918374, "https://docs.tessaline.example/"),
    program(64, "Marrowgate.Terminal", "Marrowgate Terminal", "1.18.3", "Marrowgate", "20231118",
            "Marrowgate Terminal", "mgterm.exe", 22014),
    program(64, "Saltmarsh IDE", "Saltmarsh IDE Community 2023", "2023.3.2", "Saltmarsh Tools s.r.o.",
            "20231211", "Saltmarsh\\IDE", "saltide64.exe", 2211840),
    program(64, "PelicanPrint", "Pelican Print Driver Suite", "6.3.0.118", "Pelican Imaging", "20220930",
            "Pelican\\Print", None, 88000),
    program(64, "Veldrin SDK 10", "Veldrin Software Development Kit 10.0.22621", "10.1.22621.755",
            "Veldrin", "20230210", "Veldrin Kits\\10", None, 1048576),
    program(64, "OrchardSync", "Orchard Sync", "22.244.1130.0001", "Orchard Cloud", "20240226",
            "Orchard\\Sync", "orchardsync.exe", 272630),
    program(64, "PelicanFirmwarePatch-0815"),  # a bare registration without any value
    program(64, "ZephyrPaint", "Zephyr Paint Studio", "5.0.12", "Zephyr Pixelworks", "20240108",
            "Zephyr Paint", "zpaint.exe", 121856,
            icon=expand_sz("%ProgramFiles%\\Zephyr Paint\\zpaint.exe")),
    program(64, "Glimmerfall", "Glimmerfall Launcher", "1.0.9", "Glimmerfall Games", "20240301",
            "Glimmerfall\\Launcher", "gflaunch.exe", 310272),
    program(64, "Embervale Fonts", "Embervale Font Pack", "1.2", "Embervale Type Foundry", "20210514",
            None, None, 40960, extra=[("SystemComponent", dword(0)), ("NoModify", dword(1))]),
    program(64, "Wexford.Mail", "Wexford Mail", "115.6.0", "Wexford Messaging", "20231219",
            "Wexford Mail", "wexmail.exe", 231424, "https://support.wexford.example/"),
    program(64, "Ravenmoor Keyboard", "Ravenmoor Keyboard Centre", "2.4.0", "Ravenmoor Peripherals",
            "20230619", "Ravenmoor\\Keyboard", "rkc.exe", 64512),
    program(64, "Ostrava Player", "Ostrava Media Player", "3.0.20", "Ostrava Videolab", "20231102",
            "Ostrava Player", "ostrava.exe", 165888),
    program(64, "Dunmore.Diagnostics", "Dunmore System Diagnostics", "1.10.0", "Dunmore Hardware",
            "20220712", "Dunmore\\Diagnostics", "dsdiag.exe", 12288,
            extra=[("Comments", sz("Reads sensors, \"no changes\" to the system"))]),

    # 32-bit view (WOW6432Node)
    program(32, "LumoraPlayer", "Lumora Player (32-bit)", "5.1.7", "Lumora Interactive", "20210815",
            "Lumora\\Player", "lumora.exe", 70144),
    program(32, "{5D9E2A47-11C3-4E8B-A6F0-3B7C8D9E0F12}", "Halvorsen Runtime Libraries 2019 (x86)",
            "14.29.30133", "Halvorsen Labs", "20220608", None, None, 17920, msi=True),
    program(32, "{C4E81B32-9F7A-4D26-B5E3-7A1F0C2D3E48}", "Halvorsen Runtime Libraries 2010 (x86)",
            "10.0.40219", "Halvorsen Labs", "20190322", None, None, 11264, msi=True),
    program(32, "Quorvel Utilities 14 Tray", "Quorvel Utilities 14 Tray Helper", "14.0.3.212", "Taldrin",
            "20240311", "Taldrin\\Quorvel Utilities 14", "HXTray.exe", 812),
    program(32, "Kestrel Chat", "Kestrel Chat", "0.9.71", "Kestrel Communications", "20231128",
            "Kestrel Chat", "kchat.exe", 98304),
    program(32, "ashgrove.reader", "Ashgrove eBook Reader", "4.4", "Ashgrove Press", "20200921",
            "Ashgrove Reader", "agread.exe", 30720),
    program(32, "Bramblewick Tax 2023", "Bramblewick Tax 2023", "23.0.41", "Bramblewick Finance", 20240125,
            "Bramblewick\\Tax 2023", "btax.exe", 402432),  # InstallDate as a DWORD of the digits
    program(32, "CINDERHOLT_SCANNER", "Cinderholt Scanner Utility", "2.0.0.7", "Cinderholt Imaging",
            "20190711", "Cinderholt\\Scanner", "chscan.exe", 24576),
    program(32, "Greywater FTP_is1", "Greywater FTP Client 3.66", "3.66.4", "Greywater Project", "20231005",
            "Greywater FTP", "gwftp.exe", 36864, "https://greywater.example/forum"),
    program(32, "Harrowgate Chess", "Harrowgate Chess Trainer", "12.1", "Harrowgate Software", "20181224",
            "Harrowgate\\Chess", "hchess.exe", 155648),
    program(32, "Ivybridge Labels", "Ivybridge Label Designer", "8.5.2", "Ivybridge Office", "20221103",
            "Ivybridge\\Labels", "ivylabel.exe", 61440,
            icon=expand_sz("%ProgramFiles(x86)%\\Ivybridge\\Labels\\ivylabel.exe,1")),
    program(32, "Juniper Clipboard", "Juniper Clipboard Manager", "1.4.9", "Juniper Small Tools", "20230512",
            "Juniper Clipboard", "jclip.exe", 4096),
    program(32, "{0B1C2D3E-4F50-6172-8394-A5B6C7D8E9F0}", None, "1.0.0", "Halvorsen Labs", "20200101",
            None, None, None, msi=True),  # a hidden MSI component: no DisplayName
    program(32, "Lochside Weather", "Lochside Weather Widget", "2.2.0", "Lochside Apps", "20221027",
            "Lochside Weather", "lweather.exe", 8192),
    program(32, "Mizzen Download Accelerator", "Mizzen Download Accelerator", "6.41 Build 2",
            "Mizzen Tonic", "20231130", "Mizzen DA", "mda.exe", 23552),
    program(32, "Nettlefield Genealogy", "Nettlefield Family Tree 9", "9.0.3", "Nettlefield Heritage",
            "20170405", "Nettlefield\\Family Tree 9", "nftree.exe", 204800),
    program(32, "Ørsted Sound Recorder", "Ørsted Sound Recorder", "3.1", "Ørsted Lydværksted", "20220218",
            "Orsted Sound", "osrec.exe", 14336),
    program(32, "Pemberton Accounts", "Pemberton Accounts Lite", "2023.1", "Pemberton Ledger Ltd", "20230103",
            "Pemberton\\Accounts", "pacct.exe", 163840, "https://pemberton.example/help"),
    program(32, "Quayside Remote", "Quayside Remote Desktop", "15.49.4", "Quayside Remote GmbH",
            "20240213", "Quayside Remote", "qremote.exe", 91136),
    program(32, "Rookwood.Sudoku", "Rookwood Sudoku Deluxe", "1.0", "Rookwood Casual", "20150830",
            "Rookwood\\Sudoku", "rsudoku.exe", 6144),
    program(32, "Sablecrest Antivirus", "Sablecrest Antivirus Free", "23.9.8494", "Sablecrest Security",
            "20231003", "Sablecrest\\Antivirus", "sbav.exe", 1289216),
    program(32, "Thornbury Maps", "Thornbury Offline Maps", "5.5.0", "Thornbury Cartography", "20210709",
            "Thornbury Maps", "tmaps.exe", 520192),
    program(32, "umberlight-reader", "Umberlight PDF Reader", "2023.008.20470", "Umberlight", "20231215",
            "Umberlight\\Reader", "ulreader.exe", 700416),
    program(32, "Varnholm Runtime 8", "Varnholm Runtime Environment 8 Update 391", "8.0.3910.13",
            "Varnholm Platforms", "20231018", "Varnholm\\Runtime 8", None, 129536),
    program(32, "桜フォトビューア", "桜フォトビューア (Sakura Photo Viewer)", "1.8.2", "ハルカ工房", "20230322",
            "Sakura Photo Viewer", "sakura.exe", 11264),
    program(32, "Quorvel Utilities 14", "Quorvel Utilities 14 (32-bit components)", "14.0.3.212", "Taldrin",
            "20240311", "Taldrin\\Quorvel Utilities 14", "qv32.exe", 3072),
]

APP_PATHS_ENTRIES = [
    app_path("qv.exe", 64, "Taldrin\\Quorvel Utilities 14"),
    app_path("bcnotes.exe", 64, "Brindlecone\\Notes"),
    app_path("QuillPDF.EXE", 64, "Quillmark\\PDF Studio", "quillpdf.exe"),
    app_path("ArgerEdit.exe", 64, "Ärger Editor"),
    app_path("lumora.exe", 64, "Lumora\\Player"),
    app_path("oplab.exe", 64, "Otterpine\\Photo Lab"),
    app_path("tessaline.exe", 64, "Tessaline\\3D"),
    app_path("mgterm.exe", 64, "Marrowgate Terminal"),
    app_path("wexmail.exe", 64, "Wexford Mail"),
    app_path("kchat.exe", 32, "Kestrel Chat"),
    app_path("GWFTP.EXE", 32, "Greywater FTP", "gwftp.exe"),
    app_path("umberlight.exe", 32, "Umberlight\\Reader", "ulreader.exe"),
    app_path("sakura.exe", 32, "Sakura Photo Viewer"),
]


def quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def hex_bytes(prefix, data):
    """hex(2):.. lines wrapped the way regedit wraps them (about 80 columns)."""
    parts = [f"{b:02x}" for b in data]
    lines, line = [], prefix
    for i, part in enumerate(parts):
        piece = part + ("," if i + 1 < len(parts) else "")
        if len(line) + len(piece) > 77:
            lines.append(line + "\\")
            line = "  "
        line += piece
    lines.append(line)
    return "\r\n".join(lines)


def value_line(name, value):
    kind, data = value
    head = "@=" if name == "" else quote(name) + "="
    if kind == "sz":
        return head + quote(data)
    if kind == "dword":
        return head + f"dword:{data:08x}"
    if kind == "expand_sz":
        return hex_bytes(head + "hex(2):", (data + "\0").encode("utf-16-le"))
    raise ValueError(kind)


def render():
    out = ["Windows Registry Editor Version 5.00", ""]
    for key in (UNINSTALL_64, UNINSTALL_32, APP_PATHS):
        out += [f"[{key}]", ""]
    for path, values in PROGRAMS + APP_PATHS_ENTRIES:
        out.append(f"[{path}]")
        out += [value_line(name, value) for name, value in values]
        out.append("")
    return "\r\n".join(out) + "\r\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "samples", "sample-machine.reg")
    with open(target, "wb") as f:
        f.write(b"\xff\xfe" + render().encode("utf-16-le"))
    print(f"{target}: {len(PROGRAMS)} programs, {len(APP_PATHS_ENTRIES)} App Paths entries")


if __name__ == "__main__":
    main()

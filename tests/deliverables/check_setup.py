#!/usr/bin/env python3
"""check_setup.py SETUP_EXE: the installer carries its dialogs, pictures and
icon as resources and every text its messages, dialogs and registry work
use: as 8-bit text among its data, as UTF-16 in the dialog templates, or,
where the optimiser builds a short-lived string in place, as the immediate
operands of its stores (every 4-byte piece of the text is in the code)."""
import struct
import sys

RESOURCES = {  # type id: resource ids
    5: {102, 108, 109, 130},   # RT_DIALOG
    2: {129, 131, 132},        # RT_BITMAP
    14: {133},                 # RT_GROUP_ICON
}

TEXTS = [
    # start-up
    "Another application is already running. Please terminate the previous application.",
    "The application will run only in Windows 8 (32 bit) Operating System.",
    "The application will run only in Windows 8 32bit) Operating System.",
    'Administrator Privileges required to install Printer Drivers.\nRight Click the "Setup" application '
    'and select "Run As..." and log in as Administrator.',
    "Global\\{8D4A6F10-2C3B-4e71-A5D9-1F7C0B93E264}",
    "KLRN Printer Driver - Setup",
    # main dialog and flow
    "Printer Model", "Version 1.XX (9W)", "Version 3.01 (9W)", "KLR VX 7 Ember", "Kelrona Limited\nwww.kelrona.com",
    "Setup is not complete. If you quit now, the program will not be installed.\nExit Setup?",
    # driver installer, monitor installation, uninstall entry
    "Unexpected error 0x001C occured.", "Unexpected error 0x002C occured.", "Unexpected error 0x003C occured.",
    "Printer driver unknown.", " (Copy ", " Printer Driver installed successfully.",
    " Printer Driver & Status Monitor installed successfully.",
    "unidrv.dll", "unidrvui.dll", "unidrv.hlp", "KLRN9pin.dll", "unires.dll", "stdnames.gpd", "winprint",
    "KLRNVX7EMBER.INF", "VX7EMBER.GPD", "KLRVX7EMBER", "Kelrona",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Programs",
    "Shortcut to Status Monitor - ", ":\\Documents and Settings\\All Users\\Start Menu\\Programs",
    "\\StatusMonitor", ".LNK", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelrona",
    "Kelrona Printer Software", "\\Uninstall.exe", "DisplayName", "UninstallString", "DisplayIcon",
    # file copy and please-wait window
    "Now the printer will be installed ...\nPlease wait ...",
    "*.GPD\0*.DLL\0*.INF\0*.HLP\0*.CAT\0*.EXE\0",
    "Allocating a buffer of size %d", "Can't get memory for new data buffer",
    # USB connection wait
    "Please connect the printer to computer, then turn the printer ON. The utility will search the printer "
    "and automatically configure the USB port.",
    "To configure the port manually, or if the printer is connected via parallel or serial interface, "
    "click Manual.",
    "Manual", "USB#VID_FFA7&PID_8246#",
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
    "##?#USB#Vid_ffa7&Pid_8246#", "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}", "Device Parameters",
    "Port Number", "USB%03", "Please connect printer properly", "FALSE",
    # manual port selection
    "Unexpected error 0x002C occured while port enumeration.",
    "Select the printer port from the Available Ports list, then click OK.", "Current Port:",
    "Available Ports:", "LPT1:",
]


def resources(image):
    """(type id, name id) of every resource with numeric ids."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rva = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    table = optional + optional_size
    base = None
    for i in range(sections):
        vsize, vaddr, rsize, raw = struct.unpack_from("<IIII", image, table + 40 * i + 8)
        if vaddr <= rva < vaddr + max(vsize, rsize):
            base = raw + rva - vaddr
    if base is None:
        return set()

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", image, base + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", image, base + offset + 16 + 8 * i)
            yield name, target

    found = set()
    for type_id, types in entries(0):
        if type_id & 0x80000000 or not types & 0x80000000:
            continue
        for name_id, _ in entries(types & 0x7FFFFFFF):
            if not name_id & 0x80000000:
                found.add((type_id, name_id))
    return found


def main(path):
    with open(path, "rb") as f:
        image = f.read()
    failures = []
    have = resources(image)
    for type_id, ids in RESOURCES.items():
        for rid in sorted(ids - {n for t, n in have if t == type_id}):
            failures.append("resource %d of type %d is missing" % (rid, type_id))
    for text in TEXTS:
        ansi = text.encode("cp1252")
        # Dialog templates hold their texts as UTF-16, with CR LF or LF line breaks.
        wide = [t.encode("utf-16-le") for t in (text, text.replace("\n", "\r\n"))]
        pieces = [ansi[i:i + 4] for i in range(0, len(ansi) - 3, 4)]
        in_place = len(ansi) >= 4 and all(piece in image for piece in pieces)
        if ansi not in image and not any(w in image for w in wide) and not in_place:
            failures.append("text missing: %r" % text)
    for failure in failures:
        print("%s: %s" % (path, failure))
    print("%s: %d resources, %d texts checked, %d missing" % (path, len(have), len(TEXTS), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

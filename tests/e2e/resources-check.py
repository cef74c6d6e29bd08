#!/usr/bin/env python3
"""Checks the resources of the built Instalator.exe that only a real Windows acts on.

    resources-check.py INSTALATOR.EXE IDS-HEADER

- the manifest asks for an administrator (requireAdministrator, no UI access), for version 6
  of the common controls and declares the program DPI aware;
- the icon carries 16, 20, 24, 32, 40, 48, 64 and 256 pixel frames, the 256 one PNG-compressed;
- the side picture and the flag strip exist at 96 dpi, 1.5 times and twice as large;
- the header marks the program aware of Remote Desktop sessions (TERMINAL_SERVER_AWARE), so that
  a session server gives it the real Windows folder and no compatibility shims.
Prints one line per fault and exits 1 when there is one.
"""
import re
import struct
import sys
import xml.etree.ElementTree as ET

RT_BITMAP, RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 2, 3, 14, 24


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.dll_characteristics = struct.unpack_from("<H", data, optional + 70)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("address outside the sections: %#x" % rva)

    def _entries(self, directory):
        base = self.offset(self.resource_rva)
        named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
            yield name, target

    def resources(self, kind):
        """{id: bytes} of every numbered resource of `kind` (first language)."""
        base = self.offset(self.resource_rva)
        found = {}
        for type_id, type_dir in self._entries(0):
            if type_id != kind:
                continue
            for res_id, lang_dir in self._entries(type_dir & 0x7FFFFFFF):
                for _, leaf in self._entries(lang_dir & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(rva)
                    found.setdefault(res_id, self.data[start:start + size])
        return found


def ids(header):
    text = open(header, encoding="utf-8").read()
    return {m.group(1): int(m.group(2)) for m in re.finditer(r"#define\s+(\w+)\s+(\d+)", text)}


def check_manifest(pe, faults):
    manifests = pe.resources(RT_MANIFEST)
    if 1 not in manifests:
        faults.append("no manifest (RT_MANIFEST 1)")
        return
    root = ET.fromstring(manifests[1])
    level = [e for e in root.iter() if e.tag.endswith("}requestedExecutionLevel")]
    if len(level) != 1 or level[0].get("level") != "requireAdministrator":
        faults.append("the manifest does not ask for requireAdministrator")
    elif level[0].get("uiAccess") != "false":
        faults.append("the manifest asks for UI access")
    controls = [e for e in root.iter() if e.tag.endswith("}assemblyIdentity")
                and e.get("name") == "Microsoft.Windows.Common-Controls"]
    if not controls or controls[0].get("version") != "6.0.0.0":
        faults.append("the manifest does not ask for common controls 6.0.0.0")
    aware = [e for e in root.iter() if e.tag.endswith("}dpiAware")]
    if not aware or aware[0].text.strip().lower() != "true":
        faults.append("the manifest does not declare the program DPI aware")


def check_icon(pe, names, faults):
    groups = pe.resources(RT_GROUP_ICON)
    group = groups.get(names["IDI_Instalator"])
    if group is None:
        faults.append("no icon IDI_Instalator")
        return
    icons = pe.resources(RT_ICON)
    count = struct.unpack_from("<H", group, 4)[0]
    sizes = {}
    for i in range(count):
        width, height = group[6 + 14 * i], group[7 + 14 * i]
        icon_id = struct.unpack_from("<H", group, 6 + 14 * i + 12)[0]
        sizes[width or 256] = (height or 256, icons.get(icon_id, b""))
    wanted = [16, 20, 24, 32, 40, 48, 64, 256]
    if sorted(sizes) != wanted:
        faults.append("icon frames %s, expected %s" % (sorted(sizes), wanted))
    for size, (height, image) in sorted(sizes.items()):
        png = image.startswith(b"\x89PNG\r\n\x1a\n")
        if height != size:
            faults.append("icon frame %d is %d high" % (size, height))
        if size == 256 and not png:
            faults.append("the 256-pixel icon frame is not PNG-compressed")
        if not image:
            faults.append("icon frame %d has no image" % size)


def check_bitmaps(pe, names, faults):
    bitmaps = pe.resources(RT_BITMAP)
    flags = 8  # one flag a language, in the strip
    for name, width, height in [
        ("IDB_Image1", 137, 353), ("IDB_Image1_144", 206, 530), ("IDB_Image1_192", 274, 706),
        ("IDB_imlFlagi", 20 * flags, 13), ("IDB_imlFlagi_144", 30 * flags, 20),
        ("IDB_imlFlagi_192", 40 * flags, 26),
    ]:
        bitmap = bitmaps.get(names[name])
        if bitmap is None or len(bitmap) < 12:
            faults.append("no bitmap %s" % name)
            continue
        got = struct.unpack_from("<ii", bitmap, 4)
        if (got[0], abs(got[1])) != (width, height):
            faults.append("bitmap %s is %dx%d, expected %dx%d" % (name, got[0], abs(got[1]),
                                                                  width, height))


IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE = 0x8000


def check_header(pe, faults):
    if not pe.dll_characteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE:
        faults.append("the program is not marked aware of Remote Desktop sessions (0x%04x)"
                      % pe.dll_characteristics)


def main():
    exe, header = sys.argv[1], sys.argv[2]
    pe = Pe(open(exe, "rb").read())
    names = ids(header)
    faults = []
    check_header(pe, faults)
    check_manifest(pe, faults)
    check_icon(pe, names, faults)
    check_bitmaps(pe, names, faults)
    for fault in faults:
        print("resources: " + fault)
    if not faults:
        print("resources: manifest, icon frames and artwork as required")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

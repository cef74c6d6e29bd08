#!/usr/bin/env python3
"""Checks the resources of the built Instalator.exe that only a real Windows acts on.

    resources-check.py INSTALATOR.EXE IDS-HEADER

- the manifest asks for an administrator (requireAdministrator, no UI access), for version 6
  of the common controls and declares the program DPI aware;
- the icon carries 16, 20, 24, 32, 40, 48, 64 and 256 pixel frames, the 256 one PNG-compressed;
- the side picture and the flag strip exist at 96 dpi, 1.5 times and twice as large;
- the header marks the program aware of Remote Desktop sessions (TERMINAL_SERVER_AWARE), so that
  a session server gives it the real Windows folder and no compatibility shims;
- the licence view and the gauge, which have no text of their own, follow a static label in
  their page's template: a screen reader names a control after the label just before it.
Prints one line per fault and exits 1 when there is one.
"""
import re
import struct
import sys
import xml.etree.ElementTree as ET

RT_BITMAP, RT_ICON, RT_DIALOG, RT_GROUP_ICON, RT_MANIFEST = 2, 3, 5, 14, 24


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

    def named(self, kind):
        """{name: bytes} of every resource of `kind` named by a string."""
        base = self.offset(self.resource_rva)
        named = {}
        for res_id, data in self.resources(kind).items():
            if res_id & 0x80000000:
                at = base + (res_id & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                named[self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")] = data
        return named


def dialog_items(template):
    """[(id, class, title)] of a DIALOGEX template, in their order (class: an atom or a name)."""
    def sz_or_ord(at):
        if struct.unpack_from("<H", template, at)[0] == 0xFFFF:
            return struct.unpack_from("<H", template, at + 2)[0], at + 4
        end = at
        while struct.unpack_from("<H", template, end)[0] != 0:
            end += 2
        return template[at:end].decode("utf-16-le"), end + 2

    count = struct.unpack_from("<H", template, 16)[0]
    style = struct.unpack_from("<I", template, 12)[0]
    at = 26
    _, at = sz_or_ord(at)  # menu
    _, at = sz_or_ord(at)  # class
    _, at = sz_or_ord(at)  # title
    if style & 0x40:  # DS_SETFONT: size, weight, italic, charset, face
        _, at = sz_or_ord(at + 6)
    items = []
    for _ in range(count):
        at = (at + 3) & ~3
        item_id = struct.unpack_from("<I", template, at + 20)[0]
        item_class, at = sz_or_ord(at + 24)
        title, at = sz_or_ord(at)
        extra = struct.unpack_from("<H", template, at)[0]
        at += 2 + extra
        items.append((item_id, item_class, title))
    return items


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


STATIC_ATOM = 0x0082


def check_labels(pe, names, faults):
    dialogs = pe.named(RT_DIALOG)
    for page, control in (("TPNLUMOWA", "IDC_redUmowa"), ("TPNLINSTALACJA", "IDC_GaugePostep")):
        if page not in dialogs:
            faults.append("no dialog template %s" % page)
            continue
        items = dialog_items(dialogs[page])
        order = [item_id for item_id, _, _ in items]
        wanted = names.get(control)
        if wanted not in order:
            faults.append("%s has no %s" % (page, control))
        elif order.index(wanted) == 0 or items[order.index(wanted) - 1][1] not in (
                STATIC_ATOM, "Static", "STATIC"):
            faults.append("%s in %s follows no static label" % (control, page))
        elif items[order.index(wanted) - 1][0] == names.get("IDC_pnlPostep"):
            faults.append("%s in %s follows the empty panel, not a label" % (control, page))


def main():
    exe, header = sys.argv[1], sys.argv[2]
    pe = Pe(open(exe, "rb").read())
    names = ids(header)
    faults = []
    check_header(pe, faults)
    check_manifest(pe, faults)
    check_icon(pe, names, faults)
    check_bitmaps(pe, names, faults)
    check_labels(pe, names, faults)
    for fault in faults:
        print("resources: " + fault)
    if not faults:
        print("resources: manifest, icon frames and artwork as required")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""The test prefix's stand-in for Arial: a font file copied under another family name and
without pair kerning.

    wine-font.py SOURCE.ttf TARGET.ttf FAMILY

Wine's rich-text view lays its text out with the font's pair kerning (the 'kern' table and the
GPOS kerning feature), which the Windows view applies only when a text asks for it. Liberation
Sans kerns "A" against a space by 113/2048 em, and at the interface's 8-point size the space
after a capital A disappears ("UMOWALICENCYJNA"). Without both tables the view places every
glyph at its own advance, as the Windows view does; the widths stay those of the source.
"""
import sys

from fontTools.ttLib import TTFont


def main(source, target, family):
    font = TTFont(source)
    for table in ("kern", "GPOS"):
        if table in font:
            del font[table]
    old_family = font["name"].getDebugName(1)
    old_postscript = old_family.replace(" ", "")
    new_postscript = family.replace(" ", "")
    for record in font["name"].names:
        if record.nameID not in (1, 3, 4, 6, 16):  # family, unique, full, PostScript names
            continue
        text = record.toUnicode()
        text = text.replace(old_family, family).replace(old_postscript, new_postscript)
        record.string = text
    font.save(target)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: wine-font.py SOURCE.ttf TARGET.ttf FAMILY")
    main(*sys.argv[1:])

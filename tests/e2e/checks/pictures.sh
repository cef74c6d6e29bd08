#!/usr/bin/env bash
# Checks of the screenshots a run took (E2E_WORK/shots/NAME.png), read with ImageMagick.
#
#   contrast NAME        the picture has text that can be told from its background: at least
#                        20 pixels whose brightness differs from the commonest colour's by 100
#                        of 255 or more
#   margin NAME PIXELS   between the border on the left (the columns from the left edge that
#                        hold anything but the background, the top and bottom three rows left
#                        out) and the first column of text there are at least PIXELS columns
#                        of background only
# Environment: E2E_WORK (set by the harness).
set -euo pipefail
mode=$1 name=$2
picture="$E2E_WORK/shots/$name.png"
[ -f "$picture" ] || { echo "pictures check: no picture $name"; exit 1; }
read -r width height < <(convert "$picture" -format '%w %h\n' info:)
convert "$picture" -depth 8 rgb:- | /usr/bin/python3 -c '
import collections, sys
mode, name, width, height = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
data = sys.stdin.buffer.read()
def brightness(i):
    return (299 * data[i] + 587 * data[i + 1] + 114 * data[i + 2]) // 1000
pixels = [brightness(3 * k) for k in range(width * height)]
background = collections.Counter(pixels).most_common(1)[0][0]
far = lambda p, limit: abs(p - background) >= limit
if mode == "contrast":
    count = sum(1 for p in pixels if far(p, 100))
    print("pictures check: %s has %d text pixels on brightness %d" % (name, count, background))
    sys.exit(0 if count >= 20 else 1)
wanted = int(sys.argv[5])
rows = range(3, height - 3)  # the top and bottom lines of the border cross every column
marked = [any(far(pixels[y * width + x], 60) for y in rows) for x in range(width)]
x = 0
while x < width and marked[x]:
    x += 1
border = x
while x < width and not marked[x]:
    x += 1
print("pictures check: %s: border %d, then %d columns before the text" % (name, border, x - border))
sys.exit(0 if x < width and x - border >= wanted else 1)
' "$mode" "$name" "$width" "$height" "${3:-0}"

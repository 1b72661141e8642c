#!/usr/bin/env python3
"""Writes the skin file skinh.she: the palette colours of the windows.

The program turns every colour of the skin by +88 degrees of hue when it loads it, so the
colours are written here turned back by 88 degrees: the window shows the blue theme below.

Usage: tools/assets/make_skin.py <output folder>
"""
import colorsys
import os
import re
import sys

HUE_TURN = 88

THEME = """; Trackoro skin: the window's palette colours, one "Role = #rrggbb" a line.
; The skin engine turns every colour's hue by its hue setting when it loads the skin.
Window = #e9eff7
WindowText = #1b2533
Base = #ffffff
AlternateBase = #f2f6fb
ToolTipBase = #fffbe6
ToolTipText = #1b2533
Text = #1b2533
Button = #dfe8f4
ButtonText = #1b2533
Light = #ffffff
Midlight = #eef3fa
Mid = #a9bcd6
Dark = #7f97b8
Shadow = #4d5f78
Highlight = #3f78c2
HighlightedText = #ffffff
Link = #1d5fb8
"""


def turn(match):
    value = match.group(1)
    r, g, b = (int(value[i:i + 2], 16) / 255.0 for i in (0, 2, 4))
    h, s, v = colorsys.rgb_to_hsv(r, g, b)
    if s > 0:
        h = (h - HUE_TURN / 360.0) % 1.0
    r, g, b = colorsys.hsv_to_rgb(h, s, v)
    return "#%02x%02x%02x" % tuple(round(c * 255) for c in (r, g, b))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    sheet = re.sub(r"#([0-9a-fA-F]{6})\b", turn, THEME)
    with open(os.path.join(folder, "skinh.she"), "w", encoding="utf-8", newline="\n") as out:
        out.write(sheet)


if __name__ == "__main__":
    main()

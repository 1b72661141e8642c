#!/usr/bin/env python3
"""Writes the skin file skinh.she, a Qt style sheet.

The program turns every colour of the skin by +88 degrees of hue when it loads it, so the
colours are written here turned back by 88 degrees: the window shows the blue theme below.

Usage: tools/assets/make_skin.py <output folder>
"""
import colorsys
import os
import re
import sys

HUE_TURN = 88

THEME = """/* Trackoro skin: a Qt style sheet. Colours are turned by the skin engine's hue setting. */
QMainWindow, QDialog { background: #edf2f8; }
QGroupBox {
    border: 1px solid #9db5d3;
    border-radius: 4px;
    margin-top: 10px;
    padding-top: 4px;
    background: #f6f9fd;
}
QGroupBox#Frame3, QGroupBox#Frame5, QGroupBox#Frame7 { margin-top: 0px; padding-top: 0px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; color: #1d4b87; }
QPushButton {
    border: 1px solid #7e9bc3;
    border-radius: 3px;
    padding: 3px 10px;
    min-height: 18px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #d9e5f4);
}
QPushButton:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4f8fd, stop:1 #c7d9f0);
}
QPushButton:pressed { background: #bcd0eb; }
QPushButton:disabled { color: #8c8c8c; border-color: #b9c5d5; background: #eef1f5; }
QPushButton:default { border-color: #4f79b3; }
QStatusBar { background: #dce6f2; }
QHeaderView::section {
    background: #e2ebf6;
    border: 0;
    border-right: 1px solid #b5c7de;
    border-bottom: 1px solid #b5c7de;
    padding: 2px 4px;
}
QTreeView { selection-background-color: #3f78c2; font-size: 9pt; }
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

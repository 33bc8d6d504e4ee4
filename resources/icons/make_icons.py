#!/usr/bin/env python3
"""Writes the toolbar icons (16x16 SVG) into this folder, or into the folder given as argument.

The SVG files are what the program loads. Change the shapes here and rerun rather than editing the
SVG files, because every element is written twice: first as a light halo (its stroke one pixel wider on
each side) so that the dark outlines stay visible on a dark toolbar, then in its real colours.
Coordinates follow the 16 px grid (1 px strokes on half pixels, 2 px strokes on whole pixels), so the
icons are sharp at 16, 32 and 48 px.

    python3 make_icons.py [output-folder]
"""
import math
import os
import sys

DARK = "#3a3f44"  # outlines
ACCENT = "#1f6fb2"
RED = "#c62828"  # the delete commands only
GREEN = "#2e7d32"  # the check command only
WHITE = "#ffffff"
LIGHT_ACCENT = "#d6e6f5"
FOLDER_BACK = "#f3d27a"
FOLDER_FRONT = "#fae6a8"
HALO = "#f7f8fa"


def el(tag, sw=1.0, stroke=None, fill="none", halo=True, **attrs):
    """One SVG element with stroke width sw; attribute names use '_' for '-'."""
    return dict(tag=tag, sw=sw, stroke=stroke, fill=fill, halo=halo, attrs=attrs)


def num(v):
    if isinstance(v, float):
        s = ("%.2f" % v).rstrip("0").rstrip(".")
        return "0" if s == "-0" else s
    return str(v)


def render(e, as_halo):
    a = {k.replace("_", "-"): num(v) for k, v in e["attrs"].items()}
    if as_halo:
        a["fill"] = HALO if e["fill"] != "none" else "none"
        a["stroke"] = HALO
        a["stroke-width"] = num(float(e["sw"] + 2 if e["stroke"] else 2))
        a.setdefault("stroke-linejoin", "round")
    else:
        a["fill"] = e["fill"]
        if e["stroke"]:
            a["stroke"] = e["stroke"]
            a["stroke-width"] = num(float(e["sw"]))
    return "<%s %s/>" % (e["tag"], " ".join('%s="%s"' % kv for kv in a.items()))


def write(folder, name, title, elems):
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">',
             "  <title>%s</title>" % title,
             "  <!-- light halo under the drawing keeps the icon visible on dark toolbars -->",
             "  <g>"]
    lines += ["    " + render(e, True) for e in elems if e["halo"]]
    lines += ["  </g>", "  <g>"]
    lines += ["    " + render(e, False) for e in elems]
    lines += ["  </g>", "</svg>", ""]
    with open(os.path.join(folder, name + ".svg"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


def point_mark(x, y):
    """A 4x4 white square with a dark outline whose top-left pixel is (x, y)."""
    return el("rect", 1, DARK, WHITE, x=x + 0.5, y=y + 0.5, width=3, height=3)


def red_cross(cx, cy, r=2.5):
    d = "M%s %sL%s %sM%s %sL%s %s" % tuple(map(num, (cx - r, cy - r, cx + r, cy + r,
                                                     cx + r, cy - r, cx - r, cy + r)))
    return el("path", 2, RED, d=d, stroke_linecap="round")


def arc_arrow(cx, cy, r, a0, a1, sw, colour, head):
    """A clockwise arc from angle a0 to a1 (degrees, y pointing down) with an arrowhead at a1."""
    def at(a):
        return cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a))

    (x0, y0), (x1, y1) = at(a0), at(a1)
    large = 1 if (a1 - a0) % 360 > 180 else 0
    arc = "M%s %sA%s %s 0 %d 1 %s %s" % (num(x0), num(y0), num(r), num(r), large, num(x1), num(y1))
    t = math.radians(a1)
    tx, ty = -math.sin(t), math.cos(t)  # direction of travel at the end
    nx, ny = math.cos(t), math.sin(t)  # outward normal
    tip = (x1 + tx * head * 0.9, y1 + ty * head * 0.9)
    outer = (x1 + (nx * 0.75 - tx * 0.2) * head, y1 + (ny * 0.75 - ty * 0.2) * head)
    inner = (x1 - (nx * 0.75 + tx * 0.2) * head, y1 - (ny * 0.75 + ty * 0.2) * head)
    arrowhead = "M%s %sL%s %sL%s %sZ" % tuple(map(num, tip + outer + inner))
    return [el("path", sw, colour, d=arc, stroke_linecap="butt"),
            el("path", 1, colour, colour, d=arrowhead, stroke_linejoin="round")]


def magnifier(sign):
    bar = "M4 7H10" if sign == "-" else "M4 7H10M7 4V10"
    return [el("path", 3, DARK, d="M11 11L14 14", stroke_linecap="round"),
            el("circle", 2, DARK, WHITE, cx=7, cy=7, r=5),
            el("path", 2, ACCENT, d=bar, halo=False)]


ICONS = {
    "new": ("新規", [
        el("path", 1, DARK, WHITE, d="M4.5 1.5H10.5L13.5 4.5V14.5H4.5Z", stroke_linejoin="round"),
        el("path", 1, DARK, LIGHT_ACCENT, d="M10.5 1.5V4.5H13.5", stroke_linejoin="round"),
        el("path", 0.8, ACCENT, ACCENT, d="M4.5 0.8L5.5 3.5L8.2 4.5L5.5 5.5L4.5 8.2L3.5 5.5L0.8 4.5L3.5 3.5Z",
           stroke_linejoin="round"),
    ]),
    "open": ("開く", [
        el("path", 1, DARK, FOLDER_BACK, d="M1.5 13.5V2.5H5.5L7 4H12.5V6.5", stroke_linejoin="round"),
        el("path", 1, DARK, FOLDER_FRONT, d="M1.5 13.5L4 6.5H15L12.5 13.5Z", stroke_linejoin="round"),
    ]),
    "save": ("保存", [
        el("path", 1, DARK, ACCENT, d="M1.5 1.5H12L14.5 4V14.5H1.5Z", stroke_linejoin="round"),
        el("rect", 1, DARK, WHITE, x=4.5, y=1.5, width=6, height=4),  # shutter
        el("rect", 0, None, DARK, halo=False, x=8, y=2.5, width=1.5, height=2),
        el("rect", 1, DARK, WHITE, x=3.5, y=8.5, width=9, height=6),  # label
        el("path", 1, LIGHT_ACCENT, d="M5 10.5H11M5 12.5H11", halo=False),
    ]),
    "zoom_in": ("拡大", magnifier("+")),
    "zoom_out": ("縮小", magnifier("-")),
    "show_all": ("全表示", [
        el("rect", 1, DARK, LIGHT_ACCENT, x=5.5, y=5.5, width=5, height=5),
        el("path", 2, ACCENT, d="M2 6V2H6M10 2H14V6M14 10V14H10M6 14H2V10",
           stroke_linecap="butt", stroke_linejoin="miter"),
    ]),
    "redraw": ("再表示", arc_arrow(8, 8, 5.25, 300, 210, 2, ACCENT, head=3.6)),
    "grid": ("グリッド", [
        el("rect", 0, None, DARK, x=x, y=y, width=2, height=2) for y in (2, 7, 12) for x in (2, 7, 12)
    ]),
    "join": ("結線", [
        el("path", 1.5, ACCENT, d="M3.5 12.5L12.5 3.5", stroke_linecap="round"),
        point_mark(1, 10), point_mark(10, 1),
    ]),
    "delete_segment": ("線削除", [
        el("path", 1.5, DARK, d="M3.5 12.5L12.5 3.5", stroke_linecap="round"),
        point_mark(1, 10), point_mark(10, 1),
        red_cross(11, 11),
    ]),
    "delete_point": ("点削除", [
        el("rect", 1, DARK, WHITE, x=2.5, y=2.5, width=6, height=6),
        el("path", 1, DARK, d="M5.5 4V7M4 5.5H7", halo=False),
        red_cross(11, 11),
    ]),
    "undo": ("元に戻す", [
        el("path", 2, ACCENT, d="M4.5 6H10A3.5 3.5 0 0 1 10 13H6", stroke_linecap="butt", stroke_linejoin="round"),
        el("path", 1, ACCENT, ACCENT, d="M1.5 6L5.5 2.5V9.5Z", stroke_linejoin="round"),
    ]),
    "redo": ("やり直し", [
        el("path", 2, ACCENT, d="M11.5 6H6A3.5 3.5 0 0 0 6 13H10", stroke_linecap="butt", stroke_linejoin="round"),
        el("path", 1, ACCENT, ACCENT, d="M14.5 6L10.5 2.5V9.5Z", stroke_linejoin="round"),
    ]),
    "check": ("ブロック検査", [
        el("rect", 1, DARK, WHITE, x=1.5, y=2.5, width=9, height=11),
        el("path", 1, LIGHT_ACCENT, d="M3.5 5.5H8.5M3.5 8H8.5M3.5 10.5H6.5", halo=False),
        el("path", 2, GREEN, d="M8 10.5L10.5 13L14.5 6.5", stroke_linecap="round", stroke_linejoin="round"),
    ]),
    "help": ("ヘルプ", [
        el("circle", 1, DARK, ACCENT, cx=8, cy=8, r=6.5),
        el("path", 2, WHITE, d="M5.75 6.25A2.25 2.25 0 1 1 9 8.2C8.3 8.6 8 9 8 10", halo=False,
           stroke_linecap="round"),
        el("circle", 0, None, WHITE, halo=False, cx=8, cy=12.1, r=1.15),
    ]),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(folder, exist_ok=True)
    for name, (title, elems) in ICONS.items():
        write(folder, name, title, elems)


if __name__ == "__main__":
    main()

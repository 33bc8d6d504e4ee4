#!/usr/bin/env python3
"""Writes the sample block files in samples/ and the list samples/samples.cmake.

Every number is computed exactly (fractions) from outline coordinates that are
exact at three decimals, then rounded once, half up, to the three decimals the
file keeps:
  B, H     width and height of the outline, lower-left corner at (0, 0);
  V        cross-section area (shoelace, holes subtracted) times L;
  Gx, Gy   centroid of the cross-section;
  layers   bands of the given heights from the bottom up; the volume of a band
           is the area of the section inside it times L. Cumulative volumes are
           rounded and layer volumes are their differences, so the layers add
           up to V exactly.
The files are cp932 with CR LF line ends, as the program writes them.

Usage: scripts/make_samples.py [output folder, default samples/ of the repository]
"""

import math
import sys
from fractions import Fraction as F
from pathlib import Path

HEADER = "#直立消波ブロック"


def dec(text):
    """An exact fraction from decimal text."""
    return F(text)


def round3(value):
    """Value rounded half up to a whole number of thousandths, as a fraction."""
    thousandths = math.floor(value * 1000 + F(1, 2))
    return F(thousandths, 1000)


def fmt3(value):
    """'0.000' text of a value already exact at three decimals."""
    thousandths = value * 1000
    assert thousandths.denominator == 1, value
    n = int(thousandths)
    sign = "-" if n < 0 else ""
    n = abs(n)
    return f"{sign}{n // 1000}.{n % 1000:03d}"


def signed_area(poly):
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1])) / 2


def centroid_moments(poly):
    """(area, first moment about y, first moment about x), signs made positive."""
    a = signed_area(poly)
    mx = my = F(0)
    for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
        cross = x0 * y1 - x1 * y0
        mx += (x0 + x1) * cross
        my += (y0 + y1) * cross
    mx /= 6
    my /= 6
    if a < 0:
        a, mx, my = -a, -mx, -my
    return a, mx, my


def clip(poly, y, keep_above):
    """The part of a polygon above (or below) the line at height y."""
    out = []
    for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
        in0 = y0 >= y if keep_above else y0 <= y
        in1 = y1 >= y if keep_above else y1 <= y
        if in0:
            out.append((x0, y0))
        if in0 != in1:
            t = (y - y0) / (y1 - y0)
            out.append((x0 + t * (x1 - x0), y))
    return out


def band_area(contours, lo, hi):
    """Area of the section (outer contour minus holes) between heights lo and hi."""
    total = F(0)
    for k, poly in enumerate(contours):
        part = clip(clip(poly, lo, True), hi, False)
        a = abs(signed_area(part)) if len(part) >= 3 else F(0)
        total += a if k == 0 else -a
    return total


def inside(poly, px, py):
    """Point-in-polygon by ray crossing (points on an edge do not occur here)."""
    result = False
    for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
        if (y0 > py) != (y1 > py):
            x = x0 + (py - y0) * (x1 - x0) / (y1 - y0)
            if px < x:
                result = not result
    return result


def arc(cx, cy, r, start_deg, end_deg, steps):
    """Points on a circular arc, rounded to millimetres, both ends included."""
    pts = []
    for k in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * k / steps)
        pts.append((round3(F(cx + r * math.cos(a))), round3(F(cy + r * math.sin(a)))))
    return pts


def build(name, kind, length, contours, layer_heights):
    """The lines of a block file for the outline contours (first one outer)."""
    contours = [[(dec(x) if isinstance(x, str) else x, dec(y) if isinstance(y, str) else y)
                 for x, y in c] for c in contours]
    outer = contours[0]
    xs = [x for x, _ in outer]
    ys = [y for _, y in outer]
    assert min(xs) == 0 and min(ys) == 0, "lower-left corner must be at (0, 0)"
    width, height = max(xs), max(ys)
    length = dec(length)

    area = F(0)
    mx = my = F(0)
    for k, poly in enumerate(contours):
        a, px, py = centroid_moments(poly)
        sign = 1 if k == 0 else -1
        area += sign * a
        mx += sign * px
        my += sign * py
    gx, gy = round3(mx / area), round3(my / area)
    assert inside(outer, gx, gy) and not any(inside(h, gx, gy) for h in contours[1:]), \
        f"{name}: centre of gravity outside the section"
    volume = round3(area * length)

    heights = [dec(h) for h in layer_heights]
    assert sum(heights) == height, f"{name}: layer heights sum to {sum(heights)}, not {height}"
    # Rounding each cumulative volume (not each layer) keeps every layer within
    # 0.001 of its exact value and makes the last cumulative volume V itself:
    # no rounding error piles up in the top row.
    rows = []
    bottom = F(0)
    exact = F(0)
    previous = F(0)
    for h in heights:
        exact += band_area(contours, bottom, bottom + h) * length
        bottom += h
        cumulative = round3(exact)
        rows.append([h, cumulative - previous, cumulative])
        previous = cumulative
    assert cumulative == volume

    lines = [HEADER, name, kind,
             ",".join(fmt3(v) for v in (width, height, length, volume, gx, gy)),
             str(len(rows))]
    lines += [",".join(fmt3(v) for v in row) for row in rows]
    points = [p for c in contours for p in c]
    assert len(points) <= 100
    lines.append(str(len(points)))
    lines += [f"{fmt3(x)},{fmt3(y)}" for x, y in points]
    segments = []
    first = 1
    for c in contours:
        n = len(c)
        segments += [(first + k, first + (k + 1) % n) for k in range(n)]
        first += n
    assert len(segments) <= 100
    lines.append(str(len(segments)))
    lines += [f"{a},{b}" for a, b in segments]
    return lines


def samples():
    """(file name, lines) of every sample block."""
    out = []

    # Small rectangular block.
    out.append(("block_05t.csv", build(
        "消波ブロック 0.5t型", "小型", "0.720",
        [[("0", "0"), ("0.6", "0"), ("0.6", "0.5"), ("0", "0.5")]],
        ["0.25"] * 2)))

    # 2 t block with a stepped front face (sea side on the left).
    out.append(("block_2t.csv", build(
        "消波ブロック 2t型", "標準型", "1.200",
        [[("0", "0"), ("1.2", "0"), ("1.2", "1.0"), ("0.8", "1.0"), ("0.8", "0.6"),
          ("0.4", "0.6"), ("0.4", "0.3"), ("0", "0.3")]],
        ["0.25"] * 4)))

    # 4 t block with chamfered corners.
    out.append(("block_4t_chamfer.csv", build(
        "消波ブロック 4t型", "面取り型", "1.000",
        [[("0.1", "0"), ("1.3", "0"), ("1.4", "0.1"), ("1.4", "1.2"), ("1.3", "1.3"),
          ("0.1", "1.3"), ("0", "1.2"), ("0", "0.1")]],
        ["0.1"] * 13)))

    # 8 t block with a sloping front face.
    out.append(("block_8t.csv", build(
        "消波ブロック 8t型", "標準型", "1.100",
        [[("0", "0"), ("2.0", "0"), ("2.0", "2.0"), ("0.8", "2.0")]],
        ["0.5"] * 4)))

    # 13 t slit type: the wave chamber behind the slit wall is an inner contour.
    out.append(("block_13t_slit.csv", build(
        "消波ブロック 13t型", "スリット型", "1.000",
        [[("0", "0"), ("3.0", "0"), ("3.0", "2.5"), ("0", "2.5")],
         [("0.4", "0.5"), ("1.6", "0.5"), ("1.6", "2.0"), ("0.4", "2.0")]],
        ["0.5"] * 5)))

    # 16 t block with a concave curved front face, drawn as a polyline.
    curve = arc(0, 3.0, 2.0, 0, -90, 15)
    out.append(("block_16t_curved.csv", build(
        "消波ブロック 16t型", "曲面型", "1.600",
        [[(F(0), F(0)), (dec("2.5"), F(0)), (dec("2.5"), dec("3.0"))] + curve],
        ["0.25"] * 12)))

    # 30 t L-shaped block (base slab and rear wall), layer table in 0.1 m rows.
    out.append(("block_30t_l.csv", build(
        "消波ブロック 30t型", "L型", "2.200",
        [[("0", "0"), ("3.5", "0"), ("3.5", "5.0"), ("2.7", "5.0"), ("2.5", "0.6"),
          ("0", "0.6")]],
        ["0.1"] * 50)))
    return out


def main():
    root = Path(__file__).resolve().parent.parent
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "samples"
    folder.mkdir(parents=True, exist_ok=True)
    names = []
    for file_name, lines in samples():
        data = "".join(line + "\r\n" for line in lines).encode("cp932")
        (folder / file_name).write_bytes(data)
        names.append(file_name)
    listing = ("# Sample block files, written by scripts/make_samples.py.\n"
               "set(MRB_SAMPLE_FILES\n" + "".join(f"  {n}\n" for n in names) + ")\n")
    (folder / "samples.cmake").write_text(listing, encoding="utf-8", newline="\n")


if __name__ == "__main__":
    main()

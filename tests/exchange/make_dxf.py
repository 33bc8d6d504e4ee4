#!/usr/bin/python3
"""Writes the DXF drawings the import tests read, with ezdxf (an independent
writer). Usage: make_dxf.py OUTPUT_FOLDER"""
import math
import os
import sys

import ezdxf

out = sys.argv[1]
INSUNITS = {'mm': 4, 'm': 6}


def new(version, unit=None):
    doc = ezdxf.new(version)
    if version in ('R12', 'R2000'):
        doc.encoding = 'cp932'  # layer names in cp932, $DWGCODEPAGE ANSI_932
    if unit and version != 'R12':  # R12 has no units variable
        doc.header['$INSUNITS'] = INSUNITS[unit]
    return doc


def save(doc, name):
    doc.saveas(os.path.join(out, name))


# The test outline: a block 2 m wide and 1.5 m high with a sloping side, as a
# closed polyline, beside shapes on other layers.
OUTLINE = [(0, 0), (2, 0), (2, 1.5), (0.5, 1.5)]
for version in ('R12', 'R2000', 'R2018'):
    for unit in ('mm', 'm'):
        doc = new(version, unit)
        msp = doc.modelspace()
        k = 1000 if unit == 'mm' else 1
        # Placed away from the origin, so that moving it there shows.
        pts = [(x * k + 3 * k, y * k + 2 * k) for x, y in OUTLINE]
        attribs = {'layer': '外形'}
        if version == 'R12':
            msp.add_polyline2d(pts, close=True, dxfattribs=attribs)
        else:
            msp.add_lwpolyline(pts, close=True, dxfattribs=attribs)
        msp.add_line((0, 0), (5 * k, 0), dxfattribs={'layer': '寸法'})
        msp.add_text('注記', dxfattribs={'layer': '文字', 'height': 0.1 * k})
        save(doc, f'outline_{version}_{unit}.dxf')

# Several layers and no "外形": lines meeting within 0.3 mm, a circle, text.
doc = new('R2000', 'mm')
msp = doc.modelspace()
square = [(0, 0), (1000, 0), (1000, 1000), (0, 1000)]
for i in range(4):
    a = square[i]
    b = square[(i + 1) % 4]
    # Each line starts 0.3 mm off the end of the one before.
    msp.add_line((a[0] + 0.3, a[1]), b, dxfattribs={'layer': '本体'})
msp.add_circle((500, 500), 100, dxfattribs={'layer': '穴'})
msp.add_text('説明', dxfattribs={'layer': '注記'})
save(doc, 'layers.dxf')

# Arcs: a quarter circle of radius 500 mm closed by two lines, and a closed
# LWPOLYLINE whose second segment is a half circle (bulge 1).
doc = new('R2018', 'mm')
msp = doc.modelspace()
msp.add_arc((0, 0), 500, 0, 90, dxfattribs={'layer': '外形'})
msp.add_line((0, 500), (0, 0), dxfattribs={'layer': '外形'})
msp.add_line((0, 0), (500, 0), dxfattribs={'layer': '外形'})
save(doc, 'arc.dxf')
doc = new('R2000', 'mm')
msp = doc.modelspace()
msp.add_lwpolyline([(0, 0, 0), (1000, 0, 1), (1000, 1000, 0), (0, 1000, 0)],
                   format='xyb', close=True, dxfattribs={'layer': '外形'})
save(doc, 'bulge.dxf')

# 101 points in an open chain: one more than a block holds.
doc = new('R2000', 'mm')
doc.modelspace().add_lwpolyline([(i * 10, (i % 2) * 10) for i in range(101)],
                                dxfattribs={'layer': '外形'})
save(doc, 'limit.dxf')
# 100 points: just fits.
doc = new('R2000', 'mm')
doc.modelspace().add_lwpolyline([(i * 10, (i % 2) * 10) for i in range(100)],
                                dxfattribs={'layer': '外形'})
save(doc, 'limit100.dxf')

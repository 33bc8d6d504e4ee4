#!/usr/bin/python3
"""Writes the small R12 seeds of fuzz_dxf with ezdxf (the exporter's own
seeds are written by the program: export of block_2t.csv in mm and m).
Usage: make_seeds.py FOLDER"""
import os
import sys

import ezdxf

out = sys.argv[1]


def r12():
    doc = ezdxf.new('R12')
    doc.encoding = 'cp932'
    return doc


doc = r12()
msp = doc.modelspace()
msp.add_polyline2d([(0, 0), (2000, 0), (2000, 1500), (500, 1500)], close=True,
                   dxfattribs={'layer': '外形'})
msp.add_line((0, -300), (2000, -300), dxfattribs={'layer': '寸法'})
doc.saveas(os.path.join(out, 'ezdxf_polyline.dxf'))

doc = r12()
msp = doc.modelspace()
msp.add_arc((0, 0), 500, 0, 90, dxfattribs={'layer': '外形'})
msp.add_line((0, 500), (0, 0), dxfattribs={'layer': '外形'})
msp.add_line((0, 0), (500, 0), dxfattribs={'layer': '外形'})
msp.add_circle((200, 200), 50, dxfattribs={'layer': '穴'})
doc.saveas(os.path.join(out, 'ezdxf_arc.dxf'))

doc = r12()
msp = doc.modelspace()
p = msp.add_polyline2d([(0, 0), (1000, 0), (1000, 1000), (0, 1000)], close=True,
                       dxfattribs={'layer': 'bulge'})
p.vertices[1].dxf.bulge = 1
doc.saveas(os.path.join(out, 'ezdxf_bulge.dxf'))

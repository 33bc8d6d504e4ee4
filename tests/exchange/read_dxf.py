#!/usr/bin/python3
"""Reads a DXF with ezdxf (an independent reader) and prints what the export
tests check, as JSON: version, code page, layers, LINE end points and TEXT
strings per layer. Usage: read_dxf.py FILE"""
import json
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
out = {
    'version': doc.dxfversion,
    'codepage': doc.header.get('$DWGCODEPAGE', ''),
    'encoding': doc.encoding,
    'layers': sorted(layer.dxf.name for layer in doc.layers),
    'lines': {},
    'texts': {},
    'circles': {},
}
for e in msp:
    layer = e.dxf.layer
    if e.dxftype() == 'LINE':
        out['lines'].setdefault(layer, []).append(
            [e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y])
    elif e.dxftype() == 'TEXT':
        out['texts'].setdefault(layer, []).append(
            [e.dxf.text, e.dxf.insert.x, e.dxf.insert.y])
    elif e.dxftype() == 'CIRCLE':
        out['circles'].setdefault(layer, []).append(
            [e.dxf.center.x, e.dxf.center.y, e.dxf.radius])
# repr() of a float is its shortest exact text, so nothing is lost on the way.
print(json.dumps(out, ensure_ascii=False))

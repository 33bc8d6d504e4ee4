#pragma once

// Inside the DXF import: what step 1 keeps of the file and step 2 reads.

#include "exchange/dxfimport.h"

#include <QSet>

#include <string>
#include <utility>
#include <vector>

// One group of the file: code, value (blanks around it removed) and the
// line of the code.
struct DxfGroup
{
    int code = 0;
    std::string value;
    int line = 0;
};

// The groups of the file and, for each entity that can become part of an
// outline, the ranges of groups that make it (a POLYLINE with its VERTEX
// and SEQEND entities), all checked.
struct DxfSource
{
    struct Entity
    {
        int layer = 0; // index into DxfDrawing::layers
        std::vector<std::pair<size_t, size_t>> parts;
    };
    std::vector<DxfGroup> groups;
    std::vector<Entity> entities;
};

// One entity as dxflib read it, in the file's units and world coordinates.
struct DxfShape
{
    enum class Kind
    {
        Line,     // vertices[0] to vertices[1]
        Polyline, // vertices with bulges, closed or not
        Arc,      // centre, radius, start and end angle in degrees, counter-clockwise
        Circle
    };
    struct Vertex
    {
        double x = 0;
        double y = 0;
        double bulge = 0; // of the segment that starts here
    };
    Kind kind = Kind::Line;
    int line = 0; // the file's line where the entity starts
    std::vector<Vertex> vertices;
    bool closed = false;
    double cx = 0, cy = 0, radius = 0, startAngle = 0, endAngle = 0;
    // Why the entity cannot be drawn in the plane (a 3D extrusion); empty if it can.
    QString refusal;
};

namespace Dxf {

// The entities of the given layers, read by dxflib.
std::vector<DxfShape> shapesOn(const DxfDrawing& drawing, const QSet<int>& layers);

} // namespace Dxf

#pragma once

// Affine transforms and elliptic arcs for the metafile reader. Arcs become
// cubic Bézier segments in logical coordinates; as Béziers keep their shape
// under any affine map, transforming their points afterwards is exact.

#include <vector>

namespace harpoly::metafile {

struct DPoint {
    double x = 0;
    double y = 0;
};

// x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy: the layout of a Windows
// XFORM, so world transforms read from a file need no reordering.
struct Matrix {
    double m11 = 1;
    double m12 = 0;
    double m21 = 0;
    double m22 = 1;
    double dx = 0;
    double dy = 0;

    DPoint map(double x, double y) const {
        return {m11 * x + m21 * y + dx, m12 * x + m22 * y + dy};
    }
    // The linear part only: where a vector goes.
    DPoint mapVector(double x, double y) const { return {m11 * x + m21 * y, m12 * x + m22 * y}; }
    // This transform followed by `next`.
    Matrix then(const Matrix& next) const;
    double determinant() const { return m11 * m22 - m12 * m21; }
    // Lengths of the images of the unit vectors along x and y.
    double xScale() const;
    double yScale() const;
    // No rotation or shear.
    bool axisAligned() const { return m12 == 0 && m21 == 0; }
    bool finite() const;
};

struct ArcSegment {
    DPoint c1;
    DPoint c2;
    DPoint end;
};

// The point at parameter t of the ellipse centred on (cx, cy) with radii rx,
// ry (either may be negative to mirror it): (cx + rx cos t, cy + ry sin t).
DPoint ellipsePoint(double cx, double cy, double rx, double ry, double t);

// Cubic segments of the arc from parameter t0 over `sweep` radians (negative
// sweeps run backwards), each at most a quarter turn. Appended to `out`; the
// start point is ellipsePoint(t0) and is not included.
void appendArcSegments(std::vector<ArcSegment>& out, double cx, double cy, double rx, double ry,
                       double t0, double sweep);

// The parameter of the point where the ray from the ellipse's centre through
// (px, py) meets it.
double radialParameter(double cx, double cy, double rx, double ry, double px, double py);

} // namespace harpoly::metafile

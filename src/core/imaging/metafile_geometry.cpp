#include "core/imaging/metafile_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace harpoly::metafile {

Matrix Matrix::then(const Matrix& n) const {
    return {m11 * n.m11 + m12 * n.m21,      m11 * n.m12 + m12 * n.m22,
            m21 * n.m11 + m22 * n.m21,      m21 * n.m12 + m22 * n.m22,
            dx * n.m11 + dy * n.m21 + n.dx, dx * n.m12 + dy * n.m22 + n.dy};
}

double Matrix::xScale() const {
    return std::hypot(m11, m12);
}

double Matrix::yScale() const {
    return std::hypot(m21, m22);
}

bool Matrix::finite() const {
    return std::isfinite(m11) && std::isfinite(m12) && std::isfinite(m21) && std::isfinite(m22) &&
           std::isfinite(dx) && std::isfinite(dy);
}

DPoint ellipsePoint(double cx, double cy, double rx, double ry, double t) {
    return {cx + rx * std::cos(t), cy + ry * std::sin(t)};
}

void appendArcSegments(std::vector<ArcSegment>& out, double cx, double cy, double rx, double ry,
                       double t0, double sweep) {
    if (!std::isfinite(sweep) || !std::isfinite(t0)) {
        return;
    }
    sweep = std::clamp(sweep, -2 * std::numbers::pi, 2 * std::numbers::pi);
    const int pieces =
        std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    const double step = sweep / pieces;
    // Control-point distance of a cubic that follows a circular arc of `step`.
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    double t = t0;
    for (int i = 0; i < pieces; ++i) {
        const double t1 = t + step;
        const double c0 = std::cos(t), s0 = std::sin(t);
        const double c1 = std::cos(t1), s1 = std::sin(t1);
        out.push_back({{cx + rx * (c0 - k * s0), cy + ry * (s0 + k * c0)},
                       {cx + rx * (c1 + k * s1), cy + ry * (s1 - k * c1)},
                       {cx + rx * c1, cy + ry * s1}});
        t = t1;
    }
}

double radialParameter(double cx, double cy, double rx, double ry, double px, double py) {
    const double ux = rx != 0 ? (px - cx) / rx : 0;
    const double uy = ry != 0 ? (py - cy) / ry : 0;
    if (ux == 0 && uy == 0) {
        return 0;
    }
    return std::atan2(uy, ux);
}

} // namespace harpoly::metafile

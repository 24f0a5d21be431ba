#include "platform/gfx/Shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::vector<TEdge> PolygonEdges(std::span<const TPoint> Points, std::span<const int> Counts) {
    std::vector<TEdge> edges;
    size_t start = 0;
    for (int n : Counts) {
        if (n < 0 || start + size_t(n) > Points.size()) break;
        for (int i = 0; i < n; ++i) {
            const TPoint& a = Points[start + size_t(i)];
            const TPoint& b = Points[start + size_t((i + 1) % n)];
            if (a.y == b.y) continue;
            edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), b.y > a.y ? 1 : -1});
        }
        start += size_t(n);
    }
    return edges;
}

std::vector<std::vector<int32_t>> ScanEdges(const std::vector<TEdge>& Edges, int FillMode, int& Top) {
    std::vector<std::vector<int32_t>> rows;
    if (Edges.empty()) {
        Top = 0;
        return rows;
    }
    double ymin = std::numeric_limits<double>::max(), ymax = std::numeric_limits<double>::lowest();
    for (const auto& e : Edges) {
        ymin = std::min({ymin, e.Y0, e.Y1});
        ymax = std::max({ymax, e.Y0, e.Y1});
    }
    // Rows whose sample point lies in [ymin, ymax).
    int y0 = int(std::ceil(ymin)), y1 = int(std::ceil(ymax));
    Top = y0;
    if (y1 <= y0) return rows;
    rows.resize(size_t(y1 - y0));
    struct TCross {
        double X;
        int Dir;
    };
    std::vector<TCross> cross;
    for (int y = y0; y < y1; ++y) {
        cross.clear();
        for (const auto& e : Edges) {
            double lo = std::min(e.Y0, e.Y1), hi = std::max(e.Y0, e.Y1);
            if (!(y >= lo && y < hi)) continue;
            double x = e.X0 + (double(y) - e.Y0) * (e.X1 - e.X0) / (e.Y1 - e.Y0);
            cross.push_back({x, e.Dir});
        }
        std::sort(cross.begin(), cross.end(), [](const TCross& a, const TCross& b) { return a.X < b.X; });
        auto& row = rows[size_t(y - y0)];
        auto add = [&row](double xl, double xr) {
            // The small slack absorbs rounding of crossings that are whole numbers.
            int32_t l = int32_t(std::ceil(xl - 1e-9)), r = int32_t(std::ceil(xr - 1e-9));
            if (r <= l) return;
            if (!row.empty() && row.back() >= l) row.back() = std::max(row.back(), r);
            else {
                row.push_back(l);
                row.push_back(r);
            }
        };
        if (FillMode == 2) {  // WINDING
            int wind = 0;
            for (size_t i = 0; i < cross.size(); ++i) {
                int before = wind;
                wind += cross[i].Dir;
                if (before != 0 && i > 0) add(cross[i - 1].X, cross[i].X);
            }
        } else {
            for (size_t i = 0; i + 1 < cross.size(); i += 2) add(cross[i].X, cross[i + 1].X);
        }
    }
    return rows;
}

bool RoundRectRow(const TRect& Box, int EllipseWidth, int EllipseHeight, int Y, int& Left, int& Right) {
    if (Y < Box.Top || Y >= Box.Bottom || Box.Right <= Box.Left) return false;
    int w = Box.Right - Box.Left, h = Box.Bottom - Box.Top;
    int ew = std::min(std::abs(EllipseWidth), w), eh = std::min(std::abs(EllipseHeight), h);
    if (ew <= 1 || eh <= 1) {
        Left = Box.Left;
        Right = Box.Right;
        return true;
    }
    double a = ew / 2.0, b = eh / 2.0;
    double cyTop = Box.Top + b, cyBottom = Box.Bottom - b;
    double cxLeft = Box.Left + a, cxRight = Box.Right - a;
    double py = Y + 0.5, dy;
    if (py < cyTop) dy = cyTop - py;
    else if (py > cyBottom) dy = py - cyBottom;
    else {
        Left = Box.Left;
        Right = Box.Right;
        return true;
    }
    if (dy > b) return false;
    double t = 1.0 - (dy / b) * (dy / b);
    double dx = a * std::sqrt(std::max(0.0, t)) + 1e-9;
    Left = std::max(Box.Left, int(std::ceil(cxLeft - dx - 0.5)));
    Right = std::min(Box.Right, int(std::floor(cxRight + dx - 0.5)) + 1);
    return Right > Left;
}

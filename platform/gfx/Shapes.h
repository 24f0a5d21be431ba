#pragma once
// Scan conversion shared by the canvas and the regions, so that a figure
// drawn and the region of the same figure cover the same pixels. Internal to
// platform/gfx.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/Types.h"

// One polygon edge in coordinates that may be fractional (text outlines).
struct TEdge {
    double X0, Y0, X1, Y1;
    int Dir;  // +1 downwards, -1 upwards
};

std::vector<TEdge> PolygonEdges(std::span<const TPoint> Points, std::span<const int> Counts);

// The rows of a polygon fill: pixel (x, y) is inside when the point (x, y)
// is, with left and top edges inside and right and bottom edges outside.
// Top receives the first row; each row is a list of [left, right) pairs.
std::vector<std::vector<int32_t>> ScanEdges(const std::vector<TEdge>& Edges, int FillMode, int& Top);

// The pixels of a rounded rectangle (an ellipse when the corner ellipse is as
// big as the box) in row Y: [Left, Right). False when the row is empty.
// Pixel centres are tested against the corner ellipses, so the figure is
// symmetric and stays inside the box.
bool RoundRectRow(const TRect& Box, int EllipseWidth, int EllipseHeight, int Y, int& Left, int& Right);

// Visits the pixels of a line from (X0, Y0) towards (X1, Y1), leaving out the
// end point (Bresenham; where the ideal line passes exactly half-way, the
// pixel nearer the start's row or column is taken).
template <class F>
void WalkLine(int X0, int Y0, int X1, int Y1, F&& Plot) {
    int dx = X1 > X0 ? X1 - X0 : X0 - X1, dy = Y1 > Y0 ? Y1 - Y0 : Y0 - Y1;
    int sx = X1 >= X0 ? 1 : -1, sy = Y1 >= Y0 ? 1 : -1;
    int x = X0, y = Y0;
    if (dx >= dy) {
        int err = 2 * dy - dx;
        for (int i = 0; i < dx; ++i) {
            Plot(x, y);
            if (err > 0) {
                y += sy;
                err -= 2 * dx;
            }
            err += 2 * dy;
            x += sx;
        }
    } else {
        int err = 2 * dx - dy;
        for (int i = 0; i < dy; ++i) {
            Plot(x, y);
            if (err > 0) {
                x += sx;
                err -= 2 * dy;
            }
            err += 2 * dx;
            y += sy;
        }
    }
}

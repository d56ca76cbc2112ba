// Plain geometry of the toolkit: sprite-sheet cells, centring and alpha.
// No platform types, so tests call these directly.
#pragma once

struct Box {
    long left, top, right, bottom;
};

// Shrinks `box` to one cell of a cols x rows grid (unsigned division).
// False, and `box` unchanged, for a grid with no columns or rows.
bool ShrinkToCell(Box& box, unsigned cols, unsigned rows);

// Source rectangle of one image cell for a destination of destWidth x
// destHeight. A mirrored axis starts at the cell's far edge with a negative
// extent. Crop mode (stretch false) reads the destination size 1:1 from the
// cell's corner. False when the cell lies outside the grid or the grid is
// empty: nothing is drawn then.
struct CellSource {
    int x, y, width, height;
};
bool ComputeCellSource(unsigned imageWidth, unsigned imageHeight, unsigned cols, unsigned rows, int frameCol,
                       int frameRow, bool flipX, bool flipY, bool stretch, int destWidth, int destHeight,
                       CellSource* out);

// Top-left corner that centres a client area of width x height on `reference`
// (divisions truncate toward zero).
struct Point2 {
    long x, y;
};
Point2 CenteredOrigin(const Box& reference, long width, long height);

// Alpha-scale element of the colour matrix for a constant opacity 0..255.
float AlphaScale(unsigned alpha);

// True when `source` maps 1:1 onto a destination of destWidth x destHeight,
// unmirrored and inside an image of imageWidth x imageHeight: drawing it
// then copies pixels without resampling.
bool IsUnscaledInside(const CellSource& source, int destWidth, int destHeight, unsigned imageWidth,
                      unsigned imageHeight);

// Rows per band of `width` pixels that keeps a band's 32-bit pixels within
// `maxBytes` (at least one row).
int RowsPerBand(int width, int maxBytes);

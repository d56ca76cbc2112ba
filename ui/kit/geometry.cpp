#include "ui/kit/geometry.h"

bool ShrinkToCell(Box& box, unsigned cols, unsigned rows)
{
    if (cols == 0 || rows == 0)
        return false;
    // The widths are non-negative for every rectangle the toolkit builds; the
    // unsigned division matches the grid's own arithmetic.
    box.right = box.left + static_cast<long>(static_cast<unsigned long>(box.right - box.left) / cols);
    box.bottom = box.top + static_cast<long>(static_cast<unsigned long>(box.bottom - box.top) / rows);
    return true;
}

bool ComputeCellSource(unsigned imageWidth, unsigned imageHeight, unsigned cols, unsigned rows, int frameCol,
                       int frameRow, bool flipX, bool flipY, bool stretch, int destWidth, int destHeight,
                       CellSource* out)
{
    if (cols == 0 || rows == 0 || frameCol < 0 || frameRow < 0 || static_cast<unsigned>(frameCol) >= cols ||
        static_cast<unsigned>(frameRow) >= rows)
        return false;
    int cellWidth = static_cast<int>(imageWidth / cols);
    int cellHeight = static_cast<int>(imageHeight / rows);
    int width = stretch ? cellWidth : destWidth;
    int height = stretch ? cellHeight : destHeight;
    out->x = (frameCol + (flipX ? 1 : 0)) * cellWidth;
    out->y = (frameRow + (flipY ? 1 : 0)) * cellHeight;
    out->width = flipX ? -width : width;
    out->height = flipY ? -height : height;
    return true;
}

Point2 CenteredOrigin(const Box& reference, long width, long height)
{
    return {reference.left + (reference.right - reference.left - width) / 2,
            reference.top + (reference.bottom - reference.top - height) / 2};
}

float AlphaScale(unsigned alpha)
{
    return static_cast<float>(alpha) * (1.0f / 255.0f);
}

bool IsUnscaledInside(const CellSource& source, int destWidth, int destHeight, unsigned imageWidth,
                      unsigned imageHeight)
{
    if (source.width <= 0 || source.height <= 0 || source.width != destWidth || source.height != destHeight)
        return false;
    if (source.x < 0 || source.y < 0)
        return false;
    return static_cast<unsigned>(source.x) + static_cast<unsigned>(source.width) <= imageWidth &&
           static_cast<unsigned>(source.y) + static_cast<unsigned>(source.height) <= imageHeight;
}

int RowsPerBand(int width, int maxBytes)
{
    if (width <= 0)
        return 1;
    int rows = maxBytes / 4 / width;
    return rows > 0 ? rows : 1;
}

#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "Vec2.h"

// The velocity field written for other programs, cell (i, j) of a width x height field at
// i + j * width: as NumPy's .npy (float32, shape (height, width, 2), element [j, i, 0] = vx and
// [j, i, 1] = vy) or as CSV (a line "i,j,vx,vy" per cell, j-major, each float in the shortest
// form that reads back to it). docs/formats.md shows how to load them.
class VelocityExport {
public:
    static QByteArray npy(const std::vector<Vec2>& field, int width, int height);
    static QByteArray csv(const std::vector<Vec2>& field, int width, int height);
    // The form chosen by the path's suffix, .npy or .csv (any other is refused), written
    // through AtomicFile. False, with error saying why, when nothing was written.
    static bool write(const QString& path, const std::vector<Vec2>& field, int width, int height,
                      QString& error);
};

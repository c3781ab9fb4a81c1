#pragma once

#include <QJsonObject>

#include "DisplaySettings.h"
#include "JsonReader.h"

// The "display" object of scene and recording files: the panel's colouring, each value within
// the range of its control.
class DisplayJson {
public:
    // A mode outside 0 to 3, which draws as Vectors, is written as "Vectors".
    static QJsonObject write(const DisplaySettings& display);
    // Reads the members of in into display; faults go to in's error.
    static void read(JsonReader in, DisplaySettings& display);
};

#pragma once

#include "DisplaySettings.h"
#include "Recording.h"

// What a recording file holds: the session and the panel's colouring at its start.
struct RecordingDocument {
    Recording recording;
    DisplaySettings display;
};

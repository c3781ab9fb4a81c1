#pragma once

#include "DisplaySettings.h"
#include "Scene.h"

// What a scene file holds: the fluid's scene and the panel's colouring.
struct SceneDocument {
    Scene scene;
    DisplaySettings display;
};

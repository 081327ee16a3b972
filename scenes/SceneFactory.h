// SceneFactory.h -- the one place that builds scenes: a new scene for an id.
#pragma once

#include "core/SceneRequest.h"

class Scene;

// A new, unloaded scene of kind `id`; the caller owns it.
Scene* CreateScene(SceneId id);

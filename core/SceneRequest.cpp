// SceneRequest -- scene switches and quitting asked for by id.
#include "core/SceneRequest.h"

#include <utility>

namespace {
SceneRequestHandlers& Handlers() {
    static SceneRequestHandlers handlers;
    return handlers;
}
} // namespace

void RequestScene(SceneId id) {
    if (Handlers().open)
        Handlers().open(id);
}

void RequestQuit() {
    if (Handlers().quit)
        Handlers().quit();
}

void SetSceneRequestHandlers(SceneRequestHandlers handlers) {
    Handlers() = std::move(handlers);
}

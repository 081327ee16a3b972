// Scene -- base of every screen; owns the scene's post-processor.
#include "scenes/Scene.h"

#include "core/Runtime.h"
#include "render/PostProcessor.h"

Scene::~Scene() = default;

void Scene::Load() {
    postProcessor = new PostProcessor(Runtime::Get().screenWidth, Runtime::Get().screenHeight);
}

void Scene::Unload() {
    delete postProcessor;
    postProcessor = nullptr;
}

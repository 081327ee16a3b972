// Scene -- base of every screen; owns the scene's post-processor.
#include "game/Scene.h"

#include "engine/QNSystem.h"
#include "game/Game.h"
#include "render/PostProcessor.h"

Scene::~Scene() = default;

void Scene::Load() {
    const Game& game = Game::Instance();
    postProcessor = new PostProcessor(game.screenWidth, game.screenHeight, QNGetWindowWidth(),
                                      QNGetWindowHeight());
}

void Scene::Unload() {
    delete postProcessor;
    postProcessor = nullptr;
}

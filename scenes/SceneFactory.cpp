// SceneFactory -- scene ids to scene classes.
#include "scenes/SceneFactory.h"

#include "scenes/CreditsScene.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "scenes/SplashScene.h"

Scene* CreateScene(SceneId id) {
    switch (id) {
    case SceneId::Splash:
        return new SplashScene();
    case SceneId::MainMenu:
        return new MainMenu();
    case SceneId::Level:
        return new LevelScene();
    case SceneId::Credits:
        return new CreditsScene();
    }
    return nullptr;
}

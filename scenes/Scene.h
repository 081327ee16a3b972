// Scene.h -- one screen of the game (splash, main menu, level, credits).
//
// Game calls Load then Init when a scene becomes current, Update and Draw
// every ordinary frame, and Free then Unload when it is replaced. A derived
// scene that overrides Load or Unload calls the base operation too.
#pragma once

class PostProcessor;
class Sound;

class Scene {
public:
    virtual ~Scene();
    // Creates the post-processor for the screen half-size.
    virtual void Load();
    virtual void Init() = 0;
    // dt: the clamped, scaled frame time, seconds.
    virtual void Update(float dt) = 0;
    // Pass 0 draws into the post-processor's targets, pass 1 presents.
    virtual void Draw(int pass) = 0;
    virtual void Free() = 0;
    // Deletes the post-processor.
    virtual void Unload();
    // The music the scene plays, started again when sound is unmuted; null
    // for a scene without music (the level scene and the menu return theirs).
    virtual Sound* Music() { return nullptr; }

    PostProcessor* postProcessor = nullptr; // owned; null until Load
};

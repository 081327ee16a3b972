// NoticeBoard.h -- the player's notices (core/Notices.h) as lines of text
// at the bottom of the screen, newest lowest, in interface units (drawn
// under a UIZoom). The menu and the level scene each show one.
#pragma once

#include "render/TextSprite.h"

#include <memory>
#include <string>
#include <vector>

class PostProcessor;

class NoticeBoard {
public:
    // Counts the notices down by `dt` seconds and lays out what is left.
    void Update(float dt);
    // The lines into the post-processor's overlay.
    void Draw(PostProcessor* postProcessor);

    std::vector<std::unique_ptr<TextSprite>> lines; // one per notice shown

private:
    std::vector<std::string> shown; // the texts the lines were built for
};

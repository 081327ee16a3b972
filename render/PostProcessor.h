// PostProcessor.h -- a scene's off-screen render targets and the full-screen
// passes that turn them into the presented picture.
#pragma once

#include <cstdint>

class PostProcessor {
public:
    // renderWidth / renderHeight: the screen half-size (render pixels);
    // windowWidth / windowHeight: the window in pixels.
    PostProcessor(int32_t renderWidth, int32_t renderHeight, int32_t windowWidth,
                  int32_t windowHeight);
    ~PostProcessor();
    PostProcessor(const PostProcessor&) = delete;
    PostProcessor& operator=(const PostProcessor&) = delete;

    int32_t renderWidth;
    int32_t renderHeight;
    int32_t windowWidth;
    int32_t windowHeight;
};

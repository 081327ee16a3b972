// PostProcessor -- render targets and full-screen passes of a scene.
#include "render/PostProcessor.h"

PostProcessor::PostProcessor(int32_t rw, int32_t rh, int32_t ww, int32_t wh)
    : renderWidth(rw), renderHeight(rh), windowWidth(ww), windowHeight(wh) {}

PostProcessor::~PostProcessor() = default;

// Animation2D.h -- a set of horizontal frame strips, one of which plays:
// animation k shows meshes[k], textures[k] and times its frames by
// frames[k]. A one-shot stops on its last frame with `playing` false.
#pragma once

#include "render/Resources.h"
#include "render/Sprite2D.h"

#include <cstdint>
#include <vector>

class Animation2D : public Sprite2D {
public:
    // One strip; tint white.
    Animation2D(QNGfxMesh* mesh, QNGfxTexture* texture, float width, float height,
                const FrameTable& frames);
    // Several strips; tint white; with fewer meshes than textures the last
    // mesh serves the rest.
    Animation2D(const std::vector<QNGfxMesh*>& meshes, const std::vector<QNGfxTexture*>& textures,
                const std::vector<FrameTable>& frames, float width, float height);
    ~Animation2D() override;

    // Steps the current frame (at most one frame per call), then the
    // transform. dt: seconds.
    void Update(float dt, GameObject* parent) override;
    void Draw() override;
    // Switches to animation k from its first frame, looping. Selecting the
    // current animation, or one that does not exist, changes nothing.
    void SetAnimation(uint32_t k);
    // Plays animation k once from `fromFrame`, from the start even when it
    // is the current one; it stops on its last frame.
    void PlayOnce(uint32_t k, uint32_t fromFrame = 0);
    // Loops animation k: switches to it, or sets the current one looping
    // again where it stands when it had stopped or was playing once.
    void Loop(uint32_t k);
    // Animations that have a mesh, a texture and a frame table.
    uint32_t AnimationCount() const;

    std::vector<FrameTable> frames;
    uint32_t frame = 0;     // index in the current frame table
    uint32_t animation = 0; // index of the current strip
    float time = 0.0f;      // seconds spent in the current frame
    bool playing = true;
    bool playOnce = false; // stop on the last frame instead of wrapping

protected:
    // Pulls `animation` and `frame` back inside the lists (entity code
    // writes them directly); false when there is nothing to show.
    bool ClampIndices();
    // Draws the current frame of the current strip from `texture`.
    void DrawFrame(const QNGfxTexture* texture, const float* color);
};

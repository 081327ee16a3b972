// Animation2D -- frame strips played in time.
#include "render/Animation2D.h"

#include "engine/QNGraphics.h"

#include <algorithm>

namespace {
constexpr RenderColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};
} // namespace

Animation2D::Animation2D(QNGfxMesh* mesh, QNGfxTexture* texture, float width, float height,
                         const FrameTable& table)
    : Sprite2D(mesh, texture, width, height, kWhite), frames{table} {}

Animation2D::Animation2D(const std::vector<QNGfxMesh*>& meshList,
                         const std::vector<QNGfxTexture*>& textureList,
                         const std::vector<FrameTable>& tables, float width, float height)
    : Sprite2D(meshList, textureList, width, height, kWhite), frames(tables) {}

Animation2D::~Animation2D() = default;

uint32_t Animation2D::AnimationCount() const {
    return static_cast<uint32_t>(std::min({meshes.size(), textures.size(), frames.size()}));
}

bool Animation2D::ClampIndices() {
    const uint32_t count = AnimationCount();
    if (count == 0)
        return false;
    if (animation >= count)
        animation = count - 1;
    const FrameTable& table = frames[animation];
    if (table.empty())
        return false;
    if (frame >= table.size())
        frame = static_cast<uint32_t>(table.size() - 1);
    return true;
}

void Animation2D::SetAnimation(uint32_t k) {
    if (k == animation || k >= AnimationCount())
        return;
    animation = k;
    frame = 0;
    time = 0.0f;
    playing = true;
    playOnce = false;
}

void Animation2D::PlayOnce(uint32_t k, uint32_t fromFrame) {
    SetAnimation(k);
    frame = fromFrame;
    time = 0.0f;
    playing = true;
    playOnce = true;
}

void Animation2D::Loop(uint32_t k) {
    if (animation != k) {
        SetAnimation(k);
    } else if (!playing || playOnce) {
        playing = true;
        playOnce = false;
    }
}

void Animation2D::Update(float dt, GameObject* parent) {
    if (playing && ClampIndices()) {
        const FrameTable& table = frames[animation];
        time += dt;
        // The excess is dropped, so a long frame never skips a picture.
        if (time > table[frame].duration) {
            time = 0.0f;
            if (frame + 1 < table.size()) {
                ++frame;
            } else if (playOnce) {
                playing = false;
                playOnce = false;
            } else {
                frame = 0;
            }
        }
    }
    GameObject::Update(dt, parent);
}

void Animation2D::DrawFrame(const QNGfxTexture* texture, const float* color) {
    QNGfxSetTransform(matrix);
    QNGfxSetTintColor(color[0], color[1], color[2], color[3]);
    QNGfxTextureSet(texture, frames[animation][frame].offset, 0.0f);
    QNGfxMeshDraw(meshes[animation], 3);
}

void Animation2D::Draw() {
    if (ClampIndices())
        DrawFrame(textures[animation], tint);
}

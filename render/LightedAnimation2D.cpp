// LightedAnimation2D -- animations drawn into the lit images.
#include "render/LightedAnimation2D.h"

LightedAnimation2D::LightedAnimation2D(QNGfxMesh* mesh, QNGfxTexture* texture,
                                       QNGfxTexture* normalTexture, const FrameTable& table)
    : Animation2D(mesh, texture, 96.0f, 96.0f, table), normalTextures{normalTexture} {}

LightedAnimation2D::LightedAnimation2D(const std::vector<QNGfxMesh*>& meshList,
                                       const std::vector<QNGfxTexture*>& textureList,
                                       const std::vector<QNGfxTexture*>& normalList,
                                       const std::vector<FrameTable>& tables, float width,
                                       float height)
    : Animation2D(meshList, textureList, tables, width, height), normalTextures(normalList) {}

LightedAnimation2D::~LightedAnimation2D() = default;

void LightedAnimation2D::DrawPass(int mode) {
    if (!ClampIndices())
        return;
    if (mode == DiffusePass) {
        DrawFrame(textures[animation], tint);
        return;
    }
    if (animation >= normalTextures.size())
        return; // no normal strip for this animation: leave the normal image alone
    if (mode == NormalPass) {
        const float white[4] = {1.0f, 1.0f, 1.0f, tint[3]};
        DrawFrame(normalTextures[animation], white);
    } else {
        DrawFrame(normalTextures[animation], tint);
    }
}

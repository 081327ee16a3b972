// LightedAnimation2D -- animations drawn into the lit images.
#include "render/LightedAnimation2D.h"

#include "core/AssetManifest.h"
#include "render/Resources.h"

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

LightedAnimation2D* LightedAnimation2D::FromAssets(const std::vector<std::string>& files,
                                                   float width, float height) {
    std::vector<int32_t> columns;
    std::vector<std::string> normals;
    for (const std::string& file : files) {
        const AssetImage* image = FindAssetImage(file);
        columns.push_back(image ? image->frames : 1);
        normals.push_back(Resources::NormalMapName(file));
    }
    return new LightedAnimation2D(Resources::GetQuadMeshes(columns), Resources::GetTextures(files),
                                  Resources::GetTextures(normals),
                                  Resources::AssetFrameTables(files), width, height);
}

// Sprite2D -- one textured quad.
#include "render/Sprite2D.h"

#include "engine/QNGraphics.h"

Sprite2D::Sprite2D(QNGfxMesh* mesh, QNGfxTexture* texture, float width, float height,
                   const RenderColor& color)
    : Sprite2D(std::vector<QNGfxMesh*>{mesh}, std::vector<QNGfxTexture*>{texture}, width, height,
               color) {}

Sprite2D::Sprite2D(const std::vector<QNGfxMesh*>& meshList,
                   const std::vector<QNGfxTexture*>& textureList, float width, float height,
                   const RenderColor& color)
    : meshes(meshList), textures(textureList), tint{color.r, color.g, color.b, color.a} {
    while (!meshes.empty() && meshes.size() < textures.size())
        meshes.push_back(meshes.back());
    SetScale(width, height);
}

Sprite2D::~Sprite2D() = default;

void Sprite2D::Draw() {
    if (meshes.empty() || textures.empty())
        return;
    QNGfxSetTransform(matrix);
    QNGfxSetTintColor(tint[0], tint[1], tint[2], tint[3]);
    QNGfxTextureSet(textures[0], 0.0f, 0.0f);
    QNGfxMeshDraw(meshes[0], 3);
}

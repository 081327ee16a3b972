// Sprite2D.h -- one image on a unit quad: the drawn size is the object's
// scale and its position the quad's centre. Meshes and textures come from
// Game's caches and are shared, never owned.
#pragma once

#include "core/GameObject.h"
#include "render/RenderColor.h"

#include <vector>

struct QNGfxMesh;
struct QNGfxTexture;

class Sprite2D : public GameObject {
public:
    Sprite2D(QNGfxMesh* mesh, QNGfxTexture* texture, float width, float height,
             const RenderColor& tint);
    // With fewer meshes than textures the last mesh serves the rest.
    Sprite2D(const std::vector<QNGfxMesh*>& meshes, const std::vector<QNGfxTexture*>& textures,
             float width, float height, const RenderColor& tint);
    ~Sprite2D() override;

    // Draws mesh 0 with texture 0 through the engine's textured program.
    virtual void Draw();

    std::vector<QNGfxMesh*> meshes;      // not owned
    std::vector<QNGfxTexture*> textures; // not owned
    float tint[4];                       // multiplied into every texel
};

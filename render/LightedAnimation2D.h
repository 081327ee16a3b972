// LightedAnimation2D.h -- an animation with a normal-map strip for every
// diffuse strip (same frame layout), drawn into the diffuse or the normal
// image of the lighting pipeline.
#pragma once

#include "render/Animation2D.h"

class LightedAnimation2D : public Animation2D {
public:
    // Pass modes handed down by rooms and entities.
    enum PassMode { DiffusePass = 0, NormalPass = 1 };

    // One strip drawn at 96 x 96.
    LightedAnimation2D(QNGfxMesh* mesh, QNGfxTexture* texture, QNGfxTexture* normalTexture,
                       const FrameTable& frames);
    LightedAnimation2D(const std::vector<QNGfxMesh*>& meshes,
                       const std::vector<QNGfxTexture*>& textures,
                       const std::vector<QNGfxTexture*>& normalTextures,
                       const std::vector<FrameTable>& frames, float width, float height);
    ~LightedAnimation2D() override;
    // The strips `files` (names under assets/, as the asset table lists
    // them) with their normal maps, frame counts and timing from the table,
    // drawn at width x height.
    static LightedAnimation2D* FromAssets(const std::vector<std::string>& files, float width,
                                          float height);

    // Mode 0: the diffuse strip with the tint. Mode 1: the normal strip with
    // white at the tint's opacity, so a fading sprite fades out of the
    // normal image without colouring its normals. Other modes: the normal
    // strip with the tint.
    void DrawPass(int mode);

    std::vector<QNGfxTexture*> normalTextures; // not owned
};

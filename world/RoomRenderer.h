// RoomRenderer.h -- how a room draws itself: all its tiles as one mesh over
// the terrain atlas (diffuse or normal map by pass), then its torches and
// entities; the entities' unlit overlays; and one light pass per torch.
#pragma once

#include "world/RoomContents.h"

#include <vector>

class PostProcessor;
struct QNGfxMesh;
struct QNGfxTexture;

namespace LevelMap {

// One tile of the mesh: the cell's square in tile units (y up) and the
// atlas rectangle it shows (v grows downwards, the image's top row at 0).
struct TileQuad {
    float x0, y0, x1, y1; // tile units: (c, -r-1) to (c+1, -r)
    float u0, v0, u1, v1; // atlas coordinates, 0..1
};

class RoomRenderer : public virtual RoomContents {
public:
    RoomRenderer() = default;
    ~RoomRenderer() override;

    // Builds the tile mesh and fetches the atlas and its normal map. Called
    // once the map is read; a second call rebuilds.
    virtual void Init();
    // Mode 0 draws the diffuse image, any other mode the normal image.
    void Draw(int mode);
    // What entities draw unlit over the lighting.
    void DrawOverlays();
    // One light pass per torch, placed relative to the room's camera.
    void DrawLights(PostProcessor& postProcessor) const;

    // The quads of every drawable cell, row by row from the top. Empty cells
    // and ids outside the atlas draw nothing.
    std::vector<TileQuad> TileQuads() const;
    // A world point as the light pass wants it: 0..1 across the render
    // size, origin bottom left, with the camera at the centre.
    static Vec2 LightPoint(Vec2 world, Vec2 camera, float renderWidth, float renderHeight);

    // Normally one mesh; a room larger than one mesh can stage (4096 tiles)
    // is split into as many as it needs.
    std::vector<QNGfxMesh*> meshes;        // owned
    QNGfxTexture* colorTexture = nullptr;  // the terrain atlas, from the cache
    QNGfxTexture* normalTexture = nullptr; // its normal map, from the cache

private:
    void FreeMeshes();
};

} // namespace LevelMap

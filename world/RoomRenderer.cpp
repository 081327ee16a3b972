// RoomRenderer -- a room's tile mesh, lit drawing, overlays and lights.
#include "world/RoomRenderer.h"

#include "engine/QNGraphics.h"
#include "render/PostProcessor.h"
#include "render/Resources.h"

namespace LevelMap {

namespace {
// Quads one mesh can stage: six vertices each.
constexpr size_t kQuadsPerMesh = kQNGfxStagingVertices / 6;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
} // namespace

RoomRenderer::~RoomRenderer() {
    FreeMeshes();
}

void RoomRenderer::FreeMeshes() {
    for (QNGfxMesh* mesh : meshes)
        QNGfxMeshFree(mesh);
    meshes.clear();
}

std::vector<TileQuad> RoomRenderer::TileQuads() const {
    std::vector<TileQuad> quads;
    if (tilesetColumns <= 0 || tilesetRows <= 0)
        return quads;
    const uint32_t atlasTiles = static_cast<uint32_t>(tilesetColumns * tilesetRows);
    const float columns = static_cast<float>(tilesetColumns);
    const float rows = static_cast<float>(tilesetRows);
    for (int32_t r = 0; r < height; ++r) {
        for (int32_t c = 0; c < width; ++c) {
            const uint32_t tileId = TileAt(c, r);
            if (tileId == 0 || tileId > atlasTiles)
                continue;
            const uint32_t k = tileId - 1;
            const float u0 =
                static_cast<float>(k % static_cast<uint32_t>(tilesetColumns)) / columns;
            const float v0 = static_cast<float>(k / static_cast<uint32_t>(tilesetColumns)) / rows;
            const float x = static_cast<float>(c);
            const float y = static_cast<float>(-r);
            quads.push_back(
                {x, y - 1.0f, x + 1.0f, y, u0, v0, u0 + 1.0f / columns, v0 + 1.0f / rows});
        }
    }
    return quads;
}

void RoomRenderer::Init() {
    colorTexture = Resources::GetTexture(terrainImage, true);
    normalTexture = Resources::GetTexture(Resources::NormalMapName(terrainImage), true);
    FreeMeshes();
    const std::vector<TileQuad> quads = TileQuads();
    for (size_t first = 0; first < quads.size(); first += kQuadsPerMesh) {
        const size_t last = std::min(quads.size(), first + kQuadsPerMesh);
        QNGfxMeshStart();
        for (size_t i = first; i < last; ++i) {
            const TileQuad& q = quads[i];
            QNGfxTriAdd(q.x0, q.y0, kOpaqueWhite, q.u0, q.v1, q.x1, q.y0, kOpaqueWhite, q.u1, q.v1,
                        q.x0, q.y1, kOpaqueWhite, q.u0, q.v0);
            QNGfxTriAdd(q.x1, q.y0, kOpaqueWhite, q.u1, q.v1, q.x1, q.y1, kOpaqueWhite, q.u1, q.v0,
                        q.x0, q.y1, kOpaqueWhite, q.u0, q.v0);
        }
        if (QNGfxMesh* mesh = QNGfxMeshEnd())
            meshes.push_back(mesh);
    }
}

void RoomRenderer::Draw(int mode) {
    if (!meshes.empty()) {
        QNGfxSetTransform(transform);
        QNGfxSetTintColor(1.0f, 1.0f, 1.0f, 1.0f);
        QNGfxTextureSet(mode == 0 ? colorTexture : normalTexture, 0.0f, 0.0f);
        for (const QNGfxMesh* mesh : meshes)
            QNGfxMeshDraw(mesh, 3);
    }
    for (auto& torch : torches)
        torch->Draw(mode);
    for (Entity* e : entities)
        e->Draw(mode);
}

void RoomRenderer::DrawOverlays() {
    for (Entity* e : entities)
        e->DrawOverlay();
}

Vec2 RoomRenderer::LightPoint(Vec2 world, Vec2 cameraAt, float renderWidth, float renderHeight) {
    return {(world.x + renderWidth / 2.0f - cameraAt.x) / renderWidth,
            (world.y + renderHeight / 2.0f - cameraAt.y) / renderHeight};
}

void RoomRenderer::DrawLights(PostProcessor& postProcessor) const {
    const float w = static_cast<float>(postProcessor.renderWidth);
    const float h = static_cast<float>(postProcessor.renderHeight);
    for (const auto& torch : torches) {
        postProcessor.DrawLight(LightPoint(torch->position, camera.GetPosition(), w, h),
                                torch->color, torch->range, torch->strength);
    }
}

} // namespace LevelMap

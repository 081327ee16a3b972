// Resources.h -- the render caches: unit quad meshes by column count,
// textures by name, and the frame tables animations time their strips by.
// Everything asked for twice is shared. Whoever loads unloads: the
// application calls ResourcesUnload once at shut-down (the OpenGL context
// must still exist).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct QNGfxMesh;
struct QNGfxTexture;

// One frame of an animation strip.
struct FrameRecord {
    float offset;   // horizontal texture offset: index / frame count
    int32_t index;  // frame index in the strip
    float duration; // seconds
};
using FrameTable = std::vector<FrameRecord>;

namespace Resources {

// The most frames an animation strip may have: a count read from a file
// is held to it before it sizes a frame table or a mesh.
constexpr int32_t kMaxStripFrames = 256;

// Unit quad (-0.5..0.5) showing one of `columns` equal strip columns
// (held to 1..kMaxStripFrames).
QNGfxMesh* GetQuadMesh(int32_t columns);
std::vector<QNGfxMesh*> GetQuadMeshes(const std::vector<int32_t>& columns);
// Image by name: "assets/" + name when underAssets; nearest, clamped. Null
// when the file cannot be read (asked for again next time).
QNGfxTexture* GetTexture(const std::string& name, bool underAssets);
std::vector<QNGfxTexture*> GetTextures(const std::vector<std::string>& names);
// Each inner list: frame count (held to 0..kMaxStripFrames), then one
// duration per frame (or one duration for all).
std::vector<FrameTable> BuildFrameTables(const std::vector<std::vector<float>>& lists);
// The frame tables of images of the asset table, in order; a file the table
// does not list gets an empty table.
std::vector<FrameTable> AssetFrameTables(const std::vector<std::string>& files);
// "name.png" -> "name_n.png"
std::string NormalMapName(const std::string& fileName);

// Frees every cached mesh and texture.
void Unload();

// The caches themselves, for the application's forwards and for tests.
std::unordered_map<int32_t, QNGfxMesh*>& MeshCache();
std::unordered_map<std::string, QNGfxTexture*>& TextureCache();

} // namespace Resources

// Resources -- the mesh, texture and frame-table caches.
#include "render/Resources.h"

#include "core/AssetManifest.h"
#include "core/LevelPack.h"
#include "engine/QNGraphics.h"

#include <algorithm>

namespace Resources {

namespace {
struct ResourceCaches {
    std::unordered_map<int32_t, QNGfxMesh*> meshes;
    std::unordered_map<std::string, QNGfxTexture*> textures;
    ResourceCaches() {
        meshes.max_load_factor(1.0f);
        meshes.rehash(8);
        textures.max_load_factor(1.0f);
        textures.rehash(8);
    }
};

ResourceCaches& Caches() {
    static ResourceCaches caches;
    return caches;
}
} // namespace

std::unordered_map<int32_t, QNGfxMesh*>& MeshCache() {
    return Caches().meshes;
}

std::unordered_map<std::string, QNGfxTexture*>& TextureCache() {
    return Caches().textures;
}

QNGfxMesh* GetQuadMesh(int32_t columns) {
    columns = std::clamp(columns, 1, kMaxStripFrames);
    auto& cache = Caches().meshes;
    const auto found = cache.find(columns);
    if (found != cache.end())
        return found->second;
    const float u = 1.0f / static_cast<float>(columns);
    const uint32_t white = 0xFFFFFFFFu;
    QNGfxMeshStart();
    QNGfxTriAdd(-0.5f, -0.5f, white, 0.0f, 1.0f, 0.5f, -0.5f, white, u, 1.0f, -0.5f, 0.5f, white,
                0.0f, 0.0f);
    QNGfxTriAdd(0.5f, -0.5f, white, u, 1.0f, 0.5f, 0.5f, white, u, 0.0f, -0.5f, 0.5f, white, 0.0f,
                0.0f);
    QNGfxMesh* mesh = QNGfxMeshEnd();
    if (mesh)
        cache[columns] = mesh;
    return mesh;
}

std::vector<QNGfxMesh*> GetQuadMeshes(const std::vector<int32_t>& columns) {
    std::vector<QNGfxMesh*> meshes;
    meshes.reserve(columns.size());
    for (int32_t c : columns)
        meshes.push_back(GetQuadMesh(c));
    return meshes;
}

QNGfxTexture* GetTexture(const std::string& name, bool underAssets) {
    auto& cache = Caches().textures;
    // While a level pack is played a picture is kept by the file it came
    // from: the pack may draw its own under a name the story uses.
    const std::string path = underAssets ? LevelPack::AssetFile(name) : name;
    const std::string key = LevelPack::Current().empty() ? name : path;
    const auto found = cache.find(key);
    if (found != cache.end())
        return found->second;
    QNGfxTexture* texture = QNGfxTextureLoad(path.c_str());
    if (texture) {
        glBindTexture(GL_TEXTURE_2D, *texture->id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        cache[key] = texture;
    }
    return texture;
}

std::vector<QNGfxTexture*> GetTextures(const std::vector<std::string>& names) {
    std::vector<QNGfxTexture*> textures;
    textures.reserve(names.size());
    for (const std::string& n : names)
        textures.push_back(GetTexture(n, true));
    return textures;
}

std::vector<FrameTable> BuildFrameTables(const std::vector<std::vector<float>>& lists) {
    std::vector<FrameTable> tables;
    tables.reserve(lists.size());
    for (const auto& list : lists) {
        FrameTable table;
        // Checked before the conversion: a float beyond int range has none.
        const float asked = list.empty() ? 0.0f : list[0];
        const int32_t count =
            asked >= 1.0f ? static_cast<int32_t>(std::min(asked, float(kMaxStripFrames))) : 0;
        const size_t durations = list.empty() ? 0 : list.size() - 1;
        for (int32_t i = 0; i < count; ++i) {
            float duration = 0.0f;
            if (durations >= static_cast<size_t>(count))
                duration = list[1 + static_cast<size_t>(i)];
            else if (durations > 0)
                duration = list[1];
            table.push_back(
                {static_cast<float>(i) * (1.0f / static_cast<float>(count)), i, duration});
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

std::vector<FrameTable> AssetFrameTables(const std::vector<std::string>& files) {
    std::vector<std::vector<float>> lists;
    lists.reserve(files.size());
    for (const std::string& file : files) {
        const AssetImage* image = FindAssetImage(file);
        lists.push_back(image ? image->FrameList() : std::vector<float>{});
    }
    return BuildFrameTables(lists);
}

std::string NormalMapName(const std::string& fileName) {
    if (fileName.size() < 4)
        return fileName + "_n";
    return fileName.substr(0, fileName.size() - 4) + "_n" + fileName.substr(fileName.size() - 4);
}

void Unload() {
    auto& caches = Caches();
    for (auto& entry : caches.textures)
        QNGfxTextureUnload(entry.second);
    caches.textures.clear();
    for (auto& entry : caches.meshes)
        QNGfxMeshFree(entry.second);
    caches.meshes.clear();
}

} // namespace Resources

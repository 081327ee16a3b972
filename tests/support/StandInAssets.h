// StandInAssets.h -- game objects built from the asset table without an
// OpenGL context: stand-in meshes and textures are put into the render
// caches for every image of the table (and its normal map), so constructors
// that load their visuals succeed. Objects made this way can be stepped and
// tested but never drawn. Only the entries it added are taken out again.
#pragma once

#include "core/AssetManifest.h"
#include "engine/QNGraphics.h"
#include "render/Resources.h"

#include <string>
#include <vector>

class StandInAssets {
public:
    StandInAssets() {
        auto& meshes = Resources::MeshCache();
        for (int32_t columns = 1; columns <= kMostColumns; ++columns) {
            if (meshes.emplace(columns, &mesh).second)
                addedMeshes.push_back(columns);
        }
        auto& textures = Resources::TextureCache();
        for (const AssetImage& image : AssetImages()) {
            for (const std::string& name :
                 {std::string(image.file), Resources::NormalMapName(image.file)}) {
                if (textures.emplace(name, &texture).second)
                    addedTextures.push_back(name);
            }
        }
    }
    ~StandInAssets() {
        for (int32_t columns : addedMeshes)
            Resources::MeshCache().erase(columns);
        for (const std::string& name : addedTextures)
            Resources::TextureCache().erase(name);
    }
    StandInAssets(const StandInAssets&) = delete;
    StandInAssets& operator=(const StandInAssets&) = delete;

private:
    static constexpr int32_t kMostColumns = 16;
    QNGfxMesh mesh{};
    QNGfxTexture texture{};
    std::vector<int32_t> addedMeshes;
    std::vector<std::string> addedTextures;
};

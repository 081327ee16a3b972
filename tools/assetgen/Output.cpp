// Output -- writing images with their normal maps, checked against the table.
#include "Output.h"

#include "core/AssetManifest.h"

#include <cstdio>
#include <filesystem>
#include <zlib.h>

namespace {
// The game's images are deflated as tightly as zlib packs them: pixel art
// with flat colours shrinks over thirty times (30 MB of images to under
// 1 MB), and the few images a screen opens are inflated in milliseconds.
constexpr int kGamePngLevel = Z_BEST_COMPRESSION;
} // namespace

std::string Output::PathOf(const std::string& file) const {
    const std::filesystem::path path = std::filesystem::path(dir_) / file;
    std::filesystem::create_directories(path.parent_path());
    return path.string();
}

void Output::Fail(const std::string& message) {
    std::fprintf(stderr, "assetgen: %s\n", message.c_str());
    ++failures_;
}

bool Output::Matches(const std::string& file, const Image& image) const {
    const AssetImage* entry = FindAssetImage(file);
    if (!entry) {
        std::fprintf(stderr, "assetgen: %s is not in the asset table\n", file.c_str());
        return false;
    }
    if (image.width != entry->StripWidth() || image.height != entry->frameHeight) {
        std::fprintf(stderr, "assetgen: %s is %dx%d, the table says %dx%d\n", file.c_str(),
                     image.width, image.height, entry->StripWidth(), entry->frameHeight);
        return false;
    }
    return true;
}

void Output::LitStrip(const std::string& file, const std::vector<Canvas>& frames, int scale) {
    std::vector<Image> diffuse(frames.size()), normal(frames.size());
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i].Finish(scale, diffuse[i], normal[i]);
    Sheet sheet{file, JoinStrip(diffuse), JoinStrip(normal), static_cast<int>(frames.size())};
    if (!Matches(file, sheet.diffuse))
        ++failures_;
    if (!WriteGamePng(PathOf(file), sheet.diffuse, kGamePngLevel) ||
        !WriteGamePng(PathOf(AssetNormalMapName(file)), sheet.normal, kGamePngLevel))
        Fail("cannot write " + file);
    written_.push_back(std::move(sheet));
}

void Output::LitImage(const std::string& file, const Image& diffuse, const Image& normal) {
    const AssetImage* entry = FindAssetImage(file);
    if (!Matches(file, diffuse))
        ++failures_;
    if (!WriteGamePng(PathOf(file), diffuse, kGamePngLevel) ||
        !WriteGamePng(PathOf(AssetNormalMapName(file)), normal, kGamePngLevel))
        Fail("cannot write " + file);
    written_.push_back(Sheet{file, diffuse, normal, entry ? entry->frames : 1});
}

void Output::FlatImage(const std::string& file, const Image& image) {
    const AssetImage* entry = FindAssetImage(file);
    if (!Matches(file, image))
        ++failures_;
    if (!WriteGamePng(PathOf(file), image, kGamePngLevel))
        Fail("cannot write " + file);
    written_.push_back(Sheet{file, image, Image(), entry ? entry->frames : 1});
}

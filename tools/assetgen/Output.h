// Output.h -- where the generator writes, and what the contact sheet shows.
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

class Output {
public:
    explicit Output(std::string dir) : dir_(std::move(dir)) {}

    // A lit strip: each canvas is one frame, finished at `scale` texels per
    // cell, written as the image and its "_n" normal map.
    void LitStrip(const std::string& file, const std::vector<Canvas>& frames, int scale);
    // A lit image assembled elsewhere, with its normal map.
    void LitImage(const std::string& file, const Image& diffuse, const Image& normal);
    // An unlit image or strip, already in texels.
    void FlatImage(const std::string& file, const Image& image);
    // Any other file (sounds, music, the icon, the noise bitmap).
    std::string PathOf(const std::string& file) const;

    // Checks the image against the shared asset table; false (and a report)
    // when its size or frame count differs.
    bool Matches(const std::string& file, const Image& image) const;

    struct Sheet {
        std::string file;
        Image diffuse, normal; // normal empty for unlit images
        int frames = 1;
    };
    const std::vector<Sheet>& Written() const { return written_; }
    int Failures() const { return failures_; }
    void Fail(const std::string& message);

private:
    std::string dir_;
    std::vector<Sheet> written_;
    int failures_ = 0;
};

// The generator's parts, each writing its share of the manifest.
void MakeCharacters(Output& out);
void MakeProps(Output& out);
void MakeTerrain(Output& out);
void MakeInterface(Output& out, const std::string& fontPath);
void MakeSounds(Output& out);
void MakeMusic(Output& out);
void MakeContactSheet(Output& out, const std::string& fontPath);

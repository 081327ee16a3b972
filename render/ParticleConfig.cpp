// ParticleConfig -- particle system files and their cache.
#include "render/ParticleConfig.h"

#include "core/DataFile.h"
#include "core/LevelPack.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <tinyxml2.h>
#include <unordered_map>

namespace {

std::unordered_map<std::string, std::unique_ptr<ParticleConfig>>& Cache() {
    static std::unordered_map<std::string, std::unique_ptr<ParticleConfig>> cache;
    return cache;
}

// No particle value is sensibly larger: sizes, speeds and colours far
// beyond it only overflow the arithmetic of a frame into infinities.
constexpr double kLargestValue = 100000.0;

std::string FormatVector(const float* v, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "," : "") + FormatNumber(static_cast<double>(v[i]));
    return text;
}

// A vector attribute; one that cannot be used keeps the default in `out`
// and is named on the console.
void ReadVector(const tinyxml2::XMLElement* e, const std::string& path, const char* name,
                float* out, int count) {
    const char* text = e->Attribute(name);
    if (!text)
        return;
    float read[4] = {};
    if (ParseParticleVector(text, read, count)) {
        std::copy(read, read + count, out);
        return;
    }
    ReportUnusableValue("PARTICLES", path, name, text,
                        "is not " + std::to_string(count) + " finite numbers within +-" +
                            FormatNumber(kLargestValue),
                        FormatVector(out, count));
}

void ReadVec2(const tinyxml2::XMLElement* e, const std::string& path, const char* name, Vec2& v) {
    ReadVector(e, path, name, &v.x, 2);
}

void ReadColor(const tinyxml2::XMLElement* e, const std::string& path, const char* name,
               RenderColor& c) {
    ReadVector(e, path, name, &c.r, 4);
}

// The rate counts the particles of a one-shot burst and paces a stream:
// "inf" or 1e30 would emit forever. A rate beyond kMaxEmissionRate is held
// to it; one that is no number emits nothing; both with a word on the
// console.
float ReadEmissionRate(const tinyxml2::XMLElement* e, const std::string& path) {
    const char* text = e->Attribute("EmissionRate");
    if (!text)
        return 0.0f;
    char* stop = nullptr;
    const double rate = std::strtod(text, &stop);
    if (stop == text || !std::isfinite(rate) || rate < 0.0) {
        ReportUnusableValue("PARTICLES", path, "EmissionRate", text, "is not a number of particles",
                            "0");
        return 0.0f;
    }
    if (rate > ParticleConfig::kMaxEmissionRate) {
        std::fprintf(stderr, "PARTICLES: %s: EmissionRate %s is held to %g per second\n",
                     path.c_str(), text, static_cast<double>(ParticleConfig::kMaxEmissionRate));
        return ParticleConfig::kMaxEmissionRate;
    }
    return static_cast<float>(rate);
}

// A single number; the default when it cannot be used, with a word.
float ReadFloat(const tinyxml2::XMLElement* e, const std::string& path, const char* name) {
    return static_cast<float>(CheckedNumber("PARTICLES", path, name, e->Attribute(name),
                                            -kLargestValue, kLargestValue, 0.0));
}

} // namespace

bool ParseParticleVector(const char* text, float* out, int count) {
    const char* at = text;
    for (int i = 0; i < count; ++i) {
        char* stop = nullptr;
        errno = 0;
        const double value = std::strtod(at, &stop);
        if (stop == at || errno == ERANGE || !std::isfinite(value) ||
            std::fabs(value) > kLargestValue)
            return false;
        out[i] = static_cast<float>(value);
        at = *stop ? stop + 1 : stop; // skip the one separator
    }
    return true;
}

ParticleConfig ParticleConfig::Load(const std::string& path) {
    tinyxml2::XMLDocument doc;
    const XmlLoad load = LoadXmlFile(doc, path, kAssetFileLimit);
    if (load.missing)
        throw std::runtime_error("Cannot find " + path);
    if (!load.ok)
        throw std::runtime_error(path + " " + load.problem);
    const tinyxml2::XMLElement* e = doc.FirstChildElement("particleSystem");
    if (!e)
        throw std::runtime_error(path + " is not a particle system");

    ParticleConfig c;
    if (const char* texture = e->Attribute("Texture"))
        c.texture = texture;
    c.additive = e->BoolAttribute("Additive", false);
    c.oneShot = e->BoolAttribute("OneShot", false);
    c.emissionRate = ReadEmissionRate(e, path);
    c.timeBetweenEmit = ReadFloat(e, path, "TimeBetweenEmit");
    const char* type = e->Attribute("Type");
    c.circular = type && std::string(type) == "circular";
    ReadVec2(e, path, "PositionOffset", c.positionOffset);
    ReadVec2(e, path, "PositionVariation", c.positionVariation);
    ReadVec2(e, path, "Velocity", c.velocity);
    ReadVec2(e, path, "VelocityVariation", c.velocityVariation);
    ReadVec2(e, path, "RotationSpeedVariation", c.rotationSpeedVariation);
    ReadVec2(e, path, "Scale", c.scale);
    ReadVec2(e, path, "ScaleVariation", c.scaleVariation);
    ReadVec2(e, path, "ScaleVelocityVariation", c.scaleVelocityVariation);
    ReadColor(e, path, "Color", c.color);
    ReadColor(e, path, "ColorSpeed", c.colorSpeed);
    ReadVec2(e, path, "PositionAcceleration", c.positionAcceleration);
    c.rotationAcceleration = ReadFloat(e, path, "RotationAcceleration");
    ReadVec2(e, path, "ScaleAcceleration", c.scaleAcceleration);
    ReadColor(e, path, "ColorAcceleration", c.colorAcceleration);
    c.interval = 1.0f / c.emissionRate;
    return c;
}

const ParticleConfig& ParticleConfig::Get(const std::string& name) {
    auto& cache = Cache();
    const auto found = cache.find(name);
    if (found != cache.end())
        return *found->second;
    auto config =
        std::make_unique<ParticleConfig>(Load(LevelPack::AssetFile("particles/" + name + ".xml")));
    const ParticleConfig& ref = *config;
    cache.emplace(name, std::move(config));
    return ref;
}

void ParticleConfig::ClearCache() {
    Cache().clear();
}

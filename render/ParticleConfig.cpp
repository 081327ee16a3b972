// ParticleConfig -- particle system files and their cache.
#include "render/ParticleConfig.h"

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

// One number as the standard string-to-float conversion reads it; `end`
// gets the character after it.
float ReadNumber(const char* text, const char** end) {
    char* stop = nullptr;
    errno = 0;
    const float value = std::strtof(text, &stop);
    // strtof also reads "nan" and "inf"; a particle never wants them.
    if (stop == text || !std::isfinite(value))
        throw std::invalid_argument("invalid stof argument");
    if (errno == ERANGE)
        throw std::out_of_range("stof argument out of range");
    *end = stop;
    return value;
}

void ReadVector(const tinyxml2::XMLElement* e, const char* name, float* out, int count) {
    if (const char* text = e->Attribute(name))
        ParseParticleVector(text, out, count);
}

void ReadVec2(const tinyxml2::XMLElement* e, const char* name, Vec2& v) {
    ReadVector(e, name, &v.x, 2);
}

void ReadColor(const tinyxml2::XMLElement* e, const char* name, RenderColor& c) {
    ReadVector(e, name, &c.r, 4);
}

// The rate counts the particles of a one-shot burst and paces a stream:
// "inf" or 1e30 would emit forever. Not a number is refused; a rate beyond
// kMaxEmissionRate is held to it, with a word on the console.
float ReadEmissionRate(const tinyxml2::XMLElement* e, const std::string& path) {
    const char* text = e->Attribute("EmissionRate");
    if (!text)
        return 0.0f;
    char* stop = nullptr;
    const double rate = std::strtod(text, &stop);
    if (stop == text || !std::isfinite(rate))
        throw std::runtime_error(path + ": EmissionRate \"" + text + "\" is not a number");
    if (rate > ParticleConfig::kMaxEmissionRate) {
        std::fprintf(stderr, "PARTICLES: %s: EmissionRate %s is held to %g per second\n",
                     path.c_str(), text, static_cast<double>(ParticleConfig::kMaxEmissionRate));
        return ParticleConfig::kMaxEmissionRate;
    }
    return static_cast<float>(rate);
}

} // namespace

void ParseParticleVector(const char* text, float* out, int count) {
    const char* at = text;
    for (int i = 0; i < count; ++i) {
        const char* end = nullptr;
        out[i] = ReadNumber(at, &end);
        at = *end ? end + 1 : end; // skip the one separator
    }
}

ParticleConfig ParticleConfig::Load(const std::string& path) {
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLError status = doc.LoadFile(path.c_str());
    if (status == tinyxml2::XML_ERROR_FILE_NOT_FOUND ||
        status == tinyxml2::XML_ERROR_FILE_COULD_NOT_BE_OPENED ||
        status == tinyxml2::XML_ERROR_FILE_READ_ERROR)
        throw std::runtime_error("Cannot find " + path);
    const tinyxml2::XMLElement* e =
        status == tinyxml2::XML_SUCCESS ? doc.FirstChildElement("particleSystem") : nullptr;
    if (!e)
        throw std::runtime_error(path + " is not a particle system");

    ParticleConfig c;
    if (const char* texture = e->Attribute("Texture"))
        c.texture = texture;
    c.additive = e->BoolAttribute("Additive", false);
    c.oneShot = e->BoolAttribute("OneShot", false);
    c.emissionRate = ReadEmissionRate(e, path);
    c.timeBetweenEmit = e->FloatAttribute("TimeBetweenEmit", 0.0f);
    const char* type = e->Attribute("Type");
    c.circular = type && std::string(type) == "circular";
    ReadVec2(e, "PositionOffset", c.positionOffset);
    ReadVec2(e, "PositionVariation", c.positionVariation);
    ReadVec2(e, "Velocity", c.velocity);
    ReadVec2(e, "VelocityVariation", c.velocityVariation);
    ReadVec2(e, "RotationSpeedVariation", c.rotationSpeedVariation);
    ReadVec2(e, "Scale", c.scale);
    ReadVec2(e, "ScaleVariation", c.scaleVariation);
    ReadVec2(e, "ScaleVelocityVariation", c.scaleVelocityVariation);
    ReadColor(e, "Color", c.color);
    ReadColor(e, "ColorSpeed", c.colorSpeed);
    ReadVec2(e, "PositionAcceleration", c.positionAcceleration);
    c.rotationAcceleration = e->FloatAttribute("RotationAcceleration", 0.0f);
    ReadVec2(e, "ScaleAcceleration", c.scaleAcceleration);
    ReadColor(e, "ColorAcceleration", c.colorAcceleration);
    c.interval = 1.0f / c.emissionRate;
    return c;
}

const ParticleConfig& ParticleConfig::Get(const std::string& name) {
    auto& cache = Cache();
    const auto found = cache.find(name);
    if (found != cache.end())
        return *found->second;
    auto config = std::make_unique<ParticleConfig>(Load("assets/particles/" + name + ".xml"));
    const ParticleConfig& ref = *config;
    cache.emplace(name, std::move(config));
    return ref;
}

void ParticleConfig::ClearCache() {
    Cache().clear();
}

// Torch -- flickering wall torches, the lights of every room.
#include "world/Torch.h"

#include "render/Camera.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"
#include "render/Resources.h"
#include "world/RoomContents.h"
#include "world/RoomObjects.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace LevelMap {

namespace {
constexpr float kTwoPi = 6.283185f;

// The flicker draws from this module's own generator.
std::mt19937& Random() {
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

float Uniform(float a, float b) {
    return std::uniform_real_distribution<float>(a, b)(Random());
}
} // namespace

Torch::Torch(const std::string& particleName)
    : embers(std::make_unique<ParticleSystem>(particleName, true, Vec2{0.0f, 0.0f})),
      phase(Uniform(0.0f, kTwoPi)), speed(Uniform(0.5f, 1.5f)) {}

Torch::~Torch() = default;

void Torch::ReadProperties(const RoomObject& object) {
    const Vec2 size = object.size;
    color.r = object.Float("Color.R");
    color.g = object.Float("Color.G");
    color.b = object.Float("Color.B");
    baseStrength = object.Float("Strength");
    strength = baseStrength;
    baseRange = object.Float("Range");
    range = baseRange;
    const std::string image = RoomImageName(object.String("TextureName"));
    const int32_t frames = std::max(object.Int("Frames"), 1);
    const std::vector<FrameTable> tables =
        Resources::BuildFrameTables({{static_cast<float>(frames), object.Float("FrameDelay")}});
    picture = std::make_unique<LightedAnimation2D>(
        std::vector<QNGfxMesh*>{Resources::GetQuadMesh(frames)},
        std::vector<QNGfxTexture*>{Resources::GetTexture(image, true)},
        std::vector<QNGfxTexture*>{Resources::GetTexture(Resources::NormalMapName(image), true)},
        tables, size.x, size.y);
    center += Vec2{size.x / 2.0f, -size.y / 2.0f};
    picture->SetPosition(center);
    position = center + Vec2{0.0f, kLightHeight};
    // Embers rise from the flame at the top of the picture.
    embers->PlaceAt(center + Vec2{0.0f, size.y / 4.0f});
}

void Torch::Update(float dt, Camera& camera) {
    phase += dt * speed;
    if (phase > kTwoPi) {
        phase -= kTwoPi;
        speed = Uniform(0.5f, 1.5f);
    }
    const float c = std::cos(phase);
    strength = baseStrength + 0.015f * c;
    range = baseRange - 0.05f * c;
    position = {center.x + 4.0f * std::sin(phase),
                center.y + 4.0f * std::cos(2.0f * phase) + kLightHeight};
    if (picture)
        picture->Update(dt, &camera);
    // Embers are drawn in view space: keep the live ones on the world spot
    // they left when the view moves.
    embers->FollowView(camera.GetPosition());
    embers->Update(dt);
}

void Torch::Draw(int mode) {
    if (picture)
        picture->DrawPass(mode);
    if (mode == 0)
        embers->Draw();
}

void Torch::ClearParticles() {
    embers->Clear();
}

} // namespace LevelMap

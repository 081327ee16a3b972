// One room frame of a big fight: 50 soldiers chasing and shooting at Blade
// as he circles a 32 x 32 room with pillars, 20 projectiles in flight (15
// bullets, 5 grenades and their gas clouds with particles), then the room's
// bookkeeping: the list sorted, who stands where, bodies pushed off Blade.
// Visuals are stand-ins, so nothing is drawn and no display is needed; run
// from the build directory (it reads the particle files under assets/).
#include "core/Runtime.h"
#include "entities/BasicEnemy.h"
#include "entities/BiohazardEnemy.h"
#include "entities/HeavyEnemy.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "entities/ProjectilePool.h"
#include "render/Particle.h"
#include "render/ParticleSystem.h"
#include "world/Room.h"

#include "tests/support/StandInAssets.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

constexpr int32_t kRoomId = 7;
constexpr int32_t kCells = 32;
constexpr float kTile = 48.0f;
constexpr float kFrame = 1.0f / 60.0f;

// The level as the room's entities see it: this one room.
class FightLevel : public LevelServices {
public:
    explicit FightLevel(LevelMap::Room& r) : room(r) { LevelServices::current = this; }
    ~FightLevel() override { LevelServices::current = nullptr; }
    EntityList* RoomEntities(int32_t) override { return &room.entities; }
    Vec2 CursorInRoom(int32_t) const override { return room.camera.GetPosition(); }
    LevelMap::WallHit Raycast(int32_t, Vec2 a, Vec2 b) const override { return room.Raycast(a, b); }
    bool IsWalkable(int32_t, Vec2 p) const override { return room.IsWalkable(p); }
    LevelMap::WallHit ResolveWalls(int32_t, const Circle2D& body) const override {
        return room.ResolveWalls(body);
    }
    void FindPath(int32_t, std::deque<Vec2>& path, const Collider2D* mover, Vec2 start,
                  Vec2 goal) override {
        ++searches;
        path.clear();
        room.FindPath(path, mover, start, goal);
    }
    Player* LevelPlayer() override { return room.player; }

    size_t searches = 0; // path requests so far

private:
    LevelMap::Room& room;
};

// A walled 32 x 32 room with a grid of 2 x 2 pillars to hide behind.
void BuildRoom(LevelMap::Room& room) {
    room.id = kRoomId;
    room.tileWidth = room.tileHeight = static_cast<int32_t>(kTile);
    room.walkable = {1, 0};
    room.width = room.height = kCells;
    room.tiles.assign(kCells * kCells, 1);
    for (int32_t r = 0; r < kCells; ++r) {
        for (int32_t c = 0; c < kCells; ++c) {
            const bool border = r == 0 || c == 0 || r == kCells - 1 || c == kCells - 1;
            const bool pillar = r % 8 >= 3 && r % 8 <= 4 && c % 8 >= 3 && c % 8 <= 4;
            if (border || pillar)
                room.tiles[static_cast<size_t>(r * kCells + c)] = 2;
        }
    }
    room.RoomPathing::Init();
}

class Fight {
public:
    Fight() : level(room) {
        Runtime::Get().timeScale = 1.0f;
        BuildRoom(room);
        blade = new Player(kRoomId);
        room.player = blade;
        room.entities.push_back(blade);
        blade->SetPosition(Centre());
        std::mt19937 random(5);
        std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
        std::uniform_real_distribution<float> distance(120.0f, 360.0f);
        while (soldiers.size() < 50) {
            const float a = angle(random);
            const Vec2 at = Centre() + Vec2{std::cos(a), std::sin(a)} * distance(random);
            if (!room.IsWalkable(at))
                continue;
            Enemy* e = nullptr;
            if (soldiers.size() % 10 == 0)
                e = new HeavyEnemy(kRoomId, at);
            else if (soldiers.size() % 10 == 1)
                e = new BiohazardEnemy(kRoomId, at);
            else
                e = new BasicEnemy(kRoomId, at, false);
            soldiers.push_back(e);
            room.entities.push_back(e);
        }
    }
    ~Fight() {
        // The room deletes what it holds; the pool owns the projectiles.
        room.entities.clear();
        delete blade;
        for (Enemy* e : soldiers)
            delete e;
        room.player = nullptr;
        ProjectilePool::Clear();
        ParticlePoolClear();
    }

    Vec2 Centre() const { return {kCells * kTile / 2.0f, -kCells * kTile / 2.0f}; }

    // Blade circles the middle of the room at walking pace and never falls;
    // the air holds 15 bullets and 5 grenades or clouds.
    void Prepare() {
        ++frame;
        const float a = static_cast<float>(frame) * kFrame * (120.0f / 200.0f);
        blade->SetPosition(Centre() + Vec2{std::cos(a), std::sin(a)} * 200.0f);
        blade->health = 1.0f;
        size_t bullets = 0, grenades = 0;
        for (Entity* e : room.entities) {
            if (e->kind != KindProjectile)
                continue;
            if (static_cast<Projectile*>(e)->projectileKind == ProjectileGrenade)
                ++grenades;
            else
                ++bullets;
        }
        for (size_t i = 0; bullets + i < 15; ++i)
            Fire(ProjectileBullet);
        for (size_t i = 0; grenades + i < 5; ++i)
            Fire(ProjectileGrenade);
    }
    void Fire(int32_t kind) {
        Enemy* from = soldiers[static_cast<size_t>(shooter++) % soldiers.size()];
        from->Shoot(blade->GetPosition() - from->GetPosition(), kind, 0.0f,
                    kind == ProjectileBullet ? 400.0f : 200.0f, -0.01f, room.entities);
    }
    size_t Count(EntityKind kind) const {
        size_t n = 0;
        for (Entity* e : room.entities)
            n += e->kind == kind ? 1 : 0;
        return n;
    }
    size_t Particles() const {
        size_t n = 0;
        for (Entity* e : room.entities) {
            if (e->kind == KindProjectile) {
                if (const ParticleSystem* gas = static_cast<Projectile*>(e)->gasParticles)
                    n += gas->particles.size();
            }
        }
        return n;
    }

    StandInAssets assets;
    LevelMap::Room room;
    FightLevel level;
    Player* blade = nullptr;
    std::vector<Enemy*> soldiers;
    int frame = 0;
    int shooter = 0;
};

} // namespace

static void BM_RoomFrameWithFiftyEnemies(benchmark::State& state) {
    Fight fight;
    // Let the fight get going: soldiers on their paths, clouds of gas.
    for (int i = 0; i < 300; ++i) {
        fight.Prepare();
        fight.room.Update(kFrame);
    }
    size_t projectiles = 0, particles = 0, chasing = 0, frames = 0;
    const size_t searchesBefore = fight.level.searches;
    for (auto _ : state) {
        state.PauseTiming();
        fight.Prepare();
        state.ResumeTiming();
        fight.room.Update(kFrame);
        state.PauseTiming();
        projectiles += fight.Count(KindProjectile);
        particles += fight.Particles();
        for (const Enemy* e : fight.soldiers)
            chasing += e->state == EnemyChase ? 1 : 0;
        ++frames;
        state.ResumeTiming();
    }
    const double n = static_cast<double>(frames);
    state.counters["projectiles"] = static_cast<double>(projectiles) / n;
    state.counters["particles"] = static_cast<double>(particles) / n;
    state.counters["chasing"] = static_cast<double>(chasing) / n;
    state.counters["enemies"] = static_cast<double>(fight.soldiers.size());
    state.counters["searches"] = static_cast<double>(fight.level.searches - searchesBefore) / n;
}
BENCHMARK(BM_RoomFrameWithFiftyEnemies)->Unit(benchmark::kMicrosecond);

// The entity model: the health channel, the room list contract, static
// scenery and gates that open once their room is cleared.
#include "core/AABB.h"
#include "core/Circle2D.h"
#include "engine/QNGraphics.h"
#include "entities/Gate.h"
#include "entities/LevelServices.h"
#include "render/LightedAnimation2D.h"
#include "render/Resources.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

// Stand-ins: nothing here draws.
QNGfxMesh mesh{};
QNGfxTexture texture{};

// An entity whose Update follows a script: it logs its name, may leave the
// list, may append a newcomer.
class ScriptedEntity : public RenderableEntity {
public:
    ScriptedEntity(std::string entityName, std::vector<std::string>& updateLog,
                   EntityKind entityKind = KindEnemy)
        : RenderableEntity(1, entityKind, new Sprite2D(&mesh, &texture, 10, 10, {1, 1, 1, 1})),
          name(std::move(entityName)), log(updateLog) {}

    bool Update(float dt, GameObject* parent, EntityList* list) override {
        RenderableEntity::Update(dt, parent, list);
        log.push_back(name);
        if (append) {
            list->push_back(append);
            append = nullptr;
        }
        return !leave;
    }

    std::string name;
    std::vector<std::string>& log;
    bool leave = false;
    Entity* append = nullptr; // appended once during the next update
};

LightedAnimation2D* GateStrip() {
    return new LightedAnimation2D(&mesh, &texture, &texture,
                                  Resources::BuildFrameTables({{4, 0.08f}})[0]);
}

// The level as gates see it: rooms by number.
class RoomTable : public LevelServices {
public:
    EntityList* RoomEntities(int32_t roomId) override {
        auto it = rooms.find(roomId);
        return it == rooms.end() ? nullptr : it->second;
    }
    Vec2 CursorInRoom(int32_t) const override { return {0.0f, 0.0f}; }
    LevelMap::WallHit Raycast(int32_t, Vec2, Vec2) const override { return {}; }

    std::map<int32_t, EntityList*> rooms;
};

TEST(EntityTest, ChangeHealthScalesByDamageFactorAndClamps) {
    struct Case {
        float health, factor, delta, expected;
    };
    const Case cases[] = {
        {1.0f, 1.0f, -0.25f, 0.75f}, {1.0f, 0.5f, -0.5f, 0.75f}, {0.2f, 1.0f, -1.0f, 0.0f},
        {0.9f, 1.0f, 0.5f, 1.0f},    {0.5f, 0.0f, -1.0f, 0.5f},
    };
    std::vector<std::string> log;
    for (const Case& c : cases) {
        ScriptedEntity e("e", log);
        e.health = c.health;
        e.damageFactor = c.factor;
        e.ChangeHealth(c.delta, nullptr);
        EXPECT_FLOAT_EQ(e.health, c.expected) << c.health << " " << c.factor << " " << c.delta;
        EXPECT_EQ(e.IsDead(), c.expected <= 0.0f);
    }
}

TEST(EntityTest, TransformSlotsForwardToTheVisual) {
    std::vector<std::string> log;
    ScriptedEntity e("e", log);
    e.sprite->dirty = 0;
    e.SetPosition(Vec2{3.0f, -4.0f});
    EXPECT_EQ(e.sprite->dirty, 1);
    e.SetScale(2.0f, 5.0f);
    e.SetRotation(0.5f);
    EXPECT_EQ(e.GetPosition(), (Vec2{3.0f, -4.0f}));
    EXPECT_EQ(e.sprite->GetScale(), (Vec2{2.0f, 5.0f}));
    EXPECT_EQ(e.GetRotation(), 0.5f);
    EXPECT_EQ(e.GetCollider(), nullptr);
}

// ---------------------------------------------------------------------------
// The room list contract
// ---------------------------------------------------------------------------
class EntityListTest : public ::testing::Test {
protected:
    ScriptedEntity* Make(const std::string& name) {
        owned.push_back(std::make_unique<ScriptedEntity>(name, log));
        return owned.back().get();
    }
    std::vector<std::string> log;
    std::vector<std::unique_ptr<ScriptedEntity>> owned;
};

TEST_F(EntityListTest, MembersLeavingDuringTheScanAreNeitherSkippedNorRepeated) {
    // Which members leave, and the order the survivors keep.
    struct Case {
        std::vector<bool> leaves;
        std::vector<std::string> remaining;
    };
    const Case cases[] = {
        {{false, true, false}, {"0", "2"}},
        {{false, false, true}, {"0", "1"}}, // the last member: the scan just ends
        {{true, true, false}, {"2"}},
        {{true, true, true}, {}},
    };
    for (const Case& c : cases) {
        log.clear();
        EntityList list;
        for (size_t i = 0; i < c.leaves.size(); ++i) {
            ScriptedEntity* e = Make(std::to_string(i));
            e->leave = c.leaves[i];
            list.push_back(e);
        }
        std::vector<Entity*> removed;
        UpdateEntityList(list, 0.016f, nullptr, [&](Entity* e) { removed.push_back(e); });
        EXPECT_EQ(log, (std::vector<std::string>{"0", "1", "2"}));
        std::vector<std::string> names;
        for (Entity* e : list)
            names.push_back(static_cast<ScriptedEntity*>(e)->name);
        EXPECT_EQ(names, c.remaining);
        EXPECT_EQ(removed.size(), c.leaves.size() - c.remaining.size());
    }
}

TEST_F(EntityListTest, AMemberAppendedDuringTheScanIsUpdatedInTheSameFrame) {
    ScriptedEntity* shooter = Make("shooter");
    ScriptedEntity* other = Make("other");
    ScriptedEntity* shot = Make("shot");
    shooter->append = shot;
    shooter->leave = true; // appending and leaving in one update
    EntityList list{shooter, other};
    UpdateEntityList(list, 0.016f, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"shooter", "other", "shot"}));
    EXPECT_EQ(list, (EntityList{other, shot}));
}

TEST_F(EntityListTest, SortPutsHigherEntitiesFirstAndKeepsTies) {
    ScriptedEntity* low = Make("low");
    ScriptedEntity* high = Make("high");
    ScriptedEntity* tieA = Make("tieA");
    ScriptedEntity* tieB = Make("tieB");
    low->SetPosition(0.0f, -50.0f);
    high->SetPosition(0.0f, 80.0f);
    tieA->SetPosition(5.0f, 10.0f);
    tieB->SetPosition(-5.0f, 10.0f);
    EntityList list{low, tieA, high, tieB};
    SortEntityList(list);
    EXPECT_EQ(list, (EntityList{high, tieA, tieB, low}));
}

// ---------------------------------------------------------------------------
// Static scenery and gates
// ---------------------------------------------------------------------------
TEST(StaticEntityTest, CannotBeHurtAndIsSolidAtItsFeet) {
    StaticEntity crate(7, GateStrip(), {100.0f, 50.0f}, {40.0f, 60.0f}, true);
    EXPECT_EQ(crate.kind, KindStatic);
    crate.ChangeHealth(-1.0f, nullptr);
    EXPECT_EQ(crate.health, 1.0f);
    EXPECT_TRUE(crate.Update(0.016f, nullptr, nullptr));
    const auto* box = static_cast<const AABB*>(crate.GetCollider());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->centre, (Vec2{100.0f, 65.0f}));
    EXPECT_FLOAT_EQ(box->halfExtents.x, 16.0f); // 80 % of 40, halved
    EXPECT_FLOAT_EQ(box->halfExtents.y, 7.5f);  // a quarter of 60, halved

    StaticEntity plant(7, GateStrip(), {0.0f, 0.0f}, {10.0f, 10.0f}, false);
    EXPECT_TRUE(plant.Update(0.016f, nullptr, nullptr));
    EXPECT_EQ(plant.GetCollider(), nullptr);
}

class GateTest : public ::testing::Test {
protected:
    void SetUp() override {
        level.rooms[3] = &room;
        LevelServices::current = &level;
        enemy.sprite->SetCollider(new Circle2D(0.18f));
        room = {&gate, &enemy};
    }
    void TearDown() override { LevelServices::current = nullptr; }

    // Frames until the gate's strip stops (at most `limit`), 0.1 s each.
    int RunUntilResting(int limit = 20) {
        int frames = 0;
        do {
            gate.Update(0.1f, nullptr, &room);
            ++frames;
        } while (gate.Animation()->playing && frames < limit);
        return frames;
    }

    RoomTable level;
    EntityList room;
    Gate gate{3, GateStrip(), {0.0f, 0.0f}, {96.0f, 64.0f}};
    std::vector<std::string> log;
    ScriptedEntity enemy{"enemy", log};
};

TEST_F(GateTest, StaysClosedWhileAnEnemyLives) {
    for (int i = 0; i < 20; ++i)
        gate.Update(0.1f, nullptr, &room);
    EXPECT_FALSE(gate.Animation()->playing);
    EXPECT_EQ(gate.Animation()->frame, 0u);
    EXPECT_TRUE(gate.GetCollider()->enabled);
}

TEST_F(GateTest, OpensOnceWhenTheLastEnemyDiesAndStopsBlockingOnItsLastFrame) {
    gate.Update(0.1f, nullptr, &room);
    enemy.ChangeHealth(-1.0f, nullptr);
    gate.Update(0.1f, nullptr, &room); // starts the opening
    EXPECT_TRUE(gate.Animation()->playing);
    EXPECT_TRUE(gate.Animation()->playOnce);
    EXPECT_TRUE(gate.GetCollider()->enabled); // still solid while it swings
    RunUntilResting();
    EXPECT_EQ(gate.Animation()->frame, 3u);
    gate.Update(0.1f, nullptr, &room);
    EXPECT_FALSE(gate.GetCollider()->enabled);
    for (int i = 0; i < 10; ++i)
        gate.Update(0.1f, nullptr, &room);
    EXPECT_FALSE(gate.Animation()->playing); // played once, not again
    EXPECT_EQ(gate.Animation()->frame, 3u);
}

TEST_F(GateTest, ACorpseDoesNotKeepItClosed) {
    enemy.health = 0.0f;
    std::vector<std::string> otherLog;
    ScriptedEntity bystander("npc", otherLog, KindNpc); // not an enemy
    room.push_back(&bystander);
    gate.Update(0.1f, nullptr, &room);
    EXPECT_TRUE(gate.IsOpening());
}

TEST_F(GateTest, StaysClosedWhenItsRoomCannotBeFound) {
    enemy.health = 0.0f;
    level.rooms.clear();
    gate.Update(0.1f, nullptr, &room);
    EXPECT_FALSE(gate.IsOpening());
    LevelServices::current = nullptr; // no level running at all
    gate.Update(0.1f, nullptr, &room);
    EXPECT_FALSE(gate.IsOpening());
    EXPECT_TRUE(gate.GetCollider()->enabled);
}

} // namespace

// The room file's object vocabulary: which object creates what, where it
// is placed and how positions snap.
#include "world/RoomData.h"
#include "world/RoomObjects.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace LevelMap;

TEST(RoomObjects, SnapsToEvenUnits) {
    const struct {
        float in, out;
    } cases[] = {{3.0f, 2.0f},  {3.5f, 4.0f},  {-3.5f, -2.0f},   {1.0f, 0.0f},     {1.5f, 2.0f},
                 {-1.0f, 0.0f}, {-0.5f, 0.0f}, {115.0f, 114.0f}, {-70.0f, -70.0f}, {0.0f, 0.0f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(Snap(c.in), c.out) << c.in;
}

TEST(RoomObjects, PlacementRules) {
    const Vec2 corner = PlaceCorner(100, 50);
    EXPECT_FLOAT_EQ(corner.x, 100.0f);
    EXPECT_FLOAT_EQ(corner.y, -50.0f);
    const Vec2 centre = PlaceCentre(100, 50, 30, 40);
    EXPECT_FLOAT_EQ(centre.x, 114.0f) << "115 snaps down";
    EXPECT_FLOAT_EQ(centre.y, -70.0f);
    const Vec2 tile = PlaceTileCentre(100, 150, SpriteTile{"crate.png", 32, 40});
    EXPECT_FLOAT_EQ(tile.x, 116.0f);
    EXPECT_FLOAT_EQ(tile.y, -130.0f) << "a tile object's y is its bottom edge";
    const Vec2 gate = PlaceGate(51, 60, 40);
    EXPECT_FLOAT_EQ(gate.x, 70.0f) << "71 snaps down";
    EXPECT_FLOAT_EQ(gate.y, -80.0f);
}

TEST(RoomObjects, TableSelectsByGroupAndName) {
    const struct {
        const char* group;
        const char* name;
        bool creates;
        ObjectKind kind;
        Placement placement;
    } cases[] = {
        {"Torches", nullptr, true, ObjectKind::Torch, Placement::Corner},
        {"Player", "Blade", true, ObjectKind::Player, Placement::Corner},
        {"NPCs", "Station", true, ObjectKind::RefillStation, Placement::Centre},
        {"NPCs", "WindowNPC", true, ObjectKind::WindowNPC, Placement::Centre},
        {"NPCs", "Sage", true, ObjectKind::DialogNPC, Placement::Centre},
        {"NPCs", nullptr, true, ObjectKind::DialogNPC, Placement::Centre},
        {"Enemies", "Enemy", true, ObjectKind::BasicEnemy, Placement::Corner},
        {"Enemies", "BiohazardEnemy", true, ObjectKind::BiohazardEnemy, Placement::Corner},
        {"Enemies", "HeavyEnemy", true, ObjectKind::HeavyEnemy, Placement::Corner},
        {"Enemies", "Dummy", true, ObjectKind::Dummy, Placement::Corner},
        {"Enemies", "Commander", true, ObjectKind::Commander, Placement::Corner},
        {"Enemies", "enemy", false, ObjectKind::Torch, Placement::Corner},
        {"Enemies", nullptr, false, ObjectKind::Torch, Placement::Corner},
        {"Doors", "0", true, ObjectKind::Door, Placement::Line},
        {"SliceableObjects", nullptr, true, ObjectKind::SliceableEntity, Placement::TileCentre},
        {"StaticObjects", nullptr, true, ObjectKind::StaticEntity, Placement::TileCentre},
        {"StaticObjects", "Gate", true, ObjectKind::Gate, Placement::Gate},
        {"StaticObjects", "Plant", false, ObjectKind::Torch, Placement::Corner},
        {"Triggers", nullptr, true, ObjectKind::TriggerLine, Placement::Line},
        {"torches", nullptr, false, ObjectKind::Torch, Placement::Corner},
        {"Decoration", nullptr, false, ObjectKind::Torch, Placement::Corner},
    };
    for (const auto& c : cases) {
        const ObjectRule* rule = FindObjectRule(c.group, c.name);
        const std::string what = std::string(c.group) + "/" + (c.name ? c.name : "(no name)");
        ASSERT_EQ(rule != nullptr, c.creates) << what;
        if (rule) {
            EXPECT_EQ(rule->kind, c.kind) << what;
            EXPECT_EQ(rule->placement, c.placement) << what;
        }
    }
}

namespace {
const RoomObject* FindKind(const RoomData& room, ObjectKind kind) {
    for (const RoomObject& object : room.objects) {
        if (object.kind == kind)
            return &object;
    }
    return nullptr;
}
} // namespace

TEST(RoomObjects, FixtureRoomObjectsCarryTheirInputs) {
    RoomData room;
    room.LoadFile(SourceDir() + "/tests/fixtures/rooms/room_base64.tmx", 3);

    const RoomObject* station = FindKind(room, ObjectKind::RefillStation);
    ASSERT_NE(station, nullptr);
    EXPECT_FLOAT_EQ(station->position.x, 114.0f);
    EXPECT_FLOAT_EQ(station->position.y, -70.0f);
    EXPECT_FLOAT_EQ(station->size.x, 30.0f);
    EXPECT_TRUE(station->Bool("GivesHP"));
    EXPECT_FALSE(station->Bool("Automatic")) << "default";
    EXPECT_FALSE(station->Bool("HorizontalFlip"));

    const RoomObject* enemy = FindKind(room, ObjectKind::BasicEnemy);
    ASSERT_NE(enemy, nullptr);
    EXPECT_FLOAT_EQ(enemy->position.y, -130.0f);
    EXPECT_TRUE(enemy->Bool("DisableAttack"));

    const RoomObject* prop = FindKind(room, ObjectKind::StaticEntity);
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(prop->gid, 17u);
    EXPECT_FLOAT_EQ(prop->tile.width, 32.0f);
    EXPECT_FLOAT_EQ(prop->position.x, 116.0f);
    EXPECT_FLOAT_EQ(prop->position.y, -130.0f);
    EXPECT_FALSE(prop->Bool("Collidable"));

    const RoomObject* gate = FindKind(room, ObjectKind::Gate);
    ASSERT_NE(gate, nullptr);
    EXPECT_FLOAT_EQ(gate->position.x, 70.0f);
    EXPECT_FLOAT_EQ(gate->position.y, -80.0f);
    EXPECT_EQ(gate->Int("Frames"), 1);
    EXPECT_EQ(gate->String("TextureName"), "../prop_gate.png");

    const RoomObject* trigger = FindKind(room, ObjectKind::TriggerLine);
    ASSERT_NE(trigger, nullptr);
    EXPECT_EQ(TriggerKindFromText(trigger->String("Trigger")), 4);
    EXPECT_EQ(trigger->Int("Dialog"), 7);
    EXPECT_FLOAT_EQ(trigger->line.start.y, -200.0f);
    EXPECT_FLOAT_EQ(trigger->line.end.y, -104.0f);

    const RoomObject* torch = FindKind(room, ObjectKind::Torch);
    ASSERT_NE(torch, nullptr);
    EXPECT_FLOAT_EQ(torch->position.x, 100.0f) << "the torch centres itself";
    EXPECT_FLOAT_EQ(torch->position.y, -200.0f);
    EXPECT_EQ(torch->String("Particles"), "embers");

    ASSERT_EQ(room.doors.size(), 1u);
    const Door& door = room.doors[0];
    EXPECT_FLOAT_EQ(door.start.x, 96.0f);
    EXPECT_FLOAT_EQ(door.end.x, 144.0f);
    EXPECT_FLOAT_EQ(door.start.y, -48.0f);
    EXPECT_EQ(door.enterCondition, DoorNoEnemy);
    EXPECT_EQ(door.enterDialogTrigger, DialogOnce);
    EXPECT_EQ(door.enterDialog, 5);
    EXPECT_EQ(door.audio, "boss.ogg");
    EXPECT_EQ(door.audioState, 3);
    EXPECT_FLOAT_EQ(door.margin, 1.0f);
}

TEST(RoomObjects, DoorAndTriggerVocabulary) {
    EXPECT_EQ(DoorConditionFromText("NoEnemy"), DoorNoEnemy);
    EXPECT_EQ(DoorConditionFromText("HasEnemy"), DoorWhileEnemy);
    EXPECT_EQ(DoorConditionFromText("Disabled"), DoorDisabled);
    EXPECT_EQ(DoorConditionFromText("disabled"), DoorAlways);
    EXPECT_EQ(DoorDialogTriggerFromText("HasEnemy"), DialogWhileEnemy);
    EXPECT_EQ(DoorDialogTriggerFromText("OneShot"), DialogOnce);
    EXPECT_EQ(DoorDialogTriggerFromText(""), DialogAlways);
    EXPECT_EQ(TriggerKindFromText("TriggerDialog"), 1);
    EXPECT_EQ(TriggerKindFromText("TriggerDialogNoEnemy"), 2);
    EXPECT_EQ(TriggerKindFromText("TriggerEnemy"), 3);
    EXPECT_EQ(TriggerKindFromText("TriggerCredits"), 4);
    EXPECT_EQ(TriggerKindFromText("TriggerCake"), 0);
}

namespace {

TEST(RoomObjects, PropertiesThatCannotBeUsedTakeTheirDefaultsAndAreNamed) {
    const ObjectRule* torch = FindObjectRule("Torches", "Torch");
    ASSERT_NE(torch, nullptr);
    const struct {
        const char* property;
        const char* value;
        const char* used; // the value kept
        const char* why;  // "" when the value stands
    } cases[] = {
        {"Frames", "4", "4", ""},
        {"Frames", "1e9", "3", "is not a whole number"},
        {"Frames", "12abc", "3", "is not a whole number"},
        {"Frames", "99999999999", "3", "is not a whole number"},
        {"Strength", "0.8", "0.8", ""},
        {"Strength", "nan", "0.1", "is not a finite number"},
        {"Range", "inf", "2", "is not a finite number"},
        {"Color.R", "1e30", "1", "is outside +-1e+06"},
        {"TextureName", "anything.png", "anything.png", ""},
    };
    for (const auto& c : cases) {
        RoomObject object;
        object.rule = torch;
        object.name = "Torch";
        for (const PropertySpec& spec : torch->properties)
            object.properties[spec.name] = spec.fallback;
        object.properties[c.property] = c.value;
        testing::internal::CaptureStderr();
        CheckPropertyValues(object, "assets/rooms/1.tmx");
        const std::string console = testing::internal::GetCapturedStderr();
        EXPECT_EQ(object.properties[c.property], c.used) << c.property << " " << c.value;
        const std::string line = *c.why ? std::string("ROOM: assets/rooms/1.tmx: object \"Torch\" "
                                                      "(Torches) property ") +
                                              c.property + " \"" + c.value + "\" " + c.why + ": " +
                                              c.used + " is used instead\n"
                                        : std::string();
        EXPECT_EQ(console, line);
    }
}

} // namespace

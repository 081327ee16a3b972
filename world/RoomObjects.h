// RoomObjects.h -- the vocabulary of a room file's object groups: which
// group and object name create what, where it is placed, which custom
// properties it reads (with their defaults). The whole table is kObjectRules
// in RoomObjects.cpp; SpawnRoomObject is the one place that builds objects.
//
// Map editor conventions: x, y, width, height in pixels with y down; world
// positions negate y. Tile objects (with a gid) have their y at the bottom.
#pragma once

#include "core/Line2D.h"
#include "core/Vec2.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Entity;

namespace tinyxml2 {
class XMLElement;
}

namespace LevelMap {

class RoomData;

// An image of the room's image-collection tileset.
struct SpriteTile {
    std::string source;  // image path under assets/ (see RoomData)
    float width = 0.0f;  // pixels
    float height = 0.0f; // pixels
};

enum class ObjectKind {
    Torch,
    Player,
    RefillStation,
    WindowNPC,
    DialogNPC,
    BasicEnemy,
    BiohazardEnemy,
    HeavyEnemy,
    Dummy,
    Commander,
    Door,
    SliceableEntity,
    StaticEntity,
    Gate,
    TriggerLine,
};

enum class Placement {
    Corner,     // (x, -y)
    Centre,     // (x + width/2, -y - height/2), snapped
    TileCentre, // (x + tile width/2, tile height/2 - y), snapped
    Line,       // the polyline's first two points moved by (x, -y)
    Gate,       // (x + width/2, -y - 20), snapped
};

// Which objects of a group a rule takes.
enum class NameMatch {
    Any,     // every object
    Exactly, // the object's name equals the rule's
    Unnamed, // objects without a name attribute
};

enum class PropertyType { Bool, Int, Float, String };

struct RoomObject;
// Builds the entity an object of the room file creates, for room `roomId`.
using SpawnFunction = Entity* (*)(int32_t roomId, const RoomObject& object);

struct PropertySpec {
    const char* name;
    PropertyType type;
    const char* fallback; // the value when the object does not set it
};

struct ObjectRule {
    const char* group;
    NameMatch match;
    const char* name; // for NameMatch::Exactly
    ObjectKind kind;
    Placement placement;
    SpawnFunction spawn; // null: nothing for the entity list (see the table)
    std::vector<PropertySpec> properties;
};

// One object read from a room file: what it creates and its inputs.
struct RoomObject {
    ObjectKind kind = ObjectKind::Torch;
    const ObjectRule* rule = nullptr;              // the rule that read it
    std::string name;                              // the object's name attribute
    Vec2 position{0.0f, 0.0f};                     // world units, placed by the rule
    Vec2 size{0.0f, 0.0f};                         // width, height in pixels
    Line2D line;                                   // for Placement::Line
    uint32_t gid = 0;                              // tile objects, flip bits cleared
    SpriteTile tile;                               // tile objects
    std::map<std::string, std::string> properties; // every property of the rule
    int32_t id = 0;                                // the object's id in the room file
    int sourceLine = 0;                            // its line in the room file

    bool Bool(const std::string& name) const;
    int32_t Int(const std::string& name) const;
    float Float(const std::string& name) const;
    std::string String(const std::string& name) const;
};

// Moves a coordinate onto a multiple of 2 world units: towards zero for
// negative values, a positive remainder of exactly 1 rounds down.
float Snap(float v);
Vec2 Snap(Vec2 v);
Vec2 PlaceCorner(float x, float y);
Vec2 PlaceCentre(float x, float y, float width, float height);
Vec2 PlaceTileCentre(float x, float y, const SpriteTile& tile);
Vec2 PlaceGate(float x, float y, float width);

// Every row of the table, first match first.
const std::vector<ObjectRule>& ObjectRules();
// The rule for an object of `group` named `name` (null when it has none);
// null when the pair creates nothing.
const ObjectRule* FindObjectRule(const std::string& group, const char* name);
// Reads an object element by its rule. Tile objects look their gid up in
// `spriteTiles`, adding an empty tile for an unknown gid. False when the
// object creates nothing after all (a trigger without a known kind, a line
// without two points).
bool ReadRoomObject(const ObjectRule& rule, const tinyxml2::XMLElement* object,
                    std::map<uint32_t, SpriteTile>& spriteTiles, RoomObject& out);
// Every number and switch property of `object` that cannot be used (not a
// number, not finite, a whole number written as "1e9", out of range) takes
// its rule's default, named on the console with `file`.
void CheckPropertyValues(RoomObject& object, const std::string& file);
// Dialogue numbers the object needs loaded in advance (0s left out).
std::vector<int32_t> DialoguesOf(const RoomObject& object);
// Builds what the object creates into the room. False for kinds whose
// classes the room cannot build yet; they are kept in room.objects.
bool SpawnRoomObject(RoomData& room, const RoomObject& object);
// "TriggerDialog" 1, "TriggerDialogNoEnemy" 2, "TriggerEnemy" 3,
// "TriggerCredits" 4; 0 for anything else.
int32_t TriggerKindFromText(const std::string& text);

} // namespace LevelMap

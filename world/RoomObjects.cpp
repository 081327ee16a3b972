// RoomObjects -- the room file's object vocabulary and the spawning.
#include "world/RoomObjects.h"

#include "core/DataFile.h"
#include "world/Door.h"
#include "world/RoomData.h"
#include "world/RoomSpawners.h"
#include "world/TileLayer.h"
#include "world/XmlRead.h"

#include <tinyxml2.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace LevelMap {

namespace {
using P = PropertyType;

// Every group and object name a room file may use, first match wins. The
// spawn column names the function that builds the entity; null marks a kind
// that is not an entity of the list (torches are lights, doors belong to the
// map) or whose class the game does not have yet, so it is read and kept in
// the room's object records but builds nothing.
const std::vector<ObjectRule> kObjectRules = {
    {"Torches",
     NameMatch::Any,
     nullptr,
     ObjectKind::Torch,
     Placement::Corner,
     nullptr,
     // The light (colour, strength, range) and the animated picture; a torch
     // that names nothing burns white with the plain torch image.
     {{"Particles", P::String, "embers"},
      {"Color.R", P::Float, "1"},
      {"Color.G", P::Float, "1"},
      {"Color.B", P::Float, "1"},
      {"Strength", P::Float, "0.1"},
      {"Range", P::Float, "2"},
      {"TextureName", P::String, "../prop_torch.png"},
      {"Frames", P::Int, "3"},
      {"FrameDelay", P::Float, "0.2"}}},
    {"Player", NameMatch::Any, nullptr, ObjectKind::Player, Placement::Corner, SpawnPlayer, {}},
    {"NPCs",
     NameMatch::Exactly,
     "Station",
     ObjectKind::RefillStation,
     Placement::Centre,
     SpawnRefillStation,
     {{"HorizontalFlip", P::Bool, "false"},
      {"GivesHP", P::Bool, "false"},
      {"Automatic", P::Bool, "false"}}},
    {"NPCs",
     NameMatch::Exactly,
     "WindowNPC",
     ObjectKind::WindowNPC,
     Placement::Centre,
     SpawnWindowNPC,
     {{"TextureName", P::String, ""},
      {"Frames", P::Int, "0"},
      {"FrameDelay", P::Float, "0"},
      {"HorizontalFlip", P::Bool, "false"},
      {"WindowType", P::String, ""},
      {"WindowWidth", P::Float, "0"},
      {"WindowHeight", P::Float, "0"}}},
    {"NPCs",
     NameMatch::Any,
     nullptr,
     ObjectKind::DialogNPC,
     Placement::Centre,
     SpawnDialogNPC,
     {{"TextureName", P::String, ""},
      {"Frames", P::Int, "0"},
      {"FrameDelay", P::Float, "0"},
      {"Dialog", P::Int, "0"},
      {"HorizontalFlip", P::Bool, "false"},
      {"Automatic", P::Bool, "false"}}},
    {"Enemies",
     NameMatch::Exactly,
     "Enemy",
     ObjectKind::BasicEnemy,
     Placement::Corner,
     SpawnBasicEnemy,
     {{"DisableAttack", P::Bool, "false"}, {"Wave", P::Int, "0"}}},
    {"Enemies",
     NameMatch::Exactly,
     "BiohazardEnemy",
     ObjectKind::BiohazardEnemy,
     Placement::Corner,
     SpawnBiohazardEnemy,
     {}},
    {"Enemies",
     NameMatch::Exactly,
     "HeavyEnemy",
     ObjectKind::HeavyEnemy,
     Placement::Corner,
     SpawnHeavyEnemy,
     {}},
    {"Enemies",
     NameMatch::Exactly,
     "Dummy",
     ObjectKind::Dummy,
     Placement::Corner,
     SpawnDummy,
     {{"Shootable", P::Bool, "false"}}},
    {"Enemies",
     NameMatch::Exactly,
     "Commander",
     ObjectKind::Commander,
     Placement::Corner,
     SpawnCommander,
     {{"Dialog", P::Int, "0"}}},
    // The object's name is the target room; 0 is the level's exit.
    {"Doors",
     NameMatch::Any,
     nullptr,
     ObjectKind::Door,
     Placement::Line,
     nullptr,
     {{"EnterDialog", P::Int, "0"},
      {"EnterDialogTrigger", P::String, ""},
      {"EnterCondition", P::String, ""},
      {"Audio", P::String, ""}}},
    // DropChance is a percentage.
    {"SliceableObjects",
     NameMatch::Any,
     nullptr,
     ObjectKind::SliceableEntity,
     Placement::TileCentre,
     SpawnSliceable,
     {{"DropChance", P::Float, "100"}}},
    {"StaticObjects",
     NameMatch::Unnamed,
     nullptr,
     ObjectKind::StaticEntity,
     Placement::TileCentre,
     SpawnStaticEntity,
     {{"Collidable", P::Bool, "false"}}},
    // The gate shows frame 0 until the room is clear, then opens.
    {"StaticObjects",
     NameMatch::Exactly,
     "Gate",
     ObjectKind::Gate,
     Placement::Gate,
     SpawnGate,
     {{"Frames", P::Int, "1"},
      {"FrameDelay", P::Float, "0"},
      {"TextureName", P::String, "../prop_gate.png"}}},
    // Trigger names the kind; an object without a known one creates nothing.
    {"Triggers",
     NameMatch::Any,
     nullptr,
     ObjectKind::TriggerLine,
     Placement::Line,
     nullptr,
     {{"Dialog", P::Int, "0"}, {"Trigger", P::String, ""}, {"Wave", P::Int, "0"}}},
};

// Half the height of a gate's doorway above its object's top edge.
constexpr float kGateDrop = 20.0f;

bool Matches(const ObjectRule& rule, const std::string& group, const char* name) {
    if (group != rule.group)
        return false;
    switch (rule.match) {
    case NameMatch::Any:
        return true;
    case NameMatch::Exactly:
        return name && std::string(name) == rule.name;
    case NameMatch::Unnamed:
        return name == nullptr;
    }
    return false;
}

const char* PropertyValue(const RoomObject& object, const std::string& name) {
    const auto it = object.properties.find(name);
    return it == object.properties.end() ? "" : it->second.c_str();
}
} // namespace

bool RoomObject::Bool(const std::string& key) const {
    return ReadBoolText(PropertyValue(*this, key), false);
}
int32_t RoomObject::Int(const std::string& key) const {
    return static_cast<int32_t>(std::strtol(PropertyValue(*this, key), nullptr, 10));
}
float RoomObject::Float(const std::string& key) const {
    return std::strtof(PropertyValue(*this, key), nullptr);
}
std::string RoomObject::String(const std::string& key) const {
    return PropertyValue(*this, key);
}

float Snap(float v) {
    return SnapToEven(v);
}

Vec2 Snap(Vec2 v) {
    return SnapToEven(v);
}

Vec2 PlaceCorner(float x, float y) {
    return {x, -y};
}

Vec2 PlaceCentre(float x, float y, float width, float height) {
    return Snap(Vec2{x + width / 2.0f, -y - height / 2.0f});
}

Vec2 PlaceTileCentre(float x, float y, const SpriteTile& tile) {
    return Snap(Vec2{x + tile.width / 2.0f, tile.height / 2.0f - y});
}

Vec2 PlaceGate(float x, float y, float width) {
    return Snap(Vec2{x + width / 2.0f, -y - kGateDrop});
}

const std::vector<ObjectRule>& ObjectRules() {
    return kObjectRules;
}

const ObjectRule* FindObjectRule(const std::string& group, const char* name) {
    for (const ObjectRule& rule : kObjectRules) {
        if (Matches(rule, group, name))
            return &rule;
    }
    return nullptr;
}

int32_t TriggerKindFromText(const std::string& text) {
    if (text == "TriggerDialog")
        return 1;
    if (text == "TriggerDialogNoEnemy")
        return 2;
    if (text == "TriggerEnemy")
        return 3;
    if (text == "TriggerCredits")
        return 4;
    return 0;
}

bool ReadRoomObject(const ObjectRule& rule, const tinyxml2::XMLElement* object,
                    std::map<uint32_t, SpriteTile>& spriteTiles, RoomObject& out) {
    out = RoomObject();
    out.kind = rule.kind;
    out.rule = &rule;
    out.name = ReadStringAttribute(object, "name");
    out.id = ReadIntAttribute(object, "id", 0);
    out.sourceLine = object->GetLineNum();
    const float x = ReadFloatAttribute(object, "x", 0.0f);
    const float y = ReadFloatAttribute(object, "y", 0.0f);
    out.size = {ReadFloatAttribute(object, "width", 0.0f),
                ReadFloatAttribute(object, "height", 0.0f)};
    for (const PropertySpec& spec : rule.properties)
        out.properties[spec.name] = spec.fallback;
    if (const tinyxml2::XMLElement* props = object->FirstChildElement("properties")) {
        for (const tinyxml2::XMLElement* prop = props->FirstChildElement("property"); prop;
             prop = prop->NextSiblingElement("property")) {
            const std::string name = ReadStringAttribute(prop, "name");
            if (out.properties.count(name))
                out.properties[name] = ReadStringAttribute(prop, "value");
        }
    }
    switch (rule.placement) {
    case Placement::Corner:
        out.position = PlaceCorner(x, y);
        break;
    case Placement::Centre:
        out.position = PlaceCentre(x, y, out.size.x, out.size.y);
        break;
    case Placement::TileCentre:
        out.gid = static_cast<uint32_t>(object->Unsigned64Attribute("gid")) & ~kTileFlipMask;
        out.tile = spriteTiles[out.gid]; // an unknown gid keeps an empty tile
        out.position = PlaceTileCentre(x, y, out.tile);
        break;
    case Placement::Line: {
        const tinyxml2::XMLElement* polyline = object->FirstChildElement("polyline");
        if (!Line2D::FromPolyline(polyline ? polyline->Attribute("points") : nullptr,
                                  PlaceCorner(x, y), out.line))
            return false;
        out.position = out.line.centre;
        break;
    }
    case Placement::Gate:
        out.position = PlaceGate(x, y, out.size.x);
        break;
    }
    if (rule.kind == ObjectKind::TriggerLine)
        return TriggerKindFromText(out.String("Trigger")) != 0;
    return true;
}

void CheckPropertyValues(RoomObject& object, const std::string& file) {
    if (!object.rule)
        return;
    // No distance, size, strength or chance of a room is near this; beyond
    // it a number only overflows the arithmetic of the room.
    constexpr double kLargestNumber = 1e6;
    for (const PropertySpec& spec : object.rule->properties) {
        std::string& value = object.properties[spec.name];
        std::string why;
        switch (spec.type) {
        case P::Int: {
            const std::optional<int64_t> v = ParseWholeNumber(value.c_str());
            if (!v || *v < INT32_MIN || *v > INT32_MAX)
                why = "is not a whole number";
            break;
        }
        case P::Float: {
            const std::optional<double> v = ParseFiniteNumber(value.c_str());
            if (!v)
                why = "is not a finite number";
            else if (std::fabs(*v) > kLargestNumber)
                why = "is outside +-" + FormatNumber(kLargestNumber);
            break;
        }
        case P::Bool: {
            bool v = false;
            if (!tinyxml2::XMLUtil::ToBool(value.c_str(), &v))
                why = "is neither true nor false";
            break;
        }
        case P::String:
            break;
        }
        if (why.empty())
            continue;
        const std::string what =
            "object \"" + object.name + "\" (" + object.rule->group + ") property " + spec.name;
        ReportUnusableValue("ROOM", file, what, value, why, spec.fallback);
        value = spec.fallback;
    }
}

std::vector<int32_t> DialoguesOf(const RoomObject& object) {
    std::vector<int32_t> numbers;
    for (const char* key : {"Dialog", "EnterDialog"}) {
        if (object.properties.count(key) && object.Int(key) != 0)
            numbers.push_back(object.Int(key));
    }
    return numbers;
}

// Doors belong to the map itself; every other kind is handed to the room,
// which builds it when it is a room that is played (RoomData::SpawnEntity).
bool SpawnRoomObject(RoomData& room, const RoomObject& object) {
    switch (object.kind) {
    case ObjectKind::Door: {
        Door door(object.line);
        door.target = static_cast<int32_t>(std::strtol(object.name.c_str(), nullptr, 10));
        door.enterDialog = object.Int("EnterDialog");
        door.enterDialogTrigger = DoorDialogTriggerFromText(object.String("EnterDialogTrigger"));
        door.enterCondition = DoorConditionFromText(object.String("EnterCondition"));
        door.audio = object.String("Audio");
        room.doors.push_back(door);
        return true;
    }
    case ObjectKind::Player:
        // The camera starts a little above the player.
        room.cameraStart = object.position + Vec2{0.0f, 10.0f};
        return room.SpawnEntity(object);
    default:
        return room.SpawnEntity(object);
    }
}

} // namespace LevelMap

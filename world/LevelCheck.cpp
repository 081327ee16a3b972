// LevelCheck -- walking a story level's rooms from its start to its way out.
#include "world/LevelCheck.h"

#include "core/AABB.h"
#include "core/AssetManifest.h"
#include "core/Circle2D.h"
#include "core/LevelPack.h"
#include "world/LevelCatalogue.h"
#include "world/ObjectTemplates.h"
#include "world/RoomContents.h"
#include "world/RoomPathing.h"
#include "world/RoomTree.h"
#include "world/XmlRead.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace LevelMap {

namespace {

// Blade's body: the player's circle (base radius 0.18 at the 96-unit scale).
constexpr float kBladeScale = 96.0f;
constexpr float kBladeRadius = 0.18f;
// Spacing of the points where Blade's body is tried, in world units.
constexpr float kSpacing = 4.0f;
// The most points a room's walk looks at (a room of some 260 x 260 cells).
constexpr float kMaxSamples = 1.0e7f;
// How near Blade must come to an enemy to fell it: his reach in front of
// him plus the enemy's body.
constexpr float kStrikeReach = 40.0f;
// How near he must stand to talk to a character (the prompt's range).
constexpr float kTalkReach = 50.0f;
// A speech box line: how long it may be, and the longest word that still
// wraps inside the box's 120 units.
constexpr size_t kMaxLineCharacters = 100;
constexpr size_t kMaxWordCharacters = 20;

// A room as the check sees it: the map, its objects and its walking
// services, with nothing built for play.
class MapRoom : public RoomPathing {
public:
    // The door leading to room `target`, or null.
    const Door* DoorTo(int32_t target) const {
        const auto found = std::find_if(doors.begin(), doors.end(),
                                        [target](const Door& d) { return d.target == target; });
        return found == doors.end() ? nullptr : &*found;
    }
};

std::string RoomName(int32_t n) {
    return "room " + std::to_string(n);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// A file as its author knows it: inside a level pack, its path in the pack.
std::string Shown(const std::string& path) {
    const std::string& pack = LevelPack::Current();
    if (!pack.empty() && path.compare(0, pack.size() + 1, pack + "/") == 0)
        return path.substr(pack.size() + 1);
    return path;
}

// Where an object of room `n` is written: "rooms/3.tmx:42: ".
std::string WhereIs(int32_t n, int line) {
    const std::string file = Shown(LevelPack::AssetFile("rooms/" + std::to_string(n) + ".tmx"));
    return line > 0 ? file + ":" + std::to_string(line) + ": " : file + ": ";
}

// "rooms/3.tmx:42: room 3: Enemies object 5 'Enemy'".
std::string Describe(int32_t room, const RoomObject& object) {
    return WhereIs(room, object.sourceLine) + RoomName(room) + ": " + object.rule->group +
           " object " + std::to_string(object.id) + " '" + object.name + "'";
}

// The solid foot of a collidable prop or a gate, fitted as scenery fits it:
// 0.8 of its width, a quarter of its height, 15 units above its centre.
AABB FootOf(Vec2 position, Vec2 size) {
    AABB box;
    box.UpdateTransform({position.x, position.y + 15.0f}, 0.0f, {0.8f * size.x, 0.25f * size.y});
    return box;
}

// Blade's body standing at `point`.
Circle2D BladeAt(Vec2 point) {
    Circle2D body(kBladeRadius);
    body.UpdateTransform(point, 0.0f, {kBladeScale, kBladeScale});
    return body;
}

// Where Blade can walk in one room: a grid of points where his body fits
// between the walls and clear of solid props, and the part of it he
// reaches from his ways in.
class Reach {
public:
    Reach(const MapRoom& room, const std::vector<AABB>& solids) : room_(room) {
        // A map too large to walk point by point is left unwalked (nothing
        // in it is reached, which the check reports).
        const float across = static_cast<float>(room.width) * static_cast<float>(room.tileWidth);
        const float down = static_cast<float>(room.height) * static_cast<float>(room.tileHeight);
        if (across / kSpacing * (down / kSpacing) <= kMaxSamples) {
            columns_ = static_cast<int32_t>(std::ceil(across / kSpacing));
            rows_ = static_cast<int32_t>(std::ceil(down / kSpacing));
        }
        free_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), 0);
        reached_.assign(free_.size(), 0);
        for (int32_t j = 0; j < rows_; ++j) {
            for (int32_t i = 0; i < columns_; ++i)
                free_[Index(i, j)] = Fits(PointOf(i, j), solids) ? 1 : 0;
        }
    }

    // Whether Blade's body fits at `point`.
    bool Free(Vec2 point) const {
        int32_t i = 0, j = 0;
        return Sample(point, i, j) && free_[Index(i, j)];
    }

    // Spreads from `seed` over every point Blade can walk to. False when
    // he cannot stand there at all.
    bool Flood(Vec2 seed) {
        int32_t i = 0, j = 0;
        if (!Sample(seed, i, j) || !free_[Index(i, j)])
            return false;
        std::vector<std::pair<int32_t, int32_t>> stack{{i, j}};
        while (!stack.empty()) {
            const auto [ci, cj] = stack.back();
            stack.pop_back();
            if (ci < 0 || cj < 0 || ci >= columns_ || cj >= rows_)
                continue;
            const size_t at = Index(ci, cj);
            if (!free_[at] || reached_[at])
                continue;
            reached_[at] = 1;
            stack.push_back({ci + 1, cj});
            stack.push_back({ci - 1, cj});
            stack.push_back({ci, cj + 1});
            stack.push_back({ci, cj - 1});
        }
        return true;
    }

    // Some reached point lies within `distance` of `point`.
    bool Near(Vec2 point, float distance) const {
        return Any([&](Vec2 p) { return LengthSq(p - point) <= distance * distance; }, point,
                   distance);
    }

    // Blade's body touches `line` from some reached point.
    bool Touches(const Line2D& line) const {
        const float r = kBladeRadius * kBladeScale;
        const Vec2 mid = line.centre;
        const float reach = Length(line.end - line.start) / 2.0f + r + kSpacing;
        return Any([&](Vec2 p) { return line.TestCircle(BladeAt(p)); }, mid, reach);
    }

    // Forgets what was reached.
    void Clear() { std::fill(reached_.begin(), reached_.end(), 0); }

private:
    size_t Index(int32_t i, int32_t j) const {
        return static_cast<size_t>(j) * static_cast<size_t>(columns_) + static_cast<size_t>(i);
    }
    // Sample (i, j) is the square of side kSpacing below and right of
    // (i, -j) x kSpacing; its point is the square's centre.
    static Vec2 PointOf(int32_t i, int32_t j) {
        return {(static_cast<float>(i) + 0.5f) * kSpacing,
                -(static_cast<float>(j) + 0.5f) * kSpacing};
    }
    // The sample holding `p`; false when it lies off the grid (i and j are
    // then clamped into a range that still converts safely).
    bool Sample(Vec2 p, int32_t& i, int32_t& j) const {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            i = j = -1;
            return false;
        }
        constexpr float kFar = 1.0e9f;
        i = static_cast<int32_t>(std::clamp(std::floor(p.x / kSpacing), -kFar, kFar));
        j = static_cast<int32_t>(std::clamp(std::floor(-p.y / kSpacing), -kFar, kFar));
        return i >= 0 && j >= 0 && i < columns_ && j < rows_;
    }
    bool Fits(Vec2 p, const std::vector<AABB>& solids) const {
        if (!room_.IsWalkable(p))
            return false;
        const Circle2D body = BladeAt(p);
        if (room_.ResolveWalls(body).hit)
            return false;
        return std::none_of(solids.begin(), solids.end(),
                            [&](const AABB& box) { return box.TestCircle(body); });
    }
    template <typename Test> bool Any(Test&& test, Vec2 around, float distance) const {
        if (columns_ == 0 || rows_ == 0)
            return false;
        int32_t i0 = 0, j0 = 0, i1 = 0, j1 = 0;
        Sample(around - Vec2{distance, -distance}, i0, j0);
        Sample(around + Vec2{distance, -distance}, i1, j1);
        i0 = std::clamp(i0, 0, columns_ - 1);
        i1 = std::clamp(i1, 0, columns_ - 1);
        j0 = std::clamp(j0, 0, rows_ - 1);
        j1 = std::clamp(j1, 0, rows_ - 1);
        for (int32_t j = j0; j <= j1; ++j) {
            for (int32_t i = i0; i <= i1; ++i) {
                if (reached_[Index(i, j)] && test(PointOf(i, j)))
                    return true;
            }
        }
        return false;
    }

    const MapRoom& room_;
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    std::vector<uint8_t> free_;
    std::vector<uint8_t> reached_;
};

// The cell of `point` is floor, or a wall with floor beside it.
bool NextToFloor(const MapRoom& room, Vec2 point) {
    const int32_t column = room.ColumnOf(point.x);
    const int32_t row = room.RowOf(point.y);
    for (int32_t dr = -1; dr <= 1; ++dr) {
        for (int32_t dc = -1; dc <= 1; ++dc) {
            if (room.IsWalkableCell(column + dc, row + dr))
                return true;
        }
    }
    return false;
}

bool IsEnemy(ObjectKind kind) {
    return kind == ObjectKind::BasicEnemy || kind == ObjectKind::BiohazardEnemy ||
           kind == ObjectKind::HeavyEnemy || kind == ObjectKind::Dummy ||
           kind == ObjectKind::Commander;
}

// Everything the check needs to know about one room besides its map.
struct RoomPlan {
    MapRoom* room = nullptr;
    std::vector<AABB> props;       // solid scenery
    std::vector<AABB> gates;       // solid until the room is clear
    std::vector<Vec2> foes;        // enemies that can be felled
    bool dummy = false;            // a training dummy: an enemy that never falls
    std::vector<Vec2> seeds;       // where Blade stands when he comes in
    std::vector<int32_t> seedFrom; // the room each seed comes from (0: the start)
    std::unique_ptr<Reach> shut;   // with the gates shut
    std::unique_ptr<Reach> open;   // with the gates open
    bool clearable = false;        // every enemy can be reached and felled
};

// The image `name` (relative to assets/): present, made by the generator,
// and for a lit one its normal map too. `frames` (when not 0) must match
// the strip.
void CheckImage(const std::string& name, int frames, bool lit, const std::string& who,
                std::vector<std::string>& problems) {
    if (LevelPack::Refused(name)) {
        problems.push_back(who + " names " + name + ", which lies outside the level pack's folder");
        return;
    }
    if (!FileExists(LevelPack::AssetFile(name)))
        problems.push_back(who + " names missing image " + name);
    // A pack's own picture is the author's to draw; its frames are not known here.
    if (LevelPack::FromPack(name))
        return;
    const AssetImage* image = FindAssetImage(name);
    if (!image) {
        problems.push_back(who + " names " + name + ", which the asset generator does not make");
        return;
    }
    if (lit && !FileExists(LevelPack::AssetFile(AssetNormalMapName(name))))
        problems.push_back(who + " names " + name + " whose normal map is missing");
    if (frames != 0 && frames != image->frames)
        problems.push_back(who + " gives " + name + " " + std::to_string(frames) +
                           " frames; the strip has " + std::to_string(image->frames));
}

void CheckMusic(const std::string& file, const std::string& who,
                std::vector<std::string>& problems) {
    if (LevelPack::Refused("sounds/" + file)) {
        problems.push_back(who + " plays " + file + ", which lies outside the level pack's folder");
        return;
    }
    if (!FileExists(LevelPack::AssetFile("sounds/" + file)))
        problems.push_back(who + " plays missing music " + file);
    if (LevelPack::FromPack("sounds/" + file))
        return;
    const AssetSound* sound = FindAssetSound(file);
    if (!sound || !sound->music)
        problems.push_back(who + " plays " + file + ", which is no music track of the game");
}

// Objects the room file holds that the game would pass over in silence: an
// unknown group or object name, a trigger of no known kind, a line without
// two points, anything outside the map.
void CheckRawObjects(const MapRoom& room, std::vector<std::string>& problems) {
    const std::string path = LevelPack::AssetFile("rooms/" + std::to_string(room.id) + ".tmx");
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS)
        return; // the load has said so already
    const tinyxml2::XMLElement* map = doc.FirstChildElement("map");
    const float right = static_cast<float>(room.width * room.tileWidth);
    const float bottom = static_cast<float>(room.height * room.tileHeight);
    for (const tinyxml2::XMLElement* group = map ? map->FirstChildElement("objectgroup") : nullptr;
         group; group = group->NextSiblingElement("objectgroup")) {
        const std::string groupName = ReadStringAttribute(group, "name");
        for (const tinyxml2::XMLElement* placed = group->FirstChildElement("object"); placed;
             placed = placed->NextSiblingElement("object")) {
            tinyxml2::XMLDocument scratch;
            std::string problem;
            const tinyxml2::XMLElement* object = WithTemplate(placed, path, scratch, problem);
            if (!object) {
                problems.push_back(WhereIs(room.id, placed->GetLineNum()) + RoomName(room.id) +
                                   ": " + groupName + " object " +
                                   std::to_string(ReadIntAttribute(placed, "id", 0)) + ": " +
                                   problem);
                continue;
            }
            const char* name = object->Attribute("name");
            const std::string what = WhereIs(room.id, placed->GetLineNum()) + RoomName(room.id) +
                                     ": " + groupName + " object " +
                                     std::to_string(ReadIntAttribute(object, "id", 0)) +
                                     (name ? std::string(" '") + name + "'" : std::string());
            const ObjectRule* rule = FindObjectRule(groupName, name);
            if (!rule) {
                problems.push_back(what + " creates nothing");
                continue;
            }
            std::map<uint32_t, SpriteTile> tiles = room.spriteTiles;
            RoomObject record;
            if (!ReadRoomObject(*rule, object, tiles, record)) {
                problems.push_back(what + (rule->kind == ObjectKind::TriggerLine
                                               ? " has no known Trigger kind"
                                               : " has no line of two points"));
                continue;
            }
            const float x = ReadFloatAttribute(object, "x", 0.0f);
            const float y = ReadFloatAttribute(object, "y", 0.0f);
            if (x < 0.0f || y < 0.0f || x > right || y > bottom)
                problems.push_back(what + " lies outside the map");
            if (rule->placement == Placement::TileCentre && !room.spriteTiles.count(record.gid))
                problems.push_back(what + " names tile " + std::to_string(record.gid) +
                                   ", which no tileset holds");
        }
    }
}

// Reads the catalogue's levels.
bool ReadCatalogue(std::vector<int32_t>& rooms, std::vector<std::string>& music,
                   std::string& problem) {
    const LevelCatalogue catalogue("levels.xml", ""); // no save to read
    rooms = catalogue.firstRooms;
    music = catalogue.music;
    problem = Shown(catalogue.problem);
    return catalogue.loaded;
}

// UTF-8 into code points; false on a broken sequence.
bool DecodeUtf8(const std::string& text, std::vector<uint32_t>& out) {
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        int extra = 0;
        uint32_t code = 0;
        if (byte < 0x80) {
            code = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            code = byte & 0x1Fu;
            extra = 1;
        } else if ((byte & 0xF0) == 0xE0) {
            code = byte & 0x0Fu;
            extra = 2;
        } else if ((byte & 0xF8) == 0xF0) {
            code = byte & 0x07u;
            extra = 3;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(extra) >= text.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        out.push_back(code);
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

void CheckPortrait(const tinyxml2::XMLElement* portrait, const std::string& who,
                   std::vector<std::string>& problems) {
    const std::string texture = ReadStringAttribute(portrait, "texture");
    const int frames = ReadIntAttribute(portrait, "frames", 0);
    if (texture.empty()) {
        problems.push_back(who + " has no texture");
        return;
    }
    if (frames <= 0)
        problems.push_back(who + " has no frames");
    if (ReadFloatAttribute(portrait, "frameDelay", 0.0f) <= 0.0f)
        problems.push_back(who + " has no frame delay");
    if (ReadFloatAttribute(portrait, "width", 0.0f) <= 0.0f ||
        ReadFloatAttribute(portrait, "height", 0.0f) <= 0.0f)
        problems.push_back(who + " has no size");
    CheckImage(texture, std::max(frames, 1), false, who, problems);
}

} // namespace

std::vector<std::string> CheckConversation(int32_t number) {
    std::vector<std::string> problems;
    const std::string who = "conversation " + std::to_string(number);
    const std::string path = LevelPack::AssetFile("dialogs/" + std::to_string(number) + ".xml");
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) {
        problems.push_back(who + ": cannot read " + Shown(path) + " (" + doc.ErrorName() + ")");
        return problems;
    }
    const tinyxml2::XMLElement* root = doc.RootElement();
    if (!root) {
        problems.push_back(who + " is empty");
        return problems;
    }
    int lines = 0;
    int portraits[2] = {0, 0};
    for (const tinyxml2::XMLElement* e = root->FirstChildElement(); e;
         e = e->NextSiblingElement()) {
        const std::string name = e->Name();
        if (name == "rhs" || name == "lhs") {
            const int side = name == "rhs" ? 0 : 1;
            if (++portraits[side] > 1)
                problems.push_back(who + ": only the first " + name + " portrait is shown");
            else
                CheckPortrait(e, who + "'s " + name + " portrait", problems);
            continue;
        }
        if (name != "dialog") {
            problems.push_back(who + ": unknown element " + name);
            continue;
        }
        ++lines;
        const std::string line = who + " line " + std::to_string(lines);
        const char* text = e->GetText();
        std::vector<uint32_t> codes;
        if (!text || std::string(text).find_first_not_of(" \n\t") == std::string::npos) {
            problems.push_back(line + " is empty");
            continue;
        }
        if (!DecodeUtf8(text, codes)) {
            problems.push_back(line + " is not UTF-8");
            continue;
        }
        size_t word = 0;
        for (uint32_t code : codes) {
            if (code != '\n' && (code < 32 || code > 255)) {
                problems.push_back(line + " holds character " + std::to_string(code) +
                                   ", which the font does not draw");
                break;
            }
            word = code == ' ' || code == '\n' ? 0 : word + 1;
            if (word > kMaxWordCharacters) {
                problems.push_back(line + " holds a word too long for the speech box");
                break;
            }
        }
        if (codes.size() > kMaxLineCharacters)
            problems.push_back(line + " is " + std::to_string(codes.size()) +
                               " characters long; the speech box holds " +
                               std::to_string(kMaxLineCharacters));
    }
    if (lines == 0)
        problems.push_back(who + " has no lines");
    return problems;
}

LevelSurvey CheckLevel(int32_t level, int32_t startRoom, const std::string& music, bool last) {
    LevelSurvey survey;
    survey.level = level;
    survey.startRoom = startRoom;
    survey.music = music;
    std::vector<std::string>& problems = survey.problems;
    const std::string who = "level " + std::to_string(level + 1);

    if (music.empty())
        problems.push_back(who + " has no music");
    else
        CheckMusic(music, who, problems);

    RoomTable<MapRoom> rooms;
    try {
        LoadRoomTree(rooms, startRoom, [](MapRoom& room, int32_t n) {
            room.Load(n);
            room.Init();
        });
    } catch (const std::exception& e) {
        problems.push_back(who + ": " + e.what());
        return survey;
    }

    std::map<int32_t, RoomPlan> plans;
    int players = 0;
    for (auto& [number, room] : rooms) {
        survey.rooms.push_back(number);
        RoomPlan& plan = plans[number];
        plan.room = room.get();
        const std::string here = RoomName(number);
        CheckRawObjects(*room, problems);
        CheckImage(room->terrainImage, 0, true, here + "'s terrain", problems);

        // Doors: a partner back, one door per neighbour, music present.
        std::set<int32_t> targets;
        for (const Door& door : room->doors) {
            if (door.target != 0 && !targets.insert(door.target).second)
                problems.push_back(here + " has two doors to " + RoomName(door.target));
            if (door.target != 0 && rooms.count(door.target) &&
                !rooms.at(door.target)->DoorTo(number))
                problems.push_back(here + "'s door to " + RoomName(door.target) +
                                   " has no door back");
            if (!door.audio.empty()) {
                CheckMusic(door.audio, here + "'s door to " + RoomName(door.target), problems);
                survey.tracks.insert(door.audio);
            }
        }
        for (int32_t dialog : room->dialogs)
            survey.dialogs.insert(dialog);

        for (const RoomObject& object : room->objects) {
            const std::string what = Describe(number, object);
            const bool onFloor = room->IsWalkable(object.position);
            switch (object.kind) {
            case ObjectKind::Torch:
                CheckImage(RoomImageName(object.String("TextureName")), object.Int("Frames"), true,
                           what, problems);
                if (!FileExists(
                        LevelPack::AssetFile("particles/" + object.String("Particles") + ".xml")))
                    problems.push_back(what + " names missing particles " +
                                       object.String("Particles"));
                break;
            case ObjectKind::Player:
                ++players;
                if (number != startRoom)
                    problems.push_back(what + ": Blade starts in " + here +
                                       ", not in the level's start room");
                plan.seeds.push_back(object.position);
                plan.seedFrom.push_back(0);
                break;
            case ObjectKind::RefillStation:
                ++survey.stations;
                break;
            case ObjectKind::WindowNPC:
            case ObjectKind::DialogNPC:
                ++survey.npcs;
                CheckImage(RoomImageName(object.String("TextureName")), object.Int("Frames"), true,
                           what, problems);
                if (object.kind == ObjectKind::DialogNPC && object.Int("Dialog") == 0)
                    problems.push_back(what + " has nothing to say (no Dialog)");
                break;
            case ObjectKind::SliceableEntity:
                ++survey.props;
                CheckImage(object.tile.source, 0, true, what, problems);
                break;
            case ObjectKind::StaticEntity:
                CheckImage(object.tile.source, 0, true, what, problems);
                if (object.Bool("Collidable"))
                    plan.props.push_back(
                        FootOf(object.position, {object.tile.width, object.tile.height}));
                break;
            case ObjectKind::Gate:
                ++survey.gates;
                CheckImage(RoomImageName(object.String("TextureName")), object.Int("Frames"), true,
                           what, problems);
                plan.gates.push_back(FootOf(object.position, object.size));
                break;
            case ObjectKind::TriggerLine:
                if (TriggerKindFromText(object.String("Trigger")) == 3)
                    ++survey.ambushes;
                if (TriggerKindFromText(object.String("Trigger")) == 4)
                    survey.endsInCredits = true;
                break;
            default:
                break;
            }
            if (IsEnemy(object.kind)) {
                ++survey.enemies[object.name];
                if (object.kind == ObjectKind::Dummy)
                    plan.dummy = true;
                else
                    plan.foes.push_back(object.position);
                if (object.kind == ObjectKind::BasicEnemy && object.Bool("DisableAttack"))
                    ++survey.dormant;
                if (object.kind == ObjectKind::Commander && object.Int("Dialog") == 0)
                    problems.push_back(what + " has no words after his fall (no Dialog)");
            }
            // What stands in the room stands on its floor; torches and
            // scenery that is not solid may hang on the walls.
            const bool mayHang =
                object.kind == ObjectKind::Torch || object.kind == ObjectKind::Door ||
                (object.kind == ObjectKind::StaticEntity && !object.Bool("Collidable"));
            if (!mayHang && !onFloor)
                problems.push_back(what + " does not stand on floor");
            if (object.kind == ObjectKind::Torch &&
                !NextToFloor(*room, object.position + Vec2{object.size.x, -object.size.y} / 2.0f))
                problems.push_back(what + " burns inside the rock, away from every floor");
        }
        // Nobody stands inside a solid prop.
        for (const RoomObject& object : room->objects) {
            const bool stands = IsEnemy(object.kind) || object.kind == ObjectKind::Player ||
                                object.kind == ObjectKind::DialogNPC ||
                                object.kind == ObjectKind::WindowNPC ||
                                object.kind == ObjectKind::RefillStation ||
                                object.kind == ObjectKind::SliceableEntity;
            Collider2D at;
            at.UpdateTransform(object.position, 0.0f, {1.0f, 1.0f});
            if (stands && std::any_of(plan.props.begin(), plan.props.end(),
                                      [&](const AABB& box) { return box.TestPoint(at); }))
                problems.push_back(Describe(number, object) + " stands inside a solid prop");
        }
        std::vector<AABB> solids = plan.props;
        solids.insert(solids.end(), plan.gates.begin(), plan.gates.end());
        plan.shut = std::make_unique<Reach>(*room, solids);
        plan.open = std::make_unique<Reach>(*room, plan.props);
    }
    std::sort(survey.rooms.begin(), survey.rooms.end());
    if (players != 1)
        problems.push_back(who + " places Blade " + std::to_string(players) +
                           " times; once, in the start room, is right");

    for (int32_t dialog : survey.dialogs) {
        for (const std::string& p : CheckConversation(dialog))
            problems.push_back(p);
    }

    // Walk the level: from every place Blade stands, the floor he reaches;
    // a room whose enemies he reaches is cleared and its gates open; each
    // door he can touch and pass puts him in the next room. Repeat until
    // nothing new is reached.
    bool exitReached = false;
    bool creditsReached = false;
    for (bool changed = true; changed;) {
        changed = false;
        for (auto& [number, plan] : plans) {
            if (plan.seeds.empty())
                continue;
            const MapRoom& room = *plan.room;
            plan.shut->Clear();
            for (Vec2 seed : plan.seeds)
                plan.shut->Flood(seed);
            // Captured by name: clang does not capture structured bindings.
            const auto* shut = plan.shut.get();
            plan.clearable =
                !plan.dummy && std::all_of(plan.foes.begin(), plan.foes.end(), [shut](Vec2 foe) {
                    return shut->Near(foe, kStrikeReach);
                });
            const Reach* region = plan.shut.get();
            if (plan.clearable) {
                plan.open->Clear();
                for (Vec2 seed : plan.seeds)
                    plan.open->Flood(seed);
                region = plan.open.get();
            }
            for (const Door& door : room.doors) {
                if (!region->Touches(door))
                    continue;
                const bool passable =
                    door.enterCondition == DoorAlways ||
                    (door.enterCondition == DoorNoEnemy && plan.clearable) ||
                    (door.enterCondition == DoorWhileEnemy && (plan.dummy || !plan.foes.empty()));
                if (!passable)
                    continue;
                if (door.target == 0) {
                    exitReached = true;
                    continue;
                }
                RoomPlan& next = plans.at(door.target);
                const Door* back = next.room->DoorTo(number);
                if (!back)
                    continue;
                const Vec2 entry = back->entryLine.end;
                if (std::find(next.seeds.begin(), next.seeds.end(), entry) == next.seeds.end()) {
                    next.seeds.push_back(entry);
                    next.seedFrom.push_back(number);
                    changed = true;
                }
            }
        }
    }

    // What the walk leaves unreached.
    for (auto& [number, plan] : plans) {
        const std::string here = RoomName(number);
        if (plan.seeds.empty()) {
            problems.push_back(here + " cannot be reached from the start");
            continue;
        }
        const MapRoom& room = *plan.room;
        const Reach& region = plan.clearable ? *plan.open : *plan.shut;
        for (size_t k = 0; k < plan.seeds.size(); ++k) {
            const Vec2 seed = plan.seeds[k];
            const bool stands = plan.shut->Free(seed) || (plan.clearable && plan.open->Free(seed));
            if (!stands)
                problems.push_back(here + ": Blade " +
                                   (plan.seedFrom[k] == 0
                                        ? std::string("starts")
                                        : "comes in from " + RoomName(plan.seedFrom[k])) +
                                   " where he cannot stand (a wall, a prop or a shut gate)");
        }
        for (const Door& door : room.doors) {
            if (!region.Touches(door))
                problems.push_back(here + "'s door to " + RoomName(door.target) +
                                   " cannot be reached");
            if (door.enterCondition == DoorDisabled)
                continue;
            if (door.enterCondition == DoorNoEnemy && !plan.clearable)
                problems.push_back(here + "'s door to " + RoomName(door.target) +
                                   " waits for a room that cannot be cleared");
        }
        if (!plan.gates.empty() && plan.foes.empty())
            problems.push_back(here + " has a gate but no enemy to clear");
        if (!plan.gates.empty() && plan.dummy)
            problems.push_back(here + " has a gate and a training dummy, which never falls");
        for (Vec2 foe : plan.foes) {
            if (!plan.shut->Near(foe, kStrikeReach)) {
                std::ostringstream at;
                at << here << ": an enemy at (" << foe.x << ", " << -foe.y << ") cannot be reached"
                   << (plan.gates.empty() ? "" : ", so the gate never opens");
                problems.push_back(at.str());
            }
        }
        bool hasDormant = false;
        for (const RoomObject& object : room.objects) {
            const std::string what = Describe(number, object);
            if (object.kind == ObjectKind::BasicEnemy && object.Bool("DisableAttack"))
                hasDormant = true;
            if ((object.kind == ObjectKind::DialogNPC || object.kind == ObjectKind::WindowNPC ||
                 object.kind == ObjectKind::RefillStation) &&
                !region.Near(object.position, kTalkReach))
                problems.push_back(what + " cannot be reached");
            if (object.kind == ObjectKind::TriggerLine) {
                if (!region.Touches(object.line))
                    problems.push_back(what + " (" + object.String("Trigger") +
                                       ") cannot be reached");
                else if (TriggerKindFromText(object.String("Trigger")) == 4)
                    creditsReached = true;
            }
        }
        for (const RoomObject& object : room.objects) {
            if (object.kind == ObjectKind::TriggerLine &&
                TriggerKindFromText(object.String("Trigger")) == 3 && !hasDormant)
                problems.push_back(here + " has an ambush line but no dormant soldier");
        }
    }

    // One way out: an exit door, or the credits line at the story's end.
    int exits = 0;
    int credits = 0;
    for (auto& [number, plan] : plans) {
        for (const Door& door : plan.room->doors)
            exits += door.target == 0;
        for (const RoomObject& object : plan.room->objects)
            credits += object.kind == ObjectKind::TriggerLine &&
                       TriggerKindFromText(object.String("Trigger")) == 4;
    }
    // A level pack may end at an exit door or in the credits.
    if (last && !LevelPack::Current().empty() && credits == 0)
        last = false;
    if (last) {
        if (credits != 1 || exits != 0)
            problems.push_back(who +
                               " ends the story: it needs one credits line and no exit "
                               "door (it has " +
                               std::to_string(credits) + " and " + std::to_string(exits) + ")");
        else if (!creditsReached)
            problems.push_back(who + "'s credits line cannot be reached");
    } else {
        if (exits != 1 || credits != 0)
            problems.push_back(who + " needs one exit door and no credits line (it has " +
                               std::to_string(exits) + " and " + std::to_string(credits) + ")");
        else if (!exitReached)
            problems.push_back(who + "'s exit cannot be reached");
    }
    return survey;
}

std::vector<LevelSurvey> CheckStory() {
    std::vector<int32_t> starts;
    std::vector<std::string> music;
    std::string problem;
    if (!ReadCatalogue(starts, music, problem) || starts.empty()) {
        LevelSurvey survey;
        survey.problems.push_back(problem.empty() ? Shown(LevelPack::AssetFile("levels.xml")) +
                                                        " names no level"
                                                  : problem);
        return {survey};
    }
    std::vector<LevelSurvey> surveys;
    std::map<int32_t, int32_t> owner; // room -> first level that reaches it
    for (size_t k = 0; k < starts.size(); ++k) {
        const auto level = static_cast<int32_t>(k);
        surveys.push_back(CheckLevel(level, starts[k], music[k], k + 1 == starts.size()));
        for (int32_t room : surveys.back().rooms) {
            const auto [it, fresh] = owner.emplace(room, level);
            if (!fresh)
                surveys.back().problems.push_back(RoomName(room) + " belongs to level " +
                                                  std::to_string(it->second + 1) + " already");
        }
    }
    return surveys;
}

} // namespace LevelMap

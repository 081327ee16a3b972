// TiledProject -- the editor's view of the room-object table.
#include "TiledProject.h"

#include "world/RoomObjects.h"

#include <tinyxml2.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace TiledProject {

namespace {

// The words the game's readers take for the few properties with fixed
// choices (a door's condition and its entry conversation, a line's kind).
const std::map<std::string, std::vector<std::string>>& FixedChoices() {
    static const std::map<std::string, std::vector<std::string>> choices = {
        {"EnterCondition", {"NoEnemy", "HasEnemy", "Disabled"}},
        {"EnterDialogTrigger", {"HasEnemy", "OneShot"}},
        {"Trigger", {"TriggerDialog", "TriggerDialogNoEnemy", "TriggerEnemy", "TriggerCredits"}},
    };
    return choices;
}

std::string TypeName(LevelMap::PropertyType type) {
    switch (type) {
    case LevelMap::PropertyType::Bool:
        return "bool";
    case LevelMap::PropertyType::Int:
        return "int";
    case LevelMap::PropertyType::Float:
        return "float";
    case LevelMap::PropertyType::String:
        return "string";
    }
    return "string";
}

std::string ShapeOf(const LevelMap::ObjectRule& rule) {
    using LevelMap::Placement;
    switch (rule.placement) {
    case Placement::TileCentre:
        return "tile";
    case Placement::Line:
        return "line";
    case Placement::Corner:
        // A corner with a picture of its own (a torch) is drawn as its box.
        for (const LevelMap::PropertySpec& p : rule.properties) {
            if (std::string(p.name) == "TextureName")
                return "rectangle";
        }
        return "point";
    default:
        return "rectangle";
    }
}

bool Save(tinyxml2::XMLDocument& doc, const fs::path& file, std::string& problem) {
    doc.InsertFirstChild(doc.NewDeclaration());
    if (doc.SaveFile(file.string().c_str()) == tinyxml2::XML_SUCCESS)
        return true;
    problem = "cannot write " + file.string();
    return false;
}

tinyxml2::XMLElement* AddProperties(tinyxml2::XMLElement* parent, const Kind& kind) {
    tinyxml2::XMLElement* props = parent->InsertNewChildElement("properties");
    for (const Property& p : kind.properties) {
        // Left unset, a choice keeps the game's default (none of them).
        if (!p.choices.empty() && p.value.empty())
            continue;
        tinyxml2::XMLElement* e = props->InsertNewChildElement("property");
        e->SetAttribute("name", p.name.c_str());
        if (p.type != "string")
            e->SetAttribute("type", p.type.c_str());
        if (!p.choices.empty())
            e->SetAttribute("propertytype", p.choices.c_str());
        e->SetAttribute("value", p.value.c_str());
    }
    return props;
}

// The size Tiled shows a kind's box at before the author stretches it.
void SetSize(tinyxml2::XMLElement* object, const Kind& kind) {
    if (kind.shape != "rectangle")
        return;
    const bool small = kind.group == "Torches";
    const bool gate = kind.name == "Gate";
    object->SetAttribute("width", small ? 32 : 96);
    object->SetAttribute("height", small ? 32 : gate ? 64 : 96);
}

bool WriteTemplate(const Kind& kind, const fs::path& file, std::string& problem) {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("template");
    doc.InsertEndChild(root);
    if (kind.shape == "tile") {
        tinyxml2::XMLElement* tileset = root->InsertNewChildElement("tileset");
        tileset->SetAttribute("firstgid", 1);
        tileset->SetAttribute("source", "../rooms/core_sprites.tsx");
    }
    tinyxml2::XMLElement* object = root->InsertNewChildElement("object");
    if (!kind.name.empty())
        object->SetAttribute("name", kind.name.c_str());
    object->SetAttribute("type", kind.type.c_str());
    if (kind.shape == "tile") {
        object->SetAttribute("gid", 1);
        object->SetAttribute("width", 48);
        object->SetAttribute("height", 48);
    }
    SetSize(object, kind);
    if (!kind.properties.empty())
        AddProperties(object, kind);
    if (kind.shape == "point")
        object->InsertNewChildElement("point");
    if (kind.shape == "line")
        object->InsertNewChildElement("polyline")->SetAttribute("points", "0,0 96,0");
    return Save(doc, file, problem);
}

bool WriteObjectTypes(const fs::path& file, std::string& problem) {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("objecttypes");
    doc.InsertEndChild(root);
    for (const Kind& kind : Kinds()) {
        tinyxml2::XMLElement* type = root->InsertNewChildElement("objecttype");
        type->SetAttribute("name", kind.type.c_str());
        type->SetAttribute("color", "#a0a0a4");
        for (const Property& p : kind.properties) {
            tinyxml2::XMLElement* e = type->InsertNewChildElement("property");
            e->SetAttribute("name", p.name.c_str());
            e->SetAttribute("type", p.type.c_str());
            if (!p.choices.empty() && !p.value.empty())
                e->SetAttribute("propertytype", p.choices.c_str());
            e->SetAttribute("default", p.value.c_str());
        }
    }
    return Save(doc, file, problem);
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

bool WriteProject(const fs::path& file, std::string& problem) {
    std::ofstream out(file);
    out << "{\n    \"automappingRulesFile\": \"\",\n    \"commands\": [],\n"
        << "    \"extensionsPath\": \"extensions\",\n    \"folders\": [\".\"],\n"
        << "    \"objectTypesFile\": \"objecttypes.xml\",\n    \"propertyTypes\": [";
    int id = 1;
    for (const auto& [name, values] : Enums()) {
        out << (id > 1 ? "," : "") << "\n        {\n            \"id\": " << id
            << ",\n            \"name\": " << Quoted(name)
            << ",\n            \"storageType\": \"string\",\n            \"type\": \"enum\""
            << ",\n            \"values\": [";
        for (size_t k = 0; k < values.size(); ++k)
            out << (k ? ", " : "") << Quoted(values[k]);
        out << "],\n            \"valuesAsFlags\": false\n        }";
        ++id;
    }
    out << "\n    ]\n}\n";
    if (out.good())
        return true;
    problem = "cannot write " + file.string();
    return false;
}

// An empty room of 16 x 12 cells: floor inside a wall, with every object
// layer ready.
bool WriteBlankRoom(const fs::path& file, std::string& problem) {
    constexpr int kWidth = 16, kHeight = 12;
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* map = doc.NewElement("map");
    doc.InsertEndChild(map);
    map->SetAttribute("version", "1.8");
    map->SetAttribute("orientation", "orthogonal");
    map->SetAttribute("renderorder", "right-down");
    map->SetAttribute("width", kWidth);
    map->SetAttribute("height", kHeight);
    map->SetAttribute("tilewidth", 48);
    map->SetAttribute("tileheight", 48);
    map->SetAttribute("infinite", 0);
    map->SetAttribute("backgroundcolor", "#000000");
    int nextLayer = 1;
    tinyxml2::XMLElement* terrain = map->InsertNewChildElement("tileset");
    terrain->SetAttribute("firstgid", 1);
    terrain->SetAttribute("source", "core_terrain.tsx");
    tinyxml2::XMLElement* sprites = map->InsertNewChildElement("tileset");
    sprites->SetAttribute("firstgid", 15);
    sprites->SetAttribute("source", "core_sprites.tsx");
    tinyxml2::XMLElement* layer = map->InsertNewChildElement("layer");
    layer->SetAttribute("id", nextLayer++);
    layer->SetAttribute("name", "Tiles");
    layer->SetAttribute("width", kWidth);
    layer->SetAttribute("height", kHeight);
    // The core terrain's pieces: corners, walls and floor.
    std::string csv = "\n";
    for (int r = 0; r < kHeight; ++r) {
        for (int c = 0; c < kWidth; ++c) {
            const bool top = r == 0, bottom = r == kHeight - 1;
            const bool left = c == 0, right = c == kWidth - 1;
            int id = 5;
            if (top)
                id = left ? 10 : right ? 11 : 7;
            else if (bottom)
                id = left ? 13 : right ? 14 : 3;
            else if (left)
                id = 1;
            else if (right)
                id = 9;
            csv += std::to_string(id) + (r == kHeight - 1 && c == kWidth - 1 ? "\n" : ",");
        }
        if (r != kHeight - 1)
            csv += "\n";
    }
    tinyxml2::XMLElement* data = layer->InsertNewChildElement("data");
    data->SetAttribute("encoding", "csv");
    data->SetText(csv.c_str());
    for (const std::string& group : Groups()) {
        tinyxml2::XMLElement* objects = map->InsertNewChildElement("objectgroup");
        objects->SetAttribute("id", nextLayer++);
        objects->SetAttribute("name", group.c_str());
    }
    map->SetAttribute("nextlayerid", nextLayer);
    map->SetAttribute("nextobjectid", 1);
    return Save(doc, file, problem);
}

// The game's tilesets, and the pictures they name, beside the project.
bool CopyTilesets(const fs::path& assets, const fs::path& out, std::string& problem) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(assets / "rooms", ec)) {
        if (entry.path().extension() != ".tsx")
            continue;
        fs::copy_file(entry.path(), out / "rooms" / entry.path().filename(),
                      fs::copy_options::overwrite_existing, ec);
        tinyxml2::XMLDocument doc;
        if (doc.LoadFile(entry.path().string().c_str()) != tinyxml2::XML_SUCCESS)
            continue;
        std::set<std::string> images;
        const tinyxml2::XMLElement* tileset = doc.FirstChildElement("tileset");
        if (const tinyxml2::XMLElement* image =
                tileset ? tileset->FirstChildElement("image") : nullptr)
            images.insert(image->Attribute("source") ? image->Attribute("source") : "");
        for (const tinyxml2::XMLElement* tile = tileset ? tileset->FirstChildElement("tile")
                                                        : nullptr;
             tile; tile = tile->NextSiblingElement("tile")) {
            if (const tinyxml2::XMLElement* image = tile->FirstChildElement("image"))
                images.insert(image->Attribute("source") ? image->Attribute("source") : "");
        }
        for (const std::string& image : images) {
            const fs::path from = (assets / "rooms" / image).lexically_normal();
            const fs::path to = (out / "rooms" / image).lexically_normal();
            if (image.empty() || !fs::is_regular_file(from, ec))
                continue;
            fs::create_directories(to.parent_path(), ec);
            fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
            if (ec) {
                problem = "cannot copy " + from.string() + ": " + ec.message();
                return false;
            }
        }
    }
    return true;
}

} // namespace

std::vector<Kind> Kinds() {
    std::vector<Kind> kinds;
    for (const LevelMap::ObjectRule& rule : LevelMap::ObjectRules()) {
        Kind kind;
        kind.group = rule.group;
        const bool named = rule.match == LevelMap::NameMatch::Exactly && rule.name;
        kind.name = named ? rule.name : "";
        kind.type = named ? rule.name : rule.group;
        kind.shape = ShapeOf(rule);
        for (const LevelMap::PropertySpec& spec : rule.properties) {
            Property p{spec.name, TypeName(spec.type), spec.fallback, ""};
            if (FixedChoices().count(p.name))
                p.choices = p.name;
            kind.properties.push_back(p);
        }
        kinds.push_back(kind);
    }
    return kinds;
}

std::vector<std::pair<std::string, std::vector<std::string>>> Enums() {
    return {FixedChoices().begin(), FixedChoices().end()};
}

std::vector<std::string> Groups() {
    std::vector<std::string> groups;
    for (const Kind& kind : Kinds()) {
        if (std::find(groups.begin(), groups.end(), kind.group) == groups.end())
            groups.push_back(kind.group);
    }
    return groups;
}

bool Write(const std::string& outDir, const std::string& game, std::string& problem) {
    const fs::path out(outDir);
    std::error_code ec;
    fs::create_directories(out / "templates", ec);
    fs::create_directories(out / "rooms", ec);
    if (ec) {
        problem = "cannot make " + outDir + ": " + ec.message();
        return false;
    }
    if (!WriteProject(out / "quorvane.tiled-project", problem) ||
        !WriteObjectTypes(out / "objecttypes.xml", problem) ||
        !WriteBlankRoom(out / "rooms" / "blank.tmx", problem) ||
        !CopyTilesets(fs::path(game) / "assets", out, problem))
        return false;
    for (const Kind& kind : Kinds()) {
        if (!WriteTemplate(kind, out / "templates" / (kind.type + ".tx"), problem))
            return false;
    }
    return true;
}

} // namespace TiledProject

// ObjectTemplates -- laying a map's object over its template.
#include "world/ObjectTemplates.h"

#include "core/DataFile.h"
#include "core/LevelPack.h"

#include <tinyxml2.h>

#include <filesystem>

namespace LevelMap {

namespace {

bool IsShape(const char* name) {
    const std::string n = name;
    return n == "polyline" || n == "polygon" || n == "ellipse" || n == "point" || n == "text";
}

// The template's file: beside the map, or for a level pack its own or the
// game's; "" when it lies outside both.
std::string TemplateFile(const std::string& mapFile, const char* source) {
    const std::string path =
        (std::filesystem::path(mapFile).parent_path() / source).lexically_normal().generic_string();
    return LevelPack::Current().empty() ? path : LevelPack::AssetFile(LevelPack::NameOf(path));
}

// The tileset `source` names, as a name under the game's assets.
std::string TilesetName(const std::string& namingFile, const char* source) {
    return LevelPack::NameOf((std::filesystem::path(namingFile).parent_path() / source)
                                 .lexically_normal()
                                 .generic_string());
}

std::string RenumberTile(tinyxml2::XMLElement* merged, const tinyxml2::XMLElement& root,
                         const std::string& templateFile, const tinyxml2::XMLElement* placed,
                         const std::string& mapFile) {
    const tinyxml2::XMLElement* own = root.FirstChildElement("tileset");
    const tinyxml2::XMLNode* group = placed->Parent();
    const tinyxml2::XMLElement* map =
        group && group->Parent() ? group->Parent()->ToElement() : nullptr;
    if (!own || !own->Attribute("source") || !map)
        return "its template's tile has no tileset";
    const std::string wanted = TilesetName(templateFile, own->Attribute("source"));
    for (const tinyxml2::XMLElement* t = map->FirstChildElement("tileset"); t;
         t = t->NextSiblingElement("tileset")) {
        if (t->Attribute("source") && TilesetName(mapFile, t->Attribute("source")) == wanted) {
            const int64_t gid = merged->Int64Attribute("gid") - own->Int64Attribute("firstgid") +
                                t->Int64Attribute("firstgid");
            merged->SetAttribute("gid", gid);
            return "";
        }
    }
    return "its template's tileset " + wanted + " is not one of the room's";
}

} // namespace

const tinyxml2::XMLElement* WithTemplate(const tinyxml2::XMLElement* object,
                                         const std::string& mapFile, tinyxml2::XMLDocument& scratch,
                                         std::string& problem) {
    const char* source = object->Attribute("template");
    if (!source)
        return object;
    const std::string file = TemplateFile(mapFile, source);
    if (file.empty()) {
        problem = std::string("its template ") + source + " lies outside the level pack's folder";
        return nullptr;
    }
    tinyxml2::XMLDocument doc;
    const XmlLoad load = LoadXmlFile(doc, file, kAssetFileLimit);
    const tinyxml2::XMLElement* root = load.ok ? doc.FirstChildElement("template") : nullptr;
    const tinyxml2::XMLElement* base = root ? root->FirstChildElement("object") : nullptr;
    if (!base) {
        problem = std::string("its template ") + source +
                  (load.ok ? " holds no object" : " " + load.problem);
        return nullptr;
    }
    scratch.Clear();
    tinyxml2::XMLElement* merged = base->DeepClone(&scratch)->ToElement();
    scratch.InsertEndChild(merged);
    for (const tinyxml2::XMLAttribute* a = object->FirstAttribute(); a; a = a->Next()) {
        if (std::string(a->Name()) != "template")
            merged->SetAttribute(a->Name(), a->Value());
    }
    for (const tinyxml2::XMLElement* child = object->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        if (std::string(child->Name()) == "properties") {
            tinyxml2::XMLElement* props = merged->FirstChildElement("properties");
            if (!props)
                props = merged->InsertNewChildElement("properties");
            for (const tinyxml2::XMLElement* p = child->FirstChildElement("property"); p;
                 p = p->NextSiblingElement("property")) {
                const char* name = p->Attribute("name");
                for (tinyxml2::XMLElement* old = props->FirstChildElement("property"); old;) {
                    tinyxml2::XMLElement* next = old->NextSiblingElement("property");
                    if (name && old->Attribute("name", name))
                        props->DeleteChild(old);
                    old = next;
                }
                props->InsertEndChild(p->DeepClone(&scratch));
            }
        } else if (IsShape(child->Name())) {
            for (tinyxml2::XMLElement* old = merged->FirstChildElement(); old;) {
                tinyxml2::XMLElement* next = old->NextSiblingElement();
                if (IsShape(old->Name()))
                    merged->DeleteChild(old);
                old = next;
            }
            merged->InsertEndChild(child->DeepClone(&scratch));
        }
    }
    // A tile's number in the template counts from the template's tileset;
    // in the room it counts from the room's copy of that tileset.
    if (merged->Attribute("gid") && !object->Attribute("gid")) {
        problem = RenumberTile(merged, *root, file, object, mapFile);
        if (!problem.empty())
            return nullptr;
    }
    return merged;
}

} // namespace LevelMap

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
    return merged;
}

} // namespace LevelMap

// The Tiled project for level authors follows the room-object table: every
// kind the table holds has its object type, with each property typed and
// at its default, and its template; the blank room is one the game loads.
#include "world/RoomData.h"
#include "world/RoomObjects.h"

#include "support/TestSupport.h"

#include <tinyxml2.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace LevelMap;

namespace {

const char* TiledType(PropertyType type) {
    switch (type) {
    case PropertyType::Bool:
        return "bool";
    case PropertyType::Int:
        return "int";
    case PropertyType::Float:
        return "float";
    case PropertyType::String:
        return "string";
    }
    return "";
}

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class TiledProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string tool = BuildDir() + "/tools/tiledproject/tiledproject";
        const std::string command = tool + " " + out.string() + " " + BuildDir() + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    ScratchGameDir scratch;
    fs::path out = fs::path(scratch.Path()) / "project";
};

} // namespace

TEST_F(TiledProjectTest, EveryKindOfTheTableHasItsTypeAndTemplate) {
    tinyxml2::XMLDocument types;
    ASSERT_EQ(types.LoadFile((out / "objecttypes.xml").c_str()), tinyxml2::XML_SUCCESS);
    std::set<std::string> seen;
    for (const ObjectRule& rule : ObjectRules()) {
        const bool named = rule.match == NameMatch::Exactly;
        const std::string type = named ? rule.name : rule.group;
        SCOPED_TRACE(type);
        EXPECT_TRUE(seen.insert(type).second) << "two kinds share a type name";
        const tinyxml2::XMLElement* t = types.RootElement()->FirstChildElement("objecttype");
        while (t && type != t->Attribute("name"))
            t = t->NextSiblingElement("objecttype");
        ASSERT_NE(t, nullptr);
        size_t properties = 0;
        for (const tinyxml2::XMLElement* p = t->FirstChildElement("property"); p;
             p = p->NextSiblingElement("property"))
            ++properties;
        EXPECT_EQ(properties, rule.properties.size());
        for (const PropertySpec& spec : rule.properties) {
            const tinyxml2::XMLElement* p = t->FirstChildElement("property");
            while (p && std::string(spec.name) != p->Attribute("name"))
                p = p->NextSiblingElement("property");
            ASSERT_NE(p, nullptr) << spec.name;
            EXPECT_STREQ(p->Attribute("type"), TiledType(spec.type)) << spec.name;
            EXPECT_STREQ(p->Attribute("default"), spec.fallback) << spec.name;
        }
        // The template places an object the game reads as this kind.
        tinyxml2::XMLDocument tx;
        ASSERT_EQ(tx.LoadFile((out / "templates" / (type + ".tx")).c_str()), tinyxml2::XML_SUCCESS);
        const tinyxml2::XMLElement* object =
            tx.FirstChildElement("template")->FirstChildElement("object");
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(FindObjectRule(rule.group, object->Attribute("name")), &rule);
        EXPECT_EQ(object->Attribute("gid") != nullptr, rule.placement == Placement::TileCentre);
        EXPECT_EQ(object->FirstChildElement("polyline") != nullptr,
                  rule.placement == Placement::Line);
    }
    const std::string project = ReadText(out / "quorvane.tiled-project");
    EXPECT_NE(project.find("\"objectTypesFile\": \"objecttypes.xml\""), std::string::npos);
    for (const char* choice : {"NoEnemy", "OneShot", "TriggerCredits"})
        EXPECT_NE(project.find(std::string("\"") + choice + "\""), std::string::npos) << choice;
}

TEST_F(TiledProjectTest, TheBlankRoomLoadsWithALayerForEveryGroup) {
    RoomData room;
    room.LoadFile((out / "rooms/blank.tmx").string(), 1);
    EXPECT_EQ(room.width, 16);
    EXPECT_EQ(room.height, 12);
    EXPECT_TRUE(room.IsWalkableCell(5, 5));
    EXPECT_FALSE(room.IsWalkableCell(0, 0));
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.LoadFile((out / "rooms/blank.tmx").c_str()), tinyxml2::XML_SUCCESS);
    std::set<std::string> layers;
    for (const tinyxml2::XMLElement* g = doc.RootElement()->FirstChildElement("objectgroup"); g;
         g = g->NextSiblingElement("objectgroup"))
        layers.insert(g->Attribute("name"));
    for (const ObjectRule& rule : ObjectRules())
        EXPECT_TRUE(layers.count(rule.group)) << rule.group;
    // The tilesets and their pictures are beside it.
    EXPECT_TRUE(fs::exists(out / "rooms/core_terrain.tsx"));
    EXPECT_TRUE(fs::exists(out / "core_terrain.png"));
    EXPECT_TRUE(fs::exists(out / "prop_crate.png"));
}

// The sample pack was made from these templates; it holds them as written.
TEST_F(TiledProjectTest, TheSamplePackUsesTheTemplatesAsWritten) {
    const fs::path sample = fs::path(SourceDir()) / "tests/fixtures/packs/sample/templates";
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(sample)) {
        ++count;
        EXPECT_EQ(ReadText(entry.path()), ReadText(out / "templates" / entry.path().filename()))
            << entry.path().filename();
    }
    EXPECT_GT(count, 0u);
}

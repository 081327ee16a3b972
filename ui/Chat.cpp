// Chat -- conversation files and loaded conversations.
#include "ui/Chat.h"

#include "core/DataFile.h"
#include "core/LevelPack.h"
#include "core/Utf8.h"
#include "ui/Dialog.h"
#include "world/XmlRead.h"

#include <tinyxml2.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

// Sane limits for a portrait: anything outside them is a broken file.
constexpr int32_t kMaxFrames = 256;
constexpr float kMaxFrameDelay = 60.0f;     // seconds
constexpr float kMaxPortraitSide = 4096.0f; // UI units

std::string Trimmed(const char* text) {
    std::string s = text ? text : "";
    const char* blank = " \t\r\n";
    const size_t first = s.find_first_not_of(blank);
    if (first == std::string::npos)
        return "";
    const size_t last = s.find_last_not_of(blank);
    return s.substr(first, last - first + 1);
}

bool ReadPortrait(const tinyxml2::XMLElement* element, const std::string& path,
                  ChatScript::Portrait& out) {
    ChatScript::Portrait p;
    p.texture = ReadStringAttribute(element, "texture");
    p.frames = ReadIntAttribute(element, "frames", 0);
    p.frameDelay = ReadFloatAttribute(element, "frameDelay", 0.0f);
    p.size = {ReadFloatAttribute(element, "width", 0.0f),
              ReadFloatAttribute(element, "height", 0.0f)};
    const char* side = element->Name();
    if (p.texture.empty()) {
        std::fprintf(stderr, "DIALOG: %s: the %s portrait names no image\n", path.c_str(), side);
        return false;
    }
    std::error_code error;
    const std::string image = LevelPack::AssetFile(p.texture);
    if (!std::filesystem::is_regular_file(image, error)) {
        std::fprintf(stderr, "DIALOG: %s: the %s portrait's image %s is missing\n", path.c_str(),
                     side, image.empty() ? p.texture.c_str() : image.c_str());
        return false;
    }
    const bool sane = p.frames >= 1 && p.frames <= kMaxFrames && std::isfinite(p.frameDelay) &&
                      p.frameDelay >= 0.0f && p.frameDelay <= kMaxFrameDelay &&
                      std::isfinite(p.size.x) && std::isfinite(p.size.y) && p.size.x > 0.0f &&
                      p.size.y > 0.0f && p.size.x <= kMaxPortraitSide &&
                      p.size.y <= kMaxPortraitSide;
    if (!sane) {
        std::fprintf(stderr,
                     "DIALOG: %s: the %s portrait's numbers make no sense (frames %d, frame "
                     "delay %g, size %g x %g)\n",
                     path.c_str(), side, p.frames, static_cast<double>(p.frameDelay),
                     static_cast<double>(p.size.x), static_cast<double>(p.size.y));
        return false;
    }
    out = p;
    return true;
}

} // namespace

bool ReadChatScript(const std::string& path, ChatScript& out) {
    out = ChatScript();
    tinyxml2::XMLDocument doc;
    const XmlLoad load = LoadXmlFile(doc, path, kAssetFileLimit);
    if (!load.ok) {
        std::fprintf(stderr, "DIALOG: %s %s\n", path.c_str(), load.problem.c_str());
        return false;
    }
    const tinyxml2::XMLElement* root = doc.RootElement();
    if (!root) {
        std::fprintf(stderr, "DIALOG: %s holds no conversation\n", path.c_str());
        return false;
    }
    const char* names[2] = {"rhs", "lhs"};
    for (size_t i = 0; i < 2; ++i) {
        if (const tinyxml2::XMLElement* e = root->FirstChildElement(names[i]))
            ReadPortrait(e, path, out.portraits[i]);
    }
    int32_t side = 1; // the first line without a side speaks from the left
    for (const tinyxml2::XMLElement* e = root->FirstChildElement("dialog"); e;
         e = e->NextSiblingElement("dialog")) {
        if (const char* given = e->Attribute("side"))
            side = given[0] == 'r' ? 0 : 1;
        out.lines.push_back({DecodeUtf8(Trimmed(e->GetText())), side});
    }
    return true;
}

Chat::~Chat() {
    for (Dialog* line : lines)
        DialogPool::Give(line);
}

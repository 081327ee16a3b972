// LevelPack.h -- levels made by players. A level pack is a folder laid out
// like the game's assets/: its own levels.xml, rooms/<n>.tmx and
// dialogs/<n>.xml, and, when it wants them, images, tilesets, particles and
// sounds/ of its own; whatever else its rooms name comes from the game's
// assets. A small pack.xml gives its name and author:
//
//   <pack name="The Old Mill" author="Ada"/>
//
// While a pack is played every file the game reads under assets/ goes
// through AssetFile(): the pack's copy when it has one, the game's
// otherwise. A name that leads out of the pack's folder (an absolute path,
// "..", a link pointing elsewhere) is refused, so a pack reads nothing but
// its own folder and the game's assets.
#pragma once

#include <string>
#include <vector>

namespace LevelPack {

// What the "Level packs" page shows of one pack.
struct Info {
    std::string dir;     // the folder, absolute
    std::string name;    // from pack.xml; the folder's name when it gives none
    std::string author;  // "" when pack.xml names nobody
    int levels = 0;      // levels in its levels.xml
    std::string problem; // why it cannot be listed as playable ("" when it can)
};

// Reads the pack in folder `dir`.
Info Read(const std::string& dir);
// Every pack found directly inside each of `folders` (a folder that is a
// pack itself counts as one), sorted by name.
std::vector<Info> FindAll(const std::vector<std::string>& folders);

// Plays the pack in `dir` from now on; "" goes back to the game's story.
void Use(const std::string& dir);
// The folder of the pack in use (absolute); "" for the story.
const std::string& Current();

// The file to open for `name`, a path as it would be under assets/
// ("rooms/3.tmx", "core_terrain.png", "sounds/04.ogg"). With no pack in
// use: "assets/" + name (an absolute name as it is). With a pack: the
// pack's file when it has one, else the game's; levels.xml, rooms/*.tmx and
// dialogs/ always come from the pack. "" when the name is refused.
std::string AssetFile(const std::string& name);
// True when the pack in use would refuse `name` (it leads out of its folder).
bool Refused(const std::string& name);
// True when the pack in use holds `name` itself.
bool FromPack(const std::string& name);
// The name under assets/ of a path AssetFile gave (or of any path inside
// the pack's folder or assets/); other paths come back as they are.
std::string NameOf(const std::string& path);

// The save game of the pack in use, under the player's files: each pack
// keeps its own, named after its folder; "save.xml" for the story.
std::string SaveName();

} // namespace LevelPack

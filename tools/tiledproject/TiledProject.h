// TiledProject.h -- the Tiled project a level author opens: everything in
// it comes from the room-object table, so a new kind of object shows up in
// the editor without touching this tool.
#pragma once

#include <string>
#include <vector>

namespace TiledProject {

// One property an object kind reads, as the editor shows it.
struct Property {
    std::string name;
    std::string type;    // Tiled's: "bool", "int", "float", "string"
    std::string value;   // the game's default
    std::string choices; // the enum type listing the fixed choices, or ""
};

// One kind of room object: where it goes and what it reads.
struct Kind {
    std::string type;  // the template's name and the object's type ("Enemy", "Doors")
    std::string group; // the object layer it belongs in
    std::string name;  // the object's name ("" when any name will do)
    std::string shape; // "point", "rectangle", "line" or "tile"
    std::vector<Property> properties;
};

// Every kind of the game's room-object table, in the table's order.
std::vector<Kind> Kinds();
// The enum types: name and its choices.
std::vector<std::pair<std::string, std::vector<std::string>>> Enums();
// The object layers of a room, in the table's order.
std::vector<std::string> Groups();

// Writes the project into `out` from the game folder `game` (which holds
// assets/). False with `problem` set when something could not be written.
bool Write(const std::string& out, const std::string& game, std::string& problem);

} // namespace TiledProject

// ObjectTemplates.h -- objects placed from a Tiled template. The map then
// keeps only what the author changed (position, a property); the rest (the
// object's name, size, line, other properties) is in the template file
// (.tx) the object names, relative to the map.
#pragma once

#include <string>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
} // namespace tinyxml2

namespace LevelMap {

// The object as the author sees it in Tiled: `object` itself when it names
// no template; otherwise the template's object with the map's own
// attributes, properties and shape laid over it, built in `scratch`. Null
// when the template cannot be used, with the reason in `problem`.
const tinyxml2::XMLElement* WithTemplate(const tinyxml2::XMLElement* object,
                                         const std::string& mapFile, tinyxml2::XMLDocument& scratch,
                                         std::string& problem);

} // namespace LevelMap

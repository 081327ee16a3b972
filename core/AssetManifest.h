// AssetManifest.h -- the one table of every image, sound and music file the game opens.
//
// The asset generator draws exactly what this table lists and the game builds
// its frame tables from it, so a strip's frame count lives in one place.
#pragma once

#include <string>
#include <vector>

// A frame whose duration differs from its strip's default.
struct AssetFrameTime {
    int frame;     // index in the strip
    float seconds; // how long that frame shows
};

// One image: a horizontal strip of `frames` equal frames.
struct AssetImage {
    const char* file;                     // path under assets/, e.g. "blade_leftrun.png"
    int frames;                           // frames in the strip (1 for a still image)
    int frameWidth;                       // texels per frame
    int frameHeight;                      // texels
    bool lit;                             // drawn through the light pass: has a "_n" normal map
    float frameSeconds;                   // default seconds per frame (0 for stills)
    std::vector<AssetFrameTime> ownTimes; // frames with their own duration

    int StripWidth() const { return frames * frameWidth; }
    // The list Game::BuildFrameTables expects: frame count, then one
    // duration per frame.
    std::vector<float> FrameList() const;
};

// Every image of the game, characters first, interface last.
const std::vector<AssetImage>& AssetImages();
// The entry for `file` (as written in the table), or null when there is none.
const AssetImage* FindAssetImage(const std::string& file);
// The file name of a lit image's normal map ("x.png" gives "x_n.png").
std::string AssetNormalMapName(const std::string& file);

// One sound effect or music track under assets/sounds/.
struct AssetSound {
    const char* file;
    bool music;      // a looping track streamed by the sound system
    float seconds;   // length the generator renders (music: loop length)
    const char* use; // what the game plays it for
};

const std::vector<AssetSound>& AssetSounds();
const AssetSound* FindAssetSound(const std::string& file);

// Story level music, in level order, and the boss track a door starts.
const std::vector<std::string>& AssetLevelMusic();
extern const char* const kAssetEndlessMusic; // "03.Level0Music.ogg"
extern const char* const kAssetMenuMusic;    // the main menu chorale
extern const char* const kAssetBossMusic;    // started by the boss room's door

// The sprite tileset (assets/rooms/core_sprites.tsx): its tiles in id order.
// Generated rooms give that tileset first global id 15.
struct AssetPropTile {
    const char* file; // image under assets/ ("prop_crate.png")
    bool sliceable;   // breakable by a slash or a shot
};
const std::vector<AssetPropTile>& AssetPropTiles();
constexpr int kAssetSpriteFirstGid = 15;

// Terrain atlas global ids (core_terrain.tsx, first global id 1).
enum AssetTerrainId {
    kTerrainLeftWall = 1,
    kTerrainInnerFloorUpLeft = 2, // inner corner, floor above and to the left
    kTerrainBottomWall = 3,
    kTerrainInnerFloorUpRight = 4, // floor above and to the right
    kTerrainFloor = 5,
    kTerrainInnerFloorDownLeft = 6, // floor below and to the left
    kTerrainTopWall = 7,
    kTerrainInnerFloorDownRight = 8, // floor below and to the right
    kTerrainRightWall = 9,
    kTerrainOuterTopLeft = 10,
    kTerrainOuterTopRight = 11,
    kTerrainVoid = 12,
    kTerrainOuterBottomLeft = 13,
    kTerrainOuterBottomRight = 14,
};
constexpr int kAssetTerrainTiles = 14;
constexpr int kAssetTerrainColumns = 7;
constexpr int kAssetTileSize = 48;

// The story's themed terrain atlases (terrain_<theme>.png, each with its
// "<theme>_terrain.tsx"): the 14 pieces above at the same global ids, then
// floor variations and wall variations, 7 columns by 5 rows. Every floor
// variation is walkable; wall variations stand in for the top wall.
enum AssetThemedTerrainId {
    kThemedCrackedA = 15,
    kThemedCrackedB = 16,
    kThemedGrowthA = 17, // moss, soot or sludge, by theme
    kThemedGrowthB = 18,
    kThemedStainA = 19, // blood
    kThemedStainB = 20,
    kThemedGrate = 21,
    kThemedRugTopLeft = 22, // a rug of any size: corners, edges and field
    kThemedRugTop = 23,
    kThemedRugTopRight = 24,
    kThemedRugLeft = 25,
    kThemedRugField = 26,
    kThemedRugRight = 27,
    kThemedPuddle = 28,
    kThemedRugBottomLeft = 29,
    kThemedRugBottom = 30,
    kThemedRugBottomRight = 31,
    kThemedWallCracked = 32,
    kThemedWallGrowth = 33,
    kThemedWallPipes = 34,
    kThemedWallGrille = 35,
};
constexpr int kAssetThemedTerrainTiles = 35;
constexpr int kAssetThemedTerrainRows = 5;

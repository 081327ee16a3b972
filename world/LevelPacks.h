// LevelPacks.h -- choosing a level pack to play, and the level check's
// report for authors (quorvane --check DIR, the levelcheck tool).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace LevelMap {

// Folders searched for packs: "levels" in the player's data directory and
// every folder given with --levels.
std::vector<std::string> LevelPackFolders();
void AddLevelPackFolder(const std::string& dir);

// Plays the pack in `dir` from now on ("" for the story): its catalogue,
// its own save game. Returns the level check's problems, each naming the
// file, object and line where it can; empty when the pack can be played
// (and for the story, which is not checked here).
std::vector<std::string> ChooseLevelPack(const std::string& dir);

// Prints what every level in use holds and each problem found, one per
// line, to `out`; returns the number of problems.
int PrintLevelCheck(std::FILE* out);

} // namespace LevelMap

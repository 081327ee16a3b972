// DataFile.h -- reading the files a player or modder can touch: no more of
// a file is read than such a file can sensibly hold, and every number taken
// from one is checked (a number, finite, in range) before the game uses it.
// What cannot be used is told on the console in one line naming the file,
// the attribute, the value and what the game used instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tinyxml2 {
class XMLDocument;
}

// The files the game keeps for the player (settings, save, best depth) are a
// few hundred bytes; anything past this is no file the game wrote.
constexpr uint64_t kPlayerFileLimit = 64 * 1024;
// Levels, rooms, tilesets, conversations, particle systems: the largest
// shipped is about 10 kB, a large hand-made room a few hundred.
constexpr uint64_t kAssetFileLimit = 16 * 1024 * 1024;

// The outcome of reading an XML file.
struct XmlLoad {
    bool ok = false;
    bool missing = false; // there is no such file
    std::string problem;  // why it was not read: "is missing", "is 52428800 bytes, ..."
};

// Reads and parses `path` into `doc` when the file holds at most `limit`
// bytes; a larger file is not parsed (nor read past the limit).
XmlLoad LoadXmlFile(tinyxml2::XMLDocument& doc, const std::string& path, uint64_t limit);

// The whole of `text` as a finite number (leading and trailing blanks
// allowed); nothing for "", "12abc", "nan", "inf" or a number beyond double.
std::optional<double> ParseFiniteNumber(const char* text);
// The whole of `text` as a whole number; nothing otherwise ("1e9", "2.5").
std::optional<int64_t> ParseWholeNumber(const char* text);

// The console line for a value that could not be used:
//   TAG: file: attribute "value" why: used instead
void ReportUnusableValue(const char* tag, const std::string& file, const std::string& attribute,
                         const std::string& value, const std::string& why, const std::string& used);

// A finite number of an attribute, within [low, high]; `fallback` (and a
// line on the console) when the text is none or lies outside.
double CheckedNumber(const char* tag, const std::string& file, const std::string& attribute,
                     const char* text, double low, double high, double fallback);
// A whole number within [low, high]; `fallback` (and a line) otherwise.
int64_t CheckedWholeNumber(const char* tag, const std::string& file, const std::string& attribute,
                           const char* text, int64_t low, int64_t high, int64_t fallback);

// The number as the game writes it in its messages ("0.5", "1e+30").
std::string FormatNumber(double value);

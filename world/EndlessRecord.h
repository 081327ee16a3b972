// EndlessRecord.h -- the deepest endless level the player has reached, kept
// in its own small file ("endless.xml" in the working directory) beside the
// settings and the save.
#pragma once

#include <cstdint>
#include <string>

constexpr const char* kEndlessRecordFile = "endless.xml";

// The best depth in the file; 0 when the file is missing, unreadable (or
// larger than a record can be), not a record, or holds no sensible number.
// `problem`, when given, gets why a file that is there was not used.
int32_t ReadBestDepth(const std::string& path, std::string* problem = nullptr);
// The file's text for `depth`.
std::string FormatBestDepth(int32_t depth);
// Writes the file through a temporary file renamed over the old one. False
// when it was not written.
bool WriteBestDepth(const std::string& path, int32_t depth);
// Keeps `depth` when it beats the record in the file. True when the file
// holds a record at least as deep afterwards.
bool RecordDepth(const std::string& path, int32_t depth);

// DataFile -- bounded reading of data files and checked numbers.
#include "core/DataFile.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// True when only blanks follow `end`.
bool OnlyBlanksFrom(const char* end) {
    while (*end && IsBlank(*end))
        ++end;
    return *end == '\0';
}

} // namespace

XmlLoad LoadXmlFile(tinyxml2::XMLDocument& doc, const std::string& path, uint64_t limit) {
    XmlLoad result;
    doc.Clear();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.missing = errno == ENOENT || errno == ENOTDIR;
        result.problem = result.missing
                             ? "is missing"
                             : std::string("cannot be opened (") + std::strerror(errno) + ")";
        return result;
    }
    // Read at most one byte past the limit: enough to know it is exceeded,
    // whatever the file claims (a pipe or a device claims nothing).
    std::string text;
    char block[65536];
    while (text.size() <= limit) {
        const size_t want =
            static_cast<size_t>(std::min<uint64_t>(sizeof block, limit + 1 - text.size()));
        const size_t got = std::fread(block, 1, want, file.get());
        text.append(block, got);
        if (got < want)
            break;
    }
    if (std::ferror(file.get())) {
        result.problem = std::string("cannot be read (") + std::strerror(errno) + ")";
        return result;
    }
    if (text.size() > limit) {
        result.problem =
            "is larger than the " + std::to_string(limit) + " bytes such a file may hold";
        return result;
    }
    if (doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        result.problem = std::string("cannot be read (") + doc.ErrorName() + ")";
        return result;
    }
    result.ok = true;
    return result;
}

std::optional<double> ParseFiniteNumber(const char* text) {
    if (!text)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (end == text || !OnlyBlanksFrom(end) || !std::isfinite(value) || errno == ERANGE)
        return std::nullopt;
    return value;
}

std::optional<int64_t> ParseWholeNumber(const char* text) {
    if (!text)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || !OnlyBlanksFrom(end) || errno == ERANGE)
        return std::nullopt;
    return static_cast<int64_t>(value);
}

void ReportUnusableValue(const char* tag, const std::string& file, const std::string& attribute,
                         const std::string& value, const std::string& why,
                         const std::string& used) {
    // A value of a megabyte would bury the console; its start tells enough.
    constexpr size_t kShown = 60;
    const std::string shown = value.size() > kShown ? value.substr(0, kShown) + "..." : value;
    std::fprintf(stderr, "%s: %s: %s \"%s\" %s: %s is used instead\n", tag, file.c_str(),
                 attribute.c_str(), shown.c_str(), why.c_str(), used.c_str());
}

std::string FormatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

double CheckedNumber(const char* tag, const std::string& file, const std::string& attribute,
                     const char* text, double low, double high, double fallback) {
    if (!text)
        return fallback;
    const std::optional<double> value = ParseFiniteNumber(text);
    if (!value) {
        ReportUnusableValue(tag, file, attribute, text, "is not a finite number",
                            FormatNumber(fallback));
        return fallback;
    }
    if (*value < low || *value > high) {
        ReportUnusableValue(tag, file, attribute, text,
                            "is outside " + FormatNumber(low) + ".." + FormatNumber(high),
                            FormatNumber(fallback));
        return fallback;
    }
    return *value;
}

int64_t CheckedWholeNumber(const char* tag, const std::string& file, const std::string& attribute,
                           const char* text, int64_t low, int64_t high, int64_t fallback) {
    if (!text)
        return fallback;
    const std::optional<int64_t> value = ParseWholeNumber(text);
    if (!value) {
        ReportUnusableValue(tag, file, attribute, text, "is not a whole number",
                            std::to_string(fallback));
        return fallback;
    }
    if (*value < low || *value > high) {
        ReportUnusableValue(tag, file, attribute, text,
                            "is outside " + std::to_string(low) + ".." + std::to_string(high),
                            std::to_string(fallback));
        return fallback;
    }
    return *value;
}

// EndlessRecord -- reading and safely writing "endless.xml".
#include "world/EndlessRecord.h"

#include "core/AtomicFile.h"
#include "core/DataFile.h"

#include <tinyxml2.h>

#include <limits>

int32_t ReadBestDepth(const std::string& path, std::string* problem) {
    auto unusable = [problem](const std::string& why) {
        if (problem)
            *problem = why;
        return 0;
    };
    tinyxml2::XMLDocument doc;
    // The record is one short line: a file of megabytes is not read at all.
    const XmlLoad load = LoadXmlFile(doc, path, kPlayerFileLimit);
    if (!load.ok)
        return load.missing ? 0 : unusable("the file " + load.problem);
    const tinyxml2::XMLElement* record = doc.FirstChildElement("endless");
    if (!record)
        return unusable("the file holds no endless element");
    const char* text = record->Attribute("best");
    if (!text)
        return unusable("it names no best depth");
    // Read wide, so a number too big for a depth is refused rather than
    // wrapped round into some other depth.
    const std::optional<int64_t> depth = ParseWholeNumber(text);
    if (!depth || *depth < 0 || *depth > std::numeric_limits<int32_t>::max())
        return unusable(std::string("best \"") + text + "\" is not a depth (0 to 2147483647)");
    return static_cast<int32_t>(*depth);
}

std::string FormatBestDepth(int32_t depth) {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* record = doc.NewElement("endless");
    record->SetAttribute("best", depth > 0 ? depth : 0);
    doc.InsertEndChild(record);
    tinyxml2::XMLPrinter printer(nullptr, false);
    doc.Print(&printer);
    return printer.CStr();
}

bool WriteBestDepth(const std::string& path, int32_t depth) {
    return WriteFileAtomically(path, FormatBestDepth(depth));
}

bool RecordDepth(const std::string& path, int32_t depth) {
    if (depth <= ReadBestDepth(path))
        return true;
    return WriteBestDepth(path, depth);
}

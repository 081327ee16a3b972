// EndlessRecord -- reading and safely writing "endless.xml".
#include "world/EndlessRecord.h"

#include "core/AtomicFile.h"

#include <tinyxml2.h>

#include <limits>

int32_t ReadBestDepth(const std::string& path) {
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS)
        return 0;
    const tinyxml2::XMLElement* record = doc.FirstChildElement("endless");
    // Read wide, so a number too big for a depth is refused rather than
    // wrapped round into some other depth.
    int64_t depth = 0;
    if (!record || record->QueryInt64Attribute("best", &depth) != tinyxml2::XML_SUCCESS)
        return 0;
    return depth > 0 && depth <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(depth)
                                                                     : 0;
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

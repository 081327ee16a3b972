// FuzzSupport.h -- what every fuzz target shares: a private scratch folder
// that becomes the working directory (the loaders read files by name), and
// writing the input into it. Targets that set files up in
// LLVMFuzzerInitialize move there before libFuzzer reads its corpus
// folders: give those as absolute paths (scripts/fuzz.sh does).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz {

// Makes a fresh folder (in memory when /dev/shm is there) the working
// directory for the whole run, removed again at exit.
inline const std::string& ScratchDir() {
    static const std::string dir = [] {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/quorvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        std::filesystem::current_path(pattern);
        static const std::string removeAtExit = pattern;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removeAtExit, ec);
        });
        return pattern;
    }();
    return dir;
}

// Writes `size` bytes to `name` (relative to the scratch folder).
inline void WriteInput(const std::string& name, const uint8_t* data, size_t size) {
    ScratchDir();
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
}

// Copies a file of the source tree into the scratch folder.
inline void CopySource(const std::string& from, const std::string& to) {
    ScratchDir();
    const std::filesystem::path target(to);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(std::string(QUORVANE_SOURCE_DIR) + "/" + from, target,
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace fuzz

// UserFiles -- choosing where the game writes, and saying so when it cannot.
#include "core/UserFiles.h"

#include "core/Notices.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace UserFiles {

namespace {
std::string& Chosen() {
    static std::string dir;
    return dir;
}
bool& Installed() {
    static bool installed = false;
    return installed;
}
bool HoldsAssets(const std::string& dir) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(dir) / "assets" / "levels.xml",
                                            ec);
}
bool HoldsAssetFolder(const std::string& dir) {
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::path(dir) / "assets" / "rooms", ec);
}
} // namespace

std::vector<std::string> GameFolderCandidates(const std::string& executable,
                                              const std::string& workingDir) {
    namespace fs = std::filesystem;
    std::vector<std::string> folders = {workingDir};
    if (executable.empty())
        return folders;
    const fs::path beside = fs::path(executable).parent_path();
    folders.push_back(beside.generic_string());
    // <prefix>/games/quorvane as Debian lays out games, <prefix>/bin/quorvane
    // as other installs do.
    for (const char* data : {"share/games/quorvane", "share/quorvane"})
        folders.push_back((beside / ".." / data).lexically_normal().generic_string());
    return folders;
}

GameFolder FindGameFolder(const std::string& executable, const std::string& workingDir) {
    namespace fs = std::filesystem;
    const std::vector<std::string> folders = GameFolderCandidates(executable, workingDir);
    // A folder whose assets lack their catalogue is still the game's: the
    // menu then says what is missing.
    for (auto holds : {HoldsAssets, HoldsAssetFolder}) {
        for (size_t i = 0; i < folders.size(); ++i) {
            if (holds(folders[i]))
                return {folders[i], i >= 2};
        }
    }
    return {};
}

void SetInstalled(bool installed) {
    Installed() = installed;
}

bool CanWriteIn(const std::string& dir) {
    // Permission bits do not tell (the super-user ignores them, a read-only
    // file system does not show in them): try it.
    const std::string probe =
        (dir.empty() ? std::string() : dir + "/") + ".quorvane-write-" + std::to_string(getpid());
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

bool MakeDirectories(const std::string& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return std::filesystem::is_directory(dir, ec);
}

std::string DataDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is to be ignored.
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/quorvane";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0')
        return std::string(home) + "/.local/share/quorvane";
    return "";
}

void Choose() {
    Chosen().clear();
    if (!Installed() && CanWriteIn(""))
        return;
    const std::string data = DataDir();
    if (data.empty() || !MakeDirectories(data)) {
        std::fprintf(stderr,
                     "FILES: no data directory (%s) and the game's folder is not for writing: "
                     "settings and saves will not be kept\n",
                     data.empty() ? "HOME is not set" : data.c_str());
        return;
    }
    Chosen() = data;
    std::printf("FILES: keeping settings and saves in %s\n", data.c_str());
}

const std::string& Dir() {
    return Chosen();
}

std::string Path(const std::string& name) {
    return Chosen().empty() ? name : Chosen() + "/" + name;
}

void ReportWriteFailure(const std::string& what, const std::string& reason) {
    std::fprintf(stderr, "FILES: could not write %s (%s)\n", what.c_str(), reason.c_str());
    PostNotice("Could not write " + what + ": " + reason);
}

} // namespace UserFiles

// TestSupport -- scratch working directories and test windows.
#include "support/TestSupport.h"

#include "engine/QNSystem.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string BuildDir() {
    return QUORVANE_BUILD_DIR;
}
std::string SourceDir() {
    return QUORVANE_SOURCE_DIR;
}

ScratchGameDir::ScratchGameDir() {
    previous = fs::current_path().string();
    char pattern[] = "/tmp/quorvane-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path = made ? made : "/tmp";
    std::error_code ec;
    fs::create_directory_symlink(fs::path(BuildDir()) / "assets", fs::path(path) / "assets", ec);
    fs::current_path(path);
}

ScratchGameDir::~ScratchGameDir() {
    std::error_code ec;
    fs::current_path(previous, ec);
    if (path.rfind("/tmp/quorvane-test-", 0) == 0)
        fs::remove_all(path, ec);
}

void ScratchGameDir::Write(const std::string& name, const std::string& text) const {
    std::ofstream out(fs::path(path) / name, std::ios::binary);
    out << text;
}

std::string ScratchGameDir::Read(const std::string& name) const {
    std::ifstream in(fs::path(path) / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool ScratchGameDir::Exists(const std::string& name) const {
    return fs::exists(fs::path(path) / name);
}

GlWindow::GlWindow(int width, int height) {
    ok = QNSysInit(width, height, 0, 0) == 1;
}

GlWindow::~GlWindow() {
    QNSysExit();
}

namespace {

bool SetImmutable(const std::string& path, bool on) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return done;
}

bool CanCreateIn(const std::string& dir) {
    const std::string probe = dir + "/.readonly-probe";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

} // namespace

ReadOnlyDir::ReadOnlyDir(const std::string& dir) : path(dir) {
    immutable = SetImmutable(path, true);
    if (!immutable)
        chmod(path.c_str(), 0555);
    ok = !CanCreateIn(path);
}

ReadOnlyDir::~ReadOnlyDir() {
    if (immutable)
        SetImmutable(path, false);
    else
        chmod(path.c_str(), 0755);
}

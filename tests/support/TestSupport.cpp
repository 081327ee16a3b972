// TestSupport -- scratch working directories and test windows.
#include "support/TestSupport.h"

#include "engine/QNSystem.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

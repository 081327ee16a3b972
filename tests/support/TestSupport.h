// TestSupport.h -- shared helpers for the test tiers: a scratch working
// directory that looks like the game's, and a real window with OpenGL.
#pragma once

#include <string>

// Makes a fresh directory under /tmp holding a link to the build's assets/,
// makes it the working directory, and goes back (and removes it) at the end.
class ScratchGameDir {
public:
    ScratchGameDir();
    ~ScratchGameDir();
    ScratchGameDir(const ScratchGameDir&) = delete;
    ScratchGameDir& operator=(const ScratchGameDir&) = delete;

    const std::string& Path() const { return path; }
    // Writes a file relative to the directory.
    void Write(const std::string& name, const std::string& text) const;
    // Reads a file relative to the directory ("" when missing).
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string path;
    std::string previous;
};

// Opens the engine window (unpaced) with its OpenGL context for a test.
class GlWindow {
public:
    GlWindow(int width = 320, int height = 240);
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;
    bool ok = false;
};

// Makes a directory unwritable for as long as it lives, even to the
// super-user (the file system's immutable flag, or the permission bits where
// that flag cannot be set). `ok` tells whether it worked: a test skips
// otherwise.
class ReadOnlyDir {
public:
    explicit ReadOnlyDir(const std::string& path);
    ~ReadOnlyDir();
    ReadOnlyDir(const ReadOnlyDir&) = delete;
    ReadOnlyDir& operator=(const ReadOnlyDir&) = delete;
    bool ok = false;

private:
    std::string path;
    bool immutable = false;
};

// The build's and the source tree's directories.
std::string BuildDir();
std::string SourceDir();

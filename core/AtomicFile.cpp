// AtomicFile -- temporary file, flush, rename.
#include "core/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string TemporaryName(const std::string& path) {
    return path + ".tmp";
}

std::string Reason(const std::string& file, int code) {
    return file + ": " + std::strerror(code);
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    AtomicFileSet file;
    if (file.Stage(path, text) && file.Commit())
        return true;
    if (error)
        *error = file.Error();
    return false;
}

bool RemoveLeftoverTemporary(const std::string& path) {
    return std::remove(TemporaryName(path).c_str()) == 0;
}

AtomicFileSet::~AtomicFileSet() {
    Discard();
}

bool AtomicFileSet::Stage(const std::string& path, const std::string& text) {
    const std::string temp = TemporaryName(path);
    FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) {
        // Nothing of ours exists under that name: leave whatever is there.
        error = Reason(temp, errno);
        return false;
    }
    errno = 0;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = ok && std::fflush(f) == 0;
    ok = ok && fsync(fileno(f)) == 0;
    int code = ok ? 0 : errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        error = Reason(temp, code != 0 ? code : EIO);
        std::remove(temp.c_str());
        return false;
    }
    staged.push_back(path);
    return true;
}

namespace {
// Makes a rename lasting: the new name is on disk once the folder holding it
// is. Best effort: the file is already whole under its name either way.
void SyncFolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}
} // namespace

bool AtomicFileSet::Commit() {
    bool ok = true;
    for (const std::string& path : staged) {
        const std::string temp = TemporaryName(path);
        if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
            error = Reason(path, errno);
            ok = false;
        }
        if (!ok)
            std::remove(temp.c_str());
        else
            SyncFolderOf(path);
    }
    staged.clear();
    return ok;
}

void AtomicFileSet::Discard() {
    for (const std::string& path : staged)
        std::remove(TemporaryName(path).c_str());
    staged.clear();
}

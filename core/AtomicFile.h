// AtomicFile.h -- writing the files the game keeps (settings, save, records,
// generated rooms) so that a crash or a full disk never leaves one
// half-written: each text goes to a temporary file beside its file ("<name>.tmp"),
// is flushed to disk, and only then renamed over the old file.
#pragma once

#include <string>
#include <vector>

// Writes `text` to `path` the safe way. False when it was not written; the
// old file is then untouched, and `error` (when given) says why.
bool WriteFileAtomically(const std::string& path, const std::string& text,
                         std::string* error = nullptr);

// Several files that replace their old versions together: every text is
// first written to its temporary file, and only when all of them are on
// disk are they renamed into place. Temporary files that were never
// committed are removed when the set goes away.
// Removes the temporary file of `path` that a run killed in the middle of a
// write left behind (the file itself kept its old version). True when there
// was one.
bool RemoveLeftoverTemporary(const std::string& path);

class AtomicFileSet {
public:
    AtomicFileSet() = default;
    ~AtomicFileSet();
    AtomicFileSet(const AtomicFileSet&) = delete;
    AtomicFileSet& operator=(const AtomicFileSet&) = delete;

    // Writes the temporary file of `path`. False, with Error() set, when it
    // could not be written.
    bool Stage(const std::string& path, const std::string& text);
    // Renames every staged file into place. False, with Error() set, when a
    // rename fails; the files not yet renamed keep their old versions.
    bool Commit();
    // Removes every staged temporary file; no file changes.
    void Discard();
    // What went wrong last: the file and the system's reason.
    const std::string& Error() const { return error; }

private:
    std::vector<std::string> staged; // final paths; each has its temporary beside it
    std::string error;
};

// UserFiles.h -- where the game keeps what it writes (the settings, the save
// game, the endless mode's record and rooms, screenshots) and reads them
// back from. Normally the game's own folder, the working directory it runs
// in beside its assets; when that folder cannot be written (a game
// installed for the whole system), the player's data directory,
// $XDG_DATA_HOME/quorvane or ~/.local/share/quorvane.
//
// A write that fails is reported, never lost in silence: on the console at
// once and as a notice on the screen (core/Notices.h).
#pragma once

#include <string>
#include <vector>

namespace UserFiles {

// Where the game's own files are (the folder holding assets/).
struct GameFolder {
    std::string path;       // "" when no folder holds the assets
    bool installed = false; // <prefix>/share/[games/]quorvane of an installed game
};

// The folders the game looks in for its assets/, in order: the working
// directory (as the game has always been run), the folder beside the
// executable, <prefix>/share/games/quorvane (Debian's place for a game's
// data, beside <prefix>/games) and <prefix>/share/quorvane for an
// executable in <prefix>/bin.
std::vector<std::string> GameFolderCandidates(const std::string& executable,
                                              const std::string& workingDir);
// The game's folder for the program at `executable` started in
// `workingDir`: the first candidate whose assets/ holds levels.xml, else the
// first whose assets/ holds at least its rooms (the menu then names what is
// missing).
GameFolder FindGameFolder(const std::string& executable, const std::string& workingDir);
// An installed game keeps the player's files in the data directory even
// where its folder could be written.
void SetInstalled(bool installed);

// Chooses the place for this run: the working directory when a file can be
// created in it (and the game is not an installed one), else the data
// directory (made when missing). Prints the choice when it is the data
// directory.
void Choose();
// The directory chosen; "" for the working directory.
const std::string& Dir();
// Where the file or folder `name` is written and read.
std::string Path(const std::string& name);
// $XDG_DATA_HOME/quorvane (an absolute XDG_DATA_HOME only), else
// $HOME/.local/share/quorvane; "" when neither can be told.
std::string DataDir();
// True when a file can be created (and removed again) in `dir` ("" for the
// working directory).
bool CanWriteIn(const std::string& dir);
// Makes `dir` and its missing parents; false when it does not exist after.
bool MakeDirectories(const std::string& dir);

// Reports a write that failed: `what` ("the settings"), the system's reason.
void ReportWriteFailure(const std::string& what, const std::string& reason);

} // namespace UserFiles

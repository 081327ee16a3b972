// ErrorBox.h -- the box that tells the player why the game cannot go on (a
// scene that failed to load: which file, and what is wrong with it), drawn
// in the game's own window and run by the game's own message pump.
//
// It is not a desktop message box: SDL's X11 box runs in a forked copy of
// the whole game that shares the game's display connection and window,
// keeps SDL's signal handlers (so SIGTERM and SIGINT only queue a quit the
// waiting game never reads) and outlives a killed game; without a window
// manager it never gets the keyboard either. This one is closed with
// Return, Escape or a click, and a quit request (the window closed,
// SIGTERM, SIGINT) ends it like any other frame of the game.
#pragma once

#include <functional>
#include <string>

// The box's text: the caption, the message cut to what the box can show.
struct ErrorBoxText {
    static constexpr size_t kMaxMessage = 600; // characters shown of a message
    std::string caption;
    std::string message;
};
ErrorBoxText MakeErrorBoxText(const std::string& caption, const std::string& message);

// Shows the box until the player closes it or the game is asked to quit.
// The screenshot key calls `screenshot` (a picture of the box to send with
// a report). False, at once, when there is no window or no font to show it
// with.
bool ShowErrorBox(const std::string& caption, const std::string& message,
                  const std::function<void()>& screenshot = nullptr);

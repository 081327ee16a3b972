// Chat.h -- one conversation: its lines in order and the two speakers'
// portraits (index 0 the right-hand speaker, 1 the left-hand one).
//
// A conversation file ("assets/dialogs/<name>.xml") has one root element
// holding, in any order, at most one `rhs` and one `lhs` portrait
// (attributes `texture`, an image strip under assets/; `frames`;
// `frameDelay`, seconds; `width` and `height`, UI units) and any number of
// `dialog` lines, UTF-8 text. A line's `side` starting with "r" puts it on
// the right; any other value on the left; without one a line keeps the side
// of the line before it (the first line: left).
#pragma once

#include "core/Vec2.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Dialog;

// What a conversation file says, read and checked, before any line or
// texture is made.
struct ChatScript {
    struct Portrait {
        std::string texture; // under assets/; empty: this side shows no portrait
        int32_t frames = 0;
        float frameDelay = 0.0f; // seconds
        Vec2 size{0.0f, 0.0f};   // width, height in UI units
    };
    struct Line {
        std::u16string text;
        int32_t side = 1; // 0 right, 1 left
    };
    std::array<Portrait, 2> portraits; // right, left
    std::vector<Line> lines;
};

// Reads a conversation file. False, with the reason on stderr, when the
// file is missing, empty or not XML. A portrait whose image is missing or
// whose numbers make no sense is left out (its side shows none), also with
// a message; the lines still load.
bool ReadChatScript(const std::string& path, ChatScript& out);

class Chat {
public:
    Chat() = default;
    // Gives the lines back to the pool.
    ~Chat();
    Chat(const Chat&) = delete;
    Chat& operator=(const Chat&) = delete;

    std::vector<Dialog*> lines;         // in file order; taken from the pool
    std::array<int32_t, 2> frames{};    // right, left
    std::array<float, 2> frameDelay{};  // seconds
    std::array<std::string, 2> texture; // empty when the side has no portrait
    std::array<Vec2, 2> portraitSize{}; // width, height, UI units
};

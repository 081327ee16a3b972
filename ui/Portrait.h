// Portrait.h -- a speaker's animated picture standing in a bottom corner of
// the screen during a conversation. Made empty; every conversation refills
// it with its speaker's strip (ChatController::Start).
#pragma once

#include "render/Animation2D.h"

class Portrait : public Animation2D {
public:
    // No strip yet: it draws nothing until filled.
    Portrait();
};

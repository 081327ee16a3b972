// Notices.h -- short messages for the player that outlive the screen they
// were posted on ("Could not write the save game: ..."): posted by any
// layer, shown by the menu and level scenes for a few seconds each.
#pragma once

#include <string>
#include <vector>

struct Notice {
    std::string text;
    float secondsLeft = 0.0f; // real seconds still shown
};

// Shows `text` for `seconds`; a notice with the same text starts over.
void PostNotice(const std::string& text, float seconds = 8.0f);
// The notices still shown, oldest first.
const std::vector<Notice>& Notices();
// Counts the shown notices down by `seconds` and drops the expired ones.
void AdvanceNotices(float seconds);
// Drops every notice.
void ClearNotices();

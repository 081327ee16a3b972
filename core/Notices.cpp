// Notices -- the player's short messages and their timers.
#include "core/Notices.h"

#include <algorithm>

namespace {
std::vector<Notice>& List() {
    static std::vector<Notice> notices;
    return notices;
}
constexpr size_t kMostShown = 4; // older ones give way
} // namespace

void PostNotice(const std::string& text, float seconds) {
    std::vector<Notice>& list = List();
    list.erase(
        std::remove_if(list.begin(), list.end(), [&](const Notice& n) { return n.text == text; }),
        list.end());
    list.push_back({text, seconds});
    if (list.size() > kMostShown)
        list.erase(list.begin(), list.end() - static_cast<std::ptrdiff_t>(kMostShown));
}

const std::vector<Notice>& Notices() {
    return List();
}

void AdvanceNotices(float seconds) {
    std::vector<Notice>& list = List();
    for (Notice& n : list)
        n.secondsLeft -= seconds;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const Notice& n) { return !(n.secondsLeft > 0.0f); }),
               list.end());
}

void ClearNotices() {
    List().clear();
}

// PromptGlyphs -- which picture names an input on a prompt.
#include "core/PromptGlyphs.h"

#include "engine/QNKeys.h"

#include <cctype>

const std::vector<KeyCap>& KeyCaps() {
    static const std::vector<KeyCap> caps = [] {
        std::vector<KeyCap> list;
        const auto add = [&list](uint8_t key, const std::string& text) {
            std::string lower;
            for (const char c : text)
                lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            list.push_back({key, "popup_key_" + lower + ".png", text});
        };
        for (char c = 'A'; c <= 'Z'; ++c)
            add(static_cast<uint8_t>(c), std::string(1, c));
        for (char c = '0'; c <= '9'; ++c)
            add(static_cast<uint8_t>(c), std::string(1, c));
        for (int f = 0; f < 12; ++f)
            add(static_cast<uint8_t>(QN_VK_F1 + f), "F" + std::to_string(f + 1));
        return list;
    }();
    return caps;
}

std::string KeyPromptImage(uint8_t key) {
    if (key == QN_VK_LBUTTON)
        return "popup_left_click.png";
    if (key == QN_VK_RBUTTON)
        return "popup_right_click.png";
    for (const KeyCap& cap : KeyCaps()) {
        if (cap.key == key)
            return cap.file;
    }
    return kPlainKeyCap;
}

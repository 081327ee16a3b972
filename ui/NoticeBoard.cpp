// NoticeBoard -- the notices at the foot of the screen.
#include "ui/NoticeBoard.h"

#include "core/Notices.h"
#include "core/Runtime.h"
#include "render/FontAtlas.h"

#include <algorithm>

namespace {
constexpr float kLineHeight = 14.0f;   // interface units between lines
constexpr float kBottomMargin = 14.0f; // from the bottom edge to the newest line
constexpr float kSideMargin = 10.0f;
constexpr float kColor[4] = {1.0f, 0.78f, 0.35f, 1.0f}; // amber: something went wrong
} // namespace

void NoticeBoard::Update(float dt) {
    AdvanceNotices(dt);
    const std::vector<Notice>& notices = Notices();
    std::vector<std::string> texts;
    for (const Notice& n : notices)
        texts.push_back(n.text);
    if (texts != shown) {
        shown = texts;
        lines.clear();
        for (const std::string& text : shown)
            lines.push_back(std::make_unique<TextSprite>(FontAtlas::Shared(), text));
    }
    const Vec2 half = Runtime::Get().UIHalfExtent();
    const float room = 2.0f * (half.x - kSideMargin);
    for (size_t i = 0; i < lines.size(); ++i) {
        TextSprite& line = *lines[i];
        // A long path shrinks to the screen's width rather than leave it.
        const float natural = line.MeasureWidth(1.0f);
        const float scale = natural > room ? room / natural : 1.0f;
        line.SetScale({scale - 1.0f, scale - 1.0f});
        const float fromBottom = static_cast<float>(lines.size() - 1 - i);
        line.SetOffset({0.0f, -half.y + kBottomMargin + fromBottom * kLineHeight});
        // The last second fades the line away.
        const float left = notices[i].secondsLeft;
        std::copy(kColor, kColor + 4, line.color);
        line.Layout({0.0f, 0.0f}, {1.0f, 1.0f}, std::clamp(left, 0.0f, 1.0f));
    }
}

void NoticeBoard::Draw(PostProcessor* postProcessor) {
    for (auto& line : lines)
        line->Draw(postProcessor);
}

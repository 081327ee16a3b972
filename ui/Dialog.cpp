// Dialog -- conversation lines and their pool.
#include "ui/Dialog.h"

#include "core/Tween.h"
#include "render/FontAtlas.h"
#include "render/Resources.h"
#include "render/Sprite2D.h"

#include <algorithm>
#include <vector>

namespace {

constexpr RenderColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kVisible = 0.0001f; // a line fainter than this is gone
// The middle piece is the wrapped text's height and this much more; with
// the caps around it the text keeps clear of the frame.
constexpr float kTextPadding = 16.0f;
constexpr Vec2 kTextOffset{-4.0f, 3.0f}; // from the box's centre

std::unique_ptr<Sprite2D> BoxPiece(const char* image, float height) {
    return std::make_unique<Sprite2D>(Resources::GetQuadMesh(1), Resources::GetTexture(image, true),
                                      Dialog::kBoxWidth, height, kWhite);
}

} // namespace

Dialog::Dialog()
    : TextSprite(FontAtlas::Shared(), std::u16string()),
      boxTop(BoxPiece("dialoguebox_top.png", kCapHeight)),
      boxMiddle(BoxPiece("dialoguebox_center.png", 0.0f)),
      boxBottom(BoxPiece("dialoguebox_bottom.png", kCapHeight)) {
    color[3] = 0.0f;
}

Dialog::~Dialog() {
    StopTweens();
}

void Dialog::StopTweens() {
    RemoveVec2Tweens(&boxPosition.x);
    RemoveVec2Tweens(&boxScale.x);
    RemoveFloatTweens(&boxHeight);
    RemoveFloatTweens(&color[3]);
}

bool Dialog::SetLine(const std::u16string& line, int32_t lineSide) {
    StopTweens();
    font = FontAtlas::Shared();
    // Wrapping and laying out cost what the text holds: only what the box
    // can show is kept, so a line of a megabyte costs what a full box does.
    const bool tooLong = line.size() > kMaxCodes;
    text = tooLong ? line.substr(0, kMaxCodes) : line;
    side = lineSide == Left ? Left : Right;
    position = {0.0f, 0.0f};
    scale = {1.0f, 1.0f};
    WrapText(1.0f);
    size_t rows = 1;
    bool cut = tooLong;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && ++rows > kMaxRows) {
            text.resize(i);
            cut = true;
            break;
        }
    }
    RebuildMesh();
    // A line of a row or two fits between the caps alone.
    targetHeight = std::max(0.0f, height + kTextPadding);
    boxPosition = {0.0f, 0.0f};
    boxScale = {0.0f, 0.0f};
    boxHeight = 0.0f;
    color[3] = 0.0f;
    return cut;
}

void Dialog::Show(int32_t mode, float x, float y) {
    StopTweens();
    const float w = side == Right ? -kBoxWidth : kBoxWidth;
    const Vec2 target{x + w / 2.0f, y + targetHeight / 2.0f};
    switch (mode) {
    case Appear:
        color[3] = 0.0f;
        boxPosition = target + Vec2{side == Right ? 150.0f : -150.0f, -60.0f};
        boxScale = {0.0f, 0.0f};
        boxHeight = 0.0f;
        AddFloatTween(&boxHeight, targetHeight, EaseSmooth, nullptr, 0.7f);
        AddFloatTween(&color[3], 1.0f, EaseSmooth, nullptr, 0.7f);
        AddVec2Tween(&boxPosition.x, target.x, target.y, EaseSmooth, nullptr, 0.6f);
        AddVec2Tween(&boxScale.x, 1.0f, 1.0f, EaseSmooth, nullptr, 0.6f);
        break;
    case MoveUp:
        AddFloatTween(&color[3], 0.5f, EaseSmooth, nullptr, 0.5f);
        AddVec2Tween(&boxPosition.x, target.x, target.y, EaseSmooth, nullptr, 0.5f);
        break;
    default:
        AddFloatTween(&color[3], 0.0f, EaseSmooth, nullptr, 0.3f);
        AddVec2Tween(&boxPosition.x, boxPosition.x, boxPosition.y + 20.0f, EaseSmooth, nullptr,
                     0.3f);
        break;
    }
}

bool Dialog::Update() {
    const Vec2 at = boxPosition + kTextOffset;
    // The text is laid out again only when it moved or changed size.
    if (at != position || boxScale != scale) {
        GameObject::SetPosition(at);
        GameObject::SetScale(boxScale);
        RebuildMesh();
    }
    const float width = side == Left ? -kBoxWidth : kBoxWidth;
    const float opacity = color[3];
    boxTop->SetPosition(boxPosition.x, boxPosition.y + boxHeight / 2.0f + kCapHeight / 2.0f);
    boxTop->SetScale(width, kCapHeight);
    boxMiddle->SetPosition(boxPosition);
    boxMiddle->SetScale(width, boxHeight);
    boxBottom->SetPosition(boxPosition.x, boxPosition.y - boxHeight / 2.0f - kCapHeight / 2.0f);
    boxBottom->SetScale(width, kCapHeight);
    for (Sprite2D* piece : {boxTop.get(), boxMiddle.get(), boxBottom.get()}) {
        piece->tint[3] = opacity;
        piece->Update(0.0f, nullptr);
    }
    return opacity > kVisible;
}

void Dialog::DrawLine(PostProcessor* postProcessor) {
    boxTop->Draw();
    if (boxHeight > 0.0f)
        boxMiddle->Draw();
    boxBottom->Draw();
    Draw(postProcessor);
}

namespace DialogPool {

namespace {
std::vector<Dialog*>& Idle() {
    static std::vector<Dialog*> idle;
    return idle;
}
} // namespace

Dialog* Take() {
    std::vector<Dialog*>& idle = Idle();
    if (idle.empty())
        return new Dialog();
    Dialog* line = idle.back();
    idle.pop_back();
    return line;
}

void Give(Dialog* line) {
    if (!line)
        return;
    line->StopTweens();
    Idle().push_back(line);
}

void Clear() {
    for (Dialog* line : Idle())
        delete line;
    Idle().clear();
}

size_t IdleCount() {
    return Idle().size();
}

} // namespace DialogPool

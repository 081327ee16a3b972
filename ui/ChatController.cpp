// ChatController -- playing conversations.
#include "ui/ChatController.h"

#include "audio/Audio.h"
#include "core/GamePad.h"
#include "core/LevelPack.h"
#include "core/Runtime.h"
#include "core/Tween.h"
#include "engine/QNGraphics.h"
#include "engine/QNKeys.h"
#include "render/Resources.h"
#include "ui/Dialog.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr float kShown = 0.49999988f; // a line this visible may be pushed on
constexpr float kDriftBack = 0.5f;    // time scale recovery per second
constexpr float kSpeedUp = 1.5f;      // time scale gain per second while held
constexpr float kFadeInSeconds = 0.5f;
constexpr float kSlideSeconds = 1.0f;
constexpr float kCloseSeconds = 1.0f;
constexpr float kLineGap = 4.0f; // between a moved-up box and the next one
const float kClear[4] = {1.0f, 1.0f, 1.0f, 0.0f};
const float kOpaque[4] = {1.0f, 1.0f, 1.0f, 1.0f};
} // namespace

ChatController::ChatController() {
    advanceSound = Audio::GetSound("dialog_advance.wav", false);
    PlaceAnchors();
}

void ChatController::PlaceAnchors() {
    // The screen's bottom corners in interface units, whatever the window.
    const Vec2 half = Runtime::Get().UIHalfExtent();
    anchors = {Vec2{half.x, -half.y}, Vec2{-half.x, -half.y}};
}

ChatController::~ChatController() {
    StopPortraitTweens();
}

void ChatController::StopPortraitTweens() {
    for (size_t i = 0; i < 2; ++i) {
        RemoveColorTweens(portraits[i].tint);
        RemoveVec2Tweens(&portraitPosition[i].x);
    }
}

void ChatController::Load(const std::string& name) {
    LoadFile(name, LevelPack::AssetFile("dialogs/" + name + ".xml"));
}

void ChatController::LoadFile(const std::string& name, const std::string& path) {
    if (IsLoaded(name))
        return;
    ChatScript script;
    if (!ReadChatScript(path, script))
        return;
    auto chat = std::make_unique<Chat>();
    for (size_t side = 0; side < 2; ++side) {
        const ChatScript::Portrait& p = script.portraits[side];
        if (p.texture.empty())
            continue;
        const QNGfxTexture* image = Resources::GetTexture(p.texture, true);
        if (!image || image->width < p.frames) {
            std::fprintf(stderr, "DIALOG: %s: the portrait %s cannot hold %d frames\n",
                         path.c_str(), p.texture.c_str(), p.frames);
            continue;
        }
        chat->texture[side] = p.texture;
        chat->frames[side] = p.frames;
        chat->frameDelay[side] = p.frameDelay;
        chat->portraitSize[side] = p.size;
    }
    for (const ChatScript::Line& line : script.lines) {
        Dialog* dialog = DialogPool::Take();
        if (dialog->SetLine(line.text, line.side))
            std::fprintf(stderr,
                         "DIALOG: %s: line %zu is %zu characters, more than its box shows: cut "
                         "after %zu rows\n",
                         path.c_str(), chat->lines.size() + 1, line.text.size(), Dialog::kMaxRows);
        chat->lines.push_back(dialog);
    }
    chats[name] = std::move(chat);
}

void ChatController::Start(const std::string& name) {
    const auto found = chats.find(name);
    if (found == chats.end())
        return;
    // A conversation still on screen gives way to the new one.
    for (Dialog** line : {&previousLine, &shownLine}) {
        if (*line) {
            (*line)->Show(Dialog::Leave, 0.0f, 0.0f);
            leaving.push_back(*line);
            *line = nullptr;
        }
    }
    StopPortraitTweens();
    current = found->second.get();
    nextLine = 0;
    closing = false;
    holdTime = 0.0f;
    PlaceAnchors();
    FillPortrait(0);
    FillPortrait(1);
}

void ChatController::FillPortrait(size_t side) {
    Portrait& p = portraits[side];
    if (current->texture[side].empty()) {
        p.meshes.clear();
        p.textures.clear();
        p.frames.clear();
        return;
    }
    const int32_t count = current->frames[side];
    p.meshes = {Resources::GetQuadMesh(count)};
    p.textures = {Resources::GetTexture(current->texture[side], true)};
    p.frames =
        Resources::BuildFrameTables({{static_cast<float>(count), current->frameDelay[side]}});
    p.animation = 0;
    p.frame = 0;
    p.time = 0.0f;
    p.playing = true;
    p.playOnce = false;
    const Vec2 size = current->portraitSize[side];
    // The left-hand speaker is the same kind of picture, mirrored.
    p.SetScale(side == 0 ? size.x : -size.x, size.y);
    std::copy(kClear, kClear + 4, p.tint);
    AddColorTween(p.tint, kOpaque, EaseSmooth, nullptr, kFadeInSeconds);
    // From the corner itself until the outer bottom corner sits on it.
    const Vec2 anchor = anchors[side];
    portraitPosition[side] = anchor;
    const float x = side == 0 ? anchor.x - size.x / 2.0f : anchor.x + size.x / 2.0f;
    AddVec2Tween(&portraitPosition[side].x, x, anchor.y + size.y / 2.0f, EaseSmooth, nullptr,
                 kSlideSeconds);
}

Vec2 ChatController::LineCorner(int32_t side) const {
    const size_t s = side == Dialog::Right ? 0 : 1;
    const bool pictured = current && !current->texture[s].empty();
    const Vec2 size = pictured ? current->portraitSize[s] : Vec2{0.0f, 0.0f};
    const float x = s == 0 ? anchors[0].x - size.x : anchors[1].x + size.x;
    return {x, anchors[s].y + size.y / 2.0f};
}

void ChatController::SetAdvanceRate(float rate) {
    const float r = std::max(rate, 1e-3f);
    if (r == advanceRate)
        return;
    advanceRate = r;
    advanceSound.SetRate(r);
}

void ChatController::ShowNextLine() {
    Dialog* line = current->lines[nextLine++];
    // The same line may still be leaving from an earlier playing.
    leaving.erase(std::remove(leaving.begin(), leaving.end(), line), leaving.end());
    if (!advanceSound.IsPlaying())
        advanceSound.Play();
    const Vec2 corner = LineCorner(line->side);
    line->Show(Dialog::Appear, corner.x, corner.y);
    shownLine = line;
}

void ChatController::Close() {
    closing = true;
    for (size_t side = 0; side < 2; ++side)
        RemoveColorTweens(portraits[side].tint);
    AddColorTween(
        portraits[0].tint, kClear, EaseSmooth,
        [this] {
            current = nullptr;
            closing = false;
        },
        kCloseSeconds);
    AddColorTween(portraits[1].tint, kClear, EaseSmooth, nullptr, kCloseSeconds);
}

void ChatController::Update(float dt) {
    const bool confirm = Runtime::Get().IsHeld(PAD_A, QN_VK_LBUTTON);
    for (size_t i = 0; i < leaving.size();) {
        if (leaving[i]->Update())
            ++i;
        else
            leaving.erase(leaving.begin() + static_cast<std::ptrdiff_t>(i));
    }
    for (size_t side = 0; side < 2; ++side) {
        portraits[side].SetPosition(portraitPosition[side]);
        portraits[side].Update(dt, nullptr);
    }
    if (!current)
        return;
    if (previousLine)
        previousLine->Update();
    if (shownLine) {
        UpdateShownLine(dt, confirm);
    } else if (nextLine < current->lines.size()) {
        ShowNextLine();
    } else if (!closing) {
        Close();
    }
}

void ChatController::UpdateShownLine(float dt, bool confirm) {
    shownLine->Update();
    GameClock& clock = Runtime::Get().clock;
    if (!confirm) {
        holdTime = 0.0f;
        SetAdvanceRate(1.0f);
        // A hurried conversation slows down gently; slowed time is the
        // clock's to give back.
        if (clock.scale > 1.0f)
            clock.Steer(1.0f, kDriftBack, dt);
        return;
    }
    holdTime += dt;
    if (holdTime > kFastForwardAfter) {
        clock.Steer(kFastScale, kSpeedUp, dt);
        SetAdvanceRate(clock.scale);
    }
    if (!(shownLine->Opacity() > kShown))
        return;
    if (previousLine) {
        previousLine->Show(Dialog::Leave, 0.0f, 0.0f);
        leaving.push_back(previousLine);
        previousLine = nullptr;
    }
    if (nextLine >= current->lines.size()) {
        shownLine->Show(Dialog::Leave, 0.0f, 0.0f);
        leaving.push_back(shownLine);
        shownLine = nullptr;
        return;
    }
    // Up far enough that the next line's box fits beneath it.
    const float nextHeight = current->lines[nextLine]->targetHeight;
    const float step = std::max(kLineStep, nextHeight + 2.0f * Dialog::kCapHeight + kLineGap);
    const Vec2 corner = LineCorner(shownLine->side);
    shownLine->Show(Dialog::MoveUp, corner.x, corner.y + step);
    previousLine = shownLine;
    shownLine = nullptr;
}

void ChatController::Draw(PostProcessor* postProcessor) {
    for (Dialog* line : leaving)
        line->DrawLine(postProcessor);
    for (Portrait& p : portraits) {
        if (!p.frames.empty())
            p.Draw();
    }
    if (previousLine)
        previousLine->DrawLine(postProcessor);
    if (shownLine)
        shownLine->DrawLine(postProcessor);
}

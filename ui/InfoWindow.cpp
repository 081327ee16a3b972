// InfoWindow -- windows characters open: the controls, or an empty frame.
#include "ui/InfoWindow.h"

#include "core/Controls.h"
#include "core/Runtime.h"
#include "render/FontAtlas.h"
#include "render/UIZoom.h"
#include "ui/Layout.h"
#include "ui/UIText.h"

#include <algorithm>
#include <vector>

namespace {

constexpr RenderColor kClear{0.0f, 0.0f, 0.0f, 0.0f};
constexpr RenderColor kShade{0.0f, 0.0f, 0.0f, kWindowShade};
const Vec2 kClosedSize{20.0f, 50.0f};
// Every character window in existence, for the pause key.
std::vector<InfoWindow*> gWindows;
constexpr float kRowHeight = 16.0f;
constexpr float kMargin = 18.0f;  // left margin of the labels
constexpr float kColumn = 118.0f; // where the inputs start, from the left edge

} // namespace

InfoWindow::InfoWindow(const std::string& kind, Vec2 size, PostProcessor* pp)
    : Window(0.0f, 0.0f, kClosedSize.x, kClosedSize.y, kClear), type(kind), openSize(size),
      postProcessor(pp) {
    if (type == "Controls")
        openSize = {kControlsWidth, kControlsHeight};
    gWindows.push_back(this);
}

InfoWindow::~InfoWindow() {
    gWindows.erase(std::remove(gWindows.begin(), gWindows.end(), this), gWindows.end());
}

bool InfoWindow::CloseAllOpen() {
    bool closed = false;
    for (InfoWindow* w : gWindows) {
        if (w->open) {
            w->Close();
            closed = true;
        }
    }
    return closed;
}

std::vector<std::pair<std::string, std::string>> InfoWindow::ControlRows(bool pad) {
    // The player's own controls, as the options' controls page sets them.
    const Controls& c = Controls::Current();
    const auto key = [&c](Action a) { return KeyLabel(c.Get(a).key); };
    const auto button = [&c](Action a) { return PadLabel(c.Get(a).pad); };
    if (!pad)
        return {
            {"Move", key(Action::MoveUp) + " " + key(Action::MoveLeft) + " " +
                         key(Action::MoveDown) + " " + key(Action::MoveRight)},
            {"Light slash", key(Action::LightSlash)},
            {"Heavy slash", key(Action::HeavySlash)},
            {"Aim a dash", "Hold " + key(Action::Aim) + ", point"},
            {"Dash", "A slash while aiming"},
            {"Talk, use", key(Action::Talk)},
            {"Next line", "Hold left mouse button"},
            {"Pause", key(Action::Pause)},
            {"Screenshot", key(Action::Screenshot)},
        };
    const Bindings defaults = DefaultBindings();
    const bool padMoves = c.bindings[0] == defaults[0] && c.bindings[1] == defaults[1] &&
                          c.bindings[2] == defaults[2] && c.bindings[3] == defaults[3];
    return {
        {"Move", padMoves
                     ? std::string("Left stick or D-pad")
                     : "Left stick, " + button(Action::MoveUp) + " " + button(Action::MoveLeft) +
                           " " + button(Action::MoveDown) + " " + button(Action::MoveRight)},
        {"Light slash", button(Action::LightSlash)},
        {"Heavy slash", button(Action::HeavySlash)},
        {"Aim a dash", "Hold " + button(Action::Aim) + " or LT, point"},
        {"Dash",
         button(Action::LightSlash) + " or " + button(Action::HeavySlash) + " while aiming"},
        {"Talk, use", button(Action::Talk)},
        {"Next line", "Hold A"},
        {"Pause", button(Action::Pause)},
    };
}

void InfoWindow::FillControls(bool pad) {
    FadeOutElements();
    const float left = -openSize.x / 2.0f;
    float y = openSize.y / 2.0f - 20.0f;
    AddText("Controls", {0.0f, y}, {0.1f, 0.1f});
    y -= 24.0f;
    for (const auto& row : ControlRows(pad)) {
        // Two columns, each left-aligned (a text is placed by its centre).
        AddText(row.first, {left + kMargin + TextAdvance(row.first) / 2.0f, y});
        AddText(row.second, {left + kColumn + TextAdvance(row.second) / 2.0f, y});
        y -= kRowHeight;
    }
    AddButton(
        "Close", {0.0f, -openSize.y / 2.0f + 18.0f}, [this] { Close(); }, true);
}

void InfoWindow::Open() {
    if (type == "Controls") {
        const int32_t device = Runtime::Get().gamePad.deviceKind;
        FillControls(device != PadNone);
        listedDevice = device;
    }
    open = true;
    Window::Open(nullptr, {0.0f, 0.0f}, openSize, kShade, 1.0f, 1.0f);
}

void InfoWindow::Close() {
    open = false;
    Window::Open(nullptr, {0.0f, 0.0f}, kClosedSize, kClear, 0.0f, 0.0f);
}

void InfoWindow::Update(float dt) {
    if (open && type == "Controls") {
        // Plugging a pad in (or out) while the list shows rewrites it.
        const int32_t device = Runtime::Get().gamePad.deviceKind;
        if ((device != PadNone) != (listedDevice != PadNone)) {
            FillControls(device != PadNone);
            listedDevice = device;
        }
    }
    Window::Update(dt);
}

void InfoWindow::Draw() {
    if (!open && !Showing() && !HasBackground())
        return;
    // Drawn among the room's overlays, laid out like every other window.
    const UIZoom ui;
    Window::Draw(postProcessor);
}

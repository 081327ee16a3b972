// ControlsPage -- rebinding the game's actions.
#include "ui/ControlsPage.h"

#include "core/Controls.h"
#include "core/Runtime.h"
#include "engine/QNInput.h"
#include "ui/SettingsFile.h"
#include "ui/UIText.h"
#include "ui/Window.h"

#include <array>
#include <memory>
#include <utility>

namespace {

constexpr float kRowHeight = 15.0f;
constexpr float kTop = 112.0f;        // the first action's line
constexpr float kLabelLeft = -195.0f; // the columns' left edges
constexpr float kKeyLeft = -50.0f;
constexpr float kPadLeft = 100.0f;
constexpr float kWaitSeconds = 5.0f; // a binding nobody answers is dropped
const Vec2 kPageSize{420.0f, 300.0f};
// A little below the middle, so in a level the page leaves the health and
// special bars in the top-left corner in sight.
const Vec2 kPagePosition{0.0f, -25.0f};
constexpr float kAmber[4] = {1.0f, 0.78f, 0.35f, 1.0f};
constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// One binding waiting for its input, if any.
struct Capture {
    bool active = false;
    bool released = false; // every input was let go since it began
    float waited = 0.0f;   // seconds
    Action action = Action::MoveUp;
};
Capture gCapture;

// Left-aligns a text on `left` (texts are placed by their centres).
void PlaceLeft(UIText* text, float left, float y) {
    text->SetOffset({left + text->MeasureWidth(1.0f + text->scaleOffset.x) / 2.0f, y});
}

void SetText(UIText* text, const std::string& value, float left, float y) {
    text->text.assign(value.begin(), value.end());
    PlaceLeft(text, left, y);
}

bool AnythingHeld() {
    for (int key = 1; key < 256; ++key) {
        if (QNInputCheckCurr(static_cast<uint8_t>(key)))
            return true;
    }
    return Runtime::Get().gamePad.IsButtonHeld(0xFFFF);
}

// The page's state, shared by its buttons and its per-frame step.
struct Page {
    Window* window = nullptr;
    std::array<UIText*, kActionCount> keys{};
    std::array<UIText*, kActionCount> pads{};
    UIText* status = nullptr;

    float RowY(int32_t i) const { return kTop - static_cast<float>(i) * kRowHeight; }
    void Refresh() {
        const Controls& controls = Controls::Current();
        for (int32_t i = 0; i < kActionCount; ++i) {
            const Binding& b = controls.Get(static_cast<Action>(i));
            SetText(keys[static_cast<size_t>(i)], KeyLabel(b.key), kKeyLeft, RowY(i));
            SetText(pads[static_cast<size_t>(i)], PadLabel(b.pad), kPadLeft, RowY(i));
        }
    }
    void Say(const std::string& text, bool warning) {
        status->text.assign(text.begin(), text.end());
        std::copy(warning ? kAmber : kWhite, (warning ? kAmber : kWhite) + 4, status->color);
    }
    void Finish(const std::optional<std::string>& refusedBy, const std::string& input,
                const std::string& was) {
        gCapture.active = false;
        window->busy = false;
        if (refusedBy) {
            Say(refusedBy->empty() ? input + " stays with the menus"
                                   : input + " is already " + *refusedBy,
                true);
        } else {
            Say(std::string(Describe(gCapture.action).label) + ": " + input +
                    (was == input ? "" : " (was " + was + ")"),
                false);
            SaveSettingsFile();
        }
        Refresh();
    }
    void Step(float dt) {
        if (!gCapture.active)
            return;
        gCapture.waited += dt;
        if (gCapture.waited > kWaitSeconds) {
            gCapture.active = false;
            window->busy = false;
            Say("Nothing changed", false);
            return;
        }
        // The press that chose the action must be let go first.
        if (!gCapture.released) {
            gCapture.released = !AnythingHeld();
            return;
        }
        Controls& controls = Controls::Current();
        for (int key = 1; key < 256; ++key) {
            const auto vk = static_cast<uint8_t>(key);
            // The sides' own codes stand for the shared Shift, Ctrl and Alt.
            if (vk == 0x10 || vk == 0x11 || vk == 0x12)
                continue;
            if (QNInputCheckTriggered(vk)) {
                const std::string was = KeyLabel(controls.Get(gCapture.action).key);
                Finish(controls.BindKey(gCapture.action, vk), KeyLabel(vk), was);
                return;
            }
        }
        for (const uint16_t button : PadButtons()) {
            if (Runtime::Get().gamePad.IsTriggered(button)) {
                const std::string was = PadLabel(controls.Get(gCapture.action).pad);
                Finish(controls.BindPad(gCapture.action, button), PadLabel(button), was);
                return;
            }
        }
    }
};

} // namespace

bool ControlsCapturing() {
    return gCapture.active;
}

void BuildControlsPage(Window& window, std::function<void()> back) {
    gCapture = Capture();
    window.FadeOutElements();
    auto page = std::make_shared<Page>();
    page->window = &window;
    window.AddText("Controls", {0.0f, kPageSize.y / 2.0f - 16.0f}, {0.1f, 0.1f});
    for (int32_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        UIText* label = window.AddButton(
            Describe(action).label, {0.0f, page->RowY(i)},
            [page, action] {
                gCapture = Capture();
                gCapture.active = true;
                gCapture.action = action;
                page->window->busy = true; // the keys are the binding's now
                page->Say("Press a key or a pad button for " + std::string(Describe(action).label),
                          false);
            },
            true);
        PlaceLeft(label, kLabelLeft, page->RowY(i));
        page->keys[static_cast<size_t>(i)] = window.AddText("", {0.0f, page->RowY(i)});
        page->pads[static_cast<size_t>(i)] = window.AddText("", {0.0f, page->RowY(i)});
    }
    const float bottom = -kPageSize.y / 2.0f;
    page->status = window.AddText("Choose an action to change", {0.0f, bottom + 62.0f});
    window.AddButton(
        "Reset to defaults", {0.0f, bottom + 42.0f},
        [page] {
            Controls::Current().Reset();
            page->Refresh();
            page->Say("Default controls", false);
            SaveSettingsFile();
        },
        true);
    window.AddButton("Back", {0.0f, bottom + 22.0f}, std::move(back), false);
    page->Refresh();
    window.pageUpdate = [page](float dt) { page->Step(dt); };
    window.Open(nullptr, kPagePosition, kPageSize, {0.0f, 0.0f, 0.0f, kWindowShade}, 1.0f, 1.0f);
}

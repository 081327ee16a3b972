// ErrorBox -- the "the game cannot go on" box, in the game's own window.
#include "game/ErrorBox.h"

#include "core/GameObject.h"
#include "core/Runtime.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "render/FontAtlas.h"
#include "render/PostProcessor.h"
#include "render/Programs.h"
#include "render/Resources.h"
#include "render/TextSprite.h"
#include "render/UIZoom.h"

#include <GL/glew.h>
#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

// Interface units (a 640 x 360 layout at any window size).
constexpr float kBoxWidth = 420.0f;
constexpr float kMargin = 14.0f;
constexpr float kTextWidth = kBoxWidth - 2.0f * kMargin;
constexpr float kLineHeight = 13.0f; // one row of text at scale 1, with its gap
constexpr float kCaptionHeight = 24.0f;
constexpr float kButtonWidth = 120.0f;
constexpr float kButtonHeight = 24.0f;
constexpr float kBorder = 2.0f;

const float kShade[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const float kFrame[4] = {0.75f, 0.2f, 0.15f, 1.0f};
const float kPanel[4] = {0.12f, 0.11f, 0.11f, 1.0f};
const float kCaptionBar[4] = {0.45f, 0.1f, 0.08f, 1.0f};
const float kButton[4] = {0.3f, 0.28f, 0.27f, 1.0f};

// The game draws in a device space whose lower-left quarter is its
// half-size picture; the box goes straight to the window, so that quarter
// is stretched over the whole of it (the engine puts the window's viewport
// back whenever one of its programs becomes current).
void StretchViewport() {
    int32_t width = 0, height = 0;
    QNGfxGetDrawableSize(&width, &height);
    glViewport(0, 0, 2 * width, 2 * height);
}

// A flat rectangle centred on (x, y), interface units.
void DrawRectangle(float x, float y, float width, float height, const float color[4]) {
    float matrix[9];
    GameObject::BuildTransform(matrix, {width, height}, 0.0f, {x, y});
    QNGfxSetRenderMode(QN_RENDER_COLOR);
    StretchViewport();
    QNGfxSetTransform(matrix);
    QNGfxSetTintColor(color[0], color[1], color[2], color[3]);
    QNGfxMeshDraw(Resources::GetQuadMesh(1), 3);
}

// What is on screen while the box is up.
class ErrorBoxView {
public:
    ErrorBoxView(FontAtlas* font, const ErrorBoxText& text)
        : caption(font, text.caption), message(font, text.message),
          button(font, std::string("Close the game")),
          hint(font, std::string("Return, Escape or a click")) {
        message.WrapText(1.0f, kTextWidth);
        message.RebuildMesh();
        const float rows = std::max(1.0f, -message.height / kLineHeight + 1.0f);
        messageHeight = rows * kLineHeight;
        boxHeight = kCaptionHeight + messageHeight + kButtonHeight + 4.0f * kMargin;
        const float top = boxHeight / 2.0f;
        captionY = top - kCaptionHeight / 2.0f;
        messageY = top - kCaptionHeight - kMargin - messageHeight / 2.0f;
        buttonY = -top + kMargin + kButtonHeight / 2.0f;
        Place(caption, {0.0f, captionY});
        Place(message, {0.0f, messageY});
        Place(button, {0.0f, buttonY});
        Place(hint, {0.0f, -top - kLineHeight});
        hint.color[0] = hint.color[1] = hint.color[2] = 0.6f;
    }

    void Draw() {
        QNGfxSetCamPosition(static_cast<float>(Runtime::Get().screenWidth) * 0.5f,
                            static_cast<float>(Runtime::Get().screenHeight) * 0.5f);
        {
            const UIZoom ui;
            const Vec2 half = Runtime::Get().UIHalfExtent();
            DrawRectangle(0.0f, 0.0f, 2.0f * half.x, 2.0f * half.y, kShade);
            DrawRectangle(0.0f, 0.0f, kBoxWidth + 2.0f * kBorder, boxHeight + 2.0f * kBorder,
                          kFrame);
            DrawRectangle(0.0f, 0.0f, kBoxWidth, boxHeight, kPanel);
            DrawRectangle(0.0f, captionY, kBoxWidth, kCaptionHeight, kCaptionBar);
            DrawRectangle(0.0f, buttonY, kButtonWidth, kButtonHeight, kButton);
        }
        StretchViewport();
        for (const TextSprite* t : {&caption, &message, &button, &hint})
            PostProcessor::DrawTextWith(program, *t);
    }

private:
    static void Place(TextSprite& t, Vec2 at) {
        t.SetOffset(at);
        t.Layout({0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f);
    }

    TextProgram program;
    TextSprite caption, message, button, hint;
    float messageHeight = 0.0f;
    float boxHeight = 0.0f;
    float captionY = 0.0f, messageY = 0.0f, buttonY = 0.0f;
};

bool ClosedByPlayer() {
    return QNInputCheckTriggered(QN_VK_RETURN) || QNInputCheckTriggered(QN_VK_ESCAPE) ||
           QNInputCheckReleased(QN_VK_LBUTTON);
}

} // namespace

ErrorBoxText MakeErrorBoxText(const std::string& caption, const std::string& message) {
    ErrorBoxText text{caption, message};
    if (text.message.size() > ErrorBoxText::kMaxMessage)
        text.message = text.message.substr(0, ErrorBoxText::kMaxMessage) + "...";
    return text;
}

bool ShowErrorBox(const std::string& caption, const std::string& message,
                  const std::function<void()>& screenshot) {
    FontAtlas* font = FontAtlas::Shared();
    if (!QNSysDoesWindowExist() || !font)
        return false;
    std::unique_ptr<ErrorBoxView> view;
    try {
        view = std::make_unique<ErrorBoxView>(font, MakeErrorBoxText(caption, message));
    } catch (const std::exception&) {
        return false; // no program to draw text with: the console has said it all
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    QNInputShowCursor(true);
    // Whatever was held when the game failed must be pressed anew.
    QNInputUpdate();
    while (QNSysDoesWindowExist()) {
        QNSysFrameStart();
        QNInputUpdate();
        if (ClosedByPlayer())
            break;
        view->Draw();
        if (screenshot && Runtime::Get().Triggered(Action::Screenshot))
            screenshot();
        QNGfxEnd();
        QNFrameRateControllerEnd();
        QNSysUpdate();
    }
    return true;
}

// PostProcessor -- render targets and full-screen passes of a scene.
#include "render/PostProcessor.h"

#include "engine/QNGraphics.h"
#include "render/Bitmap.h"
#include "render/FontAtlas.h"
#include "render/TextSprite.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr const char* kNoisePath = "assets/noise.bmp";

// Internal formats of the eight attachments, in attachment order.
const GLenum kAttachmentFormats[PostProcessor::kAttachments] = {
    GL_RGBA8, GL_RGBA8, GL_RGB8, GL_RGBA8, GL_RGB8, GL_RGB8, GL_RGB8, GL_RGB8};

// Clears the draw buffer to a colour and puts the engine's clear colour back,
// so the next frame start still clears to the scene's background.
void ClearTo(float r, float g, float b, float a) {
    GLfloat previous[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, previous);
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(previous[0], previous[1], previous[2], previous[3]);
}

// The pixels of a render target that one light can reach: the light pass
// lights only what lies below the light's point, and nothing from its range
// outward (the fall-off reaches zero where the distance to the raised point
// equals the range; a range of zero or less has no such edge). Two pixels of
// slack each way cover the shader's rounding. False when it reaches none.
bool LightReach(const Vec2& point, float height, float range, float aspect, int32_t width,
                int32_t heightPixels, GLint rect[4]) {
    constexpr double kSlack = 2.0;
    const double w = static_cast<double>(width), h = static_cast<double>(heightPixels);
    double x0 = 0.0, x1 = w, y0 = 0.0;
    double y1 = std::min(h, h * static_cast<double>(point.y) + kSlack);
    if (range > 0.0f) {
        const double reach2 =
            static_cast<double>(range) * range - static_cast<double>(height) * height;
        if (reach2 <= 0.0)
            return false;
        const double reach = std::sqrt(reach2);
        if (aspect > 0.0f) {
            x0 = std::max(x0, w * (static_cast<double>(point.x) - reach / aspect) - kSlack);
            x1 = std::min(x1, w * (static_cast<double>(point.x) + reach / aspect) + kSlack);
        }
        y0 = std::max(y0, h * (static_cast<double>(point.y) - reach) - kSlack);
    }
    x0 = std::floor(x0);
    y0 = std::floor(y0);
    x1 = std::ceil(x1);
    y1 = std::ceil(y1);
    if (!(x1 > x0) || !(y1 > y0))
        return false;
    rect[0] = static_cast<GLint>(x0);
    rect[1] = static_cast<GLint>(y0);
    rect[2] = static_cast<GLint>(x1 - x0);
    rect[3] = static_cast<GLint>(y1 - y0);
    return true;
}

// Tells the engine which of its programs is current again, if any.
void NoteEngineProgram(GLint program) {
    int mode = 0;
    for (int m = 1; m <= 2; ++m) {
        if (program != 0 && static_cast<GLuint>(program) == QNGfxGetBuiltinProgram(m))
            mode = m;
    }
    QNGfxNoteRenderMode(mode);
}

} // namespace

PostProcessor::OwnedTexture::~OwnedTexture() {
    if (id != 0)
        glDeleteTextures(1, &id);
}

PostProcessor::PostProcessor(int32_t rw, int32_t rh, int32_t ww, int32_t wh)
    : noiseTexture(LoadBitmap(kNoisePath)), quad(2), windowWidth(ww), windowHeight(wh),
      aspectRatio(wh > 0 ? static_cast<float>(ww) / static_cast<float>(wh) : 1.0f), renderWidth(rw),
      renderHeight(rh) {
    CreateTargets();
    const float corners[8] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f};
    quad.Upload(corners, 8);
}

PostProcessor::~PostProcessor() {
    ReleaseTargets();
}

void PostProcessor::CreateTargets() {
    GLint maxAttachments = 0;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &maxAttachments);
    if (maxAttachments < kAttachments)
        throw std::runtime_error("The graphics driver offers fewer than 8 render targets");

    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenTextures(kAttachments, attachments);
    for (int i = 0; i < kAttachments; ++i) {
        glBindTexture(GL_TEXTURE_2D, attachments[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(kAttachmentFormats[i]), renderWidth,
                     renderHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glFramebufferTexture2D(GL_FRAMEBUFFER, static_cast<GLenum>(GL_COLOR_ATTACHMENT0 + i),
                               GL_TEXTURE_2D, attachments[i], 0);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        ReleaseTargets();
        throw std::runtime_error("The render targets could not be created (" +
                                 std::to_string(renderWidth) + " x " +
                                 std::to_string(renderHeight) + ")");
    }
    CHECK_GL_ERROR("PostProcessor::CreateTargets");
}

void PostProcessor::ReleaseTargets() {
    if (attachments[0] != 0)
        glDeleteTextures(kAttachments, attachments);
    for (GLuint& a : attachments)
        a = 0;
    if (framebuffer != 0)
        glDeleteFramebuffers(1, &framebuffer);
    framebuffer = 0;
}

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------
void PostProcessor::SelectAttachment(int n) {
    if (n < 0 || n >= kAttachments)
        return;
    glDrawBuffer(static_cast<GLenum>(GL_COLOR_ATTACHMENT0 + n));
}

void PostProcessor::UseProgram(const ShaderProgram& program) {
    glUseProgram(program.program);
    QNGfxNoteRenderMode(0);
}

void PostProcessor::RestoreProgram() {
    glUseProgram(static_cast<GLuint>(savedProgram));
    NoteEngineProgram(savedProgram);
}

void PostProcessor::BindTexture(GLint location, int unit, GLuint texture) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(GL_TEXTURE_2D, texture);
    if (location >= 0)
        glUniform1i(location, unit);
    glActiveTexture(GL_TEXTURE0);
}

void PostProcessor::DrawQuad(const ShaderProgram& program) {
    const GLint location = program.Attribute(0);
    if (location < 0)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, quad.id);
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), quad.components, GL_FLOAT, GL_FALSE, 0,
                          nullptr);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(static_cast<GLuint>(location));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// ---------------------------------------------------------------------------
// Passes
// ---------------------------------------------------------------------------
void PostProcessor::Begin() {
    glGetIntegerv(GL_CURRENT_PROGRAM, &savedProgram);
    QNGfxSetBlendMode(1);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    // Scenes draw with the window-size device space whose lower-left quarter
    // is the targets; in full screen the engine's viewport is the desktop's,
    // which would scale the picture out of the targets.
    glViewport(0, 0, windowWidth, windowHeight);
}

void PostProcessor::ClearOverlay() {
    SelectAttachment(0);
    ClearTo(0.0f, 0.0f, 0.0f, 0.0f);
}

void PostProcessor::ClearNormals(int n) {
    SelectAttachment(n);
    ClearTo(0.5f, 0.5f, 1.0f, 0.0f);
}

void PostProcessor::ClearDiffuse(int n) {
    SelectAttachment(n);
    ClearTo(0.5f, 0.5f, 0.5f, 0.0f);
}

void PostProcessor::BeginLighting(int target, int diffuse, int normal) {
    glViewport(0, 0, renderWidth, renderHeight);
    SelectAttachment(target);
    ClearTo(0.0f, 0.0f, 0.0f, 0.0f);
    QNGfxSetBlendMode(2);
    UseProgram(light);
    if (diffuse >= 0 && diffuse < kAttachments)
        BindTexture(light.Uniform(LightProgram::DiffuseTexture), 0, attachments[diffuse]);
    if (normal >= 0 && normal < kAttachments)
        BindTexture(light.Uniform(LightProgram::NormalTexture), 1, attachments[normal]);
}

void PostProcessor::DrawLight(const Vec2& point, const RenderColor& color, float range,
                              float intensity) {
    const float toWindow = windowHeight > 0 ? 720.0f / static_cast<float>(windowHeight) : 1.0f;
    // Brighter lights hang lower over the picture; anything above 1 is as low
    // as a light gets.
    const float height = intensity > 1.0f ? 0.05f : 1.05f - intensity;
    // Everywhere else the light adds nothing: the quad is drawn over its
    // reach alone.
    GLint reach[4] = {0, 0, renderWidth, renderHeight};
    if (clipLights && !LightReach(point, height * toWindow, range * toWindow, aspectRatio,
                                  renderWidth, renderHeight, reach))
        return;
    glUniform1f(light.Uniform(LightProgram::AspectRatio), aspectRatio);
    glUniform2f(light.Uniform(LightProgram::LightPoint), point.x, point.y);
    glUniform4f(light.Uniform(LightProgram::LightColor), color.r, color.g, color.b, color.a);
    glUniform1f(light.Uniform(LightProgram::LightStrength), height * toWindow);
    glUniform1f(light.Uniform(LightProgram::LightRange), range * toWindow);
    glEnable(GL_SCISSOR_TEST);
    glScissor(reach[0], reach[1], reach[2], reach[3]);
    DrawQuad(light);
    glDisable(GL_SCISSOR_TEST);
}

void PostProcessor::Composite(int target, int source, const RenderColor& color) {
    if (source < 0 || source >= kAttachments)
        return;
    SelectAttachment(target);
    QNGfxSetBlendMode(1);
    UseProgram(copy);
    BindTexture(copy.Uniform(CopyProgram::Texture), 0, attachments[source]);
    glUniform4f(copy.Uniform(CopyProgram::Color), color.r, color.g, color.b, color.a);
    DrawQuad(copy);
}

void PostProcessor::Radial(const Vec2& origin, float radius) {
    SelectAttachment(6);
    QNGfxSetBlendMode(1);
    UseProgram(radial);
    BindTexture(radial.Uniform(RadialProgram::Texture), 0, attachments[5]);
    glUniform1f(radial.Uniform(RadialProgram::AspectRatio), aspectRatio);
    glUniform2f(radial.Uniform(RadialProgram::Origin), origin.x, origin.y);
    glUniform1f(radial.Uniform(RadialProgram::Strength), radius);
    DrawQuad(radial);
}

void PostProcessor::Distort(int source) {
    if (source < 0 || source >= kAttachments)
        return;
    SelectAttachment(7);
    UseProgram(distortion);
    BindTexture(distortion.Uniform(DistortionProgram::Texture), 0, attachments[source]);
    BindTexture(distortion.Uniform(DistortionProgram::Noise), 1, noiseTexture.id);
    glUniform1f(distortion.Uniform(DistortionProgram::SampleX), sampleX);
    glUniform1f(distortion.Uniform(DistortionProgram::Strength), strength);
    ClearTo(0.0f, 0.0f, 0.0f, 0.0f);
    DrawQuad(distortion);
}

void PostProcessor::FinishLitFrame(int lit) {
    if (strength != 0.0f) {
        Distort(lit);
        lit = 7;
    }
    Composite(lit, 0, {1.0f, 1.0f, 1.0f, 1.0f});
    Present(lit);
}

void PostProcessor::Present(int source) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    int32_t drawableWidth = windowWidth, drawableHeight = windowHeight;
    QNGfxGetDrawableSize(&drawableWidth, &drawableHeight);
    glViewport(0, 0, drawableWidth, drawableHeight);
    if (source >= 0 && source < kAttachments) {
        // A plain copy over the whole window, so nothing needs clearing
        // first: whatever blending the last pass left must not darken the
        // overlay's soft edges a second time.
        glDisable(GL_BLEND);
        UseProgram(copy);
        BindTexture(copy.Uniform(CopyProgram::Texture), 0, attachments[source]);
        glUniform4f(copy.Uniform(CopyProgram::Color), 1.0f, 1.0f, 1.0f, 1.0f);
        DrawQuad(copy);
    } else {
        ClearTo(0.0f, 0.0f, 0.0f, 1.0f);
    }
    QNGfxSetBlendMode(1);
    RestoreProgram();
}

void PostProcessor::DrawText(const TextSprite& textSprite) {
    DrawTextWith(text, textSprite);
}

void PostProcessor::DrawTextWith(const TextProgram& program, const TextSprite& textSprite) {
    const FontAtlas* font = textSprite.font;
    const auto& vertices = static_cast<const Graphics::VertexBufferObject&>(textSprite);
    const auto& indices = static_cast<const Graphics::IndexBufferObject&>(textSprite);
    if (!font || font->texture == 0 || indices.count == 0)
        return;
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    UseProgram(program);
    const GLint location = program.Attribute(0);
    glBindBuffer(GL_ARRAY_BUFFER, vertices.id);
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), vertices.components, GL_FLOAT, GL_FALSE, 0,
                          nullptr);
    BindTexture(program.Uniform(TextProgram::Texture), 0, font->texture);
    glUniform4fv(program.Uniform(TextProgram::Color), 1, textSprite.color);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices.id);
    glDrawElements(GL_TRIANGLE_STRIP, static_cast<GLsizei>(indices.count), GL_UNSIGNED_SHORT,
                   nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDisableVertexAttribArray(static_cast<GLuint>(location));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glUseProgram(static_cast<GLuint>(previous));
    NoteEngineProgram(previous);
}

// PostProcessor -- render targets and full-screen passes of a scene.
#include "render/PostProcessor.h"

#include "core/Runtime.h"
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

PostProcessor::PostProcessor(int32_t rw, int32_t rh)
    : noiseTexture(LoadBitmap(kNoisePath)), quad(2),
      aspectRatio(rh > 0 ? static_cast<float>(rw) / static_cast<float>(rh) : 1.0f), renderWidth(rw),
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
    FlushLights(); // into the attachment they were meant for
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
    // Scenes draw through a device space twice the render size whose
    // lower-left quarter is the targets (the engine's view, set up so).
    glViewport(0, 0, 2 * renderWidth, 2 * renderHeight);
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
    lightDiffuse = diffuse >= 0 && diffuse < kAttachments ? attachments[diffuse] : 0;
    lightNormal = normal >= 0 && normal < kAttachments ? attachments[normal] : 0;
}

void PostProcessor::DrawLight(const Vec2& point, const RenderColor& color, float range,
                              float intensity) {
    // Heights and ranges are made for a picture 360 pixels high.
    const float toWindow = renderHeight > 0 ? 360.0f / static_cast<float>(renderHeight) : 1.0f;
    // Brighter lights hang lower over the picture; anything above 1 is as low
    // as a light gets.
    const float height = intensity > 1.0f ? 0.05f : 1.05f - intensity;
    // Everywhere else the light adds nothing: its pass is drawn over what
    // its lights reach alone.
    GLint reach[4] = {0, 0, renderWidth, renderHeight};
    if (clipLights && !LightReach(point, height * toWindow, range * toWindow, aspectRatio,
                                  renderWidth, renderHeight, reach))
        return;
    const int i = pendingCount++;
    const float at[4] = {point.x, point.y, height * toWindow, range * toWindow};
    const float rgba[4] = {color.r, color.g, color.b, color.a};
    std::copy(at, at + 4, pendingLights[i]);
    std::copy(rgba, rgba + 4, pendingColors[i]);
    const GLint x1 = reach[0] + reach[2], y1 = reach[1] + reach[3];
    if (i == 0) {
        pendingReach[0] = reach[0];
        pendingReach[1] = reach[1];
        pendingReach[2] = x1;
        pendingReach[3] = y1;
    } else {
        pendingReach[0] = std::min(pendingReach[0], reach[0]);
        pendingReach[1] = std::min(pendingReach[1], reach[1]);
        pendingReach[2] = std::max(pendingReach[2], x1);
        pendingReach[3] = std::max(pendingReach[3], y1);
    }
    if (pendingCount >= std::clamp(lightsPerPass, 1, LightProgram::kLightsPerPass))
        FlushLights();
}

void PostProcessor::FlushLights() {
    if (pendingCount == 0)
        return;
    const GLsizei count = pendingCount;
    pendingCount = 0;
    glViewport(0, 0, renderWidth, renderHeight);
    QNGfxSetBlendMode(2);
    UseProgram(light);
    BindTexture(light.Uniform(LightProgram::DiffuseTexture), 0, lightDiffuse);
    BindTexture(light.Uniform(LightProgram::NormalTexture), 1, lightNormal);
    glUniform1f(light.Uniform(LightProgram::AspectRatio), aspectRatio);
    glUniform4fv(light.Uniform(LightProgram::Lights), count, &pendingLights[0][0]);
    glUniform4fv(light.Uniform(LightProgram::Colors), count, &pendingColors[0][0]);
    glUniform1i(light.Uniform(LightProgram::LightCount), count);
    glEnable(GL_SCISSOR_TEST);
    glScissor(pendingReach[0], pendingReach[1], pendingReach[2] - pendingReach[0],
              pendingReach[3] - pendingReach[1]);
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
    FlushLights();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    int32_t drawableWidth = 2 * renderWidth, drawableHeight = 2 * renderHeight;
    QNGfxGetDrawableSize(&drawableWidth, &drawableHeight);
    const PictureRect picture = Runtime::Get().PictureIn(drawableWidth, drawableHeight);
    const bool fills = picture.width == drawableWidth && picture.height == drawableHeight;
    glViewport(0, 0, drawableWidth, drawableHeight);
    if (!fills || source < 0 || source >= kAttachments)
        ClearTo(0.0f, 0.0f, 0.0f, 1.0f); // the border
    if (source >= 0 && source < kAttachments && picture.width > 0 && picture.height > 0) {
        glViewport(picture.x, drawableHeight - picture.y - picture.height, picture.width,
                   picture.height);
        // A plain copy, so nothing needs clearing under it: whatever blending
        // the last pass left must not darken the overlay's soft edges a
        // second time.
        glDisable(GL_BLEND);
        const GLuint texture = attachments[source];
        if (picture.width % renderWidth == 0 && picture.height % renderHeight == 0) {
            // A whole factor: every window pixel takes one render pixel as it
            // is (the cheapest copy there is, which counts at large sizes).
            UseProgram(copy);
            BindTexture(copy.Uniform(CopyProgram::Texture), 0, texture);
            glUniform4f(copy.Uniform(CopyProgram::Color), 1.0f, 1.0f, 1.0f, 1.0f);
            DrawQuad(copy);
        } else {
            PresentScaled(texture, picture);
        }
    }
    QNGfxSetBlendMode(1);
    RestoreProgram();
}

void PostProcessor::PresentScaled(GLuint texture, const PictureRect& picture) {
    UseProgram(scale);
    BindTexture(scale.Uniform(ScaleProgram::Texture), 0, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glUniform2f(scale.Uniform(ScaleProgram::TextureSize), static_cast<float>(renderWidth),
                static_cast<float>(renderHeight));
    // Below a whole factor the picture shrinks: plain linear filtering.
    glUniform2f(
        scale.Uniform(ScaleProgram::Scale),
        std::max(1.0f, static_cast<float>(picture.width) / static_cast<float>(renderWidth)),
        std::max(1.0f, static_cast<float>(picture.height) / static_cast<float>(renderHeight)));
    DrawQuad(scale);
    // The passes read their targets texel for texel.
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
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

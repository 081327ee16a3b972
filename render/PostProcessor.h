// PostProcessor.h -- a scene's off-screen render targets and the full-screen
// passes that turn them into the presented picture: lights over the normal
// image, the ambient composite, the radial reveal of a room transition, the
// slow-motion distortion, the unlit overlay and the present.
//
// Every pass draws at the render size, whatever the window; only the present
// touches the window's pixels, scaling the finished picture to it.
//
// Attachments (render size):
//   0 RGBA unlit overlay       1 RGBA diffuse, current room   2 RGB normals, current room
//   3 RGBA diffuse, next room  4 RGB normals, next room       5 RGB light sum
//   6 RGB lit scene            7 RGB final image
#pragma once

#include "core/ScreenScaling.h"
#include "core/Vec2.h"
#include "render/GpuBuffer.h"
#include "render/Programs.h"
#include "render/RenderColor.h"

#include <GL/glew.h>
#include <cstdint>

class TextSprite;

class PostProcessor {
public:
    static constexpr int kAttachments = 8;

    // renderWidth / renderHeight: the render size (pixels). Throws when the
    // noise image is missing or malformed, or a program does not build.
    PostProcessor(int32_t renderWidth, int32_t renderHeight);
    ~PostProcessor();
    PostProcessor(const PostProcessor&) = delete;
    PostProcessor& operator=(const PostProcessor&) = delete;

    // Remembers the current program, sets transparency blending and makes
    // the targets the place everything is drawn.
    void Begin();
    void ClearOverlay();
    // Clears attachment n to a normal facing the viewer.
    void ClearNormals(int n);
    // Clears attachment n to mid grey, fully transparent.
    void ClearDiffuse(int n);
    // Clears `target` and prepares additive light passes over the diffuse
    // and normal attachments.
    void BeginLighting(int target, int diffuse, int normal);
    // point: 0..1 screen units, origin bottom left; range and intensity as
    // the room's light gives them. Follows BeginLighting. Lights are drawn
    // lightsPerPass at a time, in one pass over the part of the target they
    // reach: the pass is drawn when it is full or when the next pass
    // starts (any other operation).
    void DrawLight(const Vec2& point, const RenderColor& color, float range, float intensity);
    // Blends attachment `source`, tinted by color, over attachment `target`.
    void Composite(int target, int source, const RenderColor& color);
    // Blends a circle of the light sum (attachment 5) over the lit scene
    // (attachment 6). origin: 0..1 screen units; radius in screen heights.
    void Radial(const Vec2& origin, float radius);
    // The lit scene (attachment `source`, 6 unless given) into the final
    // image (7) through the noise offsets.
    void Distort(int source = 6);
    // Ends a lit frame whose lit scene is in attachment `lit`: distorted into
    // 7 while the distortion is on, the overlay on top, presented. At rest
    // the distortion would copy the picture unchanged, so it is skipped and
    // the overlay goes straight onto `lit`.
    void FinishLitFrame(int lit);
    // Shows attachment `source` in the window, scaled as the player chose
    // (Runtime's scaling; black where it does not fill), and restores the
    // program that was current at Begin.
    void Present(int source);
    // Draws one text sprite into the selected attachment.
    void DrawText(const TextSprite& textSprite);
    // Draws one text sprite with `text` into whatever is drawn into (a
    // picture without render targets: the error box).
    static void DrawTextWith(const TextProgram& program, const TextSprite& textSprite);

    // Makes colour attachment n the draw buffer.
    void SelectAttachment(int n);

    // A texture name deleted with its owner.
    struct OwnedTexture {
        explicit OwnedTexture(GLuint name) : id(name) {}
        ~OwnedTexture();
        OwnedTexture(const OwnedTexture&) = delete;
        OwnedTexture& operator=(const OwnedTexture&) = delete;
        GLuint id;
    };

    OwnedTexture noiseTexture; // "assets/noise.bmp": RGB, nearest, repeating
    LightProgram light;
    DistortionProgram distortion;
    RadialProgram radial;
    CopyProgram copy;
    TextProgram text;
    ScaleProgram scale;
    Graphics::VertexBufferObject quad; // (-1, -1) to (1, 1), a 4-vertex strip
    GLuint framebuffer = 0;
    GLuint attachments[kAttachments] = {}; // colour textures 0..7
    float aspectRatio;                     // render width / render height
    float sampleX = 0.0f;                  // noise column, 0..1
    float strength = 0.0f; // distortion offset in uv units; 0 leaves the picture alone
    int32_t renderWidth;
    int32_t renderHeight;
    GLint savedProgram = 0; // current program when Begin ran
    // Each pass of lights is drawn over the part of the target they can
    // reach only; off, over the whole target (the same picture, for
    // comparison).
    bool clipLights = true;
    // Lights drawn in one pass, 1 to LightProgram::kLightsPerPass; 1 draws
    // a pass per light (the same picture, for comparison).
    int lightsPerPass = LightProgram::kLightsPerPass;

private:
    // Draws the lights gathered since the last pass, if any.
    void FlushLights();
    void CreateTargets();
    // Draws `texture` over the viewport, enlarged between whole factors.
    void PresentScaled(GLuint texture, const PictureRect& picture);
    void ReleaseTargets();
    // Makes a game program current; the engine then knows none of its own is.
    static void UseProgram(const ShaderProgram& program);
    void RestoreProgram();
    // Binds `texture` on unit `unit` to the sampler at `location`.
    static void BindTexture(GLint location, int unit, GLuint texture);
    // Draws the full-screen quad through the program's attribute 0.
    void DrawQuad(const ShaderProgram& program);

    // Lights waiting for their pass: per light a point, height and range,
    // then a colour (LightProgram's two arrays), and the pixels they reach.
    float pendingLights[LightProgram::kLightsPerPass][4] = {};
    float pendingColors[LightProgram::kLightsPerPass][4] = {};
    int pendingCount = 0;
    GLint pendingReach[4] = {0, 0, 0, 0};     // x0, y0, x1, y1
    GLuint lightDiffuse = 0, lightNormal = 0; // the attachments BeginLighting gave
};

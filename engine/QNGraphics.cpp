// QNGraphics -- OpenGL 2.0 graphics core of the engine, on an SDL2 context.
//
// Two built-in GLSL 1.20 programs (colour and texture), the camera matrices,
// render state, static meshes from a staging list, textures decoded with
// stb_image, and the fixed-format error reports that stop the program.
#include "engine/QNGraphics.h"

#include "engine/QNImage.h"
#include "engine/QNMatrix.h"
#include "engine/QNSystem.h"

#include <SDL.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stb/stb_image_write.h>
#include <unistd.h>

float gQNWinMinX = 0.0f, gQNWinMaxX = 0.0f, gQNWinMinY = 0.0f, gQNWinMaxY = 0.0f;

// ---------------------------------------------------------------------------
// Module state
// ---------------------------------------------------------------------------
namespace {

struct StagingVertex {
    float x, y, z;
    uint32_t color; // 0xAARRGGBB
    float u, v;
};

struct GraphicsState {
    SDL_GLContext context = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    GLuint programs[3] = {0, 0, 0}; // slot 0 stays empty
    // Each program's vertex inputs, looked up once when it is built: the
    // position, and the colour (colour program) or texture coordinate.
    GLint positionInput[3] = {-1, -1, -1};
    GLint extraInput[3] = {-1, -1, -1};
    int currentProgram = 0;
    float camX = 0.0f, camY = 0.0f;
    float camZoom = 1.0f;
    int32_t viewWidth = 0, viewHeight = 0; // 0: the window's
    bool clearAtStart = true;
    Matrix4 projection;
    Matrix4 view;
    float world[16] = {};
    uint32_t cameraUploads = 0;
    float textureOffsetU = 0.0f, textureOffsetV = 0.0f;
    bool buildingMesh = false;
    GLuint streamBuffer = 0; // QNGfxDrawColoredTriangles' vertices, refilled each draw
    uint32_t stagingCount = 0;
    std::string capturePath;
};

GraphicsState GFX;
StagingVertex STAGING[kQNGfxStagingVertices];

const char* const kFileName = "QNGraphics";

const char* const kColorVS = R"(#version 120
uniform mat4 uPMatrix;
uniform mat4 uVMatrix;
uniform mat4 uWorldMatrix;
attribute vec4 aPosition;
attribute vec4 aColor;
varying vec4 vColor;
void main() {
    vColor = aColor;
    gl_Position = uPMatrix * uVMatrix * uWorldMatrix * aPosition;
}
)";

const char* const kColorFS = R"(#version 120
uniform vec4 uBlendColor;
uniform float uTransparencyValue;
uniform vec4 uTintColor;
varying vec4 vColor;
void main() {
    vec3 rgb = (vColor.rgb * (1.0 - uBlendColor.a) + uBlendColor.rgb * uBlendColor.a) * uTintColor.rgb;
    gl_FragColor = vec4(rgb, vColor.a * uTransparencyValue * uTintColor.a);
}
)";

const char* const kTextureVS = R"(#version 120
uniform mat4 uPMatrix;
uniform mat4 uVMatrix;
uniform mat4 uWorldMatrix;
attribute vec4 aPosition;
attribute vec2 aTextureCoordinate;
varying vec2 vTextureCoordinate;
void main() {
    vTextureCoordinate = aTextureCoordinate;
    gl_Position = uPMatrix * uVMatrix * uWorldMatrix * aPosition;
}
)";

const char* const kTextureFS = R"(#version 120
uniform sampler2D uTexture;
uniform vec4 uBlendColor;
uniform vec2 uTextureOffset;
uniform float uTransparencyValue;
uniform vec4 uTintColor;
varying vec2 vTextureCoordinate;
void main() {
    vec2 tc = vTextureCoordinate + uTextureOffset;
    if (tc.x > 1.0) tc.x -= 1.0;
    if (tc.y > 1.0) tc.y -= 1.0;
    vec4 texel = texture2D(uTexture, tc);
    vec3 rgb = (texel.rgb * (1.0 - uBlendColor.a) + uBlendColor.rgb * uBlendColor.a) * uTintColor.rgb;
    gl_FragColor = vec4(rgb, texel.a * uTransparencyValue * uTintColor.a);
}
)";

[[noreturn]] void Halt() {
    std::fflush(stdout);
    std::fflush(stderr);
    // Only an interactive console waits for a key; scripts and tests never hang.
    if (isatty(STDIN_FILENO)) {
        std::getchar();
    }
    std::exit(1);
}

const char* ErrorName(GLenum err) {
    switch (err) {
    case GL_INVALID_ENUM:
        return "invalid enum";
    case GL_INVALID_VALUE:
        return "invalid value";
    case GL_INVALID_OPERATION:
        return "invalid operation";
    case GL_OUT_OF_MEMORY:
        return "out of memory";
    case GL_INVALID_FRAMEBUFFER_OPERATION:
        return "invalid framebuffer operation";
    default:
        return "";
    }
}

GLuint CompileStage(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint BuildProgram(const char* vs, const char* fs) {
    const GLuint program = glCreateProgram();
    const GLuint v = CompileStage(GL_VERTEX_SHADER, vs);
    const GLuint f = CompileStage(GL_FRAGMENT_SHADER, fs);
    if (v)
        glAttachShader(program, v);
    if (f)
        glAttachShader(program, f);
    glLinkProgram(program);
    return program;
}

void DestroyProgram(GLuint program) {
    if (!program)
        return;
    GLuint shaders[4];
    GLsizei count = 0;
    glGetAttachedShaders(program, 4, &count, shaders);
    for (GLsizei i = 0; i < count; ++i) {
        glDetachShader(program, shaders[i]);
        glDeleteShader(shaders[i]);
    }
    glDeleteProgram(program);
    CHECK_GL_ERROR("Shader::Destroy");
}

GLint CurrentProgramUniform(const char* name) {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    if (program == 0)
        return -1;
    return glGetUniformLocation(static_cast<GLuint>(program), name);
}

void ComputeVisibleRect() {
    gQNWinMinX = GFX.camX - static_cast<float>(GFX.width) * 0.5f;
    gQNWinMaxX = GFX.camX + static_cast<float>(GFX.width) * 0.5f;
    gQNWinMinY = GFX.camY - static_cast<float>(GFX.height) * 0.5f;
    gQNWinMaxY = GFX.camY + static_cast<float>(GFX.height) * 0.5f;
}

// Uploads a row-major Matrix4 as a column-major uniform.
void UploadMatrix(GLuint program, const char* name, const Matrix4& m) {
    const GLint loc = glGetUniformLocation(program, name);
    if (loc >= 0)
        glUniformMatrix4fv(loc, 1, GL_TRUE, &m.m[0][0]);
}

void SetProjectionAndViewMatrices(GLuint program) {
    const bool ownView = GFX.viewWidth > 0 && GFX.viewHeight > 0;
    const float sx = ownView ? 1.0f : QNSysGetCursorScaleX();
    const float sy = ownView ? 1.0f : QNSysGetCursorScaleY();
    const float w = static_cast<float>(ownView ? GFX.viewWidth : GFX.width) * sx;
    const float h = static_cast<float>(ownView ? GFX.viewHeight : GFX.height) * sy;
    GFX.projection =
        Matrix4(2.0f / w, 0, 0, 0, 0, 2.0f / h, 0, 0, 0, 0, -0.002002002f, -1.002002f, 0, 0, 0, 1);
    UploadMatrix(program, "uPMatrix", GFX.projection);
    glViewport(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h));
    CHECK_GL_ERROR("SetProjectionAndViewMatrices");
    const float z = GFX.camZoom;
    const Matrix4 lookAt(z, 0, 0, -GFX.camX, 0, z, 0, -GFX.camY, 0, 0, 1, -60.0f, 0, 0, 0, 1);
    const Matrix4 scale(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    GFX.view = scale * lookAt;
    UploadMatrix(program, "uVMatrix", GFX.view);
    CHECK_GL_ERROR("SetProjectionAndViewMatrices");
    ++GFX.cameraUploads;
}

void UploadWorld() {
    const GLint loc = CurrentProgramUniform("uWorldMatrix");
    if (loc >= 0)
        glUniformMatrix4fv(loc, 1, GL_FALSE, GFX.world);
}

void PushStaging(float x, float y, uint32_t c, float u, float v) {
    if (GFX.stagingCount >= kQNGfxStagingVertices) {
        // Writing past the list would corrupt memory: stop with a clear report.
        HALT("the staging vertex list is full (24576 vertices); build the mesh in parts");
    }
    STAGING[GFX.stagingCount++] = {x, y, 0.0f, c, u, v};
}

} // namespace

// ---------------------------------------------------------------------------
// Reports
// ---------------------------------------------------------------------------
void QNGfxCheckErrors(int line, const char* func) {
    bool any = false;
    for (GLenum err = glGetError(); err != GL_NO_ERROR; err = glGetError()) {
        std::printf("CHECK_GL_ERROR:\nLine: %d\nFunc: %s\nFile: %s\n", line, func, kFileName);
        std::printf("Code: 0x%08x\n", static_cast<unsigned>(err));
        std::printf("Mesg: %s\n", ErrorName(err));
        any = true;
    }
    if (any)
        Halt();
}

void QNGfxHalt(int line, const char* func, const char* message) {
    std::printf("HALT:\nLine: %d\nFunc: %s\nFile: %s\n", line, func, kFileName);
    std::printf("Mesg: %s\n", message);
    std::fprintf(stderr, "HALT: %s (%s)\n", message, func);
    Halt();
}

// ---------------------------------------------------------------------------
// Start-up and frame
// ---------------------------------------------------------------------------
int QNGfxInit(int32_t width, int32_t height) {
    GFX.width = width;
    GFX.height = height;
    GFX.viewWidth = GFX.viewHeight = 0; // a new window: the view follows it until told
    GFX.clearAtStart = true;
    std::printf("Graphics: OpenGL\n");
    SDL_Window* window = QNSysGetWindowHandle();
    if (!window)
        return 0;
    GFX.context = SDL_GL_CreateContext(window);
    if (!GFX.context) {
        std::fprintf(stderr, "GRAPHICS: cannot create an OpenGL context: %s\n", SDL_GetError());
        return 0;
    }
    SDL_GL_MakeCurrent(window, GFX.context);
    SDL_GL_SetSwapInterval(0); // the frame-rate controller paces frames
    glewExperimental = GL_TRUE;
    GLenum glewStatus = glewInit();
    // GLEW loads the OpenGL entry points first and the GLX extension list
    // after; when the current context is not known to GLX only the second
    // part fails, and the game needs none of it.
    if (glewStatus == GLEW_ERROR_NO_GLX_DISPLAY)
        glewStatus = GLEW_OK;
    if (glewStatus != GLEW_OK) {
        std::fprintf(stderr, "GRAPHICS: GLEW error %u: %s\n", static_cast<unsigned>(glewStatus),
                     reinterpret_cast<const char*>(glewGetErrorString(glewStatus)));
        HALT("fail to initialize GLEW!!");
    }
    glGetError(); // GLEW may leave an error queued on some drivers
    if (!GLEW_VERSION_2_0)
        HALT("OpenGL 2.0 is not supported!!");

    GFX.projection.Zero();
    GFX.view.Zero();
    GFX.camX = GFX.camY = 0.0f;
    ComputeVisibleRect();
    GFX.programs[1] = BuildProgram(kColorVS, kColorFS);
    GFX.programs[2] = BuildProgram(kTextureVS, kTextureFS);
    for (int i = 1; i < 3; ++i) {
        GFX.positionInput[i] = glGetAttribLocation(GFX.programs[i], "aPosition");
        GFX.extraInput[i] =
            glGetAttribLocation(GFX.programs[i], i == 1 ? "aColor" : "aTextureCoordinate");
    }
    GFX.currentProgram = 0;
    GFX.stagingCount = 0;
    for (int i = 0; i < 16; ++i)
        GFX.world[i] = (i % 5 == 0) ? 1.0f : 0.0f;

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    QNGfxSetRenderMode(QN_RENDER_COLOR);
    QNGfxSetTintColor(1, 1, 1, 1);
    QNGfxSetTransparency(1.0f);
    glClearColor(1, 1, 1, 1);
    CHECK_GL_ERROR("QNGfxInit");
    return 1;
}

void QNGfxStart() {
    if (GFX.clearAtStart)
        glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, GFX.width, GFX.height);
}

void QNGfxSetClearAtStart(bool clear) {
    GFX.clearAtStart = clear;
}

void QNGfxEnd() {
    CHECK_GL_ERROR("QNGfxEnd");
    glUseProgram(0);
    GFX.currentProgram = 0;
    CHECK_GL_ERROR("QNGfxEnd");
    if (!GFX.capturePath.empty()) {
        int32_t w = 0, h = 0;
        QNGfxGetDrawableSize(&w, &h);
        const std::vector<unsigned char> pixels = QNGfxReadPixels(0, 0, w, h);
        if (QNGfxWriteOpaquePNG(GFX.capturePath, pixels.data(), w, h))
            std::printf("GRAPHICS: saved %s\n", GFX.capturePath.c_str());
        else
            std::fprintf(stderr, "GRAPHICS: could not save %s\n", GFX.capturePath.c_str());
        GFX.capturePath.clear();
    }
    glFinish();
    if (SDL_Window* window = QNSysGetWindowHandle())
        SDL_GL_SwapWindow(window);
}

void QNGfxReset() {
    GFX.stagingCount = 0;
}

void QNGfxExit() {
    if (GFX.streamBuffer != 0) {
        glDeleteBuffers(1, &GFX.streamBuffer);
        GFX.streamBuffer = 0;
    }
    for (int i = 1; i < 3; ++i) {
        DestroyProgram(GFX.programs[i]);
        GFX.programs[i] = 0;
        GFX.positionInput[i] = GFX.extraInput[i] = -1;
    }
    GFX.currentProgram = 0;
    if (GFX.context) {
        SDL_GL_DeleteContext(GFX.context);
        GFX.context = nullptr;
    }
}

void QNGfxSetBackgroundColor(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
}
float QNGfxGetWinMinX() {
    return gQNWinMinX;
}
float QNGfxGetWinMaxX() {
    return gQNWinMaxX;
}
float QNGfxGetWinMinY() {
    return gQNWinMinY;
}
float QNGfxGetWinMaxY() {
    return gQNWinMaxY;
}

// ---------------------------------------------------------------------------
// State setters
// ---------------------------------------------------------------------------
void QNGfxSetRenderMode(int mode) {
    if (mode < 0 || mode > 2 || mode == GFX.currentProgram)
        return;
    GFX.currentProgram = mode;
    glUseProgram(GFX.programs[mode]);
    if (mode != 0)
        SetProjectionAndViewMatrices(GFX.programs[mode]);
}

int QNGfxGetRenderMode() {
    return GFX.currentProgram;
}
void QNGfxNoteRenderMode(int mode) {
    GFX.currentProgram = mode;
}
GLuint QNGfxGetBuiltinProgram(int mode) {
    return (mode >= 1 && mode <= 2) ? GFX.programs[mode] : 0;
}
uint32_t QNGfxGetCameraUploadCount() {
    return GFX.cameraUploads;
}

void QNGfxSetBlendMode(int mode) {
    switch (mode) {
    case 0:
        glDisable(GL_BLEND);
        break;
    case 1:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case 2:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    default:
        break;
    }
}

void QNGfxSetPosition(float x, float y) {
    for (int i = 0; i < 16; ++i)
        GFX.world[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    GFX.world[12] = x;
    GFX.world[13] = y;
    UploadWorld();
}

void QNGfxSetTransform(const float* m) {
    // Column-major 4 x 4 from a row-major 3 x 3 affine transform.
    const float world[16] = {m[0], m[3], 0, 0, m[1], m[4], 0, 0, 0, 0, 1, 0, m[2], m[5], 0, 1};
    std::memcpy(GFX.world, world, sizeof world);
    UploadWorld();
}

void QNGfxSetTransform3D(const float* m16) {
    std::memcpy(GFX.world, m16, sizeof GFX.world);
    UploadWorld();
}

const float* QNGfxGetWorldMatrix() {
    return GFX.world;
}

void QNGfxSetTintColor(float r, float g, float b, float a) {
    const GLint loc = CurrentProgramUniform("uTintColor");
    if (loc >= 0)
        glUniform4f(loc, r, g, b, a);
}

void QNGfxSetBlendColor(float r, float g, float b, float a) {
    const GLint loc = CurrentProgramUniform("uBlendColor");
    if (loc >= 0)
        glUniform4f(loc, r, g, b, a);
    CHECK_GL_ERROR("QNGfxSetBlendColor");
}

void QNGfxSetTransparency(float t) {
    const GLint loc = CurrentProgramUniform("uTransparencyValue");
    if (loc >= 0)
        glUniform1f(loc, t);
}

void QNGfxSetCamPosition(float x, float y) {
    GFX.camX = x;
    GFX.camY = y;
    ComputeVisibleRect();
}

void QNGfxGetCamPosition(float* x, float* y) {
    *x = GFX.camX;
    *y = GFX.camY;
}

void QNGfxSetViewSize(int32_t width, int32_t height) {
    GFX.viewWidth = width > 0 && height > 0 ? width : 0;
    GFX.viewHeight = width > 0 && height > 0 ? height : 0;
    // The next program switch uploads the projection for it.
    GFX.currentProgram = 0;
}

void QNGfxSetCamZoom(float zoom) {
    if (!(zoom > 0.0f) || zoom == GFX.camZoom)
        return;
    GFX.camZoom = zoom;
    // The built-in program in use gets the new view now; the other one when
    // it is next made current.
    if (GFX.currentProgram == 0)
        return;
    GLint bound = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &bound);
    if (static_cast<GLuint>(bound) == GFX.programs[GFX.currentProgram])
        SetProjectionAndViewMatrices(GFX.programs[GFX.currentProgram]);
    else
        GFX.currentProgram = 0; // another program is bound: upload when switched back
}

float QNGfxGetCamZoom() {
    return GFX.camZoom;
}

// ---------------------------------------------------------------------------
// Meshes
// ---------------------------------------------------------------------------
void QNGfxMeshStart() {
    GFX.buildingMesh = true;
}

void QNGfxTriAdd(float x0, float y0, uint32_t c0, float u0, float v0, float x1, float y1,
                 uint32_t c1, float u1, float v1, float x2, float y2, uint32_t c2, float u2,
                 float v2) {
    PushStaging(x0, y0, c0, u0, v0);
    PushStaging(x1, y1, c1, u1, v1);
    PushStaging(x2, y2, c2, u2, v2);
}

void QNGfxVertexAdd(float x, float y, uint32_t c, float u, float v) {
    PushStaging(x, y, c, u, v);
}
uint32_t QNGfxStagingCount() {
    return GFX.stagingCount;
}

QNGfxMesh* QNGfxMeshEnd() {
    auto* mesh = new QNGfxMesh;
    mesh->buffers = new GLuint[3];
    mesh->vertexCount = GFX.stagingCount;
    glGenBuffers(3, mesh->buffers);

    const uint32_t n = GFX.stagingCount;
    std::vector<float> positions(n * 3), colors(n * 4), coords(n * 2);
    for (uint32_t i = 0; i < n; ++i) {
        const StagingVertex& v = STAGING[i];
        positions[i * 3 + 0] = v.x;
        positions[i * 3 + 1] = v.y;
        positions[i * 3 + 2] = v.z;
        colors[i * 4 + 0] = static_cast<float>((v.color >> 16) & 0xFF) / 255.0f;
        colors[i * 4 + 1] = static_cast<float>((v.color >> 8) & 0xFF) / 255.0f;
        colors[i * 4 + 2] = static_cast<float>(v.color & 0xFF) / 255.0f;
        colors[i * 4 + 3] = static_cast<float>((v.color >> 24) & 0xFF) / 255.0f;
        coords[i * 2 + 0] = v.u;
        coords[i * 2 + 1] = v.v;
    }
    const std::vector<float>* arrays[3] = {&positions, &colors, &coords};
    for (int b = 0; b < 3; ++b) {
        glBindBuffer(GL_ARRAY_BUFFER, mesh->buffers[b]);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(arrays[b]->size() * sizeof(float)),
                     arrays[b]->data(), GL_STATIC_DRAW);
        glFinish();
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    CHECK_GL_ERROR("QNGfxMeshEnd");
    GFX.stagingCount = 0;
    GFX.buildingMesh = false;
    return mesh;
}

void QNGfxMeshDraw(const QNGfxMesh* mesh, uint32_t mode) {
    static const GLenum kModes[4] = {GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_TRIANGLES};
    if (mode > 3) {
        std::printf("Mesh Draw Mode %u is invalid!\n", mode);
        return;
    }
    if (!mesh || GFX.currentProgram == 0)
        return;
    const GLint aPosition = GFX.positionInput[GFX.currentProgram];
    const GLint aExtra = GFX.extraInput[GFX.currentProgram];
    const GLuint extraBuffer = GFX.currentProgram == 1 ? mesh->buffers[1] : mesh->buffers[2];
    const GLint extraSize = GFX.currentProgram == 1 ? 4 : 2;
    if (aPosition >= 0) {
        glBindBuffer(GL_ARRAY_BUFFER, mesh->buffers[0]);
        glEnableVertexAttribArray(static_cast<GLuint>(aPosition));
        glVertexAttribPointer(static_cast<GLuint>(aPosition), 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    if (aExtra >= 0) {
        glBindBuffer(GL_ARRAY_BUFFER, extraBuffer);
        glEnableVertexAttribArray(static_cast<GLuint>(aExtra));
        glVertexAttribPointer(static_cast<GLuint>(aExtra), extraSize, GL_FLOAT, GL_FALSE, 0,
                              nullptr);
    }
    glDrawArrays(kModes[mode], 0, static_cast<GLsizei>(mesh->vertexCount));
    if (aPosition >= 0)
        glDisableVertexAttribArray(static_cast<GLuint>(aPosition));
    if (aExtra >= 0)
        glDisableVertexAttribArray(static_cast<GLuint>(aExtra));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void QNGfxMeshFree(QNGfxMesh* mesh) {
    if (!mesh)
        return;
    glDeleteBuffers(3, mesh->buffers);
    delete[] mesh->buffers;
    delete mesh;
}

void QNGfxDrawColoredTriangles(const float* positions, const float* colors, uint32_t vertexCount) {
    if (vertexCount == 0 || GFX.currentProgram != QN_RENDER_COLOR)
        return;
    const GLint aPosition = GFX.positionInput[QN_RENDER_COLOR];
    const GLint aColor = GFX.extraInput[QN_RENDER_COLOR];
    if (aPosition < 0 || aColor < 0)
        return;
    if (GFX.streamBuffer == 0)
        glGenBuffers(1, &GFX.streamBuffer);
    const GLsizeiptr positionBytes = static_cast<GLsizeiptr>(vertexCount * 2 * sizeof(float));
    const GLsizeiptr colorBytes = static_cast<GLsizeiptr>(vertexCount * 4 * sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, GFX.streamBuffer);
    // A fresh store each draw: the driver need not wait for the last draw
    // from the old one.
    glBufferData(GL_ARRAY_BUFFER, positionBytes + colorBytes, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, positionBytes, positions);
    glBufferSubData(GL_ARRAY_BUFFER, positionBytes, colorBytes, colors);
    glEnableVertexAttribArray(static_cast<GLuint>(aPosition));
    glVertexAttribPointer(static_cast<GLuint>(aPosition), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(static_cast<GLuint>(aColor));
    glVertexAttribPointer(static_cast<GLuint>(aColor), 4, GL_FLOAT, GL_FALSE, 0,
                          reinterpret_cast<const void*>(positionBytes));
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertexCount));
    glDisableVertexAttribArray(static_cast<GLuint>(aPosition));
    glDisableVertexAttribArray(static_cast<GLuint>(aColor));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

std::vector<float> QNGfxMeshReadColors(const QNGfxMesh* mesh) {
    std::vector<float> colors(mesh->vertexCount * 4);
    glBindBuffer(GL_ARRAY_BUFFER, mesh->buffers[1]);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(colors.size() * sizeof(float)),
                       colors.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return colors;
}

// ---------------------------------------------------------------------------
// Textures
// ---------------------------------------------------------------------------
namespace {
QNGfxTexture* MakeTexture(const unsigned char* rgba, int32_t width, int32_t height) {
    auto* texture = new QNGfxTexture;
    std::memset(texture->name, 0, sizeof texture->name);
    texture->id = new GLuint(0);
    texture->width = width;
    texture->height = height;
    glGenTextures(1, texture->id);
    glBindTexture(GL_TEXTURE_2D, *texture->id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}
} // namespace

bool QNGfxTextureDecode(const std::string& path, std::vector<uint8_t>& rgba, int& width,
                        int& height, std::string& reason) {
    std::vector<uint8_t> bytes;
    if (!QNReadFileBytes(path, bytes)) {
        reason = "cannot open the file";
        width = height = 0;
        return false;
    }
    return QNImageDecode(bytes.data(), bytes.size(), rgba, width, height, reason);
}

QNGfxTexture* QNGfxTextureLoad(const char* fileName) {
    if (!fileName || std::strlen(fileName) > 255)
        return nullptr;
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
    std::string reason;
    if (!QNGfxTextureDecode(fileName, rgba, w, h, reason))
        std::fprintf(stderr, "TEXTURE: cannot read %s (%s)\n", fileName, reason.c_str());
    QNGfxTexture* texture = MakeTexture(rgba.empty() ? nullptr : rgba.data(), w, h);
    std::strncpy(texture->name, fileName, 255);
    return texture;
}

QNGfxTexture* QNGfxTextureLoadFromMemory(const unsigned char* rgba, int32_t width, int32_t height) {
    return MakeTexture(rgba, width, height);
}

void QNGfxTextureSet(const QNGfxTexture* texture, float offsetU, float offsetV) {
    if (!texture) {
        glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, *texture->id);
    const GLint sampler = CurrentProgramUniform("uTexture");
    if (sampler >= 0)
        glUniform1i(sampler, 0);
    CHECK_GL_ERROR("QNGfxTextureSet");
    while (offsetU > 1.0f)
        offsetU -= 1.0f;
    while (offsetV > 1.0f)
        offsetV -= 1.0f;
    GFX.textureOffsetU = offsetU;
    GFX.textureOffsetV = offsetV;
    const GLint offset = CurrentProgramUniform("uTextureOffset");
    if (offset >= 0)
        glUniform2f(offset, offsetU, offsetV);
    CHECK_GL_ERROR("QNGfxTextureSet");
}

void QNGfxGetTextureOffset(float* u, float* v) {
    *u = GFX.textureOffsetU;
    *v = GFX.textureOffsetV;
}

void QNGfxSetTextureMode(int mode) {
    if (mode != 0 && mode != 1) {
        std::printf("Unsupported texture mode!\n");
        return;
    }
    const GLint filter = mode == 0 ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

void QNGfxTextureUnload(QNGfxTexture* texture) {
    if (!texture)
        return;
    glDeleteTextures(1, texture->id);
    delete texture->id;
    delete texture;
}

void QNGfxSaveTextureToFile(const QNGfxTexture* texture, const char* fileName) {
    if (texture && fileName)
        std::printf(
            "QNGfxSaveTextureToFile not supported in the OpenGL version of the Quarn Engine!\n");
}

// ---------------------------------------------------------------------------
// Debug drawing
// ---------------------------------------------------------------------------
void QNGfxLine(float x0, float y0, float z0, float r0, float g0, float b0, float a0, float x1,
               float y1, float z1, float r1, float g1, float b1, float a1) {
    if (GFX.currentProgram != 1)
        return;
    const GLint aPosition = GFX.positionInput[1];
    const GLint aColor = GFX.extraInput[1];
    if (aPosition < 0 || aColor < 0)
        return;
    const float positions[6] = {x0, y0, z0, x1, y1, z1};
    const float colors[8] = {r0, g0, b0, a0, r1, g1, b1, a1};
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableVertexAttribArray(static_cast<GLuint>(aPosition));
    glEnableVertexAttribArray(static_cast<GLuint>(aColor));
    glVertexAttribPointer(static_cast<GLuint>(aPosition), 3, GL_FLOAT, GL_FALSE, 0, positions);
    glVertexAttribPointer(static_cast<GLuint>(aColor), 4, GL_FLOAT, GL_FALSE, 0, colors);
    glDrawArrays(GL_LINES, 0, 2);
    glDisableVertexAttribArray(static_cast<GLuint>(aPosition));
    glDisableVertexAttribArray(static_cast<GLuint>(aColor));
}

uint32_t QNGfxColInterp(uint32_t c0, uint32_t c1, float t) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float a = static_cast<float>((c0 >> shift) & 0xFF);
        const float b = static_cast<float>((c1 >> shift) & 0xFF);
        const float v = a + (b - a) * t;
        const uint32_t byte = static_cast<uint32_t>(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v));
        out |= byte << shift;
    }
    return out;
}

void QNGfxPoint(float x, float y, uint32_t c) {
    PushStaging(x, y, c, 0, 0);
}

void QNGfxTri(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t c) {
    QNGfxTriAdd(x0, y0, c, 0, 0, x1, y1, c, 0, 0, x2, y2, c, 0, 0);
}

void QNGfxQuad(float x, float y, float w, float h, uint32_t c) {
    QNGfxTri(x, y, x + w, y, x, y + h, c);
    QNGfxTri(x + w, y, x + w, y + h, x, y + h, c);
}

void QNGfxBox(float x, float y, float w, float h, uint32_t c) {
    const float xs[5] = {x, x + w, x + w, x, x};
    const float ys[5] = {y, y, y + h, y + h, y};
    for (int i = 0; i < 4; ++i) {
        PushStaging(xs[i], ys[i], c, 0, 0);
        PushStaging(xs[i + 1], ys[i + 1], c, 0, 0);
    }
}

// ---------------------------------------------------------------------------
// Frame capture
// ---------------------------------------------------------------------------
void QNGfxGetDrawableSize(int32_t* width, int32_t* height) {
    int w = GFX.width, h = GFX.height;
    if (SDL_Window* window = QNSysGetWindowHandle())
        SDL_GL_GetDrawableSize(window, &w, &h);
    *width = w;
    *height = h;
}

std::vector<unsigned char> QNGfxReadPixels(int32_t x, int32_t y, int32_t width, int32_t height) {
    std::vector<unsigned char> bottomUp(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<unsigned char> topDown(bottomUp.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int32_t r = 0; r < height; ++r)
        std::memcpy(&topDown[r * row], &bottomUp[(height - 1 - r) * row], row);
    return topDown;
}

void QNGfxRequestCapture(const std::string& pngPath) {
    GFX.capturePath = pngPath;
}

bool QNGfxWritePNG(const std::string& path, const unsigned char* rgba, int32_t width,
                   int32_t height) {
    if (width <= 0 || height <= 0)
        return false;
    return stbi_write_png(path.c_str(), width, height, 4, rgba, width * 4) != 0;
}

bool QNGfxWriteOpaquePNG(const std::string& path, const unsigned char* rgba, int32_t width,
                         int32_t height) {
    if (width <= 0 || height <= 0)
        return false;
    // The window shows its picture opaque whatever the alpha the drawing
    // left behind; the file keeps only the colours, as it was seen.
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<unsigned char> rgb(count * 3);
    for (size_t i = 0; i < count; ++i) {
        rgb[i * 3] = rgba[i * 4];
        rgb[i * 3 + 1] = rgba[i * 4 + 1];
        rgb[i * 3 + 2] = rgba[i * 4 + 2];
    }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

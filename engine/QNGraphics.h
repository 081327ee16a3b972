// QNGraphics.h -- the engine's graphics core: the OpenGL context on the game
// window, the two built-in programs (colour and texture), the camera, render
// state setters, meshes built from staged triangles, textures decoded from
// image files, and the CHECK_GL_ERROR / HALT reports.
#pragma once

#include <GL/glew.h>
#include <cstdint>
#include <string>
#include <vector>

// A static mesh: three buffers (positions xyz, colours rgba, coordinates uv).
struct QNGfxMesh {
    GLuint* buffers;      // three buffer names
    uint32_t vertexCount; // vertices to draw
};

// A texture and the file it came from.
struct QNGfxTexture {
    GLuint* id;     // one texture name
    char name[256]; // file name, zero-filled
    int32_t width;  // pixels, 0 when the file could not be read
    int32_t height; // pixels
};

// The world rectangle the window shows: camera -/+ half the window size.
extern float gQNWinMinX, gQNWinMaxX, gQNWinMinY, gQNWinMaxY;

// Capacity of the staging vertex list (8,192 triangles).
constexpr uint32_t kQNGfxStagingVertices = 24576;

// ---------------------------------------------------------------------------
// Reports
// ---------------------------------------------------------------------------
// Prints every queued OpenGL error in the engine's report format and halts
// when there was one.
void QNGfxCheckErrors(int line, const char* func);
// Prints a HALT report and ends the process with status 1.
[[noreturn]] void QNGfxHalt(int line, const char* func, const char* message);
#define CHECK_GL_ERROR(func) QNGfxCheckErrors(__LINE__, func)
#define HALT(msg) QNGfxHalt(__LINE__, __func__, msg)

// ---------------------------------------------------------------------------
// Start-up and frame
// ---------------------------------------------------------------------------
int QNGfxInit(int32_t width, int32_t height);
// Clears the window (unless told not to) and sets the viewport.
void QNGfxStart();
// Whether QNGfxStart clears the window: on by default; off for a game whose
// every frame covers the whole window anyway.
void QNGfxSetClearAtStart(bool clear);
// Stops using any program and presents the frame.
void QNGfxEnd();
void QNGfxReset();
void QNGfxExit();
void QNGfxSetBackgroundColor(float r, float g, float b);
float QNGfxGetWinMinX();
float QNGfxGetWinMaxX();
float QNGfxGetWinMinY();
float QNGfxGetWinMaxY();

// ---------------------------------------------------------------------------
// State setters
// ---------------------------------------------------------------------------
// The built-in programs.
enum QNGfxRenderMode : int {
    QN_RENDER_NONE = 0,    // no program
    QN_RENDER_COLOR = 1,   // vertex colours only
    QN_RENDER_TEXTURE = 2, // textured, tinted
};
void QNGfxSetRenderMode(int mode);
// Which built-in program the module last made current (0, 1 or 2).
int QNGfxGetRenderMode();
// Lets game code that made a built-in program current itself say so.
void QNGfxNoteRenderMode(int mode);
GLuint QNGfxGetBuiltinProgram(int mode);
// Number of camera uploads so far (each program switch makes one).
uint32_t QNGfxGetCameraUploadCount();
// 0 off, 1 transparency blending, 2 additive.
void QNGfxSetBlendMode(int mode);
void QNGfxSetPosition(float x, float y);
// Nine floats, row-major 2-D affine transform, translation in column 3.
void QNGfxSetTransform(const float* m);
void QNGfxSetTransform3D(const float* m16);
void QNGfxSetTintColor(float r, float g, float b, float a);
void QNGfxSetBlendColor(float r, float g, float b, float a);
void QNGfxSetTransparency(float t);
void QNGfxSetCamPosition(float x, float y);
void QNGfxGetCamPosition(float* x, float* y);
// The device space the built-in programs draw in, pixels: the projection
// spans it and the viewport covers it. 0 x 0 (the default) follows the
// window (its requested size times the full-screen scales).
void QNGfxSetViewSize(int32_t width, int32_t height);
// Scales everything drawn by the built-in programs about the origin before
// the camera applies (1 by default): interface layers drawn in fixed units
// grow or shrink with the window. Takes effect at once.
void QNGfxSetCamZoom(float zoom);
float QNGfxGetCamZoom();
// The last uploaded world matrix, column-major.
const float* QNGfxGetWorldMatrix();

// ---------------------------------------------------------------------------
// Meshes
// ---------------------------------------------------------------------------
void QNGfxMeshStart();
// Five values per vertex: x, y, packed colour (0xAARRGGBB), u, v.
void QNGfxTriAdd(float x0, float y0, uint32_t c0, float u0, float v0, float x1, float y1,
                 uint32_t c1, float u1, float v1, float x2, float y2, uint32_t c2, float u2,
                 float v2);
void QNGfxVertexAdd(float x, float y, uint32_t c, float u, float v);
uint32_t QNGfxStagingCount();
QNGfxMesh* QNGfxMeshEnd();
// 0 points, 1 lines, 2 line strip, 3 triangles.
void QNGfxMeshDraw(const QNGfxMesh* mesh, uint32_t mode);
void QNGfxMeshFree(QNGfxMesh* mesh);
// Draws triangles straight from memory with the colour program (nothing
// while another program is current): two position floats and four colour
// floats (red, green, blue, opacity) per vertex, under the world matrix, tint
// and transparency as set. For geometry that changes every frame (particles):
// one draw for many quads, through one stream buffer reused from draw to draw.
void QNGfxDrawColoredTriangles(const float* positions, const float* colors, uint32_t vertexCount);
// Reads a mesh's colour buffer back (4 floats per vertex), for checks.
std::vector<float> QNGfxMeshReadColors(const QNGfxMesh* mesh);

// ---------------------------------------------------------------------------
// Textures
// ---------------------------------------------------------------------------
// The decode half of QNGfxTextureLoad (no OpenGL): the file's pixels as
// RGBA rows top first, checked as QNImageDecode checks them.
bool QNGfxTextureDecode(const std::string& path, std::vector<uint8_t>& rgba, int& width,
                        int& height, std::string& reason);
QNGfxTexture* QNGfxTextureLoad(const char* fileName);
QNGfxTexture* QNGfxTextureLoadFromMemory(const unsigned char* rgba, int32_t width, int32_t height);
void QNGfxTextureSet(const QNGfxTexture* texture, float offsetU, float offsetV);
// The offset last given to uTextureOffset.
void QNGfxGetTextureOffset(float* u, float* v);
// 0 nearest, 1 linear, for the bound texture.
void QNGfxSetTextureMode(int mode);
void QNGfxTextureUnload(QNGfxTexture* texture);
void QNGfxSaveTextureToFile(const QNGfxTexture* texture, const char* fileName);

// ---------------------------------------------------------------------------
// Debug drawing
// ---------------------------------------------------------------------------
void QNGfxLine(float x0, float y0, float z0, float r0, float g0, float b0, float a0, float x1,
               float y1, float z1, float r1, float g1, float b1, float a1);
uint32_t QNGfxColInterp(uint32_t c0, uint32_t c1, float t);
void QNGfxPoint(float x, float y, uint32_t c);
void QNGfxTri(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t c);
void QNGfxQuad(float x, float y, float w, float h, uint32_t c);
void QNGfxBox(float x, float y, float w, float h, uint32_t c);

// ---------------------------------------------------------------------------
// Frame capture
// ---------------------------------------------------------------------------
// Size of the picture being drawn (the window's drawable), pixels.
void QNGfxGetDrawableSize(int32_t* width, int32_t* height);
// Reads RGBA pixels of the back buffer, rows top first.
std::vector<unsigned char> QNGfxReadPixels(int32_t x, int32_t y, int32_t width, int32_t height);
// Saves the frame about to be presented as an opaque PNG at the next
// QNGfxEnd.
void QNGfxRequestCapture(const std::string& pngPath);
// Writes RGBA pixels (rows top first) as a PNG; false on failure.
bool QNGfxWritePNG(const std::string& path, const unsigned char* rgba, int32_t width,
                   int32_t height);
// Writes the colours of RGBA pixels (rows top first) as an opaque RGB PNG,
// as a screenshot shows them; false on failure.
bool QNGfxWriteOpaquePNG(const std::string& path, const unsigned char* rgba, int32_t width,
                         int32_t height);

// TextureUpload.h -- one nearest-filtered texture made from pixels in memory,
// for the images the renderer decodes itself (the noise bitmap, the glyph
// atlas).
#pragma once

#include <GL/glew.h>
#include <cstdint>

// Uploads width x height pixels of `format` whose rows are padded to
// `rowAlignment` bytes, leaving the unpack alignment as it was. wrap:
// GL_REPEAT or GL_CLAMP_TO_EDGE on both axes. Returns the texture name.
GLuint CreateNearestTexture(GLint internalFormat, int32_t width, int32_t height, GLenum format,
                            const void* pixels, GLint rowAlignment, GLint wrap);

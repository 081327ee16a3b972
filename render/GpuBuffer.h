// GpuBuffer.h -- thin owners of OpenGL buffer names: an array buffer of
// vertices and an element array buffer of 16-bit indices.
#pragma once

#include <GL/glew.h>
#include <cstdint>
#include <vector>

namespace Graphics {

// An array buffer; the owner uploads the vertices.
class VertexBufferObject {
public:
    // components: floats per vertex (4 for text: x, y, u, v; 2 for the
    // full-screen quad).
    explicit VertexBufferObject(int32_t components);
    ~VertexBufferObject();
    VertexBufferObject(const VertexBufferObject&) = delete;
    VertexBufferObject& operator=(const VertexBufferObject&) = delete;

    // One static-draw upload of the whole array.
    void Upload(const float* data, size_t floatCount);

    uint32_t id = 0;        // buffer name, 0 for none
    int32_t components = 0; // size argument of the attribute pointer
};

// An element array buffer; `count` is the count of the indexed draw.
class IndexBufferObject {
public:
    IndexBufferObject();
    ~IndexBufferObject();
    IndexBufferObject(const IndexBufferObject&) = delete;
    IndexBufferObject& operator=(const IndexBufferObject&) = delete;

    // One dynamic-draw upload; sets `count`.
    void Upload(const std::vector<uint16_t>& indices);

    uint32_t id = 0;    // buffer name, 0 for none
    uint32_t count = 0; // indices last uploaded
};

} // namespace Graphics

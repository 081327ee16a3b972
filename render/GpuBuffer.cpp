// GpuBuffer -- vertex and index buffer owners.
#include "render/GpuBuffer.h"

namespace Graphics {

VertexBufferObject::VertexBufferObject(int32_t componentCount) : components(componentCount) {
    glGenBuffers(1, &id);
}

VertexBufferObject::~VertexBufferObject() {
    if (id != 0)
        glDeleteBuffers(1, &id);
}

void VertexBufferObject::Upload(const float* data, size_t floatCount) {
    glBindBuffer(GL_ARRAY_BUFFER, id);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(floatCount * sizeof(float)), data,
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

IndexBufferObject::IndexBufferObject() {
    glGenBuffers(1, &id);
}

IndexBufferObject::~IndexBufferObject() {
    if (id != 0)
        glDeleteBuffers(1, &id);
}

void IndexBufferObject::Upload(const std::vector<uint16_t>& indices) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, id);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 2),
                 indices.data(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    count = static_cast<uint32_t>(indices.size());
}

} // namespace Graphics

// Shader.h -- one compiled GLSL stage (Graphics::Shader) and one linked
// program with its attribute and uniform locations (ShaderProgram).
//
// Locations are looked up once, when the program is built, and kept in the
// order their names were given: a pass addresses uniform k by its index.
#pragma once

#include <GL/glew.h>
#include <cstdint>
#include <string>
#include <vector>

namespace Graphics {

// One shader stage, compiled from a single source string.
class Shader {
public:
    // stageType: GL_VERTEX_SHADER or GL_FRAGMENT_SHADER.
    Shader(const char* source, GLenum stageType);
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    uint32_t id = 0;       // OpenGL shader name; 0 after a failed compile
    bool compiled = false; // true only when the compile status was non-zero
    std::string log;       // the compiler's report when the compile failed
};

} // namespace Graphics

// A vertex and a fragment stage linked into one program.
class ShaderProgram {
public:
    // Throws when a stage does not compile (the message carries the
    // compiler's log), when linking fails ("Shader failed to link!") or when
    // validation fails ("Shader failed validation").
    ShaderProgram(const char* vertexSource, const char* fragmentSource,
                  const std::vector<std::string>& attributeNames,
                  const std::vector<std::string>& uniformNames);
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Location of the attribute / uniform named at `index` at build time.
    GLint Attribute(size_t index) const { return attributeLocations[index]; }
    GLint Uniform(size_t index) const { return uniformLocations[index]; }

    Graphics::Shader vertex;
    Graphics::Shader fragment;
    uint32_t program = 0;                    // OpenGL program name
    std::vector<int32_t> attributeLocations; // -1 for a name the linker dropped
    std::vector<int32_t> uniformLocations;   // -1 for a name the linker dropped
    bool linked = false;                     // link and validation both succeeded
};

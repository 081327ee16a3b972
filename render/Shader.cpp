// Shader -- GLSL stages and linked programs.
#include "render/Shader.h"

#include <stdexcept>

namespace {

// The info log of a shader or program object, trimmed of trailing blanks.
std::string ReadLog(GLuint object, bool isProgram) {
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    if (isProgram)
        glGetProgramInfoLog(object, length, &written, text.data());
    else
        glGetShaderInfoLog(object, length, &written, text.data());
    text.resize(static_cast<size_t>(written));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    return text;
}

} // namespace

namespace Graphics {

Shader::Shader(const char* source, GLenum stageType) {
    id = glCreateShader(stageType);
    glShaderSource(id, 1, &source, nullptr);
    glCompileShader(id);
    GLint status = 0;
    glGetShaderiv(id, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        log = ReadLog(id, false);
        glDeleteShader(id);
        id = 0;
        return;
    }
    compiled = true;
}

Shader::~Shader() {
    if (compiled)
        glDeleteShader(id);
}

} // namespace Graphics

ShaderProgram::ShaderProgram(const char* vertexSource, const char* fragmentSource,
                             const std::vector<std::string>& attributeNames,
                             const std::vector<std::string>& uniformNames)
    : vertex(vertexSource, GL_VERTEX_SHADER), fragment(fragmentSource, GL_FRAGMENT_SHADER) {
    program = glCreateProgram();

    // A program built from a stage that did not compile would draw nothing
    // (or garbage) in every pass: stop the scene's start-up and say why.
    if (!vertex.compiled || !fragment.compiled) {
        glDeleteProgram(program);
        program = 0;
        const Graphics::Shader& failed = vertex.compiled ? fragment : vertex;
        throw std::runtime_error(std::string("Shader failed to compile (") +
                                 (vertex.compiled ? "fragment" : "vertex") +
                                 " stage): " + failed.log);
    }

    glAttachShader(program, vertex.id);
    glAttachShader(program, fragment.id);
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == 0) {
        // The object never finishes construction, so nothing else could
        // delete the handle later.
        glDeleteProgram(program);
        program = 0;
        throw std::runtime_error("Shader failed to link!");
    }
    glValidateProgram(program);
    glGetProgramiv(program, GL_VALIDATE_STATUS, &status);
    if (status == 0) {
        glDeleteProgram(program);
        program = 0;
        throw std::runtime_error("Shader failed validation");
    }
    linked = true;

    attributeLocations.reserve(attributeNames.size());
    for (const std::string& name : attributeNames)
        attributeLocations.push_back(glGetAttribLocation(program, name.c_str()));
    uniformLocations.reserve(uniformNames.size());
    for (const std::string& name : uniformNames)
        uniformLocations.push_back(glGetUniformLocation(program, name.c_str()));
}

ShaderProgram::~ShaderProgram() {
    // The program goes first; the stages follow as members (fragment, then
    // vertex).
    if (linked)
        glDeleteProgram(program);
}

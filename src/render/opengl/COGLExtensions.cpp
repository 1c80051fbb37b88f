#include "render/opengl/COGLExtensions.h"

#include <QOpenGLContext>

#include <algorithm>
#include <sstream>

namespace kestrel {
namespace {

constexpr int kMaxStages = 8;

template <typename Function>
void Fetch(Function& slot, QOpenGLContext& context, const char* name, bool listed)
{
    slot = listed ? reinterpret_cast<Function>(context.getProcAddress(name)) : nullptr;
}

} // namespace

std::string ReadExtensionString(const std::vector<std::string>& hidden)
{
    const auto* raw = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    std::istringstream names(raw ? raw : "");
    std::string kept;
    for (std::string name; names >> name;) {
        const auto hides = [&name](const std::string& part) { return name.find(part) != std::string::npos; };
        if (std::none_of(hidden.begin(), hidden.end(), hides))
            kept += name + ' ';
    }
    return kept;
}

COGLExtensions DetectExtensions(QOpenGLContext& context, std::string_view extensions)
{
    auto listed = [extensions](std::string_view name) { return extensions.find(name) != std::string_view::npos; };
    COGLExtensions found;
    found.multitexture = listed("GL_ARB_multitexture");
    found.rangedElements = listed("GL_EXT_draw_range_elements");
    found.fragmentPrograms = listed("GL_ARB_fragment_program");
    found.vertexPrograms = listed("GL_ARB_vertex_program");
    found.anyProgram = found.fragmentPrograms || found.vertexPrograms;
    found.bgra = listed("GL_EXT_bgra");
    found.secondaryColour = listed("GL_EXT_secondary_color");
    found.vertexArrayBgra = listed("GL_EXT_vertex_array_bgra") || listed("GL_ARB_vertex_array_bgra");

    if (found.multitexture) {
        GLint units = 1;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
        found.textureUnits = std::clamp(static_cast<int>(units), 1, kMaxStages);
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    found.maxTextureSize = std::max(64, static_cast<int>(maxSize));

    const bool programs = found.anyProgram;
    Fetch(found.genPrograms, context, "glGenProgramsARB", programs);
    Fetch(found.bindProgram, context, "glBindProgramARB", programs);
    Fetch(found.programString, context, "glProgramStringARB", programs);
    Fetch(found.deletePrograms, context, "glDeleteProgramsARB", programs);
    Fetch(found.programEnvParameter4fv, context, "glProgramEnvParameter4fvARB", programs);
    Fetch(found.programLocalParameter4fv, context, "glProgramLocalParameter4fvARB", programs);
    const bool buffers = listed("GL_ARB_vertex_buffer_object");
    Fetch(found.genBuffers, context, "glGenBuffersARB", buffers);
    Fetch(found.bindBuffer, context, "glBindBufferARB", buffers);
    Fetch(found.bufferData, context, "glBufferDataARB", buffers);
    Fetch(found.bufferSubData, context, "glBufferSubDataARB", buffers);
    Fetch(found.deleteBuffers, context, "glDeleteBuffersARB", buffers);
    Fetch(found.activeTexture, context, "glActiveTextureARB", found.multitexture);
    Fetch(found.clientActiveTexture, context, "glClientActiveTextureARB", found.multitexture);
    Fetch(found.secondaryColorPointer, context, "glSecondaryColorPointerEXT", found.secondaryColour);
    Fetch(found.drawRangeElements, context, "glDrawRangeElementsEXT", found.rangedElements);

    // A program extension without its calls is no use to anyone.
    if (!found.genPrograms || !found.programString) {
        found.vertexPrograms = found.fragmentPrograms = found.anyProgram = false;
    }
    if (!found.activeTexture || !found.clientActiveTexture) {
        found.multitexture = false;
        found.textureUnits = 1;
    }
    found.secondaryColour = found.secondaryColour && found.secondaryColorPointer;
    found.rangedElements = found.rangedElements && found.drawRangeElements;
    return found;
}

} // namespace kestrel

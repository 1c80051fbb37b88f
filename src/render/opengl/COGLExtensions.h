#pragma once

#include <QtGui/qopengl.h>

#include <string>
#include <string_view>
#include <vector>

class QOpenGLContext;

namespace kestrel {

/// What the driver offers beyond OpenGL 1.1: the extension flags the device decides by and the
/// entry points it calls. An entry point counts as found only when its extension is listed too,
/// because GLX hands out a pointer for any name at all.
struct COGLExtensions
{
    bool multitexture = false;
    bool bgra = false;
    bool secondaryColour = false;
    bool rangedElements = false;
    bool vertexPrograms = false;
    bool fragmentPrograms = false;
    bool anyProgram = false;
    /// Colour arrays in blue-green-red-alpha byte order, as the interface hands colours over.
    bool vertexArrayBgra = false;
    int textureUnits = 1;
    int maxTextureSize = 1024;

    PFNGLGENPROGRAMSARBPROC genPrograms = nullptr;
    PFNGLBINDPROGRAMARBPROC bindProgram = nullptr;
    PFNGLPROGRAMSTRINGARBPROC programString = nullptr;
    PFNGLDELETEPROGRAMSARBPROC deletePrograms = nullptr;
    PFNGLPROGRAMENVPARAMETER4FVARBPROC programEnvParameter4fv = nullptr;
    PFNGLPROGRAMLOCALPARAMETER4FVARBPROC programLocalParameter4fv = nullptr;
    PFNGLGENBUFFERSARBPROC genBuffers = nullptr;
    PFNGLBINDBUFFERARBPROC bindBuffer = nullptr;
    PFNGLBUFFERDATAARBPROC bufferData = nullptr;
    PFNGLBUFFERSUBDATAARBPROC bufferSubData = nullptr;
    PFNGLDELETEBUFFERSARBPROC deleteBuffers = nullptr;
    PFNGLACTIVETEXTUREARBPROC activeTexture = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC clientActiveTexture = nullptr;
    PFNGLSECONDARYCOLORPOINTEREXTPROC secondaryColorPointer = nullptr;
    PFNGLDRAWRANGEELEMENTSEXTPROC drawRangeElements = nullptr;

    /// Buffer objects are there when their whole set of entry points is.
    bool HasBufferObjects() const
    {
        return genBuffers && bindBuffer && bufferData && bufferSubData && deleteBuffers;
    }
};

/// The extension string of the current context without the names that contain one of `hidden`
/// (lets tests and users see how the device behaves on a poorer driver; names are searched as
/// substrings, so GL_ARB_fragment_program_shadow must go with GL_ARB_fragment_program).
std::string ReadExtensionString(const std::vector<std::string>& hidden);

/// Fills the flags and entry points from the current context and its extension string.
COGLExtensions DetectExtensions(QOpenGLContext& context, std::string_view extensions);

} // namespace kestrel

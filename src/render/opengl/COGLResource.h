#pragma once

namespace kestrel {

class COGLDevice;

/// What every OpenGL resource shares: the device that made it and the duty to give its OpenGL
/// objects back while that device's context exists. If the device is destroyed first it
/// releases the objects itself and detaches the resource, which then fails every operation.
class COGLResource
{
public:
    explicit COGLResource(COGLDevice& device);
    virtual ~COGLResource() = default;
    COGLResource(const COGLResource&) = delete;
    COGLResource& operator=(const COGLResource&) = delete;

    /// Deletes the OpenGL objects; the device calls it with its context current.
    virtual void ReleaseGL() = 0;
    void Detach() { m_device = nullptr; }
    bool IsAttached() const { return m_device != nullptr; }

protected:
    /// The first thing every concrete resource's destructor does.
    void ReleaseFromDevice();

    COGLDevice* m_device;
};

} // namespace kestrel

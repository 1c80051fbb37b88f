#pragma once

#include "render/C3DWTexture.h"
#include "render/C3DWTexture3D.h"

#include <d3d9.h>

#include <memory>

namespace kestrel {

class C3DWD3DDevice;

/// The Direct3D format a `TextureFormat` asks for.
D3DFORMAT RequestedD3DFormat(TextureFormat format);
/// Whether source pixels must be converted before they go into a texture created as `created`.
/// A created X8R8G8B8 takes blue-green-red-alpha bytes as they are; red-green-blue bytes are
/// reordered whatever was created, since Direct3D has no format that reads them so.
bool NeedsConversion(D3DFORMAT created, TextureFormat source);

/// A mip-mapped 2D texture whose lower levels Direct3D generates. The first level may be larger
/// than asked for (some drivers round up to powers of two); uploads are scaled to it.
class C3DWD3DTexture : public C3DWTexture
{
public:
    /// Null when Direct3D cannot create the texture.
    static std::unique_ptr<C3DWD3DTexture> Create(C3DWD3DDevice& device, int width, int height, TextureFormat format);
    ~C3DWD3DTexture() override;

    bool SetData(const void* pixels, int x, int y, int width, int height, int pitch) override;
    bool SetSourceFormat(int width, int height, int pitch, TextureFormat format) override;
    bool GetDesc(int* width, int* height, int* pitch, TextureFormat* format) const override;
    bool GetSourceDesc(int* width, int* height, int* pitch, TextureFormat* format) const override;

    IDirect3DTexture9* Direct3DTexture() const { return m_texture; }

private:
    C3DWD3DTexture(IDirect3DTexture9* texture, TextureFormat format);

    IDirect3DTexture9* m_texture;
    TextureFormat m_format;
    D3DFORMAT m_created = D3DFMT_UNKNOWN;
    int m_levelWidth = 0, m_levelHeight = 0, m_levelPitch = 0;
    int m_sourceWidth = 0, m_sourceHeight = 0, m_sourcePitch = 0;
    TextureFormat m_sourceFormat = TextureFormat::B8G8R8A8;
    bool m_convert = false;
};

/// A one-level volume texture.
class C3DWD3DTexture3D : public C3DWTexture3D
{
public:
    static std::unique_ptr<C3DWD3DTexture3D> Create(C3DWD3DDevice& device, int width, int height, int depth,
                                                    TextureFormat format);
    ~C3DWD3DTexture3D() override;

    bool SetData(const void* pixels, int x, int y, int z, int width, int height, int depth, int pitch,
                 int slicePitch) override;
    bool SetSourceFormat(int width, int height, int depth, int pitch, int slicePitch, TextureFormat format) override;
    bool GetDesc(int* width, int* height, int* depth, int* pitch, int* slicePitch, TextureFormat* format) const override;
    bool GetSourceDesc(int* width, int* height, int* depth, int* pitch, int* slicePitch,
                       TextureFormat* format) const override;

    IDirect3DVolumeTexture9* Direct3DTexture() const { return m_texture; }

private:
    C3DWD3DTexture3D(IDirect3DVolumeTexture9* texture, TextureFormat format);

    IDirect3DVolumeTexture9* m_texture;
    TextureFormat m_format;
    D3DFORMAT m_created = D3DFMT_UNKNOWN;
    int m_size[3] = {};
    int m_pitch = 0, m_slicePitch = 0;
    int m_source[3] = {};
    int m_sourcePitch = 0, m_sourceSlicePitch = 0;
    TextureFormat m_sourceFormat = TextureFormat::B8G8R8A8;
    bool m_convert = false;
};

} // namespace kestrel

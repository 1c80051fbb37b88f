#include "render/d3d9/C3DWD3DTexture.h"

#include "base/DebugSink.h"
#include "image/ImageScaling.h"
#include "image/PixelConversion.h"
#include "render/d3d9/C3DWD3DDevice.h"

#include <d3dx9.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace kestrel {
namespace {

int CreatedBytesPerPixel(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_R8G8B8: return 3;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4: return 2;
    default: return 4;
    }
}

PixelConversion ConversionInto(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_R8G8B8: return PixelConversion::ToB8G8R8;
    case D3DFMT_A8B8G8R8: return PixelConversion::ToR8G8B8A8;
    case D3DFMT_R5G6B5: return PixelConversion::ToR5G6B5;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: return PixelConversion::ToR5G5B5A1;
    default: return PixelConversion::ToB8G8R8A8;
    }
}

TextureFormat TextureFormatOf(D3DFORMAT created, TextureFormat requested)
{
    switch (created) {
    case D3DFMT_R5G6B5: return TextureFormat::R5G6B5;
    case D3DFMT_R8G8B8: return TextureFormat::B8G8R8;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: return TextureFormat::B8G8R8A8;
    case D3DFMT_A8B8G8R8: return TextureFormat::R8G8B8A8;
    default: return requested;
    }
}

/// Source pixels in the created format: converted into `scratch` when needed, else as given.
const void* PixelsForTexture(const void* pixels, bool convert, std::vector<std::uint8_t>& scratch, int width,
                             int height, int depth, int& pitch, int& slicePitch, TextureFormat source,
                             D3DFORMAT created)
{
    if (!convert)
        return pixels;
    const int rowBytes = width * CreatedBytesPerPixel(created);
    scratch.resize(static_cast<size_t>(rowBytes) * static_cast<size_t>(height) * static_cast<size_t>(depth));
    ConvertPixels3D(pixels, scratch.data(), width, height, depth, pitch, slicePitch, rowBytes, rowBytes * height,
                    source, ConversionInto(created));
    pitch = rowBytes;
    slicePitch = rowBytes * height;
    return scratch.data();
}

/// The -1 defaults of `SetData` and the check that the rectangle lies inside the source.
bool ResolveRectangle(int* start, int* size, const int* sourceSize, int axes)
{
    for (int axis = 0; axis < axes; ++axis) {
        if (start[axis] == -1)
            start[axis] = 0;
        if (size[axis] == -1)
            size[axis] = sourceSize[axis] - start[axis];
        if (start[axis] < 0 || size[axis] <= 0 || start[axis] + size[axis] > sourceSize[axis])
            return false;
    }
    return true;
}

/// The getters' out pointers, any of which may be null.
bool StoreDesc(std::initializer_list<int*> outs, std::initializer_list<int> values, TextureFormat* format,
               TextureFormat value)
{
    auto next = values.begin();
    for (int* out : outs) {
        if (out != nullptr)
            *out = *next;
        ++next;
    }
    if (format != nullptr)
        *format = value;
    return true;
}

void ReportSlowdown(bool convert)
{
    if (convert)
        DebugLine("Texture format requested differs from created texture format => slowdown");
}

} // namespace

D3DFORMAT RequestedD3DFormat(TextureFormat format)
{
    switch (format) {
    case TextureFormat::R5G6B5: return D3DFMT_R5G6B5;
    case TextureFormat::B8G8R8:
    case TextureFormat::R8G8B8: return D3DFMT_R8G8B8;
    case TextureFormat::B8G8R8A8: return D3DFMT_A8R8G8B8;
    case TextureFormat::R8G8B8A8: return D3DFMT_A8B8G8R8;
    }
    return D3DFMT_A8R8G8B8;
}

bool NeedsConversion(D3DFORMAT created, TextureFormat source)
{
    if (created == D3DFMT_X8R8G8B8 && source == TextureFormat::B8G8R8A8)
        return false;
    return created != RequestedD3DFormat(source) || source == TextureFormat::R8G8B8;
}

std::unique_ptr<C3DWD3DTexture> C3DWD3DTexture::Create(C3DWD3DDevice& device, int width, int height,
                                                       TextureFormat format)
{
    IDirect3DDevice9* d3d = device.Direct3DDevice();
    IDirect3DTexture9* texture = nullptr;
    if (d3d == nullptr || width <= 0 || height <= 0 ||
        FAILED(D3DXCreateTexture(d3d, static_cast<UINT>(width), static_cast<UINT>(height), D3DX_DEFAULT,
                                 D3DUSAGE_AUTOGENMIPMAP, RequestedD3DFormat(format), D3DPOOL_MANAGED, &texture)))
        return nullptr;
    std::unique_ptr<C3DWD3DTexture> result(new C3DWD3DTexture(texture, format));
    D3DSURFACE_DESC level{};
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->GetLevelDesc(0, &level)) || FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)))
        return nullptr;
    texture->UnlockRect(0);
    result->m_created = level.Format;
    result->m_levelWidth = static_cast<int>(level.Width);
    result->m_levelHeight = static_cast<int>(level.Height);
    result->m_levelPitch = locked.Pitch;
    texture->SetAutoGenFilterType(D3DTEXF_ANISOTROPIC);
    // The source rows are as long as the source format makes them, whatever the created level's are.
    result->SetSourceFormat(width, height, width * BytesPerPixel(format), format);
    return result;
}

C3DWD3DTexture::C3DWD3DTexture(IDirect3DTexture9* texture, TextureFormat format) : m_texture(texture), m_format(format)
{
}

C3DWD3DTexture::~C3DWD3DTexture()
{
    m_texture->Release();
}

bool C3DWD3DTexture::SetSourceFormat(int width, int height, int pitch, TextureFormat format)
{
    if (width <= 0 || height <= 0 || BytesPerPixel(format) == 0)
        return false;
    m_sourceWidth = width;
    m_sourceHeight = height;
    m_sourcePitch = pitch;
    m_sourceFormat = format;
    m_convert = NeedsConversion(m_created, format);
    ReportSlowdown(m_convert);
    return true;
}

bool C3DWD3DTexture::SetData(const void* pixels, int x, int y, int width, int height, int pitch)
{
    int start[2] = {x, y}, size[2] = {width, height};
    const int sourceSize[2] = {m_sourceWidth, m_sourceHeight};
    if (pixels == nullptr || !ResolveRectangle(start, size, sourceSize, 2))
        return false;
    if (pitch == -1)
        pitch = m_sourcePitch;
    int slicePitch = pitch * size[1];
    std::vector<std::uint8_t> scratch;
    const void* source = PixelsForTexture(pixels, m_convert, scratch, size[0], size[1], 1, pitch, slicePitch,
                                          m_sourceFormat, m_created);

    // The level may be larger than the source; the rectangle grows with it.
    const float fx = static_cast<float>(m_levelWidth) / static_cast<float>(m_sourceWidth);
    const float fy = static_cast<float>(m_levelHeight) / static_cast<float>(m_sourceHeight);
    RECT rect;
    rect.left = static_cast<LONG>(static_cast<float>(start[0]) * fx);
    rect.top = static_cast<LONG>(static_cast<float>(start[1]) * fy);
    rect.right = std::min<LONG>(static_cast<LONG>(static_cast<float>(rect.left) + static_cast<float>(size[0]) * fx), m_levelWidth);
    rect.bottom = std::min<LONG>(static_cast<LONG>(static_cast<float>(rect.top) + static_cast<float>(size[1]) * fy), m_levelHeight);
    if (rect.right - rect.left < 1 || rect.bottom - rect.top < 1)
        return true;
    D3DLOCKED_RECT locked{};
    if (FAILED(m_texture->LockRect(0, &locked, &rect, 0)))
        return false;
    C3DW_internal_ScaleCopy(source, locked.pBits, size[0], size[1], pitch, static_cast<int>(rect.right - rect.left),
                            static_cast<int>(rect.bottom - rect.top), locked.Pitch, CreatedBytesPerPixel(m_created));
    m_texture->UnlockRect(0);
    m_texture->GenerateMipSubLevels();
    return true;
}

bool C3DWD3DTexture::GetDesc(int* width, int* height, int* pitch, TextureFormat* format) const
{
    return StoreDesc({width, height, pitch}, {m_levelWidth, m_levelHeight, m_levelPitch}, format,
                     TextureFormatOf(m_created, m_format));
}

bool C3DWD3DTexture::GetSourceDesc(int* width, int* height, int* pitch, TextureFormat* format) const
{
    return StoreDesc({width, height, pitch}, {m_sourceWidth, m_sourceHeight, m_sourcePitch}, format, m_sourceFormat);
}

std::unique_ptr<C3DWD3DTexture3D> C3DWD3DTexture3D::Create(C3DWD3DDevice& device, int width, int height, int depth,
                                                           TextureFormat format)
{
    IDirect3DDevice9* d3d = device.Direct3DDevice();
    IDirect3DVolumeTexture9* texture = nullptr;
    if (d3d == nullptr || width <= 0 || height <= 0 || depth <= 0)
        return nullptr;
    const HRESULT created = D3DXCreateVolumeTexture(d3d, static_cast<UINT>(width), static_cast<UINT>(height),
                                                    static_cast<UINT>(depth), 1, 0, RequestedD3DFormat(format),
                                                    D3DPOOL_MANAGED, &texture);
    if (FAILED(created)) {
        if (created == D3DERR_NOTAVAILABLE)
            DebugLine("3d textures not available");
        return nullptr;
    }
    std::unique_ptr<C3DWD3DTexture3D> result(new C3DWD3DTexture3D(texture, format));
    D3DVOLUME_DESC level{};
    D3DLOCKED_BOX locked{};
    if (FAILED(texture->GetLevelDesc(0, &level)) || FAILED(texture->LockBox(0, &locked, nullptr, D3DLOCK_READONLY)))
        return nullptr;
    texture->UnlockBox(0);
    result->m_created = level.Format;
    result->m_size[0] = static_cast<int>(level.Width);
    result->m_size[1] = static_cast<int>(level.Height);
    result->m_size[2] = static_cast<int>(level.Depth);
    result->m_pitch = locked.RowPitch;
    result->m_slicePitch = locked.SlicePitch;
    const int rowBytes = width * BytesPerPixel(format);
    result->SetSourceFormat(width, height, depth, rowBytes, rowBytes * height, format);
    return result;
}

C3DWD3DTexture3D::C3DWD3DTexture3D(IDirect3DVolumeTexture9* texture, TextureFormat format)
    : m_texture(texture), m_format(format)
{
}

C3DWD3DTexture3D::~C3DWD3DTexture3D()
{
    m_texture->Release();
}

bool C3DWD3DTexture3D::SetSourceFormat(int width, int height, int depth, int pitch, int slicePitch,
                                       TextureFormat format)
{
    if (width <= 0 || height <= 0 || depth <= 0 || BytesPerPixel(format) == 0)
        return false;
    m_source[0] = width;
    m_source[1] = height;
    m_source[2] = depth;
    m_sourcePitch = pitch;
    m_sourceSlicePitch = slicePitch;
    m_sourceFormat = format;
    m_convert = NeedsConversion(m_created, format);
    ReportSlowdown(m_convert);
    return true;
}

bool C3DWD3DTexture3D::SetData(const void* pixels, int x, int y, int z, int width, int height, int depth, int pitch,
                               int slicePitch)
{
    int start[3] = {x, y, z}, size[3] = {width, height, depth};
    if (pixels == nullptr || !ResolveRectangle(start, size, m_source, 3))
        return false;
    if (pitch == -1)
        pitch = m_sourcePitch;
    if (slicePitch == -1)
        slicePitch = m_sourceSlicePitch;
    std::vector<std::uint8_t> scratch;
    const void* source = PixelsForTexture(pixels, m_convert, scratch, size[0], size[1], size[2], pitch, slicePitch,
                                          m_sourceFormat, m_created);
    D3DBOX box;
    box.Left = static_cast<UINT>(start[0] * m_size[0] / m_source[0]);
    box.Top = static_cast<UINT>(start[1] * m_size[1] / m_source[1]);
    box.Front = static_cast<UINT>(start[2] * m_size[2] / m_source[2]);
    box.Right = std::min(static_cast<UINT>((start[0] + size[0]) * m_size[0] / m_source[0]), static_cast<UINT>(m_size[0]));
    box.Bottom = std::min(static_cast<UINT>((start[1] + size[1]) * m_size[1] / m_source[1]), static_cast<UINT>(m_size[1]));
    box.Back = std::min(static_cast<UINT>((start[2] + size[2]) * m_size[2] / m_source[2]), static_cast<UINT>(m_size[2]));
    if (box.Right <= box.Left || box.Bottom <= box.Top || box.Back <= box.Front)
        return true;
    D3DLOCKED_BOX locked{};
    if (FAILED(m_texture->LockBox(0, &locked, &box, 0)))
        return false;
    C3DW_internal_ScaleCopy3D(source, locked.pBits, size[0], size[1], size[2], pitch, slicePitch,
                              static_cast<int>(box.Right - box.Left), static_cast<int>(box.Bottom - box.Top),
                              static_cast<int>(box.Back - box.Front), locked.RowPitch, locked.SlicePitch,
                              CreatedBytesPerPixel(m_created));
    m_texture->UnlockBox(0);
    return true;
}

bool C3DWD3DTexture3D::GetDesc(int* width, int* height, int* depth, int* pitch, int* slicePitch,
                               TextureFormat* format) const
{
    return StoreDesc({width, height, depth, pitch, slicePitch}, {m_size[0], m_size[1], m_size[2], m_pitch, m_slicePitch},
                     format, TextureFormatOf(m_created, m_format));
}

bool C3DWD3DTexture3D::GetSourceDesc(int* width, int* height, int* depth, int* pitch, int* slicePitch,
                                     TextureFormat* format) const
{
    return StoreDesc({width, height, depth, pitch, slicePitch},
                     {m_source[0], m_source[1], m_source[2], m_sourcePitch, m_sourceSlicePitch}, format, m_sourceFormat);
}

} // namespace kestrel

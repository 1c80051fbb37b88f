#include "render/d3d9/C3DWD3DDevice.h"

#include "base/DebugSink.h"

#include <d3dx9.h>

#include <cfloat>
#include <cmath>

namespace kestrel {
namespace {

// Direct3D keeps the x87 unit in single precision unless told otherwise, which would quietly
// change every double computed elsewhere in the program.
constexpr DWORD HardwareProcessing = D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE;
constexpr DWORD SoftwareProcessing = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE;

D3DFORMAT DepthFormat(std::int32_t depthBits)
{
    return depthBits == 24 ? D3DFMT_D24X8 : depthBits == 32 ? D3DFMT_D32 : D3DFMT_D16;
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client))
        return {0, 0};
    return {client.right - client.left, client.bottom - client.top};
}

D3DCOLORVALUE ColourValue(const float* rgba)
{
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

template <typename T>
void ReleaseAndClear(T*& object)
{
    if (object != nullptr)
        object->Release();
    object = nullptr;
}

} // namespace

C3DWD3DDevice::~C3DWD3DDevice()
{
    Destroy();
}

D3DPRESENT_PARAMETERS C3DWD3DDevice::PresentParameters(const DeviceParams& params, const D3DDISPLAYMODE& mode) const
{
    D3DPRESENT_PARAMETERS presentation{};
    const bool windowed = (params.flags & DeviceFixedSize) == 0;
    const HWND window = static_cast<HWND>(params.window);
    const SIZE client = ClientSize(window);
    presentation.Windowed = windowed ? TRUE : FALSE;
    presentation.BackBufferWidth = static_cast<UINT>(windowed ? client.cx : params.width);
    presentation.BackBufferHeight = static_cast<UINT>(windowed ? client.cy : params.height);
    presentation.BackBufferFormat = mode.Format;
    presentation.BackBufferCount = 1;
    presentation.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentation.hDeviceWindow = window;
    presentation.PresentationInterval =
        (params.flags & DeviceNoVSync) != 0 ? D3DPRESENT_INTERVAL_IMMEDIATE : D3DPRESENT_INTERVAL_ONE;
    presentation.EnableAutoDepthStencil = TRUE;
    presentation.AutoDepthStencilFormat = DepthFormat(params.depthBits);
    if (SUCCEEDED(m_d3d->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format,
                                                    presentation.Windowed, D3DMULTISAMPLE_2_SAMPLES, nullptr)))
        presentation.MultiSampleType = D3DMULTISAMPLE_2_SAMPLES;
    return presentation;
}

bool C3DWD3DDevice::TryCreateDevice(D3DPRESENT_PARAMETERS& presentation, DWORD behaviour)
{
    return SUCCEEDED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, static_cast<HWND>(m_params.window),
                                         behaviour, &presentation, &m_device));
}

bool C3DWD3DDevice::SupportsVertexShaders(const D3DCAPS9& caps) const
{
    const int major = static_cast<int>(D3DSHADER_VERSION_MAJOR(caps.VertexShaderVersion));
    const int minor = static_cast<int>(D3DSHADER_VERSION_MINOR(caps.VertexShaderVersion));
    return major > m_params.requiredVSMajor || (major == m_params.requiredVSMajor && minor >= m_params.requiredVSMinor);
}

bool C3DWD3DDevice::CreateDeviceWithFallbacks(D3DPRESENT_PARAMETERS& presentation)
{
    bool created = TryCreateDevice(presentation, HardwareProcessing);
    for (D3DFORMAT depth : {D3DFMT_D24X8, D3DFMT_D16}) {
        if (created)
            break;
        presentation.AutoDepthStencilFormat = depth;
        created = TryCreateDevice(presentation, HardwareProcessing);
    }
    if (created) {
        D3DCAPS9 caps{};
        m_device->GetDeviceCaps(&caps);
        if (!SupportsVertexShaders(caps)) {
            DebugLine("Hardware device has insufficient VS version, switching to software");
            ReleaseAndClear(m_device);
            created = false;
        }
    }
    if (created)
        return true;
    DebugLine("Creating HAL HW only device failed");
    if (TryCreateDevice(presentation, SoftwareProcessing))
        return true;
    DebugLine("Creating HAL SW vertex processing device failed");
    presentation.MultiSampleType = D3DMULTISAMPLE_NONE;
    presentation.AutoDepthStencilFormat = D3DFMT_D16;
    if (TryCreateDevice(presentation, SoftwareProcessing | D3DCREATE_DISABLE_DRIVER_MANAGEMENT))
        return true;
    DebugLine("Creating HAL SW NoMultisample 16BitDepthStencil vertex processing device failed");
    return false;
}

bool C3DWD3DDevice::Create(const DeviceParams& params)
{
    Destroy();
    m_params = params;
    m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (m_d3d == nullptr) {
        DebugLine("Failed to create Direct3D");
        return false;
    }
    D3DDISPLAYMODE mode{};
    if (FAILED(m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
        DebugLine("Failed to get adapter display mode");
        ReleaseAndClear(m_d3d);
        return false;
    }
    D3DPRESENT_PARAMETERS presentation = PresentParameters(params, mode);
    if (!CreateDeviceWithFallbacks(presentation)) {
        ReleaseAndClear(m_d3d);
        return false;
    }
    IDirect3DSwapChain9* own = nullptr;
    m_device->GetSwapChain(0, &own);
    m_swapChains = {own};
    IDirect3DSurface9* ownDepth = nullptr;
    m_device->GetDepthStencilSurface(&ownDepth);
    m_depthBuffers = {ownDepth};
    m_depthFormat = presentation.AutoDepthStencilFormat;
    m_windows = {static_cast<HWND>(params.window)};
    m_selectedWindow = 0;

    D3DCAPS9 caps{};
    m_device->GetDeviceCaps(&caps);
    SetInitialState(caps);
    return true;
}

void C3DWD3DDevice::SetInitialState(const D3DCAPS9& caps)
{
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_lighting = false;
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_stageCount = static_cast<int>(caps.MaxSimultaneousTextures);
    for (DWORD stage = 0; stage < caps.MaxSimultaneousTextures; ++stage) {
        m_device->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
        m_device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_MODULATE);
        for (D3DSAMPLERSTATETYPE filter : {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER, D3DSAMP_MIPFILTER})
            m_device->SetSamplerState(stage, filter, D3DTEXF_LINEAR);
    }
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 1, 1, 1};
    material.Ambient = {0.2f, 0.2f, 0.2f, 1};
    material.Specular = {1, 1, 1, 1};
    m_device->SetMaterial(&material);
    static constexpr float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    SetTransform(TransformType::World, identity);
    SetProjection(nullptr);
    m_vsMajor = static_cast<int>(D3DSHADER_VERSION_MAJOR(caps.VertexShaderVersion));
    m_vsMinor = static_cast<int>(D3DSHADER_VERSION_MINOR(caps.VertexShaderVersion));
    m_psMajor = static_cast<int>(D3DSHADER_VERSION_MAJOR(caps.PixelShaderVersion));
    m_psMinor = static_cast<int>(D3DSHADER_VERSION_MINOR(caps.PixelShaderVersion));
    m_lastFvf = 0;
}

void C3DWD3DDevice::ReleaseAdditionalSwapChains()
{
    if (m_swapChains.size() <= 1)
        return;
    // Wine's renderer can crash when an additional swap chain goes while it still draws into
    // it: draw into the device's own chain again and wait until the GPU has finished.
    SelectWindow(0);
    IDirect3DQuery9* query = nullptr;
    if (SUCCEEDED(m_device->CreateQuery(D3DQUERYTYPE_EVENT, &query))) {
        query->Issue(D3DISSUE_END);
        while (query->GetData(nullptr, 0, D3DGETDATA_FLUSH) == S_FALSE)
            Sleep(0);
        query->Release();
    }
    for (size_t i = 1; i < m_swapChains.size(); ++i) {
        m_swapChains[i]->Release();
        m_depthBuffers[i]->Release();
    }
    m_swapChains.resize(1);
    m_depthBuffers.resize(1);
    m_windows.resize(1);
}

bool C3DWD3DDevice::Destroy()
{
    if (m_device != nullptr)
        ReleaseAdditionalSwapChains();
    for (IDirect3DSwapChain9* chain : m_swapChains)
        if (chain != nullptr)
            chain->Release();
    for (IDirect3DSurface9* depth : m_depthBuffers)
        if (depth != nullptr)
            depth->Release();
    m_swapChains.clear();
    m_depthBuffers.clear();
    m_windows.clear();
    m_appliedVertices = nullptr;
    m_appliedIndices = nullptr;
    ReleaseAndClear(m_device);
    ReleaseAndClear(m_d3d);
    return true;
}

bool C3DWD3DDevice::AddWindow(const DeviceParams& params, int* index)
{
    if (m_device == nullptr || (params.flags & DeviceFixedSize) != 0)
        return false;
    D3DDISPLAYMODE mode{};
    if (FAILED(m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
        DebugLine("Failed to get adapter display mode");
        return false;
    }
    DeviceParams windowed = params;
    windowed.flags |= DeviceNoVSync;
    D3DPRESENT_PARAMETERS presentation = PresentParameters(windowed, mode);
    presentation.EnableAutoDepthStencil = FALSE; // the device's own depth buffer serves every chain
    IDirect3DSwapChain9* chain = nullptr;
    // Second try without multisampling, third also in whatever format the display has now.
    bool created = SUCCEEDED(m_device->CreateAdditionalSwapChain(&presentation, &chain));
    if (!created) {
        presentation.MultiSampleType = D3DMULTISAMPLE_NONE;
        created = SUCCEEDED(m_device->CreateAdditionalSwapChain(&presentation, &chain));
    }
    if (!created) {
        presentation.BackBufferFormat = D3DFMT_UNKNOWN;
        created = SUCCEEDED(m_device->CreateAdditionalSwapChain(&presentation, &chain));
    }
    IDirect3DSurface9* depth = nullptr;
    if (created && FAILED(m_device->CreateDepthStencilSurface(
                       presentation.BackBufferWidth, presentation.BackBufferHeight, m_depthFormat,
                       presentation.MultiSampleType, 0, TRUE, &depth, nullptr))) {
        chain->Release();
        created = false;
    }
    if (!created)
        return false;
    m_windows.push_back(static_cast<HWND>(params.window));
    m_swapChains.push_back(chain);
    m_depthBuffers.push_back(depth);
    if (index != nullptr)
        *index = static_cast<int>(m_swapChains.size()) - 1;
    return true;
}

bool C3DWD3DDevice::SelectWindow(int index)
{
    if (m_device == nullptr || index < 0 || index >= static_cast<int>(m_swapChains.size()))
        return false;
    IDirect3DSurface9* backBuffer = nullptr;
    if (FAILED(m_swapChains[static_cast<size_t>(index)]->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)))
        return false;
    const bool set = SUCCEEDED(m_device->SetRenderTarget(0, backBuffer)) &&
                     SUCCEEDED(m_device->SetDepthStencilSurface(m_depthBuffers[static_cast<size_t>(index)]));
    backBuffer->Release();
    if (set)
        m_selectedWindow = index;
    return set;
}

bool C3DWD3DDevice::BeginScene()
{
    return m_device != nullptr && SUCCEEDED(m_device->BeginScene());
}

bool C3DWD3DDevice::EndScene()
{
    return m_device != nullptr && SUCCEEDED(m_device->EndScene());
}

bool C3DWD3DDevice::SetAmbientLight(std::uint32_t colour)
{
    return m_device != nullptr && SUCCEEDED(m_device->SetRenderState(D3DRS_AMBIENT, colour));
}

bool C3DWD3DDevice::EnableLighting(bool on)
{
    if (m_device == nullptr || FAILED(m_device->SetRenderState(D3DRS_LIGHTING, on ? TRUE : FALSE)))
        return false;
    m_lighting = on;
    return true;
}

bool C3DWD3DDevice::EnableLight(int index, bool on)
{
    return m_device != nullptr && index >= 0 && SUCCEEDED(m_device->LightEnable(static_cast<DWORD>(index), on));
}

bool C3DWD3DDevice::SetLight(int index, LightDesc* light)
{
    if (m_device == nullptr || light == nullptr || index < 0)
        return false;
    D3DLIGHT9 d3dLight{};
    d3dLight.Type = light->type == LightType::Spot          ? D3DLIGHT_SPOT
                    : light->type == LightType::Directional ? D3DLIGHT_DIRECTIONAL
                                                            : D3DLIGHT_POINT;
    d3dLight.Diffuse = ColourValue(light->diffuse);
    d3dLight.Specular = ColourValue(light->specular);
    d3dLight.Ambient = ColourValue(light->ambient);
    d3dLight.Range = std::sqrt(FLT_MAX);
    d3dLight.Attenuation0 = light->constantAttenuation;
    d3dLight.Attenuation1 = light->linearAttenuation;
    d3dLight.Attenuation2 = light->quadraticAttenuation;
    const D3DVECTOR position = {light->position[0], light->position[1], light->position[2]};
    switch (light->type) {
    case LightType::Point: d3dLight.Position = position; break;
    case LightType::Spot:
        d3dLight.Position = position;
        d3dLight.Direction = {light->direction[0], light->direction[1], light->direction[2]};
        d3dLight.Falloff = light->spotExponent;
        d3dLight.Theta = 0.0f;
        d3dLight.Phi = light->spotCutoff * 0.017453292f;
        break;
    case LightType::Directional:
        // The record gives where the light is; Direct3D wants where it shines.
        d3dLight.Direction = {-position.x, -position.y, -position.z};
        break;
    }
    return SUCCEEDED(m_device->SetLight(static_cast<DWORD>(index), &d3dLight));
}

bool C3DWD3DDevice::EnableAlphaBlending(bool on)
{
    return m_device != nullptr && SUCCEEDED(m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, on ? TRUE : FALSE));
}

bool C3DWD3DDevice::SetClearColor(std::uint32_t colour)
{
    m_clearColour = colour;
    return true;
}

bool C3DWD3DDevice::Clear(std::uint32_t clearFlags)
{
    if (m_device == nullptr)
        return false;
    const DWORD flags = ((clearFlags & ClearColour) != 0 ? D3DCLEAR_TARGET : 0u) |
                        ((clearFlags & ClearDepth) != 0 ? D3DCLEAR_ZBUFFER : 0u);
    return flags == 0 || SUCCEEDED(m_device->Clear(0, nullptr, flags, m_clearColour | 0xFF000000u, 1.0f, 0));
}

bool C3DWD3DDevice::Present()
{
    if (m_device == nullptr)
        return false;
    // Presentation results are not examined: a lost device is not handled.
    m_swapChains[static_cast<size_t>(m_selectedWindow)]->Present(nullptr, nullptr, nullptr, nullptr, 0);
    return true;
}

bool C3DWD3DDevice::SetProjection(const float* matrix)
{
    if (m_device == nullptr)
        return false;
    if (matrix != nullptr)
        return SetTransform(TransformType::Projection, matrix);
    const SIZE client = ClientSize(m_windows[static_cast<size_t>(m_selectedWindow)]);
    const float aspect = client.cy > 0 ? static_cast<float>(client.cx) / static_cast<float>(client.cy) : 1.0f;
    D3DXMATRIX perspective;
    D3DXMatrixPerspectiveFovLH(&perspective, 0.7853982f, aspect, 0.1f, 100.0f);
    return SetTransform(TransformType::Projection, &perspective._11);
}

bool C3DWD3DDevice::SetTransform(TransformType type, const float* matrix)
{
    float* slot = TransformSlot(type);
    if (slot == nullptr || matrix == nullptr || m_device == nullptr)
        return false;
    std::copy(matrix, matrix + 16, slot);
    const D3DTRANSFORMSTATETYPE state = type == TransformType::Projection ? D3DTS_PROJECTION
                                        : type == TransformType::View     ? D3DTS_VIEW
                                                                          : D3DTS_WORLD;
    return SUCCEEDED(m_device->SetTransform(state, reinterpret_cast<const D3DMATRIX*>(slot)));
}

bool C3DWD3DDevice::SetVertexFormat(bool colour, bool secondaryColour, bool normal, int texSetCount)
{
    if (texSetCount < 0 || texSetCount > 4)
        return false;
    m_userLayout = MakeVertexLayout(colour, secondaryColour, normal, texSetCount);
    m_userFvf = FlexibleVertexFormat(m_userLayout);
    return true;
}

void C3DWD3DDevice::UseVertexFormat(DWORD fvf)
{
    if (m_device != nullptr && fvf != m_lastFvf && SUCCEEDED(m_device->SetFVF(fvf)))
        m_lastFvf = fvf;
}

bool C3DWD3DDevice::GetVertexShaderVersion(int* major, int* minor)
{
    if (major != nullptr)
        *major = m_vsMajor;
    if (minor != nullptr)
        *minor = m_vsMinor;
    return m_vsMajor != 0;
}

bool C3DWD3DDevice::GetPixelShaderVersion(int* major, int* minor)
{
    if (major != nullptr)
        *major = m_psMajor;
    if (minor != nullptr)
        *minor = m_psMinor;
    return m_psMajor != 0;
}

DWORD FlexibleVertexFormat(const VertexLayout& layout)
{
    DWORD fvf = D3DFVF_XYZ;
    if (layout.hasNormal)
        fvf |= D3DFVF_NORMAL;
    if (layout.hasColour)
        fvf |= D3DFVF_DIFFUSE;
    if (layout.hasSecondary)
        fvf |= D3DFVF_SPECULAR;
    fvf |= static_cast<DWORD>(layout.texSetCount) << D3DFVF_TEXCOUNT_SHIFT;
    for (int set = 0; set < layout.texSetCount; ++set) {
        const int floats = layout.texSetSize[set];
        const DWORD size = floats == 1 ? 3u : floats == 3 ? 1u : floats == 4 ? 2u : 0u;
        fvf |= size << (16 + 2 * set);
    }
    return fvf;
}

} // namespace kestrel

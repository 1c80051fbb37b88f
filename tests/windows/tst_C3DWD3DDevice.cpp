#include "render/d3d9/C3DWD3DDevice.h"

#include "render/CapturedDebugLines.h"
#include "render/DeviceScenes.h"
#include "render/factory/Create3DWDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace kestrel;
using namespace kestrel::test;

namespace {

/// Hidden windows render and read back like shown ones, and cost nothing to destroy.
HWND MakeWindow(int width, int height)
{
    static const ATOM windowClass = [] {
        WNDCLASSA description{};
        description.lpfnWndProc = DefWindowProcA;
        description.hInstance = GetModuleHandleA(nullptr);
        description.lpszClassName = "KestrelTestWindow";
        return RegisterClassA(&description);
    }();
    (void)windowClass;
    return CreateWindowA("KestrelTestWindow", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

} // namespace

class C3DWD3DDeviceTest : public ::testing::Test
{
protected:
    static constexpr int kSize = 64;

    void SetUp() override
    {
        m_window = MakeWindow(kSize, kSize);
        ASSERT_TRUE(m_device.Create(ParamsFor(m_window)));
    }
    void TearDown() override
    {
        m_device.Destroy();
        for (HWND window : m_extraWindows)
            DestroyWindow(window);
        DestroyWindow(m_window);
    }

    static DeviceParams ParamsFor(HWND window)
    {
        DeviceParams params;
        params.depthBits = 32;
        params.requiredVSMajor = 0;
        params.window = window;
        return params;
    }

    HWND AddedWindow(int width, int height)
    {
        m_extraWindows.push_back(MakeWindow(width, height));
        return m_extraWindows.back();
    }

    /// Reads the selected render target back through system memory.
    std::uint32_t PixelAt(int x, int y)
    {
        IDirect3DDevice9* device = m_device.Direct3DDevice();
        IDirect3DSurface9* target = nullptr;
        IDirect3DSurface9* copy = nullptr;
        D3DSURFACE_DESC desc{};
        std::uint32_t pixel = 0;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)) && SUCCEEDED(target->GetDesc(&desc)) &&
            SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                          &copy, nullptr)) &&
            SUCCEEDED(device->GetRenderTargetData(target, copy))) {
            D3DLOCKED_RECT locked{};
            if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
                std::memcpy(&pixel, static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
                copy->UnlockRect();
            }
        }
        if (copy != nullptr)
            copy->Release();
        if (target != nullptr)
            target->Release();
        return pixel | 0xFF000000u;
    }

    PixelReader Reader()
    {
        return [this](int x, int y) { return PixelAt(x, y); };
    }

    HWND m_window = nullptr;
    std::vector<HWND> m_extraWindows;
    C3DWD3DDevice m_device;
};

TEST(Create3DWDevice, GivesDirect3D9ForOneAndNothingElseWithoutQt)
{
    EXPECT_NE(dynamic_cast<C3DWD3DDevice*>(Create3DWDevice(1).get()), nullptr);
    EXPECT_EQ(Create3DWDevice(0), nullptr) << "this build has no OpenGL device";
}

TEST_F(C3DWD3DDeviceTest, DrawsTheSharedScenesLikeTheOpenGLDevice)
{
    for (TextureFormat format : {TextureFormat::B8G8R8A8, TextureFormat::R8G8B8, TextureFormat::R5G6B5}) {
        SCOPED_TRACE(static_cast<int>(format));
        CheckTexturedQuadScene(m_device, kSize, format, Reader());
    }
    for (std::uint32_t usage : {std::uint32_t{BufferGraphicsMemory}, std::uint32_t{BufferSystemMemory},
                                std::uint32_t{BufferGraphicsMemory | BufferDynamic}})
        CheckIndexedGeometryScene(m_device, kSize, usage, Reader());
}

TEST_F(C3DWD3DDeviceTest, EveryWindowHasItsOwnSwapChainAndDefaultPerspective)
{
    const float* projection = m_device.GetTransform(TransformType::Projection);
    const float cot = static_cast<float>(1.0 / std::tan(3.14159265358979 / 8.0));
    EXPECT_FLOAT_EQ(projection[0], cot);
    EXPECT_FLOAT_EQ(projection[5], cot);
    EXPECT_FLOAT_EQ(projection[10], 100.0f / 99.9f);
    EXPECT_EQ(projection[11], 1.0f);

    DeviceParams fullScreen = ParamsFor(AddedWindow(32, 32));
    fullScreen.flags |= DeviceFixedSize;
    EXPECT_FALSE(m_device.AddWindow(fullScreen, nullptr));
    int index = -1;
    ASSERT_TRUE(m_device.AddWindow(ParamsFor(AddedWindow(32, 16)), &index));
    EXPECT_EQ(index, 1);
    ASSERT_TRUE(m_device.SelectWindow(index));
    ASSERT_TRUE(m_device.SetProjection(nullptr));
    EXPECT_FLOAT_EQ(m_device.GetTransform(TransformType::Projection)[0], cot / 2) << "aspect of the selected window";

    m_device.SetClearColor(kGreen);
    ASSERT_TRUE(m_device.Clear(ClearColour));
    EXPECT_EQ(PixelAt(31, 15), kGreen);
    EXPECT_TRUE(m_device.Present());
    ASSERT_TRUE(m_device.SelectWindow(0));
    m_device.SetClearColor(kRed);
    ASSERT_TRUE(m_device.Clear(ClearColour | ClearDepth));
    EXPECT_EQ(PixelAt(63, 63), kRed);
    EXPECT_TRUE(m_device.Present());
    EXPECT_FALSE(m_device.SelectWindow(-1));
    EXPECT_FALSE(m_device.SelectWindow(3));

    // A window larger than the first draws with a depth buffer of its own size.
    ASSERT_TRUE(m_device.AddWindow(ParamsFor(AddedWindow(2 * kSize, 2 * kSize)), &index));
    ASSERT_TRUE(m_device.SelectWindow(index));
    CheckIndexedGeometryScene(m_device, 2 * kSize, BufferGraphicsMemory, Reader());
}

TEST_F(C3DWD3DDeviceTest, ShadersAssembleOrSayWhy)
{
    char error[256] = "stale";
    auto vertex = m_device.CreateVertexShader(0, "vs_1_1\ndcl_position v0\nmov oPos, v0\n", nullptr, error, sizeof error);
    ASSERT_NE(vertex, nullptr) << error;
    EXPECT_STREQ(error, "");
    char source[64] = {};
    EXPECT_TRUE(vertex->GetSource(source, sizeof source));
    EXPECT_STREQ(source, "vs_1_1\ndcl_position v0\nmov oPos, v0\n");
    EXPECT_TRUE(m_device.SetVertexShader(vertex.get()));
    const float constants[8] = {};
    EXPECT_TRUE(m_device.SetVertexShaderConstants(0, constants, 2));
    EXPECT_FALSE(m_device.SetVertexShaderConstants(0, nullptr, 2));
    EXPECT_TRUE(m_device.SetVertexShader(nullptr));

    EXPECT_EQ(m_device.CreateVertexShader(0, "vs_1_1\nbogus r0\n", nullptr, error, sizeof error), nullptr);
    EXPECT_STRNE(error, "") << "the assembler's complaint";
    EXPECT_EQ(m_device.CreateVertexShader(0, nullptr, "!!ARBvp1.0", error, sizeof error), nullptr);
    EXPECT_STREQ(error, "pD3DVertexShader11String == NULL");
    EXPECT_EQ(m_device.CreatePixelShader(0, nullptr, nullptr, error, 8), nullptr);
    EXPECT_STREQ(error, "pD3DPix") << "cut to the buffer";
    EXPECT_NE(m_device.CreatePixelShader(0, "ps_1_1\nmov r0, v0\n", nullptr, error, sizeof error), nullptr) << error;
}

TEST_F(C3DWD3DDeviceTest, DirectionalLightsShineAwayFromTheirPositionEveryTime)
{
    LightDesc light;
    light.type = LightType::Directional;
    light.position[0] = 0.3f;
    light.position[1] = 0.5f;
    light.position[2] = 0.8f;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(m_device.SetLight(0, &light));
        D3DLIGHT9 set{};
        m_device.Direct3DDevice()->GetLight(0, &set);
        EXPECT_EQ(set.Type, D3DLIGHT_DIRECTIONAL);
        EXPECT_EQ(set.Direction.x, -0.3f);
        EXPECT_EQ(set.Direction.z, -0.8f);
    }
}

TEST_F(C3DWD3DDeviceTest, TexturesKeepTheirSourceDescriptionAndVolumesExist)
{
    auto texture = m_device.CreateTexture(100, 60, TextureFormat::B8G8R8A8);
    ASSERT_NE(texture, nullptr);
    int width = 0, height = 0, pitch = 0;
    texture->GetSourceDesc(&width, &height, &pitch, nullptr);
    EXPECT_EQ(width * 1000 + height, 100060);
    EXPECT_EQ(pitch, 400);
    std::vector<std::uint8_t> pixels(100 * 60 * 4, 0x40);
    EXPECT_TRUE(texture->SetData(pixels.data(), -1, -1, -1, -1, -1));
    EXPECT_TRUE(texture->SetData(pixels.data(), 90, 50, 10, 10, -1));
    EXPECT_FALSE(texture->SetData(pixels.data(), 95, 0, 10, 10, -1)) << "outside the source";
    EXPECT_FALSE(texture->SetData(nullptr, -1, -1, -1, -1, -1));

    ASSERT_TRUE(m_device.SupportsTexture3D());
    auto volume = m_device.CreateTexture3D(4, 4, 4, TextureFormat::B8G8R8A8);
    ASSERT_NE(volume, nullptr);
    EXPECT_TRUE(volume->SetData(pixels.data(), -1, -1, -1, -1, -1, -1, -1, -1));
    EXPECT_TRUE(m_device.SetTexture3D(1, volume.get()));
    EXPECT_TRUE(m_device.SetTexture3D(1, nullptr));
}

TEST(C3DWD3DDevice, AWindowlessRequestFailsWithoutADeviceAndDrawsNothing)
{
    C3DWD3DDevice device;
    DeviceParams params;
    params.window = nullptr;
    params.flags = DeviceFixedSize | DeviceNoVSync;
    params.width = params.height = 0;
    // Every fallback is tried, and each failure said, before the device gives up.
    EXPECT_EQ(CapturedDebugLines([&] { EXPECT_FALSE(device.Create(params)); }),
              (std::vector<std::string>{"Creating HAL HW only device failed",
                                        "Creating HAL SW vertex processing device failed",
                                        "Creating HAL SW NoMultisample 16BitDepthStencil vertex processing device failed"}));
    EXPECT_EQ(device.Direct3DDevice(), nullptr);
    const float positions[9] = {};
    EXPECT_FALSE(device.DrawUserPositions(PrimitiveType::TriangleList, positions, 3));
    EXPECT_FALSE(device.BeginScene());
}

#include "CapturedDebugLines.h"
#include "OpenGLTestSupport.h"

#include "render/factory/Create3DWDevice.h"
#include "render/opengl/COGLTexture.h"


#include <QOpenGLContext>

#include <bit>
#include <cmath>

using namespace kestrel;
using namespace kestrel::test;

namespace {


std::vector<float> ModelViewMatrix()
{
    std::vector<float> matrix(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}

} // namespace

TEST(Create3DWDevice, GivesTheOpenGLDeviceForEveryTypeWithoutDirect3D)
{
    for (int type : {0, 1, 7}) {
        auto device = Create3DWDevice(type);
        EXPECT_NE(dynamic_cast<COGLDevice*>(device.get()), nullptr) << type;
    }
}

using COGLDeviceTest = OpenGLTest;

TEST_F(COGLDeviceTest, CreatesOnAWindowAndClearsToTheClearColour)
{
    EXPECT_EQ(PixelAt(10, 10), 0xFFFFFF00u) << "a new device paints its window yellow";
    ASSERT_TRUE(m_device->SetClearColor(0x80102030));
    ASSERT_TRUE(m_device->Clear(ClearColour | ClearDepth));
    EXPECT_EQ(PixelAt(0, 0), 0xFF102030u);
    EXPECT_EQ(PixelAt(kSize - 1, kSize - 1), 0xFF102030u);
    EXPECT_TRUE(m_device->Present());
}

TEST_F(COGLDeviceTest, DefaultProjectionHasTheFixedPerspectiveValues)
{
    const float* projection = m_device->GetTransform(TransformType::Projection);
    const float cot = static_cast<float>(1.0 / std::tan(3.14159265358979 / 8.0));
    EXPECT_FLOAT_EQ(projection[0], cot);
    EXPECT_FLOAT_EQ(projection[5], cot);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(projection[10]), 0xBF806D98u);
    EXPECT_EQ(projection[11], -1.0f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(projection[14]), 0xBF006D98u);
    EXPECT_EQ(projection[15], 0.0f);

    // The aspect ratio comes from the selected window's size.
    QWindow* wide = MakeWindow(128, 64);
    int index = -1;
    ASSERT_TRUE(m_device->AddWindow(ParamsFor(wide), &index));
    ASSERT_TRUE(m_device->SelectWindow(index));
    ASSERT_TRUE(m_device->SetProjection(nullptr));
    EXPECT_FLOAT_EQ(m_device->GetTransform(TransformType::Projection)[0], cot / 2);
}

TEST_F(COGLDeviceTest, TransformsLoadWorldTimesViewAndRejectUnknownTypes)
{
    const float world[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1};
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1};
    ASSERT_TRUE(m_device->SetTransform(TransformType::World, world));
    ASSERT_TRUE(m_device->SetTransform(TransformType::View, view));
    EXPECT_EQ(ModelViewMatrix(),
              (std::vector<float>{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 11, 22, 33, 1}));
    EXPECT_FALSE(m_device->SetTransform(static_cast<TransformType>(3), view));
    EXPECT_EQ(m_device->GetTransform(TransformType::World)[12], 1.0f);
}

TEST_F(COGLDeviceTest, SetLightWorksInWorldSpaceAndAdjustsTheRecord)
{
    const float world[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 5, 5, 1};
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -3, 1};
    m_device->SetTransform(TransformType::World, world);
    m_device->SetTransform(TransformType::View, view);

    LightDesc light;
    light.type = LightType::Directional;
    light.position[0] = 0.0f;
    light.position[2] = 1.0f;
    light.position[3] = 1.0f;
    ASSERT_TRUE(m_device->SetLight(1, &light));
    EXPECT_EQ(light.position[3], 0.0f);
    float cutoff = 0.0f;
    glGetLightfv(GL_LIGHT1, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_EQ(cutoff, 180.0f) << "a directional light has no cone";
    LightDesc point;
    point.position[1] = 2.0f;
    point.position[3] = 1.0f;
    ASSERT_TRUE(m_device->SetLight(0, &point));
    EXPECT_EQ(point.spotCutoff, 180.0f);
    EXPECT_FALSE(m_device->SetLight(8, &point));

    // Only the view moved the point light; the world matrix is back in place.
    float eye[4] = {};
    glGetLightfv(GL_LIGHT0, GL_POSITION, eye);
    EXPECT_EQ(std::vector<float>(eye, eye + 4), (std::vector<float>{0, 2, -3, 1}));
    EXPECT_EQ(m_device->GetTransform(TransformType::World)[12], 5.0f);
    EXPECT_EQ(ModelViewMatrix()[12], 5.0f);
}

TEST_F(COGLDeviceTest, DrawUserColoredDrawsColoursInTheirByteOrder)
{
    ClearToBlack();
    struct Vertex
    {
        float x, y, z;
        std::uint32_t colour;
    };
    const Vertex triangle[] = {{-1, -1, 0, kRed}, {1, -1, 0, kRed}, {-1, 1, 0, kRed}};
    ASSERT_TRUE(m_device->DrawUserColored(PrimitiveType::TriangleList, triangle, 3));
    EXPECT_EQ(PixelAt(2, kSize - 3), kRed);
    EXPECT_EQ(PixelAt(kSize - 3, 2), kBlack);
}

TEST_F(COGLDeviceTest, TwoWindowsShareTheDeviceEachWithItsOwnPicture)
{
    QWindow* second = MakeWindow(32, 16);
    int index = -1;
    ASSERT_TRUE(m_device->AddWindow(ParamsFor(second), &index));
    EXPECT_EQ(index, 1);

    ASSERT_TRUE(m_device->SelectWindow(0));
    m_device->SetClearColor(kRed);
    m_device->Clear(ClearColour);
    EXPECT_EQ(PixelAt(kSize - 1, kSize - 1), kRed);
    EXPECT_TRUE(m_device->Present());

    ASSERT_TRUE(m_device->SelectWindow(1));
    UseClipCoordinates();
    m_device->SetClearColor(kGreen);
    m_device->Clear(ClearColour | ClearDepth);
    const std::uint32_t blue = kBlue;
    auto texture = m_device->CreateTexture(1, 1, TextureFormat::B8G8R8A8);
    ASSERT_TRUE(texture->SetData(&blue, -1, -1, -1, -1, -1));
    ASSERT_TRUE(m_device->SetTexture(0, texture.get()));
    DrawTexturedQuad(0, -1, 1, 1); // right half of the smaller window
    EXPECT_EQ(PixelAt(0, 0, 16), kGreen);
    EXPECT_EQ(PixelAt(31, 15, 16), kBlue) << "the viewport follows the selected window";
    EXPECT_TRUE(m_device->Present());

    ASSERT_TRUE(m_device->SelectWindow(0));
    m_device->Clear(ClearColour | ClearDepth);
    DrawTexturedQuad(-1, -1, 0, 1); // left half of the larger window
    EXPECT_EQ(PixelAt(0, 0), kBlue);
    EXPECT_EQ(PixelAt(kSize / 2 - 1, kSize - 1), kBlue);
    EXPECT_EQ(PixelAt(kSize / 2, 0), kGreen);
    EXPECT_TRUE(m_device->Present());

    EXPECT_FALSE(m_device->SelectWindow(-1));
    EXPECT_FALSE(m_device->SelectWindow(2));
}

TEST_F(COGLDeviceTest, AWindowThatWentAwayCannotBeSelectedAndTheOthersStillWork)
{
    QWindow* second = MakeWindow(32, 32);
    int index = -1;
    ASSERT_TRUE(m_device->AddWindow(ParamsFor(second), &index));
    ASSERT_TRUE(m_device->SelectWindow(index));
    auto texture = m_device->CreateTexture(4, 4, TextureFormat::R8G8B8A8);
    std::erase_if(m_windows, [second](const auto& window) { return window.get() == second; });

    EXPECT_EQ(CapturedDebugLines([&] { EXPECT_FALSE(m_device->SelectWindow(index)); }),
              std::vector<std::string>{"COGLDevice: failed to make current"});
    texture.reset(); // released through a surface of the device's own
    EXPECT_TRUE(m_device->SelectWindow(0));
    m_device->SetClearColor(kWhite);
    m_device->Clear(ClearColour);
    EXPECT_EQ(PixelAt(1, 1), kWhite);
}

TEST_F(COGLDeviceTest, WindowBindingFailuresAreReported)
{
    COGLDevice device;
    DeviceParams params;
    EXPECT_EQ(CapturedDebugLines([&] { EXPECT_FALSE(device.Create(params)); }),
              std::vector<std::string>{"COGLDevice: no HDC found"});

    QWindow* raster = MakeWindow(16, 16);
    raster->setSurfaceType(QSurface::RasterSurface);
    raster->create();
    EXPECT_EQ(CapturedDebugLines([&] { EXPECT_FALSE(m_device->AddWindow(ParamsFor(raster), nullptr)); }),
              std::vector<std::string>{"COGLDevice: failed to set pixel format"});
    EXPECT_TRUE(m_device->SelectWindow(0));
}

TEST_F(COGLDeviceTest, ResourcesAreReleasedWithTheDeviceAndFailAfterwards)
{
    auto texture = m_device->CreateTexture(8, 8, TextureFormat::B8G8R8A8);
    auto vertices = m_device->CreateVertexBuffer(BufferGraphicsMemory, 0, 4, 12);
    const GLuint name = static_cast<COGLTexture&>(*texture).Name();
    ASSERT_NE(name, 0u);

    const std::vector<std::string> lines = CapturedDebugLines([&] { m_device.reset(); });
    EXPECT_EQ(lines, (std::vector<std::string>{"COGLDevice destroyed", "C3DWDevice::~C3DWDevice()"}));
    const std::uint32_t pixel = 0;
    EXPECT_FALSE(texture->SetData(&pixel, -1, -1, 1, 1, -1));
    EXPECT_FALSE(vertices->SetData(&pixel, 0, 0, 4));
    EXPECT_EQ(CapturedDebugLines([&] { texture.reset(); }), std::vector<std::string>{"C3DWTexture::~C3DWTexture()"});
}

TEST_F(COGLDeviceTest, CreateAndDestroyCyclesGiveEveryNameBack)
{
    for (int cycle = 0; cycle < 5; ++cycle) {
        auto device = std::make_unique<COGLDevice>();
        ASSERT_TRUE(device->Create(ParamsFor(MakeWindow(16, 16))));
        auto texture = device->CreateTexture(100, 60, TextureFormat::B8G8R8A8);
        std::vector<std::uint8_t> pixels(100 * 60 * 4, 0x7F);
        ASSERT_TRUE(texture->SetData(pixels.data(), -1, -1, -1, -1, -1));
        auto vertices = device->CreateVertexBuffer(BufferGraphicsMemory, VertexDiffuse, 64, 16);
        auto indices = device->CreateIndexBuffer(BufferSystemMemory, 64);
        char error[256];
        auto shader = device->CreateVertexShader(0, nullptr, "!!ARBvp1.0\nMOV result.position, vertex.position;\nEND\n",
                                                 error, sizeof error);
        ASSERT_NE(shader, nullptr) << error;
        const GLuint name = static_cast<COGLTexture&>(*texture).Name();
        texture.reset();
        EXPECT_FALSE(glIsTexture(name));
        if (cycle % 2 == 0)
            vertices.reset(); // the rest goes with the device
        device->Destroy();
        EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
        device.reset();
    }
}

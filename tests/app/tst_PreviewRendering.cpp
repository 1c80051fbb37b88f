// Images and models drawn through the real OpenGL device (needs an X server: run under Xvfb).
#include "AppHarness.h"

#include "DemoModel.h"
#include "samples/W3DWriter.h"
#include "app/ArchiveDocument.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CQuartoView.h"
#include "app/SharedPreviewDevice.h"
#include "support/GuiTest.h"
#include "samples/ImageFileWriters.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::AppHarness;
using samples::BigArchiveBuilder;
using samples::ByteWriter;
using samples::Bytes8;
using samples::TgaFile;
using test::WindowsHaveOpenGL;

struct Rgb
{
    int r, g, b;
    friend std::ostream& operator<<(std::ostream& out, const Rgb& c) { return out << c.r << "," << c.g << "," << c.b; }
};

// A TGA of `width` x `height`, 32 bits, first row at the top; the left half red, the right green.
std::vector<std::uint8_t> HalfRedHalfGreenTga(int width, int height)
{
    ByteWriter pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.Raw(x < width / 2 ? Bytes8{0, 0, 255, 255} : Bytes8{0, 255, 0, 255});
    return TgaFile(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 32, 0x28, pixels);
}

class PreviewRenderingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BigArchiveBuilder archive;
        archive.Add("art\\textures\\flag.tga.bak", HalfRedHalfGreenTga(8, 4))
            .Add("art\\w3d\\box.w3d", demo::TexturedBoxW3D("missing.tga"))
            .Add("data\\a.ini", "A = 1\r\n");
        frame = harness.StartOn(archive);
        ASSERT_NE(frame, nullptr);
        view = frame->EditorView();
        if (!harness.App().Context().device.Device())
            GTEST_SKIP() << "no OpenGL here (run under Xvfb)";
        frame->resize(800, 600);
    }

    // Draws one frame and reads the given points of it (x, y from the top left, in fractions of
    // the preview's size) from the back buffer before it is shown.
    std::vector<Rgb> DrawAndRead(const std::vector<std::pair<float, float>>& points)
    {
        std::vector<Rgb> colours;
        view->SetFrameInspector([&] {
            colours.clear(); // only the last frame counts
            QOpenGLFunctions* gl = QOpenGLContext::currentContext()->functions();
            const QSize size = view->SurfaceWidget()->size() * view->SurfaceWidget()->devicePixelRatio();
            for (const auto& [fx, fy] : points) {
                unsigned char pixel[4] = {};
                const int x = static_cast<int>(fx * static_cast<float>(size.width() - 1));
                const int y = static_cast<int>((1 - fy) * static_cast<float>(size.height() - 1));
                gl->glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
                colours.push_back({pixel[0], pixel[1], pixel[2]});
            }
        });
        if (!test::WaitFor([this] { return view->Surface()->isExposed(); }, 5000))
            ADD_FAILURE() << "the preview window was never exposed";
        view->DrawFrame();
        view->SetFrameInspector(nullptr);
        return colours;
    }

    AppHarness harness;
    CChildFrame* frame = nullptr;
    CQuartoView* view = nullptr;
};

bool Near(Rgb c, int r, int g, int b)
{
    return std::abs(c.r - r) < 40 && std::abs(c.g - g) < 40 && std::abs(c.b - b) < 40;
}

TEST_F(PreviewRenderingTest, AnImageIsDrawnUprightAndUnmirroredOnBlueAndZoomsWhileKeypadPlusIsHeld)
{
    test::SelectRow(*frame, 0);
    ASSERT_EQ(view->Mode(), PreviewMode::Image);
    ASSERT_TRUE(view->SurfaceWidget()->isVisible());
    const std::vector<Rgb> pixels = DrawAndRead({{0.4f, 0.5f}, {0.6f, 0.5f}, {0.5f, 0.05f}, {0.5f, 0.95f}});
    ASSERT_EQ(pixels.size(), 4u);
    EXPECT_TRUE(Near(pixels[0], 255, 0, 0)) << pixels[0];
    EXPECT_TRUE(Near(pixels[1], 0, 255, 0)) << pixels[1];
    // A 2:1 image leaves the clear colour above and below it.
    EXPECT_TRUE(Near(pixels[2], 0, 0, 255));
    EXPECT_TRUE(Near(pixels[3], 0, 0, 255));
    // Nothing changes on screen by itself, so nothing is redrawn by a timer.
    EXPECT_FALSE(view->IsTimerRunning());

    const float before = view->Zoom();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier);
    QApplication::sendEvent(view, &press);
    EXPECT_TRUE(view->IsTimerRunning());
    EXPECT_TRUE(test::WaitFor([&] { return view->Zoom() < before * 0.95f * 0.95f; }));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier);
    QApplication::sendEvent(view, &release);
    EXPECT_FALSE(view->IsTimerRunning());
}

TEST_F(PreviewRenderingTest, AModelIsDrawnLitInFrontOfTheCameraAndKeepsTurning)
{
    test::SelectRow(*frame, 1);
    ASSERT_EQ(view->Mode(), PreviewMode::Model);
    EXPECT_FLOAT_EQ(view->Zoom(), 1.0f); // framed as loaded
    EXPECT_TRUE(view->IsTimerRunning());
    const std::vector<Rgb> pixels = DrawAndRead({{0.5f, 0.5f}, {0.02f, 0.02f}});
    ASSERT_EQ(pixels.size(), 2u);
    EXPECT_FALSE(Near(pixels[0], 0, 0, 255)) << "the box covers the middle";
    EXPECT_TRUE(Near(pixels[1], 0, 0, 255)) << "the corner shows the clear colour";

    test::SelectRow(*frame, 2);
    EXPECT_EQ(view->Mode(), PreviewMode::IniText);
    EXPECT_FALSE(view->SurfaceWidget()->isVisible());
    EXPECT_FALSE(view->IsTimerRunning());
}

TEST_F(PreviewRenderingTest, APreviewOverlappedByAnotherArchiveWindowHidesItsNativeWindow)
{
    test::SelectRow(*frame, 0);
    ASSERT_TRUE(view->SurfaceWidget()->isVisible());
    QWidget* surface = view->SurfaceWidget();
    harness.App().OpenWindowOn(frame->SharedDocument());
    CChildFrame* third = harness.App().OnFileNew();
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(test::WaitFor([&] { return !surface->isVisible(); })) << "under a maximized window";

    QMdiArea* area = harness.App().MainFrame()->MdiArea();
    area->tileSubWindows();
    EXPECT_TRUE(test::WaitFor([&] { return surface->isVisible(); })) << "tiled, nothing overlaps";

    area->setActiveSubWindow(third);
    third->showMaximized();
    EXPECT_TRUE(test::WaitFor([&] { return !surface->isVisible(); }));
    area->setActiveSubWindow(frame);
    EXPECT_TRUE(test::WaitFor([&] { return surface->isVisible(); })) << "its own window active again";
}

TEST(PreviewAnimation, AnAnimationShowsItsModelMovingAndAModelOffersItsAnimations)
{
    using namespace test;
    W3DMeshDesc arm = UnitQuad("ARM");
    arm.containerName = "ROBOT";
    const Bytes8 robot = Cat({HierarchyChunk("ROBOT_SKL", {{"ROOT", 0xFFFFFFFFu, {0, 0, 0}}, {"ARM", 0, {1, 0, 0}}}),
                                   HLodChunk("ROBOT", "ROBOT_SKL", {{1, "ROBOT.ARM"}}), MeshChunk(arm)});
    AppHarness harness;
    BigArchiveBuilder archive;
    archive.Add("art\\w3d\\robot.w3d", robot)
        .Add("art\\w3d\\robot_wave.w3d", AnimationChunk("ROBOT.WAVE", "ROBOT_SKL", 30, 15, {{1, 2, {0}, std::vector<float>(30, 1.0f)}}))
        .Add("art\\w3d\\ghost_walk.w3d", AnimationChunk("GHOST.WALK", "GHOST_SKL", 30, 15, {}));
    CChildFrame* frame = harness.StartOn(archive);
    ASSERT_NE(frame, nullptr);
    CQuartoView* view = frame->EditorView();
    if (!harness.App().Context().device.Device())
        GTEST_SKIP() << "no OpenGL here (run under Xvfb)";

    SelectRow(*frame, 0);
    ASSERT_EQ(view->Mode(), PreviewMode::Model);
    ASSERT_EQ(view->Animations().size(), 1u);
    EXPECT_EQ(view->Animations()[0].entry, "art\\w3d\\robot_wave.w3d");
    EXPECT_EQ(view->AnimationIndex(), -1);
    EXPECT_EQ(view->StatusNote(), QStringLiteral("1 mesh, 2 triangles, 0 textures found, 0 missing"));

    SelectRow(*frame, 1);
    ASSERT_EQ(view->Mode(), PreviewMode::Model);
    EXPECT_EQ(view->AnimationIndex(), 0);
    EXPECT_TRUE(view->StatusNote().endsWith(QStringLiteral("; animation ROBOT.WAVE, 30 frames"))) << view->StatusNote().toStdString();
    // Playing at 15 frames a second: the frame moves on as the preview redraws.
    EXPECT_TRUE(WaitFor([&] { return view->AnimationFrame() > 0; }, 5000));

    SelectRow(*frame, 2);
    EXPECT_NE(view->Mode(), PreviewMode::Model);
    EXPECT_EQ(view->StatusNote(), QStringLiteral("No model found for the skeleton GHOST_SKL of this animation"));
}

TEST_F(PreviewRenderingTest, EveryViewSharesTheOneDeviceWhichGoesWithTheLastView)
{
    SharedPreviewDevice& device = harness.App().Context().device;
    EXPECT_EQ(device.ViewCount(), 1);
    harness.App().OpenWindowOn(frame->SharedDocument());
    EXPECT_EQ(device.ViewCount(), 2);
    harness.App().OnFileClose(frame);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(device.ViewCount(), 0);
    EXPECT_EQ(device.Device(), nullptr);
}

TEST(SharedPreviewDevice, AFailedCreationLeavesNoDeviceAndTheNextViewTriesAgain)
{
    if (!WindowsHaveOpenGL())
        GTEST_SKIP() << "no X server";
    // A window already made for plain pixels cannot take an OpenGL context.
    QWindow raster;
    raster.setSurfaceType(QSurface::RasterSurface);
    raster.create();
    SharedPreviewDevice device;
    EXPECT_EQ(device.AttachView(&raster, true), -1);
    EXPECT_EQ(device.Device(), nullptr);
    EXPECT_EQ(device.ViewCount(), 1);

    QWindow opengl;
    opengl.setSurfaceType(QSurface::OpenGLSurface);
    EXPECT_EQ(device.AttachView(&opengl, true), 0);
    EXPECT_NE(device.Device(), nullptr);
    device.DetachView();
    EXPECT_NE(device.Device(), nullptr) << "one view is still there";
    device.DetachView();
    EXPECT_EQ(device.Device(), nullptr);
}

} // namespace
} // namespace kestrel

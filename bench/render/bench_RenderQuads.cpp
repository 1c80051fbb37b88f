// Renders N textured quads per frame into a 512 × 512 window for a few seconds and prints frames
// and draw calls per second. Usage: bench_render_quads [quads per frame = 200] [seconds = 3]
//   xvfb-run -a -s "-screen 0 1280x1024x24" nice -n 15 bench_render_quads 200 3
#include "render/opengl/COGLDevice.h"

#include <QGuiApplication>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace kestrel;

namespace {

std::vector<std::uint32_t> Checkerboard(int size)
{
    std::vector<std::uint32_t> pixels(static_cast<size_t>(size * size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels[static_cast<size_t>(y * size + x)] = ((x / 16 + y / 16) % 2) ? 0xFFE0A020u : 0xFF2040C0u;
    return pixels;
}

void DrawQuad(C3DWDevice& device, int index, int count)
{
    // Quads on a diagonal band, each a tenth of the window.
    const float t = static_cast<float>(index) / static_cast<float>(count);
    const float left = -1.0f + 1.8f * t, bottom = -1.0f + 1.8f * (1.0f - t), size = 0.2f;
    const float quad[] = {left,        bottom,        0, 0, 1, left + size, bottom,        0, 1, 1,
                          left + size, bottom + size, 0, 1, 0, left,        bottom + size, 0, 0, 0};
    device.DrawUserTextured(PrimitiveType::TriangleFan, quad, 4);
}

} // namespace

int main(int argc, char** argv)
{
    const int quads = argc > 1 ? std::atoi(argv[1]) : 200;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 3.0;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);

    QWindow window;
    window.resize(512, 512);
    DeviceParams params;
    params.width = params.height = 512;
    params.depthBits = 32;
    params.window = &window;
    COGLDevice device;
    if (!device.Create(params)) {
        std::fprintf(stderr, "no OpenGL device\n");
        return 1;
    }
    {
        auto texture = device.CreateTexture(256, 256, TextureFormat::B8G8R8A8);
        const auto pixels = Checkerboard(256);
        texture->SetData(pixels.data(), -1, -1, -1, -1, -1);
        static constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        device.SetProjection(kIdentity);
        device.SetTexture(0, texture.get());
        device.SetClearColor(0xFF000000);

        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        long frames = 0;
        double elapsed = 0.0;
        while (elapsed < seconds) {
            device.Clear(ClearColour | ClearDepth);
            device.BeginScene();
            for (int i = 0; i < quads; ++i)
                DrawQuad(device, i, quads);
            device.EndScene();
            device.Present();
            ++frames;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        }
        std::printf("%d textured quads per frame, %ld frames in %.2f s: %.1f frames/s, %.0f draw calls/s\n", quads,
                    frames, elapsed, static_cast<double>(frames) / elapsed,
                    static_cast<double>(frames) * quads / elapsed);
    }
    device.Destroy();
    return 0;
}

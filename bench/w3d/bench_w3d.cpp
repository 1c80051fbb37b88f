// Loading and assembling a large model (time per load), and drawing it on the OpenGL device
// (frames per second; under xvfb-run this is Mesa's software renderer).
#include "w3d/W3DModelAssembly.h"
#include "w3d/W3DModelCollector.h"

#include "samples/W3DWriter.h"

#include <benchmark/benchmark.h>

#ifdef KESTREL_BENCH_OPENGL
#include "archive/CQuartoDoc.h"
#include "render/opengl/COGLDevice.h"
#include "w3d/W3DPreviewModel.h"
#include "support/FakePrompt.h"

#include <QGuiApplication>
#include <QWindow>

#include <GL/gl.h>
#endif

#include <cstdlib>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

/// `meshes` grids of side x side quads each (2 triangles per quad), with per-triangle texture
/// ids in runs of 64 triangles over two textures, on a skeleton of one pivot per mesh.
Bytes8 GridModel(int meshes, int side)
{
    std::vector<Bytes8> chunks;
    std::vector<W3DPivotDesc> pivots{{"ROOT", 0xFFFFFFFFu, {}, {0, 0, 0, 1}}};
    std::vector<W3DSubObjectDesc> subObjects;
    for (int m = 0; m < meshes; ++m) {
        W3DMeshDesc mesh;
        mesh.containerName = "GRID";
        mesh.meshName = "PART" + std::to_string(m);
        for (int y = 0; y <= side; ++y) {
            for (int x = 0; x <= side; ++x) {
                mesh.positions.push_back({static_cast<float>(x) / static_cast<float>(side) * 2 - 1,
                                          static_cast<float>(y) / static_cast<float>(side) * 2 - 1, 0});
                mesh.normals.push_back({0, 0, -1});
                mesh.texCoords.push_back({static_cast<float>(x) / static_cast<float>(side),
                                          static_cast<float>(y) / static_cast<float>(side)});
            }
        }
        const auto row = static_cast<std::uint32_t>(side + 1);
        for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(side); ++y) {
            for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(side); ++x) {
                const std::uint32_t corner = y * row + x;
                mesh.triangles.push_back({corner, corner + 1, corner + row + 1});
                mesh.triangles.push_back({corner, corner + row + 1, corner + row});
            }
        }
        for (size_t t = 0; t < mesh.triangles.size(); ++t)
            mesh.textureIds.push_back(static_cast<std::uint32_t>((t / 64) % 2));
        mesh.textureNames = {"a.tga", "b.tga"};
        mesh.materialPass = true;
        chunks.push_back(MeshChunk(mesh));
        pivots.push_back({"BONE" + std::to_string(m), 0, {0, 0, static_cast<float>(m) * 0.01f}, {0, 0, 0, 1}});
        subObjects.push_back({static_cast<std::uint32_t>(m + 1), "GRID." + mesh.meshName});
    }
    chunks.push_back(HierarchyChunk("GRIDSKL", pivots));
    chunks.push_back(HLodChunk("GRID", "GRIDSKL", subObjects));
    return Cat(chunks);
}

// Five meshes of 71 x 71 quads: 50,410 triangles, 25,920 vertices.
const Bytes8& FiftyThousandTriangles()
{
    static const Bytes8 model = GridModel(5, 71);
    return model;
}

void LoadAndAssemble(benchmark::State& state)
{
    const Bytes8& model = FiftyThousandTriangles();
    size_t triangles = 0;
    for (auto _ : state) {
        W3DModelCollector collector;
        const auto summary = AssembleW3DModel(model, W3DAssemblyOptions{}, collector);
        triangles = 0;
        for (const auto& group : collector.Groups())
            triangles += group.TriangleCount();
        benchmark::DoNotOptimize(summary.extent);
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["MB"] = static_cast<double>(model.size()) / 1e6;
}
BENCHMARK(LoadAndAssemble)->Unit(benchmark::kMillisecond);

#ifdef KESTREL_BENCH_OPENGL
void DrawOnOpenGL(benchmark::State& state)
{
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("no X display (run under xvfb-run)");
        return;
    }
    static int argc = 1;
    static char name[] = "bench_w3d";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    QWindow window;
    window.resize(1024, 1024);
    DeviceParams params;
    params.width = params.height = 1024;
    params.depthBits = 32;
    params.requiredVSMajor = 0;
    params.window = &window;
    COGLDevice device;
    if (!device.Create(params)) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    FakePrompt prompt;
    CQuartoDoc document(prompt);
    document.OnNewDocument();
    {
        const auto loaded = LoadW3DPreviewModel(device, document, FiftyThousandTriangles(), "", true);
        device.EnableLighting(true);
        device.SetAmbientLight(0xFFFFFFFFu);
        for (auto _ : state) {
            device.Clear(0x3);
            device.BeginScene();
            loaded.mesh->Render();
            device.EndScene();
            glFinish();
            device.Present();
        }
        state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    device.Destroy();
}
BENCHMARK(DrawOnOpenGL)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

} // namespace

BENCHMARK_MAIN();

#include "DemoModel.h"

#include "samples/W3DWriter.h"

#include <array>

namespace kestrel::demo {

std::vector<std::uint8_t> TexturedBoxW3D(const std::string& textureName)
{
    using samples::W3DVec;
    samples::W3DMeshDesc mesh;
    mesh.containerName = "DEMO_BOX";
    mesh.meshName = "BOX";
    // Each face: its normal and two edge directions from its corner; four vertices of its own so
    // that every face carries the whole texture.
    struct Face
    {
        W3DVec corner, u, v, normal;
    };
    const std::array<Face, 6> faces{{
        {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
        {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}},
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
    }};
    for (const Face& face : faces) {
        const auto first = static_cast<std::uint32_t>(mesh.positions.size());
        for (const auto& [s, t] : std::array<std::array<float, 2>, 4>{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}) {
            mesh.positions.push_back({face.corner.x + s * face.u.x + t * face.v.x,
                                      face.corner.y + s * face.u.y + t * face.v.y,
                                      face.corner.z + s * face.u.z + t * face.v.z});
            mesh.normals.push_back(face.normal);
            mesh.texCoords.push_back({s, t});
        }
        mesh.triangles.push_back({first, first + 1, first + 2});
        mesh.triangles.push_back({first, first + 2, first + 3});
    }
    mesh.materialPass = true;
    mesh.textureNames = {textureName};
    mesh.textureIds = {0};
    mesh.vertexMaterials = {{"DEMO", {255, 255, 255}, {255, 255, 255}, {0, 0, 0}, 1.0f}};
    mesh.vertexMaterialIds = {0};
    return samples::MeshChunk(mesh);
}

} // namespace kestrel::demo

#include "w3d/W3DModelAssembly.h"

#include "w3d/Matrix4.h"
#include "w3d/W3DAnimation.h"
#include "w3d/W3DChunk.h"
#include "w3d/W3DTypedChunks.h"

#include <algorithm>
#include <memory>
#include <new>

namespace kestrel {
namespace {

struct SubObjectBinding
{
    std::optional<size_t> pivot;
    std::string name;
};

/// The parts every drawable mesh must have, with counts that agree with its header.
struct MeshParts
{
    const W3DMeshHeader3* header = nullptr;
    const std::vector<W3DVector3>* positions = nullptr;
    const std::vector<W3DVector3>* normals = nullptr;
    const std::vector<W3DTriangle>* triangles = nullptr;
};

/// Texture and colour choices of a mesh's material pass.
struct MeshMaterialSetup
{
    std::vector<std::uint32_t> textureIds;
    std::vector<std::string> textureNames;
    MeshMaterialDesc desc{"Mat0", 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, {}};
};

// Range bounds are 16-bit, so a longer triangle list cannot be drawn in full.
constexpr size_t MaxTrianglesPerMesh = 65536;
// Baked animation frames: about 110 MB of vertices at most, and no more frames than a long
// animation at the games' rates needs.
constexpr size_t MaxAnimationVertices = 2'000'000;
constexpr size_t MaxAnimationFrames = 1800;

std::array<float, 3> ToArray(const W3DVector3& v)
{
    return {v.x, v.y, v.z};
}

std::uint32_t PackColor(const W3DColor& color, float opacity)
{
    // Opacity outside 0..1 (or not a number) in a damaged file must not overflow the alpha byte.
    const float clamped = opacity >= 0.0f ? std::min(opacity, 1.0f) : 0.0f;
    const auto alpha = static_cast<std::uint32_t>(clamped * 255.0f);
    return (alpha << 24) | (std::uint32_t{color.red} << 16) | (std::uint32_t{color.green} << 8) | color.blue;
}

std::optional<MeshParts> RequireParts(const W3DChunk& mesh)
{
    const auto* header = mesh.FindChild<W3DMeshHeader3Chunk>();
    const auto* positions = mesh.FindChild<W3DVerticesChunk>();
    const auto* normals = mesh.FindChild<W3DVertexNormalsChunk>();
    const auto* triangles = mesh.FindChild<W3DTrianglesChunk>();
    if (!header || !positions || !normals || !triangles)
        return std::nullopt;
    const auto& h = header->Get();
    if (positions->Get().size() != h.vertexCount || normals->Get().size() != h.vertexCount
        || triangles->Get().size() != h.triangleCount || h.triangleCount > MaxTrianglesPerMesh)
        return std::nullopt;
    return MeshParts{&h, &positions->Get(), &normals->Get(), &triangles->Get()};
}

/// Low 16 bits of every stored index; nullopt when one names a vertex the mesh does not have
/// (drawing it would read outside the mesh's vertices).
std::optional<std::vector<std::uint16_t>> BuildIndices(const MeshParts& parts)
{
    std::vector<std::uint16_t> indices;
    indices.reserve(parts.triangles->size() * 3);
    for (const auto& triangle : *parts.triangles) {
        for (const auto index : triangle.vertexIndex) {
            const auto cut = static_cast<std::uint16_t>(index & 0xFFFFu);
            if (cut >= parts.header->vertexCount)
                return std::nullopt;
            indices.push_back(cut);
        }
    }
    return indices;
}

std::string MaterialName(size_t mesh, std::int64_t material)
{
    return "Mesh" + std::to_string(mesh) + "Mat" + std::to_string(material);
}

void AppendTriangle(std::vector<TriangleRange>& ranges, std::uint16_t t, const std::string& name)
{
    if (!ranges.empty() && ranges.back().materialName == name)
        ranges.back().last = t;
    else
        ranges.push_back(TriangleRange{t, t, name, -1});
}

std::vector<TriangleRange> WholeMeshRange(size_t triangleCount, const std::string& name)
{
    if (triangleCount == 0)
        return {};
    return {TriangleRange{0, static_cast<std::uint16_t>(triangleCount - 1), name, -1}};
}

class Assembler
{
public:
    Assembler(const W3DAssemblyOptions& options, IModelBuilderTarget& target, W3DModelSummary& summary)
        : m_options(options), m_target(target), m_summary(summary)
    {
    }

    void Run(std::span<const std::uint8_t> bytes)
    {
        const auto root = W3DChunk::ParseFile(bytes);
        if (const W3DChunk* hierarchy = FindHierarchy(*root)) {
            BuildPivots(*hierarchy);
            BuildBindings(*root);
            BakeAnimationFrames(*root);
        }
        for (const auto& chunk : root->Children()) {
            if (chunk->Id() == W3D_CHUNK_MESH)
                AddMesh(*chunk, m_summary.meshCount++);
        }
    }

private:
    const W3DChunk* FindHierarchy(const W3DChunk& root)
    {
        if (const W3DChunk* own = root.FindChild(W3D_CHUNK_HIERARCHY)) {
            m_summary.hierarchySource = W3DModelSummary::HierarchySource::Own;
            if (const auto* header = own->FindChild<W3DHierarchyHeaderChunk>())
                m_summary.hierarchyName = header->Get().name;
            return own;
        }
        const W3DChunk* hlod = root.FindChild(W3D_CHUNK_HLOD);
        const auto* header = hlod ? hlod->FindChild<W3DHLodHeaderChunk>() : nullptr;
        if (!header)
            return nullptr;
        m_summary.hierarchyName = header->Get().hierarchyName;
        const auto candidates = SkeletonEntryNames(header->Get().hierarchyName);
        // Reported when the skeleton is found nowhere: the folder every game uses.
        m_summary.hierarchyEntry = candidates.back();
        if (!m_options.readArchiveEntry)
            return nullptr;
        for (const auto& candidate : candidates) {
            m_skeletonBytes = m_options.readArchiveEntry(candidate);
            if (m_skeletonBytes) {
                m_summary.hierarchyEntry = candidate;
                break;
            }
        }
        if (!m_skeletonBytes)
            return nullptr;
        m_skeleton = W3DChunk::ParseFile(*m_skeletonBytes);
        const W3DChunk* hierarchy = m_skeleton->FindChild(W3D_CHUNK_HIERARCHY);
        if (hierarchy)
            m_summary.hierarchySource = W3DModelSummary::HierarchySource::ArchiveEntry;
        return hierarchy;
    }

    void BuildPivots(const W3DChunk& hierarchy)
    {
        const auto* pivots = hierarchy.FindChild<W3DPivotsChunk>();
        if (!pivots)
            return;
        m_locals.reserve(pivots->Get().size());
        for (const auto& pivot : pivots->Get()) {
            const auto& t = pivot.translation;
            m_locals.push_back(Matrix4::FromRotationTranslation(pivot.rotation, t.x, t.y, t.z));
            if (pivot.parentIndex != W3DPivot::NoParent && pivot.parentIndex >= m_parents.size())
                throw W3DChunkError("pivot parent does not precede the pivot");
            m_parents.push_back(pivot.parentIndex == W3DPivot::NoParent ? std::nullopt
                                                                        : std::optional<size_t>(pivot.parentIndex));
        }
        m_worlds = Worlds(m_locals);
        m_summary.pivotCount = m_locals.size();
    }

    void BuildBindings(const W3DChunk& root)
    {
        const W3DChunk* hlod = root.FindChild(W3D_CHUNK_HLOD);
        const W3DChunk* lodArray = hlod ? hlod->FindChild(W3D_CHUNK_HLOD_LOD_ARRAY) : nullptr;
        if (!hlod || !hlod->FindChild<W3DHLodHeaderChunk>() || !lodArray)
            return;
        const auto* arrayHeader = lodArray->FindChild<W3DHLodSubObjectArrayHeaderChunk>();
        if (!arrayHeader)
            return;
        // Sub-objects beyond those present would stay empty bindings that match no mesh, so the
        // stored model count only bounds the loop; it never sizes an allocation.
        const size_t count = std::min<size_t>(arrayHeader->Get().modelCount,
                                              lodArray->CountChildren(W3D_CHUNK_HLOD_SUB_OBJECT));
        m_bindings.resize(count);
        for (size_t k = 0; k < count; ++k) {
            const auto* subObject = lodArray->FindChild<W3DHLodSubObjectChunk>(k);
            if (subObject && subObject->Get().boneIndex < m_locals.size())
                m_bindings[k] = SubObjectBinding{subObject->Get().boneIndex, subObject->Get().name};
        }
    }

    Matrix4 MeshTransform(const W3DMeshHeader3& header, const std::vector<Matrix4>& worlds) const
    {
        const std::string fullName = header.containerName + "." + header.meshName;
        Matrix4 transform;
        for (const auto& binding : m_bindings) {
            if (binding.pivot && binding.name == fullName)
                transform = worlds[*binding.pivot];
        }
        return transform;
    }

    /// The mesh's vertices with the pivots standing at `worlds` (one world transform per pivot).
    std::vector<MeshVertex> PlaceVertices(const W3DChunk& mesh, const MeshParts& parts,
                                          const std::vector<Matrix4>& worlds) const
    {
        const Matrix4 transform = MeshTransform(*parts.header, worlds);
        std::vector<MeshVertex> vertices(parts.positions->size());
        for (size_t v = 0; v < vertices.size(); ++v) {
            vertices[v].position = transform.TransformPoint(ToArray((*parts.positions)[v]));
            vertices[v].normal = transform.TransformDirection(ToArray((*parts.normals)[v]));
        }
        const auto* influences = mesh.FindChild<W3DVertexInfluencesChunk>();
        if (!influences || influences->Get().size() != vertices.size())
            return vertices;
        for (size_t v = 0; v < vertices.size(); ++v) {
            const size_t bone = influences->Get()[v].boneIndex;
            if (bone < worlds.size()) {
                vertices[v].position = worlds[bone].TransformPoint(vertices[v].position);
                vertices[v].normal = worlds[bone].TransformDirection(vertices[v].normal);
            }
        }
        return vertices;
    }

    /// The pivots' world transforms when every pivot's local transform is `locals`.
    std::vector<Matrix4> Worlds(const std::vector<Matrix4>& locals) const
    {
        std::vector<Matrix4> worlds;
        worlds.reserve(locals.size());
        for (size_t i = 0; i < locals.size(); ++i)
            worlds.push_back(m_parents[i] ? locals[i].Then(worlds[*m_parents[i]]) : locals[i]);
        return worlds;
    }

    /// Every frame of the animation the model is posed in, as pivot world transforms. Long
    /// animations of large models are sampled at fewer frames so that the frames of all meshes
    /// stay within a bounded number of vertices.
    void BakeAnimationFrames(const W3DChunk& root)
    {
        const W3DAnimation* animation = m_options.animation;
        if (!animation || m_locals.empty() || animation->frameCount == 0)
            return;
        size_t vertices = 0;
        for (const auto& chunk : root.Children()) {
            if (const auto* positions = chunk->Id() == W3D_CHUNK_MESH ? chunk->FindChild<W3DVerticesChunk>() : nullptr)
                vertices += positions->Get().size();
        }
        const size_t frames = std::clamp<size_t>(MaxAnimationVertices / std::max<size_t>(vertices, 1), 1,
                                                 std::min<size_t>(animation->frameCount, MaxAnimationFrames));
        m_frameWorlds.reserve(frames);
        for (size_t k = 0; k < frames; ++k) {
            const float frame = static_cast<float>(k) * static_cast<float>(animation->frameCount) / static_cast<float>(frames);
            m_frameWorlds.push_back(Worlds(animation->Pose(m_locals, frame)));
        }
        m_summary.animationFrames = frames;
    }

    void ApplyTextureStage(const W3DChunk& mesh, const W3DChunk& pass, std::vector<MeshVertex>& vertices,
                           MeshMaterialSetup& setup) const
    {
        if (!m_options.texturesEnabled)
            return;
        const W3DChunk* stage = pass.FindChild(W3D_CHUNK_TEXTURE_STAGE);
        // Passes drawn by shader materials keep their coordinates directly, without a stage.
        const auto* coords = (stage ? stage : &pass)->FindChild<W3DStageTexCoordsChunk>();
        if (coords && coords->Get().size() == vertices.size()) {
            for (size_t v = 0; v < vertices.size(); ++v)
                vertices[v].texCoord = {coords->Get()[v].u, 1.0f - coords->Get()[v].v};
        }
        if (!stage)
            return;
        if (const auto* ids = stage->FindChild<W3DTextureIdsChunk>()) {
            for (const auto& id : ids->Get())
                setup.textureIds.push_back(id.value);
        }
        const W3DChunk* textures = mesh.FindChild(W3D_CHUNK_TEXTURES);
        if (setup.textureIds.empty() || static_cast<std::int32_t>(setup.textureIds.front()) < 0 || !textures)
            return;
        for (size_t k = 0; const W3DChunk* texture = textures->FindChild(W3D_CHUNK_TEXTURE, k); ++k) {
            if (const auto* name = texture->FindChild<W3DTextureNameChunk>())
                setup.textureNames.push_back(name->Get());
        }
    }

    /// Battle for Middle-earth II textures its meshes through shader materials instead of texture
    /// stages: each material names its textures as properties, and the pass picks the material
    /// of the mesh (or of every triangle). The diffuse texture is the one drawn.
    void ApplyShaderMaterials(const W3DChunk& mesh, const W3DChunk& pass, MeshMaterialSetup& setup)
    {
        const W3DChunk* materials = mesh.FindChild(W3D_CHUNK_SHADER_MATERIALS);
        if (!materials)
            return;
        for (size_t k = 0; const W3DChunk* material = materials->FindChild(W3D_CHUNK_SHADER_MATERIAL, k); ++k) {
            const auto* header = material->FindChild<W3DShaderMaterialHeaderChunk>();
            m_summary.shaderMaterials.push_back({header ? header->Get().typeName : std::string(),
                                                 DiffuseTextureOf(*material)});
        }
        if (!m_options.texturesEnabled || !setup.textureNames.empty())
            return;
        setup.textureIds.clear();
        if (const auto* ids = pass.FindChild<W3DShaderMaterialIdsChunk>()) {
            for (const auto& id : ids->Get())
                setup.textureIds.push_back(id.value);
        }
        if (setup.textureIds.empty())
            setup.textureIds.push_back(0);
        if (setup.textureIds.size() == 1) {
            // One material for the whole mesh: it alone becomes the mesh's material.
            if (const W3DChunk* material = materials->FindChild(W3D_CHUNK_SHADER_MATERIAL, setup.textureIds[0]))
                setup.textureNames.push_back(DiffuseTextureOf(*material));
            return;
        }
        for (size_t k = 0; const W3DChunk* material = materials->FindChild(W3D_CHUNK_SHADER_MATERIAL, k); ++k)
            setup.textureNames.push_back(DiffuseTextureOf(*material));
    }

    static std::string DiffuseTextureOf(const W3DChunk& material)
    {
        std::string fallback;
        for (size_t i = 0; const auto* chunk = material.FindChild<W3DShaderMaterialPropertyChunk>(i); ++i) {
            const auto& property = chunk->Get();
            if (property.type != W3DShaderMaterialProperty::Texture)
                continue;
            if (property.name == "DiffuseTexture")
                return property.texture;
            // Shaders without a diffuse slot number their textures; the first is the colour map.
            if (property.name == "Texture_0")
                fallback = property.texture;
        }
        return fallback;
    }

    static void ApplyVertexMaterial(const W3DChunk& mesh, const W3DChunk& pass, MeshMaterialDesc& desc)
    {
        const W3DChunk* materials = mesh.FindChild(W3D_CHUNK_VERTEX_MATERIALS);
        const auto* ids = pass.FindChild<W3DVertexMaterialIdsChunk>();
        if (!materials || !ids || ids->Get().empty())
            return;
        const W3DChunk* material = materials->FindChild(W3D_CHUNK_VERTEX_MATERIAL, ids->Get().front().value);
        if (!material)
            return;
        if (const auto* name = material->FindChild<W3DVertexMaterialNameChunk>())
            desc.name = name->Get();
        if (const auto* info = material->FindChild<W3DVertexMaterialInfoChunk>()) {
            const auto& record = info->Get();
            desc.ambient = PackColor(record.ambient, record.opacity);
            desc.diffuse = PackColor(record.diffuse, record.opacity);
            desc.emissive = PackColor(record.emissive, record.opacity);
        }
    }

    std::vector<TriangleRange> AddMaterialsAndRanges(MeshMaterialSetup& setup, size_t m, size_t triangleCount)
    {
        for (size_t k = 0; k < setup.textureNames.size(); ++k) {
            setup.desc.textureNames[0] = setup.textureNames[k];
            setup.desc.name = MaterialName(m, static_cast<std::int64_t>(k));
            m_target.AddMaterial(setup.desc);
        }
        if (setup.textureIds.size() <= 1)
            return WholeMeshRange(triangleCount, setup.desc.name);
        std::vector<TriangleRange> ranges;
        for (size_t t = 0; t < triangleCount; ++t) {
            // Triangles the id list does not reach get a name no material has: untextured.
            const std::string name = t < setup.textureIds.size()
                ? MaterialName(m, static_cast<std::int32_t>(setup.textureIds[t]))
                : std::string();
            AppendTriangle(ranges, static_cast<std::uint16_t>(t), name);
        }
        return ranges;
    }

    void AddMesh(const W3DChunk& mesh, size_t m)
    {
        const auto parts = RequireParts(mesh);
        const auto indices = parts ? BuildIndices(*parts) : std::nullopt;
        if (!parts || !indices) {
            ++m_summary.skippedMeshCount;
            return;
        }
        auto vertices = PlaceVertices(mesh, *parts, m_frameWorlds.empty() ? m_worlds : m_frameWorlds.front());
        const size_t triangleCount = parts->triangles->size();
        std::vector<TriangleRange> ranges;
        if (const W3DChunk* pass = mesh.FindChild(W3D_CHUNK_MATERIAL_PASS)) {
            MeshMaterialSetup setup;
            ApplyTextureStage(mesh, *pass, vertices, setup);
            ApplyShaderMaterials(mesh, *pass, setup);
            ApplyVertexMaterial(mesh, *pass, setup.desc);
            ranges = AddMaterialsAndRanges(setup, m, triangleCount);
        } else {
            ranges = WholeMeshRange(triangleCount, std::string());
        }
        const size_t perFrame = vertices.size();
        for (size_t f = 1; f < m_frameWorlds.size(); ++f) {
            auto frame = PlaceVertices(mesh, *parts, m_frameWorlds[f]);
            for (size_t v = 0; v < perFrame; ++v)
                frame[v].texCoord = vertices[v].texCoord;
            vertices.insert(vertices.end(), frame.begin(), frame.end());
        }
        const int frames = std::max(1, static_cast<int>(m_frameWorlds.size()));
        const int group = m_target.AddGeometry(parts->header->meshName, vertices, frames, *indices, ranges);
        MeshBounds bounds;
        if (group < 0 || !m_target.GetBounds(group, bounds))
            return;
        m_summary.extent = std::max(m_summary.extent, bounds.LargestAbsolute());
        if (vertices.empty())
            return;
        if (m_summary.bounds)
            m_summary.bounds->Include(bounds);
        else
            m_summary.bounds = bounds;
    }

    const W3DAssemblyOptions& m_options;
    IModelBuilderTarget& m_target;
    W3DModelSummary& m_summary;
    std::optional<std::vector<std::uint8_t>> m_skeletonBytes;
    std::unique_ptr<W3DChunk> m_skeleton;
    std::vector<Matrix4> m_locals;               ///< per pivot, as stored
    std::vector<std::optional<size_t>> m_parents; ///< per pivot
    std::vector<Matrix4> m_worlds;               ///< per pivot, unanimated
    std::vector<std::vector<Matrix4>> m_frameWorlds; ///< per baked animation frame, per pivot
    std::vector<SubObjectBinding> m_bindings;
};

} // namespace

std::vector<std::string> SkeletonEntryNames(const std::string& hierarchyName)
{
    std::vector<std::string> names;
    // Battle for Middle-earth files its skeletons by the first two letters of their names.
    if (hierarchyName.size() > 2)
        names.push_back("art\\w3d\\" + hierarchyName.substr(0, 2) + "\\" + hierarchyName + ".w3d");
    names.push_back("art\\w3d\\" + hierarchyName + ".w3d");
    return names;
}

W3DModelSummary AssembleW3DModel(std::span<const std::uint8_t> bytes, const W3DAssemblyOptions& options,
                                 IModelBuilderTarget& target)
{
    W3DModelSummary summary;
    try {
        Assembler(options, target, summary).Run(bytes);
        summary.loaded = true;
    } catch (const W3DChunkError& error) {
        summary.error = error.what();
    } catch (const std::bad_alloc&) {
        summary.error = "out of memory";
    }
    if (!summary.loaded) {
        target.Clear();
        summary.extent = 0;
        summary.bounds.reset();
    }
    return summary;
}

} // namespace kestrel

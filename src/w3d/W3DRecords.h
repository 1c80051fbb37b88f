#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel {

class ByteReader;

// Chunk ids of the W3D format that Kestrel reads. Everything else is kept as a plain node.
constexpr std::uint32_t W3D_CHUNK_MESH = 0x00;
constexpr std::uint32_t W3D_CHUNK_VERTICES = 0x02;
constexpr std::uint32_t W3D_CHUNK_VERTEX_NORMALS = 0x03;
constexpr std::uint32_t W3D_CHUNK_VERTEX_INFLUENCES = 0x0E;
constexpr std::uint32_t W3D_CHUNK_MESH_HEADER3 = 0x1F;
constexpr std::uint32_t W3D_CHUNK_TRIANGLES = 0x20;
constexpr std::uint32_t W3D_CHUNK_VERTEX_MATERIALS = 0x2A;
constexpr std::uint32_t W3D_CHUNK_VERTEX_MATERIAL = 0x2B;
constexpr std::uint32_t W3D_CHUNK_VERTEX_MATERIAL_NAME = 0x2C;
constexpr std::uint32_t W3D_CHUNK_VERTEX_MATERIAL_INFO = 0x2D;
constexpr std::uint32_t W3D_CHUNK_TEXTURES = 0x30;
constexpr std::uint32_t W3D_CHUNK_TEXTURE = 0x31;
constexpr std::uint32_t W3D_CHUNK_TEXTURE_NAME = 0x32;
constexpr std::uint32_t W3D_CHUNK_MATERIAL_PASS = 0x38;
constexpr std::uint32_t W3D_CHUNK_VERTEX_MATERIAL_IDS = 0x39;
constexpr std::uint32_t W3D_CHUNK_TEXTURE_STAGE = 0x48;
constexpr std::uint32_t W3D_CHUNK_TEXTURE_IDS = 0x49;
constexpr std::uint32_t W3D_CHUNK_STAGE_TEXCOORDS = 0x4A;
constexpr std::uint32_t W3D_CHUNK_SHADER_MATERIAL_ID = 0x3F;
constexpr std::uint32_t W3D_CHUNK_SHADER_MATERIALS = 0x50;
constexpr std::uint32_t W3D_CHUNK_SHADER_MATERIAL = 0x51;
constexpr std::uint32_t W3D_CHUNK_SHADER_MATERIAL_HEADER = 0x52;
constexpr std::uint32_t W3D_CHUNK_SHADER_MATERIAL_PROPERTY = 0x53;
constexpr std::uint32_t W3D_CHUNK_HIERARCHY = 0x100;
constexpr std::uint32_t W3D_CHUNK_HIERARCHY_HEADER = 0x101;
constexpr std::uint32_t W3D_CHUNK_PIVOTS = 0x102;
constexpr std::uint32_t W3D_CHUNK_ANIMATION = 0x200;
constexpr std::uint32_t W3D_CHUNK_ANIMATION_HEADER = 0x201;
constexpr std::uint32_t W3D_CHUNK_ANIMATION_CHANNEL = 0x202;
constexpr std::uint32_t W3D_CHUNK_COMPRESSED_ANIMATION = 0x280;
constexpr std::uint32_t W3D_CHUNK_COMPRESSED_ANIMATION_HEADER = 0x281;
constexpr std::uint32_t W3D_CHUNK_COMPRESSED_ANIMATION_CHANNEL = 0x282;
constexpr std::uint32_t W3D_CHUNK_COMPRESSED_ANIMATION_MOTION_CHANNEL = 0x284;
constexpr std::uint32_t W3D_CHUNK_HLOD = 0x700;
constexpr std::uint32_t W3D_CHUNK_HLOD_HEADER = 0x701;
constexpr std::uint32_t W3D_CHUNK_HLOD_LOD_ARRAY = 0x702;
constexpr std::uint32_t W3D_CHUNK_HLOD_SUB_OBJECT_ARRAY_HEADER = 0x703;
constexpr std::uint32_t W3D_CHUNK_HLOD_SUB_OBJECT = 0x704;
constexpr std::uint32_t W3D_CHUNK_HLOD_AGGREGATE_ARRAY = 0x705;
constexpr std::uint32_t W3D_CHUNK_HLOD_PROXY_ARRAY = 0x706;

/// The record layouts below mirror the file: every record has a fixed Size in bytes and a Read
/// that takes exactly that many bytes. Fixed-length names end at their first NUL, or fill the
/// whole field when they have none.
struct W3DVector3
{
    static constexpr size_t Size = 12;
    float x = 0, y = 0, z = 0;
    static W3DVector3 Read(ByteReader& reader);
};

struct W3DTexCoord
{
    static constexpr size_t Size = 8;
    float u = 0, v = 0;
    static W3DTexCoord Read(ByteReader& reader);
};

struct W3DVertexInfluence
{
    static constexpr size_t Size = 8;
    std::uint16_t boneIndex = 0;
    static W3DVertexInfluence Read(ByteReader& reader);
};

struct W3DTriangle
{
    static constexpr size_t Size = 32;
    std::array<std::uint32_t, 3> vertexIndex{};
    std::uint32_t attributes = 0;
    W3DVector3 normal;
    float distance = 0;
    static W3DTriangle Read(ByteReader& reader);
};

/// An element of the id lists (vertex material ids, texture ids).
struct W3DId
{
    static constexpr size_t Size = 4;
    std::uint32_t value = 0;
    static W3DId Read(ByteReader& reader);
};

struct W3DMeshHeader3
{
    static constexpr size_t Size = 116;
    std::uint32_t version = 0;
    std::uint32_t attributes = 0;
    std::string meshName;
    std::string containerName;
    std::uint32_t triangleCount = 0;
    std::uint32_t vertexCount = 0;
    std::uint32_t materialCount = 0;
    std::uint32_t damageStageCount = 0;
    std::uint32_t sortLevel = 0;
    std::uint32_t prelitVersion = 0;
    std::uint32_t futureCount = 0;
    std::uint32_t vertexChannels = 0;
    std::uint32_t faceChannels = 0;
    W3DVector3 boxMin;
    W3DVector3 boxMax;
    W3DVector3 sphereCenter;
    float sphereRadius = 0;
    static W3DMeshHeader3 Read(ByteReader& reader);
};

struct W3DColor
{
    std::uint8_t red = 0, green = 0, blue = 0;
};

struct W3DVertexMaterialInfo
{
    static constexpr size_t Size = 32;
    std::uint32_t attributes = 0;
    W3DColor ambient, diffuse, specular, emissive;
    float shininess = 0, opacity = 0, translucency = 0;
    static W3DVertexMaterialInfo Read(ByteReader& reader);
};

struct W3DHierarchyHeader
{
    static constexpr size_t Size = 36;
    std::uint32_t version = 0;
    std::string name;
    std::uint32_t pivotCount = 0;
    W3DVector3 center;
    static W3DHierarchyHeader Read(ByteReader& reader);
};

struct W3DPivot
{
    static constexpr size_t Size = 60;
    static constexpr std::uint32_t NoParent = 0xFFFFFFFFu;
    std::string name;
    std::uint32_t parentIndex = NoParent;
    W3DVector3 translation;
    W3DVector3 eulerAngles;
    /// x, y, z, w
    std::array<float, 4> rotation{0, 0, 0, 1};
    static W3DPivot Read(ByteReader& reader);
};

struct W3DHLodHeader
{
    static constexpr size_t Size = 40;
    std::uint32_t version = 0;
    std::uint32_t lodCount = 0;
    std::string name;
    std::string hierarchyName;
    static W3DHLodHeader Read(ByteReader& reader);
};

struct W3DHLodSubObjectArrayHeader
{
    static constexpr size_t Size = 8;
    std::uint32_t modelCount = 0;
    float maxScreenSize = 0;
    static W3DHLodSubObjectArrayHeader Read(ByteReader& reader);
};

struct W3DHLodSubObject
{
    static constexpr size_t Size = 36;
    std::uint32_t boneIndex = 0;
    std::string name;
    static W3DHLodSubObject Read(ByteReader& reader);
};

struct W3DShaderMaterialHeader
{
    static constexpr size_t Size = 37;
    std::uint8_t number = 0;
    std::string typeName;
    static W3DShaderMaterialHeader Read(ByteReader& reader);
};

/// One named setting of a shader material (such as its "DiffuseTexture"). Its length follows
/// from its name and its type; Read takes the whole payload.
struct W3DShaderMaterialProperty
{
    enum Type : std::uint32_t { Texture = 1, Float, Vector2, Vector3, Vector4, Int, Bool };
    static constexpr size_t MinimumSize = 8;
    std::uint32_t type = 0;
    std::string name;
    std::string texture;          ///< Texture: the texture's name
    std::array<float, 4> values{}; ///< Float to Vector4: their components
    std::uint32_t integer = 0;    ///< Int and Bool
    static W3DShaderMaterialProperty Read(ByteReader& reader);
};

} // namespace kestrel

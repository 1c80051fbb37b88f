#pragma once

#include "w3d/C3DWMesh.h"
#include "w3d/W3DModelAssembly.h"

#include <array>
#include <memory>
#include <span>
#include <string>

namespace kestrel {

class C3DWDevice;
class CBIGFile;
class CQuartoDoc;
struct W3DAnimation;

/// A ".w3d" entry made ready for the preview pane: the mesh (empty when the load failed), the
/// model extent for the camera and what the assembly found.
struct W3DPreviewModel
{
    std::unique_ptr<C3DWMesh> mesh;
    float extent = 0;
    W3DModelSummary summary;
};

/// The model preview's load: a new mesh on `device`, textures found through a W3DTextureFinder
/// over the document's archive, its game texture archives and its installation folder (only
/// while the model is assembled), the skeleton looked up in the document's archive.
/// `texturePrefix` is joined in front of every texture name (the preview passes none).
/// With `animation` the model is posed in each of its frames (C3DWMesh::SetFrameIndex shows one).
W3DPreviewModel LoadW3DPreviewModel(C3DWDevice& device, CQuartoDoc& document, std::span<const std::uint8_t> bytes,
                                    const std::string& texturePrefix, bool texturesEnabled,
                                    const W3DAnimation* animation = nullptr);

/// What the preview shows of a loaded model, for the status bar: meshes, triangles, the textures
/// found and missing, and a skeleton that was looked for in vain.
std::string ModelStatusText(const W3DPreviewModel& model);

using ModelFileReader = std::function<std::optional<std::vector<std::uint8_t>>(const std::string&)>;

/// Reads whole entries of `archive` by name (regardless of case) for the assembly's skeleton
/// lookup. The archive must outlive the returned function.
ModelFileReader ArchiveEntryReader(CBIGFile& archive);

/// Reads a model file (a skeleton) by its entry name where the game may keep it: in each of
/// `archives` in turn (null or unopened ones hold nothing), then as a file below `installFolder`
/// (regardless of case). The archives must outlive the returned function.
ModelFileReader GameModelFileReader(std::array<CBIGFile*, 3> archives, std::string installFolder);

/// GameModelFileReader over the document's archive, its game texture archives and its game's
/// installation folder. The document must outlive the returned function.
ModelFileReader DocumentModelFileReader(CQuartoDoc& document);

} // namespace kestrel

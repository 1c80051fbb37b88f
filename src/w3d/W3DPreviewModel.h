#pragma once

#include "w3d/C3DWMesh.h"
#include "w3d/W3DModelAssembly.h"

#include <memory>
#include <span>
#include <string>

namespace kestrel {

class C3DWDevice;
class CBIGFile;
class CQuartoDoc;

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
W3DPreviewModel LoadW3DPreviewModel(C3DWDevice& device, CQuartoDoc& document, std::span<const std::uint8_t> bytes,
                                    const std::string& texturePrefix, bool texturesEnabled);

/// Reads whole entries of `archive` by name (regardless of case) for the assembly's skeleton
/// lookup. The archive must outlive the returned function.
std::function<std::optional<std::vector<std::uint8_t>>(const std::string&)> ArchiveEntryReader(CBIGFile& archive);

} // namespace kestrel

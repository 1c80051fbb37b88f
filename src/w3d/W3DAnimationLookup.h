#pragma once

#include "w3d/W3DAnimation.h"
#include "w3d/W3DPreviewModel.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

class CBIGFile;

/// A model file found for a hierarchy, by its entry name.
struct FoundModelFile
{
    std::string entry;
    std::vector<std::uint8_t> bytes;
};

/// The model an animation's hierarchy belongs to: the skeleton's own file when it holds meshes
/// (Generals keeps model and skeleton in one file), else the file named after the skeleton
/// without its "_SKL" ending (Battle for Middle-earth's EUTWIN1_SKL belongs to EUTWIN1), each
/// looked up where skeletons are. Nullopt when neither exists or holds meshes.
std::optional<FoundModelFile> FindModelForHierarchy(const ModelFileReader& read, const std::string& hierarchyName);

/// An animation entry of an archive.
struct ArchiveAnimation
{
    std::string entry;
    W3DAnimation animation;
};

/// The animations in `archive` that move `hierarchyName`: ".w3d" entries below "art\w3d\" whose
/// file name starts like the hierarchy's (without "_SKL"), as the games name them, and whose
/// animation targets that hierarchy. Damaged animations are left out.
std::vector<ArchiveAnimation> FindAnimationsForHierarchy(CBIGFile& archive, const std::string& hierarchyName);

} // namespace kestrel

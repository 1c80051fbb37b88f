#pragma once

#include "w3d/Matrix4.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

class W3DChunk;

/// How one channel of an animation moves one pivot: a translation along an axis, a turn about an
/// axis (radians) or a whole rotation (quaternion x, y, z, w), given as keys at frames.
struct W3DAnimationChannel
{
    enum class Kind { X, Y, Z, XRotation, YRotation, ZRotation, Quaternion };
    Kind kind = Kind::X;
    std::uint16_t pivot = 0;
    /// 1, or 4 for a quaternion.
    int vectorLength = 1;
    /// Keys in frame order: the frame of each key, whether the value jumps there instead of
    /// gliding from the key before, and vectorLength values per key.
    std::vector<std::uint32_t> keyFrames;
    std::vector<bool> jumps;
    std::vector<float> values;

    /// The channel's value at `frame`: the nearest key's before the first and after the last,
    /// otherwise linear between the keys around it (spherical for a quaternion).
    std::array<float, 4> Sample(float frame) const;
};

/// The first animation of a W3D file, uncompressed or compressed (time-coded channels and motion
/// channels), with the channels Kestrel can play.
struct W3DAnimation
{
    std::string name;
    std::string hierarchyName;
    std::uint32_t frameCount = 0;
    float frameRate = 0;
    bool compressed = false;
    std::vector<W3DAnimationChannel> channels;
    /// Channels kept in encodings that are not played (adaptive delta, visibility).
    size_t unplayedChannels = 0;

    /// The pivots' local transforms at `frame`: each pivot's own transform (`base`) with the
    /// animation's translation and then its rotation applied first, in the pivot's own frame.
    std::vector<Matrix4> Pose(const std::vector<Matrix4>& base, float frame) const;
};

/// The first animation in `root`'s top-level chunks, or nullopt when the file holds none. Throws
/// W3DChunkError when the animation is damaged: a header or channel shorter than its layout,
/// keys beyond the channel, a quaternion channel without four values per key, a frame rate of 0.
std::optional<W3DAnimation> ReadW3DAnimation(const W3DChunk& root);

/// A file's first animation, or why it could not be read.
struct W3DAnimationLoad
{
    std::optional<W3DAnimation> animation; ///< none when the file holds none or is damaged
    std::string error;                     ///< empty unless the file is damaged
};

/// Parses `bytes` and reads their first animation. Never throws: damage is reported in `error`.
W3DAnimationLoad LoadW3DAnimation(std::span<const std::uint8_t> bytes);

} // namespace kestrel

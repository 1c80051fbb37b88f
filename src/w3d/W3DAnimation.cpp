#include "w3d/W3DAnimation.h"

#include "w3d/W3DReadHelpers.h"
#include "w3d/W3DTypedChunks.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace kestrel {
using namespace w3dread;

namespace {

using Kind = W3DAnimationChannel::Kind;

[[noreturn]] void Damaged(const char* why)
{
    throw W3DChunkError(std::string("damaged W3D animation: ") + why);
}

/// The kind a channel's type code names, or nullopt for codes Kestrel does not play.
std::optional<Kind> KindOf(std::uint32_t code)
{
    if (code > static_cast<std::uint32_t>(Kind::Quaternion))
        return std::nullopt;
    return static_cast<Kind>(code);
}

void CheckVectorLength(const W3DAnimationChannel& channel)
{
    const int expected = channel.kind == Kind::Quaternion ? 4 : 1;
    if (channel.vectorLength != expected)
        Damaged("a channel's values do not fit its kind");
}

/// Keys of a damaged file may hold any four numbers: as rotations they must have unit length, or
/// the model would be scaled and sheared. What cannot be a rotation turns nothing.
void NormalizeQuaternions(std::vector<float>& values)
{
    for (size_t key = 0; key + 4 <= values.size(); key += 4) {
        float* q = values.data() + key;
        const float length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
        if (std::isfinite(length) && length > 1e-6f) {
            for (int i = 0; i < 4; ++i)
                q[i] /= length;
        } else {
            q[0] = q[1] = q[2] = 0;
            q[3] = 1;
        }
    }
}

void ReadValues(ByteReader& reader, W3DAnimationChannel& channel, size_t keys)
{
    if (keys * static_cast<size_t>(channel.vectorLength) > reader.Remaining() / 4)
        Damaged("a channel's keys run past its chunk");
    channel.values.reserve(keys * static_cast<size_t>(channel.vectorLength));
    for (size_t i = 0; i < keys * static_cast<size_t>(channel.vectorLength); ++i)
        channel.values.push_back(F32(reader));
    if (channel.kind == Kind::Quaternion)
        NormalizeQuaternions(channel.values);
}

/// Uncompressed: one key on every frame from the first to the last.
std::optional<W3DAnimationChannel> ReadFullChannel(const std::vector<std::uint8_t>& payload)
{
    ByteReader reader(payload);
    W3DAnimationChannel channel;
    const std::uint16_t first = U16(reader);
    const std::uint16_t last = U16(reader);
    channel.vectorLength = U16(reader);
    const std::uint16_t type = U16(reader);
    channel.pivot = U16(reader);
    U16(reader); // padding
    const auto kind = KindOf(type);
    if (!kind)
        return std::nullopt;
    channel.kind = *kind;
    CheckVectorLength(channel);
    if (last < first)
        Damaged("a channel ends before it starts");
    const size_t keys = size_t{last} - first + 1;
    for (size_t frame = first; frame <= last; ++frame)
        channel.keyFrames.push_back(static_cast<std::uint32_t>(frame));
    channel.jumps.assign(keys, false);
    ReadValues(reader, channel, keys);
    return channel;
}

void CheckKeyOrder(const W3DAnimationChannel& channel)
{
    if (!std::is_sorted(channel.keyFrames.begin(), channel.keyFrames.end()))
        Damaged("a channel's keys are out of order");
}

/// Time-coded: 32-bit frame numbers whose top bit marks a jump, then the values.
std::optional<W3DAnimationChannel> ReadTimeCodedChannel(const std::vector<std::uint8_t>& payload)
{
    ByteReader reader(payload);
    W3DAnimationChannel channel;
    const std::uint32_t keys = U32(reader);
    channel.pivot = U16(reader);
    channel.vectorLength = U8(reader);
    const auto kind = KindOf(U8(reader));
    if (!kind)
        return std::nullopt;
    channel.kind = *kind;
    CheckVectorLength(channel);
    if (keys > reader.Remaining() / 4)
        Damaged("a channel's keys run past its chunk");
    for (std::uint32_t i = 0; i < keys; ++i) {
        const std::uint32_t code = U32(reader);
        channel.keyFrames.push_back(code & 0x7FFFFFFFu);
        channel.jumps.push_back((code & 0x80000000u) != 0);
    }
    CheckKeyOrder(channel);
    ReadValues(reader, channel, keys);
    return channel;
}

/// Motion channels: 16-bit frame numbers, padded to whole 32-bit words, then the values. Other
/// encodings than time codes (adaptive deltas) are not played.
std::optional<W3DAnimationChannel> ReadMotionChannel(const std::vector<std::uint8_t>& payload)
{
    ByteReader reader(payload);
    W3DAnimationChannel channel;
    U8(reader); // always zero
    const std::uint8_t encoding = U8(reader);
    channel.vectorLength = U8(reader);
    const auto kind = KindOf(U8(reader));
    const std::uint16_t keys = U16(reader);
    channel.pivot = U16(reader);
    if (encoding != 0 || !kind)
        return std::nullopt;
    channel.kind = *kind;
    CheckVectorLength(channel);
    for (std::uint16_t i = 0; i < keys; ++i)
        channel.keyFrames.push_back(U16(reader));
    if (keys % 2 != 0)
        U16(reader);
    channel.jumps.assign(keys, false);
    CheckKeyOrder(channel);
    ReadValues(reader, channel, keys);
    return channel;
}

template <class Node, class Reader>
void ReadChannels(const W3DChunk& animation, W3DAnimation& result, Reader read)
{
    for (size_t i = 0; const auto* chunk = animation.FindChild<Node>(i); ++i) {
        auto channel = read(chunk->Get());
        if (channel && !channel->keyFrames.empty())
            result.channels.push_back(std::move(*channel));
        else
            ++result.unplayedChannels;
    }
}

/// Reads the header into `result`; returns the encoding of a compressed animation's channels
/// (0 for time codes).
std::uint16_t ReadHeader(const std::vector<std::uint8_t>& payload, W3DAnimation& result, bool compressed)
{
    std::uint16_t encoding = 0;
    ByteReader reader(payload);
    U32(reader); // version
    result.name = FixedString(reader, 16);
    result.hierarchyName = FixedString(reader, 16);
    result.frameCount = U32(reader);
    if (compressed) {
        result.frameRate = U16(reader);
        encoding = U16(reader);
    } else {
        result.frameRate = static_cast<float>(U32(reader));
    }
    result.compressed = compressed;
    if (!(result.frameRate > 0))
        Damaged("a frame rate of 0");
    return encoding;
}

std::array<float, 4> QuaternionSlerp(const float* a, const float* b, float t)
{
    float dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    // The shorter way round: q and -q are the same rotation.
    const float sign = dot < 0 ? -1.0f : 1.0f;
    dot *= sign;
    float wa = 1 - t, wb = t;
    if (dot < 0.9995f) {
        const float angle = std::acos(std::clamp(dot, -1.0f, 1.0f));
        wa = std::sin((1 - t) * angle) / std::sin(angle);
        wb = std::sin(t * angle) / std::sin(angle);
    }
    std::array<float, 4> q{};
    float length = 0;
    for (size_t i = 0; i < 4; ++i) {
        q[i] = wa * a[i] + wb * sign * b[i];
        length += q[i] * q[i];
    }
    length = std::sqrt(length);
    if (length > 0)
        for (auto& c : q)
            c /= length;
    return q;
}

std::array<float, 4> AxisTurn(Kind kind, float angle)
{
    const float s = std::sin(angle / 2), c = std::cos(angle / 2);
    switch (kind) {
    case Kind::XRotation: return {s, 0, 0, c};
    case Kind::YRotation: return {0, s, 0, c};
    default: return {0, 0, s, c};
    }
}

std::array<float, 4> Multiply(const std::array<float, 4>& a, const std::array<float, 4>& b)
{
    // The rotation b followed by a, in quaternion product order a * b.
    return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1],
            a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
            a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3],
            a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

} // namespace

std::array<float, 4> W3DAnimationChannel::Sample(float frame) const
{
    std::array<float, 4> out{0, 0, 0, 1};
    const auto length = static_cast<size_t>(vectorLength);
    const auto copyKey = [&](size_t key) {
        std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(key * length), length, out.begin());
        return out;
    };
    if (keyFrames.empty())
        return out;
    const auto next = std::upper_bound(keyFrames.begin(), keyFrames.end(), frame,
                                       [](float f, std::uint32_t key) { return f < static_cast<float>(key); });
    if (next == keyFrames.begin())
        return copyKey(0);
    if (next == keyFrames.end())
        return copyKey(keyFrames.size() - 1);
    const auto b = static_cast<size_t>(next - keyFrames.begin());
    const size_t a = b - 1;
    if (jumps[b])
        return copyKey(a);
    const float t = (frame - static_cast<float>(keyFrames[a])) / static_cast<float>(keyFrames[b] - keyFrames[a]);
    const float* va = values.data() + a * length;
    const float* vb = values.data() + b * length;
    if (kind == Kind::Quaternion)
        return QuaternionSlerp(va, vb, t);
    out[0] = va[0] + (vb[0] - va[0]) * t;
    return out;
}

std::vector<Matrix4> W3DAnimation::Pose(const std::vector<Matrix4>& base, float frame) const
{
    std::vector<std::array<float, 3>> translations(base.size(), {0, 0, 0});
    std::vector<std::array<float, 4>> rotations(base.size(), {0, 0, 0, 1});
    for (const auto& channel : channels) {
        if (channel.pivot >= base.size())
            continue;
        const auto value = channel.Sample(frame);
        auto& rotation = rotations[channel.pivot];
        switch (channel.kind) {
        case Kind::X:
        case Kind::Y:
        case Kind::Z: translations[channel.pivot][static_cast<size_t>(channel.kind)] = value[0]; break;
        case Kind::Quaternion: rotation = value; break;
        default: rotation = Multiply(rotation, AxisTurn(channel.kind, value[0])); break;
        }
    }
    std::vector<Matrix4> pose;
    pose.reserve(base.size());
    for (size_t i = 0; i < base.size(); ++i) {
        const auto& t = translations[i];
        pose.push_back(Matrix4::FromRotationTranslation(rotations[i], t[0], t[1], t[2]).Then(base[i]));
    }
    return pose;
}

std::optional<W3DAnimation> ReadW3DAnimation(const W3DChunk& root)
{
    for (const auto& chunk : root.Children()) {
        const bool compressed = chunk->Id() == W3D_CHUNK_COMPRESSED_ANIMATION;
        if (chunk->Id() != W3D_CHUNK_ANIMATION && !compressed)
            continue;
        W3DAnimation animation;
        if (compressed) {
            const auto* header = chunk->FindChild<W3DCompressedAnimationHeaderChunk>();
            if (!header)
                Damaged("no header");
            const bool timeCoded = ReadHeader(header->Get(), animation, true) == 0;
            ReadChannels<W3DCompressedAnimationChannelChunk>(*chunk, animation, [timeCoded](const auto& payload) {
                // Adaptive-delta channels are not played.
                return timeCoded ? ReadTimeCodedChannel(payload) : std::nullopt;
            });
            ReadChannels<W3DMotionChannelChunk>(*chunk, animation, [](const auto& p) { return ReadMotionChannel(p); });
        } else {
            const auto* header = chunk->FindChild<W3DAnimationHeaderChunk>();
            if (!header)
                Damaged("no header");
            ReadHeader(header->Get(), animation, false);
            ReadChannels<W3DAnimationChannelChunk>(*chunk, animation, [](const auto& p) { return ReadFullChannel(p); });
        }
        return animation;
    }
    return std::nullopt;
}

W3DAnimationLoad LoadW3DAnimation(std::span<const std::uint8_t> bytes)
{
    W3DAnimationLoad load;
    try {
        load.animation = ReadW3DAnimation(*W3DChunk::ParseFile(bytes));
    } catch (const W3DChunkError& error) {
        load.error = error.what();
    } catch (const std::bad_alloc&) {
        load.error = "out of memory";
    }
    return load;
}

} // namespace kestrel

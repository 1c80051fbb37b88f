#include "base/ByteReader.h"

#include <gtest/gtest.h>

#include <array>

using kestrel::ByteReader;

TEST(ByteReader, ReadsBothByteOrdersAndAFailedReadLeavesThePositionAndDeliversNothing)
{
    const std::array<std::uint8_t, 10> bytes{0x00, 0x00, 0x00, 0x26, 0x29, 0x00, 0x00, 0x00, 0x34, 0x12};
    ByteReader reader(bytes);
    EXPECT_EQ(reader.ReadU32BE(), 38u);
    EXPECT_EQ(reader.ReadU32LE(), 41u);
    EXPECT_FALSE(reader.ReadU32LE());
    EXPECT_FALSE(reader.ReadBytes(3));
    EXPECT_FALSE(reader.Skip(3));
    EXPECT_EQ(reader.Position(), 8u);
    EXPECT_EQ(reader.ReadU16LE(), 0x1234);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ByteReader, CStringNeedsItsTerminatorWithinTheLimit)
{
    const std::array<std::uint8_t, 9> bytes{'a', 'b', 'c', 0, 'd', 'e', 'f', 'g', 'h'};
    ByteReader reader(bytes);
    EXPECT_FALSE(reader.ReadCString(2)) << "terminator beyond the limit";
    EXPECT_EQ(reader.ReadCString(3), "abc");
    EXPECT_EQ(reader.Position(), 4u);
    EXPECT_FALSE(reader.ReadCString(100)) << "no terminator before the end";
    EXPECT_EQ(reader.Position(), 4u);
    EXPECT_FALSE(ByteReader(std::span<const std::uint8_t>{}).ReadCString(10)) << "an empty input";
}

#include "OpenGLTestSupport.h"

#include "render/opengl/COGLTexture.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct LevelSize
{
    int width, height;
    bool operator==(const LevelSize&) const = default;
};

std::vector<LevelSize> LevelSizes(const C3DWTexture& texture)
{
    const auto& own = dynamic_cast<const COGLTexture&>(texture);
    glBindTexture(GL_TEXTURE_2D, own.Name());
    std::vector<LevelSize> sizes;
    for (int level = 0; level < own.LevelCount(); ++level) {
        LevelSize size{};
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &size.width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &size.height);
        sizes.push_back(size);
    }
    return sizes;
}

// One level's texels as 0xAARRGGBB, top row first.
std::vector<std::uint32_t> LevelPixels(const C3DWTexture& texture, int level)
{
    glBindTexture(GL_TEXTURE_2D, dynamic_cast<const COGLTexture&>(texture).Name());
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width * height));
    glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Colours that name their source position.
std::vector<std::uint32_t> NumberedColours(int width, int height)
{
    std::vector<std::uint32_t> colours;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            colours.push_back(0xFF000000u | static_cast<std::uint32_t>(16 * y + x));
    return colours;
}

GLint TextureParameter(GLenum parameter)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

} // namespace

using COGLTextureTest = OpenGLTest;

TEST_F(COGLTextureTest, FirstUploadMakesPowerOfTwoLevelsDownToOneTexelHigh)
{
    auto texture = m_device->CreateTexture(100, 60, TextureFormat::B8G8R8A8);
    const std::vector<std::uint8_t> pixels(100 * 60 * 4, 0x40);
    ASSERT_TRUE(texture->SetData(pixels.data(), -1, -1, -1, -1, -1));
    EXPECT_EQ(LevelSizes(*texture), (std::vector<LevelSize>{{128, 64}, {64, 32}, {32, 16}, {16, 8}, {8, 4}, {4, 2},
                                                            {2, 1}}));
    int sourceWidth = 0;
    texture->GetSourceDesc(&sourceWidth, nullptr, nullptr, nullptr);
    EXPECT_EQ(sourceWidth, 100);

    auto single = m_device->CreateTexture(1, 1, TextureFormat::B8G8R8A8);
    ASSERT_TRUE(single->SetData(pixels.data(), -1, -1, -1, -1, -1));
    EXPECT_EQ(LevelSizes(*single), (std::vector<LevelSize>{{1, 1}}));
}

TEST_F(COGLTextureTest, EveryLevelIsSampledFromTheSource)
{
    auto texture = m_device->CreateTexture(3, 3, TextureFormat::B8G8R8A8);
    const auto colours = NumberedColours(3, 3);
    ASSERT_TRUE(texture->SetData(colours.data(), -1, -1, -1, -1, -1));
    // 3 source columns over 4 texels: 0, 1, 2, 2; over 2 texels: 0, 2.
    const std::uint32_t c = 0xFF000000;
    EXPECT_EQ(LevelPixels(*texture, 0), (std::vector<std::uint32_t>{c | 0x00, c | 0x01, c | 0x02, c | 0x02,
                                                                    c | 0x10, c | 0x11, c | 0x12, c | 0x12,
                                                                    c | 0x20, c | 0x21, c | 0x22, c | 0x22,
                                                                    c | 0x20, c | 0x21, c | 0x22, c | 0x22}));
    EXPECT_EQ(LevelPixels(*texture, 1), (std::vector<std::uint32_t>{c | 0x00, c | 0x02, c | 0x20, c | 0x22}));
    EXPECT_EQ(LevelPixels(*texture, 2), (std::vector<std::uint32_t>{c | 0x00}));
}

TEST_F(COGLTextureTest, SubRectangleUpdatesOnlyItsTexels)
{
    auto texture = m_device->CreateTexture(2, 2, TextureFormat::B8G8R8);
    ASSERT_TRUE(texture->SetData(PixelsIn(TextureFormat::B8G8R8, {kRed, kRed, kRed, kRed}).data(), -1, -1, -1, -1, -1));
    const auto blue = PixelsIn(TextureFormat::B8G8R8, {kBlue});
    ASSERT_TRUE(texture->SetData(blue.data(), 1, 0, 1, 1, -1));
    EXPECT_EQ(LevelPixels(*texture, 0), (std::vector<std::uint32_t>{kRed, kBlue, kRed, kRed}));

    EXPECT_FALSE(texture->SetData(blue.data(), 1, 1, 2, 1, -1));
    EXPECT_FALSE(texture->SetData(blue.data(), -2, 0, 1, 1, -1));
    EXPECT_FALSE(texture->SetData(blue.data(), 0, 0, 2, 2, 3)) << "a pitch shorter than a row";
    EXPECT_FALSE(texture->SetData(nullptr, -1, -1, -1, -1, -1));
}

TEST_F(COGLTextureTest, StageAndFilterChecks)
{
    auto texture = m_device->CreateTexture(2, 2, TextureFormat::R8G8B8A8);
    EXPECT_TRUE(m_device->SetTexture(1, texture.get()));
    EXPECT_FALSE(m_device->SetTexture(8, texture.get()));
    EXPECT_FALSE(m_device->SetTexture(-1, nullptr));

    ASSERT_TRUE(m_device->SetTexture(0, texture.get()));
    ASSERT_TRUE(m_device->SetTextureFilter(0, 0, 0, -1));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    ASSERT_TRUE(m_device->SetTextureFilter(0, 3, 1, 1));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST) << "min 3 leaves minification alone";
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    // A stage's stored filters follow every texture set on it.
    ASSERT_TRUE(m_device->SetTextureFilter(0, 2, 0, 0));
    auto other = m_device->CreateTexture(2, 2, TextureFormat::R8G8B8A8);
    ASSERT_TRUE(m_device->SetTexture(0, other.get()));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);

    RecreateDevice({"GL_ARB_multitexture"});
    auto single = m_device->CreateTexture(2, 2, TextureFormat::R8G8B8A8);
    EXPECT_TRUE(m_device->SetTexture(0, single.get()));
    EXPECT_FALSE(m_device->SetTexture(1, single.get()));
    EXPECT_FALSE(m_device->SetTextureFilter(1, 1, 1, 1));
}

// Every source format, with and without the driver's BGRA formats, reaches the screen in its
// colours and in its place.
class TextureFormatPaths : public OpenGLTest, public ::testing::WithParamInterface<std::tuple<TextureFormat, bool>>
{
};

TEST_P(TextureFormatPaths, TexturedQuadShowsTheSourceInPlace)
{
    const auto [format, bgra] = GetParam();
    if (!bgra)
        RecreateDevice({"GL_EXT_bgra"});
    ClearToBlack();

    auto texture = m_device->CreateTexture(2, 2, format);
    ASSERT_TRUE(texture->SetData(PixelsIn(format, {kRed, kGreen, kBlue, kWhite}).data(), -1, -1, -1, -1, -1));
    ASSERT_TRUE(m_device->SetTexture(0, texture.get()));
    DrawTexturedQuad(0, -1, 1, 1); // the right half
    EXPECT_EQ(PixelAt(kSize / 2 + 4, 4), kRed);
    EXPECT_EQ(PixelAt(kSize - 4, 4), kGreen);
    EXPECT_EQ(PixelAt(kSize / 2 + 4, kSize - 4), kBlue);
    EXPECT_EQ(PixelAt(kSize - 4, kSize - 4), kWhite);
    EXPECT_EQ(PixelAt(kSize / 2 - 1, 4), kBlack);

    TextureFormat uploaded{};
    texture->GetDesc(nullptr, nullptr, nullptr, &uploaded);
    // Blue-first data stays so only where the driver takes it; without, it travels converted.
    const bool blueFirst = format == TextureFormat::B8G8R8A8 || format == TextureFormat::B8G8R8;
    const bool threeBytes = format == TextureFormat::B8G8R8 || format == TextureFormat::R8G8B8;
    EXPECT_EQ(uploaded, blueFirst && bgra ? TextureFormat::B8G8R8A8
                        : threeBytes      ? TextureFormat::R8G8B8
                                          : TextureFormat::R8G8B8A8);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, TextureFormatPaths,
                         ::testing::Combine(::testing::Values(TextureFormat::R5G6B5, TextureFormat::B8G8R8,
                                                              TextureFormat::R8G8B8, TextureFormat::B8G8R8A8,
                                                              TextureFormat::R8G8B8A8),
                                            ::testing::Bool()));

#include "OpenGLTestSupport.h"

#include "CapturedDebugLines.h"

#include "render/TranslateVertexShaderToARB.h"
#include "w3d/C3DWMesh.h"

#include <cstring>

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr char kRedProgram[] = "!!ARBvp1.0\nPARAM red = {1, 0, 0, 1};\n"
                               "MOV result.position, vertex.position;\nMOV result.color, red;\nEND\n";
constexpr char kGreenProgram[] = "!!ARBvp1.0\nPARAM green = {0, 1, 0, 1};\n"
                                 "MOV result.position, vertex.position;\nMOV result.color, green;\nEND\n";

} // namespace

class COGLShaderTest : public OpenGLTest
{
protected:
    void DrawLowerLeftTriangle()
    {
        const float triangle[] = {-1, -1, 0, 1, -1, 0, -1, 1, 0};
        ASSERT_TRUE(m_device->DrawUserPositions(PrimitiveType::TriangleList, triangle, 3));
    }

    char m_error[512] = {};
};

TEST_F(COGLShaderTest, TranslatedMeshShaderIsAcceptedAndLightsTheMesh)
{
    const std::string text(C3DWMesh::VertexShaderText());
    const std::string program = TranslateVertexShaderToARB(text);
    auto shader = m_device->CreateVertexShader(0, text.c_str(), program.c_str(), m_error, sizeof m_error);
    ASSERT_NE(shader, nullptr) << m_error;
    std::vector<char> source(program.size() + 1);
    ASSERT_TRUE(shader->GetSource(source.data(), static_cast<int>(source.size())));
    EXPECT_EQ(std::string(source.data()), program) << "the shader keeps the program it was given";

    // Frame weights 1 and 0, identity transforms, light along +z in green.
    float constants[22][4] = {};
    constants[0][0] = constants[1][1] = constants[2][2] = constants[3][3] = 1;
    constants[4][0] = constants[5][1] = constants[6][2] = 1;
    constants[7][2] = 1;
    constants[8][1] = constants[8][3] = 1;
    for (float& weight : constants[20])
        weight = 1;
    ASSERT_TRUE(m_device->SetVertexShaderConstants(0, &constants[0][0], 22));
    ASSERT_TRUE(m_device->SetVertexShader(shader.get()));

    ClearToBlack();
    ASSERT_TRUE(m_device->SetVertexFormat(false, false, true, 3));
    struct Vertex
    {
        float position[3], normal[3], uv[3][2];
    };
    const Vertex triangle[] = {{{-1, -1, 0}, {0, 0, 1}, {}}, {{1, -1, 0}, {0, 0, 1}, {}}, {{-1, 1, 0}, {0, 0, 1}, {}}};
    ASSERT_TRUE(m_device->DrawUser(PrimitiveType::TriangleList, triangle, 3, sizeof(Vertex)));
    EXPECT_EQ(PixelAt(2, kSize - 3), kGreen);
    EXPECT_EQ(PixelAt(kSize - 3, 2), kBlack);
}

TEST_F(COGLShaderTest, DriverRejectionReachesTheCallersBuffer)
{
    EXPECT_EQ(m_device->CreateVertexShader(0, nullptr, "!!ARBvp1.0\nFOO r0;\nEND\n", m_error, sizeof m_error),
              nullptr);
    const std::string full = m_error;
    EXPECT_NE(full.find("line 2"), std::string::npos) << full;

    char small[10];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(m_device->CreateVertexShader(0, nullptr, "!!ARBvp1.0\nFOO r0;\nEND\n", small, sizeof small), nullptr);
    EXPECT_EQ(std::string(small), full.substr(0, 9));

    // Direct3D assembly is no ARB program: the untranslated mesh shader is refused.
    EXPECT_EQ(m_device->CreateVertexShader(0, nullptr, std::string(C3DWMesh::VertexShaderText()).c_str(), m_error, sizeof m_error), nullptr);
    EXPECT_NE(m_error[0], '\0');
}

TEST_F(COGLShaderTest, MissingTextOrExtensionIsExplained)
{
    const char* const noText = "pOGLARBVertexProgramString == NULL";
    EXPECT_EQ(CapturedDebugLines([&] {
                  EXPECT_EQ(m_device->CreateVertexShader(0, "vs.1.1", nullptr, m_error, sizeof m_error), nullptr);
                  EXPECT_STREQ(m_error, noText);
                  EXPECT_EQ(m_device->CreatePixelShader(0, "ps.1.1", nullptr, m_error, sizeof m_error), nullptr);
                  EXPECT_STREQ(m_error, noText);
              }),
              (std::vector<std::string>{noText, noText}));

    RecreateDevice({"GL_ARB_vertex_program", "GL_ARB_fragment_program"});
    const std::string noVertexPrograms =
        "No ARB_vertex_program extension available, try newer driver if your card supports Vertex Shaders";
    const std::string noFragmentPrograms =
        "No ARB_fragment_program extension available, try newer driver if your card supports Pixel Shaders";
    EXPECT_EQ(CapturedDebugLines([&] {
                  EXPECT_EQ(m_device->CreateVertexShader(0, nullptr, kRedProgram, m_error, sizeof m_error), nullptr);
                  EXPECT_EQ(m_error, noVertexPrograms);
                  EXPECT_EQ(m_device->CreatePixelShader(0, nullptr, "!!ARBfp1.0\nEND\n", m_error, sizeof m_error),
                            nullptr);
                  EXPECT_EQ(m_error, noFragmentPrograms);
              }),
              (std::vector<std::string>{noVertexPrograms, noFragmentPrograms}));

    int major = -1, minor = -1;
    EXPECT_FALSE(m_device->GetVertexShaderVersion(&major, &minor));
    EXPECT_EQ(major, 0);
    EXPECT_FALSE(m_device->GetPixelShaderVersion(&major, &minor));
    const float constant[4] = {};
    EXPECT_FALSE(m_device->SetVertexShaderConstants(0, constant, 1));
}

TEST_F(COGLShaderTest, CreatingAShaderKeepsTheOneInUse)
{
    auto red = m_device->CreateVertexShader(0, nullptr, kRedProgram, m_error, sizeof m_error);
    ASSERT_NE(red, nullptr) << m_error;
    ASSERT_TRUE(m_device->SetVertexShader(red.get()));
    auto green = m_device->CreateVertexShader(0, nullptr, kGreenProgram, m_error, sizeof m_error);
    ASSERT_NE(green, nullptr) << m_error;
    ClearToBlack();
    DrawLowerLeftTriangle();
    EXPECT_EQ(PixelAt(2, kSize - 3), kRed);

    // Deleting the shader in use returns to fixed-function processing (current colour black).
    red.reset();
    m_device->SetClearColor(kGreen);
    m_device->Clear(ClearColour | ClearDepth);
    DrawLowerLeftTriangle();
    EXPECT_EQ(PixelAt(2, kSize - 3), kBlack);
}

TEST_F(COGLShaderTest, PixelShaderTakesItsConstantsAsLocalParameters)
{
    int major = 0, minor = 0;
    ASSERT_TRUE(m_device->GetPixelShaderVersion(&major, &minor));
    EXPECT_EQ(major * 10 + minor, 11);
    auto shader = m_device->CreatePixelShader(0, nullptr, "!!ARBfp1.0\nMOV result.color, program.local[2];\nEND\n",
                                              m_error, sizeof m_error);
    ASSERT_NE(shader, nullptr) << m_error;
    ASSERT_TRUE(m_device->SetPixelShader(shader.get()));
    const float green[4] = {0, 1, 0, 1};
    ASSERT_TRUE(m_device->SetPixelShaderConstants(2, green, 1));
    ClearToBlack();
    DrawLowerLeftTriangle();
    EXPECT_EQ(PixelAt(2, kSize - 3), kGreen);
    ASSERT_TRUE(m_device->SetPixelShader(nullptr));
}

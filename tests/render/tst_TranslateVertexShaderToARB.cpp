#include "render/TranslateVertexShaderToARB.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrel;

namespace {

// The declaration lines of a translation, with their line ends.
std::string Declarations(const std::string& program)
{
    std::string declarations;
    for (size_t start = 0; start < program.size();) {
        const size_t end = program.find('\n', start) + 1;
        const std::string line = program.substr(start, end - start);
        if (line.starts_with("PARAM ") || line.starts_with("TEMP ") || line.starts_with("OUTPUT "))
            declarations += line;
        start = end;
    }
    return declarations;
}

} // namespace

TEST(TranslateVertexShaderToARB, TranslatesTheWorkedExampleLineForLine)
{
    const std::string source = "vs.1.1\n"
                               "dcl_position v0\n"
                               "dcl_texcoord0 v7\n"
                               "mul r1, v0, c20 // scale\n"
                               ";uv\n"
                               "mov oT0.xy, v7.xyxy\n"
                               "add oPos, c3, r1";
    EXPECT_EQ(TranslateVertexShaderToARB(source), "!!ARBvp1.0\n"
                                                  "PARAM c2 = program.env[2];\n"
                                                  "PARAM c3 = program.env[3];\n"
                                                  "PARAM c20 = program.env[20];\n"
                                                  "OUTPUT oT0 = result.texcoord[0];\n"
                                                  "TEMP r1;\n"
                                                  "OUTPUT oPos = result.position;\r\n"
                                                  "ATTRIB v0 = vertex.position;\n"
                                                  "ATTRIB v7 = vertex.texcoord[0];\n"
                                                  "MUL r1, v0, c20 ;# scale\n"
                                                  "#uv\n"
                                                  "MOV oT0.xy, v7.xyxy;\n"
                                                  "ADD oPos, c3, r1;\n"
                                                  "\n"
                                                  "END\n");
}

TEST(TranslateVertexShaderToARB, DeclaresRegistersBySubstringAndNoTemporaryAboveSeven)
{
    EXPECT_EQ(Declarations(TranslateVertexShaderToARB("vs.1.1\nmov r9, c20\n")),
              "PARAM c2 = program.env[2];\nPARAM c20 = program.env[20];\n");
    EXPECT_EQ(Declarations(TranslateVertexShaderToARB("vs.1.1\nadd r10, r1, v0\n")), "TEMP r1;\n");
    EXPECT_EQ(Declarations(TranslateVertexShaderToARB("vs.1.1\nmov oT7, c511\nmov oD1, oFog, oPts, oD0\n")),
              "PARAM c5 = program.env[5];\n"
              "PARAM c51 = program.env[51];\n"
              "PARAM c511 = program.env[511];\n"
              "OUTPUT oT7 = result.texcoord[7];\n"
              "OUTPUT oD0 = result.color;\r\n"
              "OUTPUT oD1 = result.color.secondary;\r\n"
              "OUTPUT oFog = result.fogcoord;\r\n"
              "OUTPUT oPts = result.pointsize;\r\n");
}

TEST(TranslateVertexShaderToARB, TranslatesLineByLine)
{
    const struct
    {
        const char* what;
        const char* source;
        const char* program;
    } cases[] = {
        {"registers mentioned only in comments are not declared", "vs.1.1\nmov oPos, v0 // c5 r2\n; oT3 c9\n",
         "!!ARBvp1.0\nOUTPUT oPos = result.position;\r\nMOV oPos, v0 ;# c5 r2\n# oT3 c9\n\nEND\n"},
        {"comments move behind the instruction in source order", "mov r0, r1 ; first // second\n;note\n//both;here\n",
         "MOV r0, r1 ;# first # second\n#note\n#both;here\n\nEND\n"},
        {"the opcode field runs to the first space, so tabs do not end it",
         "dp3\tr0, r1, c7\ndp3  r0, r1, c7\n   mov r0, r1\n", "DP3 R0, r1, c7;\nDP3 r0, r1, c7;\nmov r0, r1;\n\nEND\n"},
        {"declarations are rewritten by usage name",
         "dcl_COLOR v5\ndcl_normal v3\ndcl_texcoord v7\ndcl_blendweight v1\ndcl_position\n",
         "ATTRIB v5 = vertex.color;\nATTRIB v3 = vertex.normal;\nATTRIB v7 = vertex.texcoord[];\nATTRIB v1 = ;\n"
         "ATTRIB = vertex.position;\n\nEND\n"},
        {"without a header nothing is declared", "dcl_position v0\r\nmov oPos, c4\r\n",
         "ATTRIB v0 = vertex.position;\nMOV oPos, c4;\n\nEND\n"},
        {"an unterminated last line", "vs.1.0\r\n\r\nmov oPos, v0",
         "!!ARBvp1.0\nOUTPUT oPos = result.position;\r\n\nMOV oPos, v0;\n\nEND\n"},
        {"an empty source gives the end alone", "", "\nEND\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TranslateVertexShaderToARB(c.source), c.program) << c.what;
}

#include "render/TranslateVertexShaderToARB.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace kestrel {
namespace {

constexpr int kConstantRegisters = 512;
constexpr int kTextureOutputs = 8;
constexpr int kTemporaries = 8;

// The D3D line breaks are cut into lines the way getline does: a final line feed does not open
// another (empty) line, and an empty source has no lines at all.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void RemoveLineBreaks(std::string& line)
{
    std::erase(line, '\r');
    std::erase(line, '\n');
}

bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

// Which registers and outputs the program mentions outside comments. Deliberately a substring
// test: declaring an unused name is harmless in an ARB program, missing one is fatal.
struct RegisterUsage
{
    std::array<bool, kConstantRegisters> constants{};
    std::array<bool, kTextureOutputs> textureOutputs{};
    std::array<bool, kTemporaries> temporaries{};
    bool diffuse = false, specular = false, fog = false, pointSize = false, position = false;
};

RegisterUsage ScanUsage(const std::vector<std::string>& lines)
{
    std::string scan;
    for (std::string line : lines) {
        RemoveLineBreaks(line);
        const size_t comment = std::min(line.find("//"), line.find(';'));
        if (comment != std::string::npos)
            line.erase(comment);
        scan += line;
        scan += '\n';
    }

    RegisterUsage usage;
    auto mentions = [&scan](std::string_view prefix, int index) {
        std::string name(prefix);
        name += std::to_string(index);
        return Contains(scan, name);
    };
    for (int i = 0; i < kConstantRegisters; ++i)
        usage.constants[static_cast<size_t>(i)] = mentions("c", i);
    for (int i = 0; i < kTextureOutputs; ++i)
        usage.textureOutputs[static_cast<size_t>(i)] = mentions("oT", i);
    for (int i = 0; i < kTemporaries; ++i)
        usage.temporaries[static_cast<size_t>(i)] = mentions("r", i);
    usage.diffuse = Contains(scan, "oD0");
    usage.specular = Contains(scan, "oD1");
    usage.fog = Contains(scan, "oFog");
    usage.pointSize = Contains(scan, "oPts");
    usage.position = Contains(scan, "oPos");
    return usage;
}

std::string Declarations(const RegisterUsage& usage)
{
    std::string out;
    for (size_t i = 0; i < usage.constants.size(); ++i) {
        if (usage.constants[i])
            out += "PARAM c" + std::to_string(i) + " = program.env[" + std::to_string(i) + "];\n";
    }
    for (size_t i = 0; i < usage.textureOutputs.size(); ++i) {
        if (usage.textureOutputs[i])
            out += "OUTPUT oT" + std::to_string(i) + " = result.texcoord[" + std::to_string(i) + "];\n";
    }
    for (size_t i = 0; i < usage.temporaries.size(); ++i) {
        if (usage.temporaries[i])
            out += "TEMP r" + std::to_string(i) + ";\n";
    }
    // These five keep the CR LF ending of the text they were first written in.
    if (usage.diffuse)
        out += "OUTPUT oD0 = result.color;\r\n";
    if (usage.specular)
        out += "OUTPUT oD1 = result.color.secondary;\r\n";
    if (usage.fog)
        out += "OUTPUT oFog = result.fogcoord;\r\n";
    if (usage.pointSize)
        out += "OUTPUT oPts = result.pointsize;\r\n";
    if (usage.position)
        out += "OUTPUT oPos = result.position;\r\n";
    return out;
}

// Turns every `marker` of the line into '#' and moves the text from the first '#' on to the
// front of the comment, so several comments of one line keep their source order.
void MoveComments(std::string& line, std::string& comment, std::string_view marker)
{
    for (size_t at = line.find(marker); at != std::string::npos; at = line.find(marker)) {
        line[at] = '#';
        line.erase(at + 1, marker.size() - 1);
        const size_t hash = line.find('#');
        comment.insert(comment.begin(), line.begin() + static_cast<std::ptrdiff_t>(hash), line.end());
        line.erase(hash);
    }
}

bool ReplaceHeader(std::string& line)
{
    for (std::string_view header : {"vs.1.1", "vs.1.0"}) {
        const size_t at = line.find(header);
        if (at != std::string::npos) {
            line.replace(at, header.size(), "!!ARBvp1.0");
            return true;
        }
    }
    return false;
}

std::string AttributeBinding(const std::string& usage)
{
    if (usage == "position")
        return "vertex.position";
    if (usage == "color")
        return "vertex.color";
    if (usage == "normal")
        return "vertex.normal";
    if (Contains(usage, "texcoord"))
        return "vertex." + usage.substr(0, 8) + "[" + usage.substr(std::min<size_t>(8, usage.size())) + "]";
    return {};
}

// "dcl_<usage> <register>" becomes an ATTRIB line binding the register to the vertex input.
bool RewriteDeclaration(std::string& line)
{
    const size_t at = line.find("dcl_");
    if (at == std::string::npos)
        return false;
    const size_t space = line.find(' ', at);
    std::string usage = line.substr(at + 4, space == std::string::npos ? std::string::npos : space - at - 4);
    for (char& c : usage)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    std::string registerName;
    if (space != std::string::npos && line.find('v', space + 1) != std::string::npos) {
        const size_t end = line.find(' ', space + 1);
        registerName = line.substr(space + 1, end == std::string::npos ? std::string::npos : end - space - 1);
    }
    line = "ATTRIB " + registerName + " = " + AttributeBinding(usage);
    return true;
}

// The opcode field runs to the first space (a tab does not end it) and is upper-cased.
void UpperCaseOpcode(std::string& line)
{
    const size_t space = line.find(' ');
    if (space == std::string::npos)
        return;
    for (size_t i = 0; i < space; ++i) {
        const char c = line[i];
        line[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
}

void NormaliseWhiteSpace(std::string& line)
{
    std::replace(line.begin(), line.end(), '\t', ' ');
    for (size_t at = line.find("  "); at != std::string::npos; at = line.find("  "))
        line.erase(at, 1);
    const size_t first = line.find_first_not_of(' ');
    line.erase(0, first == std::string::npos ? line.size() : first);
}

} // namespace

std::string TranslateVertexShaderToARB(std::string source)
{
    const std::vector<std::string> lines = SplitLines(source);
    const std::string declarations = Declarations(ScanUsage(lines));

    std::string out;
    for (std::string line : lines) {
        std::string comment;
        RemoveLineBreaks(line);
        MoveComments(line, comment, "//");
        MoveComments(line, comment, ";");
        const bool header = ReplaceHeader(line);
        if (!header && !RewriteDeclaration(line))
            UpperCaseOpcode(line);
        NormaliseWhiteSpace(line);

        out += line;
        if (!line.empty() && !header)
            out += ';';
        out += comment;
        out += '\n';
        if (header)
            out += declarations;
    }
    out += "\nEND\n";
    return out;
}

} // namespace kestrel

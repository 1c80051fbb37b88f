#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kestrel::test {

/// The file's bytes as text; empty when it does not exist (yet), so a test can wait for a file
/// another process writes.
inline std::string ReadFileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace kestrel::test

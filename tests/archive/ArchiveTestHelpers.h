#pragma once

#include "archive/CBIGFile.h"
#include "base/ScopedFileSizeLimit.h"
#include "samples/BigArchiveBuilder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::test {

using namespace kestrel::samples;

/// Three entries: records at 16, 43 and 71, table length 85, data start 93 (BIGF), file length 112.
inline BigArchiveBuilder ThreeEntries()
{
    BigArchiveBuilder builder;
    builder.Add("art\\textures\\a.tga", "AAAA").Add("data\\ini\\object.ini", "Object X\nEnd\n").Add("z.txt", "zz");
    return builder;
}

/// Opens `path` made read-only. Root may write any file, so the open runs under an unprivileged
/// user id when the tests run as root.
template <typename Opener>
auto OpenReadOnly(const std::filesystem::path& path, Opener open)
{
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_read | perms::group_read | perms::others_read);
#ifdef _WIN32
    return open();
#else
    const bool root = geteuid() == 0 && seteuid(65534) == 0;
    auto result = open();
    if (root)
        (void)seteuid(0);
    return result;
#endif
}

/// Every entry's name and current bytes (DE AD when unreadable), in table order.
inline std::vector<std::pair<std::string, Bytes8>> Contents(CBIGFile& archive)
{
    std::vector<std::pair<std::string, Bytes8>> contents;
    for (int i = 0; i < archive.GetEntryCount(); ++i)
        contents.emplace_back(archive.GetEntryName(i), archive.GetEntryBytes(i).value_or(Bytes8{0xDE, 0xAD}));
    return contents;
}

} // namespace kestrel::test

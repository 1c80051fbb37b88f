#pragma once

#include "archive/CBIGFile.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::test {

/// A disk that fills up: while alive the process cannot grow any file beyond `limit` bytes and
/// a write past it fails instead of killing the process.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_old;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~ScopedFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

/// Root may write any file whatever its permissions, so a test that needs a read-only file runs
/// the open under an unprivileged user id.
class ScopedUnprivileged
{
public:
    ScopedUnprivileged() : m_wasRoot(geteuid() == 0)
    {
        if (m_wasRoot && seteuid(65534) != 0)
            m_wasRoot = false;
    }
    ~ScopedUnprivileged()
    {
        if (m_wasRoot)
            (void)seteuid(0);
    }
    ScopedUnprivileged(const ScopedUnprivileged&) = delete;
    ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

private:
    bool m_wasRoot;
};

inline void MakeReadOnly(const std::filesystem::path& path)
{
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
}

inline timespec ModificationTime(const std::filesystem::path& path)
{
    struct stat info{};
    stat(path.c_str(), &info);
    return info.st_mtim;
}

/// Every entry's name and current bytes (DE AD when unreadable), in table order.
inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Contents(CBIGFile& archive)
{
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> contents;
    for (int i = 0; i < archive.GetEntryCount(); ++i)
        contents.emplace_back(archive.GetEntryName(i), 
                              archive.GetEntryBytes(i).value_or(std::vector<std::uint8_t>{0xDE, 0xAD}));
    return contents;
}

} // namespace kestrel::test

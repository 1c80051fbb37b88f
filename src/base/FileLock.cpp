#include "base/FileLock.h"

#include "base/File.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrel {
namespace {

constexpr auto PollInterval = std::chrono::milliseconds(25);

#ifndef _WIN32
/// "kestrel-big, process 1234" for the process that holds a whole-file lock on the inode, from
/// the kernel's list of locks; empty when the system does not say.
std::string LockHolder(std::uint64_t inode)
{
    std::ifstream locks("/proc/locks");
    std::string line;
    const std::string inodeSuffix = ":" + std::to_string(inode);
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, advisory, access, pid, file;
        fields >> number >> kind;
        if (kind == "->")
            continue; // a process waiting for the lock, not holding it
        fields >> advisory >> access >> pid >> file;
        if (kind != "FLOCK" || !file.ends_with(inodeSuffix))
            continue;
        std::string name;
        std::ifstream comm("/proc/" + pid + "/comm");
        std::getline(comm, name);
        return (name.empty() ? "" : name + ", ") + "process " + pid;
    }
    return {};
}
#endif

} // namespace

FileLock::~FileLock()
{
    Release();
}

#ifdef _WIN32

bool FileLock::Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait)
{
    Release();
    m_error.clear();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return GetLastError() == ERROR_FILE_NOT_FOUND;
        // Byte-range locks on Windows keep others from reading the range, so the lock covers a
        // range far behind any archive's end, which nobody reads.
        OVERLAPPED at{};
        at.OffsetHigh = 0x7FFFFFFF;
        if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            m_handle = handle;
            return true;
        }
        CloseHandle(handle);
        if (std::chrono::steady_clock::now() >= deadline) {
            m_error = "another program is changing it; try again when it has finished";
            return false;
        }
        std::this_thread::sleep_for(PollInterval);
    }
}

void FileLock::Release()
{
    if (m_handle != nullptr)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
}

bool FileLock::IsHeld() const
{
    return m_handle != nullptr;
}

#else

bool FileLock::Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait)
{
    Release();
    m_error.clear();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT)
                return true;
            m_error = std::string("cannot lock it: ") + std::strerror(errno);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat locked{};
            const File::Identity named = IdentityOf(path);
            const bool same = ::fstat(fd, &locked) == 0 && named.inode == locked.st_ino &&
                              named.device == static_cast<std::uint64_t>(locked.st_dev);
            if (same) {
                m_fd = fd;
                return true;
            }
            ::close(fd); // replaced while we waited: lock the new file
            continue;
        }
        const int cause = errno;
        struct stat info{};
        const bool known = ::fstat(fd, &info) == 0;
        ::close(fd);
        if (cause != EWOULDBLOCK && cause != EINTR) {
            m_error = std::string("cannot lock it: ") + std::strerror(cause);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            const std::string holder = known ? LockHolder(static_cast<std::uint64_t>(info.st_ino)) : std::string();
            m_error = "another program is changing it" + (holder.empty() ? std::string() : " (" + holder + ")") +
                      "; try again when it has finished";
            return false;
        }
        std::this_thread::sleep_for(PollInterval);
    }
}

void FileLock::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool FileLock::IsHeld() const
{
    return m_fd >= 0;
}

#endif

} // namespace kestrel

#include "base/File.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrel {

File::~File()
{
    Close();
}

File::File(File&& other) noexcept
{
    *this = std::move(other);
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        Close();
#ifdef _WIN32
        m_handle = std::exchange(other.m_handle, nullptr);
#else
        m_fd = std::exchange(other.m_fd, -1);
#endif
        m_mode = other.m_mode;
        m_lastError = std::move(other.m_lastError);
    }
    return *this;
}

#ifdef _WIN32

void File::RecordError()
{
    m_lastError = std::system_category().message(static_cast<int>(GetLastError()));
}

bool File::Open(const std::filesystem::path& path, Mode mode)
{
    Close();
    const DWORD access = mode == Mode::ReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        RecordError();
        return false;
    }
    m_handle = handle;
    m_mode = mode;
    return true;
}

void File::Close()
{
    if (m_handle != nullptr)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
}

bool File::IsOpen() const
{
    return m_handle != nullptr;
}

bool File::ReadAt(std::uint64_t offset, void* buffer, size_t size)
{
    auto* out = static_cast<char*>(buffer);
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!ReadFile(static_cast<HANDLE>(m_handle), out, chunk, &done, &at)) {
            RecordError();
            return false;
        }
        if (done == 0) {
            m_lastError = "unexpected end of file";
            return false;
        }
        out += done;
        offset += done;
        size -= done;
    }
    return true;
}

bool File::WriteAt(std::uint64_t offset, const void* buffer, size_t size)
{
    const auto* in = static_cast<const char*>(buffer);
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!WriteFile(static_cast<HANDLE>(m_handle), in, chunk, &done, &at) || done == 0) {
            RecordError();
            return false;
        }
        in += done;
        offset += done;
        size -= done;
    }
    return true;
}

std::int64_t File::Length()
{
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(static_cast<HANDLE>(m_handle), &length)) {
        RecordError();
        return -1;
    }
    return length.QuadPart;
}

bool File::Sync()
{
    if (!FlushFileBuffers(static_cast<HANDLE>(m_handle))) {
        RecordError();
        return false;
    }
    return true;
}

bool File::Truncate(std::uint64_t length)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    if (!SetFileInformationByHandle(static_cast<HANDLE>(m_handle), FileEndOfFileInfo, &end, sizeof end)) {
        RecordError();
        return false;
    }
    return true;
}

namespace {

File::Identity IdentityFromHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return {};
    File::Identity identity;
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    identity.size = static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
    identity.modifiedNanoseconds =
        static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                  info.ftLastWriteTime.dwLowDateTime) * 100;
    return identity;
}

} // namespace

File::Identity File::CurrentIdentity()
{
    return m_handle ? IdentityFromHandle(static_cast<HANDLE>(m_handle)) : Identity{};
}

File::Identity IdentityOf(const std::filesystem::path& path)
{
    HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    const File::Identity identity = IdentityFromHandle(handle);
    CloseHandle(handle);
    return identity;
}

#else

void File::RecordError()
{
    m_lastError = std::strerror(errno);
}

bool File::Open(const std::filesystem::path& path, Mode mode)
{
    Close();
    const int flags = (mode == Mode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        RecordError();
        return false;
    }
    struct stat info{};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        m_lastError = S_ISDIR(info.st_mode) ? "is a folder" : std::strerror(errno);
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_mode = mode;
    return true;
}

void File::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool File::IsOpen() const
{
    return m_fd >= 0;
}

bool File::ReadAt(std::uint64_t offset, void* buffer, size_t size)
{
    auto* out = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t done = ::pread(m_fd, out, size, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                m_lastError = "unexpected end of file";
            else
                RecordError();
            return false;
        }
        out += done;
        offset += static_cast<std::uint64_t>(done);
        size -= static_cast<size_t>(done);
    }
    return true;
}

bool File::WriteAt(std::uint64_t offset, const void* buffer, size_t size)
{
    const auto* in = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t done = ::pwrite(m_fd, in, size, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            RecordError();
            return false;
        }
        in += done;
        offset += static_cast<std::uint64_t>(done);
        size -= static_cast<size_t>(done);
    }
    return true;
}

std::int64_t File::Length()
{
    struct stat info{};
    if (::fstat(m_fd, &info) != 0) {
        RecordError();
        return -1;
    }
    return info.st_size;
}

bool File::Sync()
{
    if (::fsync(m_fd) != 0) {
        RecordError();
        return false;
    }
    return true;
}

bool File::Truncate(std::uint64_t length)
{
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0) {
        RecordError();
        return false;
    }
    return true;
}

namespace {

File::Identity IdentityFromStat(const struct stat& info)
{
    File::Identity identity;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.inode = static_cast<std::uint64_t>(info.st_ino);
    identity.size = info.st_size;
    identity.modifiedNanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return identity;
}

} // namespace

File::Identity File::CurrentIdentity()
{
    struct stat info{};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) {
        RecordError();
        return {};
    }
    return IdentityFromStat(info);
}

File::Identity IdentityOf(const std::filesystem::path& path)
{
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return IdentityFromStat(info);
}

#endif

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* error)
{
    File file;
    const auto fail = [&] {
        if (error)
            *error = file.LastError();
        return false;
    };
    if (!file.Open(path, File::Mode::ReadOnly))
        return fail();
    const std::int64_t length = file.Length();
    if (length < 0)
        return fail();
    std::string content(static_cast<size_t>(length), '\0');
    if (!content.empty() && !file.ReadAt(0, content.data(), content.size()))
        return fail();
    bytes = std::move(content);
    return true;
}

} // namespace kestrel

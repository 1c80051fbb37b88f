#include "base/AtomicFile.h"

#include "base/File.h"
#include "base/TemporaryFiles.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrel {
namespace {

constexpr size_t BufferSize = 1 << 20;

std::string LastSystemError()
{
#ifdef _WIN32
    return std::system_category().message(static_cast<int>(GetLastError()));
#else
    return std::strerror(errno);
#endif
}

#ifdef _WIN32
/// Renames `from` over `to`. MoveFileEx refuses to replace a file that any handle has open, and
/// the writer's own program holds one: the lock that keeps other writers out (opened with
/// delete sharing for this). ReplaceFile swaps such a file out, its holders keeping the old
/// content; MoveFileEx stays for new files and for refusing to replace.
bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to, bool replace, bool writeThrough)
{
    if (replace && ReplaceFileW(to.c_str(), from.c_str(), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
        return true;
    const DWORD moveFlags = (replace ? MOVEFILE_REPLACE_EXISTING : 0) | (writeThrough ? MOVEFILE_WRITE_THROUGH : 0);
    return MoveFileExW(from.c_str(), to.c_str(), moveFlags) != 0;
}
#endif

/// The file a save really replaces: a symbolic link is followed (link by link, so relative links
/// count from their own folder), so the link stays and its target gets the new bytes.
std::filesystem::path FollowLinks(const std::filesystem::path& target)
{
    std::filesystem::path path = target;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error))
            return path;
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error)
            return path;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : m_target(std::move(target)), m_replaced(FollowLinks(m_target))
{
}

AtomicFileWriter::~AtomicFileWriter()
{
    Abandon();
}

bool AtomicFileWriter::Fail(const std::string& what)
{
    m_error = what + ": " + LastSystemError();
    return false;
}

bool AtomicFileWriter::Begin()
{
    Abandon();
    m_buffer.reserve(BufferSize);
    std::filesystem::path folder = m_replaced.parent_path();
    if (folder.empty())
        folder = ".";
    RemoveStaleTemporaryFiles(folder);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path candidate = NewTemporaryPath(folder);
        // Remembered before it exists, so no moment passes in which a signal could leave it behind.
        RememberTemporaryFile(candidate);
#ifdef _WIN32
        HANDLE handle = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            m_handle = handle;
            m_temporary = candidate;
            return true;
        }
        const bool taken = GetLastError() == ERROR_FILE_EXISTS;
#else
        // Keep the replaced file's permissions and owner, so a save does not change who may read
        // it. Only the owner or root may give a file away; a group the user belongs to still goes.
        mode_t permissions = 0666;
        struct stat info{};
        const bool replacing = ::stat(m_replaced.c_str(), &info) == 0;
        if (replacing)
            permissions = info.st_mode & 07777;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
        if (fd >= 0) {
            if (replacing) {
                if (::fchown(fd, info.st_uid, info.st_gid) != 0)
                    (void)::fchown(fd, static_cast<uid_t>(-1), info.st_gid);
            }
            if (permissions != 0666)
                (void)::fchmod(fd, permissions);
            m_fd = fd;
            m_temporary = candidate;
            return true;
        }
        const bool taken = errno == EEXIST;
        const int cause = errno;
#endif
        ForgetTemporaryFile(candidate);
        if (!taken) {
#ifndef _WIN32
            errno = cause;
#endif
            return Fail("cannot create a temporary file beside " + m_replaced.string());
        }
    }
    m_error = "cannot find a free temporary file name beside " + m_replaced.string();
    return false;
}

bool AtomicFileWriter::FlushBuffer()
{
    if (!WriteThrough(m_buffer.data(), m_buffer.size()))
        return false;
    m_buffer.clear();
    return true;
}

bool AtomicFileWriter::WriteThrough(const char* data, size_t remaining)
{
    while (remaining > 0) {
#ifdef _WIN32
        DWORD done = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(remaining, 0x40000000u));
        if (!WriteFile(static_cast<HANDLE>(m_handle), data, chunk, &done, nullptr) || done == 0)
            return Fail("cannot write " + m_temporary.string());
#else
        const ssize_t done = ::write(m_fd, data, remaining);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return Fail("cannot write " + m_temporary.string());
#endif
        data += done;
        remaining -= static_cast<size_t>(done);
        m_flushed += static_cast<std::uint64_t>(done);
    }
    return true;
}

bool AtomicFileWriter::Write(const void* bytes, size_t size)
{
    if (m_temporary.empty()) {
        m_error = "no temporary file is open";
        return false;
    }
    const auto* in = static_cast<const char*>(bytes);
    // Blocks at least as large as the buffer skip it: copying them first would only cost time.
    if (size >= BufferSize) {
        if (!FlushBuffer() || !WriteThrough(in, size))
            return false;
        m_written += size;
        return true;
    }
    while (size > 0) {
        const size_t room = BufferSize - m_buffer.size();
        const size_t take = std::min(room, size);
        m_buffer.insert(m_buffer.end(), in, in + take);
        in += take;
        size -= take;
        m_written += take;
        if (m_buffer.size() == BufferSize && !FlushBuffer())
            return false;
    }
    return true;
}

bool AtomicFileWriter::CopyFrom(File& source, std::uint64_t offset, std::uint64_t size)
{
    if (m_temporary.empty()) {
        m_error = "no temporary file is open";
        return false;
    }
    if (!FlushBuffer())
        return false;
#ifdef __linux__
    // The kernel copies between the files without passing the bytes through this process (or
    // shares the blocks, on file systems that can), which is what makes a save as fast as `cp`.
    auto from = static_cast<loff_t>(offset);
    std::uint64_t left = size;
    while (left > 0) {
        const ssize_t done = ::copy_file_range(source.Descriptor(), &from, m_fd, nullptr,
                                               static_cast<size_t>(std::min<std::uint64_t>(left, 1u << 30)), 0);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            break;
        left -= static_cast<std::uint64_t>(done);
        m_flushed += static_cast<std::uint64_t>(done);
        m_written += static_cast<std::uint64_t>(done);
    }
    if (left == 0)
        return true;
    // Not supported between these files (or the source ended early): copy what is left by hand,
    // which also finds a short source and reports it.
    offset += size - left;
    size = left;
#endif
    std::vector<char> chunk(static_cast<size_t>(std::min<std::uint64_t>(size, BufferSize)));
    while (size > 0) {
        const auto take = static_cast<size_t>(std::min<std::uint64_t>(size, chunk.size()));
        if (!source.ReadAt(offset, chunk.data(), take)) {
            m_error = "cannot read: " + source.LastError();
            return false;
        }
        if (!WriteThrough(chunk.data(), take))
            return false;
        m_written += take;
        offset += take;
        size -= take;
    }
    return true;
}

bool AtomicFileWriter::WriteZeros(size_t count)
{
    static const char zeros[4096] = {};
    while (count > 0) {
        const size_t take = std::min(count, sizeof zeros);
        if (!Write(zeros, take))
            return false;
        count -= take;
    }
    return true;
}

bool AtomicFileWriter::Commit()
{
    if (m_temporary.empty()) {
        m_error = "no temporary file is open";
        return false;
    }
    if (!FlushBuffer())
        return false;
#ifdef _WIN32
    if (m_syncOnCommit && !FlushFileBuffers(static_cast<HANDLE>(m_handle)))
        return Fail("cannot flush " + m_temporary.string());
    CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
    if (!RenameOver(m_temporary, m_replaced, m_replaceExisting, m_syncOnCommit)) {
        m_existedAlready = GetLastError() == ERROR_ALREADY_EXISTS;
        return Fail("cannot replace " + m_target.string());
    }
    ForgetTemporaryFile(m_temporary);
#else
    if (m_syncOnCommit && ::fsync(m_fd) != 0)
        return Fail("cannot flush " + m_temporary.string());
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        return Fail("cannot close " + m_temporary.string());
    const int renamed = m_replaceExisting ? ::rename(m_temporary.c_str(), m_replaced.c_str())
                                          : ::renameat2(AT_FDCWD, m_temporary.c_str(), AT_FDCWD, m_replaced.c_str(),
                                                        RENAME_NOREPLACE);
    if (renamed != 0) {
        m_existedAlready = errno == EEXIST;
        return Fail(m_existedAlready ? m_target.string() + " exists" : "cannot replace " + m_target.string());
    }
    ForgetTemporaryFile(m_temporary);
    if (!m_syncOnCommit) {
        m_temporary.clear();
        return true;
    }
    // Make the rename itself durable.
    std::filesystem::path folder = m_replaced.parent_path();
    if (folder.empty())
        folder = ".";
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
#endif
    m_temporary.clear();
    return true;
}

void AtomicFileWriter::Abandon()
{
#ifdef _WIN32
    if (m_handle != nullptr)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
#else
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
#endif
    if (!m_temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
        ForgetTemporaryFile(m_temporary);
        m_temporary.clear();
    }
    m_buffer.clear();
    m_written = 0;
    m_flushed = 0;
}

bool WriteWholeFileAtomically(const std::filesystem::path& target, const void* bytes, size_t size, bool sync,
                              std::string& error)
{
    AtomicFileWriter writer(target);
    writer.SetSyncOnCommit(sync);
    if (writer.Begin() && writer.Write(bytes, size) && writer.Commit())
        return true;
    error = writer.Error();
    return false;
}

} // namespace kestrel

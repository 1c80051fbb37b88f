#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace kestrel {

/// An advisory lock that every Kestrel program takes on an archive for the whole of a
/// read-modify-write, so two writers never work from the same old content and one of them loses
/// its changes. Readers do not lock. The lock belongs to the file, not to its name: a writer that
/// replaced the file by a new one (a whole save renames over it) leaves a lock on the old file
/// behind, so Acquire checks that the file it locked is still the one under the name.
class FileLock
{
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    /// Locks the file at `path`, waiting up to `wait` while another process holds it. True also
    /// when there is no file (nothing to protect yet). False with Error() saying who holds the
    /// lock when the system tells.
    bool Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait);
    void Release();
    bool IsHeld() const;

    const std::string& Error() const { return m_error; }

private:
    std::string m_error;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

} // namespace kestrel

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kestrel {

/// An open file with positional reads and writes (no shared file pointer, no stdio buffering).
/// Every operation reports success; the reason of the last failure is kept for messages.
class File
{
public:
    enum class Mode { ReadOnly, ReadWrite };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    /// Opens an existing file; others may keep reading and writing it meanwhile.
    bool Open(const std::filesystem::path& path, Mode mode);
    void Close();
    bool IsOpen() const;
    bool IsWritable() const { return IsOpen() && m_mode == Mode::ReadWrite; }

    /// Reads exactly `size` bytes at `offset`, or fails.
    bool ReadAt(std::uint64_t offset, void* buffer, size_t size);
    /// Writes exactly `size` bytes at `offset`, growing the file if needed, or fails.
    bool WriteAt(std::uint64_t offset, const void* buffer, size_t size);
    /// The current length, or -1 on failure.
    std::int64_t Length();
    /// Pushes written bytes to the storage device.
    bool Sync();
    /// Cuts the file (or grows it with zeros) to `length` bytes.
    bool Truncate(std::uint64_t length);
    /// What the file was when it was opened, to tell later whether another program replaced or
    /// changed it.
    struct Identity
    {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = -1;
        std::int64_t modifiedNanoseconds = 0;
        bool operator==(const Identity&) const = default;
    };
    /// The identity of the open file; size -1 on failure.
    Identity CurrentIdentity();
#ifndef _WIN32
    int Descriptor() const { return m_fd; }
#else
    void* Handle() const { return m_handle; }
#endif

    const std::string& LastError() const { return m_lastError; }

private:
    void RecordError();

#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
    Mode m_mode = Mode::ReadOnly;
    std::string m_lastError;
};

/// The identity of the file at `path` (links followed); size -1 when it does not exist.
File::Identity IdentityOf(const std::filesystem::path& path);

/// Reads a whole file into memory; false (with a reason) when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* error = nullptr);

} // namespace kestrel

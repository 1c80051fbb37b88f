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

/// Reads a whole file into memory; false (with a reason) when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* error = nullptr);

} // namespace kestrel

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrel {

class File;

/// Writes a file so that it is either wholly replaced or not touched at all: the bytes go to a
/// temporary file beside the target, which is flushed to disk and then renamed over the target.
/// A target that is a symbolic link is written through: the file it points to is replaced and
/// the link stays. The new file keeps the old one's permissions and, where the system allows,
/// its owner and group. Other hard links to the old file keep the old content.
/// Destroying the writer without a successful Commit removes the temporary file and leaves the
/// target as it was. Writes are buffered and sequential.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    /// Creates the temporary file. False (with Error()) when the folder cannot take it.
    bool Begin();
    bool Write(const void* bytes, size_t size);
    /// Appends `size` bytes of `source` from `offset`, letting the system copy them where it can.
    bool CopyFrom(File& source, std::uint64_t offset, std::uint64_t size);
    /// Appends `count` zero bytes.
    bool WriteZeros(size_t count);
    std::uint64_t BytesWritten() const { return m_written; }
    /// Flushes, syncs and renames over the target. After a failure the target is untouched.
    bool Commit();
    /// Without the sync, Commit still never shows a half-written file under the target's name,
    /// but a power cut may lose the new content. For bulk copies that must run at `cp` speed
    /// (extracting thousands of entries); saves of archives keep the default.
    void SetSyncOnCommit(bool sync) { m_syncOnCommit = sync; }
    /// With false, Commit fails (ExistedAlready() then tells) instead of replacing a target that
    /// exists by then, even one created while this writer was writing.
    void SetReplaceExisting(bool replace) { m_replaceExisting = replace; }
    bool ExistedAlready() const { return m_existedAlready; }
    /// Drops everything written so far; the target is untouched.
    void Abandon();

    const std::string& Error() const { return m_error; }
    const std::filesystem::path& TemporaryPath() const { return m_temporary; }

private:
    bool FlushBuffer();
    bool WriteThrough(const char* data, size_t size);
    bool Fail(const std::string& what);

    std::filesystem::path m_target;
    /// The file the rename replaces: the target with its links followed.
    std::filesystem::path m_replaced;
    std::filesystem::path m_temporary;
    std::vector<char> m_buffer;
    std::uint64_t m_written = 0;
    std::uint64_t m_flushed = 0;
    std::string m_error;
    bool m_syncOnCommit = true;
    bool m_replaceExisting = true;
    bool m_existedAlready = false;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

/// Writes a whole file in one go through AtomicFileWriter: the target is wholly replaced or left as
/// it was. False with the reason in `error`. `sync` waits until the bytes are on the disk.
bool WriteWholeFileAtomically(const std::filesystem::path& target, const void* bytes, size_t size, bool sync,
                              std::string& error);

} // namespace kestrel

// A second, read-only CBIGFile over the same archive, for work on another thread (searching
// contents) while the editor goes on changing its own.
#include "archive/CBIGFile.h"

namespace kestrel {

int CBIGFile::OpenCopyForReading(const CBIGFile& source)
{
    Close();
    m_lastError.clear();
    if (source.m_file.IsOpen() && !source.m_memoryImage) {
        // The copy reads the file by path; it must be the file the source's table describes.
        if (!m_file.Open(source.m_path, File::Mode::ReadOnly))
            return Fail("cannot open " + source.m_path.string() + ": " + m_file.LastError());
        if (m_file.CurrentIdentity() != source.m_identity) {
            m_file.Close();
            return Fail(source.m_path.string() + " changed on disk since it was read; open it again first");
        }
    }
    m_memoryImage = source.m_memoryImage;
    m_path = source.m_path;
    m_fileLength = source.m_fileLength;
    m_identity = source.m_identity;
    m_storedDataStart = source.m_storedDataStart;
    m_headerArchiveSize = source.m_headerArchiveSize;
    m_headerEntryCount = source.m_headerEntryCount;
    m_entries = source.m_entries;
    std::copy(std::begin(source.m_magic), std::end(source.m_magic), std::begin(m_magic));
    m_format = source.m_format;
    m_damaged = source.m_damaged;
    m_sortPending = source.m_sortPending;
    m_sortStamps = source.m_sortStamps;
    m_nextStamp = source.m_nextStamp;
    return 1;
}

} // namespace kestrel

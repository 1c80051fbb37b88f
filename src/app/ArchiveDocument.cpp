#include "app/ArchiveDocument.h"

#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/AppStrings.h"

#include "archive/CQuartoDoc.h"
#include "archive/IDocumentObserver.h"
#include "base/IPrompt.h"
#include "ini/IniObjectCache.h"
#include "w3d/DocumentTextureArchives.h"

#include <QFileInfo>

#include <utility>

namespace kestrel {

// The document's one observer: turns its notifications into the Qt signals the views follow,
// and relays the program-wide texture-archive requests to this document.
class ArchiveDocument::Observer : public IDocumentObserver
{
public:
    explicit Observer(ArchiveDocument& owner) : m_owner(owner) {}

    void OnDocumentUpdate(IDocumentObserver*) override { emit m_owner.Updated(nullptr); }

    void OnDocumentBroadcast(DocumentBroadcast request) override
    {
        if (request == DocumentBroadcast::CloseTextureArchives)
            m_owner.m_doc->CloseTextureArchives();
        else
            m_owner.m_doc->OpenTextureArchives();
    }

private:
    ArchiveDocument& m_owner;
};

ArchiveDocument::ArchiveDocument(AppContext& context)
    : m_context(context), m_doc(std::make_unique<CQuartoDoc>(context.prompt)),
      m_observer(std::make_unique<Observer>(*this))
{
    m_doc->AddObserver(m_observer.get());
    m_doc->SetBroadcastRouter(context.broadcast);
    m_doc->SetTextureArchiveOpener([&context](CQuartoDoc& document) {
        const TextureArchiveContext textures{context.configuration, context.settings.Textures(), context.installPaths,
                                             &context.prompt};
        OpenDocumentTextureArchives(document, textures);
    });
}

ArchiveDocument::~ArchiveDocument()
{
    m_doc->RemoveObserver(m_observer.get());
    ForgetParsedEntries();
}

void ArchiveDocument::ForgetParsedEntries()
{
    if (m_context.objectCache)
        m_context.objectCache->DropArchive(m_doc->GetArchive().GetPath().string());
}

IPrompt& ArchiveDocument::Prompt() const
{
    return m_context.prompt;
}

bool ArchiveDocument::OnNewDocument()
{
    return m_doc->OnNewDocument();
}

bool ArchiveDocument::OnOpenDocument(const QString& path)
{
    // The document opens empty when the archive cannot be read; a file that is not there at all
    // gets no window (the command line or a stale recent-file entry named it).
    if (!QFileInfo(path).isFile()) {
        m_context.prompt.ShowMessage(ToBytes(Text(AppString::OpenFailed).arg(path)), TextBytes(AppString::AppTitle));
        return false;
    }
    return m_doc->OnOpenDocument(path.toStdU16String());
}

bool ArchiveDocument::OnSaveDocument(const QString& path)
{
    FlushPendingWrite();
    ForgetParsedEntries();
    const bool saved = m_doc->OnSaveDocument(path.toStdU16String());
    ForgetParsedEntries();
    emit ModifiedChanged(m_doc->IsModified());
    UpdateAllViews(nullptr);
    return saved;
}

void ArchiveDocument::SetPathName(const QString& path)
{
    m_pathName = path;
    SetTitle(QFileInfo(path).fileName());
}

void ArchiveDocument::SetTitle(const QString& title)
{
    m_title = title;
}

bool ArchiveDocument::IsModified() const
{
    FlushPendingWrite();
    return m_doc->IsModified();
}

void ArchiveDocument::SetModifiedFlag(bool modified)
{
    m_doc->SetModifiedFlag(modified);
    emit ModifiedChanged(modified);
}

int ArchiveDocument::EntryCount() const
{
    FlushPendingWrite();
    return m_doc->GetArchive().GetEntryCount();
}

const std::string& ArchiveDocument::EntryName(int index) const
{
    FlushPendingWrite();
    return m_doc->GetArchive().GetEntryName(index);
}

std::uint32_t ArchiveDocument::EntrySize(int index) const
{
    FlushPendingWrite();
    return m_doc->GetArchive().GetEntrySize(index);
}

int ArchiveDocument::Format() const
{
    return m_doc->GetArchive().GetFormat();
}

int ArchiveDocument::GameKind() const
{
    return m_doc->GetGameKind();
}

int ArchiveDocument::SelectedEntry() const
{
    return m_doc->GetSelectedEntry();
}

void ArchiveDocument::SelectEntry(int index)
{
    FlushPendingWrite();
    m_doc->SetSelectedEntry(index);
    m_doc->LoadSelectedEntry();
}

void ArchiveDocument::LoadSelectedEntry()
{
    FlushPendingWrite();
    m_doc->LoadSelectedEntry();
}

std::optional<std::string_view> ArchiveDocument::PreviewBytes() const
{
    FlushPendingWrite();
    const std::vector<std::uint8_t>* buffer = m_doc->GetPreviewBuffer();
    if (!buffer)
        return std::nullopt;
    return std::string_view(reinterpret_cast<const char*>(buffer->data()), buffer->size());
}

bool ArchiveDocument::IsEntryLocked(std::string_view name) const
{
    return m_doc->IsEntryLocked(name);
}

bool ArchiveDocument::IsEditModeOn() const
{
    return m_doc->GetEditMode() != 0;
}

bool ArchiveDocument::ActivateEditMode()
{
    return m_doc->ActivateEditMode() != 0;
}

bool ArchiveDocument::WriteSelectedEntry(std::string_view bytes, const QObject* sender)
{
    const int selected = m_doc->GetSelectedEntry();
    if (m_context.objectCache && selected >= 0 && selected < m_doc->GetArchive().GetEntryCount())
        m_context.objectCache->DropEntry(m_doc->GetArchive().GetPath().string(), m_doc->GetArchive().GetEntryName(selected));
    const bool written = m_doc->GetArchive().SetEntryData(selected, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                          static_cast<std::int64_t>(bytes.size())) != 0;
    m_doc->ReloadSelectedEntry();
    if (written) {
        m_doc->SetModifiedFlag(true);
        emit ModifiedChanged(true);
    }
    UpdateAllViews(sender);
    return written;
}

void ArchiveDocument::SetPendingWrite(QObject* writer, std::function<void()> write)
{
    if (m_pendingWriter && m_pendingWriter != writer)
        FlushPendingWrite();
    m_pendingWriter = writer;
    m_pendingWrite = std::move(write);
}

void ArchiveDocument::FlushPendingWrite() const
{
    if (!m_pendingWrite)
        return;
    // Taken first: the write reads the document through these same accessors.
    const std::function<void()> write = std::exchange(m_pendingWrite, nullptr);
    if (std::exchange(m_pendingWriter, nullptr))
        write();
}

void ArchiveDocument::CloseTextureArchives()
{
    m_doc->CloseTextureArchives();
}

void ArchiveDocument::OpenTextureArchives()
{
    m_doc->OpenTextureArchives();
}

void ArchiveDocument::UpdateAllViews(const QObject* sender)
{
    FlushPendingWrite();
    emit Updated(sender);
}

} // namespace kestrel

#include "app/EntryDragOut.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "archive/CQuartoDoc.h"
#include "archive/EntryExtraction.h"
#include "archive/EntryPaths.h"
#include "base/IPrompt.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

namespace kestrel {

namespace fs = std::filesystem;

EntryDragOut::EntryDragOut(ArchiveDocument& document, QObject* parent) : QObject(parent), m_document(document) {}

EntryDragOut::~EntryDragOut() = default;

QMimeData* EntryDragOut::Extract(const std::vector<int>& entries)
{
    if (!m_folder)
        m_folder = std::make_unique<QTemporaryDir>();
    IPrompt& prompt = m_document.Prompt();
    const std::string title = TextBytes(AppString::AppTitle);
    if (!m_folder->isValid()) {
        prompt.ShowMessage(ToBytes(Text(AppString::CannotCreateFolder).arg(m_folder->path(), m_folder->errorString())), title);
        return nullptr;
    }
    // One folder per drag: files of an earlier drag may still be in use.
    const fs::path folder = fs::path(m_folder->path().toStdU16String()) / std::to_string(++m_drags);
    std::error_code ignored; // a folder that could not be made fails the first extraction, named
    fs::create_directories(folder, ignored);
    CBIGFile& archive = m_document.Doc().GetArchive();
    QList<QUrl> urls;
    for (const int entry : entries) {
        const std::string name = EntryNameWithBackslashes(archive.GetEntryName(entry));
        std::string error;
        const auto target = ExtractionPath(folder, name.substr(name.find_last_of('\\') + 1), &error);
        if (!target || ExtractEntryToFile(archive, entry, *target, false, error) != EntryFileResult::Written) {
            prompt.ShowMessage(ToBytes(Text(AppString::CannotReadEntry).arg(FromBytes(name), FromBytes(error))), title);
            return nullptr;
        }
        urls.append(QUrl::fromLocalFile(QString::fromStdU16String(target->u16string())));
    }
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

} // namespace kestrel

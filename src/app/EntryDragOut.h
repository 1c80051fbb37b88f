#pragma once

#include <QObject>

#include <memory>
#include <vector>

class QMimeData;
class QTemporaryDir;

namespace kestrel {

class ArchiveDocument;

/// Entries dragged out of the list onto a file manager. A drag carries files, so the entries
/// are extracted (through the shared extraction, atomically) into a temporary folder when the
/// drag starts; the file manager copies them from there. The folder lives as long as this object,
/// since a file manager may still be copying after the drop has finished.
class EntryDragOut : public QObject
{
    Q_OBJECT

public:
    EntryDragOut(ArchiveDocument& document, QObject* parent);
    ~EntryDragOut() override;

    /// Each entry as a file named like the last part of its name; the files' URLs, or null after
    /// telling the user why an entry could not be extracted.
    QMimeData* Extract(const std::vector<int>& entries);

private:
    ArchiveDocument& m_document;
    std::unique_ptr<QTemporaryDir> m_folder;
    int m_drags = 0;
};

} // namespace kestrel

#include "app/FindInArchiveDialog.h"

#include "app/AppStrings.h"
#include "app/ArchiveDocument.h"
#include "archive/CBIGFile.h"
#include "archive/CQuartoDoc.h"
#include "archive/ContentSearch.h"
#include "archive/EntryNameMatcher.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

// More matches than anyone reads; the list would only grow slow. The search stops there.
constexpr std::uint64_t MaxResults = 50000;
// A line of a minified file can be megabytes long; the list shows its start.
constexpr size_t ShownLineLength = 500;
constexpr int PollMilliseconds = 50;

enum ResultRole { EntryRole = Qt::UserRole, NameRole, LineRole, BinaryRole };

} // namespace

/// What the worker thread and the dialog share: the worker searches its own copy of the archive
/// and leaves what it finds here; the dialog collects it on a timer.
struct FindInArchiveDialog::Shared : IContentSearchObserver
{
    explicit Shared(IPrompt& prompt) : archive(prompt) {}

    bool Progress(std::uint64_t bytesDone, std::uint64_t bytesTotal) override
    {
        const std::lock_guard lock(mutex);
        done = bytesDone;
        total = bytesTotal;
        return !cancel;
    }
    void Found(const ContentMatch& match) override
    {
        const std::lock_guard lock(mutex);
        found.emplace_back(match, archive.GetEntryName(match.entry));
        if (++foundCount >= MaxResults)
            cancel = tooMany = true;
    }
    void Problem(int entry, const std::string& reason) override
    {
        const std::lock_guard lock(mutex);
        problems.push_back(archive.GetEntryName(entry) + ": " + reason);
    }

    CBIGFile archive;
    std::unique_ptr<ContentSearch> search;
    std::vector<int> entries;
    std::mutex mutex;
    std::vector<std::pair<ContentMatch, std::string>> found;
    std::vector<std::string> problems;
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    std::uint64_t foundCount = 0;
    ContentSearchSummary summary;
    std::atomic<bool> cancel = false;
    std::atomic<bool> tooMany = false;
    std::atomic<bool> finished = false;
};

FindInArchiveDialog::FindInArchiveDialog(ArchiveDocument& document, QWidget* parent)
    : QDialog(parent), m_document(document)
{
    setObjectName(QStringLiteral("findInArchive"));
    setWindowTitle(Text(AppString::FindInArchiveTitle));
    m_pattern = new QLineEdit(this);
    m_pattern->setObjectName(QStringLiteral("searchFor"));
    m_names = new QLineEdit(this);
    m_names->setObjectName(QStringLiteral("inEntries"));
    m_names->setPlaceholderText(Text(AppString::InEntriesPlaceholder));
    m_regex = new QCheckBox(Text(AppString::RegularExpression), this);
    m_regex->setObjectName(QStringLiteral("regex"));
    m_matchCase = new QCheckBox(Text(AppString::CaseMatch), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    auto* buttons = new QDialogButtonBox(this);
    m_find = buttons->addButton(Text(AppString::FindButton), QDialogButtonBox::AcceptRole);
    m_find->setObjectName(QStringLiteral("find"));
    m_find->setDefault(true);
    m_cancel = buttons->addButton(Text(AppString::CancelButton), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setEnabled(false);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, 1000);
    m_progress->setVisible(false);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("results"));
    m_results->setHeaderLabels({Text(AppString::ColumnEntry), Text(AppString::ColumnLine), Text(AppString::ColumnText)});
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->header()->setStretchLastSection(true);

    auto* form = new QFormLayout;
    form->addRow(Text(AppString::SearchFor), m_pattern);
    form->addRow(Text(AppString::InEntries), m_names);
    auto* options = new QHBoxLayout;
    options->addWidget(m_regex);
    options->addWidget(m_matchCase);
    options->addStretch();
    options->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(options);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(m_results, 1);
    resize(720, 480);

    connect(m_find, &QPushButton::clicked, this, &FindInArchiveDialog::StartSearch);
    connect(m_cancel, &QPushButton::clicked, this, &FindInArchiveDialog::CancelSearch);
    connect(m_results, &QTreeWidget::itemActivated, this, &FindInArchiveDialog::OnChosen);
    connect(&m_poll, &QTimer::timeout, this, &FindInArchiveDialog::Poll);
    m_poll.setInterval(PollMilliseconds);
}

FindInArchiveDialog::~FindInArchiveDialog()
{
    CancelSearch();
    if (m_worker)
        m_worker->wait();
}

void FindInArchiveDialog::SetPattern(const QString& pattern)
{
    m_pattern->setText(pattern);
    m_pattern->selectAll();
    m_pattern->setFocus();
}

bool FindInArchiveDialog::IsSearching() const
{
    return m_worker != nullptr;
}

bool FindInArchiveDialog::StartSearch()
{
    if (IsSearching())
        return false;
    m_results->clear();
    ContentSearchOptions options;
    options.pattern = ToBytes(m_pattern->text());
    options.regex = m_regex->isChecked();
    options.ignoreCase = !m_matchCase->isChecked();
    auto shared = std::make_shared<Shared>(m_document.Prompt());
    std::string error;
    shared->search = ContentSearch::Create(options, error);
    if (!shared->search || !shared->archive.OpenCopyForReading(m_document.Doc().GetArchive())) {
        m_status->setText(Text(AppString::SearchFailed).arg(FromBytes(shared->search ? shared->archive.LastError() : error)));
        return false;
    }
    const EntryNameMatcher names(ToBytes(m_names->text()));
    for (int i = 0; i < shared->archive.GetEntryCount(); ++i) {
        if (names.Matches(shared->archive.GetEntryName(i)))
            shared->entries.push_back(i);
    }
    m_status->setText(Text(AppString::Searching).arg(Counted(shared->entries.size())));
    m_progress->setValue(0);
    m_progress->setVisible(true);
    m_find->setEnabled(false);
    m_cancel->setEnabled(true);
    m_shared = shared;
    m_worker = QThread::create([shared] {
        shared->summary = shared->search->Run(shared->archive, shared->entries, *shared);
        shared->finished = true;
    });
    m_worker->start();
    m_poll.start();
    return true;
}

void FindInArchiveDialog::CancelSearch()
{
    if (m_shared)
        m_shared->cancel = true;
}

void FindInArchiveDialog::Poll()
{
    TakeFound();
    if (m_shared->finished)
        Finish();
}

void FindInArchiveDialog::TakeFound()
{
    std::vector<std::pair<ContentMatch, std::string>> found;
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    {
        const std::lock_guard lock(m_shared->mutex);
        found.swap(m_shared->found);
        done = m_shared->done;
        total = m_shared->total;
    }
    m_progress->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(found.size()));
    for (const auto& [match, name] : found) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, FromBytes(name));
        // Lines as editors number them.
        item->setText(1, match.binary ? QString() : QString::number(match.line + 1));
        item->setText(2, match.binary ? Text(AppString::BinaryEntryMatches)
                                      : FromBytes(std::string_view(match.text).substr(0, ShownLineLength)));
        item->setData(0, EntryRole, match.entry);
        item->setData(0, NameRole, QByteArray::fromStdString(name));
        item->setData(0, LineRole, static_cast<qulonglong>(match.line));
        item->setData(0, BinaryRole, match.binary);
        items.append(item);
    }
    m_results->addTopLevelItems(items);
}

void FindInArchiveDialog::Finish()
{
    m_poll.stop();
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    TakeFound();
    const ContentSearchSummary& summary = m_shared->summary;
    const QString counts[] = {Counted(summary.matches), Counted(summary.entriesMatched)};
    QString status;
    if (m_shared->tooMany)
        status = Text(AppString::SearchTooMany).arg(counts[0]);
    else if (summary.cancelled)
        status = Text(AppString::SearchCancelled).arg(counts[0], counts[1]);
    else
        status = Text(AppString::SearchDone).arg(counts[0], counts[1]);
    if (!m_shared->problems.empty())
        status += QLatin1Char('\n') + Text(AppString::SearchUnreadable)
                                          .arg(Counted(m_shared->problems.size()), FromBytes(m_shared->problems.front()));
    m_status->setText(status);
    m_progress->setVisible(false);
    m_find->setEnabled(true);
    m_cancel->setEnabled(false);
    m_shared.reset();
}

void FindInArchiveDialog::OnChosen(QTreeWidgetItem* item)
{
    if (!item)
        return;
    emit OpenRequested(item->data(0, EntryRole).toInt(), item->data(0, NameRole).toByteArray().toStdString(),
                       item->data(0, LineRole).toULongLong(), item->data(0, BinaryRole).toBool());
}

} // namespace kestrel

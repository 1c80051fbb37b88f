#include "app/QtCommandDialogs.h"

#include "app/AppStrings.h"
#include "app/FilenameDialog.h"
#include "app/OverwriteDialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QProgressDialog>

#include <algorithm>
#include <limits>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> Chosen(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    return fs::path(path.toStdU16String());
}

QString Shown(const fs::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

/// A modal progress dialog that appears once the work has run for half a second and is brought up
/// to date at most every 50 ms (the work reports far more often than anyone can read). It appears
/// only from Update, never on a timer of its own: a question asked in the middle of the work must
/// not be covered by a progress dialog that blocks it.
class DialogProgress : public IProgress
{
public:
    DialogProgress(QWidget* parent, const QString& label, bool cancellable)
        : m_dialog(label, QString(), 0, Steps, parent), m_cancellable(cancellable)
    {
        m_dialog.setObjectName(QStringLiteral("progressDialog"));
        m_dialog.setWindowTitle(Text(AppString::AppTitle));
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(std::numeric_limits<int>::max());
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        if (!cancellable)
            m_dialog.setCancelButton(nullptr);
        m_started.start();
        m_lastUpdate.start();
    }

    bool Update(std::uint64_t done, std::uint64_t total) override
    {
        if (m_lastUpdate.elapsed() < 50)
            return Answer();
        m_lastUpdate.restart();
        if (total == 0)
            m_dialog.setRange(0, 0);
        else
            m_dialog.setValue(static_cast<int>(std::min(done, total) * Steps / total));
        if (!m_dialog.isVisible() && m_started.elapsed() >= 500)
            m_dialog.show();
        if (m_dialog.isVisible())
            QCoreApplication::processEvents();
        return Answer();
    }

private:
    bool Answer() const { return !m_cancellable || !m_dialog.wasCanceled(); }

    static constexpr int Steps = 1000;
    QProgressDialog m_dialog;
    QElapsedTimer m_started;
    QElapsedTimer m_lastUpdate;
    bool m_cancellable;
};

} // namespace

QtCommandDialogs::QtCommandDialogs(std::function<QWidget*()> parent) : m_parent(std::move(parent)) {}

std::optional<fs::path> QtCommandDialogs::AskFileToAdd()
{
    return Chosen(QFileDialog::getOpenFileName(m_parent(), QString(), QString(), Text(AppString::AllFilesFilter)));
}

std::optional<fs::path> QtCommandDialogs::AskExtractTarget(const std::string& fileName)
{
    // The save dialog asks before replacing a file; no extension is appended.
    return Chosen(QFileDialog::getSaveFileName(m_parent(), QString(), FromBytes(fileName)));
}

std::optional<fs::path> QtCommandDialogs::AskFolder()
{
    return Chosen(QFileDialog::getExistingDirectory(m_parent(), Text(AppString::ChooseTargetDirectory)));
}

std::optional<fs::path> QtCommandDialogs::AskArchivePath(const fs::path& current)
{
    const QString filter = Text(AppString::FileFilter) + QStringLiteral(";;") + Text(AppString::AllFilesFilter);
    return Chosen(QFileDialog::getSaveFileName(m_parent(), QString(), Shown(current), filter));
}

std::optional<std::string> QtCommandDialogs::AskEntryName(const std::string& proposed)
{
    FilenameDialog dialog(m_parent());
    dialog.SetName(FromBytes(proposed));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ToBytes(dialog.Name());
}

OverwriteAnswer QtCommandDialogs::AskOverwrite(const std::string& entryName, bool offerUseForAll)
{
    OverwriteDialog dialog(m_parent());
    dialog.SetFileName(FromBytes(entryName));
    dialog.SetShowUseForAll(offerUseForAll);
    const bool yes = dialog.exec() == QDialog::Accepted;
    return {yes, yes && dialog.UseForAll()};
}

std::unique_ptr<IProgress> QtCommandDialogs::StartProgress(const std::string& label, bool cancellable)
{
    return std::make_unique<DialogProgress>(m_parent(), FromBytes(label), cancellable);
}

} // namespace kestrel

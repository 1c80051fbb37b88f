#include "app/QtCommandDialogs.h"

#include "app/AppStrings.h"
#include "app/FilenameDialog.h"
#include "app/OverwriteDialog.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QProgressDialog>

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

/// A modal progress dialog, brought up to date at most every 50 ms: the work calls Update far
/// more often than a person can read, and each update lets the window repaint.
class DialogProgress : public IProgress
{
public:
    DialogProgress(QWidget* parent, const QString& label, bool cancellable)
        : m_dialog(label, QString(), 0, Steps, parent), m_cancellable(cancellable)
    {
        m_dialog.setObjectName(QStringLiteral("progressDialog"));
        m_dialog.setWindowTitle(Text(AppString::AppTitle));
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        if (!cancellable)
            m_dialog.setCancelButton(nullptr);
        m_dialog.setValue(0);
        m_clock.start();
    }

    bool Update(std::uint64_t done, std::uint64_t total) override
    {
        if (m_clock.elapsed() >= 50 || done == total) {
            m_clock.restart();
            if (total == 0)
                m_dialog.setRange(0, 0);
            else
                m_dialog.setValue(static_cast<int>(std::min(done, total) * Steps / total));
        }
        return !m_cancellable || !m_dialog.wasCanceled();
    }

private:
    static constexpr int Steps = 1000;
    QProgressDialog m_dialog;
    QElapsedTimer m_clock;
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

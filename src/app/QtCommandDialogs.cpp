#include "app/QtCommandDialogs.h"

#include "app/AppStrings.h"
#include "app/FilenameDialog.h"
#include "app/OverwriteDialog.h"

#include <QCloseEvent>
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

/// Stops the work on Cancel, Escape and the title bar's close button alike when the work can
/// stop; otherwise none of them does anything (hiding the dialog would not stop the work).
class ProgressDialog : public QProgressDialog
{
public:
    ProgressDialog(const QString& label, bool cancellable, QWidget* parent)
        : QProgressDialog(label, cancellable ? Text(AppString::CancelButton) : QString(), 0, Steps, parent),
          m_cancellable(cancellable)
    {
        setObjectName(QStringLiteral("progressDialog"));
        setWindowTitle(Text(AppString::AppTitle));
        setWindowModality(Qt::ApplicationModal);
        setAutoClose(false);
        setAutoReset(false);
    }

    static constexpr int Steps = 1000;

protected:
    void reject() override
    {
        if (m_cancellable)
            cancel();
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (m_cancellable)
            cancel();
        event->ignore();
    }

private:
    bool m_cancellable;
};

/// Progress that appears once the work has run for a while and is brought up to date at most
/// every 50 ms (the work reports far more often than anyone can read). The dialog is made only
/// when it is to be shown, from Update: a question asked in the middle of the work then never
/// finds a progress dialog popping up over it (a dialog made early shows itself after four
/// seconds) and blocking it.
class DialogProgress : public IProgress
{
public:
    DialogProgress(std::function<QWidget*()> parent, const QString& label, bool cancellable, int delayMs)
        : m_parent(std::move(parent)), m_label(label), m_cancellable(cancellable), m_delayMs(delayMs)
    {
        m_started.start();
    }

    bool Update(std::uint64_t done, std::uint64_t total) override
    {
        if (!m_dialog && m_started.elapsed() < m_delayMs)
            return true;
        if (m_dialog && m_lastUpdate.elapsed() < 50)
            return Answer();
        if (!m_dialog) {
            m_dialog = std::make_unique<ProgressDialog>(m_label, m_cancellable, m_parent());
            m_dialog->show();
        }
        m_lastUpdate.start();
        if (total == 0)
            m_dialog->setRange(0, 0);
        else
            m_dialog->setValue(static_cast<int>(std::min(done, total) * ProgressDialog::Steps / total));
        QCoreApplication::processEvents();
        return Answer();
    }

private:
    bool Answer() const { return !m_cancellable || !m_dialog || !m_dialog->wasCanceled(); }

    std::function<QWidget*()> m_parent;
    QString m_label;
    bool m_cancellable;
    int m_delayMs;
    std::unique_ptr<ProgressDialog> m_dialog;
    QElapsedTimer m_started;
    QElapsedTimer m_lastUpdate;
};

} // namespace

QtCommandDialogs::QtCommandDialogs(std::function<QWidget*()> parent, int progressDelayMs)
    : m_parent(std::move(parent)), m_progressDelayMs(progressDelayMs)
{
}

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
    return std::make_unique<DialogProgress>(m_parent, FromBytes(label), cancellable, m_progressDelayMs);
}

} // namespace kestrel

#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

namespace kestrel {

/// "Overwrite file?": asks whether an existing entry is replaced. Inside a folder walk it also
/// offers "Use answer for all files"; elsewhere that box is hidden. "Yes" accepts, "No" (also
/// Escape) rejects.
class OverwriteDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OverwriteDialog(QWidget* parent = nullptr);

    void SetFileName(const QString& name) { m_fileName = name; }
    const QString& FileName() const { return m_fileName; }
    /// Whether the check box is shown when the dialog opens (on unless turned off).
    void SetShowUseForAll(bool show) { m_showUseForAll = show; }
    /// The check box as it was when the dialog closed (off until then).
    bool UseForAll() const { return m_useForAll; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_nameLabel = nullptr;
    QCheckBox* m_useForAllBox = nullptr;
    QString m_fileName;
    bool m_showUseForAll = true;
    bool m_useForAll = false;
};

} // namespace kestrel

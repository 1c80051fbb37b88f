#pragma once

#include <QDialog>

class QLineEdit;

namespace kestrel {

/// "Filename": asks for the name an entry gets in the archive. The name is taken over only when
/// the user presses OK.
class FilenameDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FilenameDialog(QWidget* parent = nullptr);

    /// The name shown when the dialog opens, and after OK the name typed.
    void SetName(const QString& name);
    const QString& Name() const { return m_name; }

    void accept() override;

private:
    QLineEdit* m_edit = nullptr;
    QString m_name;
};

} // namespace kestrel

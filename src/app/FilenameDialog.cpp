#include "app/FilenameDialog.h"

#include "app/AppStrings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kestrel {

FilenameDialog::FilenameDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("filenameDialog"));
    setWindowTitle(Text(AppString::FilenameTitle));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    auto* label = new QLabel(Text(AppString::FilenamePrompt), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("nameEdit"));
    // Entry names may be long paths; leave room to read them.
    m_edit->setMinimumWidth(360);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

void FilenameDialog::SetName(const QString& name)
{
    m_name = name;
    m_edit->setText(name);
    m_edit->selectAll();
}

void FilenameDialog::accept()
{
    m_name = m_edit->text();
    QDialog::accept();
}

} // namespace kestrel

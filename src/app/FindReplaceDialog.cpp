#include "app/FindReplaceDialog.h"

#include "app/AppStrings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

FindReplaceDialog::FindReplaceDialog(bool replace, const QString& initial, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(replace ? QStringLiteral("replaceDialog") : QStringLiteral("findDialog"));
    setWindowTitle(Text(replace ? AppString::ReplaceTitle : AppString::FindTitle));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    m_find = new QLineEdit(initial, this);
    m_find->setObjectName(QStringLiteral("findText"));
    m_find->selectAll();
    fields->addRow(Text(AppString::FindWhat), m_find);
    if (replace) {
        m_replace = new QLineEdit(this);
        m_replace->setObjectName(QStringLiteral("replaceText"));
        fields->addRow(Text(AppString::ReplaceWith), m_replace);
    }
    layout->addLayout(fields);
    m_caseMatch = new QCheckBox(Text(AppString::CaseMatch), this);
    m_caseMatch->setObjectName(QStringLiteral("caseMatch"));
    m_wholeWord = new QCheckBox(Text(AppString::WholeWord), this);
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    layout->addWidget(m_caseMatch);
    layout->addWidget(m_wholeWord);
    if (replace) {
        m_replaceAll = new QCheckBox(Text(AppString::ReplaceAll), this);
        m_replaceAll->setObjectName(QStringLiteral("replaceAll"));
        layout->addWidget(m_replaceAll);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* accept = buttons->addButton(Text(replace ? AppString::ReplaceButton : AppString::OkButton),
                                             QDialogButtonBox::AcceptRole);
    accept->setDefault(true);
    buttons->addButton(Text(AppString::CancelButton), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TextSearch FindReplaceDialog::Search() const
{
    return TextSearch{ToBytes(m_find->text()), m_caseMatch->isChecked(), m_wholeWord->isChecked()};
}

QString FindReplaceDialog::Replacement() const
{
    return m_replace ? m_replace->text() : QString();
}

bool FindReplaceDialog::ReplaceAll() const
{
    return m_replaceAll && m_replaceAll->isChecked();
}

} // namespace kestrel

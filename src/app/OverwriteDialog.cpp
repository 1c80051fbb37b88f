#include "app/OverwriteDialog.h"

#include "app/AppStrings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

OverwriteDialog::OverwriteDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("overwriteDialog"));
    setWindowTitle(Text(AppString::OverwriteTitle));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    auto* question = new QLabel(Text(AppString::OverwriteQuestion), this);
    m_nameLabel = new QLabel(Text(AppString::OverwriteNamePlaceholder), this);
    m_nameLabel->setObjectName(QStringLiteral("fileNameLabel"));
    m_nameLabel->setTextFormat(Qt::PlainText);
    m_nameLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_useForAllBox = new QCheckBox(Text(AppString::UseAnswerForAll), this);
    m_useForAllBox->setObjectName(QStringLiteral("useForAllBox"));
    auto* yes = new QPushButton(Text(AppString::ButtonYes), this);
    yes->setObjectName(QStringLiteral("yesButton"));
    yes->setDefault(true);
    auto* no = new QPushButton(Text(AppString::ButtonNo), this);
    no->setObjectName(QStringLiteral("noButton"));
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(m_nameLabel);
    layout->addWidget(m_useForAllBox);
    layout->addLayout(buttons);
}

void OverwriteDialog::showEvent(QShowEvent* event)
{
    m_nameLabel->setText(m_fileName);
    m_useForAllBox->setChecked(m_useForAll);
    m_useForAllBox->setVisible(m_showUseForAll);
    QDialog::showEvent(event);
}

void OverwriteDialog::done(int result)
{
    m_useForAll = m_useForAllBox->isChecked();
    QDialog::done(result);
}

} // namespace kestrel

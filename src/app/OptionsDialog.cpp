#include "app/OptionsDialog.h"

#include "app/AppStrings.h"
#include "archive/EditorTable.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {
namespace {

// The table holds the texts as the settings keep them (UTF-8).
QString FromTable(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToTable(const QString& text)
{
    return text.toUtf8().toStdString();
}

} // namespace

OptionsDialog::OptionsDialog(EditorTable& table, QWidget* parent) : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(Text(AppString::OptionsTitle));

    auto* group = new QGroupBox(Text(AppString::OptionsGroup), this);
    m_list = new QListWidget(group);
    m_list->setObjectName(QStringLiteral("editorList"));
    m_extension = new QLineEdit(group);
    m_extension->setObjectName(QStringLiteral("extensionField"));
    m_editor = new QLineEdit(group);
    m_editor->setObjectName(QStringLiteral("editorField"));
    auto* set = new QPushButton(Text(AppString::OptionsSet), group);
    set->setObjectName(QStringLiteral("setButton"));
    set->setAutoDefault(false);
    auto* help = new QLabel(Text(AppString::OptionsHelp), group);
    help->setObjectName(QStringLiteral("optionsHelp"));
    help->setWordWrap(true);

    auto* fields = new QFormLayout;
    fields->addRow(Text(AppString::OptionsExtension), m_extension);
    fields->addRow(Text(AppString::OptionsEditor), m_editor);
    auto* setRow = new QHBoxLayout;
    setRow->addStretch();
    setRow->addWidget(set);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(new QLabel(Text(AppString::OptionsCurrentEditors), group));
    groupLayout->addWidget(m_list);
    groupLayout->addWidget(new QLabel(Text(AppString::OptionsEditAdd), group));
    groupLayout->addLayout(fields);
    groupLayout->addLayout(setRow);
    groupLayout->addWidget(help);

    auto* close = new QPushButton(Text(AppString::OptionsClose), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(closeRow);
    resize(460, 420);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &OptionsDialog::OnSelectionChanged);
    connect(set, &QPushButton::clicked, this, &OptionsDialog::OnSet);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    FillList();
}

void OptionsDialog::FillList()
{
    // Refilling must not clear the fields the user just set.
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (int index = 0; index < m_table.GetEditorCount(); ++index) {
        const EditorPair pair = m_table.GetEditorAt(index);
        auto* item = new QListWidgetItem(FromTable(pair.extension) + QStringLiteral(": ") + FromTable(pair.editor), m_list);
        item->setData(Qt::UserRole, index);
    }
}

void OptionsDialog::OnSelectionChanged()
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        m_extension->clear();
        m_editor->clear();
        return;
    }
    const EditorPair pair = m_table.GetEditorAt(selected.first()->data(Qt::UserRole).toInt());
    m_extension->setText(FromTable(pair.extension));
    m_editor->setText(FromTable(pair.editor));
}

void OptionsDialog::OnSet()
{
    m_table.SetEditor(ToTable(m_editor->text()), ToTable(m_extension->text()));
    FillList();
}

} // namespace kestrel

#pragma once

#include "ini/TextSearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace kestrel {

/// The Find dialog ("OK", "Cancel") or the Replace dialog ("Replace", "Cancel", a "Replace
/// with:" field and "Replace All"), both with "Case Match" and "Whole Word". The search field
/// starts with the given text (the editor's selection).
class FindReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    FindReplaceDialog(bool replace, const QString& initial, QWidget* parent = nullptr);

    TextSearch Search() const;
    QString Replacement() const;
    bool ReplaceAll() const;

private:
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QCheckBox* m_caseMatch = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_replaceAll = nullptr;
};

} // namespace kestrel

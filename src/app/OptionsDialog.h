#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace kestrel {

class EditorTable;

/// "Options": the external editors' table. Choosing a line puts its extension and editor into
/// the fields; "Set" gives that extension the editor (or adds the pair) and stores the table at
/// once, so "Close" has nothing left to save. Pairs can be changed and added, not removed.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    /// The table must outlive the dialog.
    explicit OptionsDialog(EditorTable& table, QWidget* parent = nullptr);

    /// Applies the two fields, as the "Set" button does.
    void OnSet();

private:
    void FillList();
    void OnSelectionChanged();

    EditorTable& m_table;
    QListWidget* m_list = nullptr;
    QLineEdit* m_extension = nullptr;
    QLineEdit* m_editor = nullptr;
};

} // namespace kestrel

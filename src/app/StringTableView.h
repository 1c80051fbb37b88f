#pragma once

#include <QWidget>

#include <functional>
#include <string_view>

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace kestrel {

class StringTableModel;

/// The preview of a CSF string table: a table of label, value and extra value with a filter
/// over labels and values, and buttons to add and remove labels. Every edit goes through
/// `write`, which gets the whole table's new bytes and says whether the entry took them (it
/// asks for edit mode first); a refused edit leaves the table as it was.
class StringTableView : public QWidget
{
    Q_OBJECT

public:
    using Write = std::function<bool(std::string_view)>;

    explicit StringTableView(Write write, QWidget* parent = nullptr);

    /// Shows `bytes` as a string table. False when they are not one (the caller shows them
    /// otherwise). A damaged table shows what could be read, read-only; Note() says why.
    bool Show(std::string_view bytes);
    const QString& Note() const { return m_note; }
    /// Clears the filter and selects the first row of the label, if there is one.
    bool GoToLabel(std::string_view name);

    StringTableModel& Model() const { return *m_model; }
    QTableView* Table() const { return m_table; }
    QLineEdit* Filter() const { return m_filter; }

private:
    void RemoveSelectedLabel();

    StringTableModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QTableView* m_table = nullptr;
    QLineEdit* m_filter = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QString m_note;
};

} // namespace kestrel

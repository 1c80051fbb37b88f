#pragma once

#include <QWidget>

class QLineEdit;

namespace kestrel {

class AppSettings;
class ArchiveDocument;
class CLeftView;

/// The left pane of an archive window: the filter box above the entry list.
class EntryListPane : public QWidget
{
    Q_OBJECT

public:
    EntryListPane(ArchiveDocument& document, AppSettings* settings, QWidget* parent = nullptr);

    CLeftView* List() const { return m_list; }
    QLineEdit* FilterBox() const { return m_filter; }
    /// Puts the keyboard into the filter box, its text selected (Ctrl+L).
    void FocusFilter();
    /// Selects entry `entry` in the list, clearing a filter that hides it.
    void ShowEntry(int entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CLeftView* m_list = nullptr;
    QLineEdit* m_filter = nullptr;
};

} // namespace kestrel

#pragma once

#include "app/RawTextLayout.h"

#include <QAbstractScrollArea>

#include <string_view>

namespace kestrel {

/// Paints an entry's bytes as text (Latin-1, tabs expanded, fixed pitch) with scroll bars over
/// the whole text, drawing only the lines and columns in view.
class RawTextView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit RawTextView(QWidget* parent = nullptr);

    /// Borrows `bytes` until the next call; an empty view paints nothing.
    void SetBytes(std::string_view bytes);
    void Clear();

    const RawTextLayout& Layout() const { return m_layout; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateScrollBars();

    RawTextLayout m_layout;
    bool m_hasBytes = false;
    int m_lineHeight = 1;
    int m_columnWidth = 1;
};

} // namespace kestrel

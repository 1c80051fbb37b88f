#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kestrel {
namespace {

const QColor ink(32, 32, 32);
const QColor paper(255, 255, 255);
const QColor folder(230, 190, 70);
const QColor blue(40, 80, 170);

void DrawPage(QPainter& p, int x, int y, int w, int h)
{
    QPainterPath page;
    page.moveTo(x, y);
    page.lineTo(x + w - 3, y);
    page.lineTo(x + w, y + 3);
    page.lineTo(x + w, y + h);
    page.lineTo(x, y + h);
    page.closeSubpath();
    p.setPen(ink);
    p.setBrush(paper);
    p.drawPath(page);
    p.drawLine(x + w - 3, y, x + w - 3, y + 3);
    p.drawLine(x + w - 3, y + 3, x + w, y + 3);
}

void DrawNew(QPainter& p)
{
    DrawPage(p, 3, 1, 10, 13);
}

void DrawOpen(QPainter& p)
{
    p.setPen(ink);
    p.setBrush(folder.darker(115));
    p.drawRect(1, 3, 12, 10);
    p.setBrush(folder);
    p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(4, 7), QPoint(15, 7), QPoint(12, 13)}));
}

void DrawSave(QPainter& p)
{
    p.setPen(ink);
    p.setBrush(blue);
    p.drawRect(1, 1, 13, 13);
    p.setBrush(paper);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(4, 9, 7, 5);
}

void DrawCut(QPainter& p)
{
    p.setPen(QPen(ink, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(2, 9, 4, 4);
    p.drawEllipse(9, 9, 4, 4);
    p.drawLine(5, 9, 10, 1);
    p.drawLine(10, 9, 5, 1);
}

void DrawCopy(QPainter& p)
{
    DrawPage(p, 1, 1, 8, 9);
    DrawPage(p, 6, 5, 8, 9);
}

void DrawPaste(QPainter& p)
{
    p.setPen(ink);
    p.setBrush(folder.darker(130));
    p.drawRect(1, 2, 10, 12);
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(4, 1, 4, 3);
    DrawPage(p, 7, 6, 7, 8);
}

void DrawPrint(QPainter& p)
{
    p.setPen(ink);
    DrawPage(p, 4, 1, 8, 6);
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(1, 7, 14, 5);
    p.setBrush(paper);
    p.drawRect(4, 10, 8, 4);
}

void DrawSquares(QPainter& p, int size, int step, int columns, int rows)
{
    p.setPen(ink);
    p.setBrush(blue);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            p.drawRect(1 + column * step, 1 + row * step, size, size);
}

void DrawRows(QPainter& p, bool withColumns)
{
    for (int row = 0; row < 4; ++row) {
        const int y = 2 + row * 3;
        p.fillRect(1, y, 2, 2, blue);
        p.fillRect(4, y, withColumns ? 5 : 10, 1, ink);
        if (withColumns)
            p.fillRect(11, y, 4, 1, ink);
    }
}

void DrawAbout(QPainter& p)
{
    p.setPen(ink);
    p.setBrush(QColor(255, 255, 200));
    p.drawEllipse(1, 0, 13, 13);
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(blue);
    p.drawText(QRect(1, 0, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
}

bool Draw(Command command, QPainter& p)
{
    switch (command) {
    case Command::FileNew: DrawNew(p); return true;
    case Command::FileOpen: DrawOpen(p); return true;
    case Command::FileSave: DrawSave(p); return true;
    case Command::EditCut: DrawCut(p); return true;
    case Command::EditCopy: DrawCopy(p); return true;
    case Command::EditPaste: DrawPaste(p); return true;
    case Command::FilePrint: DrawPrint(p); return true;
    case Command::ViewLargeIcons: DrawSquares(p, 5, 8, 2, 2); return true;
    case Command::ViewSmallIcons: DrawSquares(p, 2, 4, 4, 3); return true;
    case Command::ViewList: DrawRows(p, false); return true;
    case Command::ViewDetails: DrawRows(p, true); return true;
    case Command::HelpAbout: DrawAbout(p); return true;
    default: return false;
    }
}

} // namespace

QIcon ToolbarIcon(Command command)
{
    QPixmap pixmap(16, 15);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (!Draw(command, painter))
        return QIcon();
    painter.end();
    return QIcon(pixmap);
}

} // namespace kestrel

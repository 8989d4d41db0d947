#include "app/Images.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

// Draws a 16x16 image with `paint` on a transparent pixmap.
template <class F>
QIcon Drawn(F paint)
{
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);
  paint(p);
  p.end();
  return QIcon(pixmap);
}

void Page(QPainter& p, const QRect& r)
{
  p.setPen(QColor(64, 64, 64));
  p.setBrush(Qt::white);
  p.drawRect(r);
  p.setPen(QColor(128, 128, 128));
  for (int y = r.top() + 3; y < r.bottom() - 1; y += 2)
    p.drawLine(r.left() + 2, y, r.right() - 2, y);
}

void Window(QPainter& p, const QRect& r)
{
  p.setPen(QColor(32, 32, 96));
  p.setBrush(Qt::white);
  p.drawRect(r);
  p.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 1, 2), QColor(0, 0, 160));
}

}  // namespace

QIcon ImageListIcon(int index)
{
  switch (index) {
  case 0:  // Cut: scissors
    return Drawn([](QPainter& p) {
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(QPen(QColor(64, 64, 64), 1.2));
      p.drawLine(QPointF(5, 1), QPointF(10, 10));
      p.drawLine(QPointF(11, 1), QPointF(6, 10));
      p.setPen(QPen(QColor(0, 0, 160), 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
      p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
    });
  case 1:  // Copy: two pages
    return Drawn([](QPainter& p) {
      Page(p, QRect(1, 1, 8, 10));
      Page(p, QRect(6, 5, 8, 10));
    });
  case 2:  // Paste: a page on a clipboard
    return Drawn([](QPainter& p) {
      p.setPen(QColor(96, 64, 32));
      p.setBrush(QColor(192, 144, 80));
      p.drawRect(1, 2, 10, 13);
      p.setBrush(QColor(160, 160, 160));
      p.drawRect(4, 1, 4, 2);
      Page(p, QRect(6, 6, 8, 9));
    });
  case 7:
    return QApplication::style()->standardIcon(QStyle::SP_DialogOpenButton);
  case 8:
    return QApplication::style()->standardIcon(QStyle::SP_DialogSaveButton);
  case 15:  // Tile Horizontally: one above the other
    return Drawn([](QPainter& p) {
      Window(p, QRect(1, 1, 14, 6));
      Window(p, QRect(1, 9, 14, 6));
    });
  case 16:  // Tile Vertically: side by side
    return Drawn([](QPainter& p) {
      Window(p, QRect(1, 1, 6, 14));
      Window(p, QRect(9, 1, 6, 14));
    });
  case 17:  // Cascade: overlapping windows
    return Drawn([](QPainter& p) {
      Window(p, QRect(1, 1, 9, 8));
      Window(p, QRect(3, 4, 9, 8));
      Window(p, QRect(5, 7, 9, 8));
    });
  default:
    return QIcon();
  }
}

#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QRect>
#include <QScreen>
#include <QShortcut>
#include <QWidget>
#include <algorithm>

namespace tavorix {

void PlaceOverActiveWindow(QWidget* window) {
  const QWidget* owner = QApplication::activeWindow();
  if (owner == window) owner = nullptr;
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QRect over = owner != nullptr ? owner->frameGeometry() : area;
  QRect frame = window->frameGeometry();
  // Before the first show the frame is not known yet: the window's own size stands for it.
  if (!window->isVisible()) frame.setSize(window->size());
  frame.moveCenter(over.center());
  frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)));
  frame.moveTop(std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
  window->move(frame.topLeft());
}

void CloseOnEscape(QWidget* window) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

void ShowInFront(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace tavorix

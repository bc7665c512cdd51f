#pragma once
// Where the small windows open, and how they close from the keyboard.

class QWidget;

namespace tavorix {

// Centres the window on the window that is active as it opens (the main
// window, whose button opened it), or on the screen when there is none, and
// keeps it whole on that window's screen.
void PlaceOverActiveWindow(QWidget* window);

// Escape closes the window.
void CloseOnEscape(QWidget* window);

// Shows the window in front of the others with the keyboard focus, also when
// it was open already behind them.
void ShowInFront(QWidget* window);

}  // namespace tavorix

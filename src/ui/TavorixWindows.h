#pragma once
// The program's windows, created in the start-up order: main window, data
// module, finish window, calculator, optimisation window, list window,
// selection window.

#include <memory>

namespace tavorix {

class TMainForm;
class TDMTavorix;
class FinishDialog;
class CalculatorWindow;
class OptimizationHelp;
class RankedListWindow;
class SelectionDialog;
class TDialogs;

inline constexpr const char* kApplicationTitle = "Tavorix cumulative frequency analysis";

struct TTavorixWindows {
  TTavorixWindows();
  ~TTavorixWindows();
  TTavorixWindows(TTavorixWindows&&) noexcept;
  TTavorixWindows& operator=(TTavorixWindows&&) noexcept;

  // Destroyed in reverse order: the small windows before the main window
  // that refers to them.
  std::unique_ptr<TMainForm> MainForm;
  std::unique_ptr<TDMTavorix> DMTavorix;
  std::unique_ptr<FinishDialog> Finish;
  std::unique_ptr<CalculatorWindow> Calculator;
  std::unique_ptr<OptimizationHelp> Optimization;
  std::unique_ptr<RankedListWindow> RankedList;
  std::unique_ptr<SelectionDialog> Selection;
};

// Creates and connects the windows. dialogs answers every message box,
// question and file dialog of the windows; it must outlive them.
TTavorixWindows CreateTavorixWindows(TDialogs& dialogs);

}  // namespace tavorix

#pragma once
// The program's windows: the data module and the small windows first, then
// the main window, which opens them.

#include <memory>

namespace tavorix {

class MainWindow;
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

  // Destroyed in reverse order: the main window, which refers to the
  // others, first.
  std::unique_ptr<TDMTavorix> DataModule;
  std::unique_ptr<FinishDialog> Finish;
  std::unique_ptr<CalculatorWindow> Calculator;
  std::unique_ptr<OptimizationHelp> Optimization;
  std::unique_ptr<RankedListWindow> RankedList;
  std::unique_ptr<SelectionDialog> Selection;
  std::unique_ptr<MainWindow> Main;
};

// Creates and connects the windows. dialogs answers every message box,
// question and file dialog of the windows; it must outlive them.
TTavorixWindows CreateTavorixWindows(TDialogs& dialogs);

}  // namespace tavorix

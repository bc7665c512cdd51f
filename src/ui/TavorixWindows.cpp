#include "ui/TavorixWindows.h"

#include <QCoreApplication>

#include "ui/CalculatorWindow.h"
#include "core/UDMTavorix.h"
#include "ui/FinishDialog.h"
#include "ui/RankedListWindow.h"
#include "ui/UMainForm.h"
#include "ui/OptimizationHelp.h"
#include "ui/SelectionDialog.h"

namespace tavorix {

TTavorixWindows::TTavorixWindows() = default;
TTavorixWindows::~TTavorixWindows() {
  // The small windows go first; the main window refers to them.
  Selection.reset();
  RankedList.reset();
  Optimization.reset();
  Calculator.reset();
  Finish.reset();
  MainForm.reset();
  DMTavorix.reset();
}
TTavorixWindows::TTavorixWindows(TTavorixWindows&&) noexcept = default;
TTavorixWindows& TTavorixWindows::operator=(TTavorixWindows&&) noexcept = default;

TTavorixWindows CreateTavorixWindows(TDialogs& dialogs) {
  TTavorixWindows w;
  w.MainForm = std::make_unique<TMainForm>(dialogs);
  w.DMTavorix = std::make_unique<TDMTavorix>();
  w.DMTavorix->DataModuleCreate();
  w.MainForm->AttachDataModule(w.DMTavorix.get());
  w.Finish = std::make_unique<FinishDialog>();
  w.Calculator = std::make_unique<CalculatorWindow>();
  w.Optimization = std::make_unique<OptimizationHelp>();
  w.RankedList = std::make_unique<RankedListWindow>();
  w.Selection = std::make_unique<SelectionDialog>(dialogs);
  TMainForm* main = w.MainForm.get();
  w.Finish->EndProgram = [main] {
    main->EndProgram();
    QCoreApplication::exit(0);
  };
  w.MainForm->AttachWindows(w.Finish.get(), w.Calculator.get(), w.Optimization.get(), w.RankedList.get(),
                            w.Selection.get());
  return w;
}

}  // namespace tavorix

#include "ui/TavorixWindows.h"

#include <QCoreApplication>

#include "core/UDMTavorix.h"
#include "ui/CalculatorWindow.h"
#include "ui/FinishDialog.h"
#include "ui/OptimizationHelp.h"
#include "ui/RankedListWindow.h"
#include "ui/SelectionDialog.h"
#include "ui/MainWindow.h"

namespace tavorix {

TTavorixWindows::TTavorixWindows() = default;
TTavorixWindows::~TTavorixWindows() = default;
TTavorixWindows::TTavorixWindows(TTavorixWindows&&) noexcept = default;
TTavorixWindows& TTavorixWindows::operator=(TTavorixWindows&&) noexcept = default;

TTavorixWindows CreateTavorixWindows(TDialogs& dialogs) {
  TTavorixWindows w;
  w.DataModule = std::make_unique<TDMTavorix>();
  w.DataModule->DataModuleCreate();
  w.Finish = std::make_unique<FinishDialog>();
  w.Calculator = std::make_unique<CalculatorWindow>();
  w.Optimization = std::make_unique<OptimizationHelp>();
  w.RankedList = std::make_unique<RankedListWindow>();
  w.Selection = std::make_unique<SelectionDialog>(dialogs);
  w.Main = std::make_unique<MainWindow>(
      *w.DataModule, dialogs, SmallWindows{*w.Finish, *w.Calculator, *w.Optimization, *w.RankedList, *w.Selection});
  MainWindow* main = w.Main.get();
  w.Finish->EndProgram = [main] {
    main->EndProgram();
    QCoreApplication::exit(0);
  };
  return w;
}

}  // namespace tavorix

#include "ui/TavorixWindows.h"

#include <QCoreApplication>

#include "calculator/window/UcalcForm.h"
#include "core/UDMTavorix.h"
#include "ui/UFinishForm.h"
#include "ui/UListForm.h"
#include "ui/UMainForm.h"
#include "ui/UOptForm.h"
#include "ui/USelectForm.h"

namespace tavorix {

TTavorixWindows::TTavorixWindows() = default;
TTavorixWindows::~TTavorixWindows() {
  // The small windows go first; the main window refers to them.
  SelectForm.reset();
  ListForm.reset();
  OptForm.reset();
  CalcForm.reset();
  FinishForm.reset();
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
  w.FinishForm = std::make_unique<TFinishForm>();
  w.CalcForm = std::make_unique<TCalcForm>();
  w.OptForm = std::make_unique<TOptForm>();
  w.ListForm = std::make_unique<TListForm>();
  w.SelectForm = std::make_unique<TSelectForm>(*w.DMTavorix, dialogs);
  TMainForm* main = w.MainForm.get();
  w.FinishForm->EndProgram = [main] {
    main->EndProgram();
    QCoreApplication::exit(0);
  };
  w.MainForm->AttachWindows(w.FinishForm.get(), w.CalcForm.get(), w.OptForm.get(), w.ListForm.get(),
                            w.SelectForm.get());
  return w;
}

}  // namespace tavorix

#pragma once
// Message boxes, Yes/No questions and file dialogs of the windows. The
// windows ask through TDialogs; the program answers with real Qt boxes
// (TQtDialogs), the window tests with a script.

#include <optional>
#include <string>

#include "core/InputPage.h"

class QWidget;

namespace tavorix {

// One file dialog: filter in the form "Input files (*.inp)|*.inp", the
// extension added to a name typed without one, and the folder it opens in.
struct TFileDialogSpec {
  std::string Filter;
  std::string DefaultExt;
  std::string InitialDir;
  std::string FileName;  // suggested name, may be empty
};

// The file dialogs of the program.
inline const TFileDialogSpec kInputFileDialog{"Input files (*.inp)|*.inp", "inp", "", ""};
inline const TFileDialogSpec kOutputFileDialog{"Output files (*.out)|*.out", ".out", "", ""};
inline const TFileDialogSpec kGraphOpenDialog{"Graph files (*.bmp *.png)|*.bmp;*.png", "bmp", "", ""};
inline const TFileDialogSpec kGraphSaveDialog{"Image files (*.bmp)|*.bmp", "bmp", "", ""};

class TDialogs : public TUserDialogs {
 public:
  // The chosen path, or nullopt when the dialog was cancelled.
  virtual std::optional<std::string> OpenFileName(const TFileDialogSpec& spec) = 0;
  // The dialog itself never asks before overwriting: the caller does.
  virtual std::optional<std::string> SaveFileName(const TFileDialogSpec& spec) = 0;
};

// "Input files (*.inp)|*.inp" → "Input files (*.inp)"; several pairs are
// joined by ";;" as Qt's dialogs expect.
std::string QtFilterFromPairs(const std::string& filter);

// The name with the default extension added when it has none.
std::string WithDefaultExtension(const std::string& path, const std::string& defaultExt);

class TQtDialogs : public TDialogs {
 public:
  explicit TQtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  // Caption of the message and question boxes: the application title.
  void SetCaption(const std::string& caption) { caption_ = caption; }

  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& question) override;
  std::optional<std::string> OpenFileName(const TFileDialogSpec& spec) override;
  std::optional<std::string> SaveFileName(const TFileDialogSpec& spec) override;

 private:
  QWidget* parent_;
  std::string caption_;
};

}  // namespace tavorix

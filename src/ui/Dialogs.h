#pragma once
// Message boxes, Yes/No questions and file dialogs of the windows. The
// windows ask through TDialogs; the program answers with real Qt boxes
// (TQtDialogs), the window tests with a script. The interface itself is
// Qt-free (core/UserDialogs.h).

#include <optional>
#include <string>

#include "core/UserDialogs.h"

class QWidget;

namespace tavorix {

// The file dialogs of the windows.
inline const TFileDialogSpec kInputFileDialog{"Input files (*.inp)|*.inp", "inp", "", ""};
inline const TFileDialogSpec kOutputFileDialog{"Output files (*.out)|*.out", ".out", "", ""};
inline const TFileDialogSpec kGraphOpenDialog{"Graph files (*.bmp *.png)|*.bmp;*.png", "bmp", "", ""};

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
  TSaveAnswer AskSave(const std::string& question) override;
  std::optional<int> AskChoice(const std::string& question, const std::vector<std::string>& choices) override;
  std::optional<std::string> OpenFileName(const TFileDialogSpec& spec) override;
  std::optional<std::string> SaveFileName(const TFileDialogSpec& spec) override;

 private:
  QWidget* parent_;
  std::string caption_;
};

}  // namespace tavorix

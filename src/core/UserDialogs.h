#pragma once
// The one interface through which the program shows its messages, asks its
// questions and lets the user pick files. The desktop program answers with
// real boxes and dialogs, the tests with a script, the batch import with a
// recorder.

#include <optional>
#include <string>
#include <vector>

namespace tavorix {

// One file dialog: filter in the form "Input files (*.inp)|*.inp", the
// extension added to a name typed without one, and the folder it opens in.
struct TFileDialogSpec {
  std::string Filter;
  std::string DefaultExt;
  std::string InitialDir;
  std::string FileName;  // suggested name, may be empty
};

enum class TSaveAnswer { Save, Discard, Cancel };

class TDialogs {
 public:
  virtual ~TDialogs() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual bool Confirm(const std::string& question) = 0;  // true on Yes
  // The standard save / discard / cancel question.
  virtual TSaveAnswer AskSave(const std::string& question) = 0;
  // A question answered with one of `choices` (buttons in this order) or
  // Cancel: the index of the choice, nullopt for Cancel. A front end that
  // offers no choice answers Cancel.
  virtual std::optional<int> AskChoice(const std::string& /*question*/, const std::vector<std::string>& /*choices*/) {
    return std::nullopt;
  }
  // The chosen path, or nullopt when the dialog was cancelled.
  virtual std::optional<std::string> OpenFileName(const TFileDialogSpec& spec) = 0;
  // The dialog itself never asks before overwriting: the caller does.
  virtual std::optional<std::string> SaveFileName(const TFileDialogSpec& spec) = 0;
};

}  // namespace tavorix

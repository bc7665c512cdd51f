#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>

namespace tavorix {

std::string QtFilterFromPairs(const std::string& filter) {
  std::string out;
  std::size_t pos = 0;
  while (pos <= filter.size()) {
    const auto bar = filter.find('|', pos);
    const std::string label = filter.substr(pos, bar == std::string::npos ? std::string::npos : bar - pos);
    if (!out.empty()) out += ";;";
    out += label;
    if (bar == std::string::npos) break;
    // Skip the pattern part after the label.
    const auto next = filter.find('|', bar + 1);
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  return out;
}

std::string WithDefaultExtension(const std::string& path, const std::string& defaultExt) {
  if (path.empty() || defaultExt.empty()) return path;
  if (std::filesystem::path(path).has_extension()) return path;
  return defaultExt.front() == '.' ? path + defaultExt : path + "." + defaultExt;
}

namespace {

QFileDialog* MakeDialog(QWidget* parent, const TFileDialogSpec& spec, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  dialog->setAcceptMode(mode);
  dialog->setNameFilter(QString::fromStdString(QtFilterFromPairs(spec.Filter)));
  QString ext = QString::fromStdString(spec.DefaultExt);
  if (ext.startsWith('.')) ext.remove(0, 1);
  dialog->setDefaultSuffix(ext);
  if (!spec.InitialDir.empty()) dialog->setDirectory(QString::fromStdString(spec.InitialDir));
  if (!spec.FileName.empty()) dialog->selectFile(QString::fromStdString(spec.FileName));
  dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
  return dialog;
}

std::optional<std::string> RunDialog(QFileDialog* dialog, const TFileDialogSpec& spec) {
  std::optional<std::string> result;
  if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
    result = WithDefaultExtension(dialog->selectedFiles().first().toStdString(), spec.DefaultExt);
  delete dialog;
  return result;
}

}  // namespace

void TQtDialogs::ShowMessage(const std::string& text) {
  QMessageBox::information(parent_, QString::fromStdString(caption_), QString::fromStdString(text));
}

bool TQtDialogs::Confirm(const std::string& question) {
  return QMessageBox::question(parent_, QString::fromStdString(caption_), QString::fromStdString(question),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

TSaveAnswer TQtDialogs::AskSave(const std::string& question) {
  const auto answer =
      QMessageBox::question(parent_, QString::fromStdString(caption_), QString::fromStdString(question),
                            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return TSaveAnswer::Save;
  return answer == QMessageBox::Discard ? TSaveAnswer::Discard : TSaveAnswer::Cancel;
}

std::optional<int> TQtDialogs::AskChoice(const std::string& question, const std::vector<std::string>& choices) {
  QMessageBox box(QMessageBox::Question, QString::fromStdString(caption_), QString::fromStdString(question),
                  QMessageBox::NoButton, parent_);
  std::vector<QAbstractButton*> buttons;
  for (const std::string& c : choices) buttons.push_back(box.addButton(QString::fromStdString(c), QMessageBox::AcceptRole));
  // Nothing is chosen for the user: Enter and Escape cancel.
  QPushButton* cancel = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
  return std::nullopt;
}

std::optional<std::string> TQtDialogs::OpenFileName(const TFileDialogSpec& spec) {
  auto* dialog = MakeDialog(parent_, spec, QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::AnyFile);  // a missing file gets the program's own message
  return RunDialog(dialog, spec);
}

std::optional<std::string> TQtDialogs::SaveFileName(const TFileDialogSpec& spec) {
  return RunDialog(MakeDialog(parent_, spec, QFileDialog::AcceptSave), spec);
}

}  // namespace tavorix

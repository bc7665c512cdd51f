#pragma once
// Window tests: the program's windows created as at start, with every
// message box, question and file dialog answered by a script.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "report/RunPipeline.h"
#include "ui/InputGrid.h"
#include "ui/TavorixWindows.h"
#include "ui/Dialogs.h"
#include "ui/FinishDialog.h"
#include "ui/GraphicsPage.h"
#include "ui/OutputPage.h"
#include "ui/SelectionDialog.h"
#include "ui/MainWindow.h"

namespace tavorix::test {

// Records what the windows show and answers from queues. A dialog or
// question that the test did not script is a failure.
class ScriptedDialogs : public TDialogs {
 public:
  std::vector<std::string> Messages, Questions;
  std::deque<bool> Answers;
  std::deque<TSaveAnswer> SaveAnswers;
  std::deque<std::optional<int>> Choices;
  std::vector<std::vector<std::string>> ChoiceButtons;
  std::deque<std::optional<std::string>> OpenNames, SaveNames;
  std::vector<TFileDialogSpec> OpenSpecs, SaveSpecs;
  // Runs while a save dialog is "open" (a real one takes the focus).
  std::function<void()> WhileSaving;

  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  // Runs while a question is open (the program goes on meanwhile).
  std::function<void()> WhileAsking;
  bool Confirm(const std::string& question) override {
    Questions.push_back(question);
    if (WhileAsking) std::exchange(WhileAsking, nullptr)();
    if (Answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << question;
      return false;
    }
    const bool a = Answers.front();
    Answers.pop_front();
    return a;
  }
  TSaveAnswer AskSave(const std::string& question) override {
    Questions.push_back(question);
    if (SaveAnswers.empty()) {
      ADD_FAILURE() << "unexpected question: " << question;
      return TSaveAnswer::Cancel;
    }
    const TSaveAnswer a = SaveAnswers.front();
    SaveAnswers.pop_front();
    return a;
  }
  std::optional<int> AskChoice(const std::string& question, const std::vector<std::string>& choices) override {
    Questions.push_back(question);
    ChoiceButtons.push_back(choices);
    if (Choices.empty()) {
      ADD_FAILURE() << "unexpected question: " << question;
      return std::nullopt;
    }
    const auto a = Choices.front();
    Choices.pop_front();
    return a;
  }
  std::optional<std::string> OpenFileName(const TFileDialogSpec& spec) override {
    OpenSpecs.push_back(spec);
    return Next(OpenNames, "open");
  }
  std::optional<std::string> SaveFileName(const TFileDialogSpec& spec) override {
    SaveSpecs.push_back(spec);
    if (WhileSaving) WhileSaving();
    return Next(SaveNames, "save");
  }
  std::string LastMessage() const { return Messages.empty() ? std::string() : Messages.back(); }
  bool Showed(const std::string& text) const {
    for (const auto& m : Messages)
      if (m == text) return true;
    return false;
  }

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& q, const char* what) {
    if (q.empty()) {
      ADD_FAILURE() << "unexpected " << what << " dialog";
      return std::nullopt;
    }
    auto name = q.front();
    q.pop_front();
    return name;
  }
};

// The 24 failure times of the examples run in `folder` with the Gumbel
// preferred (a quick fit, and one a bootstrap can refit): the path of the
// results file, empty when the run did not give the Gumbel.
inline std::string RunFailureTimesWithGumbel(const QString& folder) {
  TDMTavorix dm;
  dm.FileName = (folder + "/failure.inp").toStdString();
  std::filesystem::copy_file(std::string(TAVORIX_EXAMPLES_DIR) + "/failure.inp", dm.FileName);
  dm.ReadInputFile();
  dm.SelectionCode = "4";
  TavorixRun run;
  if (RunSaveRunStages(dm, run, false, PipelineOptions{}).DistCode != 4) return {};
  return (folder + "/failure.out").toStdString();
}

// A widget or action under `root`, found by the object name the window gives it.
template <class T>
T* FindIn(const QObject* root, const char* name) {
  T* found = root->findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) ADD_FAILURE() << "no " << name << " found";
  return found;
}

class WindowsTest : public ::testing::Test {
 protected:
  template <class T>
  T* Find(const char* name) const { return FindIn<T>(form, name); }
  QWidget* Widget(const char* name) const { return Find<QWidget>(name); }
  QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
  QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
  QComboBox* Combo(const char* name) const { return Find<QComboBox>(name); }
  QPlainTextEdit* Text(const char* name) const { return Find<QPlainTextEdit>(name); }
  QLabel* Label(const char* name) const { return Find<QLabel>(name); }
  QAction* Action(const char* name) const { return Find<QAction>(name); }
  TGridView* Grid() const { return Find<TGridView>("DataGrid"); }
  // The choice of graph type 1..8 on the Graphics page.
  QRadioButton* GraphChoice(int type) const {
    return Find<QRadioButton>(("GraphType" + std::to_string(type)).c_str());
  }
  // Choice 1, 2, ... of the selection window (1 = best of all).
  QRadioButton* Choice(int number) const {
    return FindIn<QRadioButton>(windows.Selection.get(), ("Choice" + std::to_string(number)).c_str());
  }
  // Checks a choice of the selection window and confirms it.
  void ConfirmChoice(int number) {
    Choice(number)->setChecked(true);
    FindIn<QPushButton>(windows.Selection.get(), "ConfirmButton")->click();
  }
  // Confirms the button of the registry row chosen by the preference text
  // (the buttons follow "Best of All" in the order of the selection places).
  void ConfirmPreference(std::string_view preference) {
    int place = 0;
    for (const DistributionInfo& d : Registry())
      if (d.Preference == preference && d.SelectPlace > 0) place = d.SelectPlace;
    ASSERT_GT(place, 0) << "no button prefers " << preference;
    int number = 1;
    for (const DistributionInfo& d : Registry())
      if (d.SelectPlace > 0 && d.SelectPlace <= place) ++number;
    ConfirmChoice(number);
    ASSERT_EQ(dm->SelectionCode, preference);
  }
  // The graph drawn last, at its file size.
  const QImage& DrawnGraph() const { return Find<GraphicsPage>("GraphicsPage")->DrawnGraph(); }

  void SetUp() override {
    windows = CreateTavorixWindows(dialogs);
    form = windows.Main.get();
    dm = windows.DataModule.get();
    form->SetStagePauseMs(1);
    windows.Finish->EndProgram = [this] { ended = true; };
    form->show();
    form->ShowPage(Page::Input);
    ASSERT_TRUE(folder.isValid());
  }

  std::string Path(const std::string& name) const { return (folder.path() + "/").toStdString() + name; }

  // Pastes text from the clipboard into the cell's in-place editor, as a
  // user does with a column copied from a spreadsheet (Ctrl+V).
  void PasteIntoCell(int row, int column, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    TGridView* grid = Grid();
    const QModelIndex index = grid->model()->index(row, column);
    grid->setCurrentIndex(index);
    grid->edit(index);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(index));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
  }

  // Waits until a Save-Run that was started has ended.
  void WaitForRun() {
    QElapsedTimer clock;
    clock.start();
    while (form->RunInProgress() && clock.elapsed() < 120000) QTest::qWait(5);
    ASSERT_FALSE(form->RunInProgress()) << "the run did not end";
  }

  // The rows the grid shows (its row header follows what the model announced).
  int Rows() const { return Grid()->verticalHeader()->count(); }

  // One value a line, each line ended by CR LF.
  static QString Column(const std::vector<double>& values) {
    QString text;
    for (double v : values) text += QString::number(v, 'f', 4) + "\r\n";
    return text;
  }

  // Types text into a value cell of the grid (the current one for row -1)
  // and presses Enter, as a user does: the editor opens on the first key.
  void TypeIntoCell(int row, const QString& text) {
    TGridView* grid = Grid();
    QApplication::setActiveWindow(form);
    grid->setFocus();
    if (row >= 0) grid->setCurrentIndex(grid->model()->index(row, 1));
    QTest::keyClicks(grid, text.left(1));
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
  }

  void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  QString Cell(int row, int column) const {
    return Grid()->model()->index(row, column).data().toString();
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

  ScriptedDialogs dialogs;
  TTavorixWindows windows;
  MainWindow* form = nullptr;
  TDMTavorix* dm = nullptr;
  bool ended = false;
  QTemporaryDir folder;
};

}  // namespace tavorix::test

#pragma once
// The Graphics page: choosing, drawing and saving the graphs of the results
// file shown, and opening a saved graph.

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "ui/Page.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tavorix {

class TDMTavorix;
class TDialogs;
struct TWindowState;
struct GraphView;

// The Graphics page offers the confidence-belt toggle only where it changes
// the picture: graphs with a belt (cumulative, return periods, belt of X)
// with few enough points for the belt to be drawn.
bool BeltToggleOffered(int graphType, int points);

class GraphicsPage : public QWidget {
  Q_OBJECT

 public:
  GraphicsPage(TWindowState& state, TDMTavorix& dm, TDialogs& dialogs, QWidget* parent = nullptr);
  ~GraphicsPage() override;

  // The page came to the front.
  void Shown();
  // The Output page came to the front: the choices show unless a picture does.
  void Prepare();
  // "Graphics" of the Output page: the choices, without those the results
  // cannot give (Gamma has no X from a frequency).
  void OfferChoices();
  // A results file was opened: the choices, no graph or picture.
  void ResultsOpened();
  // A run has ended: no graph or picture of the results before.
  void RunFinished();
  // Clear data: nothing to choose or show.
  void ResultsForgotten();

  // The graph drawn last, at the size of its file.
  const QImage& DrawnGraph() const { return graph_; }

 signals:
  void Status(const QString& text);
  void PageRequested(tavorix::Page page);
  // "Make graph": a results file is to be opened for the graphs.
  void OpenResultsRequested();
  // A saved graph was opened: the results are no longer what is shown.
  void PictureOpened();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MakeGraphButtonClick();
  void GraphSelectionButtonClick();
  void GoButtonClick();
  void SaveGraphButtonClick();
  void SaveBlackWhiteButtonClick();
  void BeltButtonClick();
  void OpenGraphButtonClick();

  void Reset();  // hides the graph and its buttons, belt on
  void DrawGraph(bool colour);
  void SaveGraph(bool colour);
  // The graph drawn last, scaled to the graph area at the screen's device
  // pixel ratio; an opened picture scaled to fit the area.
  void ShowGraphOnScreen();
  void ShowPictureOnScreen();

  TWindowState& state_;
  TDMTavorix& dm_;
  TDialogs& dialogs_;

  QLabel *graphImage_, *pictureImage_;
  QGroupBox* choices_;
  std::array<QRadioButton*, 8> graphTypes_{};  // graph types 1..8
  QCheckBox* logPeriodsBox_;  // return periods (type 4) on a logarithmic axis
  QPushButton *makeGraphButton_, *graphSelectionButton_, *saveGraphButton_, *saveBlackWhiteButton_, *beltButton_;
  QWidget* graphArea_;  // the viewport the graph fills

  std::unique_ptr<GraphView> graphView_;
  QImage graph_;                 // the graph drawn last
  QImage picture_;               // the picture opened last
  bool drawnColour_ = true, drawnBelt_ = true;  // the graph drawn last
  double shownDpr_ = 1;          // device pixel ratio of the picture on the page
};

}  // namespace tavorix

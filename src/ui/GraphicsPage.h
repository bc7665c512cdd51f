#pragma once
// The Graphics page: choosing, drawing and saving the graphs of the results
// file shown, and opening a saved graph. The return-period graph and the
// probability paper can carry the bootstrap interval of X, made on a worker
// with its progress and Cancel and then drawn.

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "ui/Page.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tavorix {

class TDMTavorix;
class TDialogs;
struct TWindowState;
struct GraphView;
struct BootstrapBand;
class TBootstrapController;
struct TBootstrapOutcome;

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
  // The bootstrap band of the graph is being made.
  bool BandRunning() const;

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
  void CancelBandButtonClick();

  void Reset();  // hides the graph and its buttons, belt on
  // Draws the graph chosen; with `startBand` a bootstrap band asked for and
  // not made yet is started, to be drawn when it ends.
  void DrawGraph(bool colour, bool startBand = false);
  // The graph type and choices of the band the graph is to carry (empty for none).
  std::optional<std::string> BandKey() const;
  void StartBand(std::string key);
  void BandFinished(const TBootstrapOutcome& outcome);
  void ShowBandRunning(bool running);
  // Stops a band being made and forgets the band made: the results changed.
  void ForgetBand();
  // The band choice follows the graph type: graphs 4 and 8 only.
  void OfferBandChoice();
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
  QCheckBox* bandBox_;        // "bootstrap interval of X" (types 4 and 8)
  QSpinBox* bandReplicasEdit_;
  QPushButton *makeGraphButton_, *graphSelectionButton_, *saveGraphButton_, *saveBlackWhiteButton_, *beltButton_,
      *openGraphButton_, *cancelBandButton_;
  QProgressBar* bandProgress_;
  QWidget* graphArea_;  // the viewport the graph fills

  std::unique_ptr<GraphView> graphView_;
  QImage graph_;                 // the graph drawn last
  QImage picture_;               // the picture opened last
  bool drawnColour_ = true, drawnBelt_ = true;  // the graph drawn last
  double shownDpr_ = 1;          // device pixel ratio of the picture on the page
  TBootstrapController* bootstrap_ = nullptr;
  // The band made last and the key it was made for (a failed one is kept
  // empty, so that redrawing does not ask again); the key of the band running.
  std::unique_ptr<BootstrapBand> band_;
  std::string bandKey_, runningBandKey_;
  bool bandPending_ = false;  // a band asked for while the one cancelled ends
};

}  // namespace tavorix

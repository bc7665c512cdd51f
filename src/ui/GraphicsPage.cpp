#include "ui/GraphicsPage.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>
#include <utility>

#include "core/Session.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"
#include "fitting/Registry.h"
#include "graphs/draw/GraphDrawing.h"
#include "graphs/draw/GraphFile.h"
#include "graphs/fitted/FittedGraphs.h"
#include "graphs/GraphView.h"
#include "report/ParameterFile.h"
#include "ui/BootstrapController.h"
#include "ui/Dialogs.h"

namespace tavorix {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHideBelt = "Hide conf. belt";
constexpr const char* kShowBelt = "Show conf. belt";
constexpr const char* kGraphShownStatus =
    "The graph can be saved, or another selection can be made, or another output file can be opened using "
    "\"Make graph\"";

// Captions of the graph types 1..8.
constexpr const char* kGraphCaptions[kGraphTypeCount] = {
    "Cumulative distribution",
    "Interval distribution (histogram calculated)",
    "Confidence belt of X",
    "Return periods",
    "Predicted-observed",
    "Interval distribution (histogram observed)",
    "Quantiles observed-calculated (Q-Q)",
    "Probability paper (return periods)",
};

// The save dialog: the bitmap formats and the vector formats, by the file name.
const TFileDialogSpec kGraphSaveFormats{
    "BMP image (*.bmp)|*.bmp|PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf", "bmp",
    "", ""};

// The number of points that decides whether the belt of a graph is drawn.
int BeltPoints(const GraphView& view) {
  switch (view.Type) {
    case kGraphCumulative:
      return view.Data.SparseData ? static_cast<int>(view.Curve.X.size()) : view.Data.RowCount;
    case kGraphReturnPeriods: return view.Data.RowCount;
    default: return view.Data.N;
  }
}

}  // namespace

bool BeltToggleOffered(int graphType, int points) {
  switch (graphType) {
    case kGraphCumulative:
    case kGraphReturnPeriods:
    case kGraphConfidenceBelt: return points <= kMaxBeltData;
    case kGraphProbabilityPaper: return true;  // its limits come from the fitted curve, whatever the data
    default: return false;
  }
}

GraphicsPage::~GraphicsPage() = default;

GraphicsPage::GraphicsPage(TWindowState& state, TDMTavorix& dm, TDialogs& dialogs, QWidget* parent)
    : QWidget(parent), state_(state), dm_(dm), dialogs_(dialogs), graphView_(std::make_unique<GraphView>()) {
  setObjectName("GraphicsPage");
  auto* canvas = new QWidget;
  graphImage_ = new QLabel(canvas);
  graphImage_->setObjectName("GraphImage");
  graphImage_->setFixedSize(kGraphWidth, kGraphHeight);
  graphImage_->hide();
  pictureImage_ = new QLabel(canvas);
  pictureImage_->setObjectName("PictureImage");
  pictureImage_->setFixedSize(kGraphWidth, kGraphHeight);
  pictureImage_->hide();
  // A moved window may come to a screen of another pixel ratio: seen when painting.
  graphImage_->installEventFilter(this);
  pictureImage_->installEventFilter(this);
  choices_ = new QGroupBox("Select type of graph", canvas);
  choices_->setObjectName("GraphChoices");
  auto* choiceLayout = new QVBoxLayout(choices_);
  for (int t = 0; t < kGraphTypeCount; ++t) {
    graphTypes_[t] = new QRadioButton(kGraphCaptions[t], choices_);
    graphTypes_[t]->setObjectName(QString("GraphType%1").arg(t + 1));
    choiceLayout->addWidget(graphTypes_[t]);
    if (t + 1 == kGraphReturnPeriods) {
      logPeriodsBox_ = new QCheckBox("logarithmic return periods", choices_);
      logPeriodsBox_->setObjectName("LogPeriodsBox");
      auto* row = new QHBoxLayout;  // indented under its graph type
      row->addSpacing(20);
      row->addWidget(logPeriodsBox_);
      row->addStretch();
      choiceLayout->addLayout(row);
    }
  }
  // The bootstrap band of the graphs that show X against the return period.
  bandBox_ = new QCheckBox("bootstrap interval of X", choices_);
  bandBox_->setObjectName("BandBox");
  // The replicas with their label, enabled with the choice.
  auto* replicas = new QWidget(choices_);
  bandReplicasEdit_ = new QSpinBox(replicas);
  bandReplicasEdit_->setObjectName("BandReplicasEdit");
  bandReplicasEdit_->setRange(10, 100000);
  bandReplicasEdit_->setValue(kDefaultReplicas);
  auto* replicasRow = new QHBoxLayout(replicas);
  replicasRow->setContentsMargins(0, 0, 0, 0);
  replicasRow->addWidget(new QLabel("Replicas", replicas));
  replicasRow->addWidget(bandReplicasEdit_);
  auto* bandRow = new QHBoxLayout;
  bandRow->addWidget(bandBox_);
  bandRow->addSpacing(12);
  bandRow->addWidget(replicas);
  bandRow->addStretch();
  choiceLayout->addLayout(bandRow);
  for (QRadioButton* b : graphTypes_) connect(b, &QRadioButton::toggled, this, &GraphicsPage::OfferBandChoice);
  graphTypes_[0]->setChecked(true);
  OfferBandChoice();
  auto* goButton = new QPushButton("Go", choices_);
  goButton->setObjectName("GoButton");
  choiceLayout->addWidget(goButton, 0, Qt::AlignLeft);
  choiceLayout->addStretch();
  choices_->hide();
  auto* canvasLayout = new QGridLayout(canvas);
  canvasLayout->setContentsMargins(0, 0, 0, 0);
  canvasLayout->addWidget(graphImage_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  canvasLayout->addWidget(pictureImage_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  canvasLayout->addWidget(choices_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  // The graph grows with the window; below its own size it scrolls.
  auto* area = new QScrollArea(this);
  area->setWidget(canvas);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  graphArea_ = area->viewport();
  graphArea_->installEventFilter(this);

  makeGraphButton_ = new QPushButton("Make graph", this);
  makeGraphButton_->setObjectName("MakeGraphButton");
  graphSelectionButton_ = new QPushButton("Graph selection", this);
  graphSelectionButton_->setObjectName("GraphSelectionButton");
  saveGraphButton_ = new QPushButton("Save color graph", this);
  saveGraphButton_->setObjectName("SaveGraphButton");
  saveBlackWhiteButton_ = new QPushButton("Save black-white graph", this);
  saveBlackWhiteButton_->setObjectName("SaveBlackWhiteButton");
  beltButton_ = new QPushButton(kHideBelt, this);
  beltButton_->setObjectName("BeltButton");
  openGraphButton_ = new QPushButton("Open a graph", this);
  openGraphButton_->setObjectName("OpenGraphButton");
  for (QPushButton* b : {graphSelectionButton_, saveGraphButton_, saveBlackWhiteButton_, beltButton_}) b->hide();
  bandProgress_ = new QProgressBar(this);
  bandProgress_->setObjectName("BandProgress");
  bandProgress_->hide();
  cancelBandButton_ = new QPushButton("Cancel", this);
  cancelBandButton_->setObjectName("CancelBandButton");
  cancelBandButton_->hide();
  bootstrap_ = new TBootstrapController(this);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {makeGraphButton_, graphSelectionButton_, saveGraphButton_, saveBlackWhiteButton_, beltButton_,
                         openGraphButton_})
    buttons->addWidget(b);
  buttons->addStretch();
  // Under the buttons while the band is made: the row of buttons stays as wide as it was.
  auto* bandRunning = new QHBoxLayout;
  bandRunning->addWidget(bandProgress_, 1);
  bandRunning->addWidget(cancelBandButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(area, 1);
  layout->addLayout(buttons);
  layout->addLayout(bandRunning);

  connect(makeGraphButton_, &QPushButton::clicked, this, &GraphicsPage::MakeGraphButtonClick);
  connect(graphSelectionButton_, &QPushButton::clicked, this, &GraphicsPage::GraphSelectionButtonClick);
  connect(goButton, &QPushButton::clicked, this, &GraphicsPage::GoButtonClick);
  connect(saveGraphButton_, &QPushButton::clicked, this, &GraphicsPage::SaveGraphButtonClick);
  connect(saveBlackWhiteButton_, &QPushButton::clicked, this, &GraphicsPage::SaveBlackWhiteButtonClick);
  connect(beltButton_, &QPushButton::clicked, this, &GraphicsPage::BeltButtonClick);
  connect(openGraphButton_, &QPushButton::clicked, this, &GraphicsPage::OpenGraphButtonClick);
  connect(cancelBandButton_, &QPushButton::clicked, this, &GraphicsPage::CancelBandButtonClick);
  bootstrap_->ShowProgressIn(bandProgress_);
  connect(bootstrap_, &TBootstrapController::Finished, this, &GraphicsPage::BandFinished);
}

void GraphicsPage::Shown() {
  emit Status("Graphics presentations of output data can be seen and saved. Use \"Make graph\" to open an "
             "output file and make the graphs.");
  if (!state_.GraphMade) {
    saveGraphButton_->hide();
    saveBlackWhiteButton_->hide();
  }
  if (!state_.OutputFileOpen) choices_->hide();
}

void GraphicsPage::Prepare() {
  choices_->setVisible(pictureImage_->isHidden() && state_.OutputFileOpen);
  graphImage_->hide();
}

void GraphicsPage::OfferChoices() {
  choices_->show();
  // Gamma results have no X from a frequency: no belt of X and no Q-Q graph.
  graphTypes_[kGraphConfidenceBelt - 1]->setEnabled(!NoXFromFrequency(state_.ResultsCode));
  graphTypes_[kGraphQuantiles - 1]->setEnabled(!NoXFromFrequency(state_.ResultsCode));
  OfferBandChoice();
}

void GraphicsPage::ResultsOpened() {
  ForgetBand();
  choices_->show();
  pictureImage_->hide();
  Reset();
}

void GraphicsPage::RunFinished() {
  ForgetBand();
  graphImage_->hide();
  pictureImage_->hide();
}

void GraphicsPage::ResultsForgotten() {
  ForgetBand();
  Reset();
  choices_->hide();
}

void GraphicsPage::OfferBandChoice() {
  const bool offered = graphTypes_[kGraphReturnPeriods - 1]->isChecked() ||
                       graphTypes_[kGraphProbabilityPaper - 1]->isChecked();
  bandBox_->setEnabled(offered);
  bandReplicasEdit_->parentWidget()->setEnabled(offered);
}

void GraphicsPage::Reset() {
  for (QWidget* w : {static_cast<QWidget*>(graphImage_), static_cast<QWidget*>(graphSelectionButton_),
                     static_cast<QWidget*>(saveGraphButton_), static_cast<QWidget*>(saveBlackWhiteButton_),
                     static_cast<QWidget*>(beltButton_)})
    w->hide();
  beltButton_->setText(kHideBelt);
  state_.BeltOn = true;
}

void GraphicsPage::MakeGraphButtonClick() {
  dialogs_.ShowMessage("Select folder and output data file to create the graph");
  emit OpenResultsRequested();
}

void GraphicsPage::GraphSelectionButtonClick() {
  emit Status("Select type of graph");
  choices_->show();
  pictureImage_->hide();
  Reset();
}

void GraphicsPage::GoButtonClick() {
  emit Status(kGraphShownStatus);
  graphSelectionButton_->show();
  int type = 0;
  for (int t = 0; t < kGraphTypeCount && type == 0; ++t)
    if (graphTypes_[t]->isChecked() && graphTypes_[t]->isEnabled()) type = t + 1;
  if (type == 0) {
    dialogs_.ShowMessage(" The desired type of graph could not be assessed");
    return;
  }
  state_.GraphType = type;
  DrawGraph(true, true);
}

void GraphicsPage::DrawGraph(bool colour, bool startBand) {
  state_.GraphMade = true;
  choices_->hide();
  makeGraphButton_->show();
  saveGraphButton_->show();
  saveBlackWhiteButton_->show();
  beltButton_->hide();
  try {
    PrepareAnyGraph(WithExtension(dm_.FileName, ".out"), state_.GraphType, *graphView_, logPeriodsBox_->isChecked());
  } catch (const std::exception& e) {
    // A failed draw leaves no picture: the previous one is not saved in its place.
    graph_ = QImage();
    state_.GraphMade = false;
    for (QWidget* w : {static_cast<QWidget*>(graphImage_), static_cast<QWidget*>(saveGraphButton_),
                       static_cast<QWidget*>(saveBlackWhiteButton_)})
      w->hide();
    dialogs_.ShowMessage(e.what());
    return;
  }
  const std::optional<std::string> key = BandKey();
  if (key && band_ && *key == bandKey_) graphView_->Band = *band_;
  graph_ = tavorix::DrawGraph(*graphView_, DrawOptions{colour, state_.BeltOn});
  drawnColour_ = colour;
  drawnBelt_ = state_.BeltOn;
  beltButton_->setVisible(BeltToggleOffered(state_.GraphType, BeltPoints(*graphView_)));
  ShowGraphOnScreen();
  pictureImage_->hide();
  graphImage_->show();
  if (startBand && key && *key != bandKey_) {
    // A band cancelled a moment ago is still ending: this one starts after it.
    if (BandRunning()) bandPending_ = true;
    else StartBand(*key);
  }
}

// --- the bootstrap band ------------------------------------------------------------

std::optional<std::string> GraphicsPage::BandKey() const {
  const int type = state_.GraphType;
  if (!bandBox_->isChecked() || (type != kGraphReturnPeriods && type != kGraphProbabilityPaper)) return std::nullopt;
  return WithExtension(dm_.FileName, ".out") + '\n' + std::to_string(type) + '\n' +
         (type == kGraphReturnPeriods && logPeriodsBox_->isChecked() ? "log" : "linear") + '\n' +
         std::to_string(bandReplicasEdit_->value());
}

bool GraphicsPage::BandRunning() const { return bootstrap_->Running(); }

void GraphicsPage::StartBand(std::string key) {
  TBandRequest request;
  request.OutPath = WithExtension(dm_.FileName, ".out");
  request.View = *graphView_;
  request.View.Band = BootstrapBand{};
  request.Replicas = bandReplicasEdit_->value();
  runningBandKey_ = std::move(key);
  bandProgress_->setRange(0, request.Replicas);
  bandProgress_->setValue(0);
  ShowBandRunning(true);
  emit Status("The bootstrap interval of X is being made; it is drawn when it is ready");
  bootstrap_->StartBand(std::move(request));
}

void GraphicsPage::CancelBandButtonClick() { bootstrap_->Cancel(); }

// While the band is made the graph and its file stay as they are.
void GraphicsPage::ShowBandRunning(bool running) {
  bandProgress_->setVisible(running);
  cancelBandButton_->setVisible(running);
  for (QPushButton* b : {makeGraphButton_, graphSelectionButton_, saveGraphButton_, saveBlackWhiteButton_, beltButton_,
                         openGraphButton_})
    b->setEnabled(!running);
}

void GraphicsPage::BandFinished(const TBootstrapOutcome& outcome) {
  ShowBandRunning(false);
  const bool pending = std::exchange(bandPending_, false);
  // Empty when the results were forgotten meanwhile.
  const std::string key = std::exchange(runningBandKey_, {});
  if (!key.empty() && !outcome.Cancelled) {
    // A refusal is kept as an empty band: redrawing does not ask again.
    band_ = std::make_unique<BootstrapBand>(outcome.Band.value_or(BootstrapBand{}));
    bandKey_ = key;
    emit Status(kGraphShownStatus);
    if (!outcome.Error.empty()) dialogs_.ShowMessage(std::string(TrimBlanks(outcome.Error)));
  }
  if (!graphImage_->isHidden() && (pending || (!key.empty() && BandKey() == key))) DrawGraph(drawnColour_, pending);
}

void GraphicsPage::ForgetBand() {
  bootstrap_->Cancel();
  runningBandKey_.clear();
  band_.reset();
  bandKey_.clear();
  bandPending_ = false;
}

void GraphicsPage::ShowGraphOnScreen() {
  if (graph_.isNull()) return;
  shownDpr_ = graphImage_->devicePixelRatioF();
  const QImage image =
      DrawGraphForArea(*graphView_, DrawOptions{drawnColour_, drawnBelt_}, graphArea_->size(), shownDpr_);
  graphImage_->setFixedSize(GraphSizeForArea(graphArea_->size()));
  graphImage_->setPixmap(QPixmap::fromImage(image));
}

void GraphicsPage::ShowPictureOnScreen() {
  if (picture_.isNull()) return;
  shownDpr_ = pictureImage_->devicePixelRatioF();
  const QSize logical = picture_.size().scaled(graphArea_->size().expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
  QImage scaled = picture_.scaled(logical * shownDpr_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  scaled.setDevicePixelRatio(shownDpr_);
  pictureImage_->setFixedSize(logical);
  pictureImage_->setPixmap(QPixmap::fromImage(scaled));
}

bool GraphicsPage::eventFilter(QObject* watched, QEvent* event) {
  const bool resized = watched == graphArea_ && event->type() == QEvent::Resize;
  const bool otherRatio = (watched == graphImage_ || watched == pictureImage_) && event->type() == QEvent::Paint &&
                          static_cast<QWidget*>(watched)->devicePixelRatioF() != shownDpr_;
  if (resized || otherRatio) {
    // Drawn again once the event is done, not inside a paint.
    QTimer::singleShot(0, this, [this] {
      if (!graphImage_->isHidden()) ShowGraphOnScreen();
      if (!pictureImage_->isHidden()) ShowPictureOnScreen();
    });
  }
  return QWidget::eventFilter(watched, event);
}

void GraphicsPage::SaveGraph(bool colour) {
  TFileDialogSpec spec = kGraphSaveFormats;
  spec.InitialDir = state_.DialogFolder;
  const auto path = dialogs_.SaveFileName(spec);
  if (!path) {
    dialogs_.ShowMessage("The graph was not saved");
    return;
  }
  std::error_code ec;
  if (fs::exists(*path, ec) && !dialogs_.Confirm("The file already exists, overwrite?")) return;
  try {
    // Bitmaps are the picture on the page; the vector formats draw it again.
    const GraphFormat format = GraphFormatOf(*path);
    if (format == GraphFormat::Svg || format == GraphFormat::Pdf)
      tavorix::SaveGraph(*graphView_, DrawOptions{colour, state_.BeltOn}, *path);
    else
      SaveGraphImage(graph_, *path);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  dialogs_.ShowMessage("The graph was saved in  " + *path);
}

void GraphicsPage::SaveGraphButtonClick() {
  DrawGraph(true);
  if (!graph_.isNull()) SaveGraph(true);
}

void GraphicsPage::SaveBlackWhiteButtonClick() {
  DrawGraph(false);
  if (!graph_.isNull()) SaveGraph(false);
}

void GraphicsPage::BeltButtonClick() {
  if (beltButton_->text() == kHideBelt) {
    state_.BeltOn = false;
    beltButton_->setText(kShowBelt);
  } else {
    state_.BeltOn = true;
    beltButton_->setText(kHideBelt);
  }
  GoButtonClick();
}

void GraphicsPage::OpenGraphButtonClick() {
  TFileDialogSpec spec = kGraphOpenDialog;
  spec.InitialDir = state_.DialogFolder;
  const auto path = dialogs_.OpenFileName(spec);
  if (!path) {
    dialogs_.ShowMessage("No graphics file was selected");
    return;
  }
  std::error_code ec;
  if (!fs::exists(*path, ec)) {
    dialogs_.ShowMessage("File does not exist, please select another one");
    return;
  }
  const QImage picture = LoadGraphImage(*path);
  if (picture.isNull()) {
    dialogs_.ShowMessage(FileOpenErrorText(*path));
    return;
  }
  picture_ = picture;
  pictureImage_->show();
  ShowPictureOnScreen();
  state_.GraphMade = true;
  choices_->hide();
  emit PictureOpened();
  Reset();
  state_.DialogFolder = fs::path(*path).parent_path().string();
  emit PageRequested(Page::Graphics);
}

}  // namespace tavorix

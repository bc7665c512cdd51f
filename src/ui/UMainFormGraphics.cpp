// The Graphics page of the main window: choosing, drawing and saving the
// graphs of a results file, and opening a saved graph.

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "core/TavorixError.h"
#include "core/UDMTavorix.h"
#include "graphs/GraphView.h"
#include "graphs/fitted/FittedGraphs.h"
#include "graphs/draw/GraphDrawing.h"
#include "graphs/draw/GraphFile.h"
#include "report/ParameterFile.h"
#include "ui/UDialogs.h"
#include "ui/RankedListWindow.h"
#include "ui/UMainForm.h"

namespace tavorix {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHideBelt = "Hide conf. belt";
constexpr const char* kShowBelt = "Show conf. belt";

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

void TMainForm::BuildGraphicsPage() {
  graphView_ = std::make_unique<GraphView>();

  auto* canvas = new QWidget;
  GraphImage = new QLabel(canvas);
  GraphImage->setObjectName("GraphImage");
  GraphImage->setFixedSize(kGraphWidth, kGraphHeight);
  GraphImage->hide();
  PictureImage = new QLabel(canvas);
  PictureImage->setObjectName("PictureImage");
  PictureImage->setFixedSize(kGraphWidth, kGraphHeight);
  PictureImage->hide();
  // A moved window may come to a screen of another pixel ratio: seen when painting.
  GraphImage->installEventFilter(this);
  PictureImage->installEventFilter(this);
  ChoicePanel = new QGroupBox("Select type of graph", canvas);
  ChoicePanel->setObjectName("GraphChoices");
  auto* choices = new QVBoxLayout(ChoicePanel);
  for (int t = 0; t < kGraphTypeCount; ++t) {
    GraphRadioButtons[t] = new QRadioButton(kGraphCaptions[t], ChoicePanel);
    GraphRadioButtons[t]->setObjectName(QString("GraphType%1").arg(t + 1));
    choices->addWidget(GraphRadioButtons[t]);
    if (t + 1 == kGraphReturnPeriods) {
      LogPeriodsBox = new QCheckBox("logarithmic return periods", ChoicePanel);
      LogPeriodsBox->setObjectName("LogPeriodsBox");
      auto* row = new QHBoxLayout;  // indented under its graph type
      row->addSpacing(20);
      row->addWidget(LogPeriodsBox);
      row->addStretch();
      choices->addLayout(row);
    }
  }
  GraphRadioButtons[0]->setChecked(true);
  GoButton = new QPushButton("Go", ChoicePanel);
  GoButton->setObjectName("GoButton");
  choices->addWidget(GoButton, 0, Qt::AlignLeft);
  choices->addStretch();
  ChoicePanel->hide();
  auto* canvasLayout = new QGridLayout(canvas);
  canvasLayout->setContentsMargins(0, 0, 0, 0);
  canvasLayout->addWidget(GraphImage, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  canvasLayout->addWidget(PictureImage, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  canvasLayout->addWidget(ChoicePanel, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  // The graph grows with the window; below its own size it scrolls.
  auto* area = new QScrollArea(GraphicsTabSheet);
  area->setWidget(canvas);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  graphArea_ = area->viewport();
  graphArea_->installEventFilter(this);

  MakeGraphButton = new QPushButton("Make graph", GraphicsTabSheet);
  MakeGraphButton->setObjectName("MakeGraphButton");
  SelectButton = new QPushButton("Graph selection", GraphicsTabSheet);
  SelectButton->setObjectName("GraphSelectionButton");
  SaveGraphButton = new QPushButton("Save color graph", GraphicsTabSheet);
  SaveGraphButton->setObjectName("SaveGraphButton");
  SaveBlWhButton = new QPushButton("Save black-white graph", GraphicsTabSheet);
  SaveBlWhButton->setObjectName("SaveBlackWhiteButton");
  ConfBeltButton = new QPushButton(kHideBelt, GraphicsTabSheet);
  ConfBeltButton->setObjectName("BeltButton");
  OpenGraphButton = new QPushButton("Open a graph", GraphicsTabSheet);
  OpenGraphButton->setObjectName("OpenGraphButton");
  for (QPushButton* b : {SelectButton, SaveGraphButton, SaveBlWhButton, ConfBeltButton}) b->hide();

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {MakeGraphButton, SelectButton, SaveGraphButton, SaveBlWhButton, ConfBeltButton,
                         OpenGraphButton})
    buttons->addWidget(b);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(GraphicsTabSheet);
  layout->addWidget(area, 1);
  layout->addLayout(buttons);

  connect(MakeGraphButton, &QPushButton::clicked, this, &TMainForm::MakeGraphButtonClick);
  connect(SelectButton, &QPushButton::clicked, this, &TMainForm::SelectButtonClick);
  connect(GoButton, &QPushButton::clicked, this, &TMainForm::GoButtonClick);
  connect(SaveGraphButton, &QPushButton::clicked, this, &TMainForm::SaveGraphButtonClick);
  connect(SaveBlWhButton, &QPushButton::clicked, this, &TMainForm::SaveBlWhButtonClick);
  connect(ConfBeltButton, &QPushButton::clicked, this, &TMainForm::ConfBeltButtonClick);
  connect(OpenGraphButton, &QPushButton::clicked, this, &TMainForm::GraphOpenActionExecute);
}

void TMainForm::GraphicsTabSheetShow() {
  ShowStatus("Graphics presentations of output data can be seen and saved. Use \"Make graph\" to open an "
             "output file and make the graphs.");
  UpdateCommands();
  if (!state_.GraphMade) {
    SaveGraphButton->hide();
    SaveBlWhButton->hide();
  }
  if (!state_.OutputFileOpen) ChoicePanel->hide();
}

void TMainForm::PrepareGraphicsPage() {
  ChoicePanel->setVisible(PictureImage->isHidden() && state_.OutputFileOpen);
  GraphImage->hide();
}

void TMainForm::ResetGraphicsPage() {
  for (QWidget* w : {static_cast<QWidget*>(GraphImage), static_cast<QWidget*>(SelectButton),
                     static_cast<QWidget*>(SaveGraphButton), static_cast<QWidget*>(SaveBlWhButton),
                     static_cast<QWidget*>(ConfBeltButton)})
    w->hide();
  ConfBeltButton->setText(kHideBelt);
  state_.BeltOn = true;
}

void TMainForm::MakeGraphButtonClick() {
  dialogs_.ShowMessage("Select folder and output data file to create the graph");
  OutputOpenActionExecute();
}

void TMainForm::SelectButtonClick() {
  ShowStatus("Select type of graph");
  ChoicePanel->show();
  PictureImage->hide();
  ResetGraphicsPage();
}

void TMainForm::GoButtonClick() {
  ShowStatus("The graph can be saved, or another selection can be made, or another output file can be opened "
             "using \"Make graph\"");
  SelectButton->show();
  int type = 0;
  for (int t = 0; t < kGraphTypeCount && type == 0; ++t)
    if (GraphRadioButtons[t]->isChecked() && GraphRadioButtons[t]->isEnabled()) type = t + 1;
  if (type == 0) {
    dialogs_.ShowMessage(" The desired type of graph could not be assessed");
    return;
  }
  state_.GraphType = type;
  DrawGraph(true);
}

void TMainForm::DrawGraph(bool colour) {
  if (!dm_) return;
  state_.GraphMade = true;
  ChoicePanel->hide();
  MakeGraphButton->show();
  SaveGraphButton->show();
  SaveBlWhButton->show();
  ConfBeltButton->hide();
  try {
    PrepareAnyGraph(WithExtension(dm_->FileName, ".out"), state_.GraphType, *graphView_, LogPeriodsBox->isChecked());
  } catch (const std::exception& e) {
    // A failed draw leaves no picture: the previous one is not saved in its place.
    GraphBitmap = QImage();
    state_.GraphMade = false;
    for (QWidget* w : {static_cast<QWidget*>(GraphImage), static_cast<QWidget*>(SaveGraphButton),
                       static_cast<QWidget*>(SaveBlWhButton)})
      w->hide();
    dialogs_.ShowMessage(e.what());
    return;
  }
  GraphBitmap = tavorix::DrawGraph(*graphView_, DrawOptions{colour, state_.BeltOn});
  drawnColour_ = colour;
  drawnBelt_ = state_.BeltOn;
  ConfBeltButton->setVisible(BeltToggleOffered(state_.GraphType, BeltPoints(*graphView_)));
  ShowGraphOnScreen();
  PictureImage->hide();
  GraphImage->show();
}

void TMainForm::ShowGraphOnScreen() {
  if (GraphBitmap.isNull()) return;
  shownDpr_ = GraphImage->devicePixelRatioF();
  const QImage image = DrawGraphForArea(*graphView_, DrawOptions{drawnColour_, drawnBelt_}, graphArea_->size(), shownDpr_);
  GraphImage->setFixedSize(GraphSizeForArea(graphArea_->size()));
  GraphImage->setPixmap(QPixmap::fromImage(image));
}

void TMainForm::ShowPictureOnScreen() {
  if (picture_.isNull()) return;
  shownDpr_ = PictureImage->devicePixelRatioF();
  const QSize logical = picture_.size().scaled(graphArea_->size().expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
  QImage scaled = picture_.scaled(logical * shownDpr_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  scaled.setDevicePixelRatio(shownDpr_);
  PictureImage->setFixedSize(logical);
  PictureImage->setPixmap(QPixmap::fromImage(scaled));
}

bool TMainForm::GraphEvent(QObject* watched, QEvent* event) {
  const bool resized = watched == graphArea_ && event->type() == QEvent::Resize;
  const bool otherRatio = (watched == GraphImage || watched == PictureImage) && event->type() == QEvent::Paint &&
                          static_cast<QWidget*>(watched)->devicePixelRatioF() != shownDpr_;
  if (resized || otherRatio) {
    // Drawn again once the event is done, not inside a paint.
    QTimer::singleShot(0, this, [this] {
      if (!GraphImage->isHidden()) ShowGraphOnScreen();
      if (!PictureImage->isHidden()) ShowPictureOnScreen();
    });
  }
  return false;
}

void TMainForm::SaveGraph(bool colour) {
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
      SaveGraphImage(GraphBitmap, *path);
  } catch (const std::exception& e) {
    dialogs_.ShowMessage(e.what());
    return;
  }
  dialogs_.ShowMessage("The graph was saved in  " + *path);
}

void TMainForm::SaveGraphButtonClick() {
  DrawGraph(true);
  if (!GraphBitmap.isNull()) SaveGraph(true);
}

void TMainForm::SaveBlWhButtonClick() {
  DrawGraph(false);
  if (!GraphBitmap.isNull()) SaveGraph(false);
}

void TMainForm::ConfBeltButtonClick() {
  if (ConfBeltButton->text() == kHideBelt) {
    state_.BeltOn = false;
    ConfBeltButton->setText(kShowBelt);
  } else {
    state_.BeltOn = true;
    ConfBeltButton->setText(kHideBelt);
  }
  GoButtonClick();
}

void TMainForm::GraphOpenActionExecute() {
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
  PictureImage->show();
  ShowPictureOnScreen();
  state_.GraphMade = true;
  ChoicePanel->hide();
  OutputMemo->hide();
  for (QPushButton* b : {ViewGraphButton, FitButton, OptButton, CalcButton}) b->hide();
  ResetGraphicsPage();
  state_.DialogFolder = fs::path(*path).parent_path().string();
  ShowPage(GraphicsTabSheet);
}

}  // namespace tavorix

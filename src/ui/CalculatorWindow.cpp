#include "ui/CalculatorWindow.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "calculator/Calculator.h"
#include "calculator/DesignTable.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "core/UDMTavorix.h"
#include "report/ParameterFile.h"
#include "ui/BootstrapController.h"
#include "ui/WindowPlacement.h"

namespace tavorix {

namespace {

// The font of the window, made smaller until the text fits the field.
void FitFontToText(QLineEdit* field) {
  QFont font = field->parentWidget() ? field->parentWidget()->font() : field->font();
  const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
  const double room = field->width() - 2 * frame - 6;
  const QString text = field->text();
  for (double points = font.pointSizeF(); points > 5 && QFontMetricsF(font).horizontalAdvance(text) > room;) {
    points -= 0.5;
    font.setPointSizeF(points);
  }
  field->setFont(font);
}

const QString kNotAvailable = QStringLiteral("n.a");
const QString kNotAvailableGamma = QStringLiteral(" n.a");

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 0) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  if (w > 0) {
    l->setGeometry(x, y, w, 17);
  } else {
    l->move(x, y);
    l->adjustSize();
  }
  return l;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int x, int y, int w) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setGeometry(x, y, w, 22);
  return e;
}

// An output field: disabled and grey.
QLineEdit* MakeOutput(QWidget* parent, const char* name, int x, int y, int w) {
  QLineEdit* e = MakeEdit(parent, name, x, y, w);
  e->setEnabled(false);
  e->setStyleSheet(QStringLiteral("QLineEdit { background-color: #c0c0c0; color: black; }"));
  return e;
}

// A green "Go ->" button.
QPushButton* MakeGo(QWidget* parent, const char* name, int x, int y) {
  auto* b = new QPushButton(QStringLiteral("Go ->"), parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(x, y, 45, 22);
  b->setStyleSheet(QStringLiteral("QPushButton { background-color: #00ff00; border: 1px solid #808080; }"));
  return b;
}

}  // namespace

CalculatorWindow::CalculatorWindow(QWidget* parent, TDialogs* dialogs)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), boxes_(this) {
  boxes_.SetCaption("Tavorix");
  setObjectName(QStringLiteral("CalculatorWindow"));
  setWindowTitle(QStringLiteral("Calculator"));
  BuildControls();
  CloseOnEscape(this);
}

CalculatorWindow::~CalculatorWindow() = default;

void CalculatorWindow::BuildControls() {
  setFixedSize(480, 556);

  QLabel* xPrompt = MakeLabel(this, "XPrompt",
                              QStringLiteral("Enter X-value, then click \"Go ->\", to obtain cumulative frequency "
                                             "and return period"),
                              12, 8, 456);
  xPrompt->setWordWrap(true);
  xPrompt->setGeometry(12, 8, 456, 34);
  MakeLabel(this, "XValueLabel", QStringLiteral("X-value"), 12, 54);
  xEdit_ = MakeEdit(this, "XValueEdit", 70, 50, 110);
  goFromXButton_ = MakeGo(this, "GoFromXButton", 188, 50);
  MakeLabel(this, "FrequencyOfXLabel", QStringLiteral("Cum. Freq."), 250, 54);
  frequencyOfX_ = MakeOutput(this, "FrequencyOfX", 318, 50, 150);
  MakeLabel(this, "PeriodOfXLabel", QStringLiteral("Ret. Per."), 250, 82);
  periodOfX_ = MakeOutput(this, "PeriodOfX", 318, 78, 150);

  MakeLabel(this, "FrequencyLimitsLabel", QStringLiteral("90% confidence limits of cum. freq."), 12, 112);
  MakeLabel(this, "FrequencyLowerLabel", QStringLiteral("Lower   "), 12, 136);
  frequencyLowerOfX_ = MakeOutput(this, "FrequencyLowerOfX", 64, 132, 150);
  MakeLabel(this, "FrequencyUpperLabel", QStringLiteral("Upper   "), 250, 136);
  frequencyUpperOfX_ = MakeOutput(this, "FrequencyUpperOfX", 318, 132, 150);
  MakeLabel(this, "PeriodLimitsLabel", QStringLiteral("90% confidence limits of ret. per."), 12, 164);
  MakeLabel(this, "PeriodLowerLabel", QStringLiteral("Lower   "), 12, 188);
  periodLowerOfX_ = MakeOutput(this, "PeriodLowerOfX", 64, 184, 150);
  MakeLabel(this, "PeriodUpperLabel", QStringLiteral("Upper   "), 250, 188);
  periodUpperOfX_ = MakeOutput(this, "PeriodUpperOfX", 318, 184, 150);
  // What the calculator says about an X outside the data or the distribution.
  rangeNote_ = MakeLabel(this, "RangeNote", QString(), 12, 210, 456);
  rangeNote_->setGeometry(12, 210, 456, 64);
  rangeNote_->setWordWrap(true);
  rangeNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  rangeNote_->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));

  MakeLabel(this, "FrequencyPrompt",
            QStringLiteral("Enter cumulative frequency or return period to obtain X-value"), 12, 282);
  frequencyLabel_ = MakeLabel(this, "FrequencyLabel", QStringLiteral("Cum. Freq."), 12, 312);
  frequencyEdit_ = MakeEdit(this, "FrequencyEdit", 90, 308, 100);
  orLabel_ = MakeLabel(this, "OrLabel", QStringLiteral("or"), 198, 312);
  periodLabel_ = MakeLabel(this, "PeriodLabel", QStringLiteral("Ret. Per."), 220, 312);
  periodEdit_ = MakeEdit(this, "PeriodEdit", 290, 308, 100);
  // The click takes the focus: leaving the field typed computes X.
  goFromFrequencyButton_ = MakeGo(this, "GoFromFrequencyButton", 400, 308);
  xOfFrequencyLabel_ = MakeLabel(this, "XOfFrequencyLabel", QStringLiteral("X-value"), 12, 346);
  xOfFrequency_ = MakeOutput(this, "XOfFrequency", 90, 342, 150);
  MakeLabel(this, "XLimitsLabel", QStringLiteral("90% confidence limits of X-Value"), 12, 378);
  xLowerLabel_ = MakeLabel(this, "XLowerLabel", QStringLiteral("Lower   "), 12, 402);
  xLowerOfFrequency_ = MakeOutput(this, "XLowerOfFrequency", 64, 398, 150);
  xUpperLabel_ = MakeLabel(this, "XUpperLabel", QStringLiteral("Upper   "), 250, 402);
  xUpperOfFrequency_ = MakeOutput(this, "XUpperOfFrequency", 318, 398, 150);

  BuildBootstrapControls();

  for (QLineEdit* e : {xEdit_, frequencyEdit_, periodEdit_}) e->installEventFilter(this);
  connect(goFromXButton_, &QPushButton::clicked, this, &CalculatorWindow::GoFromXClick);
  // Enter in a field computes as its "Go ->" does.
  connect(xEdit_, &QLineEdit::returnPressed, this, &CalculatorWindow::GoFromXClick);
  connect(frequencyEdit_, &QLineEdit::returnPressed, this, &CalculatorWindow::FrequencyFieldExit);
  connect(periodEdit_, &QLineEdit::returnPressed, this, &CalculatorWindow::PeriodFieldExit);
  // A field typed into or cleared gets its font back (or a smaller one for a long number).
  for (QLineEdit* e : {xEdit_, frequencyEdit_, periodEdit_})
    connect(e, &QLineEdit::textChanged, this, [e] { FitFontToText(e); });
  setTabOrder(xEdit_, goFromXButton_);
  setTabOrder(goFromXButton_, frequencyEdit_);
  setTabOrder(frequencyEdit_, periodEdit_);
  setTabOrder(periodEdit_, goFromFrequencyButton_);
  setTabOrder(goFromFrequencyButton_, replicasEdit_);
  setTabOrder(replicasEdit_, bootstrapButton_);
}

void CalculatorWindow::BuildBootstrapControls() {
  MakeLabel(this, "ReplicasLabel", QStringLiteral("Replicas"), 12, 436);
  replicasEdit_ = new QSpinBox(this);
  replicasEdit_->setObjectName(QStringLiteral("ReplicasEdit"));
  replicasEdit_->setGeometry(70, 432, 80, 22);
  replicasEdit_->setRange(10, 100000);
  replicasEdit_->setValue(kDefaultReplicas);
  bootstrapButton_ = new QPushButton(QStringLiteral("Bootstrap interval"), this);
  bootstrapButton_->setObjectName(QStringLiteral("BootstrapButton"));
  bootstrapButton_->setGeometry(158, 432, 130, 22);
  bootstrapButton_->setEnabled(false);  // until the lower half shows an X
  bootstrapProgress_ = new QProgressBar(this);
  bootstrapProgress_->setObjectName(QStringLiteral("BootstrapProgress"));
  bootstrapProgress_->setGeometry(296, 432, 108, 22);
  bootstrapProgress_->hide();
  cancelBootstrapButton_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancelBootstrapButton_->setObjectName(QStringLiteral("CancelBootstrapButton"));
  cancelBootstrapButton_->setGeometry(410, 432, 58, 22);
  cancelBootstrapButton_->hide();
  MakeLabel(this, "BootstrapLimitsLabel", QStringLiteral("Bootstrap interval of X-Value"), 12, 466);
  MakeLabel(this, "BootstrapLowerLabel", QStringLiteral("Lower   "), 12, 490);
  xLowerBootstrap_ = MakeOutput(this, "XLowerBootstrap", 64, 486, 150);
  MakeLabel(this, "BootstrapUpperLabel", QStringLiteral("Upper   "), 250, 490);
  xUpperBootstrap_ = MakeOutput(this, "XUpperBootstrap", 318, 486, 150);
  // The level, replicas and failures of the interval shown.
  bootstrapNote_ = MakeLabel(this, "BootstrapNote", QString(), 12, 514, 456);
  bootstrapNote_->setGeometry(12, 514, 456, 36);
  bootstrapNote_->setWordWrap(true);
  bootstrapNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  bootstrap_ = new TBootstrapController(this);
  connect(bootstrapButton_, &QPushButton::clicked, this, &CalculatorWindow::BootstrapButtonClick);
  connect(cancelBootstrapButton_, &QPushButton::clicked, this, &CalculatorWindow::CancelBootstrapButtonClick);
  bootstrap_->ShowProgressIn(bootstrapProgress_);
  connect(bootstrap_, &TBootstrapController::Finished, this, &CalculatorWindow::BootstrapFinished);
}

void CalculatorWindow::SetFileName(const std::string& path) { fileName_ = path; }
void CalculatorWindow::SetDataModule(const TDMTavorix* dm) { dm_ = dm; }
void CalculatorWindow::SetDecimalSettings(TDecimalSettings* settings) {
  settings_ = settings != nullptr ? settings : &ownSettings_;
}
void CalculatorWindow::SetDialogs(TDialogs* dialogs) { dialogs_ = dialogs; }

std::string CalculatorWindow::CurrentFile() const { return dm_ != nullptr ? dm_->FileName : fileName_; }

QString CalculatorWindow::Number(double v) const {
  return QString::fromStdString(FormatGeneral(v, settings_->DecimalSeparator));
}

QString CalculatorWindow::Period(double t, double f) const {
  // 1 - F keeps about 15 digits less the decades it lies below 1.
  const double rest = 1.0 - f;
  const int digits = rest > 0 ? std::clamp(15 + static_cast<int>(std::floor(std::log10(rest))), 6, 15) : 15;
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, t, std::chars_format::scientific, digits - 1).ptr;
  double rounded = t;
  std::from_chars(buffer, end, rounded);
  return Number(rounded);
}

void CalculatorWindow::ShowWhole(QLineEdit* field, const QString& text) {
  field->setText(text);
  field->setCursorPosition(0);
  field->setToolTip(text);
  FitFontToText(field);
}

void CalculatorWindow::Refusal(const std::string& message) {
  Message(QString::fromStdString(WithAcceptedRange(message, settings_->DecimalSeparator)));
}

void CalculatorWindow::Message(const QString& text) {
  (dialogs_ != nullptr ? *dialogs_ : static_cast<TDialogs&>(boxes_)).ShowMessage(text.toStdString());
}

// --- events ------------------------------------------------------------------------

void CalculatorWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  PlaceOverActiveWindow(this);
  ClearForShow();
}

void CalculatorWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // The calculator reads its own copy of the series, so the main window's
  // series and grid need no refresh here.
  if (!event->spontaneous()) ClearAll();
}

void CalculatorWindow::closeEvent(QCloseEvent* event) {
  ClearAll();
  QWidget::closeEvent(event);
}

bool CalculatorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    // Only moves of the focus inside the window count; switching to another
    // window or a popup is neither entering nor leaving a field.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      const bool in = event->type() == QEvent::FocusIn;
      if (watched == xEdit_ && in) XFieldEnter();
      if (watched == frequencyEdit_) in ? FrequencyFieldEnter() : FrequencyFieldExit();
      if (watched == periodEdit_) in ? PeriodFieldEnter() : PeriodFieldExit();
    }
  }
  return QWidget::eventFilter(watched, event);
}

// --- handlers ----------------------------------------------------------------------

void CalculatorWindow::ClearForShow() {
  for (QLineEdit* e : {xEdit_, frequencyOfX_, periodOfX_, frequencyEdit_, periodEdit_, periodLowerOfX_,
                       periodUpperOfX_, frequencyLowerOfX_, frequencyUpperOfX_})
    e->clear();
  rangeNote_->clear();
  ClearBootstrap();
  const int code = ReadParam(WithExtension(CurrentFile(), ".aux")).Code;
  // A known code without X from a frequency (Gamma).
  const bool gamma = CalcCodeKnown(code) && !DesignValuesAvailable(code);
  for (QWidget* w : std::initializer_list<QWidget*>{frequencyEdit_, periodEdit_, frequencyLabel_, periodLabel_,
                                                    xOfFrequencyLabel_, xLowerLabel_, xUpperLabel_, orLabel_})
    w->setEnabled(!gamma);
  for (QLineEdit* e : {xOfFrequency_, xLowerOfFrequency_, xUpperOfFrequency_}) {
    if (gamma)
      e->setText(kNotAvailableGamma);
    else
      e->clear();
  }
}

void CalculatorWindow::ClearAll() {
  for (QLineEdit* e : {xEdit_, frequencyOfX_, periodOfX_, frequencyEdit_, periodEdit_, xOfFrequency_,
                       periodLowerOfX_, periodUpperOfX_, xLowerOfFrequency_, xUpperOfFrequency_, frequencyLowerOfX_,
                       frequencyUpperOfX_})
    e->clear();
  rangeNote_->clear();
  ClearBootstrap();
}

void CalculatorWindow::XFieldEnter() {
  for (QLineEdit* e : {xEdit_, frequencyOfX_, periodOfX_, frequencyLowerOfX_, frequencyUpperOfX_, periodLowerOfX_,
                       periodUpperOfX_})
    e->clear();
  rangeNote_->clear();
}

void CalculatorWindow::FrequencyFieldEnter() {
  for (QLineEdit* e : {frequencyEdit_, periodEdit_, xOfFrequency_, xLowerOfFrequency_, xUpperOfFrequency_}) e->clear();
  ClearBootstrap();
}

void CalculatorWindow::PeriodFieldEnter() { FrequencyFieldEnter(); }

void CalculatorWindow::GoFromXClick() {
  try {
    const double x = ParseCalcX(xEdit_->text().toStdString(), *settings_);
    const CalcInputs in = ReadCalcInputs(CurrentFile());
    const FrequencyResult r = CalcFrequent(in.Param, in.Data.N, x);
    ShowWhole(frequencyOfX_, Number(r.F));
    ShowWhole(periodOfX_, Period(r.T, r.F));
    ShowWhole(frequencyLowerOfX_, Number(r.Fl));
    ShowWhole(frequencyUpperOfX_, Number(r.Fu));
    ShowWhole(periodLowerOfX_, r.TLower ? Period(*r.TLower, r.Fl) : kNotAvailable);
    ShowWhole(periodUpperOfX_, r.TUpper ? Period(*r.TUpper, r.Fu) : kNotAvailable);
    rangeNote_->setText(QString::fromStdString(CalcRangeNote(in.Param, in.Data, x, settings_->DecimalSeparator)));
  } catch (const TavorixError& e) {
    Refusal(e.what());
  }
}

void CalculatorWindow::FrequencyFieldExit() {
  // A field left without typing anything asks for nothing.
  if (frequencyEdit_->text().trimmed().isEmpty() || !frequencyEdit_->isEnabled()) return;
  try {
    FrequencyToX(ParseCalcFrequency(frequencyEdit_->text().toStdString(), *settings_), std::nullopt);
  } catch (const TavorixError& e) {
    Refusal(e.what());
  }
}

void CalculatorWindow::PeriodFieldExit() {
  if (periodEdit_->text().trimmed().isEmpty() || !periodEdit_->isEnabled()) return;
  try {
    const double t = ParseCalcReturnPeriod(periodEdit_->text().toStdString(), *settings_);
    FrequencyToX(FrequencyOfReturnPeriod(t), t);
  } catch (const TavorixError& e) {
    Refusal(e.what());
  }
}

void CalculatorWindow::FrequencyToX(double f, std::optional<double> typedPeriod) {
  // The interval shown belongs to the X before.
  ClearBootstrap();
  const CalcInputs in = ReadCalcInputs(CurrentFile());
  const ValueResult r = CalcVal(in.Param, in.Data, f);
  auto show = [&](QLineEdit* e, const std::optional<double>& v) { ShowWhole(e, v ? Number(*v) : kNotAvailable); };
  show(xOfFrequency_, r.X);
  show(xLowerOfFrequency_, r.Xl);
  show(xUpperOfFrequency_, r.Xu);
  // The field asked keeps its text as typed.
  if (typedPeriod)
    ShowWhole(frequencyEdit_, Number(r.F));
  else
    ShowWhole(periodEdit_, Period(r.T, r.F));
  if (r.X) askedPeriod_ = typedPeriod ? *typedPeriod : r.T;
  bootstrapButton_->setEnabled(askedPeriod_ && !BootstrapRunning());
}

// --- bootstrap ---------------------------------------------------------------------

bool CalculatorWindow::BootstrapRunning() const { return bootstrap_->Running(); }

void CalculatorWindow::BootstrapButtonClick() {
  if (!askedPeriod_ || BootstrapRunning()) return;
  TBootstrapRequest request;
  request.OutPath = WithExtension(CurrentFile(), ".out");
  request.Periods = {*askedPeriod_};
  request.Replicas = replicasEdit_->value();
  bootstrapPeriod_ = askedPeriod_;
  bootstrapFile_ = CurrentFile();
  xLowerBootstrap_->clear();
  xUpperBootstrap_->clear();
  bootstrapNote_->clear();
  bootstrapProgress_->setRange(0, request.Replicas);
  bootstrapProgress_->setValue(0);
  ShowBootstrapRunning(true);
  bootstrap_->Start(std::move(request));
}

void CalculatorWindow::CancelBootstrapButtonClick() { bootstrap_->Cancel(); }

void CalculatorWindow::ClearBootstrap() {
  bootstrap_->Cancel();
  bootstrapPeriod_.reset();
  askedPeriod_.reset();
  xLowerBootstrap_->clear();
  xUpperBootstrap_->clear();
  bootstrapNote_->clear();
  bootstrapButton_->setEnabled(false);
}

// While it runs, the lower half keeps the X the bootstrap is for. The focus
// goes to Cancel and back to the action: a disabled or hidden button would
// hand it along the tab order to the X field, and entering it clears the
// upper half.
void CalculatorWindow::ShowBootstrapRunning(bool running) {
  if (running) {
    cancelBootstrapButton_->show();
    bootstrapProgress_->show();
    if (bootstrapButton_->hasFocus()) cancelBootstrapButton_->setFocus(Qt::OtherFocusReason);
  }
  // Gamma results keep the fields of a frequency disabled.
  const bool gamma = !frequencyLabel_->isEnabled();
  for (QLineEdit* e : {frequencyEdit_, periodEdit_}) e->setEnabled(!running && !gamma);
  goFromFrequencyButton_->setEnabled(!running);
  replicasEdit_->setEnabled(!running);
  bootstrapButton_->setEnabled(!running && askedPeriod_);
  if (!running) {
    if (cancelBootstrapButton_->hasFocus())
      (bootstrapButton_->isEnabled() ? static_cast<QWidget*>(bootstrapButton_) : replicasEdit_)
          ->setFocus(Qt::OtherFocusReason);
    cancelBootstrapButton_->hide();
    bootstrapProgress_->hide();
  }
}

void CalculatorWindow::BootstrapFinished(const TBootstrapOutcome& outcome) {
  // A result for an X no longer shown (cleared, another file) is dropped.
  const bool current = bootstrapPeriod_ && askedPeriod_ == bootstrapPeriod_ && CurrentFile() == bootstrapFile_;
  bootstrapPeriod_.reset();
  ShowBootstrapRunning(false);
  if (!current) return;
  if (!outcome.Error.empty()) Message(QString::fromStdString(std::string(TrimBlanks(outcome.Error))));
  if (!outcome.Result || outcome.Result->Rows.size() != 1) return;
  const BootstrapResult& boot = *outcome.Result;
  const BootstrapRow& row = boot.Rows.front();
  auto shown = [this](double v) { return std::isfinite(v) ? Number(v) : kNotAvailable; };
  ShowWhole(xLowerBootstrap_, shown(row.Lower));
  ShowWhole(xUpperBootstrap_, shown(row.Upper));
  bootstrapNote_->setText(QString::fromStdString(
      FormatGeneral(100 * boot.Level) + "% interval of X from " + std::to_string(boot.Replicas) + " replicas, " +
      std::to_string(boot.Failed) + " failed" + (boot.Marked() ? " (fewer than 90% succeeded)" : "")));
  bootstrapNote_->setStyleSheet(boot.Marked() ? QStringLiteral("QLabel { color: #b00000; }") : QString());
}

}  // namespace tavorix

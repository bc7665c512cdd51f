#include "calculator/window/UcalcForm.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "calculator/Calculator.h"
#include "calculator/DesignTable.h"
#include "core/NumberFormat.h"
#include "core/TavorixError.h"
#include "core/UDMTavorix.h"
#include "report/ParameterFile.h"
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

// A "Go ->" field: a read-only green edit.
QLineEdit* MakeGo(QWidget* parent, const char* name, int x, int y) {
  QLineEdit* e = MakeEdit(parent, name, x, y, 45);
  e->setText(QStringLiteral("Go ->"));
  e->setReadOnly(true);
  e->setStyleSheet(QStringLiteral("QLineEdit { background-color: #00ff00; }"));
  return e;
}

}  // namespace

TCalcForm::TCalcForm(QWidget* parent, TDialogs* dialogs)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), boxes_(this) {
  boxes_.SetCaption("Tavorix");
  setObjectName(QStringLiteral("CalcForm"));
  setWindowTitle(QStringLiteral("Calculator"));
  BuildControls();
  CloseOnEscape(this);
}

TCalcForm::~TCalcForm() = default;

void TCalcForm::BuildControls() {
  setFixedSize(480, 456);

  Label7 = MakeLabel(this, "Label7",
                     QStringLiteral("Enter X-value, then click \"Go ->\", to obtain cumulative frequency "
                                    "and return period"),
                     12, 8, 456);
  Label7->setWordWrap(true);
  Label7->setGeometry(12, 8, 456, 34);
  Label1 = MakeLabel(this, "Label1", QStringLiteral("X-value"), 12, 54);
  Edit1 = MakeEdit(this, "Edit1", 70, 50, 110);
  Edit7 = MakeGo(this, "Edit7", 188, 50);
  Label2 = MakeLabel(this, "Label2", QStringLiteral("Cum. Freq."), 250, 54);
  Edit2 = MakeOutput(this, "Edit2", 318, 50, 150);
  Label3 = MakeLabel(this, "Label3", QStringLiteral("Ret. Per."), 250, 82);
  Edit3 = MakeOutput(this, "Edit3", 318, 78, 150);

  Label15 = MakeLabel(this, "Label15", QStringLiteral("90% confidence limits of cum. freq."), 12, 112);
  Label16 = MakeLabel(this, "Label16", QStringLiteral("Lower   "), 12, 136);
  Edit13 = MakeOutput(this, "Edit13", 64, 132, 150);
  Label17 = MakeLabel(this, "Label17", QStringLiteral("Upper   "), 250, 136);
  Edit14 = MakeOutput(this, "Edit14", 318, 132, 150);
  Label9 = MakeLabel(this, "Label9", QStringLiteral("90% confidence limits of ret. per."), 12, 164);
  Label10 = MakeLabel(this, "Label10", QStringLiteral("Lower   "), 12, 188);
  Edit9 = MakeOutput(this, "Edit9", 64, 184, 150);
  Label11 = MakeLabel(this, "Label11", QStringLiteral("Upper   "), 250, 188);
  Edit10 = MakeOutput(this, "Edit10", 318, 184, 150);
  // What the calculator says about an X outside the data or the distribution.
  Label19 = MakeLabel(this, "Label19", QString(), 12, 210, 456);
  Label19->setGeometry(12, 210, 456, 64);
  Label19->setWordWrap(true);
  Label19->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label19->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));

  Label8 = MakeLabel(this, "Label8",
                     QStringLiteral("Enter cumulative frequency or return period to obtain X-value"), 12, 282);
  Label4 = MakeLabel(this, "Label4", QStringLiteral("Cum. Freq."), 12, 312);
  Edit4 = MakeEdit(this, "Edit4", 90, 308, 100);
  Label18 = MakeLabel(this, "Label18", QStringLiteral("or"), 198, 312);
  Label5 = MakeLabel(this, "Label5", QStringLiteral("Ret. Per."), 220, 312);
  Edit5 = MakeEdit(this, "Edit5", 290, 308, 100);
  Edit8 = MakeGo(this, "Edit8", 400, 308);
  Label6 = MakeLabel(this, "Label6", QStringLiteral("X-value"), 12, 346);
  Edit6 = MakeOutput(this, "Edit6", 90, 342, 150);
  Label12 = MakeLabel(this, "Label12", QStringLiteral("90% confidence limits of X-Value"), 12, 378);
  Label13 = MakeLabel(this, "Label13", QStringLiteral("Lower   "), 12, 402);
  Edit11 = MakeOutput(this, "Edit11", 64, 398, 150);
  Label14 = MakeLabel(this, "Label14", QStringLiteral("Upper   "), 250, 402);
  Edit12 = MakeOutput(this, "Edit12", 318, 398, 150);

  for (QLineEdit* e : {Edit1, Edit4, Edit5, Edit7}) e->installEventFilter(this);
  // Enter in a field computes as its "Go ->" does.
  connect(Edit1, &QLineEdit::returnPressed, this, &TCalcForm::Edit7Click);
  connect(Edit4, &QLineEdit::returnPressed, this, &TCalcForm::Edit4Exit);
  connect(Edit5, &QLineEdit::returnPressed, this, &TCalcForm::Edit5Exit);
  // A field typed into or cleared gets its font back (or a smaller one for a long number).
  for (QLineEdit* e : {Edit1, Edit4, Edit5})
    connect(e, &QLineEdit::textChanged, this, [e] { FitFontToText(e); });
  setTabOrder(Edit1, Edit7);
  setTabOrder(Edit7, Edit4);
  setTabOrder(Edit4, Edit5);
  setTabOrder(Edit5, Edit8);
}

void TCalcForm::SetFileName(const std::string& path) { fileName_ = path; }
void TCalcForm::SetDataModule(const TDMTavorix* dm) { dm_ = dm; }
void TCalcForm::SetDecimalSettings(TDecimalSettings* settings) {
  settings_ = settings != nullptr ? settings : &ownSettings_;
}
void TCalcForm::SetDialogs(TDialogs* dialogs) { dialogs_ = dialogs; }

std::string TCalcForm::CurrentFile() const { return dm_ != nullptr ? dm_->FileName : fileName_; }

QString TCalcForm::Number(double v) const {
  return QString::fromStdString(FormatGeneral(v, settings_->DecimalSeparator));
}

QString TCalcForm::Period(double t, double f) const {
  // 1 - F keeps about 15 digits less the decades it lies below 1.
  const double rest = 1.0 - f;
  const int digits = rest > 0 ? std::clamp(15 + static_cast<int>(std::floor(std::log10(rest))), 6, 15) : 15;
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, t, std::chars_format::scientific, digits - 1).ptr;
  double rounded = t;
  std::from_chars(buffer, end, rounded);
  return Number(rounded);
}

void TCalcForm::ShowWhole(QLineEdit* field, const QString& text) {
  field->setText(text);
  field->setCursorPosition(0);
  field->setToolTip(text);
  FitFontToText(field);
}

void TCalcForm::Refusal(const std::string& message) {
  Message(QString::fromStdString(WithAcceptedRange(message, settings_->DecimalSeparator)));
}

void TCalcForm::Message(const QString& text) {
  (dialogs_ != nullptr ? *dialogs_ : static_cast<TDialogs&>(boxes_)).ShowMessage(text.toStdString());
}

// --- events ------------------------------------------------------------------------

void TCalcForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  PlaceOverActiveWindow(this);
  FormShow();
}

void TCalcForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TCalcForm::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

bool TCalcForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && watched == Edit7) {
    Edit7Click();
  } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    // Only moves of the focus inside the window count; switching to another
    // window or a popup is neither entering nor leaving a field.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      const bool in = event->type() == QEvent::FocusIn;
      if (watched == Edit1 && in) Edit1Enter();
      if (watched == Edit4) in ? Edit4Enter() : Edit4Exit();
      if (watched == Edit5) in ? Edit5Enter() : Edit5Exit();
    }
  }
  return QWidget::eventFilter(watched, event);
}

// --- handlers ----------------------------------------------------------------------

void TCalcForm::FormShow() {
  for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit9, Edit10, Edit13, Edit14}) e->clear();
  Label19->clear();
  const int code = ReadParam(WithExtension(CurrentFile(), ".aux")).Code;
  // A known code without X from a frequency (Gamma).
  const bool gamma = CalcCodeKnown(code) && !DesignValuesAvailable(code);
  for (QWidget* w : std::initializer_list<QWidget*>{Edit4, Edit5, Label4, Label5, Label6, Label13, Label14,
                                                    Label18})
    w->setEnabled(!gamma);
  for (QLineEdit* e : {Edit6, Edit11, Edit12}) {
    if (gamma)
      e->setText(kNotAvailableGamma);
    else
      e->clear();
  }
}

void TCalcForm::FormHide() {
  // The calculator reads its own copy of the series, so the main window's
  // series and grid need no refresh here.
  for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit9, Edit10, Edit11, Edit12, Edit13, Edit14})
    e->clear();
  Label19->clear();
}

void TCalcForm::FormClose() {
  for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit9, Edit10, Edit11, Edit12, Edit13, Edit14})
    e->clear();
  Label19->clear();
}

void TCalcForm::Edit1Enter() {
  for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit13, Edit14, Edit9, Edit10}) e->clear();
  Label19->clear();
}

void TCalcForm::Edit4Enter() {
  for (QLineEdit* e : {Edit4, Edit5, Edit6, Edit11, Edit12}) e->clear();
}

void TCalcForm::Edit5Enter() { Edit4Enter(); }

void TCalcForm::Edit7Click() {
  try {
    const double x = ParseCalcX(Edit1->text().toStdString(), *settings_);
    const CalcInputs in = ReadCalcInputs(CurrentFile());
    const FrequencyResult r = CalcFrequent(in.Param, in.Data.N, x);
    ShowWhole(Edit2, Number(r.F));
    ShowWhole(Edit3, Period(r.T, r.F));
    ShowWhole(Edit13, Number(r.Fl));
    ShowWhole(Edit14, Number(r.Fu));
    ShowWhole(Edit9, r.TLower ? Period(*r.TLower, r.Fl) : kNotAvailable);
    ShowWhole(Edit10, r.TUpper ? Period(*r.TUpper, r.Fu) : kNotAvailable);
    Label19->setText(QString::fromStdString(CalcRangeNote(in.Param, in.Data, x, settings_->DecimalSeparator)));
  } catch (const TavorixError& e) {
    Refusal(e.what());
  }
}

void TCalcForm::Edit4Exit() {
  // A field left without typing anything asks for nothing.
  if (Edit4->text().trimmed().isEmpty() || !Edit4->isEnabled()) return;
  try {
    FrequencyToX(ParseCalcFrequency(Edit4->text().toStdString(), *settings_), false);
  } catch (const TavorixError& e) {
    Refusal(e.what());
  }
}

void TCalcForm::Edit5Exit() {
  if (Edit5->text().trimmed().isEmpty() || !Edit5->isEnabled()) return;
  try {
    const double t = ParseCalcReturnPeriod(Edit5->text().toStdString(), *settings_);
    FrequencyToX(FrequencyOfReturnPeriod(t), true);
  } catch (const TavorixError& e) {
    Refusal(e.what());
  }
}

void TCalcForm::FrequencyToX(double f, bool fromPeriod) {
  const CalcInputs in = ReadCalcInputs(CurrentFile());
  const ValueResult r = CalcVal(in.Param, in.Data, f);
  auto show = [&](QLineEdit* e, const std::optional<double>& v) { ShowWhole(e, v ? Number(*v) : kNotAvailable); };
  show(Edit6, r.X);
  show(Edit11, r.Xl);
  show(Edit12, r.Xu);
  // The field asked keeps its text as typed.
  if (fromPeriod)
    ShowWhole(Edit4, Number(r.F));
  else
    ShowWhole(Edit5, Period(r.T, r.F));
}

}  // namespace tavorix

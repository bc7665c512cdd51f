#pragma once
// The distribution registry: one row per code holding everything the program
// knows about that distribution — its names and captions, its kind, its step
// in the fit order and its place in the choice order, the fit itself, the
// cumulative frequency function, the inverse, the shape of its line fit, the
// parameter-file lines, the form and the words of its report block and its
// line in the help text. Every stage and window takes its knowledge of a
// code from here; adding a distribution means adding a row (and its
// functions; README.md, "Adding a distribution"). The table itself is in
// Registry.cpp.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "fitting/TavorixRun.h"
#include "fitting/CompositeKinds.h"
#include "fitting/Inverses.h"
#include "fitting/RegressionShape.h"

namespace tavorix {

struct FitWorkspace;

enum class DistKind { TitleOnly, Single, NormalFamily, SimpleComposite, GeneralizedComposite };

inline bool IsCompositeKind(DistKind kind) {
  return kind == DistKind::SimpleComposite || kind == DistKind::GeneralizedComposite;
}

// Where a fitted distribution is evaluated; the guards differ between them.
enum class Guard {
  Search,      // the plain function, as the fits' final evaluation computes it
  Data,        // the data of the run and curve points (report, graphs)
  ClassBounds, // class bounds of the interval analysis
  Calculator,  // single values typed into the calculator
};

// Set when a bounded distribution met a value on the wrong side of its bound.
struct BoundHits {
  bool BelowBoundC = false;  // 58, 35: a value at or below the lower bound C
  bool AboveBoundC = false;  // 59, 33: a value at or above the upper bound C
};

// The transformed variable of the normal family.
enum class NormalTransform { None, Identity, Log, Sqrt, Square, Power };

// The side of the bound C of the bounded distributions.
enum class SupportBound { None, Lower, Upper };

// One line of the parameter file: the member of the code's family that it
// holds, named as the file's reader names it (Mean and StudentMean are both
// a family's Mean, printed "Mean" and "Location"; MBound is Kumaraswamy's M;
// As..Eg are the composite parts' A, B, E). Zero is a line that is always 0;
// BreakPoint is written in X units.
enum class ParamField {
  A, B, E, C, K, Loc, Scale, StudentMean, StudentSpread, Mode, S1, S2, S, D, XPlusOneFlag, MBound, Terms, E1, E2,
  Mean, Sigma, As, Bs, Es, Ag, Bg, Eg, BreakPoint, Zero
};

// The parameters of a code: their family and the parameter file's lines.
struct ParamLayout {
  ParamFamily Family = ParamFamily::None;
  std::span<const ParamField> Fields{};
};

// What the choice hands over besides the parameters: the line A, B that
// the report prints after the description block, or the moments it prints.
enum class HandOver {
  None,
  LineAB,        // the family's A and B
  LineA,         // the family's A (B = 0)
  BurrES,        // Burr's E and S
  Student,       // MeanXt = Mean, SdXt = Spread
  NormalPlain,   // MeanXt = Mean, StdErrX = Sigma
  NormalSearched // as NormalPlain, and SdXt = Sigma0
};

// The layout of the description block of the report.
enum class ReportForm { None, Single, Gompertz, Normal, SimpleComposite, GeneralizedComposite };
// The label of the report's line for the term added to moved data.
enum class TermLabel { C, T, Y };
// The lines of the description block that belong to the code itself.
enum class OwnLines {
  None, Exponent, WeibullC, LowerBoundC, UpperBoundC, GammaSum, Gev, Rayleigh, BurrDagum, Kumaraswamy,
  Laplace, LaplaceGeneralized
};

// The fit of a code into run.Slots[code]; returns the code whose result the
// choice of a preferred fit takes (the code itself, or 63 when the Student
// fit prefers its 2 d.f. form).
using FitFunction = int (*)(TavorixRun&, FitWorkspace&, int code);
// Fits a best-of-all step's rows in one, sharing work between them.
using StepFitFunction = void (*)(TavorixRun&, FitWorkspace&);
// Cumulative frequency on the moved scale, never NaN for the single codes.
using CodeFcFunction = double (*)(int code, const FitParams&, double x);
// The same with the guards of the fitted curve, the class bounds and the
// calculator (codes whose evaluation differs from the plain function).
using GuardedFcFunction = double (*)(const FitParams&, double x, Guard, BoundHits*);
// The frequency of the datum of a given rank (the part is chosen by rank).
using RankFcFunction = double (*)(int code, const FitParams&, double x, int rank);
// X on the moved scale at frequency q (0 < q < 1).
using InverseFunction = InverseResult (*)(int code, const FitParams&, double q, CompositePart, NonPositive);

// The words of a code's description block in the report (DescriptionBlock.cpp).
// Head1 and Head2 are the heading lines (an empty Head2 is no line). The
// other lines depend on the form of the block:
//   Single: Plain1 is the formula for the data as entered, Plain2 its second
//     line (the two-line Laplace forms); Moved1 and Moved2 are the same with
//     the term of moved data;
//   Gompertz: 1 without, 2 with the fit's X + 1 flag;
//   Normal: 1 labels the mean, 2 the standard error (empty: no line);
//   SimpleComposite: 1 is the lower part, 2 the upper part;
//   GeneralizedComposite: none (the parts' formulas follow their kinds).
struct BlockText {
  std::string_view Head1{}, Head2{};
  std::string_view Plain1{}, Plain2{};
  std::string_view Moved1{}, Moved2{};
  std::string_view Separation = " The separation point is : P = ";  // composites
  bool BlankBeforeParts = false;  // simple composites: an empty line opens the parts
};

// A code's line in the list of the Distributions help text: its place in
// the list ("1a", "5", "10b"; the lines are sorted by it), the name, the
// function and how the parameters are found (the last column may be empty).
// Codes without a line of their own have no label.
struct HelpLine {
  std::string_view Label{}, Name{}, Function{}, Method{};
};

struct DistributionInfo {
  int Code;
  std::string_view ListName;    // with its leading blank, as written to the ranked list
  std::string_view TitleName;   // graph title
  std::string_view Caption;     // selection window caption ("" when there is no button)
  std::string_view Preference;  // preference text ("39" selects 36, "90" selects 74)
  DistKind Kind;

  // --- fitting -----------------------------------------------------------
  FitFunction Fit = nullptr;      // nullptr: fitted by the fit of FittedWith (63 by 62)
  int FitStep = 0;                // place in the best-of-all fit order
  int FittedWith = 0;             // the step of this code also fits it (63 with 62, 73 with 68)
  StepFitFunction StepFit = nullptr;  // best of all: fits this row and those FittedWith it in one
                                      // (58 and 35, 33 and 59 share their bounds); nullptr: each
                                      // Fit in turn
  std::string_view StepLines{};   // progress lines after the fit, '\n' between lines
  bool LinesWhenAlone = false;    // the lines also follow the fit preferred on its own
  int LinesFromN = 0;             // the lines only for runs of at least this many data
  int Cost = 0;                   // rough relative cost; the dearest steps start first
  int ChoicePlace = 0;            // place in the choice order; 0: never chosen
  int FewestLowerData = 0;        // composites: fewest data below P for the choice
  std::optional<RegressionShape> Shape{};  // the line of a fit by regression (RegressionFits.cpp)

  // --- evaluation --------------------------------------------------------
  CompositeParts Parts{};         // composites: the kinds below and above P
  NormalTransform Transform = NormalTransform::None;
  SupportBound Bound = SupportBound::None;
  CodeFcFunction Fc = nullptr;
  GuardedFcFunction GuardedFc = nullptr;  // nullptr: the guards only keep Fc finite
  RankFcFunction FcAtRank = nullptr;      // nullptr: the data are evaluated as any X
  InverseFunction Inverse = nullptr;      // nullptr: no closed form

  // --- parameters and report ---------------------------------------------
  ParamLayout Params{};
  HandOver Hand = HandOver::None;
  ReportForm Form = ReportForm::None;
  TermLabel Term = TermLabel::C;
  OwnLines Own = OwnLines::None;
  bool LineLines = false;         // the report prints the line's A (and B, unless LineA) after the block
  bool ModeLines = false;         // the report prints the mode -B/A and the fit's standard error of X

  // --- windows -----------------------------------------------------------
  int SelectPlace = 0;            // button of the selection window (1 = first after "Best of All")
  std::string_view SelectPhrase{};  // "... distribution selected" text of that button
  int CompositeItemPlace = 0;     // item of the composite list (1 = first after "Best fitting ...")
  std::string_view CompositeItem{};

  // --- texts -------------------------------------------------------------
  BlockText Block{};              // the words of the report's description block
  HelpLine Help{};                // the line of the Distributions help text
};

// Every row, in the catalogue order (ascending code).
std::span<const DistributionInfo> Registry();
const DistributionInfo* FindDistribution(int code);
// The distribution selected by a preference text, or nullptr ("1" and unknown texts).
const DistributionInfo* FindByPreference(std::string_view text);
// The row whose list name, without its leading and trailing blanks, is
// `name` (a ranked list's entry), or nullptr.
const DistributionInfo* FindByListName(std::string_view name);
std::string_view ListName(int code);
// Graph title; empty for code 0 and unknown codes.
std::string_view TitleName(int code);
bool IsComposite(int code);
bool IsNormalFamily(int code);
// A fitted code that gives no X from a frequency (a row without an inverse
// that is not of the normal family, whose scans invert it; no such row
// today): no confidence limits of X, no belt of X, no Q-Q graph, no design
// values. False for code 0 and unknown codes.
bool NoXFromFrequency(int code);

// The line A, B of a fitted code as the report prints it after its
// description block (zero for codes that hand none over).
struct ReportLine {
  double A = 0, B = 0;
};
ReportLine ReportedLine(int code, const FitParams& p);

// Adds the progress lines of a row's fit ('\n' between lines in the
// column), unless the run has fewer data than the row asks for.
void AddStepLines(const TavorixRun& run, const DistributionInfo& d);

// The list of the Distributions help text: the rows' help lines in the
// order of their labels, each ending in '\n'.
std::string DistributionHelpList();

// Largest code of the table; codes index arrays of this size plus one.
inline constexpr int kLargestCode = 85;

}  // namespace tavorix

#include "report/DescriptionBlock.h"

#include <cmath>
#include <ostream>
#include <string>
#include <string_view>

#include "core/NumberFormat.h"
#include "fitting/Registry.h"
#include "report/XValueFormat.h"

namespace tavorix {

namespace {

void Line(std::ostream& out, std::string_view text) { out << text << "\r\n"; }

// Parameters are printed in the "%8.3e" form unless a code says otherwise.
std::string E3(double v) { return FormatE3(v); }

// --- term line --------------------------------------------------------------

TermLabel TermLabelOf(int code) {
  const DistributionInfo* d = FindDistribution(code);
  return d ? d->Term : TermLabel::C;
}

void WriteTermLine(std::ostream& out, const TavorixRun& run, TermLabel label) {
  std::string_view text;
  switch (label) {
    case TermLabel::C: text = " An additional term C is used : C = "; break;
    case TermLabel::T: text = " An additional term T is used : T = "; break;
    case TermLabel::Y: text = " The variable X is replaced by Y=X+C, with C = "; break;
  }
  // X + C is the value the fit worked on: C = 0.0001 - Shift after either move.
  Line(out, std::string(text) + E3(0.0001 - run.Shift));
}

void WriteTermLine(std::ostream& out, const TavorixRun& run, int code) {
  WriteTermLine(out, run, TermLabelOf(code));
}

// --- single distributions -----------------------------------------------------

// Heading lines and formula lines (plain, and with the term of moved data).
// Two-line formulas are those of the Laplace forms.
struct SingleForm {
  int Code;
  std::string_view Head1, Head2;
  std::string_view Plain1, Plain2;
  std::string_view Term1, Term2;
};

constexpr std::string_view kStudentHelp = " A helpvariable is used: Y = (X-Av.X)/St.DevX.";

constexpr SingleForm kSingleForms[] = {
    {3, " The generalized cumulative frequency function is ", " a-symptotic exponential (Poisson-type):",
     "     Freq = 1-exp{-(A*X^E+B)}", "", "     Freq = 1-exp[-{A*(X+C)^E+B}]", ""},
    {4, "The cumulative frequency function is double exponential (Gumbel):", "",
     "     Freq = exp[-exp{-(A*X+B)}]", "", "     Freq = exp[-exp{-(A*(X+C)+B)}]", ""},
    {5, " Gumbel mirrored cumulative frequency function :", "",
     "     Freq = 1-exp[-exp{-(A*X+B)}]", "", "     Freq = 1-exp[-exp{-(A*(X+C)+B)}]", ""},
    {6, " The cumulative frequency function is ", " a-symptotic exponential (Poisson-type):",
     "     Freq = 1-exp{-A*X}", "", "     Freq = 1-exp[-A*(X+C)]", ""},
    {31, " Cumulative Burr frequency function", "",
     "    Freq = 1 - exp(E*Z+D) where Z = ln[B/(X^A+B)]", "",
     "    Freq = 1 - exp(E*Z+D) where Z = ln[B/{(X+C)^A+B}]", ""},
    {32, " Cumulative Dagum frequency function", "",
     "    Freq = exp(E*Z+D) where Z = ln[B/(X^A+B)]", "",
     "    Freq = exp(E*Z+D) where Z = ln[B/{X^(A+C)+B}]+D", ""},
    {33, " Cumulative frequency of mirrorred Fisher-Tippett type III :", "",
     "     Freq = 1 - exp[-{(C-X)/exp(-B/A)}^A]", "", "     Freq = 1 - exp[-{(C-X-T)/exp(-B/A)}^A]", ""},
    {35, " Cumulative frequency of the mirrored Frechet type (Fisher-Tippett 2):", "",
     "     Freq = 1 - exp[-{(X-C)/exp(-B/A)}^A]", "", "     Freq = 1 - exp[-{(X+T-C)/exp(-B/A)}^A]", ""},
    {36, " Kumaraswamy frequency function", "",
     "     Freq = 1 - [1 - (X/M)^A]^B]", "", "     Freq = 1 - [1 - {(X+C)/M)}^A)]^B", ""},
    {51, " Cumulative frequency function of the generalized Gumbel type :", "",
     "     Freq = exp[-exp{-(A*X^E+B)}]", "", "     Freq = exp[-exp{-(A*(X+C)^E+B)}]", ""},
    {52, " Cumulative frequency function of the generalized Gumbel mirrored type :", "",
     "     Freq = 1-exp[-exp{-(A*X^E+B)}]", "", "     Freq = 1-exp[-exp{-(A*(X+C)^E+B)}]", ""},
    {53, " The cumulative frequency function is logistic :", "",
     "     Freq = 1/{1+exp(A*X+B)}", "", "     Freq = 1/[1+exp{A*(X+C)+B)}]", ""},
    {54, " The cumulative frequency function is log-logistic :", "",
     "     Freq = 1/{1+exp(A*LnX+B)}", "", "     Freq = 1/{1+exp(A*Ln(X+C)+B)}", ""},
    {55, " The cumulative frequency function is generalized", " logistic :",
     "     Freq = 1/{1+exp(A*X^E+B)}", "", "     Freq = 1/{1+exp(A*Y^E+B)}", ""},
    {56, " Cumulative Fisk frequency function (adjusted)", "",
     "     Freq = 1-{B/(X+B)}^A", "", "     Freq = 1-{B/(X+C+B)}^A", ""},
    {57, " Cumulative frequency function of the Weibull type :", "",
     "     Freq = exp[-(X/C)^A]", "", "     Freq = exp[-{(X+T)/C}^A)}", ""},
    {58, " Cumulative frequency function of the Frechet type (Fisher-Tippett 2):", "",
     "     Freq = exp[-{(X-C)/exp(-B/A)}^A]", "", "     Freq = exp[-{(X+T-C)/exp(-B/A)}^A]", ""},
    {59, " Cumulative frequency function of the Fisher-Tippett type III :", "",
     "     Freq = exp[-{(C-X)/exp(-B/A)}^A]", "", "     Freq = exp[-{(C-X-T)/exp(-B/A)}^A]", ""},
    {60, " Cumulative frequency of the mirrorred Weibull type :", "",
     "     Freq = exp{-(X^E/C)^A)}", "", "     Freq = exp[-{(X+T)^E/C}^A)]", ""},
    {61, " Cumulative frequency of the Gamma (Erlang) type", "",
     "     Fc = 1 - Sum [ (1/n!).{(X/A)^n}.exp(-X/A) ]", "",
     "     Fc = 1 - Sum(1/n!).[ {(X+C)/A}^n.exp{-(X+C)/A} ]", ""},
    {62, " Cumulative Student distribution with 1 d.f.", kStudentHelp,
     "     Freq = 0.5 + arctan(Y)/pi", "", "     Freq = 0.5 + arctan(Y+T)/pi", ""},
    {63, " Cumulative Student distribution with 2 d.f.", kStudentHelp,
     "     Freq = 0.5[1+{Y/sqrt(2+Y^2)}]", "", "     Freq = 0.5[1+{(Y+T)/sqrt(2+(Y+T)^2)}]", ""},
    {64, " Cumulative Cauchy distribution", "",
     "     Freq = (1/pi)*arctan(A*X+B)+0.5", "", "     Freq = (1/pi)*arctan{A*(X+T)-B}+0.5", ""},
    {65, " Cumulative generalized Cauchy distribution", "",
     "     Freq = (1/pi)*arctan(A*X^E+B)+0.5", "", "     Freq = (1/pi)*arctan{A*(X+T)^E+B}+0.5", ""},
    {66, " Cumulative frequency function of the generalized mirrored Poisson type :", "",
     "     Freq = exp{-(A*X^E+B)}", "", "     Freq = exp[-{A*(X+C)^E+B}]", ""},
    {67, " Cumulative frequency of the generalized extreme value (GEV) type :", "",
     "     Freq = exp[-{1+K(X-A)/B}^(-1/K)]", "", "     Freq = exp[-{1+K(X+C-A)/B}^(-1/K)]", ""},
    {68, " Cumulative frequency of the composite Laplace distribution :", "",
     " X<B Freq = 0.5*exp{A1*(X-B)}", " X>B Freq = 1-0.5*exp{A2*(B-X)}",
     " X<B Freq = 0.5*exp{A1*(X+C-B)}", " X>B Freq = 1-0.5*exp{A2*(B-X-C)}"},
    {69, " Cumulative frequency function of the Rayleigh type :", "",
     "     Freq = 1 - exp(X^E/S)", "", "     Freq = 1 - exp((X+C)^E/S)", ""},
    {73, " Cumulative frequency of the generalized Laplace distribution :", "",
     " X<B Freq = 0.5*exp{A1*(X^E1-B)}", " X>B Freq = 1-0.5*exp{A2*(B-X^E2)}",
     " X<B Freq = 0.5*exp[A1*{(X+C)^E1-B}]", " X>B Freq = 1-0.5*exp[A2*{B-(X+C)^E2}]"},
};

const SingleForm* FindSingleForm(int code) {
  for (const SingleForm& f : kSingleForms)
    if (f.Code == code) return &f;
  return nullptr;
}

// The lines after the formula that belong to the code itself.
void WriteOwnLines(std::ostream& out, const TavorixRun& run) {
  const FittedDistribution& fd = run.Fitted;
  const FitParams& p = fd.P;
  const DistributionInfo* d = FindDistribution(fd.DistCode);
  switch (d ? d->Own : OwnLines::None) {
    case OwnLines::Exponent:
      Line(out, "     The exponent E = " + E3(p.PowerLine.E));
      break;
    case OwnLines::WeibullC:
      Line(out, "     C    = exp(-B/A) = " + E3(std::exp(-p.Line.B / p.Line.A)));
      break;
    case OwnLines::LowerBoundC:
      Line(out, "     C    = " + E3(p.Bounded.C));
      if (run.BelowBoundC) Line(out, " Warning, there are values smaller than the lower bound C");
      break;
    case OwnLines::UpperBoundC:
      Line(out, "     C    = " + E3(p.Bounded.C));
      if (run.AboveBoundC) Line(out, " Warning, there are values larger than the upper bound C");
      break;
    case OwnLines::GammaSum:
      Line(out, "     Summation from n=0 to n=B");
      Line(out, "     A = " + E3(p.Gamma.A) + "  B = " + E3(p.Gamma.Terms));
      break;
    case OwnLines::Gev:
      Line(out, "     K = " + E3(p.Gev.K) + "  A = " + E3(p.Gev.Loc) + "  B = " + E3(p.Gev.Scale));
      if (p.Gev.BeyondBound) {
        Line(out, " The K-value is not optimal: ");
        Line(out, " There are data beyond the bound.");
      }
      break;
    case OwnLines::Rayleigh:
      Line(out, "     The exponent E = " + FormatFixed(p.Rayleigh.E, 8, 3) + " The value of divider S = " +
                    FormatFixed(p.Rayleigh.S, 8, 3));
      break;
    case OwnLines::BurrDagum:
      Line(out, "    B = " + E3(p.Burr.B) + "    A = " + E3(p.Burr.A) + "    D = " + E3(p.Burr.D) + "    E = " + E3(p.Burr.E));
      break;
    case OwnLines::Kumaraswamy:
      Line(out, "      M = " + E3(p.Kumaraswamy.M) + "      A = " + E3(p.Kumaraswamy.A) + "      B = " + E3(p.Kumaraswamy.B));
      break;
    case OwnLines::Laplace:
      Line(out, "        B =  " + E3(p.Laplace.Mode) + "  A1 =  " + E3(p.Laplace.A1) + "  A2 =  " + E3(p.Laplace.A2));
      break;
    case OwnLines::LaplaceGeneralized:
      Line(out, " B =  " + E3(p.Laplace.Mode) + "  A1 =  " + E3(p.Laplace.A1) + "  A2 =  " + E3(p.Laplace.A2));
      Line(out, " The exponents are: E1 =  " + E3(p.Laplace.E1) + "  and E2 =  " + E3(p.Laplace.E2));
      break;
    case OwnLines::None:
      break;
  }
}

void WriteSingle(std::ostream& out, const TavorixRun& run, const SingleForm& f) {
  Line(out, f.Head1);
  if (!f.Head2.empty()) Line(out, f.Head2);
  Line(out, "");
  const bool moved = DataMoved(run);
  if (moved) WriteTermLine(out, run, f.Code);
  Line(out, moved ? f.Term1 : f.Plain1);
  if (!f.Plain2.empty()) Line(out, moved ? f.Term2 : f.Plain2);
  WriteOwnLines(out, run);
}

// Gompertz: the formula depends on the move and on the fit's X + 1 flag; a
// move without the flag prints no term line.
void WriteGompertz(std::ostream& out, const TavorixRun& run) {
  Line(out, " Cumulative generalized Gompertz frequency function");
  Line(out, "");
  const bool plusOne = run.Fitted.P.Gompertz.XPlusOne;
  if (DataMoved(run)) {
    if (plusOne) {
      WriteTermLine(out, run, TermLabel::C);
      Line(out, "     Freq = 1-exp[A*{Exp(B*Z^E) - 1}]  where Z = X-C");
    } else {
      Line(out, "     Freq = 1-exp[A*{Exp{B*X^E) - 1}]");
    }
  } else if (plusOne) {
    Line(out, "     Freq = 1-exp[A*{Exp(B*Z^E) - 1}]    where Z = X+1");
  } else {
    Line(out, "     Freq = 1-exp[A*{Exp(B*X^E) - 1}]");
  }
}

// --- normal family --------------------------------------------------------------

struct NormalForm {
  int Code;
  std::string_view Head;
  std::string_view MeanMoved, MeanPlain;  // empty: no mean line
  std::string_view SdMoved, SdPlain;      // empty: no standard error line
  bool Optimized;                         // the sd line ends with its optimized value
};

constexpr NormalForm kNormalForms[] = {
    {20, " The cumulative frequency function is normal.", "", "", "", "", false},
    {21, " The probability distribution is optimized normal.", "", "",
     " The standard error of X+C : ", " The standard error of X: ", true},
    {22, " The cumulative frequency function is log-normal.",
     " The mean value of Ln (X+C) is : ", " The mean value of Ln (X) is : ",
     " The standard error of Ln(X+C) : ", " The standard error of Ln(X) : ", false},
    {23, " The cumulative distribution is log-normal optimized.",
     " The mean value of Ln (X+C) is optimized as : ", " The mean value of Ln (X) is optimized as : ",
     " The standard error of Ln(X+C) : ", " The standard error of Ln(X) : ", true},
    {24, " The cumulative frequency function is root-normal.",
     " The mean value of sqrt(X+C)     : ", " The mean value of sqrt(X)     : ",
     " The standard error of sqrt(X+C) : ", " The standard error of sqrt(X) : ", true},
    {25, " The cumulative frequency function is square-normal.",
     " The mean value of (X+C)sq     : ", " The mean value of Xsq     : ",
     " The standard error of (X+C)sq : ", " The standard error of Xsq : ", true},
    {26, " The frequency function is generalized normal.",
     " The average value of (X+C)^E  : ", " The average value of X^E  : ",
     " The standard error of (X+C)^E : ", " The standard error of X^E : ", true},
};

const NormalForm* FindNormalForm(int code) {
  for (const NormalForm& f : kNormalForms)
    if (f.Code == code) return &f;
  return nullptr;
}

void WriteNormal(std::ostream& out, const TavorixRun& run, const NormalForm& f) {
  const FitParams& p = run.Fitted.P;
  Line(out, f.Head);
  const DistributionInfo* d = FindDistribution(f.Code);
  if (d && d->Transform == NormalTransform::Power) {
    Line(out, " The X-data were temporarily transformed into X^E");
    Line(out, " The exponent E is : " + E3(p.Normal.E));
  }
  Line(out, " The numerical method of Hastings is applied.");
  const bool moved = DataMoved(run);
  if (moved) WriteTermLine(out, run, TermLabel::C);
  if (!f.MeanPlain.empty()) Line(out, std::string(moved ? f.MeanMoved : f.MeanPlain) + E3(p.Normal.Mean));
  if (!f.SdPlain.empty()) {
    // The log-normal standard keeps its plain standard deviation in Sigma.
    const double sd = f.Optimized ? p.Normal.Sigma0 : p.Normal.Sigma;
    std::string line = std::string(moved ? f.SdMoved : f.SdPlain) + E3(sd);
    if (f.Optimized) line += " is optimized as : " + E3(p.Normal.Sigma);
    Line(out, line);
  }
  Line(out, "");
}

// --- composites -------------------------------------------------------------------

struct SimpleCompositeForm {
  int Code;
  std::string_view Head1, Head2;
  std::string_view LowerPlain, LowerTerm;
  std::string_view UpperPlain, UpperTerm;
  bool BlankBeforeParts = false;  // an empty line opens the block of the parts
};

constexpr std::string_view kComposedOf = " The cumulative frequency function is composed of :";
constexpr std::string_view kLowerMirroredX = "     X < P :  Freq = 1-exp[-exp{-(As*X+Bs)}]";
constexpr std::string_view kLowerMirroredY = "     X < P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]";
constexpr std::string_view kLowerGumbelX = "     X < P :  Freq = exp[-exp{-(As*X+Bs)}]";
constexpr std::string_view kLowerGumbelY = "     X < P :  Freq = exp[-exp{-(As*Y+Bs)}]";
constexpr std::string_view kLowerLogisticX = "     X < P :  Freq = 1/{1+exp(Ag*X+Bg)}";
constexpr std::string_view kLowerLogisticY = "     X < P :  Freq = 1/[1+exp{Ag*Y+Bg}]";
constexpr std::string_view kUpperPoissonX = "     X > P :  Freq = 1-exp{-(Ag*X+Bg)}";
constexpr std::string_view kUpperPoissonY = "     X > P :  Freq = 1-exp[-{Ag*Y)+Bg}]";

constexpr SimpleCompositeForm kSimpleComposites[] = {
    {7, " The cumulative frequency function composite Gumbel mirrored :", "",
     "      X < P :  Freq = 1-exp[-exp{-(As*X+Bs)}]", "      X < P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]",
     "      X > P :  Freq = 1-exp[-exp{-(Ag*X+Bg)}]", "      X > P :  Freq = 1-exp[-exp{-(Ag*Y+Bg)}]"},
    {8, " The cumulative frequency function is composite Logistic :", "",
     "      X < P :  Freq = 1/{1+exp(As*X+Bs)}", "      X < P :  Freq = 1/{1+exp(As*(Y+Bs)}",
     "      X > P :  Freq = 1/{1+exp(Ag*X+Bg)}", "      X > P :  Freq = 1/[1+exp{Ag*Y+Bg)}]"},
    {9, " The cumulative frequency function is composite Gumbel :", "",
     " X < P :  Freq = exp[-exp{-(As*X+Bs)}]", " X < P :  Freq = exp[-exp{-(As*Y+Bs)}]",
     " X > P :  Freq = exp[-exp{-(Ag*X+Bg)}]", " X > P :  Freq = exp[-exp{-(Ag*Y+Bg)}]", true},
    {10, kComposedOf, "     Gumbel mirrored (<P) + Logistic (>P) :", kLowerMirroredX, kLowerMirroredY,
     "     X > P :  Freq = 1/{1+exp(Ag*X+Bg)}", "     X > P :  Freq = 1/{1+exp(Ag*Y+Bg)}", true},
    {11, kComposedOf, "     Gumbel mirrored (<P) and Gumbel standard (>P) :", kLowerMirroredX, kLowerMirroredY,
     "     X > P :  Freq = exp[-exp{-(Ag*X+B)}]", "     X > P :  Freq = exp[-exp{-(Ag*Y+B)}]"},
    {12, kComposedOf, " Gumbel (<P) and logistic (>P) :", kLowerGumbelX, kLowerGumbelY,
     "     X > P :  Freq = 1/{1+exp(Ag*X+Bg)}", "     X > P :  Freq = 1/[1+exp{Ag*Y+Bg}]"},
    {13, kComposedOf, "     Gumbel standard (<P) and Gumbel mirrored (>P) :", kLowerGumbelX, kLowerGumbelY,
     "     X > P :  Freq = 1-exp[-exp{-(As*X+Bs)}]", "     X > P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]"},
    {14, kComposedOf, "     Logistic (<P) + Gumbel mirrored (>P) :", kLowerLogisticX, kLowerLogisticY,
     "     X > P :  Freq = 1-exp[-exp{-(As*X+Bs)}]", "     X > P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]"},
    {15, kComposedOf, "     Logistic (<P) + Gumbel (>P) :", kLowerLogisticX, kLowerLogisticY,
     "     X > P :  Freq = exp[-exp{-(As*X+Bs)}]", "     X > P :  Freq = exp[-exp{-(As*Y+Bs)}]"},
    {16, kComposedOf, "      Gumbel (<P) + Poisson (>P) :", kLowerMirroredX, kLowerMirroredY, kUpperPoissonX,
     kUpperPoissonY},
    {17, kComposedOf, "     Gumbel mirored (<P) + Poisson (>P) :", kLowerMirroredX, kLowerMirroredY,
     kUpperPoissonX, kUpperPoissonY},
    {18, kComposedOf, "     Logistic (<P) + Poisson (>P) :", kLowerLogisticX,
     "     X < P :  Freq = 1/[1+exp{Ag*(X+C)+Bg}]", kUpperPoissonX, "     X > P :  Freq = 1-exp[-{Ag*(X+C)+Bg}]"},
};

const SimpleCompositeForm* FindSimpleComposite(int code) {
  for (const SimpleCompositeForm& f : kSimpleComposites)
    if (f.Code == code) return &f;
  return nullptr;
}

void WriteSimpleCompositeHeading(std::ostream& out, const TavorixRun& run, const SimpleCompositeForm& f) {
  Line(out, f.Head1);
  if (!f.Head2.empty()) Line(out, f.Head2);
  // Unmoved data print P + Shift; moved data print P in input units.
  const double p = run.Fitted.P.Composite.BreakPoint;
  const double printed = DataMoved(run) ? InputValueOf(run, p) : p + run.Shift;
  Line(out, " The separation point is : P = " + FormatXNumber(printed, 6, 3, IsTinyData(run)));
  Line(out, "");
}

// Formula texts of one part of a generalized composite.
struct GeneralizedPart {
  std::string_view LowerPlain, LowerTerm, UpperPlain, UpperTerm;
};

constexpr GeneralizedPart kGenLogistic = {
    " X < P : Freq = 1/{1+exp(As*X^Es+Bs)}", " X < P : Freq = 1/{1+exp(As*Y^Es+Bs)}",
    " X > P : Freq = 1/{1+exp(Ag*X^Eg+Bg)}", " X > P : Freq = 1/{1+exp(Ag*Y^Eg+Bg)}"};
constexpr GeneralizedPart kGenGumbel = {
    " X < P :  Freq = exp[-exp{-(As*X^Es+Bs)}]", " X < P :  Freq = exp[-exp{-(As*Y^Es+Bs)}]",
    " X > P :  Freq = exp[-exp{-(Ag*X^Eg+Bg)}]", " X > P :  Freq = exp[-exp{-(Ag*Y^Eg+Bg)}]"};
constexpr GeneralizedPart kGenPoisson = {
    " X < P :  Freq = 1-exp{-(As*X^Es+Bs)}", " X < P :  Freq = 1-exp[-{As*(X+C)^Es+Bs}]",
    " X > P :  Freq = 1-exp{-(Ag*X^Eg+Bg)}", " X > P :  Freq = 1-exp[-{Ag*(X+C)^Eg+Bg}]"};
constexpr GeneralizedPart kGenMirrored = {
    " X < P :  Freq = 1 - exp[-exp{-(As*X^Es+Bs)}]", " X < P :  Freq = 1 - exp[-exp{-(As*Y^Es+Bs)}]",
    " X > P :  Freq = 1 - exp[-exp{-(Ag*X^Eg+Bg)}]", " X > P :  Freq = 1 - exp[-exp{-(Ag*Y^Eg+Bg)}]"};

constexpr std::string_view kSeparationIs = " The separation point is : P = ";
constexpr std::string_view kSeparationIsP = " The separation point is P = : ";

struct GeneralizedCompositeForm {
  int Code;
  std::string_view Head;
  const GeneralizedPart* Lower;
  const GeneralizedPart* Upper;
  std::string_view SeparationLabel = kSeparationIs;
};

constexpr GeneralizedCompositeForm kGeneralizedComposites[] = {
    {70, " The frequency function is composite logistic generalized:", &kGenLogistic, &kGenLogistic},
    {71, " The cumulative frequency function is composite Gumbel generalized:", &kGenGumbel, &kGenGumbel,
     kSeparationIsP},
    {72, " The cumulative frequency function is composite Poisson generalized:", &kGenPoisson, &kGenPoisson},
    {74, " The cumulative frequency function is composite Gumbel mirrored generalized:", &kGenMirrored,
     &kGenMirrored, kSeparationIsP},
    {80, " The frequency function is generalized logistic + Gumbel:", &kGenLogistic, &kGenGumbel},
    {81, " The frequency function is generalized logistic + Poisson:", &kGenLogistic, &kGenPoisson},
    {82, " The frequency function is generalized Gumbel + logistic:", &kGenGumbel, &kGenLogistic},
    {83, " The frequency function is generalized Gumbel + Poisson:", &kGenGumbel, &kGenPoisson},
    {84, " The frequency function is generalized Poisson + logistic:", &kGenPoisson, &kGenLogistic},
    {85, " The frequency function is generalized Poisson + Gumbel:", &kGenPoisson, &kGenGumbel},
};

const GeneralizedCompositeForm* FindGeneralizedComposite(int code) {
  for (const GeneralizedCompositeForm& f : kGeneralizedComposites)
    if (f.Code == code) return &f;
  return nullptr;
}

void WriteGeneralizedComposite(std::ostream& out, const TavorixRun& run, const GeneralizedCompositeForm& f) {
  const FitParams& p = run.Fitted.P;
  Line(out, f.Head);
  Line(out, std::string(f.SeparationLabel) + E3(PrintedX(run, p.Composite.BreakPoint)));
  Line(out, "");
  const bool moved = DataMoved(run);
  if (moved) WriteTermLine(out, run, TermLabel::Y);
  Line(out, moved ? f.Lower->LowerTerm : f.Lower->LowerPlain);
  Line(out, "          As = " + E3(p.Composite.Lower.A) + "        Bs = " + E3(p.Composite.Lower.B));
  Line(out, "          The value of exponent Es is: " + E3(p.Composite.Lower.E));
  Line(out, moved ? f.Upper->UpperTerm : f.Upper->UpperPlain);
  Line(out, "          Ag = " + E3(p.Composite.Upper.A) + "        Bg = " + E3(p.Composite.Upper.B));
  Line(out, "          The value of exponent Eg is: " + E3(p.Composite.Upper.E));
}

}  // namespace

bool DataMoved(const TavorixRun& run) { return run.Shifted || run.Shift < 0; }

double PrintedX(const TavorixRun& run, long double x) {
  return DataMoved(run) ? InputValueOf(run, x) : static_cast<double>(x);
}

void WriteDistributionBlock(std::ostream& out, const TavorixRun& run) {
  const int code = run.Fitted.DistCode;
  const DistributionInfo* d = FindDistribution(code);
  const SingleForm* single = FindSingleForm(code);
  const NormalForm* normal = FindNormalForm(code);
  const SimpleCompositeForm* simple = FindSimpleComposite(code);
  const GeneralizedCompositeForm* generalized = FindGeneralizedComposite(code);
  switch (d ? d->Form : ReportForm::None) {
    case ReportForm::Single:
      if (single) return WriteSingle(out, run, *single);
      break;
    case ReportForm::Gompertz: return WriteGompertz(out, run);
    case ReportForm::Normal:
      if (normal) return WriteNormal(out, run, *normal);
      break;
    case ReportForm::SimpleComposite:
      if (simple) return WriteSimpleCompositeHeading(out, run, *simple);
      break;
    case ReportForm::GeneralizedComposite:
      if (generalized) return WriteGeneralizedComposite(out, run, *generalized);
      break;
    case ReportForm::None:
      break;
  }
  Line(out, "");
}

void WriteCompositeTwoPartBlock(std::ostream& out, const TavorixRun& run) {
  const SimpleCompositeForm* f = FindSimpleComposite(run.Fitted.DistCode);
  if (!f) return;
  const FitParams& p = run.Fitted.P;
  if (f->BlankBeforeParts) Line(out, "");
  const bool moved = DataMoved(run);
  if (moved) WriteTermLine(out, run, f->Code);
  Line(out, moved ? f->LowerTerm : f->LowerPlain);
  Line(out, "          As = " + E3(p.Composite.Lower.A) + "        Bs = " + E3(p.Composite.Lower.B));
  Line(out, moved ? f->UpperTerm : f->UpperPlain);
  Line(out, "          Ag = " + E3(p.Composite.Upper.A) + "        Bg = " + E3(p.Composite.Upper.B));
}

}  // namespace tavorix

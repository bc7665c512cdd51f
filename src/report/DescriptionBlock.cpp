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

// --- single distributions -----------------------------------------------------

// The lines after the formula that belong to the code itself.
void WriteOwnLines(std::ostream& out, const TavorixRun& run, OwnLines own) {
  const FitParams& p = run.Fitted.P;
  switch (own) {
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

void WriteHeading(std::ostream& out, const BlockText& t) {
  Line(out, t.Head1);
  if (!t.Head2.empty()) Line(out, t.Head2);
}

void WriteSingle(std::ostream& out, const TavorixRun& run, const DistributionInfo& d) {
  const BlockText& t = d.Block;
  WriteHeading(out, t);
  Line(out, "");
  const bool moved = DataMoved(run);
  if (moved) WriteTermLine(out, run, d.Term);
  Line(out, moved ? t.Moved1 : t.Plain1);
  if (!t.Plain2.empty()) Line(out, moved ? t.Moved2 : t.Plain2);
  WriteOwnLines(out, run, d.Own);
}

// Gompertz: the formula depends on the move and on the fit's X + 1 flag; a
// move without the flag prints no term line.
void WriteGompertz(std::ostream& out, const TavorixRun& run, const DistributionInfo& d) {
  const BlockText& t = d.Block;
  WriteHeading(out, t);
  Line(out, "");
  const bool plusOne = run.Fitted.P.Gompertz.XPlusOne;
  const bool moved = DataMoved(run);
  if (moved && plusOne) WriteTermLine(out, run, d.Term);
  if (moved)
    Line(out, plusOne ? t.Moved2 : t.Moved1);
  else
    Line(out, plusOne ? t.Plain2 : t.Plain1);
}

// --- normal family --------------------------------------------------------------

// The searched forms print the standard deviation of the moments and its
// optimised value.
void WriteNormal(std::ostream& out, const TavorixRun& run, const DistributionInfo& d) {
  const FitParams& p = run.Fitted.P;
  const BlockText& t = d.Block;
  WriteHeading(out, t);
  if (d.Transform == NormalTransform::Power) {
    Line(out, " The X-data were temporarily transformed into X^E");
    Line(out, " The exponent E is : " + E3(p.Normal.E));
  }
  Line(out, " The numerical method of Hastings is applied.");
  const bool moved = DataMoved(run);
  if (moved) WriteTermLine(out, run, d.Term);
  if (!t.Plain1.empty()) Line(out, std::string(moved ? t.Moved1 : t.Plain1) + E3(p.Normal.Mean));
  if (!t.Plain2.empty()) {
    // The log-normal standard keeps its plain standard deviation in Sigma.
    const bool optimized = d.Hand == HandOver::NormalSearched;
    const double sd = optimized ? p.Normal.Sigma0 : p.Normal.Sigma;
    std::string line = std::string(moved ? t.Moved2 : t.Plain2) + E3(sd);
    if (optimized) line += " is optimized as : " + E3(p.Normal.Sigma);
    Line(out, line);
  }
  Line(out, "");
}

// --- composites -------------------------------------------------------------------

void WriteSimpleCompositeHeading(std::ostream& out, const TavorixRun& run, const DistributionInfo& d) {
  WriteHeading(out, d.Block);
  // Unmoved data print P + Shift; moved data print P in input units.
  const double p = run.Fitted.P.Composite.BreakPoint;
  const double printed = DataMoved(run) ? InputValueOf(run, p) : p + run.Shift;
  Line(out, std::string(d.Block.Separation) + FormatXNumber(printed, 6, 3, IsTinyData(run)));
  Line(out, "");
}

// Formula texts of a part of a generalized composite, by its kind.
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

const GeneralizedPart& GeneralizedPartOf(ComponentKind kind) {
  switch (kind) {
    case ComponentKind::Logistic: return kGenLogistic;
    case ComponentKind::Gumbel: return kGenGumbel;
    case ComponentKind::Poisson: return kGenPoisson;
    case ComponentKind::MirroredGumbel: break;
  }
  return kGenMirrored;
}

void WriteGeneralizedComposite(std::ostream& out, const TavorixRun& run, const DistributionInfo& d) {
  const FitParams& p = run.Fitted.P;
  const GeneralizedPart& lower = GeneralizedPartOf(d.Parts.Lower);
  const GeneralizedPart& upper = GeneralizedPartOf(d.Parts.Upper);
  WriteHeading(out, d.Block);
  Line(out, std::string(d.Block.Separation) + E3(PrintedX(run, p.Composite.BreakPoint)));
  Line(out, "");
  const bool moved = DataMoved(run);
  if (moved) WriteTermLine(out, run, d.Term);
  Line(out, moved ? lower.LowerTerm : lower.LowerPlain);
  Line(out, "          As = " + E3(p.Composite.Lower.A) + "        Bs = " + E3(p.Composite.Lower.B));
  Line(out, "          The value of exponent Es is: " + E3(p.Composite.Lower.E));
  Line(out, moved ? upper.UpperTerm : upper.UpperPlain);
  Line(out, "          Ag = " + E3(p.Composite.Upper.A) + "        Bg = " + E3(p.Composite.Upper.B));
  Line(out, "          The value of exponent Eg is: " + E3(p.Composite.Upper.E));
}

}  // namespace

bool DataMoved(const TavorixRun& run) { return run.Shifted || run.Shift < 0; }

double PrintedX(const TavorixRun& run, long double x) {
  return DataMoved(run) ? InputValueOf(run, x) : static_cast<double>(x);
}

void WriteDistributionBlock(std::ostream& out, const TavorixRun& run) {
  const DistributionInfo* d = FindDistribution(run.Fitted.DistCode);
  switch (d ? d->Form : ReportForm::None) {
    case ReportForm::Single: return WriteSingle(out, run, *d);
    case ReportForm::Gompertz: return WriteGompertz(out, run, *d);
    case ReportForm::Normal: return WriteNormal(out, run, *d);
    case ReportForm::SimpleComposite: return WriteSimpleCompositeHeading(out, run, *d);
    case ReportForm::GeneralizedComposite: return WriteGeneralizedComposite(out, run, *d);
    case ReportForm::None: break;
  }
  Line(out, "");
}

void WriteCompositeTwoPartBlock(std::ostream& out, const TavorixRun& run) {
  const DistributionInfo* d = FindDistribution(run.Fitted.DistCode);
  if (!d || d->Form != ReportForm::SimpleComposite) return;
  const BlockText& t = d->Block;
  const FitParams& p = run.Fitted.P;
  if (t.BlankBeforeParts) Line(out, "");
  const bool moved = DataMoved(run);
  if (moved) WriteTermLine(out, run, d->Term);
  Line(out, moved ? t.Moved1 : t.Plain1);
  Line(out, "          As = " + E3(p.Composite.Lower.A) + "        Bs = " + E3(p.Composite.Lower.B));
  Line(out, moved ? t.Moved2 : t.Plain2);
  Line(out, "          Ag = " + E3(p.Composite.Upper.A) + "        Bg = " + E3(p.Composite.Upper.B));
}

}  // namespace tavorix

// The distribution registry: one row per code. The columns are described in
// Registry.h; the fit order, the choice order, the selection window and the
// composite list are columns here, so that the engine and the windows only
// sort rows by them.
#include "fitting/Registry.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/TextLines.h"

#include "fitting/BurrDagumFits.h"
#include "fitting/Composites.h"
#include "fitting/DistributionFunctions.h"
#include "fitting/FiskFit.h"
#include "fitting/GammaFit.h"
#include "fitting/GevFit.h"
#include "fitting/GompertzFit.h"
#include "fitting/KumaraswamyFit.h"
#include "fitting/LaplaceFits.h"
#include "fitting/LocationFits.h"
#include "fitting/NormalFamily.h"
#include "fitting/RayleighFit.h"
#include "fitting/RegressionFits.h"
#include "fitting/StudentFit.h"

namespace tavorix {

namespace {

// Adapters from the functions of one code to the registry's signatures.
template <void (*F)(TavorixRun&, FitWorkspace&)>
int Own(TavorixRun& run, FitWorkspace& ws, int code) {
  F(run, ws);
  return code;
}
template <void (*F)(TavorixRun&, FitWorkspace&, int)>
int ByCode(TavorixRun& run, FitWorkspace& ws, int code) {
  F(run, ws, code);
  return code;
}
int ByRegression(TavorixRun& run, FitWorkspace& ws, int code) {
  FitByRegression(code, *FindDistribution(code)->Shape, run, ws);
  return code;
}
// The Student fit fills both 62 and 63 and chooses between them.
int StudentPair(TavorixRun& run, FitWorkspace& ws, int) { return FitStudent(run, ws); }

// The family type that a function of one code takes as its first argument.
template <class>
struct FamilyArg;
template <class R, class Fam, class... Rest>
struct FamilyArg<R (*)(const Fam&, Rest...)> {
  using type = Fam;
};
template <auto F>
using FamilyOf = typename FamilyArg<decltype(F)>::type;

// Adapters from a function of one family to the registry's signatures.
template <auto F>
double ByFamily(int, const FitParams& p, double x) {
  return F(p.Of<FamilyOf<F>>(), x);
}
template <auto F>
double GuardedByFamily(const FitParams& p, double x, Guard use, BoundHits* hits) {
  return F(p.Of<FamilyOf<F>>(), x, use, hits);
}
template <auto F>
InverseResult InverseByFamily(int, const FitParams& p, double q, CompositePart, NonPositive policy) {
  return F(p.Of<FamilyOf<F>>(), q, policy);
}

// Parameter-file lines of each parameter layout, in file order.
using F = ParamField;
using Fam = ParamFamily;
constexpr ParamField kLineFields[] = {F::A, F::B};
constexpr ParamField kLineAFields[] = {F::A};
constexpr ParamField kLineEFields[] = {F::A, F::B, F::E};
constexpr ParamField kBoundedFields[] = {F::A, F::B, F::C};
constexpr ParamField kBurrFields[] = {F::S, F::A, F::E, F::B, F::D};
constexpr ParamField kGompertzFields[] = {F::XPlusOneFlag, F::B, F::E, F::A};
constexpr ParamField kKumaraswamyFields[] = {F::MBound, F::A, F::B};
constexpr ParamField kGammaFields[] = {F::A, F::Terms};
constexpr ParamField kStudentFields[] = {F::StudentMean, F::StudentSpread};
constexpr ParamField kGevFields[] = {F::Zero, F::Zero, F::K, F::Loc, F::Scale};
constexpr ParamField kLaplaceFields[] = {F::Zero, F::Zero, F::Mode, F::S1, F::S2};
constexpr ParamField kLaplaceGeneralizedFields[] = {F::Mode, F::S1, F::S2, F::E1, F::E2};
constexpr ParamField kRayleighFields[] = {F::E, F::S, F::E, F::S};
constexpr ParamField kNormalFields[] = {F::Mean, F::Sigma};
constexpr ParamField kNormalEFields[] = {F::Mean, F::Sigma, F::E};
constexpr ParamField kSimpleCompositeFields[] = {F::As, F::Bs, F::Ag, F::Bg, F::BreakPoint};
constexpr ParamField kGeneralizedCompositeFields[] = {F::Es, F::Eg, F::As, F::Bs, F::Ag, F::Bg, F::BreakPoint};

constexpr ParamLayout kLine{Fam::Line, kLineFields};
constexpr ParamLayout kLineA{Fam::Line, kLineAFields};
constexpr ParamLayout kLineE{Fam::PowerLine, kLineEFields};
constexpr ParamLayout kBounded{Fam::Bounded, kBoundedFields};
constexpr ParamLayout kBurr{Fam::Burr, kBurrFields};
constexpr ParamLayout kGompertz{Fam::Gompertz, kGompertzFields};
constexpr ParamLayout kKumaraswamy{Fam::Kumaraswamy, kKumaraswamyFields};
constexpr ParamLayout kGamma{Fam::Gamma, kGammaFields};
constexpr ParamLayout kStudent{Fam::Student, kStudentFields};
constexpr ParamLayout kGev{Fam::Gev, kGevFields};
constexpr ParamLayout kLaplace{Fam::Laplace, kLaplaceFields};
constexpr ParamLayout kLaplaceGeneralized{Fam::Laplace, kLaplaceGeneralizedFields};
constexpr ParamLayout kRayleigh{Fam::Rayleigh, kRayleighFields};
constexpr ParamLayout kNormal{Fam::Normal, kNormalFields};
constexpr ParamLayout kNormalE{Fam::Normal, kNormalEFields};
constexpr ParamLayout kSimpleComposite{Fam::Composite, kSimpleCompositeFields};
constexpr ParamLayout kGeneralizedComposite{Fam::Composite, kGeneralizedCompositeFields};

// Codes 1 and 2 exist only as graph titles. FitStep orders the best-of-all
// run (composites only with the composite option); ChoicePlace orders the
// choice: the first row is the start, each later row replaces the best on a
// strictly lower score, the composites come last under their own rule.
constexpr DistributionInfo kRegistry[] = {
    {.Code = 1, .ListName = "",
     .TitleName = "Generalized linear",
     .Caption = "", .Preference = "", .Kind = DistKind::TitleOnly},
    {.Code = 2, .ListName = "",
     .TitleName = "Generalized linear exponential",
     .Caption = "", .Preference = "", .Kind = DistKind::TitleOnly},
    {.Code = 3, .ListName = " Generalized exponential (Poisson-type) distribution",
     .TitleName = "Generalized exponential (Poisson) distribution",
     .Caption = "Exponential generalized", .Preference = "3", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 1, .StepLines = " 3 done", .LinesWhenAlone = true, .ChoicePlace = 8,
     .Shape = RegressionShape{.Ft = FtForm::NegLnOneMinusFr, .Xt = XtForm::PowerE, .Fc = FcForm::ExponentialGeneralized},
     .Fc = ByFamily<FcExponentialGeneralized>,
     .Inverse = InverseByFamily<InverseExponentialGeneralized>, .Params = kLineE, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Own = OwnLines::Exponent, .LineLines = true, .SelectPlace = 16, .SelectPhrase = "generalized exponential",
     .Block = {.Head1 = " The generalized cumulative frequency function is ",
               .Head2 = " a-symptotic exponential (Poisson-type):", .Plain1 = "     Freq = 1-exp{-(A*X^E+B)}",
               .Moved1 = "     Freq = 1-exp[-{A*(X+C)^E+B}]"},
     .Help = {"3b", "Exponential generalized", "Fc = 1-exp{-(A*X^E+B)}", "Ft = -ln(1-Fc), Xt = X^E"}},
    {.Code = 4, .ListName = " Gumbel distribution",
     .TitleName = "Gumbel distribution",
     .Caption = "Gumbel (standard)", .Preference = "4", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 2, .StepLines = " 4 done", .LinesWhenAlone = true, .ChoicePlace = 9,
     .Shape = RegressionShape{.Ft = FtForm::NegLnNegLnFr, .Xt = XtForm::X, .Fc = FcForm::Gumbel, .RecordsStdErrX = true},
     .Fc = ByFamily<FcGumbel>,
     .Inverse = InverseByFamily<InverseGumbel>, .Params = kLine, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .LineLines = true, .ModeLines = true, .SelectPlace = 21,
     .SelectPhrase = "standard Gumbel",
     .Block = {.Head1 = "The cumulative frequency function is double exponential (Gumbel):",
               .Plain1 = "     Freq = exp[-exp{-(A*X+B)}]", .Moved1 = "     Freq = exp[-exp{-(A*(X+C)+B)}]"},
     .Help = {"1a", "Gumbel", "Fc = exp{-exp(-(A*X+B))}", "Ft = -ln(-ln Fc), Xt = X"}},
    {.Code = 5, .ListName = " Mirrored Gumbel distribution",
     .TitleName = "Mirrored Gumbel distribution",
     .Caption = "Gumbel mirrored", .Preference = "5", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 3, .StepLines = " 5 done", .LinesWhenAlone = true, .ChoicePlace = 10,
     .Shape = RegressionShape{.Ft = FtForm::NegLnNegLnOneMinus, .Xt = XtForm::X, .Fc = FcForm::GumbelMirrored, .RecordsStdErrX = true},
     .Fc = ByFamily<FcGumbelMirrored>,
     .Inverse = InverseByFamily<InverseGumbelMirrored>, .Params = kLine, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .LineLines = true, .SelectPlace = 23, .SelectPhrase = "mirrored Gumbel",
     .Block = {.Head1 = " Gumbel mirrored cumulative frequency function :",
               .Plain1 = "     Freq = 1-exp[-exp{-(A*X+B)}]", .Moved1 = "     Freq = 1-exp[-exp{-(A*(X+C)+B)}]"},
     .Help = {"2a", "Gumbel mirrored", "Fc = 1-exp{-exp(-(A*X+B))}", "Ft = -ln(-ln(1-Fc)), Xt = X"}},
    {.Code = 6, .ListName = " Exponential distribution (Poisson type)",
     .TitleName = "Simple exponential (Poisson) distribution",
     .Caption = "Exponential (standard)", .Preference = "6", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 4, .StepLines = " please wait ...", .LinesWhenAlone = true, .ChoicePlace = 11,
     .Shape = RegressionShape{.Ft = FtForm::NegLnOneMinusFr, .Xt = XtForm::X, .Fc = FcForm::Exponential, .Line = LineForm::Ratio},
     .Fc = ByFamily<FcExponential>,
     .Inverse = InverseByFamily<InverseExponential>, .Params = kLineA, .Hand = HandOver::LineA,
     .Form = ReportForm::Single, .LineLines = true, .SelectPlace = 15, .SelectPhrase = "standard exponential",
     .Block = {.Head1 = " The cumulative frequency function is ",
               .Head2 = " a-symptotic exponential (Poisson-type):", .Plain1 = "     Freq = 1-exp{-A*X}",
               .Moved1 = "     Freq = 1-exp[-A*(X+C)]"},
     .Help = {"3a", "Exponential (Poisson)", "Fc = 1-exp(-A*X)", "A by the ratio method (note 2)"}},
    {.Code = 7, .ListName = " Composite Gumbel distribution mirrored",
     .TitleName = "Composite Gumbel mirrored distribution",
     .Caption = "", .Preference = "7", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 5, .StepLines = " 7 done", .ChoicePlace = 37, .FewestLowerData = 6,
     .Parts = {ComponentKind::MirroredGumbel, ComponentKind::MirroredGumbel, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 3, .CompositeItem = "Composite Gumbel mirrored",
     .Block = {.Head1 = " The cumulative frequency function composite Gumbel mirrored :",
               .Plain1 = "      X < P :  Freq = 1-exp[-exp{-(As*X+Bs)}]",
               .Plain2 = "      X > P :  Freq = 1-exp[-exp{-(Ag*X+Bg)}]",
               .Moved1 = "      X < P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]",
               .Moved2 = "      X > P :  Freq = 1-exp[-exp{-(Ag*Y+Bg)}]"}},
    {.Code = 8, .ListName = " Composite logistic distribution",
     .TitleName = "Composite logistic distribution",
     .Caption = "", .Preference = "8", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 6, .StepLines = " 8 done", .ChoicePlace = 38, .FewestLowerData = 6,
     .Parts = {ComponentKind::Logistic, ComponentKind::Logistic, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 1, .CompositeItem = "Composite logistic distribution",
     .Block = {.Head1 = " The cumulative frequency function is composite Logistic :",
               .Plain1 = "      X < P :  Freq = 1/{1+exp(As*X+Bs)}",
               .Plain2 = "      X > P :  Freq = 1/{1+exp(Ag*X+Bg)}",
               .Moved1 = "      X < P :  Freq = 1/{1+exp(As*(Y+Bs)}",
               .Moved2 = "      X > P :  Freq = 1/[1+exp{Ag*Y+Bg)}]"}},
    {.Code = 9, .ListName = " Composite Gumbel distribution",
     .TitleName = "Composite Gumbel distribution",
     .Caption = "", .Preference = "9", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 7, .StepLines = " 9 done", .ChoicePlace = 39, .FewestLowerData = 6,
     .Parts = {ComponentKind::Gumbel, ComponentKind::Gumbel, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 2, .CompositeItem = "Composite Gumbel distribution",
     .Block = {.Head1 = " The cumulative frequency function is composite Gumbel :",
               .Plain1 = " X < P :  Freq = exp[-exp{-(As*X+Bs)}]",
               .Plain2 = " X > P :  Freq = exp[-exp{-(Ag*X+Bg)}]",
               .Moved1 = " X < P :  Freq = exp[-exp{-(As*Y+Bs)}]",
               .Moved2 = " X > P :  Freq = exp[-exp{-(Ag*Y+Bg)}]", .BlankBeforeParts = true}},
    {.Code = 10, .ListName = " Gumbel mirrored + Logistic distribution",
     .TitleName = "Composite Gumbel mirrored + logistic distribution",
     .Caption = "", .Preference = "10", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 8, .StepLines = " 10 done", .ChoicePlace = 40, .FewestLowerData = 6,
     .Parts = {ComponentKind::MirroredGumbel, ComponentKind::Logistic, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 10, .CompositeItem = "Gumbel mirrored + logistic",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = "     Gumbel mirrored (<P) + Logistic (>P) :",
               .Plain1 = "     X < P :  Freq = 1-exp[-exp{-(As*X+Bs)}]",
               .Plain2 = "     X > P :  Freq = 1/{1+exp(Ag*X+Bg)}",
               .Moved1 = "     X < P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]",
               .Moved2 = "     X > P :  Freq = 1/{1+exp(Ag*Y+Bg)}", .BlankBeforeParts = true}},
    {.Code = 11, .ListName = " Gumbel mirrored  + Gumbel standard distribution ",
     .TitleName = "Mirrored Gumbel + standard Gumbel distribution",
     .Caption = "", .Preference = "11", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 9, .StepLines = " 11 done", .ChoicePlace = 41, .FewestLowerData = 6,
     .Parts = {ComponentKind::MirroredGumbel, ComponentKind::Gumbel, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 11, .CompositeItem = "Gumbel mirrored + Gumbel",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = "     Gumbel mirrored (<P) and Gumbel standard (>P) :",
               .Plain1 = "     X < P :  Freq = 1-exp[-exp{-(As*X+Bs)}]",
               .Plain2 = "     X > P :  Freq = exp[-exp{-(Ag*X+B)}]",
               .Moved1 = "     X < P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]",
               .Moved2 = "     X > P :  Freq = exp[-exp{-(Ag*Y+B)}]"}},
    {.Code = 12, .ListName = " Gumbel + Logistic distribution",
     .TitleName = "Composite Gumbel + logistic distribution",
     .Caption = "", .Preference = "12", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 10, .StepLines = " 12 done", .ChoicePlace = 42, .FewestLowerData = 6,
     .Parts = {ComponentKind::Gumbel, ComponentKind::Logistic, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 7, .CompositeItem = "Gumbel + Logistic",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = " Gumbel (<P) and logistic (>P) :", .Plain1 = "     X < P :  Freq = exp[-exp{-(As*X+Bs)}]",
               .Plain2 = "     X > P :  Freq = 1/{1+exp(Ag*X+Bg)}",
               .Moved1 = "     X < P :  Freq = exp[-exp{-(As*Y+Bs)}]",
               .Moved2 = "     X > P :  Freq = 1/[1+exp{Ag*Y+Bg}]"}},
    {.Code = 13, .ListName = " Gumbel + Gumbel Mirrored  distribution",
     .TitleName = "Standard Gumbel + mirrored Gumbel distribution",
     .Caption = "", .Preference = "13", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 11, .StepLines = " 13 done", .ChoicePlace = 43, .FewestLowerData = 6,
     .Parts = {ComponentKind::Gumbel, ComponentKind::MirroredGumbel, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 9, .CompositeItem = "Gumbel + Gumbel mirrored",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = "     Gumbel standard (<P) and Gumbel mirrored (>P) :",
               .Plain1 = "     X < P :  Freq = exp[-exp{-(As*X+Bs)}]",
               .Plain2 = "     X > P :  Freq = 1-exp[-exp{-(As*X+Bs)}]",
               .Moved1 = "     X < P :  Freq = exp[-exp{-(As*Y+Bs)}]",
               .Moved2 = "     X > P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]"}},
    {.Code = 14, .ListName = " Logistic + Gumbel mirrored distribution",
     .TitleName = "Composite logistic + mirrored Gumbel distribution",
     .Caption = "", .Preference = "14", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 12, .StepLines = " 14 done", .ChoicePlace = 44, .FewestLowerData = 6,
     .Parts = {ComponentKind::Logistic, ComponentKind::MirroredGumbel, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 6, .CompositeItem = "Logistic + Gumbel mirrored",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = "     Logistic (<P) + Gumbel mirrored (>P) :",
               .Plain1 = "     X < P :  Freq = 1/{1+exp(Ag*X+Bg)}",
               .Plain2 = "     X > P :  Freq = 1-exp[-exp{-(As*X+Bs)}]",
               .Moved1 = "     X < P :  Freq = 1/[1+exp{Ag*Y+Bg}]",
               .Moved2 = "     X > P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]"}},
    {.Code = 15, .ListName = " Logistic + Gumbel distribution",
     .TitleName = "Composite logistic + Gumbel distribution",
     .Caption = "", .Preference = "15", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 13, .StepLines = " 15 done", .ChoicePlace = 45, .FewestLowerData = 6,
     .Parts = {ComponentKind::Logistic, ComponentKind::Gumbel, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 4, .CompositeItem = "Logistic + Gumbel",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = "     Logistic (<P) + Gumbel (>P) :", .Plain1 = "     X < P :  Freq = 1/{1+exp(Ag*X+Bg)}",
               .Plain2 = "     X > P :  Freq = exp[-exp{-(As*X+Bs)}]",
               .Moved1 = "     X < P :  Freq = 1/[1+exp{Ag*Y+Bg}]",
               .Moved2 = "     X > P :  Freq = exp[-exp{-(As*Y+Bs)}]"}},
    {.Code = 16, .ListName = " Gumbel + Poisson distribution",
     .TitleName = "Composite Gumbel + Poisson distribution",
     .Caption = "", .Preference = "16", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 14, .StepLines = " 16 done", .ChoicePlace = 46, .FewestLowerData = 6,
     .Parts = {ComponentKind::Gumbel, ComponentKind::Poisson, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 8, .CompositeItem = "Gumbel + Poisson",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = "      Gumbel (<P) + Poisson (>P) :",
               .Plain1 = "     X < P :  Freq = 1-exp[-exp{-(As*X+Bs)}]",
               .Plain2 = "     X > P :  Freq = 1-exp{-(Ag*X+Bg)}",
               .Moved1 = "     X < P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]",
               .Moved2 = "     X > P :  Freq = 1-exp[-{Ag*Y)+Bg}]"}},
    {.Code = 17, .ListName = " Gumbel mirrored + Poisson distribution",
     .TitleName = "Composite Gumbel mirrored + Poisson distribution",
     .Caption = "", .Preference = "17", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 15, .StepLines = " 17 done", .ChoicePlace = 47, .FewestLowerData = 6,
     .Parts = {ComponentKind::MirroredGumbel, ComponentKind::Poisson, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .Term = TermLabel::Y, .CompositeItemPlace = 12, .CompositeItem = "Gumbel mirrored + Poisson",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = "     Gumbel mirored (<P) + Poisson (>P) :",
               .Plain1 = "     X < P :  Freq = 1-exp[-exp{-(As*X+Bs)}]",
               .Plain2 = "     X > P :  Freq = 1-exp{-(Ag*X+Bg)}",
               .Moved1 = "     X < P :  Freq = 1-exp[-exp{-(As*Y+Bs)}]",
               .Moved2 = "     X > P :  Freq = 1-exp[-{Ag*Y)+Bg}]"}},
    {.Code = 18, .ListName = " Logistic + Poisson distribution",
     .TitleName = "Composite lLogistic + Poisson distribution",
     .Caption = "", .Preference = "18", .Kind = DistKind::SimpleComposite,
     .Fit = ByCode<FitSimpleComposite>, .FitStep = 16, .StepLines = " 18 done", .ChoicePlace = 48, .FewestLowerData = 6,
     .Parts = {ComponentKind::Logistic, ComponentKind::Poisson, false, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kSimpleComposite,
     .Form = ReportForm::SimpleComposite, .CompositeItemPlace = 5, .CompositeItem = "Logistic + Poisson",
     .Block = {.Head1 = " The cumulative frequency function is composed of :",
               .Head2 = "     Logistic (<P) + Poisson (>P) :", .Plain1 = "     X < P :  Freq = 1/{1+exp(Ag*X+Bg)}",
               .Plain2 = "     X > P :  Freq = 1-exp{-(Ag*X+Bg)}",
               .Moved1 = "     X < P :  Freq = 1/[1+exp{Ag*(X+C)+Bg}]",
               .Moved2 = "     X > P :  Freq = 1-exp[-{Ag*(X+C)+Bg}]"}},
    {.Code = 20, .ListName = " Normal distribution standard",
     .TitleName = "Normal distribution usual",
     .Caption = "Normal (standard)", .Preference = "20", .Kind = DistKind::NormalFamily,
     .Fit = ByCode<FitNormalFamily>, .FitStep = 53, .ChoicePlace = 1,
     .Transform = NormalTransform::Identity, .Fc = NormalFamilyFc,
     .Params = kNormal, .Hand = HandOver::NormalPlain,
     .Form = ReportForm::Normal, .SelectPlace = 1, .SelectPhrase = "standard normal",
     .Block = {.Head1 = " The cumulative frequency function is normal."},
     .Help = {"5", "Normal family", "see below (note 3)", ""}},
    {.Code = 21, .ListName = " Normal distribution optimized",
     .TitleName = "Normal distribution optimized",
     .Caption = "Normal (optimized)", .Preference = "21", .Kind = DistKind::NormalFamily,
     .Fit = ByCode<FitNormalFamily>, .FitStep = 54, .ChoicePlace = 2,
     .Transform = NormalTransform::Identity, .Fc = NormalFamilyFc,
     .Params = kNormal, .Hand = HandOver::NormalSearched,
     .Form = ReportForm::Normal, .SelectPlace = 2, .SelectPhrase = "optimized normal",
     .Block = {.Head1 = " The probability distribution is optimized normal.", .Plain2 = " The standard error of X: ",
               .Moved2 = " The standard error of X+C : "}},
    {.Code = 22, .ListName = " Log-normal distribution standard",
     .TitleName = "Log-normal distribution usual",
     .Caption = "Log-normal (standard)", .Preference = "22", .Kind = DistKind::NormalFamily,
     .Fit = ByCode<FitNormalFamily>, .FitStep = 55, .StepLines = " Still working ......", .ChoicePlace = 3,
     .Transform = NormalTransform::Log, .Fc = NormalFamilyFc,
     .Params = kNormal,
     .Form = ReportForm::Normal, .SelectPlace = 3, .SelectPhrase = "standard log-normal",
     .Block = {.Head1 = " The cumulative frequency function is log-normal.",
               .Plain1 = " The mean value of Ln (X) is : ", .Plain2 = " The standard error of Ln(X) : ",
               .Moved1 = " The mean value of Ln (X+C) is : ", .Moved2 = " The standard error of Ln(X+C) : "}},
    {.Code = 23, .ListName = " Log-normal distribution optimized",
     .TitleName = "Log-normal distribution optimized",
     .Caption = "Log-normal (optimized)", .Preference = "23", .Kind = DistKind::NormalFamily,
     .Fit = ByCode<FitNormalFamily>, .FitStep = 56, .StepLines = " Progressing ......", .LinesFromN = 501, .Cost = 4, .ChoicePlace = 4,
     .Transform = NormalTransform::Log, .Fc = NormalFamilyFc,
     .Params = kNormal, .Hand = HandOver::NormalSearched,
     .Form = ReportForm::Normal, .SelectPlace = 4, .SelectPhrase = "optimized log-normal",
     .Block = {.Head1 = " The cumulative distribution is log-normal optimized.",
               .Plain1 = " The mean value of Ln (X) is optimized as : ", .Plain2 = " The standard error of Ln(X) : ",
               .Moved1 = " The mean value of Ln (X+C) is optimized as : ",
               .Moved2 = " The standard error of Ln(X+C) : "}},
    {.Code = 24, .ListName = " Root-normal distribution optimized",
     .TitleName = "Root-normal distribution",
     .Caption = "Root-normal", .Preference = "24", .Kind = DistKind::NormalFamily,
     .Fit = ByCode<FitNormalFamily>, .FitStep = 57, .ChoicePlace = 5,
     .Transform = NormalTransform::Sqrt, .Fc = NormalFamilyFc,
     .Params = kNormal, .Hand = HandOver::NormalSearched,
     .Form = ReportForm::Normal, .SelectPlace = 5, .SelectPhrase = "root-normal",
     .Block = {.Head1 = " The cumulative frequency function is root-normal.",
               .Plain1 = " The mean value of sqrt(X)     : ", .Plain2 = " The standard error of sqrt(X) : ",
               .Moved1 = " The mean value of sqrt(X+C)     : ", .Moved2 = " The standard error of sqrt(X+C) : "}},
    {.Code = 25, .ListName = " Square normal distribution optimized",
     .TitleName = "Square-normal distribution",
     .Caption = "Square-normal", .Preference = "25", .Kind = DistKind::NormalFamily,
     .Fit = ByCode<FitNormalFamily>, .FitStep = 58, .StepLines = " Iterations ....", .ChoicePlace = 6,
     .Transform = NormalTransform::Square, .Fc = NormalFamilyFc,
     .Params = kNormal, .Hand = HandOver::NormalSearched,
     .Form = ReportForm::Normal, .SelectPlace = 6, .SelectPhrase = "square-normal",
     .Block = {.Head1 = " The cumulative frequency function is square-normal.",
               .Plain1 = " The mean value of Xsq     : ", .Plain2 = " The standard error of Xsq : ",
               .Moved1 = " The mean value of (X+C)sq     : ", .Moved2 = " The standard error of (X+C)sq : "}},
    {.Code = 26, .ListName = " Generalized normal distribution",
     .TitleName = "Generalized normal distribution",
     .Caption = "Generalized normal", .Preference = "26", .Kind = DistKind::NormalFamily,
     .Fit = ByCode<FitNormalFamily>, .FitStep = 59, .Cost = 4, .ChoicePlace = 7,
     .Transform = NormalTransform::Power, .Fc = NormalFamilyFc,
     .Params = kNormalE, .Hand = HandOver::NormalSearched,
     .Form = ReportForm::Normal, .SelectPlace = 7, .SelectPhrase = "generalized normal",
     .Block = {.Head1 = " The frequency function is generalized normal.", .Plain1 = " The average value of X^E  : ",
               .Plain2 = " The standard error of X^E : ", .Moved1 = " The average value of (X+C)^E  : ",
               .Moved2 = " The standard error of (X+C)^E : "}},
    {.Code = 31, .ListName = " Burr distribution generalized",
     .TitleName = "Burr (generalized Pareto-Lomax) distribution",
     .Caption = "Burr distribution", .Preference = "31", .Kind = DistKind::Single,
     .Fit = Own<FitBurr>, .FitStep = 17, .StepLines = " 31 done", .Cost = 8, .ChoicePlace = 12,
     .Fc = ByFamily<FcBurr>,
     .Inverse = InverseByFamily<InverseBurr>, .Params = kBurr, .Hand = HandOver::BurrES,
     .Form = ReportForm::Single, .Own = OwnLines::BurrDagum, .SelectPlace = 11, .SelectPhrase = "Burr probability",
     .Block = {.Head1 = " Cumulative Burr frequency function",
               .Plain1 = "    Freq = 1 - exp(E*Z+D) where Z = ln[B/(X^A+B)]",
               .Moved1 = "    Freq = 1 - exp(E*Z+D) where Z = ln[B/{(X+C)^A+B}]"},
     .Help = {"10a", "Burr", "Fc = 1-{B^A/(X^A+B^A)}^E", "A and B optimized, E by regression"}},
    {.Code = 32, .ListName = " Dagum distribution generalized",
     .TitleName = "Dagum (mirrorred Burr) distribution",
     .Caption = "Dagum distribution", .Preference = "32", .Kind = DistKind::Single,
     .Fit = Own<FitDagum>, .FitStep = 20, .StepLines = " 32 done", .LinesWhenAlone = true, .Cost = 8, .ChoicePlace = 13,
     .Fc = ByFamily<FcDagum>,
     .Inverse = InverseByFamily<InverseDagum>, .Params = kBurr, .Hand = HandOver::BurrES,
     .Form = ReportForm::Single, .Own = OwnLines::BurrDagum, .SelectPlace = 14, .SelectPhrase = "Dagum probability",
     .Block = {.Head1 = " Cumulative Dagum frequency function",
               .Plain1 = "    Freq = exp(E*Z+D) where Z = ln[B/(X^A+B)]",
               .Moved1 = "    Freq = exp(E*Z+D) where Z = ln[B/{X^(A+C)+B}]+D"},
     .Help = {"10b", "Dagum", "the mirrored form of 10a", ""}},
    {.Code = 33, .ListName = " Fisher-Tippett type 3 mirrorered",
     .TitleName = "Fisher-Tippett type 3 mirrored",
     .Caption = "F-T III mirrored", .Preference = "33", .Kind = DistKind::Single,
     .Fit = Own<FitFisherTippett3Mirrored>, .FitStep = 43, .StepFit = FitFisherTippett3Pair, .StepLines = " 33 done", .Cost = 9, .ChoicePlace = 24,
     .Bound = SupportBound::Upper, .Fc = ByFamily<FcFisherTippett3Mirrored>,
     .GuardedFc = GuardedByFamily<GuardedFcFisherTippett3Mirrored>, .Inverse = InverseByFamily<InverseFisherTippett3Mirrored>, .Params = kBounded, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::T, .Own = OwnLines::UpperBoundC, .LineLines = true, .SelectPlace = 32, .SelectPhrase = "Fisher Tippet III mirrored",
     .Block = {.Head1 = " Cumulative frequency of mirrorred Fisher-Tippett type III :",
               .Plain1 = "     Freq = 1 - exp[-{(C-X)/exp(-B/A)}^A]",
               .Moved1 = "     Freq = 1 - exp[-{(C-X-T)/exp(-B/A)}^A]"},
     .Help = {"9b", "F-T III mirrored", "as 7a", "Xt = ln(C-X), C optimized (note 4)"}},
    {.Code = 34, .ListName = " Gompertz distribution generalized",
     .TitleName = "Generalized Gompertz distribution",
     .Caption = "Gompertz (generalized)", .Preference = "34", .Kind = DistKind::Single,
     .Fit = Own<FitGompertz>, .FitStep = 18, .StepLines = " 34 done", .ChoicePlace = 14,
     .Fc = ByFamily<FcGompertz>,
     .GuardedFc = GuardedByFamily<GuardedFcGompertz>, .Inverse = InverseByFamily<InverseGompertz>, .Params = kGompertz,
     .Form = ReportForm::Gompertz, .SelectPlace = 20, .SelectPhrase = "generalized Gompertz",
     .Block = {.Head1 = " Cumulative generalized Gompertz frequency function",
               .Plain1 = "     Freq = 1-exp[A*{Exp(B*X^E) - 1}]",
               .Plain2 = "     Freq = 1-exp[A*{Exp(B*Z^E) - 1}]    where Z = X+1",
               .Moved1 = "     Freq = 1-exp[A*{Exp{B*X^E) - 1}]",
               .Moved2 = "     Freq = 1-exp[A*{Exp(B*Z^E) - 1}]  where Z = X-C"},
     .Help = {"11", "Gompertz generalized", "Fc = 1-exp{A*(X^(B*E)-1)}", "B and E optimized, A by the ratio method"}},
    {.Code = 35, .ListName = " Frechet (Fisher-Tippet Type 2) mirrored",
     .TitleName = "Mirrored Frechet distribution",
     .Caption = "Frechet mirrored", .Preference = "35", .Kind = DistKind::Single,
     .Fit = Own<FitFrechetMirrored>, .FitStep = 42, .FittedWith = 58, .StepLines = " 59 done", .ChoicePlace = 25,
     .Bound = SupportBound::Lower, .Fc = ByFamily<FcFrechetMirrored>,
     .GuardedFc = GuardedByFamily<GuardedFcFrechetMirrored>, .Inverse = InverseByFamily<InverseFrechetMirrored>, .Params = kBounded, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::T, .Own = OwnLines::LowerBoundC, .LineLines = true, .SelectPlace = 33, .SelectPhrase = "Frechet mirrored",
     .Block = {.Head1 = " Cumulative frequency of the mirrored Frechet type (Fisher-Tippett 2):",
               .Plain1 = "     Freq = 1 - exp[-{(X-C)/exp(-B/A)}^A]",
               .Moved1 = "     Freq = 1 - exp[-{(X+T-C)/exp(-B/A)}^A]"},
     .Help = {"8b", "Frechet mirrored", "as 7a", "Xt = ln(X-C), C optimized (note 4)"}},
    {.Code = 36, .ListName = " Kumaraswamy distribution",
     .TitleName = "Kumaraswamy distribution",
     .Caption = "Kumaraswamy generalized", .Preference = "39", .Kind = DistKind::Single,
     .Fit = Own<FitKumaraswamy>, .FitStep = 19, .StepLines = " 36 done", .Cost = 7, .ChoicePlace = 15,
     .Fc = ByFamily<FcKumaraswamy>,
     .Inverse = InverseByFamily<InverseKumaraswamy>, .Params = kKumaraswamy,
     .Form = ReportForm::Single, .Own = OwnLines::Kumaraswamy, .SelectPlace = 34, .SelectPhrase = "Kumaraswamy generalized",
     .Block = {.Head1 = " Kumaraswamy frequency function", .Plain1 = "     Freq = 1 - [1 - (X/M)^A]^B]",
               .Moved1 = "     Freq = 1 - [1 - {(X+C)/M)}^A)]^B"},
     .Help = {"12", "Kumaraswamy", "Fc = 1-{1-(X/M)^A}^B", "M and A optimized, B by the ratio method"}},
    {.Code = 51, .ListName = " Gumbel distribution generalized",
     .TitleName = "Generalized Gumbel distribution",
     .Caption = "Gumbel generalized", .Preference = "51", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 21, .StepLines = " 51 done", .ChoicePlace = 16,
     .Shape = RegressionShape{.Ft = FtForm::NegLnNegLnFr, .Xt = XtForm::PowerE, .Fc = FcForm::Gumbel, .RecordsStdErrX = true},
     .Fc = ByFamily<FcGumbelGeneralized>,
     .Inverse = InverseByFamily<InverseGumbelGeneralized>, .Params = kLineE, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Own = OwnLines::Exponent, .LineLines = true, .SelectPlace = 22, .SelectPhrase = "generalized Gumbel",
     .Block = {.Head1 = " Cumulative frequency function of the generalized Gumbel type :",
               .Plain1 = "     Freq = exp[-exp{-(A*X^E+B)}]", .Moved1 = "     Freq = exp[-exp{-(A*(X+C)^E+B)}]"},
     .Help = {"1b", "Gumbel generalized", "Fc = exp{-exp(-(A*X^E+B))}", "Xt = X^E, E optimized (note 1)"}},
    {.Code = 52, .ListName = " Generalized Mirrored Gumbel distribution",
     .TitleName = "Generalized mirrored Gumbel distribution",
     .Caption = "Gumbel mirrored generalized", .Preference = "52", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 22, .StepLines = " 52 done", .LinesWhenAlone = true, .ChoicePlace = 17,
     .Shape = RegressionShape{.Ft = FtForm::NegLnNegLnOneMinus, .Xt = XtForm::PowerE, .Fc = FcForm::GumbelMirrored},
     .Fc = ByFamily<FcGumbelMirroredGeneralized>,
     .Inverse = InverseByFamily<InverseGumbelMirroredGeneralized>, .Params = kLineE, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Own = OwnLines::Exponent, .LineLines = true, .SelectPlace = 24, .SelectPhrase = "generalized mirrored Gumbel",
     .Block = {.Head1 = " Cumulative frequency function of the generalized Gumbel mirrored type :",
               .Plain1 = "     Freq = 1-exp[-exp{-(A*X^E+B)}]", .Moved1 = "     Freq = 1-exp[-exp{-(A*(X+C)^E+B)}]"},
     .Help = {"2b", "Gumbel mirrored gen.", "as 2a", "Xt = X^E, E optimized (note 1)"}},
    {.Code = 53, .ListName = " Logistic distribution",
     .TitleName = "Logistic distribution",
     .Caption = "Logistic (standard)", .Preference = "53", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 23, .StepLines = " 53 done", .LinesWhenAlone = true, .ChoicePlace = 18,
     .Shape = RegressionShape{.Ft = FtForm::LnOddsInverse, .Xt = XtForm::X, .Fc = FcForm::Logistic},
     .Fc = ByFamily<FcLogistic>,
     .Inverse = InverseByFamily<InverseLogistic>, .Params = kLine, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .LineLines = true, .SelectPlace = 8, .SelectPhrase = "standard logistic",
     .Block = {.Head1 = " The cumulative frequency function is logistic :", .Plain1 = "     Freq = 1/{1+exp(A*X+B)}",
               .Moved1 = "     Freq = 1/[1+exp{A*(X+C)+B)}]"},
     .Help = {"4a", "Logistic", "Fc = 1/{1+exp(A*X+B)}", "Ft = ln(1/Fc-1), Xt = X"}},
    {.Code = 54, .ListName = " Log-logistic distribution",
     .TitleName = "Log-logistic distribution",
     .Caption = "Log-logistic", .Preference = "54", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 24, .StepLines = " 54 done", .LinesWhenAlone = true, .ChoicePlace = 19,
     .Shape = RegressionShape{.Ft = FtForm::LnOddsInverse, .Xt = XtForm::LnX, .Fc = FcForm::Logistic},
     .Fc = ByFamily<FcLogLogistic>,
     .Inverse = InverseByFamily<InverseLogLogistic>, .Params = kLine, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .LineLines = true, .SelectPlace = 9, .SelectPhrase = "log-logistic",
     .Block = {.Head1 = " The cumulative frequency function is log-logistic :",
               .Plain1 = "     Freq = 1/{1+exp(A*LnX+B)}", .Moved1 = "     Freq = 1/{1+exp(A*Ln(X+C)+B)}"},
     .Help = {"4b", "Log-logistic", "as 4a", "Xt = ln X"}},
    {.Code = 55, .ListName = " Generalized logistic distribution",
     .TitleName = "Generalized logistic distribution",
     .Caption = "Logistic generalized", .Preference = "55", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 26, .StepLines = " 50% completed ..", .LinesWhenAlone = true, .ChoicePlace = 20,
     .Shape = RegressionShape{.Ft = FtForm::LnOddsInverse, .Xt = XtForm::PowerE, .Fc = FcForm::Logistic},
     .Fc = ByFamily<FcLogisticGeneralized>,
     .Inverse = InverseByFamily<InverseLogisticGeneralized>, .Params = kLineE, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::Y, .Own = OwnLines::Exponent, .LineLines = true, .SelectPlace = 10, .SelectPhrase = "generalized logistic",
     .Block = {.Head1 = " The cumulative frequency function is generalized", .Head2 = " logistic :",
               .Plain1 = "     Freq = 1/{1+exp(A*X^E+B)}", .Moved1 = "     Freq = 1/{1+exp(A*Y^E+B)}"},
     .Help = {"4c", "Logistic generalized", "as 4a", "Xt = X^E, E optimized (note 1)"}},
    {.Code = 56, .ListName = " Adjusted Fisk distribution",
     .TitleName = "Adjusted Fisk distribution",
     .Caption = "Fisk (adjusted)", .Preference = "56", .Kind = DistKind::Single,
     .Fit = Own<FitFisk>, .FitStep = 39, .ChoicePlace = 21,
     .Fc = ByFamily<FcFisk>,
     .GuardedFc = GuardedByFamily<GuardedFcFisk>, .Inverse = InverseByFamily<InverseFisk>, .Params = kLine, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .LineLines = true, .SelectPlace = 27, .SelectPhrase = "Fisk adjusted",
     .Block = {.Head1 = " Cumulative Fisk frequency function (adjusted)", .Plain1 = "     Freq = 1-{B/(X+B)}^A",
               .Moved1 = "     Freq = 1-{B/(X+C+B)}^A"},
     .Help = {"13", "Fisk adjusted", "Fc = 1-1/{1+(X/B)^A}", "A and B optimized"}},
    {.Code = 57, .ListName = " Weibull distribution",
     .TitleName = "Weibull distribution",
     .Caption = "Weibull (standard)", .Preference = "57", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 40, .StepLines = " 57 done", .LinesWhenAlone = true, .ChoicePlace = 22,
     .Shape = RegressionShape{.Ft = FtForm::LnNegLnOneMinus, .Xt = XtForm::LnX, .Fc = FcForm::Weibull},
     .Fc = ByFamily<FcWeibull>,
     .Inverse = InverseByFamily<InverseWeibull>, .Params = kLine, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::T, .Own = OwnLines::WeibullC, .LineLines = true, .SelectPlace = 28, .SelectPhrase = "Weibull",
     .Block = {.Head1 = " Cumulative frequency function of the Weibull type :",
               .Plain1 = "     Freq = exp[-(X/C)^A]", .Moved1 = "     Freq = exp[-{(X+T)/C}^A)}"},
     .Help = {"7a", "Weibull", "Fc = 1-exp{-(X/C)^A}", "Ft = ln(-ln(1-Fc)), Xt = ln X"}},
    {.Code = 58, .ListName = " Frechet (Fisher-Tippet Type 2) distribution",
     .TitleName = "Frechet distribution",
     .Caption = "Frechet (typical)", .Preference = "58", .Kind = DistKind::Single,
     .Fit = Own<FitFrechet>, .FitStep = 41, .StepFit = FitFrechetPair, .StepLines = " 58 done", .ChoicePlace = 23,
     .Bound = SupportBound::Lower, .Fc = ByFamily<FcFrechet>,
     .GuardedFc = GuardedByFamily<GuardedFcFrechet>, .Inverse = InverseByFamily<InverseFrechet>, .Params = kBounded, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::T, .Own = OwnLines::LowerBoundC, .LineLines = true, .SelectPlace = 18, .SelectPhrase = "Frechet",
     .Block = {.Head1 = " Cumulative frequency function of the Frechet type (Fisher-Tippett 2):",
               .Plain1 = "     Freq = exp[-{(X-C)/exp(-B/A)}^A]", .Moved1 = "     Freq = exp[-{(X+T-C)/exp(-B/A)}^A]"},
     .Help = {"8a", "Frechet", "as 7b", "Xt = ln(X-C), C below the smallest X (note 4)"}},
    {.Code = 59, .ListName = " Fisher-Tippett type 3 distribution",
     .TitleName = "Fisher-Tippett type 3 distribution",
     .Caption = "Fisher-Tippet III", .Preference = "59", .Kind = DistKind::Single,
     .Fit = Own<FitFisherTippett3>, .FitStep = 44, .FittedWith = 33, .StepLines = " progressing ...", .LinesWhenAlone = true, .Cost = 9, .ChoicePlace = 26,
     .Bound = SupportBound::Upper, .Fc = ByFamily<FcFisherTippett3>,
     .GuardedFc = GuardedByFamily<GuardedFcFisherTippett3>, .Inverse = InverseByFamily<InverseFisherTippett3>, .Params = kBounded, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::T, .Own = OwnLines::UpperBoundC, .LineLines = true, .SelectPlace = 31, .SelectPhrase = "Fisher Tippet III",
     .Block = {.Head1 = " Cumulative frequency function of the Fisher-Tippett type III :",
               .Plain1 = "     Freq = exp[-{(C-X)/exp(-B/A)}^A]", .Moved1 = "     Freq = exp[-{(C-X-T)/exp(-B/A)}^A]"},
     .Help = {"9a", "Fisher-Tippett III", "as 7b", "Xt = ln(C-X), C above the largest X (note 4)"}},
    {.Code = 60, .ListName = " mirrored Weibull distribution",
     .TitleName = "Mirrored Weibull distribution",
     .Caption = "Weibull mirrored", .Preference = "60", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 45, .StepLines = " 60 done", .LinesWhenAlone = true, .ChoicePlace = 27,
     .Shape = RegressionShape{.Ft = FtForm::LnNegLnFr, .Xt = XtForm::LnX, .Fc = FcForm::WeibullMirrored},
     .Fc = ByFamily<FcWeibullMirrored>,
     .Inverse = InverseByFamily<InverseWeibullMirrored>, .Params = kLine, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::T, .LineLines = true, .SelectPlace = 29, .SelectPhrase = "mirrored Weibull",
     .Block = {.Head1 = " Cumulative frequency of the mirrorred Weibull type :",
               .Plain1 = "     Freq = exp{-(X^E/C)^A)}", .Moved1 = "     Freq = exp[-{(X+T)^E/C}^A)]"},
     .Help = {"7b", "Weibull mirrored", "Fc = exp{-(X/C)^A}", "Ft = ln(-ln Fc), Xt = ln X"}},
    {.Code = 61, .ListName = " Gamma (Erlang) distribution",
     .TitleName = "Gamma (Erlang) distribution",
     .Caption = "Gamma (Erlang)", .Preference = "61", .Kind = DistKind::Single,
     .Fit = Own<FitGamma>, .FitStep = 46, .StepLines = " Advancing ...", .LinesWhenAlone = true, .Cost = 4,
     .Fc = ByFamily<FcGamma>,
     .Inverse = InverseByFamily<InverseGamma>, .Params = kGamma,
     .Form = ReportForm::Single, .Own = OwnLines::GammaSum, .SelectPlace = 36, .SelectPhrase = "Gamma (Erlang)",
     .Block = {.Head1 = " Cumulative frequency of the Gamma (Erlang) type",
               .Plain1 = "     Fc = 1 - Sum [ (1/n!).{(X/A)^n}.exp(-X/A) ]",
               .Moved1 = "     Fc = 1 - Sum(1/n!).[ {(X+C)/A}^n.exp{-(X+C)/A} ]"},
     .Help = {"14", "Gamma (Erlang)", "a sum of Poisson terms", "the number of terms and the scale optimized"}},
    {.Code = 62, .ListName = " Student distribution with 1 d.f.",
     .TitleName = "Student t-distribution with 1 d.f.",
     .Caption = "Student (1 or 2 d.f.)", .Preference = "62", .Kind = DistKind::Single,
     .Fit = StudentPair, .FitStep = 47, .StepLines = " 62 done", .ChoicePlace = 28,
     .Fc = ByFamily<FcStudent1>,
     .Inverse = InverseByFamily<InverseStudent1>, .Params = kStudent, .Hand = HandOver::Student,
     .Form = ReportForm::Single, .Term = TermLabel::T, .SelectPlace = 30, .SelectPhrase = "Student",
     .Block = {.Head1 = " Cumulative Student distribution with 1 d.f.",
               .Head2 = " A helpvariable is used: Y = (X-Av.X)/St.DevX.", .Plain1 = "     Freq = 0.5 + arctan(Y)/pi",
               .Moved1 = "     Freq = 0.5 + arctan(Y+T)/pi"},
     .Help = {"15", "Student", "1 or 2 degrees of freedom", "on the mean and standard deviation of X"}},
    {.Code = 63, .ListName = " Student distribution with 2 d.f.",
     .TitleName = "Student t-distribution with 2 d.f.",
     .Caption = "", .Preference = "", .Kind = DistKind::Single,
     .Fit = nullptr, .FitStep = 48, .FittedWith = 62, .ChoicePlace = 29,
     .Fc = ByFamily<FcStudent2>,
     .Inverse = InverseByFamily<InverseStudent2>, .Params = kStudent, .Hand = HandOver::Student,
     .Form = ReportForm::Single, .Term = TermLabel::T,
     .Block = {.Head1 = " Cumulative Student distribution with 2 d.f.",
               .Head2 = " A helpvariable is used: Y = (X-Av.X)/St.DevX.",
               .Plain1 = "     Freq = 0.5[1+{Y/sqrt(2+Y^2)}]", .Moved1 = "     Freq = 0.5[1+{(Y+T)/sqrt(2+(Y+T)^2)}]"}},
    {.Code = 64, .ListName = " Cauchy distribution",
     .TitleName = "Cauchy distribution",
     .Caption = "Cauchy (standard)", .Preference = "64", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 49, .StepLines = " 64 done", .LinesWhenAlone = true, .ChoicePlace = 30,
     .Shape = RegressionShape{.Ft = FtForm::TanCentred, .Xt = XtForm::X, .Fc = FcForm::Cauchy},
     .Fc = ByFamily<FcCauchy>,
     .Inverse = InverseByFamily<InverseCauchy>, .Params = kLine, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::T, .LineLines = true, .SelectPlace = 12, .SelectPhrase = "standard Cauchy",
     .Block = {.Head1 = " Cumulative Cauchy distribution", .Plain1 = "     Freq = (1/pi)*arctan(A*X+B)+0.5",
               .Moved1 = "     Freq = (1/pi)*arctan{A*(X+T)-B}+0.5"},
     .Help = {"6a", "Cauchy", "Fc = 0.5+arctan(A*X+B)/pi", "Ft = tan{pi*(Fc-0.5)}, Xt = X"}},
    {.Code = 65, .ListName = " Generalized Cauchy distribution",
     .TitleName = "Generalized Cauchy distribution",
     .Caption = "Cauchy generalized", .Preference = "65", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 50, .StepLines = " 65 done", .ChoicePlace = 31,
     .Shape = RegressionShape{.Ft = FtForm::TanCentred, .Xt = XtForm::PowerE, .Fc = FcForm::Cauchy},
     .Fc = ByFamily<FcCauchyGeneralized>,
     .Inverse = InverseByFamily<InverseCauchyGeneralized>, .Params = kLineE, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Term = TermLabel::T, .Own = OwnLines::Exponent, .LineLines = true, .SelectPlace = 13, .SelectPhrase = "generalized Cauchy",
     .Block = {.Head1 = " Cumulative generalized Cauchy distribution",
               .Plain1 = "     Freq = (1/pi)*arctan(A*X^E+B)+0.5",
               .Moved1 = "     Freq = (1/pi)*arctan{A*(X+T)^E+B}+0.5"},
     .Help = {"6b", "Cauchy generalized", "as 6a", "Xt = X^E, E optimized (note 1)"}},
    {.Code = 66, .ListName = " Mirrored exponential (Poisson) distribution",
     .TitleName = "Mirrored Poisson distribution",
     .Caption = "Exponential general. mirr.", .Preference = "66", .Kind = DistKind::Single,
     .Fit = ByRegression, .FitStep = 51, .StepLines = " 66 done", .LinesWhenAlone = true, .ChoicePlace = 32,
     .Shape = RegressionShape{.Ft = FtForm::NegLnFr, .Xt = XtForm::PowerE, .Fc = FcForm::ExponentialMirrored, .KeepsScoreAtE1 = true},
     .Fc = ByFamily<FcExponentialMirrored>,
     .Inverse = InverseByFamily<InverseExponentialMirrored>, .Params = kLineE, .Hand = HandOver::LineAB,
     .Form = ReportForm::Single, .Own = OwnLines::Exponent, .LineLines = true, .SelectPlace = 17, .SelectPhrase = "gen. exponential mirrored",
     .Block = {.Head1 = " Cumulative frequency function of the generalized mirrored Poisson type :",
               .Plain1 = "     Freq = exp{-(A*X^E+B)}", .Moved1 = "     Freq = exp[-{A*(X+C)^E+B}]"},
     .Help = {"3c", "Exponential mirrored", "Fc = exp{-(A*X^E+B)}", "Ft = -ln Fc, Xt = X^E"}},
    {.Code = 67, .ListName = " GEV distribution",
     .TitleName = "Generalized extreme value (GEV) distribution",
     .Caption = "GEV (Gen. Extreme. Value)", .Preference = "67", .Kind = DistKind::Single,
     .Fit = Own<FitGev>, .FitStep = 52, .StepLines = " 67 done", .LinesWhenAlone = true, .Cost = 5, .ChoicePlace = 33,
     .Fc = ByFamily<FcGev>,
     .Inverse = InverseByFamily<InverseGev>, .Params = kGev,
     .Form = ReportForm::Single, .Own = OwnLines::Gev, .SelectPlace = 19, .SelectPhrase = "GEV probability",
     .Block = {.Head1 = " Cumulative frequency of the generalized extreme value (GEV) type :",
               .Plain1 = "     Freq = exp[-{1+K(X-A)/B}^(-1/K)]", .Moved1 = "     Freq = exp[-{1+K(X+C-A)/B}^(-1/K)]"},
     .Help = {"16", "GEV", "generalized extreme value", "location from the data, shape and scale optimized"}},
    {.Code = 68, .ListName = " Laplace distribution (standard)",
     .TitleName = "Laplace distribution",
     .Caption = "Laplace (standard)", .Preference = "68", .Kind = DistKind::Single,
     .Fit = Own<FitLaplace>, .FitStep = 27, .StepLines = " 68 done", .Cost = 4, .ChoicePlace = 34,
     .Fc = ByFamily<FcLaplace>,
     .Inverse = InverseByFamily<InverseLaplace>, .Params = kLaplace,
     .Form = ReportForm::Single, .Own = OwnLines::Laplace, .SelectPlace = 25, .SelectPhrase = "standard Laplace",
     .Block = {.Head1 = " Cumulative frequency of the composite Laplace distribution :",
               .Plain1 = " X<B Freq = 0.5*exp{A1*(X-B)}", .Plain2 = " X>B Freq = 1-0.5*exp{A2*(B-X)}",
               .Moved1 = " X<B Freq = 0.5*exp{A1*(X+C-B)}", .Moved2 = " X>B Freq = 1-0.5*exp{A2*(B-X-C)}"},
     .Help = {"17a", "Laplace", "two exponential halves", "meeting at the mode B, which is optimized"}},
    {.Code = 69, .ListName = " Generalized Rayleigh distribution",
     .TitleName = "Generalized Rayleigh distribution",
     .Caption = "Rayleigh generalized", .Preference = "69", .Kind = DistKind::Single,
     .Fit = Own<FitRayleigh>, .FitStep = 25, .StepLines = " 69 done ...", .Cost = 5, .ChoicePlace = 35,
     .Fc = ByFamily<FcRayleigh>,
     .Inverse = InverseByFamily<InverseRayleigh>, .Params = kRayleigh,
     .Form = ReportForm::Single, .Own = OwnLines::Rayleigh, .SelectPlace = 35, .SelectPhrase = "Rayleigh generalized",
     .Block = {.Head1 = " Cumulative frequency function of the Rayleigh type :",
               .Plain1 = "     Freq = 1 - exp(X^E/S)", .Moved1 = "     Freq = 1 - exp((X+C)^E/S)"},
     .Help = {"18", "Rayleigh generalized", "Fc = 1-exp(-X^E/S)", "E and S optimized"}},
    {.Code = 70, .ListName = " Composite generalizd logistic distribution",
     .TitleName = "Composite generalized logistic distribution",
     .Caption = "", .Preference = "70", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 29, .StepLines = " 70 done", .Cost = 6, .ChoicePlace = 49, .FewestLowerData = 5,
     .Parts = {ComponentKind::Logistic, ComponentKind::Logistic, true, true}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 13, .CompositeItem = "Composite generalized logistic distribution",
     .Block = {.Head1 = " The frequency function is composite logistic generalized:"}},
    {.Code = 71, .ListName = " Composite generalized Gumbel distribution",
     .TitleName = "Composite generalized Gumbel distribution",
     .Caption = "", .Preference = "71", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 30, .StepLines = " 71 done", .Cost = 6, .ChoicePlace = 50, .FewestLowerData = 6,
     .Parts = {ComponentKind::Gumbel, ComponentKind::Gumbel, true, true}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 14, .CompositeItem = "Composite generalized Gumbel distribution",
     .Block = {.Head1 = " The cumulative frequency function is composite Gumbel generalized:",
               .Separation = " The separation point is P = : "}},
    {.Code = 72, .ListName = " Composite generalized exponential (Poisson) distribution",
     .TitleName = "Composite generalized Poisson distribution",
     .Caption = "", .Preference = "72", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 31, .StepLines = " 72 done", .Cost = 6, .ChoicePlace = 51, .FewestLowerData = 6,
     .Parts = {ComponentKind::Poisson, ComponentKind::Poisson, true, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 16, .CompositeItem = "Composite generalized Poisson distribution",
     .Block = {.Head1 = " The cumulative frequency function is composite Poisson generalized:"}},
    {.Code = 73, .ListName = " Generalized Laplace distribution",
     .TitleName = "Generalized Laplace distribution",
     .Caption = "Laplace generalized", .Preference = "73", .Kind = DistKind::Single,
     .Fit = Own<FitLaplaceGeneralized>, .FitStep = 28, .FittedWith = 68, .StepLines = " 73 done", .ChoicePlace = 36,
     .Fc = ByFamily<FcLaplaceGeneralized>,
     .FcAtRank = FcLaplaceGeneralizedAtRank, .Inverse = InverseByFamily<InverseLaplaceGeneralized>, .Params = kLaplaceGeneralized,
     .Form = ReportForm::Single, .Own = OwnLines::LaplaceGeneralized, .SelectPlace = 26, .SelectPhrase = "generalized Laplace", .CompositeItemPlace = 23, .CompositeItem = "Generalized Laplace distribution",
     .Block = {.Head1 = " Cumulative frequency of the generalized Laplace distribution :",
               .Plain1 = " X<B Freq = 0.5*exp{A1*(X^E1-B)}", .Plain2 = " X>B Freq = 1-0.5*exp{A2*(B-X^E2)}",
               .Moved1 = " X<B Freq = 0.5*exp[A1*{(X+C)^E1-B}]", .Moved2 = " X>B Freq = 1-0.5*exp[A2*{B-(X+C)^E2}]"},
     .Help = {"17b", "Laplace generalized", "as 17a on X^E1 and X^E2", "E1, E2 and the mode optimized"}},
    {.Code = 74, .ListName = " Composite mirrored Gumbel distribution generalized",
     .TitleName = "Composite generalized Gumbel mirrored",
     .Caption = "", .Preference = "90", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 32, .StepLines = " 74 done", .Cost = 6, .ChoicePlace = 52, .FewestLowerData = 6,
     .Parts = {ComponentKind::MirroredGumbel, ComponentKind::MirroredGumbel, true, true}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 15, .CompositeItem = "Composite generalized Gumbel mirrored",
     .Block = {.Head1 = " The cumulative frequency function is composite Gumbel mirrored generalized:",
               .Separation = " The separation point is P = : "}},
    {.Code = 80, .ListName = " Generalized logistic + Gumbel distribution",
     .TitleName = "Composite logistic and Gumbel distribution",
     .Caption = "", .Preference = "80", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 33, .StepLines = " 80 done\n Progress 20% .....", .Cost = 6, .ChoicePlace = 53, .FewestLowerData = 6,
     .Parts = {ComponentKind::Logistic, ComponentKind::Gumbel, true, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 17, .CompositeItem = "Gen. logistic + gen. Gumbel",
     .Block = {.Head1 = " The frequency function is generalized logistic + Gumbel:"}},
    {.Code = 81, .ListName = " Generalized Logistic + Poisson distribution",
     .TitleName = "Composite logistic and Poisson distribution",
     .Caption = "", .Preference = "81", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 34, .StepLines = " 81 done", .Cost = 6, .ChoicePlace = 54, .FewestLowerData = 6,
     .Parts = {ComponentKind::Logistic, ComponentKind::Poisson, true, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 18, .CompositeItem = "Gen logistic + gen. Poisson",
     .Block = {.Head1 = " The frequency function is generalized logistic + Poisson:"}},
    {.Code = 82, .ListName = " Generalized Gumbel + logistic distribution",
     .TitleName = "Composite Gumbel and logistic distribution",
     .Caption = "", .Preference = "82", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 35, .StepLines = " 82 done .....", .Cost = 6, .ChoicePlace = 55, .FewestLowerData = 6,
     .Parts = {ComponentKind::Gumbel, ComponentKind::Logistic, true, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 19, .CompositeItem = "Gen. Gumbel + gen. logistic",
     .Block = {.Head1 = " The frequency function is generalized Gumbel + logistic:"}},
    {.Code = 83, .ListName = " Generalized Gumbel + Poisson distribution",
     .TitleName = "Composite Gumbel and Poisson distribution",
     .Caption = "", .Preference = "83", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 36, .StepLines = " 83 done", .Cost = 6, .ChoicePlace = 56, .FewestLowerData = 6,
     .Parts = {ComponentKind::Gumbel, ComponentKind::Poisson, true, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 20, .CompositeItem = "Gen. Gumbel + gen. Poisson",
     .Block = {.Head1 = " The frequency function is generalized Gumbel + Poisson:"}},
    {.Code = 84, .ListName = " Generalized Poisson + logistic distribution",
     .TitleName = "Composite Poisson and logistic distribution",
     .Caption = "", .Preference = "84", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 37, .StepLines = " 84 done\n Progress 60% .....", .Cost = 6, .ChoicePlace = 57, .FewestLowerData = 6,
     .Parts = {ComponentKind::Poisson, ComponentKind::Logistic, true, false, true}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 21, .CompositeItem = "Gen. Poisson + gen. logistic",
     .Block = {.Head1 = " The frequency function is generalized Poisson + logistic:"}},
    {.Code = 85, .ListName = " Generalized Poisson + Gumbel distribution",
     .TitleName = "Composite Poisson and Gumbel distribution",
     .Caption = "", .Preference = "85", .Kind = DistKind::GeneralizedComposite,
     .Fit = ByCode<FitGeneralizedComposite>, .FitStep = 38, .StepLines = " 85 done", .Cost = 6, .ChoicePlace = 58, .FewestLowerData = 6,
     .Parts = {ComponentKind::Poisson, ComponentKind::Gumbel, true, false}, .Fc = CompositeFc,
     .FcAtRank = CompositeFcAtRank, .Inverse = InverseComposite, .Params = kGeneralizedComposite,
     .Form = ReportForm::GeneralizedComposite, .Term = TermLabel::Y, .CompositeItemPlace = 22, .CompositeItem = "Gen. Poisson + gen. Gumbel",
     .Block = {.Head1 = " The frequency function is generalized Poisson + Gumbel:"}},
};

constexpr std::array<signed char, kLargestCode + 1> kIndex = [] {
  std::array<signed char, kLargestCode + 1> index{};
  index.fill(-1);
  for (std::size_t i = 0; i < std::size(kRegistry); ++i) index[kRegistry[i].Code] = static_cast<signed char>(i);
  return index;
}();

}  // namespace

std::span<const DistributionInfo> Registry() { return kRegistry; }

const DistributionInfo* FindDistribution(int code) {
  if (code < 0 || code > kLargestCode || kIndex[code] < 0) return nullptr;
  return &kRegistry[kIndex[code]];
}

const DistributionInfo* FindByPreference(std::string_view text) {
  if (text.empty()) return nullptr;
  for (const auto& d : kRegistry)
    if (d.Kind != DistKind::TitleOnly && d.Preference == text) return &d;
  return nullptr;
}

const DistributionInfo* FindByListName(std::string_view name) {
  // Built once: the trimmed list names, a later row taking a name first.
  static const std::unordered_map<std::string_view, const DistributionInfo*> byName = [] {
    std::unordered_map<std::string_view, const DistributionInfo*> m;
    for (const auto& d : kRegistry)
      if (!d.ListName.empty()) m[TrimBlanks(d.ListName)] = &d;
    return m;
  }();
  const auto it = byName.find(name);
  return it == byName.end() ? nullptr : it->second;
}

std::string_view ListName(int code) {
  const auto* d = FindDistribution(code);
  return d ? d->ListName : std::string_view{};
}

std::string_view TitleName(int code) {
  const auto* d = FindDistribution(code);
  return d ? d->TitleName : std::string_view{};
}

bool IsComposite(int code) {
  const auto* d = FindDistribution(code);
  return d && IsCompositeKind(d->Kind);
}

ReportLine ReportedLine(int code, const FitParams& p) {
  const DistributionInfo* d = FindDistribution(code);
  if (!d) return {};
  switch (d->Hand) {
    case HandOver::LineAB:
    case HandOver::LineA:
      return VisitFamily(d->Params.Family, p, [&](const auto& f) -> ReportLine {
        if constexpr (requires { f.A; f.B; })
          return {f.A, d->Hand == HandOver::LineA ? 0.0 : f.B};
        else
          return {};
      });
    case HandOver::BurrES:
      return {p.Burr.E, p.Burr.S};
    default:
      return {};
  }
}

void AddStepLines(const TavorixRun& run, const DistributionInfo& d) {
  if (d.StepLines.empty() || run.N < d.LinesFromN) return;
  std::string_view rest = d.StepLines;
  while (true) {
    const auto nl = rest.find('\n');
    run.AddProgress(rest.substr(0, nl));
    if (nl == std::string_view::npos) break;
    rest.remove_prefix(nl + 1);
  }
}

bool NoXFromFrequency(int code) {
  const auto* d = FindDistribution(code);
  return d && d->Kind != DistKind::TitleOnly && !d->Inverse && d->Kind != DistKind::NormalFamily;
}

namespace {

// "10b" sorts after "9b" and "10a".
std::pair<int, std::string_view> HelpOrder(std::string_view label) {
  int number = 0;
  std::size_t at = 0;
  for (; at < label.size() && label[at] >= '0' && label[at] <= '9'; ++at) number = number * 10 + (label[at] - '0');
  return {number, label.substr(at)};
}

std::string PaddedTo(std::string_view text, std::size_t width) {
  std::string s(text);
  if (s.size() < width) s.append(width - s.size(), ' ');
  return s;
}

}  // namespace

std::string DistributionHelpList() {
  std::vector<const DistributionInfo*> rows;
  for (const auto& d : kRegistry)
    if (!d.Help.Label.empty()) rows.push_back(&d);
  std::stable_sort(rows.begin(), rows.end(), [](const auto* a, const auto* b) {
    return HelpOrder(a->Help.Label) < HelpOrder(b->Help.Label);
  });
  std::string list;
  for (const auto* d : rows) {
    const HelpLine& h = d->Help;
    list += std::string(4 - std::min<std::size_t>(4, h.Label.size()), ' ') + std::string(h.Label) + " " +
            PaddedTo(h.Name, 25) + (h.Method.empty() ? std::string(h.Function) : PaddedTo(h.Function, 29)) +
            std::string(h.Method) + "\n";
  }
  return list;
}

bool IsNormalFamily(int code) {
  const auto* d = FindDistribution(code);
  return d && d->Kind == DistKind::NormalFamily;
}

}  // namespace tavorix

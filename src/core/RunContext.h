#pragma once
// The variables of one run of the analysis. Every stage (data preparation,
// fitting, report, confidence stage) takes the run by reference; nothing is
// kept in globals, so several runs can exist side by side.
//
// Arrays indexed by rank are 1-based: index 0 is unused so the formulas read
// as written (X[1] is the smallest value).

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/RunCancel.h"

namespace tavorix {

// Receives the short progress lines of a run (" 3 done", " Calculating .....").
using ProgressSink = std::function<void(std::string_view)>;

// A part of a composite distribution: the line A t + B of its reduced
// variable, t = X^E in the generalized composites (E unused otherwise).
struct CompositePartLine {
  double A = 0, B = 0, E = 0;
};

// A composite distribution: the lower part (the report's s) up to the
// separation point P, the upper part (g) above it.
struct CompositeParams {
  CompositePartLine Lower, Upper;
  double BreakPoint = 0;  // P on the moved scale
  int BreakCount = 0;     // data at or below P (the lower part's ranks)
};

// GEV (67): shape K, location (the report's A) and scale (B); Q = A - B/K is
// the bound, and BeyondBound says that data lay beyond it and K was moved
// so that none does.
struct GevParams {
  double K = 0, Loc = 0, Scale = 0, Q = 0;
  bool BeyondBound = false;
};

// Student (62, 63): mean and spread.
struct StudentParams {
  double Mean = 0, Spread = 0;
};

// Laplace (68) and generalized Laplace (73): the mode (73: B' on the
// transformed scale), the slopes A1, A2 of the halves with their scales
// S1 = 1/A1, S2 = 1/A2, the exponents E1, E2 of the halves (73) and the
// rank M where the upper half begins.
struct LaplaceParams {
  double Mode = 0, A1 = 0, A2 = 0, S1 = 0, S2 = 0, E1 = 0, E2 = 0;
  int BreakRank = 0;
};

// Normal family (20-26): mean and standard deviation of the transformed
// variable; Sigma0 is the moments' value before a search optimised Sigma.
// The exponent of the power transform (26) is FitParams::E.
struct NormalParams {
  double Mean = 0, Sigma0 = 0, Sigma = 0;
};

// Every named parameter that a fit can leave behind. One value type for all
// codes: each fit fills the members that belong to it and leaves the rest 0;
// the GEV, Student, Laplace, normal and composite distributions keep theirs
// in a family of their own.
struct FitParams {
  double A = 0, B = 0;       // slope and intercept of the final line (or the code's own A, B)
  double E = 0;              // exponent of the generalized forms
  double C = 0;              // location / bound of 33, 35, 58, 59
  double D = 0, S = 0;       // Burr/Dagum intercept D and S = B^A; Rayleigh divider S
  double MBound = 0;         // Kumaraswamy bound M
  int Terms = 0;             // Gamma: number of terms n (its B)
  bool XPlusOne = false;     // Gompertz works on X + 1
  GevParams Gev;
  StudentParams Student;
  LaplaceParams Laplace;
  NormalParams Normal;
  CompositeParams Composite;
};

// Result slot of one fit for the whole engine run.
struct FitSlot {
  bool Ran = false;        // the fit was run in this engine run
  bool HasResult = false;  // the fit produced parameters (a composite may have none)
  bool Listed = false;     // the fit has an entry in the ranked list (best of all only)
  double Score = 0;        // SumAbs of the final evaluation; 1000 marks "must not win"
  FitParams P;
  double StdErrX = 0;      // 1.28/A of the Gumbel fits, 1.28/B of Kumaraswamy
};

// One entry of the ranked list, in the order in which the fits ran.
struct RankedEntry {
  int Code = 0;
  std::string Name;   // list name, with its leading blank
  double Average = 0; // 100 * score / N
};

// The distribution that the engine chose, as the later stages read it.
struct FittedDistribution {
  int DistCode = 0;
  double ParA = 0, ParB = 0;
  FitParams P;
  double StdErrX = 0;  // standard error of X printed by the report (codes 4, 20-26)
  double MeanXt = 0, SdXt = 0;  // values copied by Student and a preferred normal code
};

struct TavorixRun {
  // --- prepared data -------------------------------------------------------
  int N = 0;
  std::vector<long double> X;      // ranked, moved values, 1..N
  std::vector<long double> Fr;     // plotting positions R/(N+1), 1..N
  std::vector<int> SerialOfRank;   // serial number of the datum at each rank
  double Threshold = -1000000.0;
  double Shift = 0.0001;           // X of the run = input value - Shift + 0.0001
  bool Shifted = false;            // the "first values are high" move was applied
  std::string ReportTitle1, ReportTitle2;
  std::vector<std::string> Notices;  // messages for the user raised by a stage

  // --- run flags -----------------------------------------------------------
  std::string PreferredCode = "1";  // "1" = best of all
  bool CompositeOn = false;
  bool NoVariation = false;
  bool FitStarted = false;
  bool ReportStage = false;
  bool NormalEvalOnly = false;
  int NrOfClasses = 5;
  int FitThreads = 0;        // threads of the fit-all engine; 0 = one per processor
  std::string InputPath;     // the ".inp" file of the run
  std::string ListFileName;  // the ranked list ".Lst"

  ProgressSink Progress;
  void AddProgress(std::string_view line) const {
    if (Progress) Progress(line);
  }
  // Set by the front end to stop the run; copies of the run share the flag.
  CancelFlag Cancel = nullptr;
  void ThrowIfCancelled() const { tavorix::ThrowIfCancelled(Cancel); }

  // --- fitting -------------------------------------------------------------
  std::array<FitSlot, 100> Slots{};  // indexed by distribution code
  std::vector<RankedEntry> RankedList;
  FittedDistribution Fitted;
  std::vector<long double> FcCalc;  // calculated frequency per rank, 1..N

  // Bound flags raised by the evaluation of the chosen distribution.
  bool BelowBoundC = false;
  bool AboveBoundC = false;

  // --- interval analysis (classes 1..K, bounds 1..K+1) ---------------------
  int ClassCount = 0;
  std::array<double, 52> ClassBounds{};
  std::array<double, 52> ClassCounts{};
  std::array<double, 52> ClassFc{};

  bool BestOfAll() const { return PreferredCode == "1"; }
};

}  // namespace tavorix

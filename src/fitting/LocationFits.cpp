#include "fitting/LocationFits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "fitting/LineFits.h"
#include "fitting/LinePipeline.h"
#include "fitting/ParallelRows.h"
#include "fitting/StepLanes.h"
#include "fitting/VectorMath.h"

namespace tavorix {

namespace {

// Observed frequency kept inside (0, 1) before its double logarithm.
long double ClippedFr(long double fr) {
  if (fr >= 1) return 0.999L;
  if (fr <= 0) return 0.001L;
  return fr;
}

// Transforms the data for bound c and fits the least-squares line.
void FitLineAtBound(FitWorkspace& ws, BoundSide side, double c) {
  const int n = ws.N;
  const double* x = ws.X.data();
  double* xt = ws.Xt.data();
  if (side == BoundSide::Left) {
    for (int i = 1; i <= n; ++i) xt[i] = x[i] - c;
  } else {
    for (int i = 1; i <= n; ++i) xt[i] = c - x[i];
  }
  LogArray(xt + 1, xt + 1, n);
  Regression(ws.Line, xt, ws.Ft.data());
}

// g[i] = exp(-w) with w = (distance / exp(-B/A))^A, formed as exp(A
// ln(distance) + B): the same value without a second logarithm per datum.
// g is a scratch array of N + 1 values.
void BoundTerms(const FitWorkspace& ws, double a, double b, double* g) {
  const double* xt = ws.Xt.data();
  for (int i = 1; i <= ws.N; ++i) g[i] = a * xt[i] + b;
  ExpNegExpArray(g + 1, g + 1, ws.N);
}

// Squared misfit (no saturation) of the line fitted last.
template <bool Mirrored>
double SquaredMisfit(const FitWorkspace& ws, double* g) {
  BoundTerms(ws, ws.Line.ParA, ws.Line.ParB, g);
  const double* fr = ws.Fr.data();
  double sum = 0;
  for (int i = 1; i <= ws.N; ++i) {
    const double d = fr[i] - (Mirrored ? 1.0 - g[i] : g[i]);
    sum += d * d;
  }
  return sum;
}

double StepMisfit(FitWorkspace& ws, const LocationFitKind& kind, double c, double* g) {
  FitLineAtBound(ws, kind.Side, c);
  return kind.Mirrored ? SquaredMisfit<true>(ws, g) : SquaredMisfit<false>(ws, g);
}

}  // namespace

namespace {

// The bound of step k, k not necessarily whole: X[1] - 0.01 k R to the
// left, X[N] + 0.01 k R to the right, before any move off a datum.
double BoundOfStep(const TavorixRun& run, BoundSide side, long double k) {
  const long double range = run.X[run.N] - run.X[1];
  return side == BoundSide::Left ? static_cast<double>(run.X[1] - 0.01L * k * range)
                                 : static_cast<double>(run.X[run.N] + 0.01L * k * range);
}

// The bound of step k as LocationStepBound forms it, knowing the extremes of
// the data: a bound beyond them reaches no datum (a difference of two unequal
// doubles is never zero), so the look at every datum is left out.
double StepBound(const TavorixRun& run, const FitWorkspace& ws, BoundSide side, int k, double xmin,
                 double xmax) {
  const double c = BoundOfStep(run, side, k);
  if (side == BoundSide::Left) return c < xmin ? c : LocationStepBound(run, ws, side, k);
  return c > xmax ? c : LocationStepBound(run, ws, side, k);
}

// The extremes of the data, for StepBound.
struct DataExtremes {
  double Min = 0, Max = 0;
};

DataExtremes ExtremesOf(const FitWorkspace& ws) {
  DataExtremes extremes{ws.X[1], ws.X[1]};
  for (int i = 1; i <= ws.N; ++i) {
    extremes.Min = std::min(extremes.Min, ws.X[i]);
    extremes.Max = std::max(extremes.Max, ws.X[i]);
  }
  return extremes;
}

// The bounds of the group of steps from k0 side by side in lanes; lanes
// past `last` repeat its bound. `begun` counts the steps for the looks at
// the stop flag.
void GroupBounds(const TavorixRun& run, const FitWorkspace& ws, BoundSide side, DataExtremes extremes, int k0,
                 int last, int& begun, double* c) {
  for (int l = 0; l < lanes::kLanes; ++l) {
    if (k0 + l <= last) {
      if ((++begun & 255) == 0) run.ThrowIfCancelled();
      c[l] = StepBound(run, ws, side, k0 + l, extremes.Min, extremes.Max);
    } else {
      c[l] = c[l - 1];
    }
  }
}

// RunSteps with four steps side by side in vector lanes (lanes::Available()):
// each group forms Xt and the first sums of its steps, then their deviation
// sums, then their lines in step order, then their misfits. The values are
// those of the pipeline. Lanes past `last` repeat its bound and are thrown
// away.
template <bool Mirrored, class Done>
void RunStepsInLanes(const TavorixRun& run, const FitWorkspace& ws, const LocationFitKind& kind,
                     DataExtremes extremes, const LinePipeline& pipeline, LineState& line, int first,
                     int last, Done&& done) {
  constexpr int L = lanes::kLanes;
  const int n = ws.N;
  const lanes::LineFtSums ft{pipeline.FtDeviations(), pipeline.SumF(), pipeline.DfSum()};
  std::vector<double> buffer(2 * static_cast<std::size_t>(L) * (n + 1));
  double* xt0 = buffer.data();
  double* xt1 = xt0 + static_cast<std::size_t>(L) * (n + 1);
  int begun = 0;
  // Xt of the group from step k0, with its first sums.
  auto transform = [&](int k0, double* xt) {
    double c[L];
    GroupBounds(run, ws, kind.Side, extremes, k0, last, begun, c);
    return lanes::BoundTransform(ws.X.data(), n, c, kind.Side == BoundSide::Left, xt);
  };
  // The misfits of the group, handed over in step order; false once done
  // says stop.
  auto misfits = [&](int k0, const double* xt, const LineState* after) {
    const lanes::GroupLines lines(after);
    double misfit[L];
    lanes::BoundMisfits(xt, ws.Fr.data(), n, lines.A, lines.B, Mirrored, misfit);
    for (int l = 0; l < L && k0 + l <= last; ++l) {
      line = after[l];
      if (!done(k0 + l, misfit[l])) return false;
    }
    return true;
  };
  // Two groups at a time, their deviation sums formed in one pass.
  for (int k0 = first; k0 <= last; k0 += 2 * L) {
    LineState after0[L], after1[L];
    const lanes::FirstSums first0 = transform(k0, xt0);
    if (k0 + L > last) {
      lanes::MakeLines(xt0, first0, ft, n, line, after0);
      misfits(k0, xt0, after0);
      return;
    }
    const lanes::FirstSums first1 = transform(k0 + L, xt1);
    lanes::MakeLinesOfTwo(xt0, first0, xt1, first1, ft, n, line, after0, after1);
    if (!misfits(k0, xt0, after0) || !misfits(k0 + L, xt1, after1)) return;
  }
}

// Runs steps first..last from the line `line` (three steps per pass over the
// data); done(k, misfit, line) takes the misfits in step order with the line
// of step k and returns false to stop.
template <bool Mirrored, class Done>
void RunSteps(const TavorixRun& run, const FitWorkspace& ws, const LocationFitKind& kind,
              DataExtremes extremes, LinePipeline& pipeline, LineState& line, int first, int last,
              Done&& done) {
  if (lanes::Available()) {
    RunStepsInLanes<Mirrored>(run, ws, kind, extremes, pipeline, line, first, last,
                              [&](int k, double misfit) { return done(k, misfit, line); });
    return;
  }
  const double* x = ws.X.data();
  const bool left = kind.Side == BoundSide::Left;
  std::array<double, 3> bound{};  // of the step being transformed, by step % 3
  int begun = 0;
  pipeline.Run(
      line, ws.Fr.data(), first, last,
      [&](int k, int i0, int m, double* xt) {
        if (i0 == 1) bound[k % 3] = StepBound(run, ws, kind.Side, k, extremes.Min, extremes.Max);
        if (left)
          LogAboveArray(x + i0, bound[k % 3], xt + i0, m);
        else
          LogBelowArray(x + i0, bound[k % 3], xt + i0, m);
      },
      [](double a, double b, const double* xt, int i0, int m, double* g) {
        ExpNegExpAffineArray(xt + i0, a, b, g, m);
      },
      [](double fr, double g) {
        const double d = fr - (Mirrored ? 1.0 - g : g);
        return d * d;
      },
      [&](int k, double misfit) { return done(k, misfit, line); },
      [&] {
        if ((++begun & 255) == 0) run.ThrowIfCancelled();
      });
}

// The misfits of a run of steps formed ahead of the stepping, and the line
// after each step.
struct StepChunk {
  int First = 0, Last = 0;
  std::vector<double> Misfit;
  std::vector<LineState> Line;
  bool UsedLineBefore = false;  // a step without variation took the line from before the chunk
};

template <bool Mirrored>
void FormChunk(const TavorixRun& run, const FitWorkspace& ws, const LocationFitKind& kind,
               DataExtremes extremes, LinePipeline& pipeline, LineState line, StepChunk& chunk) {
  chunk.Misfit.clear();
  chunk.Line.clear();
  chunk.UsedLineBefore = false;
  bool variation = false;
  RunSteps<Mirrored>(run, ws, kind, extremes, pipeline, line, chunk.First, chunk.Last,
                     [&](int, double misfit, const LineState& after) {
                       if (after.NoVariation && !variation) chunk.UsedLineBefore = true;
                       variation = variation || !after.NoVariation;
                       chunk.Misfit.push_back(misfit);
                       chunk.Line.push_back(after);
                       return true;
                     });
}

// ------------------------------------------------------------ far steps
//
// Far from the data the misfit is a smooth function of the bound: it tends
// to that of a Gumbel fit as the bound moves away, and on Gumbel-like data it
// keeps falling, by less at each step, to the last of 100 000 steps. Past
// kExactSteps the stepping goes in blocks: the misfit is formed at the
// Chebyshev points of the block in t = 1 / (k + 50) (the distance of the
// bound to the middle of the data, in steps; the data's own logarithms are
// far outside the block), a polynomial through them gives the misfit of
// every step of the block, and the steps whose fall exceeds many times the
// polynomial's error, measured at points between the nodes, are taken
// without being formed. The first step whose fall is not that sure, and the
// steps after it, are formed one by one as before, so the stepping stops
// where the steps done one at a time stop.

constexpr int kExactSteps = 256;    // formed one by one before the blocks
constexpr int kBlockDegree = 10;    // the polynomial's degree
constexpr int kLeastBlock = 32;     // smaller blocks are formed one by one
constexpr int kExactWindow = 64;    // steps formed one by one past a step not sure,
constexpr int kLargestWindow = 8192;  // doubled up to this while blocks keep failing
constexpr double kSureFall = 16.0;  // a fall taken unformed exceeds this many errors

double FarT(double k) { return 1.0 / (k + 50.0); }

// The misfits at the bounds c (one per entry, on the fit's threads); false
// when a bound reaches the data, a line has no variation or a misfit is not
// finite: the block is then formed step by step.
bool MisfitsAtBounds(const TavorixRun& run, const FitWorkspace& ws, const LocationFitKind& kind,
                     DataExtremes extremes, const std::vector<double>& c, std::vector<double>& misfit) {
  for (double bound : c)
    if (kind.Side == BoundSide::Left ? !(bound < extremes.Min) : !(bound > extremes.Max)) return false;
  const int threads = std::min(FitThreadsOf(run), static_cast<int>(c.size()));
  std::vector<FitWorkspace> spaces(static_cast<std::size_t>(threads), ws);
  std::vector<std::vector<double>> scratch(static_cast<std::size_t>(threads),
                                           std::vector<double>(static_cast<std::size_t>(ws.N) + 1));
  std::vector<char> usable(c.size(), 0);
  misfit.assign(c.size(), 0.0);
  ParallelRows(threads, 0, static_cast<int>(c.size()) - 1, [&](int j, int worker) {
    run.ThrowIfCancelled();
    FitWorkspace& w = spaces[worker];
    misfit[j] = StepMisfit(w, kind, c[j], scratch[worker].data());
    usable[j] = !w.Line.NoVariation && std::isfinite(misfit[j]);
  });
  return std::all_of(usable.begin(), usable.end(), [](char u) { return u != 0; });
}

// The polynomial through the misfits at the Chebyshev points of a block
// (extrema, both ends included), in barycentric form.
class FarBlock {
 public:
  FarBlock(int kFrom, int kTo) : kFrom_(kFrom), kTo_(kTo) {
    const double t0 = FarT(kFrom), t1 = FarT(kTo);
    for (int j = 0; j <= kBlockDegree; ++j) {
      t_[j] = j == 0 ? t0 : j == kBlockDegree ? t1 : Point(std::cos(kPi * j / kBlockDegree));
      w_[j] = (j % 2 ? -1.0 : 1.0) * (j == 0 || j == kBlockDegree ? 0.5 : 1.0);
    }
  }
  // Steps (not whole inside) of the nodes and of the points between them
  // where the polynomial is checked.
  long double NodeStep(int j) const {
    return j == 0 ? kFrom_ : j == kBlockDegree ? kTo_ : 1.0L / t_[j] - 50.0L;
  }
  static constexpr int kChecks = kBlockDegree / 2;
  long double CheckStep(int i) const {
    return 1.0L / Point(std::cos(kPi * (2 * i + 0.5) / kBlockDegree)) - 50.0L;
  }
  void SetNodeMisfit(int j, double m) { f_[j] = m; }
  double MisfitAtT(double t) const {
    double num = 0, den = 0;
    for (int j = 0; j <= kBlockDegree; ++j) {
      if (t == t_[j]) return f_[j];
      const double q = w_[j] / (t - t_[j]);
      num += q * f_[j];
      den += q;
    }
    return num / den;
  }
  double MisfitAtStep(int k) const { return MisfitAtT(FarT(k)); }

 private:
  static constexpr double kPi = 3.14159265358979323846;
  double Point(double x) const {
    const double t0 = FarT(kFrom_), t1 = FarT(kTo_);
    return 0.5 * (t0 + t1) + 0.5 * (t0 - t1) * x;
  }
  int kFrom_, kTo_;
  double t_[kBlockDegree + 1], w_[kBlockDegree + 1], f_[kBlockDegree + 1] = {};
};

// The last step of [kFrom + 1, kTo] up to which every step surely lowers the
// misfit (kFrom when the first is not sure), and the misfit at kTo; -1 when
// the block cannot be judged this way.
struct BlockJudgement {
  int SureTo = -1;
  double MisfitAtEnd = 0;
};

BlockJudgement JudgeBlock(const TavorixRun& run, const FitWorkspace& ws, const LocationFitKind& kind,
                          DataExtremes extremes, int kFrom, double misfitFrom, int kTo) {
  FarBlock block(kFrom, kTo);
  std::vector<double> c, m;
  for (int j = 1; j <= kBlockDegree; ++j) c.push_back(BoundOfStep(run, kind.Side, block.NodeStep(j)));
  for (int i = 0; i < FarBlock::kChecks; ++i) c.push_back(BoundOfStep(run, kind.Side, block.CheckStep(i)));
  if (!MisfitsAtBounds(run, ws, kind, extremes, c, m)) return {};
  block.SetNodeMisfit(0, misfitFrom);
  for (int j = 1; j <= kBlockDegree; ++j) block.SetNodeMisfit(j, m[j - 1]);
  double error = 4 * std::numeric_limits<double>::epsilon() * std::fabs(misfitFrom);
  for (int i = 0; i < FarBlock::kChecks; ++i) {
    const double t = FarT(static_cast<double>(block.CheckStep(i)));
    error = std::max(error, std::fabs(block.MisfitAtT(t) - m[kBlockDegree + i]));
  }
  BlockJudgement judgement{kFrom, m[kBlockDegree - 1]};
  double before = misfitFrom;
  for (int k = kFrom + 1; k <= kTo; ++k) {
    const double now = k == kTo ? judgement.MisfitAtEnd : block.MisfitAtStep(k);
    if (!(before - now > kSureFall * error)) break;
    judgement.SureTo = k;
    before = now;
  }
  return judgement;
}

// Goes on with a stepping that lowered the misfit at every step up to kFrom
// (its misfit there `best`, ws.Line its line): returns the step where it
// stops.
template <bool Mirrored>
int StepFar(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind, DataExtremes extremes,
            int kFrom, double best) {
  std::vector<double> g(static_cast<std::size_t>(ws.N) + 1);
  LinePipeline pipeline(ws.Ft.data(), ws.N);
  int kBest = kFrom;
  bool lineKnown = true;  // ws.Line is the line of step kBest
  // Steps first..last one by one from step first - 1 = kBest (misfit best);
  // false when the stepping stopped.
  auto oneByOne = [&](int first, int last) {
    if (!lineKnown) StepMisfit(ws, kind, BoundOfStep(run, kind.Side, kBest), g.data());
    lineKnown = true;
    bool going = true;
    RunSteps<Mirrored>(run, ws, kind, extremes, pipeline, ws.Line, first, last,
                       [&](int k, double misfit, const LineState&) {
                         if (!(misfit < best)) return going = false;
                         best = misfit;
                         kBest = k;
                         return true;
                       });
    return going;
  };
  int size = kFrom, window = kExactWindow;
  while (kBest < kind.MaxSteps) {
    const int kTo = std::min(kind.MaxSteps, kBest + size);
    if (kTo - kBest < kLeastBlock) {
      if (!oneByOne(kBest + 1, kTo)) return kBest;
      continue;
    }
    const BlockJudgement judgement = JudgeBlock(run, ws, kind, extremes, kBest, best, kTo);
    if (judgement.SureTo < 0) {  // not smooth here: the rest one by one
      oneByOne(kBest + 1, kind.MaxSteps);
      return kBest;
    }
    if (judgement.SureTo == kTo) {
      kBest = kTo;
      best = judgement.MisfitAtEnd;
      lineKnown = false;
      size *= 2;
      window = kExactWindow;
      continue;
    }
    if (judgement.SureTo > kBest) {  // the line and misfit of the last sure step, as formed
      kBest = judgement.SureTo;
      best = StepMisfit(ws, kind, BoundOfStep(run, kind.Side, kBest), g.data());
    }
    // Where the fall of a step is no larger than the misfit's rounding, each
    // step must be formed; the window grows while the blocks keep failing.
    if (!oneByOne(kBest + 1, std::min(kind.MaxSteps, kBest + window))) return kBest;
    window = std::min(2 * window, kLargestWindow);
    size = std::max(kLeastBlock, (kTo - kBest) / 2);
  }
  return kBest;
}

// The stepping: it stops at the first step that does not lower the misfit
// and returns the step before it (0: none). The first kExactSteps steps are
// formed one by one; on several threads they are formed ahead in chunks,
// side by side, and taken over in step order; the chunks grow from 16 steps,
// so a stepping that stops early forms few steps in vain. A stepping still
// going then goes on in blocks (StepFar).
template <bool Mirrored>
int RunStepping(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind) {
  const int n = ws.N;
  const DataExtremes extremes = ExtremesOf(ws);
  const int last = std::min(kind.MaxSteps, kExactSteps);
  double best = 1000000.0;
  int kBest = 0;
  bool stopped = false;
  auto take = [&](int k, double misfit) {
    if (!(misfit < best)) {
      stopped = true;
      return false;
    }
    best = misfit;
    kBest = k;
    return true;
  };
  auto goOn = [&] {
    return stopped || kBest < last ? kBest : StepFar<Mirrored>(run, ws, kind, extremes, kBest, best);
  };

  const int threads = FitThreadsOf(run);
  if (threads == 1) {
    LinePipeline pipeline(ws.Ft.data(), n);
    RunSteps<Mirrored>(run, ws, kind, extremes, pipeline, ws.Line, 1, last,
                       [&](int k, double misfit, const LineState&) { return take(k, misfit); });
    return goOn();
  }

  std::vector<LinePipeline> pipelines;
  for (int t = 0; t < threads; ++t) pipelines.emplace_back(ws.Ft.data(), n);
  std::vector<StepChunk> chunks(static_cast<std::size_t>(threads));
  int next = 1, size = 16;
  while (next <= last) {
    int used = 0;
    for (auto& chunk : chunks) {
      if (next > last) break;
      chunk.First = next;
      chunk.Last = std::min(last, next + size - 1);
      next = chunk.Last + 1;
      ++used;
    }
    size = std::min(2 * size, 2048);
    const LineState lineBefore = ws.Line;
    ParallelRows(threads, 0, used - 1, [&](int c, int worker) {
      FormChunk<Mirrored>(run, ws, kind, extremes, pipelines[worker], lineBefore, chunks[c]);
    });
    for (int c = 0; c < used; ++c) {
      StepChunk& chunk = chunks[c];
      if (c > 0 && chunk.UsedLineBefore)
        FormChunk<Mirrored>(run, ws, kind, extremes, pipelines[0], ws.Line, chunk);
      for (int k = chunk.First; k <= chunk.Last; ++k) {
        ws.Line = chunk.Line[k - chunk.First];
        if (!take(k, chunk.Misfit[k - chunk.First])) return kBest;
      }
    }
  }
  return goOn();
}

}  // namespace

double LocationStepBound(const TavorixRun& run, const FitWorkspace& ws, BoundSide side, int k) {
  const double* x = ws.X.data();
  double c = BoundOfStep(run, side, k);
  if (side == BoundSide::Left) {
    for (int i = 1; i <= ws.N; ++i)
      if (x[i] - c <= 0) c = x[i] - 0.001;
    return c;
  }
  for (int i = 1; i <= ws.N; ++i)
    if (c - x[i] <= 0) c = x[i] + 0.001;
  return c;
}

double LocationStepMisfit(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind, int k,
                          double* g) {
  return StepMisfit(ws, kind, LocationStepBound(run, ws, kind.Side, k), g);
}

void FillLocationFt(const TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind) {
  for (int i = 1; i <= run.N; ++i) {
    const long double fr = ClippedFr(run.Fr[i]);
    ws.Ft[i] = static_cast<double>(std::log(-std::log(kind.Mirrored ? 1.0L - fr : fr)));
  }
}

namespace {

// The slot of the kind, cleared, and Ft of the kind.
void StartLocationFit(TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind) {
  FitSlot& slot = run.Slots[kind.Code];
  slot = FitSlot{};
  slot.Ran = true;
  FillLocationFt(run, ws, kind);
}

// The result of the stepping that chose step kBest (0: none), from the line
// the stepping left in ws.Line.
void FinishLocationFit(TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind, int kBest) {
  FitSlot& slot = run.Slots[kind.Code];
  const int n = run.N;
  if (kBest == 0) {
    slot.Score = 1000;
    return;
  }
  std::vector<double> g(static_cast<std::size_t>(n) + 1, 0.0);
  BoundedParams& p = slot.P.Bounded;
  p.C = LocationStepBound(run, ws, kind.Side, kBest);
  FitLineAtBound(ws, kind.Side, p.C);
  p.A = ws.Line.ParA;
  p.B = ws.Line.ParB;
  BoundTerms(ws, p.A, p.B, g.data());
  double sumAbs = 0;
  for (int i = 1; i <= n; ++i) sumAbs += std::fabs(ws.Fr[i] - (kind.Mirrored ? 1.0 - g[i] : g[i]));
  slot.Score = sumAbs;
  slot.HasResult = true;
  slot.Listed = run.BestOfAll();
}

// The two steppings of the kinds on the same side, one thread, steps side by
// side in lanes: the bounds of a step are those of both kinds, so Xt and its
// first sums are formed once per group for both, and each kind makes its own
// lines and misfits from them. A kind stops as it would alone; the other
// goes on. Returns the chosen steps, with each line as its stepping alone
// leaves it.
std::pair<int, int> RunSteppingPair(const TavorixRun& run, FitWorkspace& wsA, FitWorkspace& wsB,
                                    const LocationFitKind& a, const LocationFitKind& b) {
  constexpr int L = lanes::kLanes;
  const int n = wsA.N;
  const DataExtremes extremes = ExtremesOf(wsA);
  struct Stepping {
    FitWorkspace& Ws;
    LinePipeline Pipeline;
    bool Mirrored;
    double Best = 1000000.0;
    int KBest = 0;
    bool Going = true;
  };
  Stepping sa{wsA, LinePipeline(wsA.Ft.data(), n), a.Mirrored}, sb{wsB, LinePipeline(wsB.Ft.data(), n), b.Mirrored};
  std::vector<double> buffer(2 * static_cast<std::size_t>(L) * (n + 1));
  double* xt[2] = {buffer.data(), buffer.data() + static_cast<std::size_t>(L) * (n + 1)};
  const int last = std::min(a.MaxSteps, kExactSteps);
  int begun = 0;
  // The misfits of one kind for the group from step k0, taken in step order
  // until the kind stops.
  auto misfits = [&](Stepping& s, int k0, const double* xtGroup, const LineState* after) {
    const lanes::GroupLines lines(after);
    double misfit[L];
    lanes::BoundMisfits(xtGroup, s.Ws.Fr.data(), n, lines.A, lines.B, s.Mirrored, misfit);
    for (int l = 0; l < L && k0 + l <= last; ++l) {
      s.Ws.Line = after[l];
      if (!(misfit[l] < s.Best)) {
        s.Going = false;
        return;
      }
      s.Best = misfit[l];
      s.KBest = k0 + l;
    }
  };
  // Two groups at a time, as the stepping alone goes.
  for (int k0 = 1; k0 <= last && (sa.Going || sb.Going); k0 += 2 * L) {
    const int groups = k0 + L <= last ? 2 : 1;
    lanes::FirstSums first[2];
    for (int g = 0; g < groups; ++g) {
      double c[L];
      GroupBounds(run, wsA, a.Side, extremes, k0 + g * L, last, begun, c);
      first[g] = lanes::BoundTransform(wsA.X.data(), n, c, a.Side == BoundSide::Left, xt[g]);
    }
    for (Stepping* s : {&sa, &sb}) {
      if (!s->Going) continue;
      const lanes::LineFtSums ft{s->Pipeline.FtDeviations(), s->Pipeline.SumF(), s->Pipeline.DfSum()};
      LineState after[2][L];
      if (groups == 2)
        lanes::MakeLinesOfTwo(xt[0], first[0], xt[1], first[1], ft, n, s->Ws.Line, after[0], after[1]);
      else
        lanes::MakeLines(xt[0], first[0], ft, n, s->Ws.Line, after[0]);
      for (int g = 0; g < groups && s->Going; ++g) misfits(*s, k0 + g * L, xt[g], after[g]);
    }
  }
  // Each kind still going goes on alone, in blocks.
  for (auto [s, kind] : {std::pair{&sa, &a}, std::pair{&sb, &b}}) {
    if (!s->Going || s->KBest < last) continue;
    s->KBest = s->Mirrored ? StepFar<true>(run, s->Ws, *kind, extremes, s->KBest, s->Best)
                           : StepFar<false>(run, s->Ws, *kind, extremes, s->KBest, s->Best);
  }
  return {sa.KBest, sb.KBest};
}

}  // namespace

void FitLocation(TavorixRun& run, FitWorkspace& ws, const LocationFitKind& kind) {
  StartLocationFit(run, ws, kind);
  const int kBest = kind.Mirrored ? RunStepping<true>(run, ws, kind) : RunStepping<false>(run, ws, kind);
  FinishLocationFit(run, ws, kind, kBest);
}

void FitLocationPair(TavorixRun& run, FitWorkspace& ws, const LocationFitKind& a, const LocationFitKind& b) {
  if (!lanes::Available() || FitThreadsOf(run) != 1 || a.Side != b.Side || a.MaxSteps != b.MaxSteps) {
    FitLocation(run, ws, a);
    FitLocation(run, ws, b);
    return;
  }
  FitWorkspace wsB = ws;
  StartLocationFit(run, ws, a);
  StartLocationFit(run, wsB, b);
  const auto [kA, kB] = RunSteppingPair(run, ws, wsB, a, b);
  FinishLocationFit(run, ws, a, kA);
  FinishLocationFit(run, wsB, b, kB);
}

}  // namespace tavorix

#pragma once
// A run of linearised search steps, three at a time in one pass over the
// data: the transformed Xt and first line sums of step k + 1, the deviation
// sums of step k and the misfit of step k - 1 (which needs the line of step
// k - 1). The chains of sums do not wait for one another, so the processor
// overlaps them with the exp and log work; every sum still adds its terms in
// point order, so each line and misfit is the value of the step done alone
// (Regression, then the misfit loop). A step after the one that ends the run
// may be formed and is thrown away.
//
// The caller gives, per block of points i0 .. i0 + m - 1 (at most kBlock):
//   xtOf(k, i0, m, xt)     writes Xt of step k into xt[i0 .. i0 + m - 1];
//   termsOf(a, b, xt, i0, m, g)  writes the block's calculated values into
//                          g[0 .. m - 1] from Xt and the line Ft = a Xt + b;
//   term(fr, g)            the misfit term of one point;
//   done(k, misfit)        takes the misfits in step order; false stops.
// The line of each step goes through `line` in step order, so a step without
// variation keeps the slope and intercept before it, as Regression does.
//
// A search that only needs to know which step has the least misfit may give
// a cut-off (read once per pass): a misfit whose partial sum over the points
// so far is already above it can only end above it, since every term is
// nonnegative, so its remaining terms are left out and done() gets the
// partial sum (a lower bound of the whole). Misfits up to the cut-off are
// exactly those of the full sum.

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "fitting/LineFits.h"

namespace tavorix {

class LinePipeline {
 public:
  static constexpr int kBlock = 128;

  // ft: the transformed frequencies (the same at every step), 1..n.
  LinePipeline(const double* ft, int n) : n_(n) {
    for (auto& b : xt_) b.assign(static_cast<std::size_t>(n) + 1, 0.0);
    df_.assign(static_cast<std::size_t>(n) + 1, 0.0);
    double sumF = 0;
    for (int i = 1; i <= n; ++i) sumF += ft[i];
    const double meanF = sumF / n;
    double dfSum = 0;
    for (int i = 1; i <= n; ++i) {
      df_[i] = ft[i] - meanF;
      dfSum += df_[i];
    }
    sumF_ = sumF;
    dfSum_ = dfSum;
  }

  // Ft - mean Ft (1..n) and the sums of Ft and of those deviations, as the
  // line of every step uses them.
  const double* FtDeviations() const { return df_.data(); }
  double SumF() const { return sumF_; }
  double DfSum() const { return dfSum_; }

  // Steps first..last; `check` is called before each new step is begun.
  template <class XtOf, class TermsOf, class Term, class Done, class Check>
  void Run(LineState& line, const double* fr, int first, int last, XtOf&& xtOf, TermsOf&& termsOf,
           Term&& term, Done&& done, Check&& check) {
    Run(line, fr, first, last, xtOf, termsOf, term, done, check, [] { return HUGE_VAL; });
  }

  // The same with the cut-off cutoff() for the misfits.
  template <class XtOf, class TermsOf, class Term, class Done, class Check, class Cutoff>
  void Run(LineState& line, const double* fr, int first, int last, XtOf&& xtOf, TermsOf&& termsOf,
           Term&& term, Done&& done, Check&& check, Cutoff&& cutoff) {
    for (int j = first - 1; j <= last + 1; ++j) {
      Pass pass;
      pass.First = j + 1 <= last ? j + 1 : 0;
      pass.Second = j >= first && j <= last ? j : 0;
      pass.Misfit = j - 1 >= first ? j - 1 : 0;
      if (pass.First) check();
      RunPass(pass, line, fr, xtOf, termsOf, term, pass.Misfit ? cutoff() : HUGE_VAL);
      if (pass.Misfit && !done(pass.Misfit, pass.Sum)) return;
      if (pass.Second) FinishLeastSquares(line, sums_[Slot(pass.Second)], n_, n_ - 1);
    }
  }

 private:
  struct Pass {
    int First = 0, Second = 0, Misfit = 0;  // step numbers; 0: not in this pass
    double Sum = 0;
  };

  // The running sums of one pass.
  struct Sums {
    double SumX = 0, Lo = 0, Hi = 0;     // first sums of the step ahead
    double DxSum = 0, Sxx = 0, Sxy = 0;  // deviation sums of the step at hand
    double Sum = 0;                      // misfit of the step behind
  };

  static int Slot(int k) { return k % 3; }

  template <class XtOf, class TermsOf, class Term>
  void RunPass(Pass& pass, const LineState& line, const double* fr, XtOf& xtOf, TermsOf& termsOf,
               Term& term, double cutoff) {
    double* xt1 = xt_[Slot(pass.First)].data();
    const double* xt2 = xt_[Slot(pass.Second)].data();
    const double* xt3 = xt_[Slot(pass.Misfit)].data();
    const double meanX = sums_[Slot(pass.Second)].SumX / n_;
    const double a = line.ParA, b = line.ParB;
    Pass parts = pass;  // the parts still formed; the misfit leaves at the cut-off
    Sums acc;
    double g[kBlock];
    // The terms of the last points first (at least a block of them): the
    // largest misfits of a poor step are often those of the highest points.
    // Their sum in point order is a lower bound of the whole sum in point
    // order.
    const int lastI0 = (n_ - 1) / kBlock * kBlock + 1;
    const int tailI0 = std::max(1, std::min(n_ - lastI0 + 1 < kBlock ? lastI0 - kBlock : lastI0,
                                            lastI0 - (n_ / 8) / kBlock * kBlock));
    double* gTail = tail_.data();
    bool tailFormed = false;
    if (parts.Misfit && cutoff < HUGE_VAL) {
      double probe = 0;
      for (int i0 = tailI0; i0 <= n_; i0 += kBlock) {
        const int m = std::min(kBlock, n_ - i0 + 1);
        termsOf(a, b, xt3, i0, m, gTail + (i0 - tailI0));
        for (int j = 0; j < m; ++j) probe += term(fr[i0 + j], gTail[i0 - tailI0 + j]);
      }
      if (probe > cutoff) {
        parts.Misfit = 0;
        acc.Sum = probe;
      } else {
        tailFormed = true;
      }
    }
    for (int i0 = 1; i0 <= n_; i0 += kBlock) {
      const int m = std::min(kBlock, n_ - i0 + 1);
      if (parts.First) {
        xtOf(parts.First, i0, m, xt1);
        if (i0 == 1) acc.Lo = acc.Hi = xt1[1];
      }
      if (parts.Misfit) {
        if (tailFormed && i0 >= tailI0)
          std::copy(gTail + (i0 - tailI0), gTail + (i0 - tailI0) + m, g);
        else
          termsOf(a, b, xt3, i0, m, g);
      }
      if (parts.First && parts.Second)
        acc = parts.Misfit ? AddBlock<Parts::All>(acc, xt1, xt2, df_.data(), fr, g, meanX, i0, m, parts, term)
                           : AddBlock<Parts::Line>(acc, xt1, xt2, df_.data(), fr, g, meanX, i0, m, parts, term);
      else
        acc = AddBlock<Parts::AsPass>(acc, xt1, xt2, df_.data(), fr, g, meanX, i0, m, parts, term);
      if (acc.Sum > cutoff) parts.Misfit = 0;
    }
    if (pass.First) {
      LineSums& s = sums_[Slot(pass.First)];
      s = LineSums{};
      s.SumX = acc.SumX;
      s.SumF = sumF_;
      s.Lo = acc.Lo;
      s.Hi = acc.Hi;
    }
    if (pass.Second) {
      LineSums& s = sums_[Slot(pass.Second)];
      s.DxSum = acc.DxSum;
      s.DfSum = dfSum_;
      s.Sxx = acc.Sxx;
      s.Sxy = acc.Sxy;
    }
    pass.Sum = acc.Sum;
  }

  // The parts that a block adds: all three, the two line parts (a misfit
  // that left at the cut-off), or those that `pass` names.
  enum class Parts { All, Line, AsPass };

  // Adds the terms of one block to the sums. Out of line so that the sums
  // stay in registers (across the exp and log calls they would live in
  // memory).
  template <Parts P, class Term>
  [[gnu::noinline]] static Sums AddBlock(Sums acc, const double* xt1, const double* xt2,
                                         const double* df, const double* fr, const double* g,
                                         double meanX, int i0, int m, const Pass& pass, Term& term) {
    const bool first = P != Parts::AsPass || pass.First, second = P != Parts::AsPass || pass.Second;
    const bool misfit = P == Parts::All || (P == Parts::AsPass && pass.Misfit);
    double s1 = acc.SumX, l1 = acc.Lo, h1 = acc.Hi, s2 = acc.DxSum, q2 = acc.Sxx, p2 = acc.Sxy;
    double s3 = acc.Sum;
    for (int j = 0; j < m; ++j) {
      const int i = i0 + j;
      if (first) {
        const double v = xt1[i];
        s1 += v;
        l1 = v < l1 ? v : l1;
        h1 = v > h1 ? v : h1;
      }
      if (second) {
        const double dx = xt2[i] - meanX;
        s2 += dx;
        q2 += dx * dx;
        p2 += dx * df[i];
      }
      if (misfit) s3 += term(fr[i], g[j]);
    }
    return {s1, l1, h1, s2, q2, p2, s3};
  }

  const int n_;
  std::array<std::vector<double>, 3> xt_;  // Xt of the steps in flight, by step % 3
  std::array<LineSums, 3> sums_{};
  std::vector<double> df_;  // Ft - mean Ft
  std::vector<double> tail_ = std::vector<double>(static_cast<std::size_t>(n_) + kBlock);  // the probe's terms
  double sumF_ = 0, dfSum_ = 0;
};

}  // namespace tavorix

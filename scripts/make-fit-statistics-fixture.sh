#!/usr/bin/env bash
# Makes tests/data/fit_statistics_independent.txt: the Kolmogorov-Smirnov D,
# Anderson-Darling A2 and Cramer-von Mises W2 of a few fitted distributions on
# one real series (annual maximum sea levels in Venice, Data/venice_max.inp),
# computed by SciPy, an implementation independent of this program. The
# test reads only the file this script writes.
#
# Usage: scripts/make-fit-statistics-fixture.sh   (installs python3-scipy with
# apt-get when it is missing)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if ! /usr/bin/python3 -c 'import scipy' 2>/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q python3-scipy
fi
/usr/bin/python3 - "$root/Data/venice_max.inp" "$root/tests/data/fit_statistics_independent.txt" <<'PY'
import math, sys
import numpy as np
from scipy import stats

inp, out = sys.argv[1], sys.argv[2]
# The values of the input file: second column of every data line (the lines
# after the header whose first token is a serial number).
values = []
with open(inp, encoding="latin-1") as f:
    lines = f.read().splitlines()
for line in lines:
    parts = line.split()
    if len(parts) == 2 and parts[0].isdigit():
        values.append(float(parts[1]))
x = np.array(values)
mean, sd = x.mean(), x.std(ddof=1)

# Parameters in this program's line form F = G(A x + B) for three codes,
# from simple moment estimates (any reasonable values serve: the statistics
# are compared for the same parameters).
fits = []
scale = sd * math.sqrt(6) / math.pi            # 4: Gumbel, F = exp(-exp(-(A x + B)))
loc = mean - np.euler_gamma * scale
fits.append((4, 1 / scale, -loc / scale, stats.gumbel_r, dict(loc=loc, scale=scale)))
scale = sd * math.sqrt(3) / math.pi            # 53: logistic, F = 1 / (1 + exp(A x + B))
fits.append((53, -1 / scale, mean / scale, stats.logistic, dict(loc=mean, scale=scale)))
q1, med, q3 = np.percentile(x, [25, 50, 75])   # 64: Cauchy, F = 1/2 + atan(A x + B) / pi
scale = (q3 - q1) / 2
fits.append((64, 1 / scale, -med / scale, stats.cauchy, dict(loc=med, scale=scale)))

rng = np.random.default_rng(1)
with open(out, "w") as f:
    f.write("# Written by scripts/make-fit-statistics-fixture.sh with SciPy %s.\n" % __import__("scipy").__version__)
    f.write("# data: the series; fit: code A B  D A2 W2 (SciPy's kstest, goodness_of_fit 'ad', cramervonmises)\n")
    f.write("data " + " ".join(repr(v) for v in values) + "\n")
    for code, a, b, dist, kw in fits:
        frozen = dist(**kw)
        d = stats.kstest(x, frozen.cdf).statistic
        a2 = stats.goodness_of_fit(dist, x, known_params=kw, statistic="ad", n_mc_samples=9,
                                   random_state=rng).statistic
        w2 = stats.cramervonmises(x, frozen.cdf).statistic
        f.write("fit %d %r %r %r %r %r\n" % (code, a, b, d, a2, w2))
PY
echo "wrote $root/tests/data/fit_statistics_independent.txt"

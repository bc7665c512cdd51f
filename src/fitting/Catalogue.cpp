// The distribution catalogue: names and preference texts of every code.
#include "fitting/Catalogue.h"

#include <algorithm>

namespace tavorix {

namespace {

// Code, list name (ranked list), title name (graphs), selection caption,
// preference text, kind. Codes 1 and 2 exist only as titles.
constexpr DistributionInfo kCatalogue[] = {
    {1, "", "Generalized linear", "", "", DistKind::TitleOnly},
    {2, "", "Generalized linear exponential", "", "", DistKind::TitleOnly},
    {3, " Generalized exponential (Poisson-type) distribution", "Generalized exponential (Poisson) distribution", "Exponential generalized", "3", DistKind::Single},
    {4, " Gumbel distribution", "Gumbel distribution", "Gumbel (standard)", "4", DistKind::Single},
    {5, " Mirrored Gumbel distribution", "Mirrored Gumbel distribution", "Gumbel mirrored", "5", DistKind::Single},
    {6, " Exponential distribution (Poisson type)", "Simple exponential (Poisson) distribution", "Exponential (standard)", "6", DistKind::Single},
    {7, " Composite Gumbel distribution mirrored", "Composite Gumbel mirrored distribution", "", "7", DistKind::SimpleComposite},
    {8, " Composite logistic distribution", "Composite logistic distribution", "", "8", DistKind::SimpleComposite},
    {9, " Composite Gumbel distribution", "Composite Gumbel distribution", "", "9", DistKind::SimpleComposite},
    {10, " Gumbel mirrored + Logistic distribution", "Composite Gumbel mirrored + logistic distribution", "", "10", DistKind::SimpleComposite},
    {11, " Gumbel mirrored  + Gumbel standard distribution ", "Mirrored Gumbel + standard Gumbel distribution", "", "11", DistKind::SimpleComposite},
    {12, " Gumbel + Logistic distribution", "Composite Gumbel + logistic distribution", "", "12", DistKind::SimpleComposite},
    {13, " Gumbel + Gumbel Mirrored  distribution", "Standard Gumbel + mirrored Gumbel distribution", "", "13", DistKind::SimpleComposite},
    {14, " Logistic + Gumbel mirrored distribution", "Composite logistic + mirrored Gumbel distribution", "", "14", DistKind::SimpleComposite},
    {15, " Logistic + Gumbel distribution", "Composite logistic + Gumbel distribution", "", "15", DistKind::SimpleComposite},
    {16, " Gumbel + Poisson distribution", "Composite Gumbel + Poisson distribution", "", "16", DistKind::SimpleComposite},
    {17, " Gumbel mirrored + Poisson distribution", "Composite Gumbel mirrored + Poisson distribution", "", "17", DistKind::SimpleComposite},
    {18, " Logistic + Poisson distribution", "Composite lLogistic + Poisson distribution", "", "18", DistKind::SimpleComposite},
    {20, " Normal distribution standard", "Normal distribution usual", "Normal (standard)", "20", DistKind::NormalFamily},
    {21, " Normal distribution optimized", "Normal distribution optimized", "Normal (optimized)", "21", DistKind::NormalFamily},
    {22, " Log-normal distribution standard", "Log-normal distribution usual", "Log-normal (standard)", "22", DistKind::NormalFamily},
    {23, " Log-normal distribution optimized", "Log-normal distribution optimized", "Log-normal (optimized)", "23", DistKind::NormalFamily},
    {24, " Root-normal distribution optimized", "Root-normal distribution", "Root-normal", "24", DistKind::NormalFamily},
    {25, " Square normal distribution optimized", "Square-normal distribution", "Square-normal", "25", DistKind::NormalFamily},
    {26, " Generalized normal distribution", "Generalized normal distribution", "Generalized normal", "26", DistKind::NormalFamily},
    {31, " Burr distribution generalized", "Burr (generalized Pareto-Lomax) distribution", "Burr distribution", "31", DistKind::Single},
    {32, " Dagum distribution generalized", "Dagum (mirrorred Burr) distribution", "Dagum distribution", "32", DistKind::Single},
    {33, " Fisher-Tippett type 3 mirrorered", "Fisher-Tippett type 3 mirrored", "F-T III mirrored", "33", DistKind::Single},
    {34, " Gompertz distribution generalized", "Generalized Gompertz distribution", "Gompertz (generalized)", "34", DistKind::Single},
    {35, " Frechet (Fisher-Tippet Type 2) mirrored", "Mirrored Frechet distribution", "Frechet mirrored", "35", DistKind::Single},
    {36, " Kumaraswamy distribution", "Kumaraswamy distribution", "Kumaraswamy generalized", "39", DistKind::Single},
    {51, " Gumbel distribution generalized", "Generalized Gumbel distribution", "Gumbel generalized", "51", DistKind::Single},
    {52, " Generalized Mirrored Gumbel distribution", "Generalized mirrored Gumbel distribution", "Gumbel mirrored generalized", "52", DistKind::Single},
    {53, " Logistic distribution", "Logistic distribution", "Logistic (standard)", "53", DistKind::Single},
    {54, " Log-logistic distribution", "Log-logistic distribution", "Log-logistic", "54", DistKind::Single},
    {55, " Generalized logistic distribution", "Generalized logistic distribution", "Logistic generalized", "55", DistKind::Single},
    {56, " Adjusted Fisk distribution", "Adjusted Fisk distribution", "Fisk (adjusted)", "56", DistKind::Single},
    {57, " Weibull distribution", "Weibull distribution", "Weibull (standard)", "57", DistKind::Single},
    {58, " Frechet (Fisher-Tippet Type 2) distribution", "Frechet distribution", "Frechet (typical)", "58", DistKind::Single},
    {59, " Fisher-Tippett type 3 distribution", "Fisher-Tippett type 3 distribution", "Fisher-Tippet III", "59", DistKind::Single},
    {60, " mirrored Weibull distribution", "Mirrored Weibull distribution", "Weibull mirrored", "60", DistKind::Single},
    {61, " Gamma (Erlang) distribution", "Gamma (Erlang) distribution", "Gamma (Erlang)", "61", DistKind::Single},
    {62, " Student distribution with 1 d.f.", "Student t-distribution with 1 d.f.", "Student (1 or 2 d.f.)", "62", DistKind::Single},
    {63, " Student distribution with 2 d.f.", "Student t-distribution with 2 d.f.", "", "", DistKind::Single},
    {64, " Cauchy distribution", "Cauchy distribution", "Cauchy (standard)", "64", DistKind::Single},
    {65, " Generalized Cauchy distribution", "Generalized Cauchy distribution", "Cauchy generalized", "65", DistKind::Single},
    {66, " Mirrored exponential (Poisson) distribution", "Mirrored Poisson distribution", "Exponential general. mirr.", "66", DistKind::Single},
    {67, " GEV distribution", "Generalized extreme value (GEV) distribution", "GEV (Gen. Extreme. Value)", "67", DistKind::Single},
    {68, " Laplace distribution (standard)", "Laplace distribution", "Laplace (standard)", "68", DistKind::Single},
    {69, " Generalized Rayleigh distribution", "Generalized Rayleigh distribution", "Rayleigh generalized", "69", DistKind::Single},
    {70, " Composite generalizd logistic distribution", "Composite generalized logistic distribution", "", "70", DistKind::GeneralizedComposite},
    {71, " Composite generalized Gumbel distribution", "Composite generalized Gumbel distribution", "", "71", DistKind::GeneralizedComposite},
    {72, " Composite generalized exponential (Poisson) distribution", "Composite generalized Poisson distribution", "", "72", DistKind::GeneralizedComposite},
    {73, " Generalized Laplace distribution", "Generalized Laplace distribution", "Laplace generalized", "73", DistKind::Single},
    {74, " Composite mirrored Gumbel distribution generalized", "Composite generalized Gumbel mirrored", "", "90", DistKind::GeneralizedComposite},
    {80, " Generalized logistic + Gumbel distribution", "Composite logistic and Gumbel distribution", "", "80", DistKind::GeneralizedComposite},
    {81, " Generalized Logistic + Poisson distribution", "Composite logistic and Poisson distribution", "", "81", DistKind::GeneralizedComposite},
    {82, " Generalized Gumbel + logistic distribution", "Composite Gumbel and logistic distribution", "", "82", DistKind::GeneralizedComposite},
    {83, " Generalized Gumbel + Poisson distribution", "Composite Gumbel and Poisson distribution", "", "83", DistKind::GeneralizedComposite},
    {84, " Generalized Poisson + logistic distribution", "Composite Poisson and logistic distribution", "", "84", DistKind::GeneralizedComposite},
    {85, " Generalized Poisson + Gumbel distribution", "Composite Poisson and Gumbel distribution", "", "85", DistKind::GeneralizedComposite},
};

}  // namespace

std::span<const DistributionInfo> Catalogue() { return kCatalogue; }

const DistributionInfo* FindDistribution(int code) {
  for (const auto& d : kCatalogue)
    if (d.Code == code) return &d;
  return nullptr;
}

const DistributionInfo* FindByPreference(std::string_view text) {
  if (text.empty()) return nullptr;
  for (const auto& d : kCatalogue)
    if (d.Kind != DistKind::TitleOnly && d.Preference == text) return &d;
  return nullptr;
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
  return d && (d->Kind == DistKind::SimpleComposite || d->Kind == DistKind::GeneralizedComposite);
}

bool IsNormalFamily(int code) { return code >= 20 && code <= 26; }

}  // namespace tavorix

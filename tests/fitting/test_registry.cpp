// The names table: every code's list name, title name, selection caption and
// preference text exactly as the program writes them, typos included.
#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "fitting/Registry.h"

namespace tavorix {
namespace {

struct ExpectedNames {
  int Code;
  std::string_view List, Title, Caption, Preference;
};

// Composites have no button (empty caption) and are preferred by their own
// code, except 74 ("90"); 63 shares the button of 62.
constexpr ExpectedNames kExpected[] = {
    {3, " Generalized exponential (Poisson-type) distribution", "Generalized exponential (Poisson) distribution", "Exponential generalized", "3"},
    {4, " Gumbel distribution", "Gumbel distribution", "Gumbel (standard)", "4"},
    {5, " Mirrored Gumbel distribution", "Mirrored Gumbel distribution", "Gumbel mirrored", "5"},
    {6, " Exponential distribution (Poisson type)", "Simple exponential (Poisson) distribution", "Exponential (standard)", "6"},
    {31, " Burr distribution generalized", "Burr (generalized Pareto-Lomax) distribution", "Burr distribution", "31"},
    {32, " Dagum distribution generalized", "Dagum (mirrorred Burr) distribution", "Dagum distribution", "32"},
    {33, " Fisher-Tippett type 3 mirrorered", "Fisher-Tippett type 3 mirrored", "F-T III mirrored", "33"},
    {34, " Gompertz distribution generalized", "Generalized Gompertz distribution", "Gompertz (generalized)", "34"},
    {35, " Frechet (Fisher-Tippet Type 2) mirrored", "Mirrored Frechet distribution", "Frechet mirrored", "35"},
    {36, " Kumaraswamy distribution", "Kumaraswamy distribution", "Kumaraswamy generalized", "39"},
    {51, " Gumbel distribution generalized", "Generalized Gumbel distribution", "Gumbel generalized", "51"},
    {52, " Generalized Mirrored Gumbel distribution", "Generalized mirrored Gumbel distribution", "Gumbel mirrored generalized", "52"},
    {53, " Logistic distribution", "Logistic distribution", "Logistic (standard)", "53"},
    {54, " Log-logistic distribution", "Log-logistic distribution", "Log-logistic", "54"},
    {55, " Generalized logistic distribution", "Generalized logistic distribution", "Logistic generalized", "55"},
    {56, " Adjusted Fisk distribution", "Adjusted Fisk distribution", "Fisk (adjusted)", "56"},
    {57, " Weibull distribution", "Weibull distribution", "Weibull (standard)", "57"},
    {58, " Frechet (Fisher-Tippet Type 2) distribution", "Frechet distribution", "Frechet (typical)", "58"},
    {59, " Fisher-Tippett type 3 distribution", "Fisher-Tippett type 3 distribution", "Fisher-Tippet III", "59"},
    {60, " mirrored Weibull distribution", "Mirrored Weibull distribution", "Weibull mirrored", "60"},
    {61, " Gamma (Erlang) distribution", "Gamma (Erlang) distribution", "Gamma (Erlang)", "61"},
    {62, " Student distribution with 1 d.f.", "Student t-distribution with 1 d.f.", "Student (1 or 2 d.f.)", "62"},
    {63, " Student distribution with 2 d.f.", "Student t-distribution with 2 d.f.", "", ""},
    {64, " Cauchy distribution", "Cauchy distribution", "Cauchy (standard)", "64"},
    {65, " Generalized Cauchy distribution", "Generalized Cauchy distribution", "Cauchy generalized", "65"},
    {66, " Mirrored exponential (Poisson) distribution", "Mirrored Poisson distribution", "Exponential general. mirr.", "66"},
    {67, " GEV distribution", "Generalized extreme value (GEV) distribution", "GEV (Gen. Extreme. Value)", "67"},
    {68, " Laplace distribution (standard)", "Laplace distribution", "Laplace (standard)", "68"},
    {69, " Generalized Rayleigh distribution", "Generalized Rayleigh distribution", "Rayleigh generalized", "69"},
    {73, " Generalized Laplace distribution", "Generalized Laplace distribution", "Laplace generalized", "73"},
    {7, " Composite Gumbel distribution mirrored", "Composite Gumbel mirrored distribution", "", "7"},
    {8, " Composite logistic distribution", "Composite logistic distribution", "", "8"},
    {9, " Composite Gumbel distribution", "Composite Gumbel distribution", "", "9"},
    {10, " Gumbel mirrored + Logistic distribution", "Composite Gumbel mirrored + logistic distribution", "", "10"},
    {11, " Gumbel mirrored  + Gumbel standard distribution ", "Mirrored Gumbel + standard Gumbel distribution", "", "11"},
    {12, " Gumbel + Logistic distribution", "Composite Gumbel + logistic distribution", "", "12"},
    {13, " Gumbel + Gumbel Mirrored  distribution", "Standard Gumbel + mirrored Gumbel distribution", "", "13"},
    {14, " Logistic + Gumbel mirrored distribution", "Composite logistic + mirrored Gumbel distribution", "", "14"},
    {15, " Logistic + Gumbel distribution", "Composite logistic + Gumbel distribution", "", "15"},
    {16, " Gumbel + Poisson distribution", "Composite Gumbel + Poisson distribution", "", "16"},
    {17, " Gumbel mirrored + Poisson distribution", "Composite Gumbel mirrored + Poisson distribution", "", "17"},
    {18, " Logistic + Poisson distribution", "Composite lLogistic + Poisson distribution", "", "18"},
    {70, " Composite generalizd logistic distribution", "Composite generalized logistic distribution", "", "70"},
    {71, " Composite generalized Gumbel distribution", "Composite generalized Gumbel distribution", "", "71"},
    {72, " Composite generalized exponential (Poisson) distribution", "Composite generalized Poisson distribution", "", "72"},
    {74, " Composite mirrored Gumbel distribution generalized", "Composite generalized Gumbel mirrored", "", "90"},
    {80, " Generalized logistic + Gumbel distribution", "Composite logistic and Gumbel distribution", "", "80"},
    {81, " Generalized Logistic + Poisson distribution", "Composite logistic and Poisson distribution", "", "81"},
    {82, " Generalized Gumbel + logistic distribution", "Composite Gumbel and logistic distribution", "", "82"},
    {83, " Generalized Gumbel + Poisson distribution", "Composite Gumbel and Poisson distribution", "", "83"},
    {84, " Generalized Poisson + logistic distribution", "Composite Poisson and logistic distribution", "", "84"},
    {85, " Generalized Poisson + Gumbel distribution", "Composite Poisson and Gumbel distribution", "", "85"},
    {20, " Normal distribution standard", "Normal distribution usual", "Normal (standard)", "20"},
    {21, " Normal distribution optimized", "Normal distribution optimized", "Normal (optimized)", "21"},
    {22, " Log-normal distribution standard", "Log-normal distribution usual", "Log-normal (standard)", "22"},
    {23, " Log-normal distribution optimized", "Log-normal distribution optimized", "Log-normal (optimized)", "23"},
    {24, " Root-normal distribution optimized", "Root-normal distribution", "Root-normal", "24"},
    {25, " Square normal distribution optimized", "Square-normal distribution", "Square-normal", "25"},
    {26, " Generalized normal distribution", "Generalized normal distribution", "Generalized normal", "26"},
};

TEST(Registry, EveryCodeHasItsNamesAndPreferenceText) {
  for (const auto& e : kExpected) {
    SCOPED_TRACE(e.Code);
    const DistributionInfo* d = FindDistribution(e.Code);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->ListName, e.List);
    EXPECT_EQ(d->TitleName, e.Title);
    EXPECT_EQ(d->Caption, e.Caption);
    EXPECT_EQ(d->Preference, e.Preference);
    EXPECT_EQ(ListName(e.Code), e.List);
    EXPECT_EQ(TitleName(e.Code), e.Title);
  }
}

TEST(Registry, HoldsNoOtherFittedCodes) {
  std::set<int> expected{1, 2};
  for (const auto& e : kExpected) expected.insert(e.Code);
  std::set<int> present;
  for (const auto& d : Registry()) EXPECT_TRUE(present.insert(d.Code).second) << "twice: " << d.Code;
  EXPECT_EQ(present, expected);
}

TEST(Registry, PreferenceTextsSelectTheirCodes) {
  for (const auto& e : kExpected) {
    if (e.Preference.empty()) continue;
    const DistributionInfo* d = FindByPreference(e.Preference);
    ASSERT_NE(d, nullptr) << e.Preference;
    EXPECT_EQ(d->Code, e.Code);
  }
  EXPECT_EQ(FindByPreference("39")->Code, 36);
  EXPECT_EQ(FindByPreference("90")->Code, 74);
  // The codes themselves do not select these two; "1" is best of all and
  // 63 has no text of its own.
  EXPECT_EQ(FindByPreference("36"), nullptr);
  EXPECT_EQ(FindByPreference("74"), nullptr);
  EXPECT_EQ(FindByPreference("63"), nullptr);
  EXPECT_EQ(FindByPreference("1"), nullptr);
  EXPECT_EQ(FindByPreference(""), nullptr);
  EXPECT_EQ(FindByPreference("2"), nullptr);
}

TEST(Registry, TitleOnlyCodesAndUnknownCodes) {
  EXPECT_EQ(TitleName(1), "Generalized linear");
  EXPECT_EQ(TitleName(2), "Generalized linear exponential");
  EXPECT_EQ(ListName(1), "");
  EXPECT_EQ(TitleName(0), "");
  EXPECT_EQ(TitleName(19), "");
  EXPECT_EQ(FindDistribution(0), nullptr);
}

TEST(Registry, KindsOfCodes) {
  for (int code : {7, 18, 70, 74, 80, 85}) EXPECT_TRUE(IsComposite(code)) << code;
  for (int code : {3, 36, 63, 73, 20, 26, 0, 1}) EXPECT_FALSE(IsComposite(code)) << code;
  for (int code = 20; code <= 26; ++code) EXPECT_TRUE(IsNormalFamily(code)) << code;
  EXPECT_FALSE(IsNormalFamily(19));
  EXPECT_FALSE(IsNormalFamily(27));
  EXPECT_EQ(FindDistribution(62)->Kind, DistKind::Single);
  EXPECT_EQ(FindDistribution(1)->Kind, DistKind::TitleOnly);
}

}  // namespace
}  // namespace tavorix

// The look-ups of the registry: by code, by preference text and by the list
// name that stored ranked lists hold. The names themselves are the rows';
// only those that files written earlier are read back by are pinned here.
#include <gtest/gtest.h>

#include <string_view>

#include "fitting/Registry.h"

namespace tavorix {
namespace {

TEST(Registry, RowsAreInAscendingCodeOrderAndFoundByTheirCode) {
  int previous = 0;
  for (const DistributionInfo& d : Registry()) {
    EXPECT_GT(d.Code, previous) << "after " << previous;
    previous = d.Code;
    EXPECT_EQ(FindDistribution(d.Code), &d);
    EXPECT_EQ(ListName(d.Code), d.ListName);
    EXPECT_EQ(TitleName(d.Code), d.TitleName);
  }
  EXPECT_LE(previous, kLargestCode);
}

TEST(Registry, PreferenceTextsSelectTheirRows) {
  for (const DistributionInfo& d : Registry()) {
    if (d.Preference.empty()) continue;
    EXPECT_EQ(FindByPreference(d.Preference), &d) << d.Code;
  }
  EXPECT_EQ(FindByPreference("39")->Code, 36);
  EXPECT_EQ(FindByPreference("90")->Code, 74);
  // The codes themselves do not select these two; "1" is best of all and
  // 63 has no text of its own.
  for (std::string_view text : {"36", "74", "63", "1", "", "2"}) EXPECT_EQ(FindByPreference(text), nullptr) << text;
}

// Ranked lists written by earlier runs name their codes by these texts,
// typos and doubled blanks included.
TEST(Registry, StoredListNamesFindTheirCodes) {
  constexpr std::pair<std::string_view, int> kStored[] = {
      {"Gumbel distribution", 4},
      {"Gumbel mirrored  + Gumbel standard distribution", 11},
      {"Fisher-Tippett type 3 mirrorered", 33},
      {"Frechet (Fisher-Tippet Type 2) mirrored", 35},
      {"Student distribution with 2 d.f.", 63},
      {"Composite generalizd logistic distribution", 70},
      {"Square normal distribution optimized", 25},
  };
  for (const auto& [name, code] : kStored) {
    const DistributionInfo* d = FindByListName(name);
    ASSERT_NE(d, nullptr) << name;
    EXPECT_EQ(d->Code, code) << name;
  }
  EXPECT_EQ(FindByListName(" Gumbel distribution"), nullptr) << "the caller trims the blanks";
}

TEST(Registry, TitleOnlyCodesAndUnknownCodes) {
  EXPECT_EQ(TitleName(1), "Generalized linear");
  EXPECT_EQ(TitleName(2), "Generalized linear exponential");
  EXPECT_EQ(ListName(1), "");
  EXPECT_EQ(TitleName(0), "");
  EXPECT_EQ(TitleName(19), "");
  EXPECT_EQ(FindDistribution(0), nullptr);
  EXPECT_EQ(FindDistribution(kLargestCode + 1), nullptr);
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

// The help list is sorted by its labels, numbers before letters.
TEST(Registry, HelpListFollowsTheLabels) {
  const std::string list = DistributionHelpList();
  const auto at = [&](std::string_view label) { return list.find(std::string(label) + " "); };
  EXPECT_EQ(list.rfind("  1a Gumbel ", 0), 0u);
  EXPECT_LT(at("  9b"), at(" 10a"));
  EXPECT_LT(at(" 10a"), at(" 10b"));
  EXPECT_LT(at(" 10b"), at("  11"));
  EXPECT_EQ(list.back(), '\n');
}

}  // namespace
}  // namespace tavorix

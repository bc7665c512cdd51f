#pragma once
// Every distribution the program knows, under its code: the names shown in
// the ranked list, in graph titles and in the selection window, and the
// preference text that selects it. Every stage takes its names from here.

#include <span>
#include <string_view>

namespace tavorix {

enum class DistKind { TitleOnly, Single, NormalFamily, SimpleComposite, GeneralizedComposite };

struct DistributionInfo {
  int Code;
  std::string_view ListName;    // with its leading blank, as written to the ranked list
  std::string_view TitleName;   // graph title
  std::string_view Caption;     // selection window caption ("" when there is no button)
  std::string_view Preference;  // preference text ("39" selects 36, "90" selects 74)
  DistKind Kind;
};

std::span<const DistributionInfo> Catalogue();
const DistributionInfo* FindDistribution(int code);
// The distribution selected by a preference text, or nullptr ("1" and unknown texts).
const DistributionInfo* FindByPreference(std::string_view text);
std::string_view ListName(int code);
// Graph title; empty for code 0 and unknown codes.
std::string_view TitleName(int code);
bool IsComposite(int code);
bool IsNormalFamily(int code);

}  // namespace tavorix

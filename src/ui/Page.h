#pragma once
// The pages of the main window, in the order of their tabs.

namespace tavorix {

enum class Page { Intro, Input, Output, Graphics };

}  // namespace tavorix

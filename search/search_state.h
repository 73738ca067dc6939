// The search state shared by the main menu, the result browser and SEL.
#pragma once

namespace kx {

// The search mode a main menu button chose; none before the first.
enum SearchMode : int {
  kModeNone = 0,
  kModeKanaName = 1, kModeKanaCompany = 2, kModeKanjiName = 3, kModeKanjiCompany = 4,
  kModePhone = 5, kModeAlias = 6, kModeCombined = 7, kModeKeywords = 8,
  kModeChangeDate = 9, kModeSecret = 10, kModePersonalNumber = 11, kModeAllFields = 12
};

struct SearchState {
  SearchMode mode = kModeNone;
  // Change-date progress (mode 9), kept between steps.
  int days = 0;
  unsigned dayCounter = 0;
  double targetDate = 0;
  int nextEntry = 0;
};

}  // namespace kx

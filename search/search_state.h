// The search state shared by the main menu, the result browser and SEL.
#pragma once

namespace kx {

struct SearchState {
  int mode = 0;  // 0 before any mode button, then 1 .. 12
  // Change-date progress (mode 9), kept between steps.
  int days = 0;
  unsigned dayCounter = 0;
  double targetDate = 0;
  int nextEntry = 0;
};

}  // namespace kx

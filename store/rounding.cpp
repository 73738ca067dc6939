#include "store/rounding.h"

#include <cmath>
#include <cstdio>

namespace kx {

double fifteenDigitCleanup(double x) {
  if (!std::isfinite(x)) return x;
  // "%.15E" gives d.dddddddddddddddE+xx: sixteen significant digits.
  char text[64];
  std::snprintf(text, sizeof text, "%.15E", std::fabs(x));
  char digits[17];
  digits[0] = text[0];
  for (int i = 0; i < 15; ++i) digits[1 + i] = text[2 + i];
  int exponent = 0;
  std::sscanf(text + 17, "E%d", &exponent);

  // Drop the sixteenth digit, rounding the fifteenth half up with carry.
  if (digits[15] >= '5') {
    int i = 14;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
      ++digits[i];
    } else {
      // 9.99...9 became 10.0...0: one digit more, so one more in the exponent.
      digits[0] = '1';
      ++exponent;
    }
  }
  char cleaned[64];
  std::snprintf(cleaned, sizeof cleaned, "%c.%.14sE%+03d", digits[0], digits + 1, exponent);
  double value = 0;
  std::sscanf(cleaned, "%lE", &value);
  return std::signbit(x) ? -value : value;
}

double roundToPowerOfTen(int k, double v) {
  const double p = std::pow(10.0, k);
  const double r =
      std::floor(fifteenDigitCleanup(fifteenDigitCleanup(std::fabs(v) + p / 2) / p)) * p;
  return std::signbit(v) ? -r : r;
}

}  // namespace kx

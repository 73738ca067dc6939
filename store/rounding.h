// Rounding of doubles to fifteen significant digits and to powers of ten,
// as the zero-padded number rounds.
#pragma once

namespace kx {

// x rounded to 15 significant decimal digits (halves up in magnitude).
double fifteenDigitCleanup(double x);
// v rounded to a multiple of 10^k, halves away from zero.
double roundToPowerOfTen(int k, double v);

}  // namespace kx

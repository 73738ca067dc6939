// Rounding of doubles to fifteen significant digits and to powers of ten.
// The zero-padded number rounds with these; the date arithmetic exposes them
// too (search/dates.h declares the same two functions).
#pragma once

namespace kx {

// x rounded to 15 significant decimal digits (halves up in magnitude).
double fifteenDigitCleanup(double x);
// v rounded to a multiple of 10^k, halves away from zero.
double roundToPowerOfTen(int k, double v);

}  // namespace kx

// Writes test photos for the benchmarks: an RGB picture of the given size,
// one pixel at a time from a generator, compressed at quality 90.
#pragma once

#include <functional>
#include <string>

namespace kx::bench {

// Sets the pixel at (x, y); seed is the generator's running noise state.
using PixelFn = std::function<void(int x, int y, unsigned& seed, unsigned char* rgb)>;

// Aborts when the file cannot be written: a benchmark without its photo
// would measure nothing.
void writeJpeg(const std::string& path, int width, int height, unsigned seed,
               const PixelFn& pixel);

}  // namespace kx::bench

// Photo decoding with libjpeg: decompression only, into 24-bit RGB rows.
// No Qt: the photo window shows what it decodes, and the vCard import checks
// that a card's photo decodes before it keeps it.
#pragma once

#include <string>
#include <vector>

namespace kx {

// A decoded picture: 24-bit RGB rows, no padding.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
};

struct PictureSize {
  int width = 0;
  int height = 0;
};

// The size a picture of width x height is shown at in a box: scaled down to
// fit with its aspect ratio kept (cut to whole pixels), never enlarged.
PictureSize fitInBox(int width, int height, int boxWidth, int boxHeight);

// Larger pictures are refused before anything is allocated for them.
constexpr long long kMaxJpegPixels = 1LL << 27;  // about 134 million

// Why a picture was not decoded.
enum class JpegFailure {
  None,
  NoFile,       // missing, unreadable, or not a regular file
  Damaged,      // not a JPEG, cut short, or its data corrupt
  TooLarge,     // more pixels, file bytes or decoder memory than allowed
  TooMuchWork,  // more scans, or scans over more blocks, than a photo needs
};

// Decodes the JPEG file at path into out (24-bit RGB). When the picture will
// be shown scaled down into a box of boxWidth x boxHeight anyway, it is
// decoded at the largest DCT reduction (1/2, 1/4, 1/8) whose result is still
// at least the shown size, so out may be smaller than the file's own size;
// pass a box of 0 x 0 for full size. naturalWidth/naturalHeight receive the
// size the file declares, from which the shown size is computed.
// Returns false, leaving out empty and the natural size 0, for anything that
// cannot be shown: a missing or unreadable file, not a JPEG, a truncated or
// corrupt one (libjpeg's warnings about corrupt data stop the decode), a
// picture above kMaxJpegPixels or one that needs too much memory, and one
// whose scans would take far more work than any photo (a budget of scans
// times the blocks each covers); *why (when given) tells which.
// Grayscale, progressive and CMYK/YCCK files are shown in RGB.
bool decodeJpeg(const std::string& path, int boxWidth, int boxHeight, Picture* out,
                int* naturalWidth = nullptr, int* naturalHeight = nullptr,
                JpegFailure* why = nullptr);

// Whether JPEG bytes held in memory decode as a picture that could be
// shown: the same checks as decodeJpeg, the picture itself thrown away.
bool jpegDecodes(const std::string& bytes);

}  // namespace kx

#include "photo/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>
#include <jerror.h>

#include "store/regular_file.h"

namespace kx {

PictureSize fitInBox(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0) return {};
  if (boxWidth <= 0 || boxHeight <= 0 || (width <= boxWidth && height <= boxHeight))
    return {width, height};
  const long long w = width, h = height;
  // Whichever side meets its box edge first decides; integers keep the
  // exact cases (722 x 706 into 361 x 353) exact.
  if (w * boxHeight > h * boxWidth) {
    const long long shownH = h * boxWidth / w;
    return {boxWidth, static_cast<int>(shownH > 0 ? shownH : 1)};
  }
  const long long shownW = w * boxHeight / h;
  return {static_cast<int>(shownW > 0 ? shownW : 1), boxHeight};
}

namespace {

// A progressive file decodes through a whole-image coefficient buffer; this
// bounds it (beyond it libjpeg would need a backing store, which it reports
// as an error). A progressive 24-megapixel photo in 4:2:0 needs 72 MB.
constexpr long kMaxDecoderMemory = 80L << 20;
// Real progressive files have about ten scans; thousands of tiny ones are a
// way to make a small file take minutes to decode.
constexpr int kMaxScans = 500;
// What every scan costs is the blocks it covers, whether the file holds data
// for them or not: a few bytes can declare a huge picture and repeat empty
// scans over it. A block of a refinement scan costs about four times one of
// a first scan (some 55 against 13 ns here), so it is charged four. A
// progressive 24-megapixel photo comes to about 8 million; this bound stops
// any file within about half a second.
constexpr long long kMaxScanCost = 40'000'000;
constexpr int kRefinementCost = 4;
// The whole file is read into memory: libjpeg's fast Huffman path runs only
// while plenty of input is buffered, and a reduced-scale decode is nearly all
// Huffman decoding. No camera writes a photo anywhere near this size.
constexpr long long kMaxFileBytes = 256LL << 20;

struct ErrorManager {
  jpeg_error_mgr pub;  // first member: libjpeg only sees this part
  std::jmp_buf escape;
  JpegFailure failure = JpegFailure::Damaged;
};

[[noreturn]] void stopDecode(j_common_ptr c, JpegFailure why) {
  auto* err = reinterpret_cast<ErrorManager*>(c->err);
  err->failure = why;
  std::longjmp(err->escape, 1);
}

// Replaces libjpeg's error exit, which would print and end the process.
[[noreturn]] void escapeDecode(j_common_ptr c) {
  const int code = c->err->msg_code;
  const bool memory = code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE ||
                      code == JERR_WIDTH_OVERFLOW || code == JERR_IMAGE_TOO_BIG;
  stopDecode(c, memory ? JpegFailure::TooLarge : JpegFailure::Damaged);
}

void silent(j_common_ptr) {}

// Warnings stay silent and are tolerated where the picture is still whole
// (stray bytes between markers are common in camera files), but not those
// that say the data is corrupt or ends too soon: libjpeg would fill the rest
// grey, or go on through a looping stream, and that is not the photo.
void onMessage(j_common_ptr c, int level) {
  if (level >= 0) return;
  switch (c->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
      stopDecode(c, JpegFailure::Damaged);
    default:
      break;
  }
}

struct Progress {
  jpeg_progress_mgr pub;  // first member: libjpeg only sees this part
  int scan = 0;
  long long cost = 0;  // of every scan begun so far
};

// The blocks one scan covers: a single component's, or its MCUs' blocks.
long long blocksInScan(j_decompress_ptr d) {
  if (d->comps_in_scan == 1 && d->cur_comp_info[0] != nullptr)
    return static_cast<long long>(d->cur_comp_info[0]->width_in_blocks) *
           d->cur_comp_info[0]->height_in_blocks;
  return static_cast<long long>(d->MCUs_per_row) * d->MCU_rows_in_scan * d->blocks_in_MCU;
}

// Called as the decoder moves through the file; each new scan is charged
// in full before any of it is decoded.
void onProgress(j_common_ptr c) {
  if (!c->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(c);
  auto* p = reinterpret_cast<Progress*>(c->progress);
  if (d->input_scan_number == p->scan) return;
  p->scan = d->input_scan_number;
  p->cost += blocksInScan(d) * (d->Ah > 0 ? kRefinementCost : 1);
  if (p->scan > kMaxScans || p->cost > kMaxScanCost) stopDecode(c, JpegFailure::TooMuchWork);
}

// Everything a decode owns, released whichever way the decode ends. It lives
// outside the function that calls setjmp, so a longjmp skips no destructor.
struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  Progress progress{};
  std::vector<unsigned char> bytes;  // the whole file
  std::vector<unsigned char> cmykRow;
  bool created = false;

  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

// Reads a regular file of at most kMaxFileBytes whole; never waits on a
// FIFO or opens a device.
JpegFailure readWholeFile(const std::string& path, std::vector<unsigned char>* bytes) {
  const int fd = openRegularFile(path, nullptr);
  if (fd < 0) return JpegFailure::NoFile;
  struct stat st {};
  JpegFailure why = JpegFailure::None;
  if (fstat(fd, &st) != 0) {
    why = JpegFailure::NoFile;
  } else if (st.st_size > kMaxFileBytes) {
    why = JpegFailure::TooLarge;
  } else {
    bytes->resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < bytes->size()) {
      const ssize_t r = ::read(fd, bytes->data() + got, bytes->size() - got);
      if (r <= 0) break;
      got += static_cast<size_t>(r);
    }
    // A file that shrank while read is cut short: decoding tells.
    bytes->resize(got);
  }
  ::close(fd);
  return why;
}

unsigned char inkProduct(unsigned a, unsigned b) {
  return static_cast<unsigned char>((a * b + 127) / 255);
}

// Adobe's CMYK files (and every YCCK one) store the inks inverted: 255 is no
// ink. Others store the ink itself.
void cmykToRgb(const unsigned char* cmyk, unsigned char* rgb, int width, bool inverted) {
  for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
    unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    rgb[0] = inkProduct(c, k);
    rgb[1] = inkProduct(m, k);
    rgb[2] = inkProduct(y, k);
  }
}

JpegFailure runDecode(Decoder& d, int boxWidth, int boxHeight, Picture* out, int* naturalWidth,
                      int* naturalHeight) {
  if (setjmp(d.err.escape)) return d.err.failure;

  jpeg_std_error(&d.err.pub);
  d.err.pub.error_exit = escapeDecode;
  d.err.pub.emit_message = onMessage;
  d.err.pub.output_message = silent;
  d.cinfo.err = &d.err.pub;
  d.created = true;
  jpeg_create_decompress(&d.cinfo);
  d.cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  d.progress.pub.progress_monitor = onProgress;
  d.cinfo.progress = &d.progress.pub;

  jpeg_mem_src(&d.cinfo, d.bytes.data(), static_cast<unsigned long>(d.bytes.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  const int width = static_cast<int>(d.cinfo.image_width);
  const int height = static_cast<int>(d.cinfo.image_height);
  if (naturalWidth) *naturalWidth = width;
  if (naturalHeight) *naturalHeight = height;
  if (static_cast<long long>(width) * height > kMaxJpegPixels) return JpegFailure::TooLarge;

  const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
  d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  d.cinfo.dct_method = JDCT_ISLOW;

  if (boxWidth > 0 && boxHeight > 0) {
    const PictureSize shown = fitInBox(width, height, boxWidth, boxHeight);
    static constexpr unsigned kReductions[] = {8, 4, 2};
    d.cinfo.scale_num = 1;
    d.cinfo.scale_denom = 1;
    for (unsigned denom : kReductions) {
      d.cinfo.scale_denom = denom;
      jpeg_calc_output_dimensions(&d.cinfo);
      if (static_cast<int>(d.cinfo.output_width) >= shown.width &&
          static_cast<int>(d.cinfo.output_height) >= shown.height)
        break;
      d.cinfo.scale_denom = 1;
    }
  }

  jpeg_start_decompress(&d.cinfo);
  const int outW = static_cast<int>(d.cinfo.output_width);
  const int outH = static_cast<int>(d.cinfo.output_height);
  out->width = outW;
  out->height = outH;
  out->rgb.assign(static_cast<size_t>(outW) * outH * 3, 0);
  if (cmyk) d.cmykRow.resize(static_cast<size_t>(outW) * 4);

  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    unsigned char* dst = out->rgb.data() + static_cast<size_t>(d.cinfo.output_scanline) * outW * 3;
    JSAMPROW row = cmyk ? d.cmykRow.data() : dst;
    if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1) return JpegFailure::Damaged;
    if (cmyk) cmykToRgb(d.cmykRow.data(), dst, outW, d.cinfo.saw_Adobe_marker);
  }
  // Every pixel is in; the destructor releases the decompressor without
  // reading the rest of the file.
  return JpegFailure::None;
}

}  // namespace

bool decodeJpeg(const std::string& path, int boxWidth, int boxHeight, Picture* out,
                int* naturalWidth, int* naturalHeight, JpegFailure* why) {
  *out = Picture{};
  if (naturalWidth) *naturalWidth = 0;
  if (naturalHeight) *naturalHeight = 0;
  JpegFailure failure = JpegFailure::None;
  try {
    Decoder d;
    failure = readWholeFile(path, &d.bytes);
    if (failure == JpegFailure::None)
      failure = runDecode(d, boxWidth, boxHeight, out, naturalWidth, naturalHeight);
  } catch (const std::bad_alloc&) {
    failure = JpegFailure::TooLarge;
  }
  if (why) *why = failure;
  if (failure != JpegFailure::None) {
    *out = Picture{};
    if (naturalWidth) *naturalWidth = 0;
    if (naturalHeight) *naturalHeight = 0;
  }
  return failure == JpegFailure::None;
}

bool jpegDecodes(const std::string& bytes) {
  try {
    Decoder d;
    d.bytes.assign(bytes.begin(), bytes.end());
    Picture p;
    // The smallest scale still runs through every byte of the scans.
    return runDecode(d, 1, 1, &p, nullptr, nullptr) == JpegFailure::None;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace kx

#include "ui/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include <sys/stat.h>

#include <jpeglib.h>
#include <jerror.h>

namespace kx::ui {

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
// as an error).
constexpr long kMaxDecoderMemory = 512L << 20;
// Real progressive files have about ten scans; thousands of tiny ones are a
// way to make a small file take minutes to decode.
constexpr int kMaxScans = 500;
// The whole file is read into memory: libjpeg's fast Huffman path runs only
// while plenty of input is buffered, and a reduced-scale decode is nearly all
// Huffman decoding. No camera writes a photo anywhere near this size.
constexpr long long kMaxFileBytes = 256LL << 20;

struct ErrorManager {
  jpeg_error_mgr pub;  // first member: libjpeg only sees this part
  std::jmp_buf escape;
};

// Replaces libjpeg's error exit, which would print and end the process.
[[noreturn]] void escapeDecode(j_common_ptr c) {
  std::longjmp(reinterpret_cast<ErrorManager*>(c->err)->escape, 1);
}

void silent(j_common_ptr) {}

// Warnings stay silent and are tolerated (stray bytes between markers are
// common in camera files), except that the data ended too soon: libjpeg
// would fill the rest grey, and a half-grey photo is not the photo.
void onMessage(j_common_ptr c, int level) {
  if (level < 0 && c->err->msg_code == JWRN_JPEG_EOF) escapeDecode(c);
}

void onProgress(j_common_ptr c) {
  if (c->is_decompressor && reinterpret_cast<j_decompress_ptr>(c)->input_scan_number > kMaxScans)
    escapeDecode(c);
}

// Everything a decode owns, released whichever way the decode ends. It lives
// outside the function that calls setjmp, so a longjmp skips no destructor.
struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};
  std::vector<unsigned char> bytes;  // the whole file
  std::vector<unsigned char> cmykRow;
  bool created = false;

  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

// Reads a regular file of at most kMaxFileBytes whole.
bool readWholeFile(const std::string& path, std::vector<unsigned char>* bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  struct stat st {};
  bool ok = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxFileBytes;
  if (ok) {
    bytes->resize(static_cast<size_t>(st.st_size));
    ok = std::fread(bytes->data(), 1, bytes->size(), f) == bytes->size();
  }
  std::fclose(f);
  return ok;
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

bool runDecode(Decoder& d, int boxWidth, int boxHeight, Picture* out, int* naturalWidth,
               int* naturalHeight) {
  if (setjmp(d.err.escape)) return false;

  jpeg_std_error(&d.err.pub);
  d.err.pub.error_exit = escapeDecode;
  d.err.pub.emit_message = onMessage;
  d.err.pub.output_message = silent;
  d.cinfo.err = &d.err.pub;
  d.created = true;
  jpeg_create_decompress(&d.cinfo);
  d.cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  d.progress.progress_monitor = onProgress;
  d.cinfo.progress = &d.progress;

  jpeg_mem_src(&d.cinfo, d.bytes.data(), static_cast<unsigned long>(d.bytes.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  const int width = static_cast<int>(d.cinfo.image_width);
  const int height = static_cast<int>(d.cinfo.image_height);
  if (naturalWidth) *naturalWidth = width;
  if (naturalHeight) *naturalHeight = height;
  if (static_cast<long long>(width) * height > kMaxJpegPixels) return false;

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
    if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1) return false;
    if (cmyk) cmykToRgb(d.cmykRow.data(), dst, outW, d.cinfo.saw_Adobe_marker);
  }
  // Every pixel is in; the destructor releases the decompressor without
  // reading the rest of the file.
  return true;
}

}  // namespace

bool decodeJpeg(const std::string& path, int boxWidth, int boxHeight, Picture* out,
                int* naturalWidth, int* naturalHeight) {
  *out = Picture{};
  if (naturalWidth) *naturalWidth = 0;
  if (naturalHeight) *naturalHeight = 0;
  bool ok = false;
  try {
    Decoder d;
    if (readWholeFile(path, &d.bytes))
      ok = runDecode(d, boxWidth, boxHeight, out, naturalWidth, naturalHeight);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (!ok) {
    *out = Picture{};
    if (naturalWidth) *naturalWidth = 0;
    if (naturalHeight) *naturalHeight = 0;
  }
  return ok;
}

}  // namespace kx::ui

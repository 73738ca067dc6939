// Fixed-width byte-string routines on zero-terminated Shift-JIS text. They
// never allocate; widths are byte counts and cuts may split a double-byte
// character, which callers rely on.
#pragma once

#include <cstddef>

namespace kx {

// Copies up to n bytes, zero-fills the rest of the n bytes, dst[n] = 0.
char* fixedCopy(char* dst, const char* src, int n);
// As fixedCopy, but fills with spaces: exactly n bytes.
char* paddedCopy(char* dst, const char* src, int n);
// paddedCopy of src at dst's terminator: dst grows by exactly n bytes.
char* paddedAppend(char* dst, const char* src, int n);
char* removeLineFeeds(char* s);
char* removeSpaces(char* s);          // half-width spaces only
char* leftAlignInWidth(char* s);      // leading spaces moved to the end
char* fullToHalfSpaces(char* s);      // 0x81 0x40 -> one space, byte by byte
// Family and given name: bytes before the first space, and after it with
// spaces dropped; commas dropped everywhere.
void splitAtFirstSpace(const char* src, char* first, char* second);
// The same over exactly n bytes of src, NUL bytes included: first and second
// (room for n bytes each, no terminator written) receive *firstLen and
// *secondLen bytes.
void splitAtFirstSpace(const char* src, std::size_t n, char* first, std::size_t* firstLen,
                       char* second, std::size_t* secondLen);
// Comma-separated items with double quotes. items[k] has room for itemSize
// bytes with the terminator; a longer item is cut there. Returns the count.
int splitItems(int n, const char* text, char* const* items, int itemSize);
// The value rounded, magnitude's last w digits with leading zeros.
char* zeroPadded(int w, double value, char* dst);

}  // namespace kx

// What the two list windows show and where they page to. No Qt: the lines
// are Shift-JIS bytes cut by bytes, the positions plain integers.
#pragma once

#include <string>

#include "store/model.h"

namespace kx {

constexpr int kListLines = 20;
constexpr int kNameLineWidth = 86;
constexpr int kCompanyLineWidth = 99;
constexpr int kBlankLineWidth = 30;
constexpr int kJumpTextMax = 99;  // bytes of the typed jump text that are used

// Line of name position p: kana key (14), space, kanji name (20), space,
// kanji company (50). Past the last index: 30 spaces.
std::string nameLine(const Store& s, int p);
// Line of company position p: kana company key (25), space, kanji company
// (30), space, kanji name (42). Past the last index: 30 spaces.
std::string companyLine(const Store& s, int p);
std::string listLine(const Store& s, ListOrder order, int p);

// Where a list opens: the first key not beginning with a space; with 21 or
// more entries never past last index - 20, otherwise at most last index + 1.
int firstListPosition(const Store& s, ListOrder order);

// Paging rules; each takes the list position and returns the new one.
int nextPagePosition(int pos, int lastIndex);
int backPagePosition(int pos, int lastIndex);
int bottomPagePosition(int pos, int lastIndex);

// Binary search for the first of n sorted keys (slots of width+1 bytes) that
// begins with the first len bytes of text, comparing bytes unsigned and never
// past a key's terminator. Returns its 1-based position, or -1.
int prefixJumpSearch(const char* text, int len, const char* keys, int width, int n);

// The jump of a list: text cut to kJumpTextMax bytes, searched over the keys
// of the list's order. 1-based position or -1.
int jumpSearch(const Store& s, ListOrder order, const std::string& text);

}  // namespace kx

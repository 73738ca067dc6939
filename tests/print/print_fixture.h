// Entries of a store on disk for the print tests, and the glyphs of a page
// looked up by character.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "print/page.h"
#include "print/unicode_text.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace kx::printtest {

using namespace fixture;

// A person (sex M), or an organisation with sex "G", written in UTF-8.
inline TestEntry person(const char8_t* kana, const char8_t* name, const char8_t* zip,
                        const char8_t* address, std::string sex = "M") {
  TestEntry e = named(sjisText(kana), "", sjisText(name));
  e.fields[Zip] = sjisText(zip);
  e.fields[Address] = sjisText(address);
  e.fields[Sex] = sex;
  return e;
}

inline void set(TestEntry& e, Field f, const char8_t* text) { e.fields[f] = sjisText(text); }

class StoreOnDisk {
 public:
  explicit StoreOnDisk(const std::vector<TestEntry>& entries) : store(makeStore()) {
    writeFiles(dir, storeFiles(entries));
    VectorSink sink;
    if (!loadStore(*store, dir.path, sink)) ADD_FAILURE() << "store did not load";
  }
  TempDir dir;
  std::unique_ptr<Store> store;
};

inline std::u32string u32(const char8_t* text) {
  return print::fromUtf8(reinterpret_cast<const char*>(text));
}

// The glyphs of a page in the order set, as text.
inline std::u32string textOf(const std::vector<print::Glyph>& glyphs) {
  std::u32string t;
  for (const auto& g : glyphs) t += g.ch;
  return t;
}

inline const print::Glyph* find(const std::vector<print::Glyph>& glyphs, char32_t c) {
  for (const auto& g : glyphs)
    if (g.ch == c) return &g;
  return nullptr;
}

}  // namespace kx::printtest

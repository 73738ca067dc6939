// Which reading to give one part of a personal name (its family or its given
// name) among the dictionary entries that spell the whole part. No MeCab.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kx {

enum class NamePart { Family, Given };

// An entry of the analyser's dictionary for the whole part: its features
// (part of speech first, comma-separated), its katakana reading, and its
// word cost (lower is likelier).
struct NameEntry {
  std::string_view feature;
  std::string_view reading;
  int cost = 0;
};

// How much likelier (in word cost) the first reading must be than the next
// one of the same kind for a part to be read. Measured on real names: a
// wider margin withholds more right readings than wrong ones.
inline constexpr int kClearMargin = 50;

// The entries of the kind that fits the part best decide: for a family
// name its family-name entries, for a given name its given-name entries,
// then person names of either kind, then other proper nouns (a family is
// often named after a place). Among them one reading is given when it is
// the only one or the likeliest by the margin; otherwise (readings the
// dictionary holds equally likely) nothing rather than a guess.
std::optional<std::string> chooseNameReading(std::span<const NameEntry> entries, NamePart part,
                                             int margin = kClearMargin);

}  // namespace kx

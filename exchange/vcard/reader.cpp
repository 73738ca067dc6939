#include "exchange/vcard/reader.h"

#include <array>
#include <cstring>

#include "exchange/vcard/text.h"

namespace kx::vcard {

namespace {

bool isBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// A line that is a card boundary: "BEGIN:VCARD" / "END:VCARD", any case,
// trailing blanks allowed.
bool isBoundary(std::string_view line, std::string_view word) {
  if (line.empty() || (line[0] | 0x20) != (word[0] | 0x20)) return false;
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line.size() == word.size() + 6 && equalsNoCase(line.substr(0, word.size()), word) &&
         equalsNoCase(line.substr(word.size()), ":VCARD");
}

// The name and parameters of a line: everything before its first colon
// outside double quotes.
std::size_t colonOf(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || line.substr(0, colon).find('"') == std::string_view::npos)
    return colon;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    else if (line[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

bool isBase64Line(std::string_view line) {
  if (line.empty()) return false;
  for (const char c : line) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '+' || c == '/' || c == '=';
    if (!ok) return false;
  }
  return true;
}

// Names and parameters are short: a first ';' further in than this is
// not taken for the end of a name.
constexpr std::size_t kHeadLimit = 4096;

// The bytes that end a stretch of a line's name and parameters.
constexpr std::array<bool, 256> kHeadStop = [] {
  std::array<bool, 256> t{};
  t[':'] = t[';'] = t['"'] = true;
  return t;
}();

// The first colon outside double quotes, and the first semicolon outside
// them before it. Names and parameters are a few bytes: one walk over
// them costs less than a library search for each of the three.
void headOf(std::string_view line, std::size_t* colon, std::size_t* semi) {
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t n = line.size();
  *colon = *semi = std::string_view::npos;
  bool quoted = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (!kHeadStop[p[i]]) continue;
    if (p[i] == '"') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (p[i] == ':') {
      *colon = i;
      break;
    } else if (*semi == std::string_view::npos) {
      *semi = i;
    }
  }
  if (*colon == std::string_view::npos || *semi >= kHeadLimit) *semi = std::string_view::npos;
}

}  // namespace

CardReader::CardReader(std::string_view bytes) : bytes_(bytes) {
  if (bytes_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

// The physical line at pos_ without its line end, and where the next
// one starts. False at the end of the bytes.
bool CardReader::physical(std::string_view* text, std::size_t* after) {
  if (pos_ >= bytes_.size()) return false;
  if (peekPos_ == pos_) {
    *text = peekText_;
    *after = peekAfter_;
    return true;
  }
  const char* start = bytes_.data() + pos_;
  const std::size_t avail = bytes_.size() - pos_;
  const auto* lf = static_cast<const char*>(std::memchr(start, '\n', avail));
  std::size_t len = lf ? static_cast<std::size_t>(lf - start) : avail;
  const std::size_t next = pos_ + len + (lf ? 1 : 0);
  // Older phones end lines with CR CR LF: every CR before the LF goes.
  while (len > 0 && start[len - 1] == '\r') --len;
  // Stored from registers: a view read back right after its two halves
  // were stored waits for them.
  const std::string_view t(start, len);
  *text = t;
  *after = next;
  peekPos_ = pos_;
  peekText_ = t;
  peekAfter_ = next;
  return true;
}

// The next logical line: a physical line with the continuations that
// belong to it. False at the end, or on a line too long (problem_ set).
// Built in *line, not copied there.
bool CardReader::logical(Line* line, int* startLine) {
  std::size_t after = 0;
  std::string_view first;
  if (!physical(&first, &after)) return false;
  pos_ = after;
  *startLine = ++lineNo_;
  if (first.size() > kMaxLineBytes) {
    fail("\x8D\x73\x82\xAA\x92\xB7\x82\xB7\x82\xAC\x82\xDC\x82\xB7", *startLine);  // "行が長すぎます"
    return false;
  }
  std::size_t colon = 0, semi = 0;
  headOf(first, &colon, &semi);
  line->text = first;
  line->colon = colon;
  line->semi = semi;
  // Whether quoted-printable or base64 lines may follow, found out only
  // when the next line could be one.
  int encoding = semi == std::string_view::npos ? 0 : -1;
  auto enc = [&] {
    if (encoding < 0) encoding = static_cast<int>(encodingOf(first.substr(semi, colon - semi)));
    return static_cast<Encoding>(encoding);
  };
  std::string* joined = nullptr;
  std::string_view current = first;
  auto append = [&](std::string_view piece) {
    if (joined == nullptr) joined = &joined_.emplace_back(current);
    joined->append(piece);
    current = *joined;
  };
  for (;;) {
    // Most lines stand alone: the next one neither continues a fold, nor a
    // soft line break, nor (after a base64 value) the value; known without
    // looking at the whole next line.
    if (pos_ >= bytes_.size()) break;
    const char lead = bytes_[pos_];
    const bool mayContinue = lead == ' ' || lead == '\t' ||
                             (!current.empty() && current.back() == '=') || encoding != 0;
    if (!mayContinue) break;
    std::string_view t;
    if (!physical(&t, &after)) break;
    if (!current.empty() && current.back() == '=' && enc() == Encoding::QuotedPrintable) {
      // A soft line break: the "=" and the line end are not part of the value.
      if (joined == nullptr) joined = &joined_.emplace_back(current);
      joined->pop_back();
      current = *joined;
      append(t);
    } else if (!t.empty() && (t[0] == ' ' || t[0] == '\t')) {
      append(t.substr(1));
    } else if (encoding != 0 && isBase64Line(t) && enc() == Encoding::Base64) {
      append(t);  // vCard 2.1 writers often leave base64 lines unindented
    } else {
      break;
    }
    pos_ = after;
    ++lineNo_;
    if (current.size() > kMaxLineBytes) {
      fail("\x8D\x73\x82\xAA\x92\xB7\x82\xB7\x82\xAC\x82\xDC\x82\xB7", *startLine);  // "行が長すぎます"
      return false;
    }
  }
  if (joined != nullptr) {
    // The name and parameters may themselves have been folded.
    line->text = current;
    line->colon = colonOf(current);
    line->semi = current.substr(0, line->colon).find(';');
  }
  return true;
}

CardReader::Result CardReader::fail(const char* problem, int line) {
  problem_ = problem;
  problemLine_ = line;
  return Result::Error;
}

CardReader::Result CardReader::next(std::vector<Property>& card) {
  card.clear();
  joined_.clear();
  if (problem_) return Result::Error;
  Line line;
  int at = 0;
  // Up to the card's BEGIN: blank lines only.
  for (;;) {
    if (!logical(&line, &at)) {
      if (problem_) return Result::Error;
      // "BEGIN:VCARDがありません"
      if (cards_ == 0) return fail("BEGIN:VCARD\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1", lineNo_ == 0 ? 1 : lineNo_);
      return Result::End;
    }
    if (isBoundary(line.text, "BEGIN")) break;
    if (isBlank(line.text)) continue;
    // "BEGIN:VCARDがありません" "カードの外に行があります"
    return fail(cards_ == 0 ? "BEGIN:VCARD\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1" : "\x83\x4A\x81\x5B\x83\x68\x82\xCC\x8A\x4F\x82\xC9\x8D\x73\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7", at);
  }
  ++cards_;
  cardLine_ = at;
  for (;;) {
    if (!logical(&line, &at)) {
      if (problem_) return Result::Error;
      // "END:VCARDがありません"
      return fail("END:VCARD\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1", cardLine_);
    }
    // Its halves read one by one, as logical() stored them.
    const std::string_view text(line.text.data(), line.text.size());
    // A boundary's colon follows its word: other lines are not looked at.
    if (line.colon == 3 && isBoundary(text, "END")) return Result::Card;
    // "END:VCARDがないまま次のカードが始まります"
    if (line.colon == 5 && isBoundary(text, "BEGIN")) return fail("END:VCARD\x82\xAA\x82\xC8\x82\xA2\x82\xDC\x82\xDC\x8E\x9F\x82\xCC\x83\x4A\x81\x5B\x83\x68\x82\xAA\x8E\x6E\x82\xDC\x82\xE8\x82\xDC\x82\xB7", at);
    if (line.colon == std::string_view::npos) {
      if (isBlank(text)) continue;
      // "「:」のない行です"
      return fail("\x81\x75:\x81\x76\x82\xCC\x82\xC8\x82\xA2\x8D\x73\x82\xC5\x82\xB7", at);
    }
    std::string_view head = text.substr(0, line.colon), params;
    if (line.semi != std::string_view::npos) {
      params = head.substr(line.semi + 1);
      head = head.substr(0, line.semi);
    }
    const std::size_t dot = head.find('.');  // a name has none; a group ends with one
    const std::string_view name = dot == std::string_view::npos ? head : head.substr(dot + 1);
    // "プロパティ名のない行です"
    if (name.empty()) return fail("\x83\x76\x83\x8D\x83\x70\x83\x65\x83\x42\x96\xBC\x82\xCC\x82\xC8\x82\xA2\x8D\x73\x82\xC5\x82\xB7", at);
    // Built in its place: a copy of the whole would wait on these stores.
    Property& p = card.emplace_back();
    p.line = at;
    p.value = text.substr(line.colon + 1);
    p.params = params;
    p.name = name;
    if (dot != std::string_view::npos) p.group = head.substr(0, dot);
  }
}

std::size_t paramEnd(std::string_view params, std::size_t from) {
  bool quoted = false;
  for (std::size_t i = from; i < params.size(); ++i) {
    if (params[i] == '"') quoted = !quoted;
    else if (params[i] == ';' && !quoted) return i;
  }
  return params.size();
}

Encoding encodingOf(std::string_view params) {
  Encoding e = Encoding::None;
  forEachParam(params, [&](const Param& p) {
    if (!p.name.empty() && !equalsNoCase(p.name, "ENCODING")) return true;
    if (equalsNoCase(p.value, "QUOTED-PRINTABLE")) e = Encoding::QuotedPrintable;
    else if (equalsNoCase(p.value, "BASE64") || equalsNoCase(p.value, "B")) e = Encoding::Base64;
    return e == Encoding::None;
  });
  return e;
}

}  // namespace kx::vcard

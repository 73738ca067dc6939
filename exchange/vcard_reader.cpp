#include "exchange/vcard_reader.h"

#include <cstring>

#include "exchange/vcard_text.h"

namespace kx::vcard {

namespace {

bool isBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// A line that is a card boundary: "BEGIN:VCARD" / "END:VCARD", any case,
// trailing blanks allowed.
bool isBoundary(std::string_view line, std::string_view word) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line.size() == word.size() + 6 && equalsNoCase(line.substr(0, word.size()), word) &&
         equalsNoCase(line.substr(word.size()), ":VCARD");
}

// The name and parameters of a line: everything before its first colon
// outside double quotes.
std::size_t colonOf(std::string_view line) {
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

}  // namespace

CardReader::CardReader(std::string_view bytes) : bytes_(bytes) {
  if (bytes_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

// The physical line at pos_ without its line end, and where the next one
// starts. False at the end of the bytes.
bool CardReader::physical(std::string_view* line, std::size_t* after) const {
  if (pos_ >= bytes_.size()) return false;
  const char* start = bytes_.data() + pos_;
  const std::size_t avail = bytes_.size() - pos_;
  const auto* lf = static_cast<const char*>(std::memchr(start, '\n', avail));
  std::size_t len = lf ? static_cast<std::size_t>(lf - start) : avail;
  *after = pos_ + len + (lf ? 1 : 0);
  if (len > 0 && start[len - 1] == '\r') --len;
  *line = std::string_view(start, len);
  return true;
}

// The next logical line: a physical line with the continuations that
// belong to it. False at the end, or on a line too long (problem_ set).
bool CardReader::logical(std::string_view* line, int* startLine) {
  std::string_view first;
  std::size_t after = 0;
  if (!physical(&first, &after)) return false;
  pos_ = after;
  *startLine = ++lineNo_;
  if (first.size() > kMaxLineBytes) {
    fail("行が長すぎます", *startLine);
    return false;
  }
  const std::size_t colon = colonOf(first);
  const std::string_view head = first.substr(0, colon == std::string_view::npos ? 0 : colon);
  const Encoding enc = encodingOf(head.substr(std::min(head.size(), head.find(';'))));
  std::string* joined = nullptr;
  std::string_view current = first;
  auto append = [&](std::string_view piece) {
    if (joined == nullptr) {
      joined = &joined_.emplace_back(current);
    }
    joined->append(piece);
    current = *joined;
  };
  for (;;) {
    std::string_view next;
    if (!physical(&next, &after)) break;
    if (enc == Encoding::QuotedPrintable && !current.empty() && current.back() == '=') {
      // A soft line break: the "=" and the line end are not part of the value.
      if (joined == nullptr) joined = &joined_.emplace_back(current);
      joined->pop_back();
      current = *joined;
      append(next);
    } else if (!next.empty() && (next[0] == ' ' || next[0] == '\t')) {
      append(next.substr(1));
    } else if (enc == Encoding::Base64 && isBase64Line(next)) {
      append(next);  // vCard 2.1 writers often leave base64 lines unindented
    } else {
      break;
    }
    pos_ = after;
    ++lineNo_;
    if (current.size() > kMaxLineBytes) {
      fail("行が長すぎます", *startLine);
      return false;
    }
  }
  *line = current;
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
  std::string_view line;
  int at = 0;
  // Up to the card's BEGIN: blank lines only.
  for (;;) {
    if (!logical(&line, &at)) {
      if (problem_) return Result::Error;
      if (cards_ == 0) return fail("BEGIN:VCARDがありません", lineNo_ == 0 ? 1 : lineNo_);
      return Result::End;
    }
    if (isBoundary(line, "BEGIN")) break;
    if (isBlank(line)) continue;
    return fail(cards_ == 0 ? "BEGIN:VCARDがありません" : "カードの外に行があります", at);
  }
  ++cards_;
  cardLine_ = at;
  for (;;) {
    if (!logical(&line, &at)) {
      if (problem_) return Result::Error;
      return fail("END:VCARDがありません", cardLine_);
    }
    if (isBoundary(line, "END")) return Result::Card;
    if (isBoundary(line, "BEGIN")) return fail("END:VCARDがないまま次のカードが始まります", at);
    if (isBlank(line)) continue;
    const std::size_t colon = colonOf(line);
    if (colon == std::string_view::npos) return fail("「:」のない行です", at);
    Property p;
    p.line = at;
    p.value = line.substr(colon + 1);
    std::string_view head = line.substr(0, colon);
    const std::size_t semi = head.find(';');
    if (semi != std::string_view::npos) {
      p.params = head.substr(semi + 1);
      head = head.substr(0, semi);
    }
    const std::size_t dot = head.rfind('.');
    p.name = dot == std::string_view::npos ? head : head.substr(dot + 1);
    if (p.name.empty()) return fail("プロパティ名のない行です", at);
    card.push_back(p);
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

std::string_view paramValue(std::string_view params, std::string_view name) {
  std::string_view found;
  forEachParam(params, [&](const Param& p) {
    if (!equalsNoCase(p.name, name)) return true;
    found = p.value;
    return false;
  });
  return found;
}

bool hasParam(std::string_view params, std::string_view name) {
  bool found = false;
  forEachParam(params, [&](const Param& p) {
    found = equalsNoCase(p.name, name);
    return !found;
  });
  return found;
}

bool hasType(std::string_view params, std::string_view type) {
  bool found = false;
  forEachParam(params, [&](const Param& p) {
    if (p.name.empty()) {
      found = equalsNoCase(p.value, type);
    } else if (equalsNoCase(p.name, "TYPE")) {
      std::string_view list = p.value;
      while (!found) {
        const std::size_t comma = list.find(',');
        found = equalsNoCase(list.substr(0, comma), type);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
      }
    }
    return !found;
  });
  return found;
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

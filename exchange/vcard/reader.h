// Reading vCard files: the bytes of a file cut into cards, each card into
// its properties, with folded lines, quoted-printable soft line breaks and
// vCard 2.1's unindented base64 lines joined. Refuses what is not a card
// file, saying at which line. No Qt.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kx::vcard {

// The longest logical line read; a photo of several megabytes fits.
constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;

// One property of a card. The views stay valid until the next card is read.
struct Property {
  std::string_view name;    // without its group ("item1.")
  std::string_view group;   // "item1", or empty: ties a label to its value
  std::string_view params;  // between the name's ';' and the ':'; empty when none
  std::string_view value;   // as written: still escaped, still encoded
  int line = 0;             // the physical line it starts on, from 1
};

class CardReader {
 public:
  // bytes must outlive the reader. A byte-order mark is skipped.
  explicit CardReader(std::string_view bytes);

  enum class Result { Card, End, Error };
  // The next card's properties, BEGIN and END left out. After Error,
  // problem() says what and problemLine() where.
  Result next(std::vector<Property>& card);

  int cardNumber() const { return cards_; }  // cards begun so far
  int cardLine() const { return cardLine_; }  // where the last one began
  const char* problem() const { return problem_; }
  int problemLine() const { return problemLine_; }

 private:
  // A logical line and where its name and parameters end.
  struct Line {
    std::string_view text;
    std::size_t colon = std::string_view::npos;  // the first ':' outside quotes
    std::size_t semi = std::string_view::npos;   // the first ';' before it
  };
  bool physical(std::string_view* text, std::size_t* after);
  bool logical(Line* line, int* startLine);
  Result fail(const char* problem, int line);

  std::string_view bytes_;
  std::size_t pos_ = 0;
  int lineNo_ = 0;  // physical lines consumed
  int cards_ = 0;
  int cardLine_ = 0;
  const char* problem_ = nullptr;
  int problemLine_ = 0;
  std::deque<std::string> joined_;  // logical lines that spanned several physical ones
  // The line last looked at ahead, so that it is not scanned twice.
  std::size_t peekPos_ = std::string_view::npos;
  std::string_view peekText_;
  std::size_t peekAfter_ = 0;
};

// The parameters of a property, in order. A parameter written without a
// name (vCard 2.1's ";HOME", ";QUOTED-PRINTABLE") has an empty name.
struct Param {
  std::string_view name;
  std::string_view value;  // quotes removed
};
// Calls fn(param) for each parameter until fn returns false.
template <class Fn>
void forEachParam(std::string_view params, Fn fn);

enum class Encoding { None, QuotedPrintable, Base64 };
Encoding encodingOf(std::string_view params);

// -- implementation of the template --

std::size_t paramEnd(std::string_view params, std::size_t from);

template <class Fn>
void forEachParam(std::string_view params, Fn fn) {
  std::size_t at = 0;
  while (at < params.size()) {
    const std::size_t end = paramEnd(params, at);
    std::string_view p = params.substr(at, end - at);
    Param param;
    const std::size_t eq = p.find('=');
    if (eq == std::string_view::npos) {
      param.value = p;
    } else {
      param.name = p.substr(0, eq);
      param.value = p.substr(eq + 1);
    }
    if (param.value.size() >= 2 && param.value.front() == '"' && param.value.back() == '"')
      param.value = param.value.substr(1, param.value.size() - 2);
    if (!p.empty() && !fn(param)) return;
    at = end + 1;
  }
}

}  // namespace kx::vcard

#include "ui_test_support.h"

#include <iconv.h>

#include <bit>
#include <cstdlib>
#include <stdexcept>

#include <QApplication>
#include <gtest/gtest.h>

namespace kx::test {

namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out(in.size() * 4 + 8, '\0');
  char* inp = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outp = out.data();
  size_t outLeft = out.size();
  const size_t r = in.empty() ? 0 : iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

// One QApplication for the whole test program, on the offscreen platform
// unless the environment names another.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = new QApplication(argc_, argv_);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  int argc_ = 1;
  char name_[8] = "test_ui";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

std::optional<QString> referenceDecode(std::string_view sjis) {
  auto u = convert(kUtf16, "CP932", sjis);
  if (!u) return std::nullopt;
  return QString(reinterpret_cast<const QChar*>(u->data()), static_cast<qsizetype>(u->size() / 2));
}

std::optional<std::string> referenceEncode(const QString& text) {
  return convert("CP932", kUtf16,
                 std::string_view(reinterpret_cast<const char*>(text.utf16()),
                                  static_cast<size_t>(text.size()) * 2));
}

std::string sjis(std::u8string_view utf8) {
  auto s = convert("CP932", "UTF-8",
                   std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
  if (!s) throw std::invalid_argument("test text not in CP932");
  return *s;
}

}  // namespace kx::test

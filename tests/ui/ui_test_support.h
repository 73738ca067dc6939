// Shared by the ui tests: one QApplication on the offscreen platform, and a
// reference Shift-JIS conversion straight from iconv, independent of ui/.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace kx::test {

// iconv's own CP932 decoding; nullopt when any byte is refused.
std::optional<QString> referenceDecode(std::string_view sjis);
// iconv's own CP932 encoding; nullopt when any character is refused.
std::optional<std::string> referenceEncode(const QString& text);

// Test sources include Qt and so are compiled with a UTF-8 execution
// charset: Japanese texts are written u8"..." and turned into Shift-JIS here.
std::string sjis(std::u8string_view utf8);

inline QString U(std::u16string_view s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace kx::test

#include "exchange/csv_lists.h"

#include <cstring>

#include "exchange/import_support.h"
#include "store/atomic_files.h"
#include "store/store_files.h"

namespace kx {

namespace {

// "ｶﾅ,氏名,会社,所属,肩書き,電話,携帯,住所\r\n"
constexpr const char* kNameOrderHeader = "\xB6\xC5,\x8E\x81\x96\xBC,\x89\xEF\x8E\xD0,\x8F\x8A\x91\xAE,\x8C\xA8\x8F\x91\x82\xAB,\x93\x64\x98\x62,\x8C\x67\x91\xD1,\x8F\x5A\x8F\x8A\r\n";
// "ｶﾅ,会社名,氏名,所属,肩書き,電話,携帯,住所\r\n"
constexpr const char* kCompanyOrderHeader = "\xB6\xC5,\x89\xEF\x8E\xD0\x96\xBC,\x8E\x81\x96\xBC,\x8F\x8A\x91\xAE,\x8C\xA8\x8F\x91\x82\xAB,\x93\x64\x98\x62,\x8C\x67\x91\xD1,\x8F\x5A\x8F\x8A\r\n";

// Appends one value as stored, commas removed.
void appendValue(std::string& out, const char* slot, int width) {
  char value[kFieldWidth[SearchKeys] + 1];  // wider than any column
  const std::size_t n = strnlen(slot, static_cast<std::size_t>(width));
  std::memcpy(value, slot, n);
  value[n] = '\0';
  out.append(removeByte(value, ','));
}

// One row: the key of that order, then the six fields after it.
void appendRow(std::string& out, const char* key, int keyWidth, const Store& s, int e, Field second,
               Field third) {
  appendValue(out, key, keyWidth);
  const Field rest[] = {second, third, Division, Title, OfficePhone, MobilePhone, Address};
  for (Field f : rest) {
    out += ',';
    appendValue(out, s.field(e, f), kFieldWidth[f]);
  }
  out.append("\r\n", 2);
}

void appendNameOrderRow(std::string& out, const Store& s, int p) {
  appendRow(out, s.names.key[p], kNameKeyWidth, s, s.names.index[p], KanjiName, KanjiCompany);
}

bool writeList(const Store& s, const std::string& dir, const char* name, std::string bytes,
               MessageSink& sink) {
  // A copy without the folder's lock writes nothing there.
  if (refuseIfNotWriter(s, sink)) return false;
  if (replaceFiles(*s.fs, dir, {{name, std::move(bytes)}}).happened()) return true;
  sink.show(std::string(name) + " open error");
  return false;
}

}  // namespace

char* removeByte(char* text, char byte) {
  char* out = text;
  for (const char* in = text; *in != '\0'; ++in)
    if (*in != byte) *out++ = *in;
  *out = '\0';
  return text;
}

int writeNameList(const Store& s, const std::string& dir, MessageSink& sink) {
  std::string out = kNameOrderHeader;
  for (int p = 0; p <= s.lastIndex; ++p) appendNameOrderRow(out, s, p);
  if (!writeList(s, dir, kNameListFile, std::move(out), sink)) return 1;
  sink.show("output=korvelix1.csv");
  return 0;
}

int writeCompanyList(const Store& s, const std::string& dir, MessageSink& sink) {
  std::string out = kCompanyOrderHeader;
  for (int p = 0; p <= s.lastIndex; ++p)
    appendRow(out, s.companies.key[p], kCompanyKeyWidth, s, s.companies.index[p], KanjiCompany,
              KanjiName);
  if (!writeList(s, dir, kCompanyListFile, std::move(out), sink)) return 1;
  sink.show("output=korvelix2.csv");
  return 0;
}

int writeSelectedList(const Store& s, const std::string& dir, MessageSink& sink) {
  std::string out = kNameOrderHeader;
  int rows = 0;
  for (int p = 0; p <= s.lastIndex; ++p) {
    if (std::strcmp(s.field(s.names.index[p], SelectFlag), "1") != 0) continue;
    appendNameOrderRow(out, s, p);
    ++rows;
  }
  if (!writeList(s, dir, kSelectedListFile, std::move(out), sink)) return 1;
  sink.show(detail::formatInts("korvelix3.csv records=%d", rows));
  return 0;
}

}  // namespace kx

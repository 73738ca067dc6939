// vCard export, and export then import from the command line: a store that
// fills every field to its width comes back byte for byte.
#include <algorithm>
#include <sstream>

#include "exchange/vcard/vcard.h"
#include "exchange/vcard/cli.h"
#include "store/uids.h"
#include "store/store_lock.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;

std::string u8(std::u8string_view s) { return {s.begin(), s.end()}; }

// Repeats the pieces up to exactly width bytes: the last piece may be cut
// in the middle of a double-byte character.
std::string fill(int width, std::initializer_list<const char*> pieces) {
  std::string out;
  while (out.size() < static_cast<std::size_t>(width))
    for (const char* p : pieces) out += p;
  return out.substr(0, static_cast<std::size_t>(width));
}

// Every field at its width, with what a card has trouble carrying: double-
// byte characters cut at the width, commas, semicolons, backslashes, kana
// with voiced marks and the middle dot.
TestEntry fullEntry() {
  // "ｶﾞｯｺｳ･ﾊﾟﾝ ｳﾞｨｰ" "ｶﾌﾞｼｷｶﾞｲｼｬ"
  TestEntry e{fill(42, {"\xB6\xDE\xAF\xBA\xB3\xA5\xCA\xDF\xDD \xB3\xDE\xA8\xB0"}), fill(50, {"\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC"}), {}};
  // "山田 " "漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢"
  e.fields = {{KanjiName, fill(42, {"\x8E\x52\x93\x63 ", "\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF"})},
              // "株式会社,青;"
              {KanjiCompany, fill(50, {"\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0,\x90\xC2;", "\\"})},
              {Alias, fill(10, {"\xC0\xDB", "\x95\xCA"})},  // "ﾀﾛ" "別"
              {Sex, "M"},
              {Division, fill(50, {"\x89\x63\x8B\xC6", "a"})},  // "営業"
              {Title, fill(50, {"\x95\x94\x92\xB7\x91\xE3\x97\x9D", "x"})},  // "部長代理"
              {OfficePhone, "03-1234-5678 ext 999"},
              {HomePhone, fill(20, {"045-", "\x82\x4F"})},  // "０"
              {Zip, "100-0001"},
              // "東京都千代田区"
              {Address, fill(65, {"\x93\x8C\x8B\x9E\x93\x73\x90\xE7\x91\xE3\x93\x63\x8B\xE6", "1-1"})},
              {Remarks1, fill(74, {"\x88\xEA\x8D\x73\x96\xDA"})},  // "一行目"
              {Remarks2, fill(74, {"b", "\x93\xF1\x8D\x73\x96\xDA"})},  // "二行目"
              {Remarks3, fill(74, {"\x8E\x4F", ",;"})},  // "三"
              {Occupation, "A"},
              {Actuary, "2"},
              {PensionActuary, "3"},
              {Fax, fill(20, {"03-9999-0000"})},
              {UpdateDate, "20240315"},
              {SelectFlag, "1"},
              {Secret1, fill(74, {"\x94\xE9\x96\xA7"})},  // "秘密"
              {Secret2, "2"},
              {Secret3, "3"},
              {Secret4, "4"},
              {Secret5, "5"},
              {MobilePhone, "090-0000-1111"},
              {Email, fill(50, {"taro.yamada@example.jp"})},
              {SearchKeys, fill(110, {"k", "\x8C\x9F\x8D\xF5"})},  // "検索"
              {PersonalNumber, "0012"}};
  return e;
}

// What no standard property carries exactly: leading spaces, a key in
// full-width kana, a tab, one of a duplicate pair of codes, a date that is
// not one, a membership code that is blank.
TestEntry oddEntry() {
  TestEntry e{" \xC0\xDB\xB3", "\x83\x84\x83\x7D\x83\x5F", {}};  // " ﾀﾛｳ" "ヤマダ"
  e.fields = {{KanjiName, " \x91\xBE\x98\x59"},          {Division, "\xED\x40\xFA\x5C"},  // " 太郎"
              {Remarks1, "tab\there"},       {Remarks3, "\x8E\x4F\x8D\x73\x96\xDA"},  // "三行目"
              {UpdateDate, "2024AB01"},      {Actuary, " "},
              {PensionActuary, "0"},         {Occupation, " "},
              {Address, "a,b;c\\d"},         {PersonalNumber, "0000"}};
  return e;
}

TestEntry namesOnly(const std::string& kana, const std::string& kanji) {
  TestEntry e{kana, "\xBD\xBD\xDE\xB7\xBC\xAE\xB3\xBC\xDE", {}};  // "ｽｽﾞｷｼｮｳｼﾞ"
  e.fields = {{KanjiName, kanji}, {PersonalNumber, "0000"}, {UpdateDate, "20230101"},
              {Actuary, "0"}, {PensionActuary, "0"}, {Occupation, " "}};
  return e;
}

std::vector<TestEntry> roundTripStore() {
  // "ｽｽﾞｷ" "鈴木" "ｽｽﾞｷ" "鈴木"
  return {fullEntry(), oddEntry(), namesOnly("\xBD\xBD\xDE\xB7", "\x97\xE9\x96\xD8"), namesOnly("\xBD\xBD\xDE\xB7", "\x97\xE9\x96\xD8"),
          {"", "", {{PersonalNumber, "0000"}}}};
}

std::vector<TestEntry> withoutSecrets(std::vector<TestEntry> entries) {
  for (TestEntry& e : entries)
    for (int f = Secret1; f <= Secret5; ++f) e.fields.erase(f);
  return entries;
}

int command(const std::vector<std::string>& args, std::string* out = nullptr,
            std::string* err = nullptr) {
  std::ostringstream o, e;
  const int rc = runVcardCommand(args, o, e);
  if (out) *out = o.str();
  if (err) *err = e.str();
  return rc;
}

// Each entry as its data line and both keys, in entry order or sorted.
std::vector<std::string> entryImages(const Store& s) {
  std::vector<std::string> out;
  for (int e = 0; e <= s.lastIndex; ++e) {
    std::string line;
    for (int f = 0; f < kFieldCount; ++f) line += field(s, e, f);
    out.push_back(line + nameKeyOf(s, e) + companyKeyOf(s, e));
  }
  return out;
}

TEST(VcardRoundTrip, CommandLineExportThenImportGivesTheStoreBack) {
  TempDir src, cards, dst, dst2;
  const std::vector<TestEntry> entries = roundTripStore();
  writeFiles(src, storeFiles(entries));
  writeBytes(src.file("PSNL0012.JPG"), greyJpeg(24, 16));
  writeFiles(dst, {"", "", ""});
  writeFiles(dst2, {"", "", ""});

  std::string out, err;
  ASSERT_EQ(command({"--export-vcard", cards.file("all.vcf"), src.path}, &out, &err), 0) << err;
  EXPECT_EQ(out, u8(u8"5件のカードを書き出しました: ") + cards.file("all.vcf") + "\n");
  ASSERT_EQ(command({"--import-vcard", cards.file("all.vcf"), dst.path}, &out, &err), 0) << err;
  EXPECT_EQ(err, "");
  // A tab comes back as a space: no import lets a control character in.
  EXPECT_EQ(out, u8(u8"vCardから5件のカードを取り込みました。\n") +
                     u8(u8"制御文字を置き換えました: 1文字\n"));
  std::vector<TestEntry> back = withoutSecrets(entries);
  back[1].fields[Remarks1] = "tab here";
  // The command line exports no secrets: they come back blank.
  EXPECT_EQ(readFiles(dst), storeFiles(back));
  EXPECT_EQ(readBytes(dst.file("PSNL0012.JPG")), greyJpeg(24, 16));

  // One file per card: the same entries, in the order of the file names.
  ASSERT_EQ(command({"--export-vcard", cards.file("folder/"), src.path}), 0);
  ASSERT_EQ(command({"--import-vcard", cards.file("folder"), dst2.path}, &out, &err), 0) << err;
  std::vector<std::string> expected = entryImages(*loaded(dst)),
                           got = entryImages(*loaded(dst2));
  std::sort(expected.begin(), expected.end());
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, expected);
  EXPECT_EQ(readBytes(dst2.file("PSNL0012.JPG")), greyJpeg(24, 16));
}

TEST(VcardExport, FoldedLinesStableUidsAndWhatIsAskedFor) {
  TempDir d, cards;
  std::vector<TestEntry> entries = roundTripStore();
  writeFiles(d, storeFiles(entries));
  writeBytes(d.file("PSNL0012.JPG"), greyJpeg(64, 64));
  auto s = loaded(d);
  VectorSink sink;
  int written = 0;
  ASSERT_EQ(exportVcards(*s, d.path, cards.file("a.vcf"), {}, sink, &written), 0);
  EXPECT_EQ(written, 5);
  const std::string bytes = readBytes(cards.file("a.vcf"));

  // CR LF everywhere; at most 75 octets a line; no character split by a fold.
  std::vector<std::string> uids;
  int cardsSeen = 0, names = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    const std::string line = bytes.substr(at, end - at);
    at = end + 2;
    EXPECT_LE(line.size(), 75u) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const std::string piece = line[0] == ' ' ? line.substr(1) : line;
    EXPECT_FALSE(!piece.empty() && (static_cast<unsigned char>(piece[0]) & 0xC0) == 0x80)
        << "starts inside a character: " << line;
    if (line == "BEGIN:VCARD") ++cardsSeen;
    if (line.rfind("N:", 0) == 0 || line.rfind("N;", 0) == 0) ++names;
    if (line.rfind("UID:urn:uuid:", 0) == 0) uids.push_back(line.substr(13));
  }
  EXPECT_EQ(cardsSeen, 5);
  EXPECT_EQ(names, 5);
  std::vector<std::string> unique = uids;
  std::sort(unique.begin(), unique.end());
  EXPECT_EQ(std::unique(unique.begin(), unique.end()), unique.end()) << "equal entries, one UID each";
  // The reading in full-width katakana, every half-width form widened.
  EXPECT_NE(bytes.find(u8(u8"\r\nX-PHONETIC-LAST-NAME:ガッコウ・パン\r\n")), std::string::npos);
  EXPECT_NE(bytes.find(u8(u8"\r\nN;SORT-AS=\"ガッコウ・パン,ヴィー")), std::string::npos);
  EXPECT_EQ(bytes.find("X-KORVELIX-SECRET"), std::string::npos);

  // The same UIDs next time; the numbered entry's even under another name.
  s->field(0, KanjiName)[0] = 'X';
  ASSERT_EQ(exportVcards(*s, d.path, cards.file("b.vcf"), {}, sink), 0);
  const std::string again = readBytes(cards.file("b.vcf"));
  for (const std::string& uid : uids) EXPECT_NE(again.find(uid), std::string::npos);

  // Secrets only when asked; selected entries only when asked.
  VcardExportOptions o;
  o.secrets = true;
  o.selectedOnly = true;
  ASSERT_EQ(exportVcards(*s, d.path, cards.file("c.vcf"), o, sink, &written), 0);
  EXPECT_EQ(written, 1);
  const std::string selected = readBytes(cards.file("c.vcf"));
  EXPECT_NE(selected.find(uids[0]), std::string::npos);
  EXPECT_NE(selected.find("X-KORVELIX-SECRET-5:5\r\n"), std::string::npos);
  EXPECT_TRUE(sink.messages.empty());

  // Never in place of a store file.
  const auto before = folderImage(d);
  EXPECT_EQ(exportVcards(*s, d.path, d.file(kDataFile), {}, sink), 1);
  EXPECT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(folderImage(d), before);
  sink.messages.clear();

  // Nothing selected: nothing written, and the user told.
  s->field(0, SelectFlag)[0] = '0';
  EXPECT_EQ(exportVcards(*s, d.path, cards.file("d.vcf"), o, sink), 1);
  EXPECT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(readBytes(cards.file("d.vcf")), "<missing>");
}

TEST(VcardExport, RevisionOnlyForACalendarDate) {
  TempDir d, cards;
  std::vector<TestEntry> entries;
  for (const char* date : {"20240229", "20230229", "20230431", "00000101"})
    entries.push_back({"\xB1", "\xB2", {{UpdateDate, date}, {PersonalNumber, "0000"}}});  // "ｱ" "ｲ"
  writeFiles(d, storeFiles(entries));
  auto s = loaded(d);
  VectorSink sink;
  ASSERT_EQ(exportVcards(*s, d.path, cards.file("a.vcf"), {}, sink), 0);
  const std::string bytes = readBytes(cards.file("a.vcf"));
  const std::size_t rev = bytes.find("\r\nREV:");
  ASSERT_NE(rev, std::string::npos);
  EXPECT_EQ(bytes.substr(rev + 2, 22), "REV:20240229T000000Z\r\n");
  EXPECT_EQ(bytes.find("\r\nREV:", rev + 1), std::string::npos);
}

TEST(VcardUid, NameBasedUuidOfVersion5) {
  auto hex = [](const std::array<unsigned char, 20>& d) {
    std::string s;
    for (unsigned char b : d) s += "0123456789abcdef"[b >> 4], s += "0123456789abcdef"[b & 15];
    return s;
  };
  // Test vectors of FIPS 180: one block, and a message whose padding needs a second.
  EXPECT_EQ(hex(kx::sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(hex(kx::sha1("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  const std::string u = kx::nameUuid("number:0012");
  ASSERT_EQ(u.size(), 36u);
  EXPECT_EQ(u[14], '5');
  EXPECT_NE(std::string("89ab").find(u[19]), std::string::npos);
  EXPECT_NE(u, kx::nameUuid("number:0013"));
}

TEST(VcardCommandLine, ReadOnlyStoreAndBadArguments) {
  TempDir d, cards;
  writeFiles(d, storeFiles({namesOnly("\xB1", "\x88\xA2")}));  // "ｱ" "阿"
  writeBytes(cards.file("one.vcf"), "BEGIN:VCARD\r\nN:x;;;;\r\nEND:VCARD\r\n");
  writeBytes(d.file(kNameKeyFile), "");  // the key files disagree: read-only
  const Files before = readFiles(d);
  std::string out, err;
  EXPECT_EQ(command({"--import-vcard", cards.file("one.vcf"), d.path}, &out, &err), 1);
  EXPECT_EQ(out, "");
  EXPECT_NE(err.find(u8(u8"読み取り専用")), std::string::npos) << err;
  EXPECT_EQ(command({"--export-vcard", cards.file("x.vcf"), d.path}), 1);
  EXPECT_EQ(readFiles(d), before);
  EXPECT_EQ(readBytes(cards.file("x.vcf")), "<missing>");

  // Another copy of the program has the store open: an export elsewhere is
  // fine, an import is not.
  TempDir d2;
  writeFiles(d2, storeFiles({namesOnly("\xB1", "\x88\xA2")}));  // "ｱ" "阿"
  StoreLock other;
  ASSERT_EQ(other.acquire(d2.path), StoreLock::State::Held);
  const auto before2 = folderImage(d2);
  EXPECT_EQ(command({"--import-vcard", cards.file("one.vcf"), d2.path}, &out, &err), 1);
  EXPECT_NE(err, "");
  EXPECT_EQ(command({"--export-vcard", cards.file("y.vcf"), d2.path}, &out, &err), 0);
  EXPECT_EQ(err, "");
  EXPECT_EQ(folderImage(d2), before2);

  EXPECT_EQ(command({"--import-vcard"}), 2);
  EXPECT_EQ(command({"--import-vcard", "a", "b", "c"}), 2);
  EXPECT_EQ(command({"--import-vcard", "a", "--selected"}), 2);
  EXPECT_EQ(command({"--import-vcard", "a", cards.file("no-such-folder")}, &out, &err), 1);
}

}  // namespace
}  // namespace kx

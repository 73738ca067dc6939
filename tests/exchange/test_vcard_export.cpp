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
  TestEntry e{fill(42, {"ｶﾞｯｺｳ･ﾊﾟﾝ ｳﾞｨｰ"}), fill(50, {"ｶﾌﾞｼｷｶﾞｲｼｬ"}), {}};
  e.fields = {{KanjiName, fill(42, {"山田 ", "漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢"})},
              {KanjiCompany, fill(50, {"株式会社,青;", "\\"})},
              {Alias, fill(10, {"ﾀﾛ", "別"})},
              {Sex, "M"},
              {Division, fill(50, {"営業", "a"})},
              {Title, fill(50, {"部長代理", "x"})},
              {OfficePhone, "03-1234-5678 ext 999"},
              {HomePhone, fill(20, {"045-", "０"})},
              {Zip, "100-0001"},
              {Address, fill(65, {"東京都千代田区", "1-1"})},
              {Remarks1, fill(74, {"一行目"})},
              {Remarks2, fill(74, {"b", "二行目"})},
              {Remarks3, fill(74, {"三", ",;"})},
              {Occupation, "A"},
              {Actuary, "2"},
              {PensionActuary, "3"},
              {Fax, fill(20, {"03-9999-0000"})},
              {UpdateDate, "20240315"},
              {SelectFlag, "1"},
              {Secret1, fill(74, {"秘密"})},
              {Secret2, "2"},
              {Secret3, "3"},
              {Secret4, "4"},
              {Secret5, "5"},
              {MobilePhone, "090-0000-1111"},
              {Email, fill(50, {"taro.yamada@example.jp"})},
              {SearchKeys, fill(110, {"k", "検索"})},
              {PersonalNumber, "0012"}};
  return e;
}

// What no standard property carries exactly: leading spaces, a key in
// full-width kana, a tab, one of a duplicate pair of codes, a date that is
// not one, a membership code that is blank.
TestEntry oddEntry() {
  TestEntry e{" ﾀﾛｳ", "ヤマダ", {}};
  e.fields = {{KanjiName, " 太郎"},          {Division, "\xED\x40\xFA\x5C"},
              {Remarks1, "tab\there"},       {Remarks3, "三行目"},
              {UpdateDate, "2024AB01"},      {Actuary, " "},
              {PensionActuary, "0"},         {Occupation, " "},
              {Address, "a,b;c\\d"},         {PersonalNumber, "0000"}};
  return e;
}

TestEntry namesOnly(const std::string& kana, const std::string& kanji) {
  TestEntry e{kana, "ｽｽﾞｷｼｮｳｼﾞ", {}};
  e.fields = {{KanjiName, kanji}, {PersonalNumber, "0000"}, {UpdateDate, "20230101"},
              {Actuary, "0"}, {PensionActuary, "0"}, {Occupation, " "}};
  return e;
}

std::vector<TestEntry> roundTripStore() {
  return {fullEntry(), oddEntry(), namesOnly("ｽｽﾞｷ", "鈴木"), namesOnly("ｽｽﾞｷ", "鈴木"),
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
  writeFiles(d, storeFiles({namesOnly("ｱ", "阿")}));
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
  writeFiles(d2, storeFiles({namesOnly("ｱ", "阿")}));
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

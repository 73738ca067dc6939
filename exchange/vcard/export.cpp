#include <dirent.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <vector>

#include "store/sjis_unicode.h"
#include "exchange/vcard/vcard.h"
#include "exchange/vcard/card.h"
#include "exchange/vcard/files.h"
#include "exchange/vcard/uid.h"
#include "store/uids.h"
#include "store/atomic_files.h"
#include "store/person_files.h"
#include "store/store_files.h"
#include "store/whole_file.h"
#include "exchange/import_support.h"

namespace kx {

namespace {

// A photo larger than this stays out of the card: no reader takes a line
// of that length.
constexpr std::size_t kMaxExportPhoto = vcard::kMaxLineBytes / 4 * 3 - 64;

const char* const kReadOnlyMessage =
    // "ストアファイルに誤りがあるため読み取り専用です。vCardは書き出しません"
    "\x83\x58\x83\x67\x83\x41\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x8C\xEB\x82\xE8\x82\xAA\x82\xA0\x82\xE9\x82\xBD\x82\xDF\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC5\x82\xB7\x81\x42vCard\x82\xCD\x8F\x91\x82\xAB\x8F\x6F\x82\xB5\x82\xDC\x82\xB9\x82\xF1";

std::string sjisPath(const std::string& path) { return utf8ToSjis(path); }

// The names of the store folder's files, listed once rather than looked
// for entry by entry.
std::set<std::string> folderNames(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = ::opendir(dir.empty() ? "." : dir.c_str())) {
    while (const dirent* entry = ::readdir(d)) names.insert(entry->d_name);
    ::closedir(d);
  }
  return names;
}

// The entry's photo, when it has a number and its file is there.
bool readPhoto(const Store& s, int e, const std::string& dir, const std::set<std::string>& names,
               std::string& out, MessageSink& sink) {
  const std::string number = personalNumber(s, e);
  if (!hasPersonalNumber(number)) return false;
  const std::string name = photoFileName(number);
  if (!isPlainFileName(name) || names.count(name) == 0) return false;
  switch (vcard::readRegularFile(joinPath(dir, name), kMaxExportPhoto, out)) {
    case vcard::ReadResult::Ok: return true;
    case vcard::ReadResult::TooLarge:
      // "写真が大きすぎるため、カードに入れませんでした: "
      sink.show("\x8E\xCA\x90\x5E\x82\xAA\x91\xE5\x82\xAB\x82\xB7\x82\xAC\x82\xE9\x82\xBD\x82\xDF\x81\x41\x83\x4A\x81\x5B\x83\x68\x82\xC9\x93\xFC\x82\xEA\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD: " + name);
      return false;
    default: return false;  // no photo, as the view shows none
  }
}

// Puts the files in place in target, all or none. With the store's lock the
// rewrite is recorded in the store folder, so that the next start finishes
// or undoes it wherever it went; nothing else in target is looked at.
bool writeFiles(const Store& s, FileSystem& fs, const std::string& dir, const std::string& target,
                const std::vector<NewFile>& files, const std::string& shownPath,
                MessageSink& sink) {
  const bool locked =
      s.writeBlock == Store::WriteBlock::None || s.writeBlock == Store::WriteBlock::UnfinishedRewrite;
  int placed = 0;
  const ReplaceResult r = locked ? replaceFilesElsewhere(fs, dir, target, files, &placed)
                                 : replaceFiles(fs, target, files, false);
  const int all = static_cast<int>(files.size());
  if (!locked && r.state == Replaced::Committed && r.name.empty()) placed = all;
  // Every card in place is a success, even when the folder's flush failed.
  if (r.state == Replaced::Done || (r.state == Replaced::Committed && placed == all)) return true;
  std::string m = sjisText(u8"vCardを書き出せません: ") + sjisPath(shownPath);
  if (r.state == Replaced::Committed)
    m += detail::formatInts(
        sjisText(u8"\n%d件中%d件のカードを置き換えました。残りは次回の起動時に置き換えます").c_str(),
        all, placed);
  if (r.error != 0) m += "\n" + (r.name.empty() ? std::string() : sjisPath(r.name) + ": ") +
                         systemReason(r.error);
  sink.show(m);
  return false;
}

bool sameFolder(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a.empty() ? "." : a, b.empty() ? "." : b, ec);
}

}  // namespace

int exportVcards(const Store& s, const std::string& dir, const std::string& path,
                 const VcardExportOptions& options, MessageSink& sink, int* written) {
  if (written) *written = 0;
  // Store files that could not be loaded soundly may hold only part of the
  // store, and an export is what a sync tool takes for the whole address
  // book. A store that is read-only only because another copy of the
  // program holds it is whole: exported, though not into its own folder.
  if (s.readOnly && s.writeBlock == Store::WriteBlock::None) {
    sink.show(kReadOnlyMessage);
    return 1;
  }
  const std::string target =
      options.folder ? path : std::filesystem::path(path).parent_path().string();
  if (sameFolder(target, dir) && refuseIfNotWriter(s, sink)) return 1;
  // Tables filled without a load have no UIDs yet: theirs are derived as a
  // load derives them.
  std::vector<std::string> derived;
  for (int e = 0; e <= s.lastIndex && derived.empty(); ++e)
    if (uidOf(s, e).empty()) derived = derivedUids(s);
  const std::set<std::string> names = folderNames(dir);
  std::vector<NewFile> files;
  std::string all;
  std::string photo;
  int count = 0;
  for (int e = 0; e <= s.lastIndex; ++e) {
    if (options.selectedOnly && s.field(e, SelectFlag)[0] != '1') continue;
    vcard::CardExtras extras;
    extras.uid = derived.empty() ? std::string(uidOf(s, e)) : derived[static_cast<std::size_t>(e)];
    extras.secrets = options.secrets;
    extras.version = options.version;
    if (readPhoto(s, e, dir, names, photo, sink)) extras.photo = &photo;
    ++count;
    if (!options.folder) {
      vcard::appendCard(all, s, e, extras);
      continue;
    }
    NewFile f;
    f.name = vcard::cardFileName(extras.uid);
    vcard::appendCard(f.bytes, s, e, extras);
    files.push_back(std::move(f));
  }

  // An empty export is most likely a mistake (no entry selected), and a
  // sync tool would take an empty folder for every card deleted.
  if (count == 0) {
    // "選択されたエントリがありません。vCardは書き出しません"
    sink.show(options.selectedOnly ? "\x91\x49\x91\xF0\x82\xB3\x82\xEA\x82\xBD\x83\x47\x83\x93\x83\x67\x83\x8A\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42vCard\x82\xCD\x8F\x91\x82\xAB\x8F\x6F\x82\xB5\x82\xDC\x82\xB9\x82\xF1"
                                   // "エントリがありません。vCardは書き出しません"
                                   : "\x83\x47\x83\x93\x83\x67\x83\x8A\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42vCard\x82\xCD\x8F\x91\x82\xAB\x8F\x6F\x82\xB5\x82\xDC\x82\xB9\x82\xF1");
    return 1;
  }
  if (options.folder) {
    std::error_code ec;
    const bool existed = vcard::isDirectory(path);
    std::filesystem::create_directories(path, ec);
    if (!vcard::isDirectory(path)) {
      sink.show(sjisText(u8"フォルダを作れません: ") + sjisPath(path) + "\n" + systemReason(ec.value()));
      return 1;
    }
    vcard::FlushTogether fs(*s.fs);
    if (!writeFiles(s, fs, dir, path, files, path, sink)) {
      // A folder made for nothing goes again (only when still empty).
      if (!existed) ::rmdir(path.c_str());
      return 1;
    }
  } else {
    const std::filesystem::path p(path);
    const std::string name = p.filename().string();
    if (name.empty() || vcard::isDirectory(path)) {
      // "vCardのファイル名がありません: "
      sink.show("vCard\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1: " + sjisPath(path));
      return 1;
    }
    // A slip of the hand must not put cards in place of the store.
    const std::string parent = p.parent_path().string();
    const bool inStore = sameFolder(parent, dir);
    for (const char* storeFile :
         {kDataFile, kNameKeyFile, kCompanyKeyFile, kCommitRecordName, kLockFileName}) {
      if (inStore && name == storeFile) {
        // "ストアのファイルにvCardは書き出せません: "
        sink.show("\x83\x58\x83\x67\x83\x41\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9vCard\x82\xCD\x8F\x91\x82\xAB\x8F\x6F\x82\xB9\x82\xDC\x82\xB9\x82\xF1: " + name);
        return 1;
      }
    }
    files.push_back({name, std::move(all)});
    if (!writeFiles(s, *s.fs, dir, parent, files, path, sink)) return 1;
  }
  if (written) *written = count;
  return 0;
}

}  // namespace kx

#include "store/whole_file.h"

#include <cerrno>
#include <cstring>

#include "store/sjis_unicode.h"

namespace kx {

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_size == b.st_size && a.st_ino == b.st_ino && a.st_dev == b.st_dev &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

WholeFile readOpen(FileSystem& fs, int fd, std::size_t maxBytes, std::string& out) {
  struct stat before {}, after {};
  if (fs.status(fd, &before) != 0) return WholeFile::ReadFailed;
  const auto size = static_cast<std::size_t>(before.st_size);
  if (size > maxBytes) return WholeFile::TooLarge;
  // One byte more than the size: a file that grew shows it.
  out.resize(size + 1);
  std::size_t got = 0;
  for (;;) {
    const ssize_t n = fs.read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return WholeFile::ReadFailed;
    if (n == 0 || (got += static_cast<std::size_t>(n)) == out.size()) break;
  }
  if (got != size || fs.status(fd, &after) != 0 || !sameFile(before, after))
    return WholeFile::Changed;
  out.resize(size);
  return WholeFile::Read;
}

}  // namespace

WholeFile readWholeFile(FileSystem& fs, const std::string& path, std::size_t maxBytes,
                        std::string& out) {
  out.clear();
  ReadOpen why = ReadOpen::Missing;
  const int fd = fs.openRead(path, &why);
  if (fd < 0) {
    switch (why) {
      case ReadOpen::Missing: return WholeFile::Missing;
      case ReadOpen::NotRegular: return WholeFile::NotRegular;
      default: return WholeFile::Unreadable;
    }
  }
  const WholeFile r = readOpen(fs, fd, maxBytes, out);
  const int saved = errno;
  fs.closeRead(fd);
  errno = saved;
  if (r != WholeFile::Read) {
    out.clear();
    out.shrink_to_fit();
  }
  return r;
}

std::string systemReason(int error) {
  switch (error) {
    case ENOSPC: return sjisText(u8"ディスクがいっぱいです");
    case EDQUOT: return sjisText(u8"ディスクの割り当てを超えました");
    case EACCES:
    case EPERM: return sjisText(u8"書き込みが許可されていません");
    case EROFS: return sjisText(u8"読み取り専用のファイルシステムです");
    case ENOENT: return sjisText(u8"ファイルまたはフォルダがありません");
    case EIO: return sjisText(u8"入出力エラーです");
    case ENOTDIR: return sjisText(u8"フォルダではありません");
    case EISDIR: return sjisText(u8"フォルダです");
    default: return std::strerror(error);
  }
}

std::string readFailureReason(WholeFile r, int error) {
  switch (r) {
    case WholeFile::Changed: return sjisText(u8"読み込み中にファイルが変更されました");
    case WholeFile::TooLarge: return sjisText(u8"ファイルが大きすぎます");
    case WholeFile::NotRegular: return sjisText(u8"通常のファイルではありません");
    case WholeFile::Missing: return sjisText(u8"ファイルがありません");
    default: return systemReason(error);
  }
}

}  // namespace kx

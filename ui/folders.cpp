#include "ui/folders.h"

#include <filesystem>
#include <system_error>

#include <QFile>
#include <QStandardPaths>

#include "ui/encoding.h"

namespace kx::ui {

std::string userDataFolder() {
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QFile::encodeName(base + QStringLiteral("/korvelix")).toStdString();
}

std::optional<std::string> enterFolder(const std::string& localPath, bool* created) {
  namespace fs = std::filesystem;
  std::error_code ec;
  bool made = false;
  if (localPath.empty()) ec = std::make_error_code(std::errc::no_such_file_or_directory);
  // An existing folder is no error; an existing file of that name is.
  if (!ec) made = fs::create_directories(localPath, ec);
  if (!ec) fs::current_path(localPath, ec);
  if (!ec) {
    if (created) *created = made;
    return std::nullopt;
  }
  // The path is in the locale's encoding (UTF-8), the message in Shift-JIS.
  return fromUnicode(QStringLiteral("CAN NOT OPEN FOLDER ") + QFile::decodeName(localPath.c_str()) +
                     QStringLiteral("\n") + QString::fromStdString(ec.message()));
}

}  // namespace kx::ui

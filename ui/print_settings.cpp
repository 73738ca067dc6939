#include "ui/print_settings.h"

#include <QSettings>
#include <QString>

#include "ui/encoding.h"

namespace kx::ui {

namespace {

// ~/.config/korvelix/print.conf ($XDG_CONFIG_HOME when set).
QSettings settings() { return QSettings(QStringLiteral("korvelix"), QStringLiteral("print")); }

QString nudgeKey(print::Layout l, const char* axis) {
  const auto name = print::layoutName(l);
  return QStringLiteral("nudge/") + QString::fromLatin1(name.data(), static_cast<int>(name.size())) +
         QLatin1Char('/') + QLatin1String(axis);
}

std::string sjisOf(const QSettings& s, const char* key) {
  return fromUnicode(s.value(QLatin1String(key)).toString());
}

}  // namespace

void loadRemembered(print::PrintOptions& o) {
  const QSettings s = settings();
  o.sender.name = sjisOf(s, "sender/name");
  o.sender.address = sjisOf(s, "sender/address");
  o.sender.zip = sjisOf(s, "sender/zip");
  // Tenths of a millimetre; a nudge of more than 10 mm is no printer's.
  auto nudge = [&](const char* axis) {
    const int v = s.value(nudgeKey(o.layout, axis), 0).toInt();
    return std::clamp(v, -100, 100);
  };
  o.nudgeX = nudge("x");
  o.nudgeY = nudge("y");
}

void saveRemembered(const print::PrintOptions& o) {
  QSettings s = settings();
  s.setValue(QStringLiteral("sender/name"), toUnicode(o.sender.name));
  s.setValue(QStringLiteral("sender/address"), toUnicode(o.sender.address));
  s.setValue(QStringLiteral("sender/zip"), toUnicode(o.sender.zip));
  s.setValue(nudgeKey(o.layout, "x"), o.nudgeX);
  s.setValue(nudgeKey(o.layout, "y"), o.nudgeY);
  s.sync();
}

}  // namespace kx::ui

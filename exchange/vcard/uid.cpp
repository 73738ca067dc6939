#include "exchange/vcard/uid.h"

#include "store/uids.h"

namespace kx::vcard {

namespace {

bool safeNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         c == '-' || c == '_' || c == '.' || c == '@' || c == '+';
}

}  // namespace

std::string cardFileName(std::string_view uid) {
  std::string_view name = uid;
  if (name.substr(0, 9) == "urn:uuid:") name.remove_prefix(9);
  bool safe = !name.empty() && name.size() <= 120 && name.front() != '.';
  for (const char c : name) safe = safe && safeNameCharacter(c);
  if (!safe) return nameUuid(uid) + ".vcf";
  return std::string(name) + ".vcf";
}

}  // namespace kx::vcard

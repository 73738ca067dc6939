#include "print/print_job.h"

#include <algorithm>
#include <cstdio>

#include "print/unicode_text.h"
#include "store/entry_text.h"
#include "store/sjis_unicode.h"

namespace kx::print {

namespace {

struct Slot {
  int page, slot;
};

Slot slotOf(const PrintOptions& o, int card) {
  const int per = cardsPerSheet(o.layout);
  if (per == 1) return {card, 0};
  const int start = std::clamp(o.startLabel, 1, per) - 1;
  return {(start + card) / per, (start + card) % per};
}

void nudge(Page& page, const PrintOptions& o, std::size_t from) {
  for (std::size_t i = from; i < page.glyphs.size(); ++i) {
    page.glyphs[i].x += o.nudgeX / 10.0;
    page.glyphs[i].y += o.nudgeY / 10.0;
  }
}

// Characters the font cannot draw (and U+FFFD, a byte the store could not
// read as a character), each once.
std::u32string missing(const std::vector<Glyph>& glyphs, std::size_t from,
                       const GlyphCheck& hasGlyph) {
  std::u32string chars;
  for (std::size_t i = from; i < glyphs.size(); ++i) {
    const char32_t c = glyphs[i].ch;
    if ((c == U'\uFFFD' || (hasGlyph && !hasGlyph(c))) && chars.find(c) == std::u32string::npos)
      chars += c;
  }
  return chars;
}

bool onCards(Layout l) { return isVertical(l); }

std::string sjisOf(std::u32string_view text) { return utf8ToSjis(toUtf8(text)); }

std::string partNames(unsigned parts) {
  static const std::pair<unsigned, const char8_t*> kNames[] = {
      {kPartAddress, u8"住所"}, {kPartCompany, u8"会社名"}, {kPartDivision, u8"所属・役職"},
      {kPartName, u8"氏名"},    {kPartSender, u8"差出人"}};
  std::string out;
  for (const auto& [bit, name] : kNames) {
    if (!(parts & bit)) continue;
    if (!out.empty()) out += sjisText(u8"、");
    out += sjisText(name);
  }
  return out;
}

}  // namespace

std::vector<int> entriesToPrint(const Store& s, Entries which, int onView) {
  std::vector<int> out;
  if (which == Entries::OnView) {
    if (onView >= 0 && onView <= s.lastIndex) out.push_back(onView);
    return out;
  }
  for (int p = 0; p <= s.lastIndex; ++p) {
    const int e = s.names.index[p];
    if (e < 0 || e > s.lastIndex) continue;
    if (which == Entries::Selected && s.field(e, SelectFlag)[0] != '1') continue;
    out.push_back(e);
  }
  return out;
}

PrintPlan planPrint(const Store& s, const std::vector<int>& entries, const PrintOptions& o,
                    const GlyphCheck& hasGlyph) {
  PrintPlan plan;
  Page scratch;
  if (onCards(o.layout) && !o.sender.empty()) {
    const Recipient sender = senderOf(o.sender);
    const unsigned small = layCard(o.layout, Recipient{}, &sender, o.address, 0, scratch);
    if (small) plan.problems.push_back({-1, Problem::TooSmall, small, {}});
    const std::u32string lacking = missing(scratch.glyphs, 0, hasGlyph);
    if (!lacking.empty()) plan.problems.push_back({-1, Problem::MissingGlyphs, 0, lacking});
  }
  for (const int e : entries) {
    const Recipient r = recipientOf(s, e, o.address);
    const bool noAddress = r.address.empty();
    const Problem::Kind zipKind = r.zip.empty() ? Problem::NoZip : Problem::BadZip;
    const bool badZip = r.zip.size() != 7;
    if (badZip) plan.problems.push_back({e, zipKind, 0, {}});
    if (noAddress) plan.problems.push_back({e, Problem::NoAddress, 0, {}});
    if (badZip || noAddress) {
      ++plan.incomplete;
      if (!o.keepIncomplete) continue;
    }
    scratch.glyphs.clear();
    const unsigned small = layCard(o.layout, r, nullptr, o.address, 0, scratch);
    if (small) plan.problems.push_back({e, Problem::TooSmall, small, {}});
    const std::u32string lacking = missing(scratch.glyphs, 0, hasGlyph);
    if (!lacking.empty()) plan.problems.push_back({e, Problem::MissingGlyphs, 0, lacking});
    plan.cards.push_back(e);
  }
  plan.pages = plan.cards.empty() ? 0 : slotOf(o, static_cast<int>(plan.cards.size()) - 1).page + 1;
  return plan;
}

Page layoutPage(const Store& s, const PrintPlan& plan, const PrintOptions& o, int index) {
  Page page;
  page.sheet = sheetOf(o.layout);
  page.face = o.face;
  addGuides(o.layout, page);
  const Recipient sender = senderOf(o.sender);
  const bool withSender = onCards(o.layout) && !o.sender.empty();
  for (int card = 0; card < static_cast<int>(plan.cards.size()); ++card) {
    const Slot at = slotOf(o, card);
    if (at.page < index) continue;
    if (at.page > index) break;
    const Recipient r = recipientOf(s, plan.cards[card], o.address);
    layCard(o.layout, r, withSender ? &sender : nullptr, o.address, at.slot, page);
  }
  nudge(page, o, 0);
  return page;
}

std::vector<std::string> problemLines(const Store& s, const PrintPlan& plan,
                                      const PrintOptions& o) {
  std::vector<std::string> lines;
  if (plan.incomplete > 0) {
    char head[96];
    std::snprintf(head, sizeof head, "%d", plan.incomplete);
    lines.push_back(sjisText(u8"郵便番号か住所のない") + head +
                    sjisText(o.keepIncomplete ? u8"件もそのまま印刷します。"
                                              : u8"件は印刷しません。"));
  }
  for (const Problem& p : plan.problems) {
    std::string who = p.entry < 0 ? sjisText(u8"差出人")
                                  : sjisOf(fromSjis(fieldText(s, p.entry, KanjiName)));
    if (who.empty()) who = sjisText(u8"(氏名なし)");
    std::string why;
    switch (p.kind) {
      case Problem::NoZip: why = sjisText(u8"郵便番号がありません"); break;
      case Problem::BadZip: why = sjisText(u8"郵便番号が7桁ではありません"); break;
      case Problem::NoAddress: why = sjisText(u8"住所がありません"); break;
      case Problem::TooSmall:
        why = sjisText(u8"読める大きさの文字では入りません: ") + partNames(p.parts);
        break;
      case Problem::MissingGlyphs:
        why = sjisText(u8"フォントにない文字があります: ") + sjisOf(p.chars);
        break;
    }
    lines.push_back(who + ": " + why);
  }
  return lines;
}

}  // namespace kx::print

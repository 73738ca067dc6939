#include "ui/reading_capture.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QObject>

#include <optional>
#include <vector>

#include "ui/controls.h"
#include "ui/encoding.h"

namespace kx::ui {

namespace {

bool isKanji(char32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) ||
         (c >= 0x3005 && c <= 0x3007);  // 々 〆 〇
}

bool isKana(char32_t c) {
  return (c >= 0x3041 && c <= 0x309F) || (c >= 0x30A0 && c <= 0x30FF) ||
         (c >= 0xFF66 && c <= 0xFF9F);
}

bool isLatinLetter(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= 0xFF21 && c <= 0xFF3A) ||
         (c >= 0xFF41 && c <= 0xFF5A);
}

bool holdsKanji(const QString& s) {
  for (char32_t c : s.toUcs4())
    if (isKanji(c)) return true;
  return false;
}

bool holdsKana(const QString& s) {
  for (char32_t c : s.toUcs4())
    if (isKana(c)) return true;
  return false;
}

bool allSpace(const QString& s) { return s.trimmed().isEmpty(); }

// The kana a composition was converted from. Romaji input leaves the last
// letters unconverted until the conversion: a lone n there becomes ん
// (けn converts as けん), any other letter is dropped.
QString finishedKana(QString kana) {
  if (kana.endsWith(u'n') || kana.endsWith(QChar(0xFF4E))) kana.back() = QChar(0x3093);
  while (!kana.isEmpty() && isLatinLetter(kana.back().unicode())) kana.chop(1);
  return kana;
}

class ReadingCapture : public QObject {
 public:
  ReadingCapture(Edit& kanji, Edit& reading)
      : QObject(kanji.widget()),
        box_(static_cast<QLineEdit*>(kanji.widget())),
        reading_(reading),
        shown_(box_->text()) {
    if (!shown_.isEmpty()) runs_.push_back({shown_, std::nullopt});
    box_->installEventFilter(this);
    connect(box_, &QLineEdit::textChanged, this, [this](const QString& now) {
      if (inInputMethod_) return;  // the event filter accounts for it
      edit(now, nullptr, std::nullopt);
    });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched != box_ || e->type() != QEvent::InputMethod || inInputMethod_) return false;
    auto* ev = static_cast<QInputMethodEvent*>(e);
    const bool committed = !ev->commitString().isEmpty();
    // mozc reconverts a selection in place: the selected text is shown
    // converted again, and the commit replaces it.
    if (box_->hasSelectedText() && !reconverted_) {
      const qsizetype from = box_->selectionStart();
      reconverted_ = readingOf(from, from + box_->selectedText().size());
    }
    std::optional<QString> committedReading;
    if (committed) committedReading = readingOfCommit(ev->commitString());
    // The box carries the event out; what it did to the text is then known.
    inInputMethod_ = true;
    static_cast<QObject*>(box_)->event(ev);
    inInputMethod_ = false;
    const std::optional<QString> taken =
        edit(box_->text(), committed ? &ev->commitString() : nullptr, committedReading);
    composition(ev->preeditString(), committed);
    // A reconversion takes committed text back into the composition: if it
    // comes back converted again, it keeps the reading it had.
    if (!committed && ev->replacementLength() > 0) reconverted_ = taken;
    return true;
  }

 private:
  // A piece of the kanji text and its reading; nullopt when unknown.
  struct Run {
    QString text;
    std::optional<QString> reading;
  };

  std::optional<QString> readingOfCommit(const QString& commit) const {
    if (allSpace(commit)) return QStringLiteral(" ");
    if (!holdsKanji(commit)) return commit;  // kana (or letters) read as they are
    if (!kana_.isEmpty()) return finishedKana(kana_);
    return reconverted_;
  }

  void composition(const QString& preedit, bool committed) {
    if (committed || preedit.isEmpty()) {  // committed or cancelled
      kana_.clear();
      reconverted_.reset();
    }
    if (!holdsKanji(preedit) && holdsKana(preedit)) kana_ = preedit;
  }

  // The box's text is now `now`: the runs follow the change. Text inserted
  // is read as `reading` when it is the input method's `commit`, and as
  // nothing known otherwise (pasted, typed directly, set by the program).
  // Returns the reading of what was removed, when it was whole runs of
  // known reading.
  std::optional<QString> edit(const QString& now, const QString* commit,
                              const std::optional<QString>& reading) {
    const QString before = shown_;
    shown_ = now;
    if (now.isEmpty()) {
      runs_.clear();
      fill();
      return std::nullopt;
    }
    qsizetype p = 0, q = 0;
    while (p < before.size() && p < now.size() && before[p] == now[p]) ++p;
    while (q < before.size() - p && q < now.size() - p &&
           before[before.size() - 1 - q] == now[now.size() - 1 - q])
      ++q;
    const std::optional<QString> removed = remove(p, before.size() - q);
    const QString text = now.mid(p, now.size() - q - p);
    if (allSpace(text) && !text.isEmpty()) {
      // A space typed between the family and the given name reads as one.
      insert(p, {text, QStringLiteral(" ")});
    } else if (!text.isEmpty()) {
      insert(p, {text, commit != nullptr && *commit == text ? reading : std::nullopt});
    }
    fill();
    return removed;
  }

  // The reading of whole runs of known reading from .. to, else nullopt.
  std::optional<QString> readingOf(qsizetype from, qsizetype to) const {
    std::optional<QString> out = QString();
    qsizetype at = 0;
    for (const Run& r : runs_) {
      const qsizetype end = at + r.text.size();
      if (end > from && at < to) {
        if (at < from || end > to || !r.reading) return std::nullopt;
        *out += *r.reading;
      }
      at = end;
    }
    return out;
  }

  std::optional<QString> remove(qsizetype from, qsizetype to) {
    if (from >= to) return QString();
    std::optional<QString> taken = QString();
    std::vector<Run> kept;
    qsizetype at = 0;
    for (Run& r : runs_) {
      const qsizetype end = at + r.text.size();
      if (end <= from || at >= to) {
        kept.push_back(std::move(r));
      } else if (at >= from && end <= to) {
        if (taken && r.reading) *taken += *r.reading; else taken.reset();
      } else {
        // Cut through: what is left of it has no reading anyone knows.
        taken.reset();
        QString rest = r.text.left(std::max<qsizetype>(0, from - at)) +
                       r.text.mid(std::min(r.text.size(), to - at));
        kept.push_back({rest, std::nullopt});
      }
      at = end;
    }
    runs_ = std::move(kept);
    return taken;
  }

  void insert(qsizetype pos, Run run) {
    qsizetype at = 0;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
      const qsizetype end = at + runs_[i].text.size();
      if (pos == at) {
        runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i), std::move(run));
        return;
      }
      if (pos < end) {  // inside a run: its halves lose their reading
        Run tail{runs_[i].text.mid(pos - at), std::nullopt};
        runs_[i] = {runs_[i].text.left(pos - at), std::nullopt};
        runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
        runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(run));
        return;
      }
      at = end;
    }
    runs_.push_back(std::move(run));
  }

  // The reading of the whole text, spaces where the text has them; nullopt
  // while any piece of it has no known reading.
  std::optional<QString> wholeReading() const {
    QString out;
    for (const Run& r : runs_) {
      if (!r.reading) return std::nullopt;
      if (allSpace(*r.reading)) {
        if (!out.isEmpty() && !out.endsWith(u' ')) out += u' ';
      } else {
        out += *r.reading;
      }
    }
    return out.trimmed();
  }

  void fill() {
    const std::optional<QString> whole = wholeReading();
    if (!whole) return;
    auto* box = static_cast<QLineEdit*>(reading_.widget());
    const QString there = box->text();
    if (!allSpace(there) && there != filled_) return;  // the user's own reading
    // A blank box stays as the form blanked it while there is nothing to
    // read (a kanji box blanked with spaces too).
    if (allSpace(there) && whole->isEmpty()) return;
    reading_.setText(kanaKeyFromUnicode(*whole));
    filled_ = box->text();
  }

  QLineEdit* box_;
  Edit& reading_;
  QString shown_;              // the kanji box's text as last seen
  std::vector<Run> runs_;      // pieces of shown_, in order
  QString kana_;               // the kana of the composition going on
  std::optional<QString> reconverted_;
  QString filled_;             // what was last put into the reading box
  bool inInputMethod_ = false;
};

}  // namespace

void captureReading(Edit& kanji, Edit& reading) { new ReadingCapture(kanji, reading); }

}  // namespace kx::ui

// The reading (furigana) of a kanji name taken from the input method that
// typed it: before each conversion is committed the input method shows the
// kana the user typed, and those kana, in half-width katakana, are the
// reading. Qt delivers the composition as QInputMethodEvents: a preedit
// string (hiragana as typed, then the converted text) and, at the end, a
// commit string; a replacement range takes text back into a composition
// when the user reconverts it.
#pragma once

#include <string>

namespace kx::ui {

class Edit;

// Watches `kanji` and keeps `reading` filled with what was typed through an
// input method into it, with a space where the kanji text has its space.
// Only a reading box that is blank or still holds what was filled here is
// written: a reading the user typed or edited stays. Text that arrives
// without an input method (pasted, typed in direct mode, set by the program)
// has no known reading, and while the kanji box holds any, nothing is filled.
// The watcher lives as long as the kanji box.
void captureReading(Edit& kanji, Edit& reading);

}  // namespace kx::ui

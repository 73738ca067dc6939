// What the print window remembers between runs, in the user's settings:
// the sender, the nudges of each layout, and the last choices made.
#pragma once

#include "print/print_job.h"

namespace kx::ui {

// Sender and the nudges of o.layout into o.
void loadRemembered(print::PrintOptions& o);
// Sender and the nudges of o.layout from o.
void saveRemembered(const print::PrintOptions& o);

}  // namespace kx::ui

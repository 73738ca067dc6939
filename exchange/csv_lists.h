// The three CSV lists of the store: every entry in name order, every entry
// in company order, and the selected entries in name order. Each is a header
// line and eight columns per entry, the fields at full width with their
// commas removed. Written from the tables; the store is not changed.
#pragma once

#include <string>

#include "store/file_names.h"
#include "store/message_sink.h"
#include "store/model.h"

namespace kx {

// Deletes every occurrence of byte from text, in place; returns text.
char* removeByte(char* text, char byte);

// Each writes its file (replaced whole or not at all) and tells the user
// what it wrote, or that the file could not be written (or may not be: a
// copy that does not hold the store's lock). Return 0, or 1.
int writeNameList(const Store& s, const std::string& dir, MessageSink& sink);
int writeCompanyList(const Store& s, const std::string& dir, MessageSink& sink);
int writeSelectedList(const Store& s, const std::string& dir, MessageSink& sink);

}  // namespace kx

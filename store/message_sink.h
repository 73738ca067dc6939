// Where store, search and exchange operations report to the user. Texts are
// Shift-JIS bytes, exactly as the user is to read them.
#pragma once

#include <string>
#include <vector>

namespace kx {

// An operation that finds a problem on line after line shows this many of
// them and then one message with the count of the rest.
constexpr int kShownLineProblems = 20;

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void show(const std::string& text) = 0;
};

// Keeps every message; what tests bind operations to.
class VectorSink : public MessageSink {
 public:
  void show(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

}  // namespace kx

// Where store, search and exchange operations report to the user. Texts are
// Shift-JIS bytes, exactly as the user is to read them.
#pragma once

#include <string>
#include <vector>

namespace kx {

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

// Which conversation-page lines the console prints: a channel often puts one line both in
// its traffic pane and in the person's tab, and that echo is printed once; the same line
// said twice in one tab is printed twice.
#pragma once

#include <string>

namespace plotrak {

class PageLineFilter {
 public:
  // True when the line just added to tab `tab` is to be printed.
  bool ShouldPrint(int tab, const std::string& line) {
    const bool echo = tab != tab_ && line == line_;
    if (echo) {
      tab_ = -1;  // an echo pairs with one line only
      line_.clear();
    } else {
      tab_ = tab;
      line_ = line;
    }
    return !echo;
  }

 private:
  int tab_ = -1;
  std::string line_;
};

}  // namespace plotrak

// The statistics lines of the "Informacje" tab and the other one-line texts the engine and
// the channels keep current, by label. A window or the console follows them through the
// change callback; tests read them.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace plotrak {

class StatusLines {
 public:
  // Sets the whole text of a label. `label` names it (for statistics lines, their fixed
  // caption text such as "Ilość kluczy w bazie matce: " in Windows-1250).
  void Set(const std::string& label, std::string text);
  // Sets a line made of its caption and a value: the label is the caption.
  void Show(const std::string& caption, const std::string& value) { Set(caption, caption + value); }
  // The current text, or an empty text for a label never set.
  const std::string& Get(const std::string& label) const;

  std::function<void(const std::string& label, const std::string& text)> onChange;

 private:
  std::map<std::string, std::string> lines_;
};

}  // namespace plotrak

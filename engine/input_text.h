#pragma once

#include <QString>
#include <QtGlobal>

namespace vesko {

// The text of the input box as the controller reads it. Besides the whole text, the box gives its
// length and its first characters, so that a huge input can be judged from its start without
// copying all of it on every key.
class InputText {
 public:
  virtual ~InputText() = default;

  // The whole text, line ends as line feeds.
  virtual QString text() const = 0;
  // The number of characters text() would give.
  virtual qsizetype textLength() const = 0;
  // The first `length` characters text() would give (all of them when it has fewer).
  virtual QString textStart(qsizetype length) const = 0;

 protected:
  InputText() = default;
  InputText(const InputText&) = default;
  InputText& operator=(const InputText&) = default;
};

}  // namespace vesko

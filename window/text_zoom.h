#pragma once

#include <QList>
#include <QObject>

class QPlainTextEdit;

namespace vesko {

// The text size of the input box and the history box. Ctrl+Plus (also Ctrl+=) and Ctrl+Minus,
// or Ctrl with the wheel over either box, step the size of both up or down; Ctrl+0 gives back the
// design's 10.5 points. The size is kept in the user's settings and applied again at the next
// start. Only the text grows: the boxes keep the places the window's layout rules give them.
class TextZoom : public QObject {
 public:
  static constexpr double kDesignPoints = 10.5;
  // The sizes the steps go through, in points.
  static constexpr double kSteps[] = {6,  7.5, 9,  10.5, 12, 14, 16, 18, 20,
                                      24, 28,  32, 36,   40, 48, 56, 64, 72};

  // Reads the kept size and gives it to `boxes`.
  TextZoom(QList<QPlainTextEdit*> boxes, QObject* parent);

  double points() const { return points_; }
  void ZoomIn();
  void ZoomOut();
  void Reset();
  // Sets the size of both boxes to the step nearest `points`, and keeps it.
  void SetPoints(double points);

  // Where the size is kept: the group and key in the user's settings of the application.
  static QString SettingsKey();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HandleKey(QEvent* event);
  bool HandleWheel(QEvent* event);
  void Apply();

  QList<QPlainTextEdit*> boxes_;
  double points_ = kDesignPoints;
  int wheelAngle_ = 0;  // eighths of a degree turned since the last step
};

}  // namespace vesko

#include "window/text_zoom.h"

#include "window/song_font.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSettings>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace vesko {
namespace {

// A wheel's notch turns it by 15 degrees, 120 eighths of a degree.
constexpr int kWheelStep = 120;

// The user's settings of the application (~/.config/vesko-calc/vesko-calc.conf on Linux).
QSettings UserSettings() {
  return QSettings(QStringLiteral("vesko-calc"), QStringLiteral("vesko-calc"));
}

// The index of the step nearest `points`.
std::size_t NearestStep(double points) {
  const auto* nearest = std::min_element(
      std::begin(TextZoom::kSteps), std::end(TextZoom::kSteps),
      [points](double a, double b) { return std::abs(a - points) < std::abs(b - points); });
  return static_cast<std::size_t>(nearest - std::begin(TextZoom::kSteps));
}

enum class ZoomKey { kNone, kIn, kOut, kReset };

ZoomKey ZoomKeyOf(const QKeyEvent& key) {
  // Shift is allowed: on most layouts "+" is Shift with "=".
  const auto modifiers = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
  if (modifiers != Qt::ControlModifier) {
    return ZoomKey::kNone;
  }
  switch (key.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return ZoomKey::kIn;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return ZoomKey::kOut;
    case Qt::Key_0:
    case Qt::Key_ParenRight:
      return ZoomKey::kReset;
    default:
      return ZoomKey::kNone;
  }
}

}  // namespace

TextZoom::TextZoom(QList<QPlainTextEdit*> boxes, QObject* parent)
    : QObject(parent), boxes_(std::move(boxes)) {
  for (QPlainTextEdit* box : boxes_) {
    box->installEventFilter(this);
    box->viewport()->installEventFilter(this);
  }
  bool read = false;
  const double kept = UserSettings().value(SettingsKey()).toDouble(&read);
  points_ = read && std::isfinite(kept) ? kSteps[NearestStep(kept)] : kDesignPoints;
  Apply();
}

QString TextZoom::SettingsKey() {
  return QStringLiteral("text/points");
}

void TextZoom::ZoomIn() {
  const std::size_t step = NearestStep(points_);
  SetPoints(kSteps[std::min(step + 1, std::size(kSteps) - 1)]);
}

void TextZoom::ZoomOut() {
  const std::size_t step = NearestStep(points_);
  SetPoints(kSteps[step == 0 ? 0 : step - 1]);
}

void TextZoom::Reset() {
  SetPoints(kDesignPoints);
}

void TextZoom::SetPoints(double points) {
  const double step = kSteps[NearestStep(points)];
  if (step == points_) {
    return;
  }
  points_ = step;
  Apply();
  // The design's size is kept as no setting at all.
  QSettings settings = UserSettings();
  if (points_ == kDesignPoints) {
    settings.remove(SettingsKey());
  } else {
    settings.setValue(SettingsKey(), points_);
  }
}

void TextZoom::Apply() {
  for (QPlainTextEdit* box : boxes_) {
    box->setFont(SongFont(points_));
  }
}

bool TextZoom::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
      return HandleKey(event);
    case QEvent::Wheel:
      return HandleWheel(event);
    default:
      return QObject::eventFilter(watched, event);
  }
}

bool TextZoom::HandleKey(QEvent* event) {
  auto* key = static_cast<QKeyEvent*>(event);
  const ZoomKey zoom = ZoomKeyOf(*key);
  if (zoom == ZoomKey::kNone) {
    return false;
  }
  key->accept();
  // A shortcut override only claims the key: the key press that follows does the zooming.
  if (event->type() == QEvent::ShortcutOverride) {
    return false;
  }
  if (zoom == ZoomKey::kIn) {
    ZoomIn();
  } else if (zoom == ZoomKey::kOut) {
    ZoomOut();
  } else {
    Reset();
  }
  return true;
}

bool TextZoom::HandleWheel(QEvent* event) {
  auto* wheel = static_cast<QWheelEvent*>(event);
  if (!(wheel->modifiers() & Qt::ControlModifier)) {
    wheelAngle_ = 0;
    return false;
  }
  // Fine-grained wheels and touchpads send parts of a notch; a step is taken per whole notch.
  wheelAngle_ += wheel->angleDelta().y();
  while (wheelAngle_ >= kWheelStep) {
    wheelAngle_ -= kWheelStep;
    ZoomIn();
  }
  while (wheelAngle_ <= -kWheelStep) {
    wheelAngle_ += kWheelStep;
    ZoomOut();
  }
  wheel->accept();
  return true;
}

}  // namespace vesko

#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QWidget>

#include "window/window_layout.h"

#include <cstddef>
#include <optional>

class QTimer;

namespace vesko {

// The two panels of the status bar, left to right.
enum class StatusPanel { kCredit, kClock };
inline constexpr StatusPanel kStatusPanels[] = {StatusPanel::kCredit, StatusPanel::kClock};

// The status bar along the bottom of the main window. The credit panel carries the author credit
// and acts as a link to a prefilled feedback mail; the clock panel shows the time of day,
// refreshed every second.
class StatusBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeightTwips = WindowLayout::kStatusBarHeightTwips;
  static constexpr int kCreditWidthTwips = 3450;
  static constexpr int kClockWidthTwips = 1440;

  explicit StatusBar(QWidget* parent = nullptr);

  int panelWidthTwips(StatusPanel panel) const;
  void setPanelWidthTwips(StatusPanel panel, int twips);
  QString panelText(StatusPanel panel) const;
  bool linkUnderlined() const;
  // How often the bar's underline attribute has been written; it is written only when it changes.
  int underlineWrites() const { return underlineWrites_; }

  // The clock timer's tick: the clock panel shows "时间：" + the time of day.
  void OnClockTick();
  // A pointer move over the bar: underline the text.
  void OnStatusBarMouseMove();
  // A pointer move over the window background or a text box: remove the underline.
  void OnPointerLeftLink();
  // A click on either panel: hand the feedback mail to the desktop.
  void OnPanelClick(StatusPanel panel);

  // Tells assistive technology `text` (the outcome of a commit) as a notification of the bar;
  // nothing on screen changes.
  void Announce(const QString& text);
  // The text last announced.
  QString announcement() const { return announcement_; }

  // The panel under `pos` in this widget's coordinates, or none beyond the panels.
  std::optional<StatusPanel> panelAt(const QPoint& pos) const;
  // The area of a panel in this widget's coordinates.
  QRect panelRect(StatusPanel panel) const;
  QSize sizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // With the keyboard focus (reached with F6) Enter or Space on the credit opens the mail.
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  static std::size_t IndexOf(StatusPanel panel) { return static_cast<std::size_t>(panel); }
  void WriteUnderline(bool underline);
  // Whether a press continues the click gesture that last opened a feedback mail.
  bool ContinuesMailGesture(const QMouseEvent& press);
  QRect PanelFrame(StatusPanel panel) const;
  QRect PanelTextArea(StatusPanel panel) const;

  int panelWidthTwips_[2] = {kCreditWidthTwips, kClockWidthTwips};
  QString panelText_[2];
  QTimer* clockTimer_ = nullptr;             // the one-second clock (Qt object name "Timer1")
  std::optional<StatusPanel> pressedPanel_;  // the panel a left button went down on
  // The time stamp of the last event of the click gesture that opened a feedback mail, if any.
  std::optional<quint64> mailGestureAt_;
  int underlineWrites_ = 0;
  QString announcement_;
};

}  // namespace vesko

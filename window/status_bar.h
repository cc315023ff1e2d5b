#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QWidget>

class QTimer;

namespace vesko {

// The status bar along the bottom of the main window. Panel 1 carries the author credit and acts
// as a link to a prefilled feedback mail; panel 2 shows the time of day, refreshed every second.
class StatusBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeightTwips = 330;
  static constexpr int kPanel1WidthTwips = 3450;
  static constexpr int kPanel2WidthTwips = 1440;

  explicit StatusBar(QWidget* parent = nullptr);

  // panel is 1 or 2.
  int panelWidthTwips(int panel) const;
  void setPanelWidthTwips(int panel, int twips);
  QString panelText(int panel) const;
  bool linkUnderlined() const;
  // How often the bar's underline attribute has been written; it is written only when it changes.
  int underlineWrites() const { return underlineWrites_; }

  // Timer1 tick: panel 2 = "时间：" + the time of day.
  void OnClockTick();
  // A pointer move over the bar: underline the text.
  void OnStatusBarMouseMove();
  // A pointer move over the window background, Text1 or Text2: remove the underline.
  void OnPointerLeftLink();
  // A click on either panel: hand the feedback mail to the desktop.
  void OnPanelClick(int panel);

  // The panel (1 or 2) under `pos` in this widget's coordinates, or 0 beyond the panels.
  int panelAt(const QPoint& pos) const;
  // The area of a panel (1 or 2) in this widget's coordinates; empty for any other number.
  QRect panelRect(int panel) const;
  QSize sizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  static bool IsPanel(int panel) { return panel == 1 || panel == 2; }
  void WriteUnderline(bool underline);
  QRect PanelFrame(int panel) const;
  QRect PanelTextArea(int panel) const;

  int panelWidthTwips_[2] = {kPanel1WidthTwips, kPanel2WidthTwips};
  QString panelText_[2];
  QTimer* timer1_ = nullptr;  // "Timer1": the one-second clock
  int pressedPanel_ = 0;      // the panel a left button went down on, 0 if none
  int underlineWrites_ = 0;
};

}  // namespace vesko

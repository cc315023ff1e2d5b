#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QWidget>

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

  // Timer1 tick: panel 2 = "时间：" + the time of day.
  void OnClockTick();
  // A pointer move over the bar: underline the text.
  void OnStatusBarMouseMove();
  // A pointer move over the window background, Text1 or Text2: remove the underline.
  void OnPointerLeftLink();
  // A click on either panel: hand the feedback mail to the desktop.
  void OnPanelClick(int panel);
};

}  // namespace vesko

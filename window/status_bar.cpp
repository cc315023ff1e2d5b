#include "window/status_bar.h"

#include "window/song_font.h"

#include <qdrawutil.h>
#include <QAccessible>
#include <QDesktopServices>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFocusRect>
#include <QTime>
#include <QTimer>
#include <QToolTip>
#include <QtDebug>

#include "window/clock_text.h"
#include "window/feedback_mail.h"
#include "window/status_bar_accessible.h"
#include "window/twips.h"

namespace vesko {
namespace {

constexpr int kClockIntervalMs = 1000;
constexpr int kTextMargin = 3;  // pixels between a panel's frame and its text

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("StatusBar1"));
  setFont(SongFont(9));
  setFixedHeight(TwipsToPixels(kHeightTwips));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setAutoFillBackground(true);
  // Moves over the bar must arrive without a button held, for the hover underline.
  setMouseTracking(true);

  panelText_[IndexOf(StatusPanel::kCredit)] =
      QStringLiteral("设计：Vesko,Email:") + FeedbackAddress();
  QAccessible::installFactory(StatusBarAccessibleFactory);  // installed once, however often called

  clockTimer_ = new QTimer(this);
  clockTimer_->setObjectName(QStringLiteral("Timer1"));
  clockTimer_->setInterval(kClockIntervalMs);
  connect(clockTimer_, &QTimer::timeout, this, &StatusBar::OnClockTick);
  clockTimer_->start();
}

int StatusBar::panelWidthTwips(StatusPanel panel) const {
  return panelWidthTwips_[IndexOf(panel)];
}

void StatusBar::setPanelWidthTwips(StatusPanel panel, int twips) {
  const int width = qMax(0, twips);
  if (panelWidthTwips_[IndexOf(panel)] == width) {
    return;
  }
  panelWidthTwips_[IndexOf(panel)] = width;
  updateGeometry();
  update();
}

QString StatusBar::panelText(StatusPanel panel) const {
  return panelText_[IndexOf(panel)];
}

bool StatusBar::linkUnderlined() const {
  return font().underline();
}

void StatusBar::OnClockTick() {
  panelText_[IndexOf(StatusPanel::kClock)] = ClockText(QTime::currentTime(), QLocale());
  update(panelRect(StatusPanel::kClock));
}

void StatusBar::OnStatusBarMouseMove() {
  if (!font().underline()) {
    WriteUnderline(true);
  }
}

void StatusBar::OnPointerLeftLink() {
  if (font().underline()) {
    WriteUnderline(false);
  }
}

void StatusBar::WriteUnderline(bool underline) {
  QFont changed = font();
  changed.setUnderline(underline);
  setFont(changed);
  ++underlineWrites_;
}

void StatusBar::OnPanelClick(StatusPanel /*panel*/) {
  // Both panels open the same message. QDesktopServices hands the URL to the desktop's handler
  // (a detached process on X11) and returns; its result is deliberately not looked at.
  const QString text = ComposeFeedbackMail(FeedbackAddress(), QDate::currentDate(), QLocale());
  QDesktopServices::openUrl(FeedbackMailUrl(text));
}

void StatusBar::Announce(const QString& text) {
  announcement_ = text;
  AnnounceToAssistiveTechnology(*this);
}

std::optional<StatusPanel> StatusBar::panelAt(const QPoint& pos) const {
  for (StatusPanel panel : kStatusPanels) {
    if (panelRect(panel).contains(pos)) {
      return panel;
    }
  }
  return std::nullopt;
}

QRect StatusBar::panelRect(StatusPanel panel) const {
  const int creditWidth = TwipsToPixels(panelWidthTwips(StatusPanel::kCredit));
  if (panel == StatusPanel::kCredit) {
    return QRect(0, 0, creditWidth, height());
  }
  return QRect(creditWidth, 0, TwipsToPixels(panelWidthTwips(StatusPanel::kClock)), height());
}

QSize StatusBar::sizeHint() const {
  return QSize(TwipsToPixels(panelWidthTwips_[0]) + TwipsToPixels(panelWidthTwips_[1]),
               TwipsToPixels(kHeightTwips));
}

QRect StatusBar::PanelFrame(StatusPanel panel) const {
  // One pixel of bar between neighbouring panels, each panel in a thin sunken frame.
  return panelRect(panel).adjusted(panel == StatusPanel::kCredit ? 0 : 1, 1, -1, -1);
}

QRect StatusBar::PanelTextArea(StatusPanel panel) const {
  return PanelFrame(panel).adjusted(kTextMargin, 1, -kTextMargin, -1);
}

bool StatusBar::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    // A panel whose text is cut short shows the whole text as its tool tip.
    const auto* help = static_cast<QHelpEvent*>(event);
    const auto panel = panelAt(help->pos());
    if (panel &&
        QFontMetrics(font()).horizontalAdvance(panelText(*panel)) > PanelTextArea(*panel).width()) {
      QToolTip::showText(help->globalPos(), panelText(*panel), this, panelRect(*panel));
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QWidget::event(event);
}

void StatusBar::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  for (StatusPanel panel : kStatusPanels) {
    const QRect frame = PanelFrame(panel);
    if (frame.width() <= 0 || frame.height() <= 0) {
      continue;
    }
    qDrawShadePanel(&painter, frame, palette(), /*sunken=*/true, 1);
    const QRect textArea = PanelTextArea(panel);
    if (textArea.width() <= 0) {
      continue;
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(panelText(panel), Qt::ElideRight, textArea.width()));
  }
  if (hasFocus()) {
    // The keyboard focus is on the credit, the one panel that does something.
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = PanelTextArea(StatusPanel::kCredit).adjusted(-1, 0, 1, 0);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

void StatusBar::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool opens = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
  if (!opens || event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  // A held key opens one mail, not one for every repeat.
  if (!event->isAutoRepeat()) {
    OnPanelClick(StatusPanel::kCredit);
  }
}

void StatusBar::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
  TellCreditFocused(*this);
}

void StatusBar::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void StatusBar::mouseMoveEvent(QMouseEvent* event) {
  OnStatusBarMouseMove();
  event->accept();
}

void StatusBar::mousePressEvent(QMouseEvent* event) {
  pressedPanel_ = event->button() == Qt::LeftButton && !ContinuesMailGesture(*event)
                      ? panelAt(event->position().toPoint())
                      : std::nullopt;
  event->accept();
}

void StatusBar::mouseReleaseEvent(QMouseEvent* event) {
  // A click is a left press and release on the same panel.
  const auto panel =
      event->button() == Qt::LeftButton ? panelAt(event->position().toPoint()) : std::nullopt;
  const bool clicked = panel && panel == pressedPanel_;
  pressedPanel_.reset();
  event->accept();
  if (clicked) {
    mailGestureAt_ = event->timestamp();
    OnPanelClick(*panel);
  }
}

bool StatusBar::ContinuesMailGesture(const QMouseEvent& press) {
  // One click gesture opens one mail: the further presses of a double or triple click, each within
  // the double-click interval of the one before, open none. (The second press of a double click
  // arrives as a double-click event, which a widget hands to mousePressEvent.)
  const auto interval =
      static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
  if (!mailGestureAt_.has_value() || press.timestamp() - *mailGestureAt_ >= interval) {
    return false;
  }
  mailGestureAt_ = press.timestamp();
  return true;
}

}  // namespace vesko

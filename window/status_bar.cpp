#include "window/status_bar.h"

#include "window/song_font.h"

#include <qdrawutil.h>
#include <QDesktopServices>
#include <QFont>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTime>
#include <QTimer>
#include <QToolTip>
#include <QtDebug>

#include "window/clock_text.h"
#include "window/feedback_mail.h"
#include "window/twips.h"

namespace vesko {
namespace {

constexpr int kTimer1IntervalMs = 1000;
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

  panelText_[0] = QStringLiteral("设计：Vesko,Email:") + FeedbackAddress();

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(kTimer1IntervalMs);
  connect(timer1_, &QTimer::timeout, this, &StatusBar::OnClockTick);
  timer1_->start();
}

int StatusBar::panelWidthTwips(int panel) const {
  return IsPanel(panel) ? panelWidthTwips_[panel - 1] : 0;
}

void StatusBar::setPanelWidthTwips(int panel, int twips) {
  if (!IsPanel(panel)) {
    qWarning("StatusBar::setPanelWidthTwips: there is no panel %d", panel);
    return;
  }
  const int width = qMax(0, twips);
  if (panelWidthTwips_[panel - 1] == width) {
    return;
  }
  panelWidthTwips_[panel - 1] = width;
  updateGeometry();
  update();
}

QString StatusBar::panelText(int panel) const {
  return IsPanel(panel) ? panelText_[panel - 1] : QString();
}

bool StatusBar::linkUnderlined() const {
  return font().underline();
}

void StatusBar::OnClockTick() {
  panelText_[1] = ClockText(QTime::currentTime(), QLocale());
  update(panelRect(2));
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

void StatusBar::OnPanelClick(int /*panel*/) {
  // Both panels open the same message. QDesktopServices hands the URL to the desktop's handler
  // (a detached process on X11) and returns; its result is deliberately not looked at.
  const QString text = ComposeFeedbackMail(FeedbackAddress(), QDate::currentDate(), QLocale());
  QDesktopServices::openUrl(FeedbackMailUrl(text));
}

int StatusBar::panelAt(const QPoint& pos) const {
  for (int panel = 1; panel <= 2; ++panel) {
    if (panelRect(panel).contains(pos)) {
      return panel;
    }
  }
  return 0;
}

QRect StatusBar::panelRect(int panel) const {
  if (!IsPanel(panel)) {
    return {};
  }
  const int width1 = TwipsToPixels(panelWidthTwips_[0]);
  if (panel == 1) {
    return QRect(0, 0, width1, height());
  }
  return QRect(width1, 0, TwipsToPixels(panelWidthTwips_[1]), height());
}

QSize StatusBar::sizeHint() const {
  return QSize(TwipsToPixels(panelWidthTwips_[0]) + TwipsToPixels(panelWidthTwips_[1]),
               TwipsToPixels(kHeightTwips));
}

QRect StatusBar::PanelFrame(int panel) const {
  // One pixel of bar between neighbouring panels, each panel in a thin sunken frame.
  return panelRect(panel).adjusted(panel == 1 ? 0 : 1, 1, -1, -1);
}

QRect StatusBar::PanelTextArea(int panel) const {
  return PanelFrame(panel).adjusted(kTextMargin, 1, -kTextMargin, -1);
}

bool StatusBar::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    // A panel whose text is cut short shows the whole text as its tool tip.
    const auto* help = static_cast<QHelpEvent*>(event);
    const int panel = panelAt(help->pos());
    const QString text = panelText(panel);
    if (panel != 0 && QFontMetrics(font()).horizontalAdvance(text) > PanelTextArea(panel).width()) {
      QToolTip::showText(help->globalPos(), text, this, panelRect(panel));
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
  for (int panel = 1; panel <= 2; ++panel) {
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
                     metrics.elidedText(panelText_[panel - 1], Qt::ElideRight, textArea.width()));
  }
}

void StatusBar::mouseMoveEvent(QMouseEvent* event) {
  OnStatusBarMouseMove();
  event->accept();
}

void StatusBar::mousePressEvent(QMouseEvent* event) {
  pressedPanel_ = event->button() == Qt::LeftButton ? panelAt(event->position().toPoint()) : 0;
  event->accept();
}

void StatusBar::mouseReleaseEvent(QMouseEvent* event) {
  // A click is a left press and release on the same panel.
  const int panel = event->button() == Qt::LeftButton ? panelAt(event->position().toPoint()) : 0;
  const bool clicked = panel != 0 && panel == pressedPanel_;
  pressedPanel_ = 0;
  event->accept();
  if (clicked) {
    OnPanelClick(panel);
  }
}

}  // namespace vesko

#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace vesko {

class StatusBar;

// What assistive technology (a screen reader) is told about the status bar: the bar with its two
// panels and a notification. Each panel is named by the text it shows and exposes that text; the
// credit panel is a link whose press action opens the feedback mail. The notification carries the
// bar's announcement, the outcome of the last commit.
QAccessibleInterface* StatusBarAccessibleFactory(const QString& className, QObject* object);

// Raises the notification with the bar's current announcement, as if it had just appeared.
void AnnounceToAssistiveTechnology(StatusBar& bar);
// Tells assistive technology that the keyboard focus is on the credit panel.
void TellCreditFocused(StatusBar& bar);

}  // namespace vesko

#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace vesko {

// What assistive technology (a screen reader) is told about the status bar: the bar and its two
// panels, each panel with a name, a description and its current text as its value.
QAccessibleInterface* StatusBarAccessibleFactory(const QString& className, QObject* object);

}  // namespace vesko

#include "window/accessible_descriptions.h"

#include "window/main_window.h"
#include "window/status_bar.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace vesko {

void DescribeControls(MainWindow& window) {
  // Each name holds the caption shown beside the control, so that what is heard matches what is
  // seen.
  window.inputBox()->setAccessibleName(QStringLiteral("计算：算式输入框"));
  window.inputBox()->setAccessibleDescription(
      QStringLiteral("输入算式，结果框第一行随即显示它的值；按回车键把算式和结果记入结果框"));
  window.historyBox()->setAccessibleName(QStringLiteral("结果：计算记录"));
  window.historyBox()->setAccessibleDescription(
      QStringLiteral("第一行是正在输入的算式的值，下面是已记入的算式和结果，最新的在上"));
  window.splitterHandle()->setAccessibleName(QStringLiteral("分隔条"));
  window.splitterHandle()->setAccessibleDescription(
      QStringLiteral("用鼠标上下拖动，调整算式输入框和结果框的高度"));
  window.statusBar()->setAccessibleName(QStringLiteral("状态栏"));
  window.statusBar()->setAccessibleDescription(
      QStringLiteral("设计者、反馈邮件地址和当前时间；单击，或按 F6 到此后按回车键，给作者写邮件"));
}

}  // namespace vesko

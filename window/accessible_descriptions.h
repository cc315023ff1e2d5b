#pragma once

namespace vesko {

class MainWindow;

// Gives the window's controls Chinese names and descriptions for assistive technology, so that a
// screen reader announces what each one is for.
void DescribeControls(MainWindow& window);

}  // namespace vesko

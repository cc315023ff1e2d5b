# The status bar's tests, included from tests/window/CMakeLists.txt.
vesko_add_qtest(feedback_mail_test SOURCES feedback_mail_test.cpp LIBS vesko_window)
vesko_add_qtest(clock_text_test SOURCES clock_text_test.cpp LIBS vesko_window)
vesko_add_qtest(status_bar_test SOURCES status_bar_test.cpp LIBS vesko_window)

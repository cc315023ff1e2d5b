# The status bar's sources and its build setting, included from window/CMakeLists.txt.
#
# FEEDBACK_EMAIL is the address shown in the credit panel and used by the feedback mail link. The
# default is a placeholder at a reserved example domain; packagers set their own address, e.g.
#   cmake -S . -B build -DFEEDBACK_EMAIL=feedback@example.org
set(FEEDBACK_EMAIL "vesko@example.com"
    CACHE STRING "E-mail address of the status bar's credit panel and feedback mail link")
if(NOT FEEDBACK_EMAIL MATCHES "^[^ \t\"\\\\<>@?&%#]+@[^ \t\"\\\\<>@?&%#]+$")
  message(FATAL_ERROR
    "FEEDBACK_EMAIL must be a plain address 'name@domain' without spaces, quotes, backslashes "
    "or any of < > ? & % #; it is '${FEEDBACK_EMAIL}'.")
endif()

set(VESKO_STATUS_BAR_SOURCES
  status_bar.h status_bar.cpp
  feedback_mail.h feedback_mail.cpp
  clock_text.h clock_text.cpp
)
set_property(SOURCE feedback_mail.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS "VESKO_FEEDBACK_EMAIL=\"${FEEDBACK_EMAIL}\"")

# The hardening flags Debian's dpkg-buildflags gives a package built with hardening=+all, set here so
# that a plain `cmake` build and the CPack package get them too: fortified C library calls, stack
# protector, format checks, a position-independent executable, and a read-only relocation table
# bound at start (-z relro -z now). The fuzz and sanitizer builds leave them out: their sanitizers
# do their own checking and fortified calls hide faults from them.
option(VESKO_HARDENING "Build with the distribution's hardening flags" ON)
if(NOT VESKO_HARDENING OR VESKO_FUZZ OR VESKO_SANITIZE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# _FORTIFY_SOURCE needs optimisation (a -O0 build warns), so only the optimised build types get it,
# and not where the builder's own flags (dpkg-buildflags' CPPFLAGS, say) already set it.
if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)

# The installed program finds Qt in the system's library folders; a RUNPATH such as
# $ORIGIN/../lib would only let a stray library beside it be loaded first.
set(CMAKE_SKIP_INSTALL_RPATH ON)

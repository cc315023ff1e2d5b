# vesko_install_compressed(TEMPLATE DESTINATION): fills in @VARIABLES@ of TEMPLATE (a file name
# ending in .in), compresses the result with `gzip -9n` as Debian wants for manual pages and
# changelogs (no file name or time stamp inside, so the package is reproducible) and installs it in
# DESTINATION as NAME.gz, NAME being the template's name without .in.
function(vesko_install_compressed template destination)
  get_filename_component(name "${template}" NAME)
  string(REGEX REPLACE "\\.in$" "" name "${name}")
  set(plain "${CMAKE_CURRENT_BINARY_DIR}/${name}")
  configure_file("${template}" "${plain}" @ONLY)
  add_custom_command(
    OUTPUT "${plain}.gz"
    COMMAND gzip -9nf -k "${plain}"
    DEPENDS "${plain}"
    COMMENT "Compressing ${name}"
    VERBATIM)
  string(MAKE_C_IDENTIFIER "compress_${name}" target)
  add_custom_target(${target} ALL DEPENDS "${plain}.gz")
  install(FILES "${plain}.gz" DESTINATION "${destination}")
endfunction()

# Two builds of one commit give the same exe, whatever folder they run in and
# whenever they run, so anyone can check a download against the sources
# (tools/release.sh, tests/release). The resource directory windres writes
# already carries no time, and the stripped release exe no debug directory.
if(WIN32 AND NOT MSVC)
  # No link time in the PE header.
  add_link_options(-Wl,--no-insert-timestamp)
  # Source and build folders in __FILE__ and in debug information become
  # paths relative to the tree.
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
endif()

# The same sources give the same bytes, whoever builds them and wherever:
# no link time in the PE header (the header checksum covers it, so it moves
# too), no build folder in anything the compiler writes, and no __DATE__ or
# __TIME__. The binary dir is mapped after the source dir, since channel
# builds live inside the source tree and the later, longer match wins.
add_compile_options(
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
    -ffile-prefix-map=${CMAKE_BINARY_DIR}/=
    -Werror=date-time)
add_link_options(-Wl,--no-insert-timestamp)

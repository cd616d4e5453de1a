# The installer and deinstaller stubs run on machines that have nothing but
# the C library: what they use beyond it is linked from static archives.
# vantry_static_library(VAR NAME): the path of libNAME.a, found or fatal.
function(vantry_static_library var name)
  find_library(${var} NAMES lib${name}.a REQUIRED)
  set(${var} ${${var}} PARENT_SCOPE)
endfunction()

vantry_static_library(VANTRY_ZLIB z)

# No trace of the build machine in what is shipped: source and build paths
# in file names (__FILE__, assertions) become relative.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=
  -ffunction-sections -fdata-sections)

# vantry_portable_program(TARGET): links the program so that it needs only
# the C library (libc.so.6, libm.so.6 and the loader) at run time: the C++
# runtime statically, the other libraries from their archives (see above and
# platform/), X through its shim and ALSA through dlopen. The result is
# stripped, since every installer carries it.
function(vantry_portable_program target)
  target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--as-needed
    -Wl,--gc-sections -s)
endfunction()

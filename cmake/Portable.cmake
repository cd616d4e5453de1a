# The installer and deinstaller stubs run on machines that have nothing but
# the C library: what they use beyond it is linked from static archives.
# vantry_static_library(TARGET NAME [DEPS ...]): an imported target for
# libNAME.a that links its DEPS after it, so that CMake orders the archives
# as each needs the next.
function(vantry_static_library target name)
  find_library(VANTRY_STATIC_${name} NAMES lib${name}.a REQUIRED)
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${VANTRY_STATIC_${name}}
    INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()

vantry_static_library(vantry::zlib z)
set(VANTRY_ZLIB vantry::zlib)
vantry_static_library(vantry::deflate deflate)
# Zstandard payloads (ZIP method 93): decoded by the installer, written by the tool.
vantry_static_library(vantry::zstd zstd)
# Signatures: Ed25519, BLAKE2b and scrypt for minisign's keys.
vantry_static_library(vantry::sodium sodium)

# No trace of the build machine in what is shipped: source and build paths
# in file names (__FILE__, assertions) become relative.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=
  -ffunction-sections -fdata-sections)

# vantry_portable_program(TARGET): links the program so that it needs only
# the C library (libc.so.6, libm.so.6 and the loader) at run time: the C++
# runtime statically, the other libraries from their archives (see above and
# platform/), X through its shim and ALSA through dlopen. The result is
# stripped, since every installer carries it.
# Relative relocations are packed (DT_RELR, glibc 2.36, which the stubs need
# anyway for expat's arc4random_buf): 200 KB less in each stub.
include(CheckLinkerFlag)
check_linker_flag(CXX "-Wl,-z,pack-relative-relocs" VANTRY_PACKED_RELOCATIONS)
function(vantry_portable_program target)
  vantry_small_code(${target})
  target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--as-needed
    -Wl,--gc-sections -s)
  if(VANTRY_PACKED_RELOCATIONS)
    target_link_options(${target} PRIVATE -Wl,-z,pack-relative-relocs)
  endif()
endfunction()

# The installer and deinstaller stubs run on machines that have nothing but
# the C library: what they use beyond it is linked from static archives.
# vantry_static_library(VAR NAME): the path of libNAME.a, found or fatal.
function(vantry_static_library var name)
  find_library(${var} NAMES lib${name}.a REQUIRED)
  set(${var} ${${var}} PARENT_SCOPE)
endfunction()

vantry_static_library(VANTRY_ZLIB z)

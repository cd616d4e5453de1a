# Generates the X library shim of the portable programs: for every X
# function that the static FLTK and Xft archives (and the host layer) call,
# an entry point that jumps through one table. The table is filled when the
# first of them is called, by opening the X libraries then; a program that
# never draws never needs them.
#
# vantry_x_shim(OUT_SOURCES ARCHIVES ... EXTRA ...): sets OUT_SOURCES to the
# generated assembly and C sources.
function(vantry_x_shim out)
  cmake_parse_arguments(ARG "" "" "ARCHIVES;EXTRA" ${ARGN})
  find_program(NM nm REQUIRED)
  # Each library with the name it is opened by at run time.
  set(libraries X11 libX11.so.6 Xext libXext.so.6 Xrender libXrender.so.1
      Xinerama libXinerama.so.1 Xcursor libXcursor.so.1 Xfixes libXfixes.so.3)
  execute_process(COMMAND ${NM} -u --format=posix ${ARG_ARCHIVES}
    OUTPUT_VARIABLE undefined ERROR_QUIET)
  string(REGEX MATCHALL "\n[A-Za-z_][A-Za-z0-9_]* U" calls "\n${undefined}")
  list(TRANSFORM calls REPLACE "\n([A-Za-z0-9_]+) U" "\\1")
  list(APPEND calls ${ARG_EXTRA})
  list(REMOVE_DUPLICATES calls)
  list(SORT calls)

  set(asm "")
  set(names "")
  set(owners "")
  set(count 0)
  set(sonames "")
  set(index 0)
  list(LENGTH libraries pairs)
  math(EXPR last "${pairs} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET libraries ${i} name)
    list(GET libraries ${j} soname)
    find_library(library_${name} NAMES ${soname} lib${name}.so REQUIRED)
    execute_process(COMMAND ${NM} -D --defined-only --format=posix ${library_${name}}
      OUTPUT_VARIABLE defined)
    string(REGEX MATCHALL "\n[A-Za-z_][A-Za-z0-9_]* [TWi]" functions "\n${defined}")
    list(TRANSFORM functions REPLACE "\n([A-Za-z0-9_]+) [TWi]" "\\1")
    foreach(symbol ${calls})
      if(symbol IN_LIST functions)
        math(EXPR slot "${count} * 8")
        string(APPEND asm
          "\t.globl ${symbol}\n\t.type ${symbol}, @function\n${symbol}:\n"
          "\tmovq vantry_x_table+${slot}(%rip), %r11\n\ttestq %r11, %r11\n\tjz 1f\n"
          "\tjmp *%r11\n1:\tcall vantry_x_first_call\n\tjmp ${symbol}\n"
          "\t.size ${symbol}, .-${symbol}\n")
        string(APPEND names "\t\"${symbol}\",\n")
        string(APPEND owners "${index}, ")
        list(REMOVE_ITEM calls ${symbol})
        math(EXPR count "${count} + 1")
      endif()
    endforeach()
    string(APPEND sonames "\t\"${soname}\",\n")
    math(EXPR index "${index} + 1")
  endforeach()

  set(dir ${CMAKE_CURRENT_BINARY_DIR}/xshim)
  file(MAKE_DIRECTORY ${dir})
  file(WRITE ${dir}/XShimStubs.S.new
    "# Generated: X entry points that jump through vantry_x_table.\n"
    "\t.text\n${asm}"
    "# The first call of any entry point loads the libraries, keeping the\n"
    "# caller's argument registers, then jumps again through the table.\n"
    "\t.hidden vantry_x_first_call\n\t.type vantry_x_first_call, @function\n"
    "vantry_x_first_call:\n"
    "\tpushq %rdi\n\tpushq %rsi\n\tpushq %rdx\n\tpushq %rcx\n\tpushq %r8\n"
    "\tpushq %r9\n\tpushq %rax\n\tsubq $136, %rsp\n"
    "\tmovdqu %xmm0, 0(%rsp)\n\tmovdqu %xmm1, 16(%rsp)\n\tmovdqu %xmm2, 32(%rsp)\n"
    "\tmovdqu %xmm3, 48(%rsp)\n\tmovdqu %xmm4, 64(%rsp)\n\tmovdqu %xmm5, 80(%rsp)\n"
    "\tmovdqu %xmm6, 96(%rsp)\n\tmovdqu %xmm7, 112(%rsp)\n"
    "\tcall vantry_x_load_or_exit\n"
    "\tmovdqu 0(%rsp), %xmm0\n\tmovdqu 16(%rsp), %xmm1\n\tmovdqu 32(%rsp), %xmm2\n"
    "\tmovdqu 48(%rsp), %xmm3\n\tmovdqu 64(%rsp), %xmm4\n\tmovdqu 80(%rsp), %xmm5\n"
    "\tmovdqu 96(%rsp), %xmm6\n\tmovdqu 112(%rsp), %xmm7\n"
    "\taddq $136, %rsp\n\tpopq %rax\n\tpopq %r9\n\tpopq %r8\n\tpopq %rcx\n"
    "\tpopq %rdx\n\tpopq %rsi\n\tpopq %rdi\n\tret\n"
    "\t.size vantry_x_first_call, .-vantry_x_first_call\n"
    "\t.bss\n\t.align 8\n\t.globl vantry_x_table\n\t.hidden vantry_x_table\nvantry_x_table:\n\t.zero ${count} * 8\n"
    "\t.section .note.GNU-stack,\"\",@progbits\n")
  file(WRITE ${dir}/XShimNames.c.new
    "/* Generated: the X functions of the shim and the library of each. */\n"
    "const char* const vantry_x_libraries[] = {\n${sonames}\t0};\n"
    "const char* const vantry_x_names[] = {\n${names}\t0};\n"
    "const unsigned char vantry_x_owners[] = {${owners}0};\n"
    "const int vantry_x_count = ${count};\n")
  foreach(file XShimStubs.S XShimNames.c)
    file(COPY_FILE ${dir}/${file}.new ${dir}/${file} ONLY_IF_DIFFERENT)
  endforeach()
  set(${out} ${dir}/XShimStubs.S ${dir}/XShimNames.c PARENT_SCOPE)
endfunction()

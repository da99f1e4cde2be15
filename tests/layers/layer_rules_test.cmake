# The two layer checks against small trees made here: every spelling of an
# upward include fails, and so does an upward call declared by hand, while a
# tree that keeps the rule passes both.
# cmake -DVELKOR_SOURCE_DIR=<checkout> -DWORK=<folder> -DCXX=<compiler> -DAR=<ar> -DNM=<nm> -P layer_rules_test.cmake
cmake_minimum_required(VERSION 3.20)
set(checks ${VELKOR_SOURCE_DIR}/cmake)
file(REMOVE_RECURSE ${WORK})

function(expect_check script outcome expected)
  execute_process(COMMAND ${CMAKE_COMMAND} ${ARGN} -P ${checks}/${script} RESULT_VARIABLE failed
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \t\r\n]+" " " out "${out}")
  if(outcome STREQUAL "fails" AND NOT failed)
    message(FATAL_ERROR "${script} passed a tree it must refuse (${expected})")
  elseif(outcome STREQUAL "passes" AND failed)
    message(FATAL_ERROR "${script} refused a tree that keeps the rule:\n${out}")
  endif()
  foreach(text IN LISTS expected)
    string(FIND "${out}" "${text}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${script} did not name '${text}':\n${out}")
    endif()
  endforeach()
endfunction()

# Includes.
set(tree ${WORK}/tree)
file(WRITE ${tree}/src/app/top.h "#pragma once\n")
file(WRITE ${tree}/src/settings/low.h "#pragma once\n")
file(WRITE ${tree}/src/procs/fine.cpp "#include \"procs/fine.h\"\n#include <settings/low.h>\n#include \"../settings/low.h\"\n")
file(WRITE ${tree}/src/procs/fine.h "#pragma once\n#include <string>\n")
foreach(folder win gfx export errors shell monitor lists tray)
  file(MAKE_DIRECTORY ${tree}/src/${folder})
endforeach()
expect_check(check_layers.cmake passes "" -DVELKOR_SOURCE_DIR=${tree})
file(WRITE ${tree}/src/procs/upward.cpp
  "#include \"app/top.h\"\n#include <app/top.h>\n#include \"../app/top.h\"\n# include \"./../../src/app/top.h\"\n")
expect_check(check_layers.cmake fails
  "upward.cpp: #include \"app/top.h\";upward.cpp: #include <app/top.h>;upward.cpp: #include \"../app/top.h\";upward.cpp: # include \"./../../src/app/top.h\""
  -DVELKOR_SOURCE_DIR=${tree})

# Calls: procs declares an app function by hand and calls it.
set(objects ${WORK}/objects)
file(MAKE_DIRECTORY ${objects})
file(WRITE ${objects}/app.cpp "namespace velkor { int TopFigure() { return 1; } }\n")
file(WRITE ${objects}/settings.cpp "namespace velkor { int LowFigure() { return 2; } }\n")
file(WRITE ${objects}/procs.cpp "namespace velkor { int LowFigure(); int ProcsFigure() { return LowFigure(); } }\n")
file(WRITE ${objects}/procs_upward.cpp "namespace velkor { int TopFigure(); int Sneaky() { return TopFigure(); } }\n")
function(archive name)
  set(members "")
  foreach(source IN LISTS ARGN)
    execute_process(COMMAND ${CXX} -c ${objects}/${source}.cpp -o ${objects}/${source}.o RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "could not compile ${source}.cpp")
    endif()
    list(APPEND members ${objects}/${source}.o)
  endforeach()
  file(REMOVE ${objects}/lib${name}.a)
  execute_process(COMMAND ${AR} qc ${objects}/lib${name}.a ${members})
endfunction()
archive(app app)
archive(settings settings)
archive(procs procs)
file(WRITE ${objects}/list.txt
  "settings portable ${objects}/libsettings.a\nprocs portable ${objects}/libprocs.a\napp portable ${objects}/libapp.a\n")
expect_check(check_symbols.cmake passes "" -DVELKOR_NM=${NM} -DVELKOR_LIBRARY_LIST=${objects}/list.txt)
archive(procs procs procs_upward)
expect_check(check_symbols.cmake fails "src/procs (portable) calls velkor::TopFigure(), defined in app:portable"
  -DVELKOR_NM=${NM} -DVELKOR_LIBRARY_LIST=${objects}/list.txt)

# Dependencies run one way: a folder under src/ includes only itself and the
# folders listed for it here, all of them below it. Run as a script
# (cmake -DVELKOR_SOURCE_DIR=<checkout> [-DVELKOR_STAMP=<file>] -P check_layers.cmake);
# an include of a folder not listed fails with the file, the line and the rule.
#
#   app                                  on top: wires everything
#   lists    monitor procs settings gfx win
#   monitor  procs settings gfx win
#   tray     shell procs settings gfx win (the companion: lower layers only)
#   shell    procs settings gfx win
#   procs    settings gfx win
#   settings gfx win
#   errors   gfx win
#   export   gfx win
#   gfx      win
#   win      (nothing)
cmake_minimum_required(VERSION 3.20)
set(allowed_app errors export gfx lists monitor procs settings shell win)
set(allowed_lists monitor procs settings gfx win)
set(allowed_monitor procs settings gfx win)
set(allowed_tray shell procs settings gfx win)
set(allowed_shell procs settings gfx win)
set(allowed_procs settings gfx win)
set(allowed_settings gfx win)
set(allowed_errors gfx win)
set(allowed_export gfx win)
set(allowed_gfx win)
set(allowed_win "")
set(folders app lists monitor tray shell procs settings errors export gfx win)

set(faults "")
file(GLOB children RELATIVE "${VELKOR_SOURCE_DIR}/src" "${VELKOR_SOURCE_DIR}/src/*")
foreach(folder IN LISTS children)
  if(NOT IS_DIRECTORY "${VELKOR_SOURCE_DIR}/src/${folder}")
    continue()
  endif()
  if(NOT folder IN_LIST folders)
    string(APPEND faults "src/${folder}: a new folder needs its place in cmake/check_layers.cmake\n")
    continue()
  endif()
  file(GLOB_RECURSE sources "${VELKOR_SOURCE_DIR}/src/${folder}/*.h" "${VELKOR_SOURCE_DIR}/src/${folder}/*.cpp"
       "${VELKOR_SOURCE_DIR}/src/${folder}/*.rc")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z0-9_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/.*" "\\1" target "${line}")
      if(target STREQUAL folder OR NOT target IN_LIST folders OR target IN_LIST allowed_${folder})
        continue()
      endif()
      file(RELATIVE_PATH shown "${VELKOR_SOURCE_DIR}" "${source}")
      string(STRIP "${line}" line)
      string(REPLACE ";" " " permitted "${allowed_${folder}}")
      string(APPEND faults "${shown}: ${line}: src/${folder} may include only: ${permitted}\n")
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes against the layering (see cmake/check_layers.cmake):\n${faults}")
endif()
if(VELKOR_STAMP)
  file(TOUCH "${VELKOR_STAMP}")
endif()

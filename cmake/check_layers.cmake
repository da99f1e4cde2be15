# Dependencies run one way: a folder under src/ includes only itself and the
# folders cmake/layers.cmake lists for it, all of them below it. Run as a script
# (cmake -DVELKOR_SOURCE_DIR=<checkout> [-DVELKOR_STAMP=<file>] -P check_layers.cmake);
# an include of a folder not listed fails with the file, the line and the rule.
#
# Every spelling counts: "folder/x.h", <folder/x.h> and a path relative to the
# including file ("../folder/x.h", "./../../src/folder/x.h"). The include
# roots each library compiles with (CMakeLists.txt) hold only the folders it
# may use, so a spelling this check cannot read (a macro) finds no file either.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)
set(folders ${VELKOR_LAYERS})
get_filename_component(src_root "${VELKOR_SOURCE_DIR}/src" ABSOLUTE)

set(faults "")
file(GLOB children RELATIVE "${src_root}" "${src_root}/*")
foreach(folder IN LISTS children)
  if(NOT IS_DIRECTORY "${src_root}/${folder}")
    continue()
  endif()
  if(NOT folder IN_LIST folders)
    string(APPEND faults "src/${folder}: a new folder needs its place in cmake/layers.cmake\n")
    continue()
  endif()
  file(GLOB_RECURSE sources "${src_root}/${folder}/*.h" "${src_root}/${folder}/*.cpp" "${src_root}/${folder}/*.rc")
  foreach(source IN LISTS sources)
    get_filename_component(source_dir "${source}" DIRECTORY)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*" "\\1" path "${line}")
      set(target "")
      if(path MATCHES "^([A-Za-z0-9_]+)/" AND CMAKE_MATCH_1 IN_LIST folders)
        set(target "${CMAKE_MATCH_1}")
      endif()
      # A relative spelling names the folder it lands in, wherever it starts.
      if(path MATCHES "(^|/)\\.\\.?/")
        get_filename_component(resolved "${source_dir}/${path}" ABSOLUTE)
        file(RELATIVE_PATH inside "${src_root}" "${resolved}")
        if(inside MATCHES "^([A-Za-z0-9_]+)/" AND CMAKE_MATCH_1 IN_LIST folders)
          set(target "${CMAKE_MATCH_1}")
        else()
          set(target "")
        endif()
      endif()
      if(target STREQUAL "" OR target STREQUAL folder OR target IN_LIST VELKOR_USES_${folder})
        continue()
      endif()
      file(RELATIVE_PATH shown "${VELKOR_SOURCE_DIR}" "${source}")
      string(STRIP "${line}" line)
      string(REPLACE ";" " " permitted "${VELKOR_USES_${folder}}")
      string(APPEND faults "${shown}: ${line}: src/${folder} may include only: ${permitted}\n")
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes against the layering (see cmake/layers.cmake):\n${faults}")
endif()
if(VELKOR_STAMP)
  file(TOUCH "${VELKOR_STAMP}")
endif()

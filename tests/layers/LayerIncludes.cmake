# Checks that no source reaches around the layers:
#   - no include names a path through "..", in any spelling ("../x/y.h",
#     "model/../soundfiles/WavFile.h", <model/../x.h>): the compiler would
#     follow it past the layer's include folder;
#   - no layer but views and app includes a Qt Widgets header (<QWidget>,
#     <QtWidgets/QLabel>, <qwidget.h>), which Qt's own include folder would
#     otherwise let compile until link time;
#   - each layer's LINKS in CMakeLists.txt name exactly the project layers
#     its sources include.
# Run as: cmake -DSOURCE_DIR=<tree holding CMakeLists.txt and src/>
#               -DWIDGETS_DIR=<Qt's QtWidgets include folder> -P LayerIncludes.cmake
# Prints each problem, then "N problems", and fails when there is any.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT WIDGETS_DIR)
  message(FATAL_ERROR "give -DSOURCE_DIR and -DWIDGETS_DIR")
endif()
get_filename_component(SOURCE_DIR ${SOURCE_DIR} ABSOLUTE)
set(widget_layers views app)

file(GLOB widget_headers RELATIVE ${WIDGETS_DIR} ${WIDGETS_DIR}/*)
if(NOT widget_headers)
  message(FATAL_ERROR "no Qt Widgets headers in ${WIDGETS_DIR}")
endif()

file(GLOB layer_dirs LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*)
set(layers "")
foreach(dir ${layer_dirs})
  if(IS_DIRECTORY ${SOURCE_DIR}/src/${dir})
    list(APPEND layers ${dir})
  endif()
endforeach()

set(problems 0)
macro(problem text)
  message("${text}")
  math(EXPR problems "${problems} + 1")
endmacro()

foreach(layer ${layers})
  set(included_${layer} "")
  file(GLOB sources ${SOURCE_DIR}/src/${layer}/*.h ${SOURCE_DIR}/src/${layer}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include")
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
    foreach(line ${lines})
      if(NOT line MATCHES "include[ \t]*[<\"]([^\">]*)[\">]")
        continue()
      endif()
      set(path ${CMAKE_MATCH_1})
      string(REPLACE "\\" "/" path "${path}")
      if("/${path}/" MATCHES "/\\.\\./")
        problem("${shown}: includes \"${path}\" through ..; name it from its layer (\"layer/File.h\")")
      endif()
      string(REGEX MATCH "^[^/]*" first "${path}")
      get_filename_component(name "${path}" NAME)
      if(NOT layer IN_LIST widget_layers AND (first STREQUAL "QtWidgets" OR (first STREQUAL path AND name IN_LIST widget_headers)))
        problem("${shown}: includes the Qt Widgets header <${path}>; only views and app use widgets")
      endif()
      if(first IN_LIST layers AND NOT first STREQUAL layer AND NOT first STREQUAL path)
        list(APPEND included_${layer} ${first})
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES included_${layer})
endforeach()

# Each layer's declared links against what it includes.
file(READ ${SOURCE_DIR}/CMakeLists.txt top)
string(REGEX MATCHALL "cellsonify_layer\\([^)]*\\)" declarations "${top}")
foreach(declaration ${declarations})
  if(NOT declaration MATCHES "cellsonify_layer\\(([a-z]+)(.*)\\)")
    continue()
  endif()
  set(layer ${CMAKE_MATCH_1})
  string(REGEX MATCHALL "cellsonify_[a-z]+" linked "${CMAKE_MATCH_2}")
  list(TRANSFORM linked REPLACE "^cellsonify_" "")
  foreach(link ${linked})
    if(NOT link IN_LIST included_${layer})
      problem("CMakeLists.txt: ${layer} links ${link} but includes nothing of it")
    endif()
  endforeach()
  foreach(used ${included_${layer}})
    if(NOT used IN_LIST linked)
      problem("CMakeLists.txt: ${layer} includes ${used} but does not link it")
    endif()
  endforeach()
endforeach()

message("${problems} problems")
if(problems GREATER 0)
  message(FATAL_ERROR "the layers are bypassed")
endif()

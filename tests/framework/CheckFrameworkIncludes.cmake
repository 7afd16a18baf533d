# Fails when a file under framework/ includes another subsystem of the tree.
# framework/ is the ground floor: the binary interfaces, the block base
# classes, the catalogue, the messages and the exports. Everything else is
# built on it, so it may include only itself and the system's headers.
# (The block factories it calls are declared in framework/BlockFactories.h
# and defined by the block folders: a link-time edge, not an include.)
#
# cmake -DFRAMEWORK_DIR=<source>/framework -P CheckFrameworkIncludes.cmake
if(NOT IS_DIRECTORY "${FRAMEWORK_DIR}")
  message(FATAL_ERROR "FRAMEWORK_DIR must name the framework folder, got '${FRAMEWORK_DIR}'")
endif()
set(upper numeric generators transforms wave dialogs host signal)
list(JOIN upper "|" upper_alternatives)
file(GLOB_RECURSE files LIST_DIRECTORIES false "${FRAMEWORK_DIR}/*.h" "${FRAMEWORK_DIR}/*.cpp")
if(NOT files)
  message(FATAL_ERROR "no sources found under ${FRAMEWORK_DIR}")
endif()
set(faults "")
foreach(file ${files})
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "#[ \t]*include[ \t]*[\"<]([./]*)(${upper_alternatives})/")
      file(RELATIVE_PATH rel "${FRAMEWORK_DIR}/.." "${file}")
      string(APPEND faults "  ${rel}: ${line}\n")
    endif()
  endforeach()
endforeach()
list(LENGTH files count)
if(faults)
  message(FATAL_ERROR "framework/ includes other subsystems:\n${faults}")
endif()
message(STATUS "framework/: ${count} files include nothing above framework/")

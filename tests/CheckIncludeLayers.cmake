# Fails when a source file includes a header of a layer it may not depend on,
# naming the file and the include. The layers, lowest first:
#   floating point              framework/FloatingPointGuard.h alone, under
#                               every layer: the library's floating-point
#                               state, which every entry of the plug-in and
#                               of the signal library puts in force
#   signal, framework           the signal library; the binary interfaces,
#                               block base classes, catalogue and messages
#   numeric                     records, value texts, formulas, the library binding
#   wave format                 wave/format/: the WAVE header as the player reads
#                               it, which the wave block and the host both ask
#   blocks                      generators/, transforms/, wave/
#   dialog logic                dialogs/logic/
#   front ends                  the Qt dialogs (dialogs/*.cpp and dialogs/qt/),
#                               dialogs/win32/, dialogs/launcher/
#   host, beside the blocks (on framework, numeric and the wave format), in parts:
#     host/design               reading and checking designs, the block types
#                               and record fields, the simulator's words
#     host/engine               the in-process host, the plug-in loader, the
#                               stimuli and the engine
#     host/outputs              the writers behind the sink interface
#     host/run                  one run and its table of outputs
#     host/session              one block stepped on its own
#     host/cli                  the command line
#   python                      the module over the host (not its command line)
# A file of host/ outside these parts is a fault of its own.
# An include is resolved as the compilers do: beside the including file, then
# from the root of the tree, then (for the dialogs) from dialogs/. Headers
# that resolve to no file of the tree (system, Qt, Win32) are not checked.
# tests/, bench/, fuzz/ and the Windows build glue may include anything.
#
# cmake -DROOT_DIR=<source> -P CheckIncludeLayers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT IS_DIRECTORY "${ROOT_DIR}")
  message(FATAL_ERROR "ROOT_DIR must name the root of the tree, got '${ROOT_DIR}'")
endif()

# Layer -> the layers its files may include (each may include itself).
# The floating-point layer lies below every other: any file may include it.
set(may_floating_point "")
set(may_signal "")
set(may_framework "")
set(may_numeric framework signal)
set(may_wave_format "")
set(may_blocks wave_format numeric framework signal)
set(may_dialog_logic blocks wave_format numeric framework signal)
set(may_front_end dialog_logic blocks wave_format numeric framework signal)
set(may_host_design wave_format numeric framework)
set(may_host_engine host_design wave_format numeric framework)
set(may_host_outputs host_engine host_design wave_format numeric framework)
set(may_host_run host_outputs host_engine host_design wave_format numeric framework)
set(may_host_session host_engine host_design wave_format numeric framework)
set(may_host_cli host_run host_outputs host_engine host_design wave_format numeric framework)
set(may_python host_session host_run host_outputs host_engine host_design wave_format numeric framework)
set(host_parts design engine outputs run session cli)

# The layer of a path relative to the root ("" when it is in none).
function(layer_of path out)
  set(layer "")
  if(path STREQUAL "framework/FloatingPointGuard.h")
    set(layer floating_point)
  elseif(path MATCHES "^(signal|framework|numeric|python)/")
    set(layer ${CMAKE_MATCH_1})
  elseif(path MATCHES "^host/([^/]+)/" AND CMAKE_MATCH_1 IN_LIST host_parts)
    set(layer host_${CMAKE_MATCH_1})
  elseif(path MATCHES "^host/")
    set(layer host_unknown)
  elseif(path MATCHES "^wave/format/")
    set(layer wave_format)
  elseif(path MATCHES "^(generators|transforms|wave)/")
    set(layer blocks)
  elseif(path MATCHES "^dialogs/logic/")
    set(layer dialog_logic)
  elseif(path MATCHES "^dialogs/(qt|win32|launcher)/" OR path MATCHES "^dialogs/[^/]+$")
    set(layer front_end)
  endif()
  set(${out} "${layer}" PARENT_SCOPE)
endfunction()

set(patterns "")
foreach(folder signal framework numeric generators transforms wave dialogs host python)
  list(APPEND patterns "${ROOT_DIR}/${folder}/*.h" "${ROOT_DIR}/${folder}/*.cpp" "${ROOT_DIR}/${folder}/*.c")
endforeach()
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${ROOT_DIR}" ${patterns})
file(REAL_PATH "${ROOT_DIR}" root)
set(faults "")
set(count 0)
foreach(rel ${files})
  layer_of("${rel}" from)
  if(from STREQUAL "")
    continue()
  elseif(from STREQUAL "host_unknown")
    string(REPLACE ";" ", " parts "${host_parts}")
    string(APPEND faults "  ${rel}: in no part of host/ (${parts})\n")
    continue()
  endif()
  math(EXPR count "${count} + 1")
  get_filename_component(dir "${ROOT_DIR}/${rel}" DIRECTORY)
  file(STRINGS "${ROOT_DIR}/${rel}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(candidates "${dir}/${CMAKE_MATCH_1}" "${ROOT_DIR}/${CMAKE_MATCH_1}" "${ROOT_DIR}/dialogs/${CMAKE_MATCH_1}")
    elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+/[^>]+)>")
      set(candidates "${ROOT_DIR}/${CMAKE_MATCH_1}")
    else()
      continue()
    endif()
    set(to "")
    foreach(candidate ${candidates})
      if(EXISTS "${candidate}" AND NOT IS_DIRECTORY "${candidate}")
        file(REAL_PATH "${candidate}" target)
        file(RELATIVE_PATH target "${root}" "${target}")
        layer_of("${target}" to)
        break()
      endif()
    endforeach()
    if(to STREQUAL "" OR to STREQUAL from OR to STREQUAL "floating_point" OR to IN_LIST may_${from})
      continue()
    endif()
    string(STRIP "${line}" line)
    string(REPLACE ";" ", " allowed "${may_${from}}")
    if(allowed STREQUAL "")
      set(allowed "itself")
    endif()
    string(APPEND faults "  ${rel}: ${line} (${to}; ${from} may include only ${allowed})\n")
  endforeach()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "no sources of any layer found under ${ROOT_DIR}")
endif()
if(faults)
  message(FATAL_ERROR "files include a layer they may not depend on:\n${faults}")
endif()
message(STATUS "${count} files include only their own layer and the layers below it")

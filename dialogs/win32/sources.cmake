# The Win32 front end of the parameter dialogs: part of the Windows DLL only.
set(dialog_win32_sources
  ${CMAKE_CURRENT_LIST_DIR}/WinText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinDialogRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinGeneratorDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinTransformDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinTableEditor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinWaveDialog.cpp)
# The sound clips, built into the DLL itself (not into a static library,
# whose linker would drop an object nothing refers to).
set(dialog_win32_resources ${CMAKE_CURRENT_LIST_DIR}/WinClips.rc)
set(dialog_win32_clips_dir ${CMAKE_CURRENT_LIST_DIR}/../clips)
# Libraries the front end calls.
set(dialog_win32_libraries comctl32 comdlg32 gdi32 user32 winmm)

# The Win32 front end of the parameter dialogs: part of the Windows DLL only.
set(dialog_win32_sources
  ${CMAKE_CURRENT_LIST_DIR}/WinText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinDialogView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinDialogRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinGeneratorDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinTransformDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinTableEditor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinWaveDialog.cpp)
# The sound clips and the common-controls manifest, built into the DLL itself
# (not into a static library, whose linker would drop an object nothing
# refers to).
set(dialog_win32_resources ${CMAKE_CURRENT_LIST_DIR}/WinClips.rc ${CMAKE_CURRENT_LIST_DIR}/CommonControls.rc)
set(dialog_win32_clips_dir ${CMAKE_CURRENT_LIST_DIR}/../clips)
set(dialog_win32_resource_files
  ${dialog_win32_clips_dir}/Fantastic.wav ${dialog_win32_clips_dir}/Perfect.wav ${dialog_win32_clips_dir}/Great.wav
  ${dialog_win32_clips_dir}/Nice_work.wav ${dialog_win32_clips_dir}/Thank_You.wav ${dialog_win32_clips_dir}/TEST.wav
  ${CMAKE_CURRENT_LIST_DIR}/CommonControls.manifest)
# Libraries the front end calls.
set(dialog_win32_libraries comctl32 comdlg32 gdi32 user32 winmm)

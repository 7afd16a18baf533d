# What the dialogs decide, free of any toolkit: the Qt module and the Win32
# front end of the Windows build both draw from it.
set(dialog_logic_sources
  ${CMAKE_CURRENT_LIST_DIR}/DialogLanguage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ServiceHooks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HostRequest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DelayUnits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DelayEditorModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeneratorDialogLogic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeneratorPresenter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundClips.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveDialogLogic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WavePresenter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CoefficientLists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TransformDialogLogic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TransformDialogPresenter.cpp)

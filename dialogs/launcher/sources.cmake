# The plug-in's side of the dialogs: always part of the block library, free
# of Qt. The Windows build uses DialogLauncherWin.cpp in place of
# DialogLauncher.cpp (which loads the Qt module).
set(launcher_sources ${CMAKE_CURRENT_LIST_DIR}/DialogLauncher.cpp ${CMAKE_CURRENT_LIST_DIR}/DialogServices.cpp)
set(launcher_win_sources ${CMAKE_CURRENT_LIST_DIR}/DialogLauncherWin.cpp ${CMAKE_CURRENT_LIST_DIR}/DialogServices.cpp)

# The plug-in's side of the dialog module: always part of the block library,
# free of Qt. The Windows build uses DialogLauncherWin.cpp in its place.
set(launcher_sources ${CMAKE_CURRENT_LIST_DIR}/DialogLauncher.cpp)

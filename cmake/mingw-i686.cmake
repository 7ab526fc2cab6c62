# 32-bit Windows build: the deliverables users install. Its tests run them
# in a pure 32-bit Wine prefix (tools/wine-run).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KLRN_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KLRN_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KLRN_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KLRN_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KLRN_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)

# What both MinGW toolchains share; they set lumox_triple first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${lumox_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${lumox_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${lumox_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${lumox_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything linked in statically: the .exe needs only Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Cross toolchain for 64-bit Windows with Debian's MinGW-w64.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake \
#         -DBRIVANO_WINDOWS_PREFIX=$(scripts/windows-deps --print-prefix) ...
#
# The posix flavour of the compilers: the win32 one has no std::thread or
# std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRIVANO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BRIVANO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRIVANO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BRIVANO_MINGW_TRIPLET}-windres)

# The prefix that scripts/windows-deps fills (Qt, SQLite, libpq, libmariadb).
# A copy of this file inside that prefix, which is what its qt-cmake
# chainloads, finds the prefix by itself.
if(NOT BRIVANO_WINDOWS_PREFIX)
    if(DEFINED ENV{BRIVANO_WINDOWS_PREFIX})
        set(BRIVANO_WINDOWS_PREFIX "$ENV{BRIVANO_WINDOWS_PREFIX}")
    elseif(EXISTS "${CMAKE_CURRENT_LIST_DIR}/../../lib/cmake/Qt6/qt.toolchain.cmake")
        get_filename_component(BRIVANO_WINDOWS_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
    endif()
endif()
set(BRIVANO_WINDOWS_PREFIX "${BRIVANO_WINDOWS_PREFIX}" CACHE PATH
    "Prefix holding the Windows libraries prepared by scripts/windows-deps")
# try_compile projects read this file again but see no cache of ours.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRIVANO_WINDOWS_PREFIX)

# Only Windows headers, libraries and packages may be found; host programs
# (moc, rcc, pkg-config) are still taken from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${BRIVANO_MINGW_TRIPLET})
if(BRIVANO_WINDOWS_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH "${BRIVANO_WINDOWS_PREFIX}")
endif()
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config would otherwise hand Linux libraries to a Windows link.
if(BRIVANO_WINDOWS_PREFIX)
    set(ENV{PKG_CONFIG_LIBDIR} "${BRIVANO_WINDOWS_PREFIX}/lib/pkgconfig")
else()
    set(ENV{PKG_CONFIG_LIBDIR} "/usr/${BRIVANO_MINGW_TRIPLET}/lib/pkgconfig")
endif()

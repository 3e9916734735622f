# Cross build for 64-bit Windows in Microsoft's C++ ABI with clang-cl and lld-link (Debian's
# clang-14, clang-tools-14, lld-14, llvm-14), against the Windows headers and PE import libraries
# of Debian's libwine-dev. These give the dynamic C runtime (ucrtbase.dll, vcruntime140.dll) and
# the system DLLs, but neither Microsoft's start-up objects nor a C++ standard library: the build
# adds its own start-up unit (cmake/msvc-startup/) and builds only what needs the C runtime alone.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_C_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_LINKER lld-link-14)
set(CMAKE_AR llvm-lib-14)
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_MT llvm-mt-14)

set(wine_headers /usr/include/wine/wine)
set(wine_import_libraries /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)

# /GS-: there is no security-cookie runtime. /Zl: the objects name no default libraries (there
# is no msvcrt.lib); the import libraries below are linked instead. The define renames a
# declaration in Wine's winnt.h that clashes with the compiler's builtin of that name.
set(wine_flags "/imsvc ${wine_headers}/msvcrt /imsvc ${wine_headers}/windows /GS- /Zl")
string(APPEND wine_flags " -D_InterlockedCompareExchange128=__wine_ICX128")
set(CMAKE_C_FLAGS_INIT "${wine_flags}")
set(CMAKE_CXX_FLAGS_INIT "${wine_flags}")
# Only the dynamic C runtime exists, and no debug variant of it.
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)

# In the order Microsoft's linker searches its own: the compiler runtime before the C runtime,
# and ntdll (for the stack probe __chkstk) before kernel32.
set(wine_libraries
  ${wine_import_libraries}/libvcruntime140.a
  ${wine_import_libraries}/libucrtbase.a
  ${wine_import_libraries}/libntdll.a
  ${wine_import_libraries}/libkernel32.a)
list(JOIN wine_libraries " " wine_libraries)
set(CMAKE_C_STANDARD_LIBRARIES "${wine_libraries}" CACHE STRING "Wine's import libraries" FORCE)
set(CMAKE_CXX_STANDARD_LIBRARIES "${wine_libraries}" CACHE STRING "Wine's import libraries" FORCE)

# Programs start in the start-up unit's mainCRTStartup. Named, because the linker would otherwise
# guess from main and wmain, and Wine's ucrtbase import library has a wmain of its own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "/entry:mainCRTStartup")

# The compiler checks cannot link a program before the start-up unit is built.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)

# Read by the project: link cmake/msvc-startup/ into the module and programs, and build only
# what needs no C++ standard library. A build with Microsoft's own libraries leaves it unset.
set(LOTWRIGHT_WINE_IMPORT_LIBRARIES ON)

// NUMERICS_API marks the toolkit's public functions. A static library (the default, and what
// the plugin module links in) needs no marking. A shared library exports exactly the marked
// functions: its build defines NUMERICS_SHARED_LIBRARY and NUMERICS_BUILDING_LIBRARY, and code
// that uses it defines NUMERICS_SHARED_LIBRARY (the CMake package and numerics.pc do).
#ifndef NUMERICS_EXPORT_H
#define NUMERICS_EXPORT_H

#if !defined(NUMERICS_SHARED_LIBRARY)
#define NUMERICS_API
#elif defined(_WIN32)
#if defined(NUMERICS_BUILDING_LIBRARY)
#define NUMERICS_API __declspec(dllexport)
#else
#define NUMERICS_API __declspec(dllimport)
#endif
#else
#define NUMERICS_API __attribute__((visibility("default")))
#endif

#endif

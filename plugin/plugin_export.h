// Marks what the plugin module exports: the seven module functions and the two classes.
// Everything else in the module stays hidden (Linux builds with -fvisibility=hidden).
#pragma once

#if defined(_WIN32)
#if defined(LOTWRIGHT_BUILDING_MODULE)
#define LOTWRIGHT_EXPORT __declspec(dllexport)
#else
#define LOTWRIGHT_EXPORT __declspec(dllimport)
#endif
#else
#define LOTWRIGHT_EXPORT __attribute__((visibility("default")))
#endif

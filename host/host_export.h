// Marks the host functions that the development host exports by name, as a CorvaneZT host does.
#pragma once

#if defined(_WIN32)
#define ZT_HOST_EXPORT __declspec(dllexport)
#else
#define ZT_HOST_EXPORT __attribute__((visibility("default")))
#endif

// Marks the module's two entries for export; everything else is hidden.
#pragma once

#if defined(_WIN32)
#define FX_EXPORT extern "C" __declspec(dllexport)
#else
#define FX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

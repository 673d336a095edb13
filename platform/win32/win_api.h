// <windows.h> for the files that talk to Win32. It defines DeleteFile,
// CreateDirectory and ReplaceFile as macros, which would rename the
// platform functions of the same names; code that includes both this header
// and platform/files.h calls the A-functions by their full names instead.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef DeleteFile
#undef CreateDirectory
#undef ReplaceFile

#include <windows.h>

#include <cstdio>

#include "platform/system/console.h"

namespace platform {

namespace {

// Whether `which` (STD_OUTPUT_HANDLE, STD_ERROR_HANDLE) already goes somewhere: a file, a
// pipe or a console handed over by the starting process.
bool hasStandardHandle(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

void useParentConsole() {
    if (hasStandardHandle(STD_OUTPUT_HANDLE) && hasStandardHandle(STD_ERROR_HANDLE)) {
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;  // started from Explorer or the Start menu: nobody reads it
    }
    if (!hasStandardHandle(STD_OUTPUT_HANDLE)) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (!hasStandardHandle(STD_ERROR_HANDLE)) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

}  // namespace platform

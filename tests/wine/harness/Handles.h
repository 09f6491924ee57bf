// The handle kinds the harness owns beyond those of platform/UniqueHandle.h.
#pragma once

#include <windows.h>

#include "platform/UniqueHandle.h"

namespace harness {

namespace handle_policy {
inline void CloseFind(HANDLE h) { FindClose(h); }
}  // namespace handle_policy

using UniqueFind = UniqueHandle<HANDLE, handle_policy::CloseFind, static_cast<intptr_t>(-1)>;

}  // namespace harness

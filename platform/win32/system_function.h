#pragma once
// A function of a system DLL that not every Windows the exe runs on has:
// looked up by name, so that the import table holds nothing newer than XP.

#include <windows.h>

namespace talvorin::platform::win32 {

// Null where the DLL is not loaded or does not export the name.
template <typename Function>
Function system_function(const wchar_t* dll, const char* name) {
  const HMODULE module = ::GetModuleHandleW(dll);
  // Through a plain function pointer: GetProcAddress's type fits no signature.
  return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name))) : nullptr;
}

}  // namespace talvorin::platform::win32

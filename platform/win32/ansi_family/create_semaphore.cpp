// The compiler's runtime creates the semaphores behind its mutexes with CreateSemaphoreW, a
// stub that fails on 95/98/Me. Programs for those releases link this file: it takes the
// import's place and makes the call in its ANSI form, which works on every release.
#include <windows.h>

#include <string>

namespace {

HANDLE WINAPI createSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name) {
  if (name == nullptr) return ::CreateSemaphoreA(attributes, initial, maximum, nullptr);
  const int size = ::WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return nullptr;
  std::string narrow(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, name, -1, narrow.data(), size, nullptr, nullptr);
  return ::CreateSemaphoreA(attributes, initial, maximum, narrow.c_str());
}

}  // namespace

// The import address the runtime calls through, under the name the linker gives it; defined
// here, it keeps the kernel32 import out of the program.
extern "C" {
extern HANDLE(WINAPI* const importedCreateSemaphoreW)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) __asm__(
    "__imp__CreateSemaphoreW@16");
HANDLE(WINAPI* const importedCreateSemaphoreW)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) = &createSemaphore;
}

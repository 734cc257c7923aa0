#include "process_objects.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace {

// Wine 8 keeps one table of 0x10000 entries of 24 bytes, reached from the
// 64-bit process block; an entry is in use when its type byte is set, and
// stock objects carry bit 7 of byte 12.
constexpr int kEntries = 0x10000;
constexpr int kEntrySize = 24;

template <typename T>
bool Read(uintptr_t address, T& out) {
  if (!address || IsBadReadPtr(reinterpret_cast<const void*>(address), sizeof(T))) return false;
  out = *reinterpret_cast<const T*>(address);
  return true;
}

// The thread block's fields are read with instructions of their own: GCC takes
// the intrinsics' segment offsets for addresses near null and warns about them.
uintptr_t WineGdiTable() {
  uint64_t table = 0;
#ifdef _WIN64
  uintptr_t peb = 0;
  __asm__("movq %%gs:0x60, %0" : "=r"(peb));
  if (!Read(peb + 0xF8, table)) return 0;
#else
  // A 32-bit process on 64-bit Wine finds the 64-bit thread block in the 32-bit
  // block's batch-count field.
  uintptr_t teb = 0;
  __asm__("movl %%fs:0x18, %0" : "=r"(teb));
  uint32_t teb64 = 0;
  uint64_t peb64 = 0;
  if (!Read(teb + 0xF70, teb64) || !Read(uintptr_t{teb64} + 0x60, peb64) ||
      peb64 > UINTPTR_MAX || !Read(static_cast<uintptr_t>(peb64) + 0xF8, table))
    return 0;
#endif
  if (!table || table > UINTPTR_MAX) return 0;
  const auto address = static_cast<uintptr_t>(table);
  if (IsBadReadPtr(reinterpret_cast<const void*>(address), size_t{kEntries} * kEntrySize)) return 0;
  return address;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  return TRUE;
}

// A top-level window of this process and all its descendants.
BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<long*>(count);
  EnumChildWindows(window, CountChild, count);
  return TRUE;
}

}  // namespace

long CountGdiObjects() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
  const uintptr_t table = WineGdiTable();
  if (!table) return -1;
  long count = 0;
  for (int i = 0; i < kEntries; ++i) {
    const auto* entry = reinterpret_cast<const uint8_t*>(table + static_cast<size_t>(i) * kEntrySize);
    if (entry[14] && !(entry[12] & 0x80)) ++count;
  }
  return count;
}

long CountUserObjects() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(n);
  // The windows stand for the USER objects: a leaked viewer leaves its windows.
  long count = 0;
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// ---- Font registrations ---------------------------------------------------------

namespace {

using AddA = int(WINAPI*)(LPCSTR, DWORD, PVOID);
using AddW = int(WINAPI*)(LPCWSTR, DWORD, PVOID);
using RemoveA = BOOL(WINAPI*)(LPCSTR, DWORD, PVOID);
using RemoveW = BOOL(WINAPI*)(LPCWSTR, DWORD, PVOID);

using AddMemory = HANDLE(WINAPI*)(PVOID, DWORD, PVOID, DWORD*);
using RemoveMemory = BOOL(WINAPI*)(HANDLE);

AddA real_add_a = nullptr;
AddW real_add_w = nullptr;
RemoveA real_remove_a = nullptr;
RemoveW real_remove_w = nullptr;
AddMemory real_add_memory = nullptr;
RemoveMemory real_remove_memory = nullptr;
std::map<std::wstring, long> live;
long made = 0;
// Fonts handed over from memory, by handle, with their sizes.
std::map<HANDLE, DWORD> live_memory;
uint64_t memory_bytes = 0;

std::wstring Widen(LPCSTR text) {
  std::wstring out;
  for (; text && *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return out;
}

void Added(const std::wstring& name, int result) {
  if (result <= 0) return;
  ++live[name];
  ++made;
}

void Removed(const std::wstring& name) {
  auto it = live.find(name);
  if (it != live.end() && --it->second == 0) live.erase(it);
}

int WINAPI CountingAddA(LPCSTR name, DWORD flags, PVOID reserved) {
  const int result = real_add_a(name, flags, reserved);
  Added(Widen(name), result);
  return result;
}
int WINAPI CountingAddW(LPCWSTR name, DWORD flags, PVOID reserved) {
  const int result = real_add_w(name, flags, reserved);
  Added(name ? name : L"", result);
  return result;
}
BOOL WINAPI CountingRemoveA(LPCSTR name, DWORD flags, PVOID reserved) {
  Removed(Widen(name));
  return real_remove_a(name, flags, reserved);
}
BOOL WINAPI CountingRemoveW(LPCWSTR name, DWORD flags, PVOID reserved) {
  Removed(name ? name : L"");
  return real_remove_w(name, flags, reserved);
}

HANDLE WINAPI CountingAddMemory(PVOID font, DWORD size, PVOID reserved, DWORD* count) {
  HANDLE handle = real_add_memory(font, size, reserved, count);
  if (handle) {
    live_memory[handle] = size;
    memory_bytes += size;
    ++made;
  }
  return handle;
}
BOOL WINAPI CountingRemoveMemory(HANDLE handle) {
  live_memory.erase(handle);
  return real_remove_memory(handle);
}

// Points one import slot of `module` named `function` at `replacement`; returns
// what it held.
void* ReplaceImport(HMODULE module, const char* function, void* replacement) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return nullptr;
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       desc->Name; ++desc) {
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<uintptr_t>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return previous;
    }
  }
  return nullptr;
}

template <typename F>
bool Replace(HMODULE module, const char* name, F replacement, F& real) {
  void* previous = ReplaceImport(module, name, reinterpret_cast<void*>(replacement));
  if (previous) real = reinterpret_cast<F>(previous);
  return previous != nullptr;
}

}  // namespace

bool WatchFontRegistrations(HMODULE plugin) {
  if (!plugin) return false;
  bool a = Replace(plugin, "AddFontResourceExA", &CountingAddA, real_add_a) &
           Replace(plugin, "RemoveFontResourceExA", &CountingRemoveA, real_remove_a);
  bool w = Replace(plugin, "AddFontResourceExW", &CountingAddW, real_add_w) &
           Replace(plugin, "RemoveFontResourceExW", &CountingRemoveW, real_remove_w);
  Replace(plugin, "AddFontMemResourceEx", &CountingAddMemory, real_add_memory) &&
      Replace(plugin, "RemoveFontMemResourceEx", &CountingRemoveMemory, real_remove_memory);
  return a || w;
}

long LiveFontRegistrations() {
  long count = static_cast<long>(live_memory.size());
  for (const auto& [name, n] : live) count += n;
  return count;
}

uint64_t MemoryFontBytesHandedOver() { return memory_bytes; }

long FontRegistrationsMade() { return made; }

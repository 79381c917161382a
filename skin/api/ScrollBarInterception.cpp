// The first bytes of each USER32 entry are replaced by a jump to its
// interceptor; the replaced instructions are moved into a trampoline that
// continues at the rest of the entry, so the interceptor can still run the
// system's own function.
//
// Why the entries and not the import tables of the loaded modules: the calls
// that matter most do not pass through an import table. USER32's own controls
// (the list box, for one) call these exports inside USER32, common controls
// may be loaded after the skin, and programs resolve functions with
// GetProcAddress.
// A patched entry catches all of these at once, with nothing to redo when a
// module is loaded later.
//
// Why a short list of known instructions and not a general decoder: Wine 8 and
// Windows both begin these entries with a few position-independent
// instructions (the hot-patch "mov edi,edi; push ebp; mov ebp,esp", an
// indirect "jmp [import]" thunk where USER32 forwards to WIN32U, a system call
// stub's "mov eax, number" on Windows versions that export the WIN32U stub
// directly). Any other entry is refused instead of guessed at; installation
// then fails as a whole and leaves every entry as it was.
//
// The five-byte writes are not atomic. They happen when the skin is loaded or
// released, on the thread that owns the windows, before and after the
// program's other threads have any business with scroll bars.
#include "ScrollBarInterception.h"

#include "ErrorBarrier.h"
#include "WindowScrollBars.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace Velmora {
namespace {

constexpr std::size_t kJumpSize = 5;
// Moved instructions (at most 4 + 6 bytes) and the jump back.
constexpr std::size_t kTrampolineSize = 16;

enum Function {
    kSetScrollInfo,
    kGetScrollInfo,
    kSetScrollPos,
    kGetScrollPos,
    kSetScrollRange,
    kGetScrollRange,
    kShowScrollBar,
    kEnableScrollBar,
    kFunctionCount
};

struct Patch {
    BYTE* entry = nullptr;
    BYTE saved[kJumpSize] = {};
    // Runs the system's own function: the moved instructions, then a jump to
    // the rest of the entry.
    BYTE* trampoline = nullptr;
};

Patch g_patches[kFunctionCount];
bool g_installed = false;
std::atomic<unsigned long> g_calls{0};

template <typename Fn> Fn System(Function function) {
    return reinterpret_cast<Fn>(g_patches[function].trampoline);
}

// Each interceptor answers from the skin's record of a window that carries
// one and hands every other call to the system unchanged. Nothing thrown
// inside reaches the caller: it gets the function's failure value.

int WINAPI InterceptSetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw) {
    ++g_calls;
    return CallGuarded(0, [&] {
        if (SkinnedScrollBars* bars = SkinnedScrollBars::Of(window))
            return bars->SetScrollInfo(bar, info, redraw);
        return System<decltype(&::SetScrollInfo)>(kSetScrollInfo)(window, bar, info, redraw);
    });
}

BOOL WINAPI InterceptGetScrollInfo(HWND window, int bar, LPSCROLLINFO info) {
    ++g_calls;
    return CallGuarded(BOOL{FALSE}, [&] {
        if (SkinnedScrollBars* bars = SkinnedScrollBars::Of(window))
            return bars->GetScrollInfo(bar, info);
        return System<decltype(&::GetScrollInfo)>(kGetScrollInfo)(window, bar, info);
    });
}

int WINAPI InterceptSetScrollPos(HWND window, int bar, int position, BOOL redraw) {
    ++g_calls;
    return CallGuarded(0, [&] {
        if (SkinnedScrollBars* bars = SkinnedScrollBars::Of(window))
            return bars->SetScrollPos(bar, position, redraw);
        return System<decltype(&::SetScrollPos)>(kSetScrollPos)(window, bar, position, redraw);
    });
}

int WINAPI InterceptGetScrollPos(HWND window, int bar) {
    ++g_calls;
    return CallGuarded(0, [&] {
        if (SkinnedScrollBars* bars = SkinnedScrollBars::Of(window))
            return bars->GetScrollPos(bar);
        return System<decltype(&::GetScrollPos)>(kGetScrollPos)(window, bar);
    });
}

BOOL WINAPI InterceptSetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw) {
    ++g_calls;
    return CallGuarded(BOOL{FALSE}, [&] {
        if (SkinnedScrollBars* bars = SkinnedScrollBars::Of(window))
            return bars->SetScrollRange(bar, minimum, maximum, redraw);
        return System<decltype(&::SetScrollRange)>(kSetScrollRange)(window, bar, minimum, maximum,
                                                                    redraw);
    });
}

BOOL WINAPI InterceptGetScrollRange(HWND window, int bar, LPINT minimum, LPINT maximum) {
    ++g_calls;
    return CallGuarded(BOOL{FALSE}, [&] {
        if (SkinnedScrollBars* bars = SkinnedScrollBars::Of(window))
            return bars->GetScrollRange(bar, minimum, maximum);
        return System<decltype(&::GetScrollRange)>(kGetScrollRange)(window, bar, minimum, maximum);
    });
}

BOOL WINAPI InterceptShowScrollBar(HWND window, int bar, BOOL show) {
    ++g_calls;
    return CallGuarded(BOOL{FALSE}, [&] {
        if (SkinnedScrollBars* bars = SkinnedScrollBars::Of(window))
            return bars->ShowScrollBar(bar, show);
        return System<decltype(&::ShowScrollBar)>(kShowScrollBar)(window, bar, show);
    });
}

BOOL WINAPI InterceptEnableScrollBar(HWND window, UINT bars, UINT arrows) {
    ++g_calls;
    return CallGuarded(BOOL{FALSE}, [&] {
        if (SkinnedScrollBars* record = SkinnedScrollBars::Of(window))
            return record->EnableScrollBar(bars, arrows);
        return System<decltype(&::EnableScrollBar)>(kEnableScrollBar)(window, bars, arrows);
    });
}

struct Target {
    const char* name;
    void* interceptor;
};

const Target kTargets[kFunctionCount] = {
    {"SetScrollInfo", reinterpret_cast<void*>(&InterceptSetScrollInfo)},
    {"GetScrollInfo", reinterpret_cast<void*>(&InterceptGetScrollInfo)},
    {"SetScrollPos", reinterpret_cast<void*>(&InterceptSetScrollPos)},
    {"GetScrollPos", reinterpret_cast<void*>(&InterceptGetScrollPos)},
    {"SetScrollRange", reinterpret_cast<void*>(&InterceptSetScrollRange)},
    {"GetScrollRange", reinterpret_cast<void*>(&InterceptGetScrollRange)},
    {"ShowScrollBar", reinterpret_cast<void*>(&InterceptShowScrollBar)},
    {"EnableScrollBar", reinterpret_cast<void*>(&InterceptEnableScrollBar)},
};

// Length of an instruction that behaves the same wherever it is placed, from
// the few that these entries start with; 0 for anything else.
std::size_t MovableInstructionLength(const BYTE* code) {
    const BYTE opcode = code[0];
    const BYTE modrm = code[1];
    if (opcode >= 0x50 && opcode <= 0x57) // push register
        return 1;
    if (opcode >= 0xB8 && opcode <= 0xBF) // mov register, imm32
        return 5;
    switch (opcode) {
    case 0x6A: // push imm8
        return 2;
    case 0x68: // push imm32
        return 5;
    case 0x89: // mov register, register
    case 0x8B:
        return (modrm & 0xC0) == 0xC0 ? 2 : 0;
    case 0x83: // sub esp, imm8
        return modrm == 0xEC ? 3 : 0;
    case 0x81: // sub esp, imm32
        return modrm == 0xEC ? 6 : 0;
    case 0xFF: // jmp [absolute address]
        return modrm == 0x25 ? 6 : 0;
    default:
        return 0;
    }
}

void MakeJump(BYTE (&jump)[kJumpSize], const BYTE* from, const void* to) {
    const auto distance = static_cast<std::int32_t>(
        reinterpret_cast<std::uintptr_t>(to) - reinterpret_cast<std::uintptr_t>(from) - kJumpSize);
    jump[0] = 0xE9;
    std::memcpy(jump + 1, &distance, sizeof(distance));
}

bool WriteCode(BYTE* target, const BYTE* bytes, std::size_t size) {
    DWORD previous = 0;
    if (!VirtualProtect(target, size, PAGE_EXECUTE_READWRITE, &previous))
        return false;
    std::memcpy(target, bytes, size);
    VirtualProtect(target, size, previous, &previous);
    FlushInstructionCache(GetCurrentProcess(), target, size);
    return true;
}

// The trampolines live for the whole process: a call may still be running
// through one when the interception is removed from inside a nested message,
// and an entry that someone else patched after us may still lead here.
BYTE* TrampolineSlots() {
    static BYTE* const slots = static_cast<BYTE*>(VirtualAlloc(
        nullptr, kFunctionCount * kTrampolineSize, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READ));
    return slots;
}

// Fills `patch` and its trampoline in `slot` for the system entry `entry`.
bool PrepareTrampoline(BYTE* entry, BYTE* slot, Patch& patch) {
    std::size_t moved = 0;
    while (moved < kJumpSize) {
        const std::size_t length = MovableInstructionLength(entry + moved);
        if (length == 0)
            return false;
        moved += length;
    }
    std::memcpy(slot, entry, moved);
    BYTE back[kJumpSize];
    MakeJump(back, slot + moved, entry + moved);
    std::memcpy(slot + moved, back, kJumpSize);
    patch.entry = entry;
    std::memcpy(patch.saved, entry, kJumpSize);
    patch.trampoline = slot;
    return true;
}

bool PrepareTrampolines(Patch (&patches)[kFunctionCount]) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    BYTE* slots = TrampolineSlots();
    if (!user32 || !slots)
        return false;
    const std::size_t size = kFunctionCount * kTrampolineSize;
    // Still executable while being written: a call from an earlier install
    // may be running through a trampoline.
    DWORD previous = 0;
    if (!VirtualProtect(slots, size, PAGE_EXECUTE_READWRITE, &previous))
        return false;
    bool prepared = true;
    for (int function = 0; function < kFunctionCount && prepared; ++function) {
        auto* entry = reinterpret_cast<BYTE*>(GetProcAddress(user32, kTargets[function].name));
        prepared = entry &&
                   PrepareTrampoline(entry, slots + function * kTrampolineSize, patches[function]);
    }
    VirtualProtect(slots, size, PAGE_EXECUTE_READ, &previous);
    FlushInstructionCache(GetCurrentProcess(), slots, size);
    return prepared;
}

void RestoreEntry(const Patch& patch, const void* interceptor) {
    BYTE ours[kJumpSize];
    MakeJump(ours, patch.entry, interceptor);
    // An entry patched again by someone else after us keeps their patch.
    if (std::memcmp(patch.entry, ours, kJumpSize) == 0)
        WriteCode(patch.entry, patch.saved, kJumpSize);
}

} // namespace

bool InstallScrollBarInterception() {
    if (g_installed)
        return true;
    Patch prepared[kFunctionCount];
    if (!PrepareTrampolines(prepared))
        return false;
    // The trampolines must be in place before the first patched call arrives.
    std::copy(std::begin(prepared), std::end(prepared), std::begin(g_patches));
    for (int function = 0; function < kFunctionCount; ++function) {
        BYTE jump[kJumpSize];
        MakeJump(jump, g_patches[function].entry, kTargets[function].interceptor);
        if (!WriteCode(g_patches[function].entry, jump, kJumpSize)) {
            for (int done = 0; done < function; ++done)
                RestoreEntry(g_patches[done], kTargets[done].interceptor);
            return false;
        }
    }
    g_installed = true;
    return true;
}

void RemoveScrollBarInterception() {
    if (!g_installed)
        return;
    for (int function = 0; function < kFunctionCount; ++function)
        RestoreEntry(g_patches[function], kTargets[function].interceptor);
    g_installed = false;
}

unsigned long ScrollBarInterceptionCalls() {
    return g_calls.load();
}

} // namespace Velmora

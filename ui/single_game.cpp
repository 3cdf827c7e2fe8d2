// The claim on the settings file: a named mutex per file, and beside it a small named section in which
// the copy that holds it shows later starts its window.
#include "ui/single_game.h"

#include <cstdint>
#include <cwchar>

#include "util/process_state.h"
#include "util/wide_path.h"

namespace {

// Per session: a game of another user, or of the same user in another session, has a desktop of its
// own that no window could be brought forward on. Mutexes and sections share one namespace.
constexpr wchar_t ClaimPrefix[] = L"Local\\ondulor-claim-";
constexpr wchar_t WindowPrefix[] = L"Local\\ondulor-window-";
// Object names are limited to MAX_PATH units: what the longer prefix leaves for the key, its NUL included.
constexpr int KeySize = MAX_PATH - static_cast<int>(sizeof WindowPrefix / sizeof WindowPrefix[0]) + 1;
constexpr int DigestDigits = 16;
// How long a second start waits at most for the running copy's window, which a copy still starting
// shows a fraction of a second after its claim; and how often it looks.
constexpr DWORD WaitLimit = 3000;
constexpr DWORD PollPeriod = 20;

// The holder's process id in the high half and its window in the low half (window handles keep to 32
// bits on 64-bit Windows), so that one aligned 64-bit store, which x86-64 makes whole, changes both.
struct PublishedGame {
    volatile LONG64 process_and_window;
};

HANDLE claim = nullptr;
wchar_t claimed_key[KeySize] = {};
HANDLE section = nullptr;
PublishedGame* published = nullptr;

// The settings path as a name: upper-cased without regard to the user's locale, as file names compare
// (a Turkish dotless i must not give one file two names), with '/' for '\', which object names take
// only after the namespace and which Windows reads as the same separator. A path too long for the name
// gives '#' and a 64-bit FNV-1a digest of that form instead: no path starts with '#', and two files whose
// digests collided would only bring each other forward. False when the path names no file.
bool make_key(const char* path, wchar_t* key)
{
    wchar_t wide[PathSize];
    wchar_t upper[PathSize];
    const int units = widen_path(path, wide) ? lstrlenW(wide) : 0;
    const int length = units > 0 ? LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide, units, upper, PathSize) : 0;
    if (length <= 0) {
        return false;
    }
    for (int index = 0; index < length; ++index) {
        if (upper[index] == L'\\') {
            upper[index] = L'/';
        }
    }
    if (length < KeySize) {
        std::wmemcpy(key, upper, length);
        key[length] = L'\0';
        return true;
    }
    std::uint64_t digest = 14695981039346656037ull;
    for (int index = 0; index < length; ++index) {
        digest = (digest ^ (upper[index] & 0xFFu)) * 1099511628211ull;
        digest = (digest ^ (upper[index] >> 8)) * 1099511628211ull;
    }
    key[0] = L'#';
    for (int digit = 0; digit < DigestDigits; ++digit) {
        key[1 + digit] = L"0123456789ABCDEF"[(digest >> (4 * (DigestDigits - 1 - digit))) & 0xF];
    }
    key[1 + DigestDigits] = L'\0';
    return true;
}

void object_name(const wchar_t* prefix, const wchar_t* key, wchar_t* name)
{
    const std::size_t prefix_length = std::wcslen(prefix);
    std::wmemcpy(name, prefix, prefix_length);
    std::wmemcpy(name + prefix_length, key, std::wcslen(key) + 1);
}

// The window that the holder of key published, while it shows: null before, and once that copy has gone
// or hidden its window to close. The process id guards against a handle reused by another program.
HWND running_window(const wchar_t* key)
{
    wchar_t name[MAX_PATH];
    object_name(WindowPrefix, key, name);
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    if (mapping == nullptr) {
        return nullptr;
    }
    LONG64 value = 0;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(PublishedGame));
    if (view != nullptr) {
        value = static_cast<const PublishedGame*>(view)->process_and_window;
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    HWND window = static_cast<HWND>(LongToHandle(static_cast<LONG>(value & 0xFFFFFFFF)));
    DWORD owner = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &owner) == 0 ||
        owner != static_cast<DWORD>(static_cast<std::uint64_t>(value) >> 32) || !IsWindowVisible(window)) {
        return nullptr;
    }
    return window;
}

// This process was started by the player, so the system lets it hand the foreground over; an open box
// of that game comes first, as a click on its taskbar button would bring it. The raise is for Wine 8,
// which brought only the box up above another window without it, and under a window manager activates
// no window of another process but does pass a raise on: the game is then on top, and a click gives it
// the keyboard. Restore and raise are posted, never waited for: the other copy's thread may be busy.
void bring_forward(HWND window)
{
    if (IsIconic(window)) {
        ShowWindowAsync(window, SW_RESTORE);
    }
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
    SetForegroundWindow(GetLastActivePopup(window));
}

// Another copy holds the claim. Until its window shows, then brings it forward and answers false; or
// until that copy ends (it may have been closing, its window hidden for the write) and the claim passes
// to this one, which then reads the file just written: true. Past the limit false, with nothing shown:
// that copy is busy without a window (an error box at its start).
bool outlast_running_game(HANDLE mutex, const wchar_t* key)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = running_window(key);
        if (window != nullptr) {
            bring_forward(window);
            return false;
        }
        const DWORD waited = WaitForSingleObject(mutex, PollPeriod);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            return true;
        }
        if (GetTickCount() - start >= WaitLimit) {
            return false;
        }
    }
}

// The section where publish_game_window writes; cleared, since a waiting start may have kept the one
// of a copy gone before. Without it later starts find no window and end after the limit.
void open_section(const wchar_t* key)
{
    wchar_t name[MAX_PATH];
    object_name(WindowPrefix, key, name);
    section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PublishedGame), name);
    if (section == nullptr) {
        return;
    }
    published = static_cast<PublishedGame*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(PublishedGame)));
    if (published == nullptr) {
        CloseHandle(section);
        section = nullptr;
        return;
    }
    published->process_and_window = 0;
}

void give_up_claim()
{
    if (published != nullptr) {
        UnmapViewOfFile(published);
        published = nullptr;
    }
    if (section != nullptr) {
        CloseHandle(section);
        section = nullptr;
    }
    if (claim != nullptr) {
        ReleaseMutex(claim);
        CloseHandle(claim);
        claim = nullptr;
    }
    claimed_key[0] = L'\0';
}

}  // namespace

bool claim_settings_file(const char* path)
{
    wchar_t key[KeySize];
    if (!make_key(path, key)) {
        return true;
    }
    if (claim != nullptr && std::wcscmp(key, claimed_key) == 0) {
        return true;
    }
    give_up_claim();
    wchar_t name[MAX_PATH];
    object_name(ClaimPrefix, key, name);
    // Owned by this thread, the one that runs the game to its end: a copy that ends in any way, killed
    // too, abandons it, and the system removes it with the last handle. No lock can outlive a game.
    SetLastError(ERROR_SUCCESS);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, name);
    if (mutex == nullptr) {
        return true;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS && !outlast_running_game(mutex, key)) {
        CloseHandle(mutex);
        return false;
    }
    claim = mutex;
    std::wmemcpy(claimed_key, key, std::wcslen(key) + 1);
    open_section(key);
    return true;
}

void publish_game_window(HWND window)
{
    if (published != nullptr) {
        published->process_and_window =
            static_cast<LONG64>((static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) | HandleToULong(window));
    }
}

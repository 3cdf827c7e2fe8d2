// F1's help: the .chm through HTML Help where it shows its pages, else the .hlp through WinHelp.
#include "ui/help.h"

#include <htmlhelp.h>

#include <cstring>

#include "ui/system_library.h"
#include "util/file_util.h"
#include "util/process_state.h"
#include "util/wide_path.h"

namespace {

BOOL platform_help(HWND window, LPCSTR path, UINT command, ULONG_PTR data)
{
    return WinHelpA(window, path, command, data);
}

HWND platform_html_help(HWND window, LPCWSTR path, UINT command, DWORD_PTR data)
{
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static HtmlHelpFunction html_help = library_function<HtmlHelpFunction>(system_library(L"hhctrl.ocx"), "HtmlHelpW");
    return html_help != nullptr ? html_help(window, path, command, data) : nullptr;
}

// Wine's HTML Help shows its contents tree beside a blank page unless a Gecko engine is installed,
// which no distribution packages; Wine names itself through ntdll's wine_get_version, as it documents.
bool platform_html_help_shows()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr;
}

bool html_help_opened = false;

// WinHelp takes a code-page path only: the short form names the file where the long one has letters
// that the code page lacks. Failing both, the spelling with '?' lets the engine say what it misses.
void engine_help_path(char* path)
{
    if (!code_page_path(help_path, path, PathSize)) {
        spell_in_code_page(help_path, path, PathSize);
    }
}

}  // namespace

BOOL (*open_help)(HWND window, LPCSTR path, UINT command, ULONG_PTR data) = platform_help;
HWND (*open_html_help)(HWND window, LPCWSTR path, UINT command, DWORD_PTR data) = platform_html_help;
bool (*html_help_shows)() = platform_html_help_shows;

// Windows 10 and 11 have no WinHelp viewer: the .chm built from the same source opens there, on
// its contents. Wherever it cannot show, the .hlp opens as before.
void show_help()
{
    if (help_path[0] != '\0' && html_help_shows()) {
        char html_path[PathSize];
        std::memcpy(html_path, help_path, sizeof html_path);
        set_extension(html_path, "CHM");
        wchar_t wide[PathSize];
        if (file_exists(html_path) != 0 && widen_path(html_path, wide) &&
            open_html_help(main_window, wide, HH_DISPLAY_TOC, 0) != nullptr) {
            html_help_opened = true;
            return;
        }
    }
    char path[PathSize];
    engine_help_path(path);
    open_help(main_window, path, HELP_INDEX, 0);
}

void release_help(HWND window)
{
    if (html_help_opened) {
        open_html_help(nullptr, nullptr, HH_CLOSE_ALL, 0);
        html_help_opened = false;
    }
    char path[PathSize];
    engine_help_path(path);
    open_help(window, path, HELP_QUIT, 0);
}

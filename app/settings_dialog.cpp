// The settings box: game duration with its arrow control, sound effects and display language.
#include "app/dialogs.h"

#include <commctrl.h>

#include <cstdint>

#include "app/menu.h"
#include "app/settings_file.h"
#include "app/texts.h"
#include "res/resource_ids.h"
#include "ui/window.h"
#include "util/process_state.h"

namespace {

constexpr int ShortestDuration = 30;
constexpr int LongestDuration = 1000;

void create_spin_control(HWND dialog)
{
    HWND edit = GetDlgItem(dialog, IDC_SETTINGS_DURATION);
    RECT area = {};
    GetClientRect(edit, &area);
    // The right alignment style moves the control onto the edit's right edge and narrows the edit.
    CreateUpDownControl(WS_CHILD | WS_VISIBLE | WS_BORDER | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, area.left,
                        area.top, area.right, area.bottom, dialog, IDC_SETTINGS_SPIN, instance_handle, edit,
                        LongestDuration, ShortestDuration, static_cast<int>(settings.duration));
}

void fill_controls(HWND dialog)
{
    center_window(dialog, main_window);
    SetWindowTextA(dialog, load_text(TXT_SETTINGS_TITLE));
    set_control_text(dialog, IDC_OK, TXT_OK);
    set_control_text(dialog, IDC_CANCEL, TXT_CANCEL);
    set_control_text(dialog, IDC_SETTINGS_DURATION_LABEL, TXT_DURATION_LABEL);
    create_spin_control(dialog);
    SetDlgItemInt(dialog, IDC_SETTINGS_DURATION, static_cast<UINT>(settings.duration), FALSE);
    set_control_text(dialog, IDC_SETTINGS_SOUND, TXT_SOUND_EFFECTS);
    CheckDlgButton(dialog, IDC_SETTINGS_SOUND, settings.sound != 0 ? BST_CHECKED : BST_UNCHECKED);
    set_control_text(dialog, IDC_SETTINGS_LANGUAGE_GROUP, TXT_LANGUAGE_GROUP);
    set_control_text(dialog, IDC_SETTINGS_ENGLISH, TXT_ENGLISH);
    set_control_text(dialog, IDC_SETTINGS_FRENCH, TXT_FRENCH);
    CheckDlgButton(dialog, settings.language != LANGUAGE_FRENCH ? IDC_SETTINGS_ENGLISH : IDC_SETTINGS_FRENCH,
                   BST_CHECKED);
}

// The edit box's text is the value; the arrow control only tells how far to step it.
void step_duration(HWND dialog, const NMUPDOWN* step)
{
    const UINT typed = GetDlgItemInt(dialog, IDC_SETTINGS_DURATION, nullptr, FALSE);
    std::int64_t value = static_cast<std::int64_t>(typed) + step->iDelta;
    if (value < ShortestDuration) {
        value = ShortestDuration;
    }
    if (value > LongestDuration) {
        value = LongestDuration;
    }
    SetDlgItemInt(dialog, IDC_SETTINGS_DURATION, static_cast<UINT>(value), FALSE);
}

void store_settings(HWND dialog)
{
    settings.sound = IsDlgButtonChecked(dialog, IDC_SETTINGS_SOUND) == BST_CHECKED ? 1 : 0;
    // Stored without the arrows' bounds, but a number past the signed range keeps its meaning of
    // "a very long game" instead of wrapping to a negative duration.
    const UINT typed = GetDlgItemInt(dialog, IDC_SETTINGS_DURATION, nullptr, FALSE);
    settings.duration = typed > static_cast<UINT>(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(typed);
    const std::int32_t language =
        IsDlgButtonChecked(dialog, IDC_SETTINGS_ENGLISH) == BST_CHECKED ? LANGUAGE_ENGLISH : LANGUAGE_FRENCH;
    if (language != settings.language) {
        settings.language = language;
        relabel_menu(main_window, main_menu);
    }
}

}  // namespace

INT_PTR CALLBACK settings_dialog_proc(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_INITDIALOG:
        fill_controls(dialog);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(l_param)->code == static_cast<UINT>(UDN_DELTAPOS)) {
            step_duration(dialog, reinterpret_cast<const NMUPDOWN*>(l_param));
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(w_param)) {
        // Enter sends IDOK, as no button is the default: a default OK would change the box's look.
        case IDOK:
        case IDC_OK:
            store_settings(dialog);
            end_box(dialog, 1);
            return TRUE;
        case IDC_CANCEL:
        case IDCANCEL:
            end_box(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_SYSCOMMAND:
        return end_on_close_box(dialog, w_param);
    default:
        return FALSE;
    }
}

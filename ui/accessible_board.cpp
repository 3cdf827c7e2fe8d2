// The board as a screen reader sees it: one IAccessible, written as a plain record and a table of
// functions, whose 225 cells are simple children named from the string table in the current language.
// The C form of the COM headers makes IAccessible a struct that holds a table of functions, so the
// object needs no class: the macro must come before the first system header.
#define CINTERFACE
#include "ui/accessible_board.h"

#include <oleacc.h>

#include "app/settings_file.h"
#include "game/board.h"
#include "game/queue.h"
#include "res/resource_ids.h"
#include "ui/events.h"
#include "ui/main_window.h"
#include "ui/scale.h"
#include "ui/system_library.h"
#include "util/process_state.h"

namespace {

// Written out: the IIDs of the static import libraries came out wrong in a -static build, and the C
// form of the headers declares no __uuidof for these interfaces.
constexpr IID unknown_iid = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID dispatch_iid = {0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID accessible_iid = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// COM, the accessibility library and BSTRs, loaded from the system folder when the first reader asks.
// Linked, they would map at every start, and oleacc.dll is not a known DLL: a copy beside the exe
// would be taken first.
struct ReaderLibrary {
    bool tried;
    bool ready;
    decltype(&CoInitializeEx) initialize;
    decltype(&CoDisconnectObject) disconnect;
    decltype(&LresultFromObject) lresult_from_object;
    decltype(&AccessibleObjectFromWindow) object_from_window;
    decltype(&SysAllocString) alloc_string;
};

ReaderLibrary library = {};

bool reader_library_ready()
{
    if (library.tried) {
        return library.ready;
    }
    library.tried = true;
    HMODULE com = system_library(L"ole32.dll");
    HMODULE accessibility = system_library(L"oleacc.dll");
    HMODULE automation = system_library(L"oleaut32.dll");
    library.initialize = library_function<decltype(library.initialize)>(com, "CoInitializeEx");
    library.disconnect = library_function<decltype(library.disconnect)>(com, "CoDisconnectObject");
    library.lresult_from_object =
        library_function<decltype(library.lresult_from_object)>(accessibility, "LresultFromObject");
    library.object_from_window =
        library_function<decltype(library.object_from_window)>(accessibility, "AccessibleObjectFromWindow");
    library.alloc_string = library_function<decltype(library.alloc_string)>(automation, "SysAllocString");
    if (library.initialize == nullptr || library.disconnect == nullptr || library.lresult_from_object == nullptr ||
        library.object_from_window == nullptr || library.alloc_string == nullptr) {
        return false;
    }
    // A single-threaded apartment of the window's thread: the readers' calls then arrive through its
    // message loop, between two of the game's messages, never on another thread.
    library.ready = SUCCEEDED(library.initialize(nullptr, COINIT_APARTMENTTHREADED));
    return library.ready;
}

struct BoardObject {
    IAccessible object;             // first: the interface's address is the record's
    LONG references;                // counted for COM's sake; the record lives for the whole run
    bool dead;                      // cut off at the window's end: every call fails from then on
    bool handed_out;                // given to a reader, so there is a connection to cut
    std::uint8_t named[CellCount];  // each cell's content as the readers were last told, by cell_index
};

extern IAccessibleVtbl board_functions;
BoardObject board_object = {{&board_functions}, 0, false, false, {}};

// Texts: a string table entry, at most 255 characters; a line made with wsprintfW, which writes at
// most 1024 characters with its terminator.
constexpr int TextSize = 256;
constexpr int LineSize = 1024;

// A text of the current language read as UTF-16, so that the accents survive any code page.
wchar_t* reader_text(std::int32_t text_id, wchar_t* text)
{
    const std::int32_t resource_id = text_id + settings.language;
    HINSTANCE module = instance_handle != nullptr ? instance_handle : GetModuleHandleW(nullptr);
    text[0] = L'\0';
    if (resource_id >= 0 && resource_id <= 0xFFFF) {
        LoadStringW(module, static_cast<UINT>(resource_id), text, TextSize);
    }
    return text;
}

wchar_t* shape_name(std::uint8_t shape, wchar_t* text)
{
    return reader_text(TXT_READER_EMPTY + (shape & ShapeMask), text);
}

LONG cell_child(std::int32_t column, std::int32_t row)
{
    return row * board.columns + column + 1;
}

LONG cursor_child()
{
    return board_cursor.shown ? cell_child(board_cursor.column, board_cursor.row) : CHILDID_SELF;
}

// A reader's child id: CHILDID_SELF for the board, 1 to 225 for a cell in reading order, -1 for
// anything else.
LONG child_of(const VARIANT& child)
{
    if (V_VT(&child) != VT_I4 || V_I4(&child) < CHILDID_SELF || V_I4(&child) > board.columns * board.rows) {
        return -1;
    }
    return V_I4(&child);
}

// The game's window has the keyboard: no box is open over it and no other program is in front.
bool window_focused()
{
    return main_window != nullptr && GetFocus() == main_window;
}

LONG column_of(LONG child)
{
    return (child - 1) % board.columns;
}

LONG row_of(LONG child)
{
    return (child - 1) / board.columns;
}

// Cut off at the window's end, the object answers every call with an error.
bool gone()
{
    return board_object.dead || main_window == nullptr;
}

// The board or cell that a call names, into id; an error once cut off or for any other child.
HRESULT take_child(const VARIANT& child, LONG& id)
{
    id = child_of(child);
    return gone() ? CO_E_OBJNOTCONNECTED : id < 0 ? E_INVALIDARG : S_OK;
}

// What the cell holds, then where it is: the position is the only number in it.
void cell_name(LONG child, wchar_t* name)
{
    const std::int32_t column = (child - 1) % board.columns, row = (child - 1) / board.columns;
    const std::uint8_t content = cell_at(column, row) & UnvisitedMask;
    wchar_t shape[TextSize], format[TextSize];
    shape_name(content, shape);
    CharUpperBuffW(shape, 1);
    reader_text((content & LitFlag) != 0 ? TXT_READER_CELL_WATER : TXT_READER_CELL, format);
    wsprintfW(name, format, shape, static_cast<int>(row + 1), static_cast<int>(column + 1));
}

// The next piece; with whole_queue the pieces after it too, in the order they come.
void queue_description(bool whole_queue, wchar_t* description)
{
    wchar_t list[LineSize], shape[TextSize], format[TextSize], piece[LineSize];
    shape_name(piece_queue.slots[NextPieceSlot], list);
    for (std::int32_t slot = NextPieceSlot - 1; whole_queue && slot >= 0; --slot) {
        wsprintfW(piece, reader_text(TXT_READER_THEN, format), shape_name(piece_queue.slots[slot], shape));
        const int length = lstrlenW(list);
        lstrcpynW(list + length, piece, LineSize - length);
    }
    wsprintfW(description, reader_text(TXT_READER_NEXT, format), list);
}

HRESULT answer_text(const wchar_t* text, BSTR* answer)
{
    *answer = library.alloc_string(text);
    return *answer != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT answer_child(LONG child, VARIANT* answer)
{
    V_VT(answer) = VT_I4;
    V_I4(answer) = child;
    return S_OK;
}

HRESULT answer_nothing(VARIANT* answer)
{
    V_VT(answer) = VT_EMPTY;
    return S_FALSE;
}

// The start of every call that answers a text about the board or a cell: the answer emptied, the
// child taken into id.
HRESULT take_text_call(BSTR* answer, const VARIANT& child, LONG& id)
{
    if (answer == nullptr) {
        return E_POINTER;
    }
    *answer = nullptr;
    return take_child(child, id);
}

// A text that the board does not offer.
HRESULT no_text(BSTR* answer)
{
    if (answer == nullptr) {
        return E_POINTER;
    }
    *answer = nullptr;
    return gone() ? CO_E_OBJNOTCONNECTED : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE query_interface(IAccessible* self, REFIID iid, void** answer)
{
    if (answer == nullptr) {
        return E_POINTER;
    }
    *answer = nullptr;
    if (gone()) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (iid != unknown_iid && iid != dispatch_iid && iid != accessible_iid) {
        return E_NOINTERFACE;
    }
    *answer = self;
    InterlockedIncrement(&board_object.references);
    return S_OK;
}

ULONG STDMETHODCALLTYPE add_reference(IAccessible*)
{
    return static_cast<ULONG>(InterlockedIncrement(&board_object.references));
}

ULONG STDMETHODCALLTYPE release(IAccessible*)
{
    return static_cast<ULONG>(InterlockedDecrement(&board_object.references));
}

// IDispatch: readers call the interface's own functions; late binding is not offered.
HRESULT STDMETHODCALLTYPE type_info_count(IAccessible*, UINT* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return gone() ? CO_E_OBJNOTCONNECTED : S_OK;
}

HRESULT STDMETHODCALLTYPE type_info(IAccessible*, UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr) {
        *info = nullptr;
    }
    return gone() ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ids_of_names(IAccessible*, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return gone() ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE invoke(IAccessible*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return gone() ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}

// The window's own object, which the system makes.
HRESULT STDMETHODCALLTYPE get_parent(IAccessible*, IDispatch** parent)
{
    if (parent == nullptr) {
        return E_POINTER;
    }
    *parent = nullptr;
    if (gone()) {
        return CO_E_OBJNOTCONNECTED;
    }
    return library.object_from_window(main_window, static_cast<DWORD>(OBJID_WINDOW), dispatch_iid,
                                      reinterpret_cast<void**>(parent));
}

HRESULT STDMETHODCALLTYPE get_child_count(IAccessible*, LONG* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = board.columns * board.rows;
    return gone() ? CO_E_OBJNOTCONNECTED : S_OK;
}

// The cells are simple children, with no object of their own.
HRESULT STDMETHODCALLTYPE get_child(IAccessible*, VARIANT child, IDispatch** answer)
{
    if (answer == nullptr) {
        return E_POINTER;
    }
    *answer = nullptr;
    if (gone()) {
        return CO_E_OBJNOTCONNECTED;
    }
    return child_of(child) > CHILDID_SELF ? S_FALSE : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE get_name(IAccessible*, VARIANT child, BSTR* name)
{
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_text_call(name, child, id); checked != S_OK) {
        return checked;
    }
    wchar_t text[LineSize];
    if (id == CHILDID_SELF) {
        reader_text(TXT_READER_BOARD, text);
    } else {
        cell_name(id, text);
    }
    return answer_text(text, name);
}

// Nothing in the value: JAWS reads only the name, which says it all.
HRESULT STDMETHODCALLTYPE get_value(IAccessible*, VARIANT, BSTR* value)
{
    return no_text(value);
}

// The board describes the whole queue, a cell the piece that it would take.
HRESULT STDMETHODCALLTYPE get_description(IAccessible*, VARIANT child, BSTR* description)
{
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_text_call(description, child, id); checked != S_OK) {
        return checked;
    }
    wchar_t text[LineSize];
    queue_description(id == CHILDID_SELF, text);
    return answer_text(text, description);
}

HRESULT STDMETHODCALLTYPE get_role(IAccessible*, VARIANT child, VARIANT* role)
{
    if (role == nullptr) {
        return E_POINTER;
    }
    V_VT(role) = VT_EMPTY;
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_child(child, id); checked != S_OK) {
        return checked;
    }
    return answer_child(id == CHILDID_SELF ? ROLE_SYSTEM_TABLE : ROLE_SYSTEM_CELL, role);
}

HRESULT STDMETHODCALLTYPE get_state(IAccessible*, VARIANT child, VARIANT* state)
{
    if (state == nullptr) {
        return E_POINTER;
    }
    V_VT(state) = VT_EMPTY;
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_child(child, id); checked != S_OK) {
        return checked;
    }
    // The cursor's cell stays selected while a box has the keyboard, but only one object is focused.
    LONG flags = STATE_SYSTEM_FOCUSABLE;
    if (id == CHILDID_SELF) {
        flags |= window_focused() && !board_cursor.shown ? STATE_SYSTEM_FOCUSED : 0;
    } else {
        flags |= STATE_SYSTEM_SELECTABLE;
        flags |= id == cursor_child() ? STATE_SYSTEM_SELECTED : 0;
        flags |= id == cursor_child() && window_focused() ? STATE_SYSTEM_FOCUSED : 0;
    }
    return answer_child(flags, state);
}

HRESULT STDMETHODCALLTYPE get_help(IAccessible*, VARIANT, BSTR* help)
{
    return no_text(help);
}

HRESULT STDMETHODCALLTYPE get_help_topic(IAccessible*, BSTR* file, VARIANT, LONG* topic)
{
    if (file == nullptr || topic == nullptr) {
        return E_POINTER;
    }
    *file = nullptr;
    *topic = 0;
    return gone() ? CO_E_OBJNOTCONNECTED : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE get_keyboard_shortcut(IAccessible*, VARIANT, BSTR* shortcut)
{
    return no_text(shortcut);
}

// While the window has the keyboard: the cursor's cell while it is shown, else the board. Nothing while
// a box or another program has it.
HRESULT STDMETHODCALLTYPE get_focus(IAccessible*, VARIANT* focus)
{
    if (focus == nullptr) {
        return E_POINTER;
    }
    V_VT(focus) = VT_EMPTY;
    if (gone()) {
        return CO_E_OBJNOTCONNECTED;
    }
    return window_focused() ? answer_child(cursor_child(), focus) : answer_nothing(focus);
}

HRESULT STDMETHODCALLTYPE get_selection(IAccessible*, VARIANT* selection)
{
    if (selection == nullptr) {
        return E_POINTER;
    }
    V_VT(selection) = VT_EMPTY;
    if (gone()) {
        return CO_E_OBJNOTCONNECTED;
    }
    return board_cursor.shown ? answer_child(cursor_child(), selection) : answer_nothing(selection);
}

HRESULT STDMETHODCALLTYPE get_default_action(IAccessible*, VARIANT child, BSTR* action)
{
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_text_call(action, child, id); checked != S_OK) {
        return checked;
    }
    if (id == CHILDID_SELF) {
        return DISP_E_MEMBERNOTFOUND;
    }
    // Offered only where a piece would go, so that a reader never proposes what would be refused.
    if (!piece_may_go_at(column_of(id), row_of(id))) {
        return S_FALSE;
    }
    wchar_t text[TextSize];
    return answer_text(reader_text(TXT_READER_LAY, text), action);
}

// Taking the focus or the selection puts the keyboard's cursor on the cell: the one cell that is both.
// Refused while a box holds the cursor still.
HRESULT STDMETHODCALLTYPE select_child(IAccessible*, LONG flags, VARIANT child)
{
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_child(child, id); checked != S_OK) {
        return checked;
    }
    if (id == CHILDID_SELF || (flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) == 0) {
        return E_INVALIDARG;
    }
    return place_cursor_at(column_of(id), row_of(id)) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

// The client area for the board, a cell's square for a cell, in screen pixels at the current scale.
HRESULT STDMETHODCALLTYPE location(IAccessible*, LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child)
{
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_child(child, id); checked != S_OK) {
        return checked;
    }
    RECT place = {};
    if (id == CHILDID_SELF) {
        GetClientRect(main_window, &place);
    } else {
        const std::int32_t cell = cell_pixels();
        place.left = (id - 1) % board.columns * cell;
        place.top = (id - 1) / board.columns * cell;
        place.right = place.left + cell;
        place.bottom = place.top + cell;
    }
    MapWindowPoints(main_window, nullptr, reinterpret_cast<POINT*>(&place), 2);
    *left = place.left;
    *top = place.top;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE navigate(IAccessible*, LONG direction, VARIANT start, VARIANT* end)
{
    if (end == nullptr) {
        return E_POINTER;
    }
    V_VT(end) = VT_EMPTY;
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_child(start, id); checked != S_OK) {
        return checked;
    }
    const LONG count = board.columns * board.rows;
    if (id == CHILDID_SELF) {
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
            return answer_child(1, end);
        case NAVDIR_LASTCHILD:
            return answer_child(count, end);
        default:
            return answer_nothing(end);
        }
    }
    const std::int32_t column = (id - 1) % board.columns, row = (id - 1) / board.columns;
    switch (direction) {
    case NAVDIR_UP:
        return row > 0 ? answer_child(id - board.columns, end) : answer_nothing(end);
    case NAVDIR_DOWN:
        return row < board.rows - 1 ? answer_child(id + board.columns, end) : answer_nothing(end);
    case NAVDIR_LEFT:
        return column > 0 ? answer_child(id - 1, end) : answer_nothing(end);
    case NAVDIR_RIGHT:
        return column < board.columns - 1 ? answer_child(id + 1, end) : answer_nothing(end);
    case NAVDIR_NEXT:
        return id < count ? answer_child(id + 1, end) : answer_nothing(end);
    case NAVDIR_PREVIOUS:
        return id > 1 ? answer_child(id - 1, end) : answer_nothing(end);
    default:
        return answer_nothing(end);
    }
}

// The cell under a screen point; the board itself over the queue and the margins; nothing outside.
HRESULT STDMETHODCALLTYPE hit_test(IAccessible*, LONG x, LONG y, VARIANT* answer)
{
    if (answer == nullptr) {
        return E_POINTER;
    }
    V_VT(answer) = VT_EMPTY;
    if (gone()) {
        return CO_E_OBJNOTCONNECTED;
    }
    POINT point = {x, y};
    RECT client = {};
    ScreenToClient(main_window, &point);
    GetClientRect(main_window, &client);
    if (!PtInRect(&client, point)) {
        return answer_nothing(answer);
    }
    const std::int32_t cell = cell_pixels();
    if (point.x >= board.columns * cell || point.y >= board.rows * cell) {
        return answer_child(CHILDID_SELF, answer);
    }
    return answer_child(cell_child(point.x / cell, point.y / cell), answer);
}

// The road of Enter on that cell; where no piece can go, an error, so that a reader does not say it
// acted (with the refusal sound on a taken cell, as a click there).
HRESULT STDMETHODCALLTYPE do_default_action(IAccessible*, VARIANT child)
{
    LONG id = CHILDID_SELF;
    if (const HRESULT checked = take_child(child, id); checked != S_OK) {
        return checked;
    }
    if (id == CHILDID_SELF) {
        return DISP_E_MEMBERNOTFOUND;
    }
    return lay_piece_at(column_of(id), row_of(id)) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE put_name(IAccessible*, VARIANT, BSTR)
{
    return gone() ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE put_value(IAccessible*, VARIANT, BSTR)
{
    return gone() ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}

IAccessibleVtbl board_functions = {
    query_interface, add_reference,     release,
    type_info_count, type_info,         ids_of_names,
    invoke,          get_parent,        get_child_count,
    get_child,       get_name,          get_value,
    get_description, get_role,          get_state,
    get_help,        get_help_topic,    get_keyboard_shortcut,
    get_focus,       get_selection,     get_default_action,
    select_child,    location,          navigate,
    hit_test,        do_default_action, put_name,
    put_value,
};

void notify(DWORD event, LONG child)
{
    if (main_window != nullptr) {
        NotifyWinEvent(event, main_window, OBJID_CLIENT, child);
    }
}

}  // namespace

LRESULT answer_board_object(HWND window, WPARAM w_param, LPARAM l_param)
{
    // Wine passes the object id zero-extended: compared as the 32-bit value that it is.
    if (static_cast<LONG>(l_param) != OBJID_CLIENT || window != main_window || main_window == nullptr ||
        board.columns <= 0 || board.rows <= 0 || !reader_library_ready()) {
        return DefWindowProcA(window, WM_GETOBJECT, w_param, l_param);
    }
    board_object.dead = false;
    const LRESULT answer =
        library.lresult_from_object(accessible_iid, w_param, reinterpret_cast<IUnknown*>(&board_object.object));
    if (answer < 0) {
        return DefWindowProcA(window, WM_GETOBJECT, w_param, l_param);
    }
    board_object.handed_out = true;
    return answer;
}

void release_board_object()
{
    if (board_object.handed_out) {
        library.disconnect(reinterpret_cast<IUnknown*>(&board_object.object), 0);
        board_object.handed_out = false;
    }
    board_object.dead = true;
}

// Called by every drawing of a cell; only a change of what the cell holds is told, not a redraw
// under the cursor. The water may rename a cell just laid: a reader asks for the name when it takes
// the event, by then the last one, and NVDA drops an event repeated within one batch.
void board_cell_drawn(std::int32_t column, std::int32_t row)
{
    if (column < 0 || row < 0 || column >= board.columns || row >= board.rows) {
        return;
    }
    const std::uint8_t content = cell_at(column, row) & UnvisitedMask;
    std::uint8_t& named = board_object.named[cell_index(column, row)];
    if (content != named) {
        named = content;
        notify(EVENT_OBJECT_NAMECHANGE, cell_child(column, row));
    }
}

void board_focus_moved()
{
    if (window_focused()) {
        notify(EVENT_OBJECT_FOCUS, cursor_child());
    }
}

void board_cursor_moved()
{
    board_focus_moved();
    if (board_cursor.shown) {
        notify(EVENT_OBJECT_SELECTION, cursor_child());
    }
}

// The descriptions say the queue, in the current language.
void board_queue_changed()
{
    notify(EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF);
    if (board_cursor.shown) {
        notify(EVENT_OBJECT_DESCRIPTIONCHANGE, cursor_child());
    }
}

void board_language_changed()
{
    notify(EVENT_OBJECT_NAMECHANGE, CHILDID_SELF);
    if (board_cursor.shown) {
        notify(EVENT_OBJECT_NAMECHANGE, cursor_child());
    }
    board_queue_changed();
}

// One event for the whole board rather than one per cell.
void board_renewed()
{
    for (std::int32_t index = 0; index < CellCount; ++index) {
        board_object.named[index] = board.cells[index] & UnvisitedMask;
    }
    notify(EVENT_OBJECT_REORDER, CHILDID_SELF);
    board_queue_changed();
}

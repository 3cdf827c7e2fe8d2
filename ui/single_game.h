// One game per settings file: a second start on the same file brings the running game forward instead
// of playing beside it, since the copy that ends last would overwrite the other's scores.
#ifndef ONDULOR_UI_SINGLE_GAME_H
#define ONDULOR_UI_SINGLE_GAME_H

#include <windows.h>

// Claims the settings file at path (UTF-8) for this process, before it is read. When another running
// copy holds it, waits a few seconds at most for that copy's window, brings it to the front and answers
// false: this copy must then end without a window and without writing. True when this copy may play:
// the claim is its own, or that copy ended meanwhile and passed it on, or no claim can be made (an
// empty path, no mutex), which never keeps anyone from playing. A process holds one claim; claiming
// another path gives up the first. The system releases the claim with the process, however it ends.
bool claim_settings_file(const char* path);

// Lets later starts on the same file find the game window. Call once the window is shown.
void publish_game_window(HWND window);

#endif

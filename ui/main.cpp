// Entry point of ondulor.exe: the program takes no arguments and runs one game window.
#include <windows.h>

#include "ui/window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line, int show_command)
{
    return run_application(instance, previous_instance, command_line, show_command);
}

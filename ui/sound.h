// The refusal sound: the wave resource through the sound library, or the system beep without a device.
#ifndef ONDULOR_UI_SOUND_H
#define ONDULOR_UI_SOUND_H

#include <windows.h>

#include <cstdint>

// Plays sound index (0, the refusal) when the settings ask for sound.
void play_sound(std::int32_t index);

// Seams for calls that tests must never make for real: sound cannot be heard under Wine. The defaults
// call the platform.
extern BOOL (*play_sound_resource)(LPCSTR resource, HMODULE module, DWORD flags);
extern BOOL (*system_beep)(UINT type);
extern UINT (*count_wave_devices)();
// -1 until the first sound counts the devices.
extern std::int32_t wave_device_count;

#endif

// The refusal sound: the wave resource through the sound library, or the system beep without a device.
#include "ui/sound.h"

#include <mmsystem.h>

#include "app/settings_file.h"
#include "res/resource_ids.h"
#include "ui/system_library.h"
#include "util/process_state.h"

namespace {

// The sound library is loaded on the first sound rather than at start-up: it brings the whole audio
// stack with it, which a player with sound off (the default) never needs. Without it, no device is
// counted and the refusal falls back to the system beep.
HMODULE sound_library()
{
    static HMODULE library = system_library(L"winmm.dll");
    return library;
}

BOOL platform_play_sound(LPCSTR resource, HMODULE module, DWORD flags)
{
    using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
    static PlaySoundFunction play = library_function<PlaySoundFunction>(sound_library(), "PlaySoundA");
    return play != nullptr ? play(resource, module, flags) : FALSE;
}

BOOL platform_beep(UINT type)
{
    return MessageBeep(type);
}

UINT platform_wave_devices()
{
    using CountFunction = UINT(WINAPI*)();
    static CountFunction count = library_function<CountFunction>(sound_library(), "waveOutGetNumDevs");
    return count != nullptr ? count() : 0;
}

}  // namespace

BOOL (*play_sound_resource)(LPCSTR resource, HMODULE module, DWORD flags) = platform_play_sound;
BOOL (*system_beep)(UINT type) = platform_beep;
UINT (*count_wave_devices)() = platform_wave_devices;
std::int32_t wave_device_count = -1;

void play_sound(std::int32_t index)
{
    if (settings.sound == 0) {
        return;
    }
    if (wave_device_count == -1) {
        wave_device_count = static_cast<std::int32_t>(count_wave_devices());
    }
    if (wave_device_count != 0) {
        play_sound_resource(MAKEINTRESOURCEA(RES_SOUND_REFUSAL + index), instance_handle,
                            SND_RESOURCE | SND_ASYNC | SND_NOSTOP);
    } else {
        system_beep(static_cast<UINT>(index) * 16);
    }
}

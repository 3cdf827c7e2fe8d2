// load_text: the string table of the executable on Windows, the same texts.inc list on the host.
#include "app/texts.h"

#include "app/settings_file.h"
#include "res/resource_ids.h"

#ifdef _WIN32
#include <windows.h>

#include "util/process_state.h"
#else
#include <cstring>
#endif

namespace {

char text_buffer[TextBufferSize];

#ifndef _WIN32
struct TextEntry {
    std::int32_t id;
    const char* text;
};

constexpr TextEntry text_table[] = {
#define ONDULOR_TEXT(id, french, english) {id, french}, {id + LANGUAGE_ENGLISH, english},
#define ONDULOR_TEXT_FRENCH_ONLY(id, french) {id, french},
#include "res/texts.inc"
#undef ONDULOR_TEXT
#undef ONDULOR_TEXT_FRENCH_ONLY
};
#endif

}  // namespace

const char* load_text(std::int32_t text_id)
{
    const std::int32_t resource_id = text_id + settings.language;
    text_buffer[0] = '\0';
#ifdef _WIN32
    // Tests have no start-up to set instance_handle: the executable's own module holds the tables.
    HINSTANCE module = instance_handle != nullptr ? instance_handle : GetModuleHandleA(nullptr);
    if (resource_id >= 0 && resource_id <= 0xFFFF) {
        LoadStringA(module, static_cast<UINT>(resource_id), text_buffer, TextBufferSize);
    }
#else
    for (const TextEntry& entry : text_table) {
        if (entry.id == resource_id) {
            std::strncpy(text_buffer, entry.text, TextBufferSize - 1);
            text_buffer[TextBufferSize - 1] = '\0';
            break;
        }
    }
#endif
    return text_buffer;
}

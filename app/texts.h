// Localised texts: fetch a text by its French id in the current language.
#ifndef ONDULOR_APP_TEXTS_H
#define ONDULOR_APP_TEXTS_H

#include <cstdint>

// Size of the one shared text buffer; a longer text is cut to TextBufferSize - 1 characters.
constexpr std::int32_t TextBufferSize = 512;

// The text of text_id + settings.language in the shared buffer, which the next call overwrites.
// An id without a text gives "".
const char* load_text(std::int32_t text_id);

#endif

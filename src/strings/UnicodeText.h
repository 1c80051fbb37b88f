#pragma once

#include <string>
#include <string_view>

namespace kestrel {

/// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t code);

/// UTF-16 text as UTF-8. A surrogate without its partner (tables hold such damage) is encoded
/// on its own as three bytes, so that Utf16FromUtf8 gives back the same code units.
std::string Utf8FromUtf16(std::u16string_view text);

/// UTF-8 text as UTF-16; the lone surrogates Utf8FromUtf16 writes come back as they were. Bytes
/// that are not UTF-8 become U+FFFD each.
std::u16string Utf16FromUtf8(std::string_view text);

/// Label names and extra values are 8-bit strings; the text forms carry them as UTF-8.
std::string Utf8FromLatin1(std::string_view text);
/// The reverse; characters past U+00FF become '?'.
std::string Latin1FromUtf8(std::string_view text);

} // namespace kestrel

#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

/// The program's fixed texts (resources/strings.def), kept together with the menu texts.
enum class AppString {
#define KESTREL_STRING(id, text) id,
#include "strings.def"
#undef KESTREL_STRING
    Count
};

QString Text(AppString id);
/// The same text as the Latin-1 bytes the core's prompt interface takes.
std::string TextBytes(AppString id);
/// Latin-1 bytes of a display string (characters outside Latin-1 become '?').
std::string ToBytes(const QString& text);
QString FromBytes(std::string_view bytes);
/// A count as the user reads it in a message: "43,396".
QString Counted(std::uint64_t count);

} // namespace kestrel

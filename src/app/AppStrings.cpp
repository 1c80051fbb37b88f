#include "app/AppStrings.h"

#include <QLocale>

#include <array>

namespace kestrel {

QString Text(AppString id)
{
    static constexpr std::array<const char*, static_cast<size_t>(AppString::Count)> texts{{
#define KESTREL_STRING(id, text) text,
#include "strings.def"
#undef KESTREL_STRING
    }};
    return QString::fromLatin1(texts[static_cast<size_t>(id)]);
}

std::string TextBytes(AppString id)
{
    return ToBytes(Text(id));
}

std::string ToBytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

QString Counted(std::uint64_t count)
{
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(count));
}

QString FromBytes(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace kestrel

#pragma once

// CSF tables written byte by byte, independently of the reader and writer under test.
#include "samples/ByteWriter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::test {

using namespace kestrel::samples;

struct TestString
{
    std::u16string value;
    std::optional<std::string> extra;
};

struct TestLabel
{
    std::string name;
    std::vector<TestString> strings;
};

inline Bytes8 CsfBytes(const std::vector<TestLabel>& labels, std::uint32_t language = 0)
{
    ByteWriter body;
    std::uint32_t strings = 0;
    for (const auto& label : labels) {
        body.Text(" LBL").U32(static_cast<std::uint32_t>(label.strings.size()));
        body.U32(static_cast<std::uint32_t>(label.name.size())).Text(label.name);
        for (const auto& string : label.strings) {
            body.Text(string.extra ? "WRTS" : " RTS").U32(static_cast<std::uint32_t>(string.value.size()));
            for (const char16_t unit : string.value)
                body.U16(static_cast<std::uint16_t>(unit ^ 0xFFFF));
            if (string.extra)
                body.U32(static_cast<std::uint32_t>(string.extra->size())).Text(*string.extra);
            ++strings;
        }
    }
    return Cat({ByteWriter().Text(" FSC").U32(3).U32(static_cast<std::uint32_t>(labels.size())).U32(strings).U32(0x4B455354)
                    .U32(language), body});
}

/// Multi-string labels, an extra value, text beyond Latin-1 (with a surrogate pair), an empty
/// value, an empty extra and a label without strings.
inline const std::vector<TestLabel> SampleLabels = {
    {"OBJECT:Humvee", {{u"Humvee", std::nullopt}}},
    {"GUI:Multi", {{u"first\nline \"two\"", std::nullopt}, {u"second, with comma", "speech\\voice01"}}},
    {"NAME:Tank", {{u"\u9ad8\u901f\u6226\u8eca \U0001F680 \u00e9", std::nullopt}}},
    {"GUI:Empty", {{u"", std::nullopt}}},
    {"GUI:EmptyExtra", {{u"", ""}}},
    {"GUI:None", {}},
};

} // namespace kestrel::test

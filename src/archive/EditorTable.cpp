#include "archive/EditorTable.h"

#include "base/AsciiCase.h"

namespace kestrel {

EditorTable::EditorTable(IEditorTableStore& store) : m_store(store) {}

std::vector<EditorPair> EditorTable::DefaultPairs()
{
#ifdef _WIN32
    const std::string painter = "mspaint.exe";
#else
    const std::string painter(DesktopOpener);
#endif
    return {{painter, ".bmp"}, {painter, ".jpg"}, {painter, ".png"}};
}

std::optional<EditorPair> EditorTable::ParseEditorValue(std::string_view value)
{
    const size_t blank = value.find(' ');
    if (blank == std::string_view::npos || blank == 0 || blank + 1 == value.size())
        return std::nullopt;
    return EditorPair{std::string(value.substr(blank + 1)), std::string(value.substr(0, blank))};
}

std::string EditorTable::FormatEditorValue(const EditorPair& pair)
{
    return pair.extension + ' ' + pair.editor;
}

void EditorTable::LoadEditors()
{
    m_pairs.clear();
    m_readCount = 0;
    for (;;) {
        const std::optional<std::string> value = m_store.ReadEditorValue(m_readCount);
        if (!value || value->empty())
            break;
        ++m_readCount;
        if (std::optional<EditorPair> pair = ParseEditorValue(*value))
            m_pairs.push_back(std::move(*pair));
    }
    if (m_pairs.empty())
        m_pairs = DefaultPairs();
}

void EditorTable::SaveEditors()
{
    for (int index = 0; index < m_readCount; ++index)
        m_store.WriteEditorValue(index, std::string());
    for (size_t index = 0; index < m_pairs.size(); ++index)
        m_store.WriteEditorValue(static_cast<int>(index), FormatEditorValue(m_pairs[index]));
}

std::string EditorTable::FindEditor(std::string_view fileName) const
{
    const std::string name = AsciiLowered(fileName);
    for (const EditorPair& pair : m_pairs)
        if (name.find(AsciiLowered(pair.extension)) != std::string::npos)
            return pair.editor;
    return std::string(FallbackEditor);
}

EditorPair EditorTable::GetEditorAt(int index) const
{
    if (index < 0 || index >= GetEditorCount())
        return {std::string(UnknownEditor), std::string()};
    return m_pairs[static_cast<size_t>(index)];
}

void EditorTable::SetEditor(const std::string& editor, const std::string& extension)
{
    bool found = false;
    for (EditorPair& pair : m_pairs) {
        if (pair.extension == extension) {
            pair.editor = editor;
            found = true;
        }
    }
    if (!found)
        m_pairs.push_back({editor, extension});
    SaveEditors();
}

} // namespace kestrel

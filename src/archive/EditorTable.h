#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

/// One line of the external editors' table: the program (a path or name, as typed, possibly
/// with arguments) and the extension it is used for (as typed, for example ".ini").
struct EditorPair
{
    std::string editor;
    std::string extension;

    bool operator==(const EditorPair&) const = default;
};

/// Where the table is kept: numbered text values "0", "1", ... each holding the extension, one
/// blank and the editor. A value that is absent reads as nullopt.
class IEditorTableStore
{
public:
    virtual ~IEditorTableStore() = default;
    virtual std::optional<std::string> ReadEditorValue(int index) const = 0;
    virtual void WriteEditorValue(int index, const std::string& value) = 0;
};

/// The extension-to-program table behind Edit with Editor, in insertion order. Lookups are by
/// substring, so the first pair whose extension occurs anywhere in a file name wins.
class EditorTable
{
public:
    /// Used for every name that no pair matches.
    static constexpr std::string_view FallbackEditor = "notepad.exe";
    /// What GetEditorAt answers for an index outside the table.
    static constexpr std::string_view UnknownEditor = "UNKNOWN ERROR";
    /// Opens a file in the desktop's default application for its type (outside Windows).
    static constexpr std::string_view DesktopOpener = "xdg-open";

    /// The store must outlive the table.
    explicit EditorTable(IEditorTableStore& store);

    /// The table used when the store yields no pair at all: the image types go to the
    /// platform's painting program (Paint on Windows, the desktop's default application
    /// elsewhere, where Paint does not exist).
    static std::vector<EditorPair> DefaultPairs();

    /// Reads values 0, 1, ... up to the first absent or empty one; values that are not
    /// "extension blank editor" with both parts present are skipped. Without any pair, the
    /// default table.
    void LoadEditors();
    /// Blanks every value read at start, then writes the table from index 0.
    void SaveEditors();
    /// The editor of the first pair whose extension occurs in `fileName` (both lower-cased),
    /// or FallbackEditor.
    std::string FindEditor(std::string_view fileName) const;
    /// The pair at `index`; outside the table, editor UnknownEditor and no extension.
    EditorPair GetEditorAt(int index) const;
    /// Gives every pair with exactly this extension the editor, or appends a new pair; then
    /// saves the table.
    void SetEditor(const std::string& editor, const std::string& extension);

    int GetEditorCount() const { return static_cast<int>(m_pairs.size()); }
    const std::vector<EditorPair>& Pairs() const { return m_pairs; }

    /// "extension blank editor" split at the first blank; nullopt when a part is missing.
    static std::optional<EditorPair> ParseEditorValue(std::string_view value);
    static std::string FormatEditorValue(const EditorPair& pair);

private:
    IEditorTableStore& m_store;
    std::vector<EditorPair> m_pairs;
    // Every index that held a value at start, skipped ones included, so that saving leaves no
    // stale value behind the table.
    int m_readCount = 0;
};

} // namespace kestrel

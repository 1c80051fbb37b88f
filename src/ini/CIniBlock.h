#pragma once

#include "ini/IniValue.h"
#include "ini/StructureConfig.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace kestrel {

class IPrompt;
class IniBlockParser;

/// Orders names by their bytes, unsigned, so that a prefix sorts before its extensions. Equal keys
/// keep their insertion order in the multimaps below, which the menus rely on.
struct ByteLess
{
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return a.compare(b) < 0; }
};

/// A node of a parsed INI text: a block opened by a header line and closed by "End", with its
/// values and nested blocks keyed by name. The root block that ParseText fills has an empty name
/// and holds the top-level blocks. Names, keys and texts are byte strings; nothing is decoded.
///
/// The structure configuration (four blocks of the configuration tree) decides which lines open
/// modules, which are one-line entries, which keep a list in their header and which blocks hold raw
/// text. The block does not own these; they must outlive it.
class CIniBlock
{
public:
    using ChildMap = std::multimap<std::string, std::unique_ptr<CIniBlock>, ByteLess>;
    using ValueMap = std::multimap<std::string, IniValue, ByteLess>;

    CIniBlock(const CIniBlock* forcedObjects, const CIniBlock* forcedValues, const CIniBlock* objectsWithLists,
              const CIniBlock* stringAreas, IPrompt* prompt = nullptr);
    /// `prompt` shows the failure of an "Implements" whose target is missing; without one the
    /// message goes to the debug output.
    explicit CIniBlock(const StructureConfig& config = {}, IPrompt* prompt = nullptr);
    virtual ~CIniBlock();
    CIniBlock(const CIniBlock&) = delete;
    CIniBlock& operator=(const CIniBlock&) = delete;

    /// Reads a whole file and parses it; false when it cannot be read or is empty.
    bool LoadFile(const std::filesystem::path& path);
    /// Replaces the contents by the blocks parsed from `text`. Never rejects a text; always true.
    /// Texts longer than 2^31 - 1 bytes are parsed up to that length.
    bool ParseText(std::string_view text);
    /// Parses the one block that starts at the beginning of `text` into this block, counting the
    /// line feeds it passes in `line`. Returns the number of bytes consumed, or a negative number
    /// when the block's header is the last line and has no line feed (the block must be dropped).
    std::int32_t ParseBlock(std::string_view text, std::int32_t& line);

    /// The first child named `name`, or none.
    const CIniBlock* FindChild(std::string_view name) const;
    /// The first value keyed `key`, or none.
    const IniValue* FindValue(std::string_view key) const;
    /// The i-th child, value key and value in key order; none (or "") when `i` is out of range.
    const CIniBlock* GetChild(int i) const;
    const std::string& GetValueKey(int i) const;
    const IniValue* GetValue(int i) const;
    int GetChildCount() const { return static_cast<int>(m_children.size()); }
    int GetValueCount() const { return static_cast<int>(m_values.size()); }

    /// The innermost block whose line range holds `line` (this block when no child does), and in
    /// `valueIndex` the key-order index of that block's first value on `line`, or -1.
    const CIniBlock* FindBlockAtLine(std::int32_t line, int& valueIndex) const;

    /// Merges `source` into this block: takes its name, rest, parent and configuration, adds the
    /// values whose keys are missing here and merges the children by name. Copied blocks carry the
    /// lines -1. `source` must not contain this block.
    void CopyFrom(const CIniBlock& source);
    /// Deletes all children and drops all values.
    void Clear();

    const std::string& GetName() const { return m_name; }
    const std::string& GetRest() const { return m_rest; }
    /// What the closing line holds after its "End" (the games close a block on any line whose
    /// first word is "End"), trimmed and without its comment; empty for most blocks.
    const std::string& GetEndRest() const { return m_endRest; }
    /// False when the text ended before the block's "End" (or a raw-text area's terminator):
    /// the block then runs to the end of the text.
    bool IsClosed() const { return !m_unterminated; }
    std::int32_t GetStartLine() const { return m_startLine; }
    std::int32_t GetEndLine() const { return m_endLine; }
    const CIniBlock* GetParent() const { return m_parent; }
    const ChildMap& Children() const { return m_children; }
    const ValueMap& Values() const { return m_values; }
    StructureConfig GetStructureConfig() const;

private:
    friend class IniBlockParser;

    void CopyHeaderFrom(const CIniBlock& source);
    void MergeContentsFrom(const CIniBlock& source);

    ChildMap m_children;
    ValueMap m_values;
    std::string m_rest;
    std::string m_name;
    std::string m_endRest;
    bool m_unterminated = false;
    std::int32_t m_startLine = 0;
    std::int32_t m_endLine = 0;
    const CIniBlock* m_parent = nullptr;
    const CIniBlock* m_forcedValues = nullptr;
    const CIniBlock* m_forcedObjects = nullptr;
    const CIniBlock* m_objectsWithLists = nullptr;
    const CIniBlock* m_stringAreas = nullptr;
    const CIniBlock* m_lineComments = nullptr;
    const CIniBlock* m_directives = nullptr;
    IPrompt* m_prompt = nullptr;
};

} // namespace kestrel

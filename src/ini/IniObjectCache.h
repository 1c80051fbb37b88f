#pragma once

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CIniBlock;

/// A collection of INI entries to take object names from (an open archive, the game's
/// "ini.big"). Its entries are cached under its key prefix (its path and a backslash) plus the
/// entry name.
class IIniEntrySource
{
public:
    virtual ~IIniEntrySource() = default;

    virtual std::string KeyPrefix() const = 0;
    virtual int EntryCount() const = 0;
    virtual const std::string& EntryName(int index) const = 0;
    /// The entry's bytes, or none when they cannot be read.
    virtual std::optional<std::string> EntryText(int index) = 0;
};

/// The program-wide cache of INI entries parsed for object names, keyed by the lower-cased
/// archive path, a backslash and the entry name, so each entry is parsed once. Whoever changes
/// an archive drops what the cache holds of it, so names never come from a stale parse.
class IniObjectCache
{
public:
    IniObjectCache();
    ~IniObjectCache();
    IniObjectCache(const IniObjectCache&) = delete;
    IniObjectCache& operator=(const IniObjectCache&) = delete;

    static std::string KeyOf(std::string_view archivePath, std::string_view entryName);

    const CIniBlock* Find(const std::string& key) const;
    const CIniBlock& Store(const std::string& key, std::unique_ptr<CIniBlock> root);
    /// Forgets one entry: it was written back from an editor.
    void DropEntry(std::string_view archivePath, std::string_view entryName);
    /// Forgets every entry of an archive: it was saved or closed.
    void DropArchive(std::string_view archivePath);
    std::size_t Size() const { return m_roots.size(); }

private:
    std::map<std::string, std::unique_ptr<CIniBlock>> m_roots;
};

/// The names (header rests) of all blocks named `type` in the INI entries (names containing
/// ".ini") whose lower-cased name contains the lower-cased `folder`, source by source, entries in
/// archive order, blocks in text order; duplicates stay. Entries are parsed with the game
/// block's ForcedObjects and ForcedValues only (none without a game block) and cached.
std::vector<std::string> GatherObjectNames(std::string_view folder, std::string_view type,
                                           std::span<IIniEntrySource* const> sources, IniObjectCache& cache,
                                           const CIniBlock* gameBlock);

} // namespace kestrel

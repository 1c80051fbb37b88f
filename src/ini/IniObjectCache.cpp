#include "ini/IniObjectCache.h"

#include "base/AsciiCase.h"
#include "ini/CIniBlock.h"
#include "ini/StructureConfig.h"

namespace kestrel {
namespace {

const CIniBlock* ParsedEntry(IIniEntrySource& source, int index, IniObjectCache& cache, const CIniBlock* gameBlock)
{
    const std::string key = AsciiLowered(source.KeyPrefix() + source.EntryName(index));
    if (const CIniBlock* cached = cache.Find(key))
        return cached;
    const std::optional<std::string> text = source.EntryText(index);
    if (!text)
        return nullptr;
    // Object names only need modules and one-line entries told apart; list headers and raw
    // text areas do not hide any object header.
    const StructureConfig full = StructureConfig::FromGameBlock(gameBlock);
    auto root = std::make_unique<CIniBlock>(StructureConfig{full.forcedObjects, full.forcedValues, nullptr, nullptr});
    root->ParseText(*text);
    return &cache.Store(key, std::move(root));
}

} // namespace

IniObjectCache::IniObjectCache() = default;
IniObjectCache::~IniObjectCache() = default;

std::string IniObjectCache::KeyOf(std::string_view archivePath, std::string_view entryName)
{
    return AsciiLowered(std::string(archivePath) + "\\" + std::string(entryName));
}

const CIniBlock* IniObjectCache::Find(const std::string& key) const
{
    const auto found = m_roots.find(key);
    return found == m_roots.end() ? nullptr : found->second.get();
}

const CIniBlock& IniObjectCache::Store(const std::string& key, std::unique_ptr<CIniBlock> root)
{
    auto& slot = m_roots[key];
    slot = std::move(root);
    return *slot;
}

void IniObjectCache::DropEntry(std::string_view archivePath, std::string_view entryName)
{
    m_roots.erase(KeyOf(archivePath, entryName));
}

void IniObjectCache::DropArchive(std::string_view archivePath)
{
    const std::string prefix = KeyOf(archivePath, "");
    for (auto it = m_roots.lower_bound(prefix); it != m_roots.end() && it->first.starts_with(prefix);)
        it = m_roots.erase(it);
}

std::vector<std::string> GatherObjectNames(std::string_view folder, std::string_view type,
                                           std::span<IIniEntrySource* const> sources, IniObjectCache& cache,
                                           const CIniBlock* gameBlock)
{
    const std::string loweredFolder = AsciiLowered(folder);
    std::vector<std::string> names;
    for (IIniEntrySource* source : sources) {
        for (int i = 0; i < source->EntryCount(); ++i) {
            const std::string name = AsciiLowered(source->EntryName(i));
            if (name.find(".ini") == std::string::npos || name.find(loweredFolder) == std::string::npos)
                continue;
            const CIniBlock* root = ParsedEntry(*source, i, cache, gameBlock);
            if (!root)
                continue;
            const auto [first, last] = root->Children().equal_range(type);
            for (auto it = first; it != last; ++it)
                names.push_back(it->second->GetRest());
        }
    }
    return names;
}

} // namespace kestrel

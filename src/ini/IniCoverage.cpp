#include "ini/IniCoverage.h"

#include "ini/CIniBlock.h"
#include "ini/StructureConfig.h"

#include <utility>

namespace kestrel {

IniCoverage::IniCoverage(const CIniBlock* gameBlock)
    : m_description(FindStructureDescription(gameBlock)),
      m_anyKeys(gameBlock ? gameBlock->FindChild("AnyKeys") : nullptr),
      m_directives(gameBlock ? gameBlock->FindChild("Directives") : nullptr)
{
}

void IniCoverage::Add(const CIniBlock& root)
{
    struct Pending
    {
        const CIniBlock* block;
        const CIniBlock* description;
        std::string path;
    };
    // Without recursion: a parsed text may nest very deeply.
    std::vector<Pending> pending{{&root, m_description, std::string()}};
    while (!pending.empty()) {
        Pending current = std::move(pending.back());
        pending.pop_back();
        const std::string prefix = current.path.empty() ? std::string() : current.path + " > ";
        const CIniBlock* described = current.description;
        const bool anyKey = described && m_anyKeys && m_anyKeys->FindValue(current.block->GetName());
        for (const auto& [key, value] : current.block->Values())
            Count(Kind::Key, prefix + key, anyKey || (described && described->FindValue(key)));
        for (const auto& [name, child] : current.block->Children()) {
            if (m_directives && m_directives->FindValue(name)) {
                Count(Kind::Directive, prefix + name, true);
                continue;
            }
            const CIniBlock* description = described ? described->FindChild(name) : nullptr;
            const Kind kind = name.find(" = ") == std::string::npos ? Kind::Block : Kind::Module;
            Count(kind, prefix + name, description != nullptr);
            if (description)
                pending.push_back({child.get(), description, prefix + name});
        }
    }
}

void IniCoverage::Count(Kind kind, const std::string& path, bool known)
{
    auto [item, added] = m_items.try_emplace(path, Counted{kind, known, 0});
    ++item->second.count;
}

std::vector<IniCoverage::Item> IniCoverage::Items() const
{
    std::vector<Item> items;
    items.reserve(m_items.size());
    for (const auto& [path, counted] : m_items)
        items.push_back({counted.kind, path, counted.known, counted.count});
    return items;
}

int IniCoverage::UnknownCount() const
{
    int unknown = 0;
    for (const auto& item : m_items)
        unknown += item.second.known ? 0 : 1;
    return unknown;
}

std::string_view IniCoverage::KindName(Kind kind)
{
    switch (kind) {
    case Kind::Block:
        return "block";
    case Kind::Module:
        return "module";
    case Kind::Key:
        return "key";
    case Kind::Directive:
        return "directive";
    }
    return {};
}

} // namespace kestrel

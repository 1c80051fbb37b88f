#include "ini/IniChecker.h"

#include "base/AsciiCase.h"
#include "ini/CIniBlock.h"
#include "ini/IniDefinitions.h"
#include "ini/IniScan.h"
#include "ini/StructureConfig.h"
#include "ini/StructureDescriptionText.h"

#include <algorithm>
#include <map>

namespace kestrel {
namespace {

bool IsStrayEnd(const CIniBlock& block)
{
    return EqualsIgnoringAsciiCase(block.GetName(), "end");
}

bool IsModule(const CIniBlock& block)
{
    return block.GetName().find(" = ") != std::string::npos;
}

/// How a block is named in messages: its name and, for top-level objects, the object's name.
std::string Shown(const CIniBlock& block)
{
    const bool topLevel = !block.GetParent() || IsStrayEnd(*block.GetParent());
    if (!topLevel || IsModule(block))
        return block.GetName();
    const std::vector<std::string_view> words = SplitWords(block.GetRest());
    return words.empty() ? block.GetName() : block.GetName() + " " + std::string(words[0]);
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

/// The words of a value that name list entries or objects: "Named" descriptions keep a first word
/// of their own, and after "AppendedData" (or for a one-choice list) only the first word counts.
std::vector<std::string_view> CheckedWords(const DescriptionText& description, std::string_view value,
                                           bool singleChoice)
{
    std::vector<std::string_view> words = SplitWords(value);
    if (description.named && !words.empty())
        words.erase(words.begin());
    if ((description.appendedData || singleChoice) && words.size() > 1)
        words.resize(1);
    return words;
}

/// The header list of a description block ("= NAME" or "=\tNAME" in its rest), if any.
std::optional<std::string> HeaderList(const CIniBlock& description)
{
    const std::string& rest = description.GetRest();
    if (rest.size() < 2 || rest[0] != '=' || (rest[1] != ' ' && rest[1] != '\t'))
        return std::nullopt;
    return HeaderListName(rest);
}

std::vector<std::string> PathComponents(std::string_view path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            parts.push_back(AsciiLowered(path.substr(start, i - start)));
            start = i + 1;
        }
    }
    return parts;
}

/// Entries the game never loads together, or loads to be overridden: the defaults folder, and
/// the mapped-image folders of different texture sizes.
bool AreAlternatives(std::string_view a, std::string_view b)
{
    const auto inDefaults = [](std::string_view path) {
        const std::vector<std::string> parts = PathComponents(path);
        return std::find(parts.begin(), parts.end(), "default") != parts.end();
    };
    if (inDefaults(a) || inDefaults(b))
        return true;
    const std::string la = AsciiLowered(a);
    const std::string lb = AsciiLowered(b);
    const std::size_t sa = la.find("texturesize_");
    const std::size_t sb = lb.find("texturesize_");
    return sa != std::string::npos && sb != std::string::npos &&
           la.substr(sa, la.find_first_of("\\/", sa) - sa) != lb.substr(sb, lb.find_first_of("\\/", sb) - sb);
}

} // namespace

/// One pass over one parsed entry.
class EntryCheck
{
public:
    EntryCheck(const IniChecker& checker, const std::string& entry, const IniDefinitions* definitions)
        : m_checker(checker), m_entry(entry), m_definitions(definitions)
    {
    }

    std::vector<IniProblem> Run(const CIniBlock& root)
    {
        std::vector<const CIniBlock*> topLevel;
        CollectTopLevel(root, topLevel);
        for (const CIniBlock* block : topLevel)
            CheckTopLevel(*block);
        std::stable_sort(m_problems.begin(), m_problems.end(),
                         [](const IniProblem& a, const IniProblem& b) { return a.line < b.line; });
        return std::move(m_problems);
    }

private:
    void Report(IniProblemKind kind, std::int32_t line, std::string message)
    {
        m_problems.push_back({kind, SeverityOf(kind), m_entry, line + 1, std::move(message)});
    }

    /// The top-level blocks; an "End" without an open block swallows what follows it up to the
    /// next "End", and those blocks are still top-level blocks to the game.
    void CollectTopLevel(const CIniBlock& root, std::vector<const CIniBlock*>& out)
    {
        for (const auto& [name, child] : root.Children()) {
            if (child->GetStartLine() < 0)
                continue;
            if (!IsStrayEnd(*child)) {
                out.push_back(child.get());
                continue;
            }
            Report(IniProblemKind::StrayEnd, child->GetStartLine(), "\"End\" without an open block");
            CollectTopLevel(*child, out);
        }
    }

    bool IsDirective(const std::string& name) const
    {
        return m_checker.m_directives && m_checker.m_directives->FindValue(name);
    }

    void CheckTopLevel(const CIniBlock& block)
    {
        if (IsDirective(block.GetName()))
            return;
        CheckClosed(block);
        CheckModuleTags(block);
        const CIniBlock* structure = m_checker.m_description;
        if (!structure)
            return;
        const CIniBlock* description = structure->FindChild(block.GetName());
        if (!description) {
            Report(IniProblemKind::UnknownBlock, block.GetStartLine(), "unknown block type " + Quoted(block.GetName()));
            return;
        }
        CheckContents(block, *description);
    }

    void CheckClosed(const CIniBlock& block)
    {
        if (!block.IsClosed())
            Report(IniProblemKind::UnterminatedBlock, block.GetStartLine(),
                   Quoted(Shown(block)) + " has no \"End\" before the end of the text (or an End inside it is missing)");
    }

    /// Walks a described block and everything below it that the description knows.
    void CheckContents(const CIniBlock& top, const CIniBlock& topDescription)
    {
        std::vector<std::pair<const CIniBlock*, const CIniBlock*>> pending{{&top, &topDescription}};
        while (!pending.empty()) {
            const auto [block, description] = pending.back();
            pending.pop_back();
            CheckValues(*block, *description);
            for (const auto& [name, child] : block->Children()) {
                if (child->GetStartLine() < 0 || IsDirective(name))
                    continue;
                const CIniBlock* childDescription = description->FindChild(name);
                if (!childDescription) {
                    const bool module = IsModule(*child);
                    Report(module ? IniProblemKind::UnknownModule : IniProblemKind::UnknownBlock,
                           child->GetStartLine(),
                           Quoted(name) + " is not a " + (module ? "module" : "block") + " of " + Shown(*block));
                    continue;
                }
                CheckHeaderList(*child, *childDescription);
                pending.emplace_back(child.get(), childDescription);
            }
        }
    }

    void CheckValues(const CIniBlock& block, const CIniBlock& description)
    {
        const bool anyKey = m_checker.m_anyKeys && m_checker.m_anyKeys->FindValue(block.GetName());
        for (const auto& [key, value] : block.Values()) {
            const IniValue* described = description.FindValue(key);
            if (!described) {
                if (!anyKey)
                    Report(IniProblemKind::UnknownKey, value.line, Quoted(key) + " is not a key of " + Shown(block));
                continue;
            }
            CheckValue(key, value, DescriptionText(described->text));
        }
    }

    void CheckValue(const std::string& key, const IniValue& value, const DescriptionText& description)
    {
        if (const auto list = description.ListName()) {
            CheckListWords(key, value.line, *list, CheckedWords(description, value.text, description.IsSelects()));
            return;
        }
        if (!m_definitions)
            return;
        const auto types = description.ObjectTypes();
        if (types.empty())
            return;
        for (const std::string_view word : CheckedWords(description, value.text, false))
            CheckReference(key, value.line, word, types);
    }

    void CheckHeaderList(const CIniBlock& block, const CIniBlock& description)
    {
        const auto list = HeaderList(description);
        if (!list)
            return;
        std::string_view rest = block.GetRest();
        if (!rest.empty() && rest.front() == '=')
            rest.remove_prefix(1);
        const bool selects = description.GetRest()[1] == '\t';
        std::vector<std::string_view> words = SplitWords(rest);
        if (selects && words.size() > 1)
            words.resize(1);
        CheckListWords(block.GetName(), block.GetStartLine(), *list, words);
    }

    /// Flag lists take "+NAME" and "-NAME" to add and remove, and "NONE" and "ALL".
    void CheckListWords(const std::string& key, std::int32_t line, const std::string& list,
                        const std::vector<std::string_view>& words)
    {
        if (!m_checker.HasList(list))
            return;
        for (std::string_view word : words) {
            if (word.size() > 1 && (word.front() == '+' || word.front() == '-'))
                word.remove_prefix(1);
            if (EqualsIgnoringAsciiCase(word, "none") || EqualsIgnoringAsciiCase(word, "all") ||
                m_checker.ListHolds(list, word))
                continue;
            Report(IniProblemKind::NotInList, line, key + ": " + Quoted(word) + " is not in the list " + Quoted(list));
        }
    }

    void CheckReference(const std::string& key, std::int32_t line, std::string_view word,
                        const std::vector<std::pair<std::string, std::string>>& types)
    {
        if (EqualsIgnoringAsciiCase(word, "none"))
            return;
        // "OCL:Name" and the like: some values carry a label before the name.
        const std::size_t colon = word.rfind(':');
        const std::string_view bare = colon == std::string_view::npos ? word : word.substr(colon + 1);
        bool known = false;
        for (const auto& [folder, type] : types) {
            if (m_definitions->Defines(folder, type, word) || m_definitions->Defines(folder, type, bare))
                return;
            known = known || m_definitions->Knows(folder, type);
        }
        if (!known)
            return;
        std::string wanted = types.front().second;
        for (std::size_t i = 1; i < types.size(); ++i) {
            if (wanted.find(types[i].second) == std::string::npos)
                wanted += " or " + types[i].second;
        }
        Report(IniProblemKind::UnresolvedReference, line,
               key + ": no " + wanted + " named " + Quoted(word) + " is defined in the checked files or the game's ini.big");
    }

    void CheckModuleTags(const CIniBlock& top)
    {
        std::map<std::string, std::int32_t, std::less<>> firstUse;
        std::vector<const CIniBlock*> pending{&top};
        std::vector<const CIniBlock*> modules;
        while (!pending.empty()) {
            const CIniBlock* block = pending.back();
            pending.pop_back();
            for (const auto& [name, child] : block->Children()) {
                if (child->GetStartLine() < 0)
                    continue;
                if (IsModule(*child))
                    modules.push_back(child.get());
                pending.push_back(child.get());
            }
        }
        std::sort(modules.begin(), modules.end(),
                  [](const CIniBlock* a, const CIniBlock* b) { return a->GetStartLine() < b->GetStartLine(); });
        for (const CIniBlock* module : modules) {
            const std::vector<std::string_view> words = SplitWords(module->GetRest());
            if (words.empty())
                continue;
            const auto [used, added] = firstUse.try_emplace(std::string(words[0]), module->GetStartLine());
            if (!added)
                Report(IniProblemKind::DuplicateModuleTag, module->GetStartLine(),
                       "module tag " + Quoted(words[0]) + " is already used on line " +
                           std::to_string(used->second + 1) + " of " + Shown(top));
        }
    }

    const IniChecker& m_checker;
    const std::string& m_entry;
    const IniDefinitions* m_definitions;
    std::vector<IniProblem> m_problems;
};

IniChecker::IniChecker(const CIniBlock* gameBlock)
    : m_description(FindStructureDescription(gameBlock)),
      m_anyKeys(gameBlock ? gameBlock->FindChild("AnyKeys") : nullptr),
      m_directives(gameBlock ? gameBlock->FindChild("Directives") : nullptr)
{
    const CIniBlock* lists = gameBlock ? gameBlock->FindChild("Lists") : nullptr;
    if (!lists)
        return;
    for (const auto& [name, list] : lists->Children()) {
        auto& entries = m_lists[name];
        for (const auto& [entry, value] : list->Values())
            entries.insert(AsciiLowered(entry));
    }
}

bool IniChecker::HasList(const std::string& list) const
{
    return m_lists.contains(list);
}

bool IniChecker::ListHolds(const std::string& list, std::string_view entry) const
{
    const auto found = m_lists.find(list);
    return found != m_lists.end() && found->second.contains(AsciiLowered(entry));
}

std::vector<IniProblem> IniChecker::CheckEntry(const std::string& entry, const CIniBlock& root,
                                               const IniDefinitions* definitions) const
{
    return EntryCheck(*this, entry, definitions).Run(root);
}

bool LoadsBefore(std::string_view a, std::string_view b)
{
    const std::vector<std::string> pa = PathComponents(a);
    const std::vector<std::string> pb = PathComponents(b);
    for (std::size_t i = 0; i < pa.size() && i < pb.size(); ++i) {
        if (pa[i] == pb[i])
            continue;
        const bool fileA = i + 1 == pa.size();
        const bool fileB = i + 1 == pb.size();
        if (fileA != fileB)
            return fileA;
        return pa[i] < pb[i];
    }
    return pa.size() < pb.size();
}

std::vector<IniProblem> FindDuplicateDefinitions(const IniDefinitions& definitions,
                                                 std::span<const std::string> entries)
{
    std::vector<const std::string*> ordered;
    for (const std::string& entry : entries) {
        if (definitions.Entries().contains(entry))
            ordered.push_back(&entry);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const std::string* a, const std::string* b) { return LoadsBefore(*a, *b); });
    struct First
    {
        const std::string* entry;
        std::int32_t line;
    };
    std::map<std::string, First> firsts;
    std::vector<IniProblem> problems;
    for (const std::string* entry : ordered) {
        for (const IniDefinition& definition : definitions.Entries().at(*entry)) {
            const auto [first, added] =
                firsts.try_emplace(definition.type + '\n' + AsciiLowered(definition.name), First{entry, definition.line});
            if (added || AreAlternatives(*first->second.entry, *entry))
                continue;
            const std::string where = first->second.entry == entry
                                          ? "on line " + std::to_string(first->second.line + 1)
                                          : "in " + *first->second.entry + ":" + std::to_string(first->second.line + 1);
            problems.push_back({IniProblemKind::DuplicateObject, SeverityOf(IniProblemKind::DuplicateObject), *entry,
                                definition.line + 1,
                                definition.type + " " + Quoted(definition.name) + " is also defined " + where +
                                    "; the game keeps this later definition"});
            first->second = {entry, definition.line};
        }
    }
    return problems;
}

} // namespace kestrel

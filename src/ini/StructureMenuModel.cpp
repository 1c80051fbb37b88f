#include "ini/StructureMenuModel.h"

#include "ini/CIniBlock.h"

#include <algorithm>

namespace kestrel {
namespace {

namespace id = StructureCommand;

/// Menus longer than this are split into popups of this many items.
constexpr int PopupSize = 50;
/// "Add Value" starts a new column after this many keys.
constexpr int ColumnSize = 30;
/// Deeper blocks are left out of Go To: a menu nested further cannot be used anyway.
constexpr int MaxGoToDepth = 64;

MenuEntry Item(std::string text, int command)
{
    MenuEntry entry;
    entry.text = std::move(text);
    entry.command = command;
    return entry;
}

MenuEntry Popup(std::string text, std::vector<MenuEntry> entries = {})
{
    MenuEntry entry;
    entry.text = std::move(text);
    entry.entries = std::move(entries);
    return entry;
}

/// Puts each run of 50 items (by their index in `count`) into its own popup named by
/// `label`(first, last) when there are more than 50; `make` gives the item of an index or none.
template <typename Make, typename Label>
std::vector<MenuEntry> SplitIntoRuns(int count, Make make, Label label)
{
    std::vector<MenuEntry> entries;
    for (int first = 0; first < count; first += PopupSize) {
        const int last = std::min(count, first + PopupSize) - 1;
        std::vector<MenuEntry> run;
        for (int i = first; i <= last; ++i) {
            if (auto item = make(i))
                run.push_back(std::move(*item));
        }
        if (count <= PopupSize)
            return run;
        if (!run.empty())
            entries.push_back(Popup(label(first, last), std::move(run)));
    }
    return entries;
}

std::vector<MenuEntry> AddModuleEntries(const CIniBlock& description)
{
    return SplitIntoRuns(
        description.GetChildCount(),
        [&](int i) -> std::optional<MenuEntry> {
            const std::string& name = description.GetChild(i)->GetName();
            // Declarations only serve matching and Implements; nobody writes one into a file.
            if (name.find("_decl") != std::string::npos)
                return std::nullopt;
            return Item(name, id::AddModule + i);
        },
        [&](int first, int last) {
            return "Modules " + description.GetChild(first)->GetName() + " to " + description.GetChild(last)->GetName();
        });
}

std::vector<MenuEntry> AddValueEntries(const CIniBlock& description)
{
    std::vector<MenuEntry> entries;
    for (int i = 0; i < description.GetValueCount(); ++i) {
        entries.push_back(Item(description.GetValueKey(i), id::AddValue + i));
        entries.back().newColumn = i > 0 && i % ColumnSize == 0;
    }
    return entries;
}

MenuEntry ChoiceItem(const StructureChoice& choice, int command, bool checkable)
{
    MenuEntry entry = Item(choice.text, command);
    entry.checkable = checkable;
    entry.checked = choice.checked;
    return entry;
}

std::vector<MenuEntry> SetValueEntries(const StructureOffer& offer)
{
    const bool list = offer.SetValueIsList();
    const int base = list ? id::SetListEntry : id::SetObjectName;
    return SplitIntoRuns(
        static_cast<int>(offer.setValue.size()),
        [&](int i) -> std::optional<MenuEntry> { return ChoiceItem(offer.setValue[static_cast<size_t>(i)], base + i, list); },
        [&](int first, int) {
            return "Values " + std::to_string(first) + " (" + offer.setValue[static_cast<size_t>(first)].text + ") to "
                + std::to_string(first + PopupSize);
        });
}

std::vector<MenuEntry> SetListEntries(const StructureOffer& offer)
{
    std::vector<MenuEntry> entries;
    for (size_t i = 0; i < offer.setList.size(); ++i)
        entries.push_back(ChoiceItem(offer.setList[i], id::SetHeaderList + static_cast<int>(i), true));
    return entries;
}

void AddPopupWithContent(std::vector<MenuEntry>& menu, std::string text, std::vector<MenuEntry> entries)
{
    if (!entries.empty())
        menu.push_back(Popup(std::move(text), std::move(entries)));
}

class GoToBuilder
{
public:
    explicit GoToBuilder(const CIniBlock* current) : m_current(current) {}

    std::vector<MenuEntry> EntriesOf(const CIniBlock& block, int depth)
    {
        return SplitIntoRuns(
            block.GetChildCount(),
            [&](int i) { return EntryOf(*block.GetChild(i), depth); },
            [&](int first, int last) {
                return "Modules \"" + Label(*block.GetChild(first)) + "\" to \"" + Label(*block.GetChild(last)) + "\"";
            });
    }

    std::vector<const CIniBlock*> TakeBlocks() { return std::move(m_blocks); }

private:
    std::string Label(const CIniBlock& block) const
    {
        std::string label = block.GetName();
        if (!block.GetRest().empty())
            label += " " + block.GetRest();
        std::replace(label.begin(), label.end(), '\t', ' ');
        if (&block == m_current && block.GetChildCount() == 0)
            label += " - current";
        return label;
    }

    std::optional<MenuEntry> ItemFor(const CIniBlock& block)
    {
        std::string label = Label(block);
        if (label.empty() || static_cast<int>(m_blocks.size()) >= id::MaxGoToBlocks)
            return std::nullopt;
        m_blocks.push_back(&block);
        return Item(std::move(label), id::GoToBlock + static_cast<int>(m_blocks.size()) - 1);
    }

    std::optional<MenuEntry> EntryOf(const CIniBlock& block, int depth)
    {
        if (block.GetChildCount() == 0 || depth >= MaxGoToDepth)
            return ItemFor(block);
        // The popup's first item jumps to the block itself.
        std::vector<MenuEntry> entries;
        if (auto self = ItemFor(block))
            entries.push_back(std::move(*self));
        for (MenuEntry& entry : EntriesOf(block, depth + 1))
            entries.push_back(std::move(entry));
        if (entries.empty())
            return std::nullopt;
        return Popup(Label(block), std::move(entries));
    }

    const CIniBlock* m_current;
    std::vector<const CIniBlock*> m_blocks;
};

void CollectItems(const std::vector<MenuEntry>& entries, std::vector<const MenuEntry*>& items)
{
    for (const MenuEntry& entry : entries) {
        if (entry.IsPopup())
            CollectItems(entry.entries, items);
        else
            items.push_back(&entry);
    }
}

} // namespace

std::vector<MenuEntry> StructureMenuEntries(const StructureOffer& offer)
{
    std::vector<MenuEntry> menu;
    if (offer.description) {
        AddPopupWithContent(menu, "Add Module", AddModuleEntries(*offer.description));
        AddPopupWithContent(menu, "Add Value", AddValueEntries(*offer.description));
        AddPopupWithContent(menu, "Set Value", SetValueEntries(offer));
        AddPopupWithContent(menu, "Set = List", SetListEntries(offer));
    }
    menu.push_back(Item("Go To", id::GoTo));
    return menu;
}

GoToMenu BuildGoToMenu(const CIniBlock& root, const CIniBlock* current)
{
    GoToBuilder builder(current);
    GoToMenu menu;
    menu.entries = builder.EntriesOf(root, 0);
    menu.blocks = builder.TakeBlocks();
    return menu;
}

std::vector<const MenuEntry*> MenuItemsInOrder(const std::vector<MenuEntry>& entries)
{
    std::vector<const MenuEntry*> items;
    CollectItems(entries, items);
    return items;
}

} // namespace kestrel

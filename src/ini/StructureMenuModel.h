#pragma once

#include "ini/StructureMenu.h"

#include <string>
#include <vector>

namespace kestrel {

class CIniBlock;

/// One entry of a menu built for the structure menu: an item with a command identifier, or a
/// popup (identifier 0) with entries of its own. The widgets only draw what this says.
struct MenuEntry
{
    std::string text;
    int command = 0;
    bool checkable = false;
    bool checked = false;
    /// The entry starts a new column of its popup.
    bool newColumn = false;
    std::vector<MenuEntry> entries;

    bool IsPopup() const { return command == 0; }
};

/// The structure menu for an offer, in order "Add Module", "Add Value", "Set Value",
/// "Set = List" (each only with content) and "Go To". Without a description only "Go To".
std::vector<MenuEntry> StructureMenuEntries(const StructureOffer& offer);

/// The Go To menu of a parsed entry and the blocks its items reach: item k has the identifier
/// 10000 + k and jumps to blocks[k].
struct GoToMenu
{
    std::vector<MenuEntry> entries;
    std::vector<const CIniBlock*> blocks;
};

/// Every block of `root` in key order, nested as in the text, at most 9000 of them; the
/// childless block `current` is marked " - current".
GoToMenu BuildGoToMenu(const CIniBlock& root, const CIniBlock* current);

/// Every item of `entries` and their popups, depth first: the order a reader meets them.
std::vector<const MenuEntry*> MenuItemsInOrder(const std::vector<MenuEntry>& entries);

} // namespace kestrel

#include "IniStructure.h"

#include "JsonText.h"

#include "ini/CIniBlock.h"
#include "ini/StructureMenuModel.h"

#include <algorithm>
#include <vector>

namespace kestrel::cli {
namespace {

namespace id = StructureCommand;

void AppendJsonStrings(std::string& out, const std::vector<std::string>& texts)
{
    out += "[";
    for (size_t i = 0; i < texts.size(); ++i) {
        out += i ? ", " : "";
        AppendJsonString(out, texts[i]);
    }
    out += "]";
}

void AppendJsonChoices(std::string& out, const std::vector<StructureChoice>& choices)
{
    out += "[";
    for (size_t i = 0; i < choices.size(); ++i) {
        out += i ? ", {\"text\": " : "{\"text\": ";
        AppendJsonString(out, choices[i].text);
        out += choices[i].checked ? ", \"checked\": true}" : ", \"checked\": false}";
    }
    out += "]";
}

/// The texts of the menu's items with identifiers from `first` up to (not including) `last`,
/// in menu order.
std::vector<std::string> ItemTexts(const std::vector<MenuEntry>& menu, int first, int last)
{
    std::vector<std::string> texts;
    for (const MenuEntry* item : MenuItemsInOrder(menu)) {
        if (item->command >= first && item->command < last)
            texts.push_back(item->text);
    }
    return texts;
}

int IndexOfItem(const std::vector<MenuEntry>& menu, int first, int last, std::string_view text)
{
    for (const MenuEntry* item : MenuItemsInOrder(menu)) {
        if (item->command >= first && item->command < last && item->text == text)
            return item->command;
    }
    return -1;
}

int IndexOfChoice(const std::vector<StructureChoice>& choices, std::string_view text)
{
    const auto found = std::find_if(choices.begin(), choices.end(), [&](const auto& c) { return c.text == text; });
    return found == choices.end() ? -1 : static_cast<int>(found - choices.begin());
}

} // namespace

void AppendJsonBlockHeader(std::string& out, const CIniBlock& block)
{
    out += "{\"name\": ";
    AppendJsonString(out, block.GetName());
    out += ", \"rest\": ";
    AppendJsonString(out, block.GetRest());
    out += ", \"startLine\": " + std::to_string(block.GetStartLine());
    out += ", \"endLine\": " + std::to_string(block.GetEndLine());
}

std::string OfferJson(const CIniBlock& root, const StructureOffer& offer)
{
    const CIniBlock& block = *offer.block;
    std::string out = "{\"line\": " + std::to_string(offer.caretLine) + ", \"block\": ";
    if (&block == &root) {
        out += "null";
    } else {
        AppendJsonBlockHeader(out, block);
        out += "}";
    }
    out += ", \"valueIndex\": " + std::to_string(offer.valueIndex);

    const std::vector<MenuEntry> menu = StructureMenuEntries(offer);
    out += ", \"addModule\": ";
    AppendJsonStrings(out, ItemTexts(menu, id::AddModule, id::AddValue));
    out += ", \"addValue\": ";
    AppendJsonStrings(out, ItemTexts(menu, id::AddValue, id::SetObjectName));
    out += ", \"setValue\": ";
    if (offer.HasSetValue()) {
        out += offer.SetValueIsList() ? "{\"kind\": \"list\", \"choices\": " : "{\"kind\": \"objects\", \"choices\": ";
        AppendJsonChoices(out, offer.setValue);
        out += "}";
    } else {
        out += "null";
    }
    out += ", \"setList\": ";
    if (offer.headerList && !offer.setList.empty())
        AppendJsonChoices(out, offer.setList);
    else
        out += "null";
    out += ", \"goTo\": ";
    AppendJsonStrings(out, ItemTexts(BuildGoToMenu(root, offer.block).entries, id::GoToBlock, id::AddModule));
    return out + "}\n";
}

std::optional<int> CommandForAction(const StructureOffer& offer, std::string_view action, std::string& problem)
{
    const size_t colon = action.find(':');
    const std::string_view verb = action.substr(0, colon);
    const std::string_view what = colon == std::string_view::npos ? std::string_view() : action.substr(colon + 1);
    const std::vector<MenuEntry> menu = StructureMenuEntries(offer);
    int command = -1;
    if (colon == std::string_view::npos) {
        problem = "an action is add-module:NAME, add-value:KEY, set:CHOICE or set-list:ENTRY";
        return std::nullopt;
    }
    if (verb == "add-module") {
        command = IndexOfItem(menu, id::AddModule, id::AddValue, what);
    } else if (verb == "add-value") {
        command = IndexOfItem(menu, id::AddValue, id::SetObjectName, what);
    } else if (verb == "set") {
        const int i = IndexOfChoice(offer.setValue, what);
        command = i < 0 ? -1 : (offer.SetValueIsList() ? id::SetListEntry : id::SetObjectName) + i;
    } else if (verb == "set-list") {
        const int i = IndexOfChoice(offer.setList, what);
        command = i < 0 ? -1 : id::SetHeaderList + i;
    } else {
        problem = "unknown action \"" + std::string(verb) + "\" (add-module, add-value, set or set-list)";
        return std::nullopt;
    }
    if (command < 0) {
        problem = "the structure menu offers no \"" + std::string(what) + "\" for " + std::string(verb) + " here";
        return std::nullopt;
    }
    return command;
}

} // namespace kestrel::cli

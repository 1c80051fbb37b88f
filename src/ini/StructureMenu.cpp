#include "ini/StructureMenu.h"

#include "base/AsciiCase.h"
#include "ini/CIniBlock.h"
#include "ini/IniScan.h"
#include "ini/StructureConfig.h"
#include "ini/StructureDescriptionText.h"
#include "ini/StructureEdit.h"

#include <iterator>

namespace kestrel {
namespace {

int ValueIndexOf(const CIniBlock& block, std::string_view key)
{
    const auto& values = block.Values();
    const auto found = values.find(key);
    return found == values.end() ? -1 : static_cast<int>(std::distance(values.begin(), found));
}

std::vector<StructureChoice> ListChoices(const CIniBlock& list, std::string_view presentText)
{
    std::vector<StructureChoice> choices;
    for (const auto& [entry, value] : list.Values())
        choices.push_back({entry, ListHoldsEntry(presentText, entry)});
    return choices;
}

void OfferSetValue(StructureOffer& offer, const CIniBlock* gameBlock, const ObjectNameLookup& objectNames)
{
    const IniValue* caretValue = offer.block->GetValue(offer.valueIndex);
    if (!caretValue)
        return;
    offer.descriptionValueIndex = ValueIndexOf(*offer.description, offer.block->GetValueKey(offer.valueIndex));
    if (offer.descriptionValueIndex < 0)
        return;
    const DescriptionText text(offer.description->GetValue(offer.descriptionValueIndex)->text);
    offer.named = text.named;
    offer.appendedData = text.appendedData;
    if (const auto listName = text.ListName()) {
        offer.valueList = FindChoiceList(gameBlock, *listName);
        offer.valueListSelects = text.IsSelects();
        if (offer.valueList)
            offer.setValue = ListChoices(*offer.valueList, caretValue->text);
        return;
    }
    if (!objectNames)
        return;
    for (const auto& [folder, type] : text.ObjectTypes()) {
        for (std::string& name : objectNames(folder, type))
            offer.setValue.push_back({std::move(name), false});
    }
}

void OfferSetList(StructureOffer& offer, const CIniBlock* gameBlock)
{
    const std::string& rest = offer.description->GetRest();
    if (rest.empty() || rest[0] != '=')
        return;
    offer.headerList = FindChoiceList(gameBlock, HeaderListName(rest));
    offer.headerListSelects = rest.size() > 1 && rest[1] == '\t';
    if (offer.headerList)
        offer.setList = ListChoices(*offer.headerList, offer.block->GetRest());
}

} // namespace

const CIniBlock* FindDescription(const CIniBlock& block, const CIniBlock* structure)
{
    std::vector<const CIniBlock*> chain;
    for (const CIniBlock* b = &block; b && !b->GetName().empty(); b = b->GetParent())
        chain.push_back(b);
    const CIniBlock* description = structure;
    for (auto it = chain.rbegin(); it != chain.rend() && description; ++it)
        description = description->FindChild((*it)->GetName());
    return description;
}

StructureOffer MakeStructureOffer(const CIniBlock& root, const CIniBlock* gameBlock, int caretLine,
                                  const ObjectNameLookup& objectNames)
{
    StructureOffer offer;
    offer.caretLine = caretLine;
    offer.block = root.FindBlockAtLine(caretLine, offer.valueIndex);
    offer.description = FindDescription(*offer.block, FindStructureDescription(gameBlock));
    if (!offer.description)
        return offer;
    OfferSetValue(offer, gameBlock, objectNames);
    OfferSetList(offer, gameBlock);
    return offer;
}

std::string_view CaretValueDescription(const StructureOffer& offer)
{
    const IniValue* value = offer.description ? offer.description->GetValue(offer.descriptionValueIndex) : nullptr;
    return value ? DescriptionText(value->text).text : std::string_view();
}

std::optional<TextEdit> StructureCommandEdit(const StructureOffer& offer, std::string_view text, int command)
{
    namespace id = StructureCommand;
    const auto index = [&](int base) { return command - base; };
    if (!offer.description)
        return std::nullopt;
    if (command >= id::SetListEntry) {
        if (!offer.valueList || index(id::SetListEntry) >= offer.valueList->GetValueCount())
            return std::nullopt;
        return PickListEntryEdit(text, offer.caretLine, *offer.valueList,
                                 offer.valueList->GetValueKey(index(id::SetListEntry)), offer.valueListSelects, false);
    }
    if (command >= id::SetHeaderList) {
        // With a described caret value the value's own list is meant, as the menu's
        // identifiers share one list per menu.
        const bool valueList = offer.descriptionValueIndex >= 0;
        const CIniBlock* list = valueList ? offer.valueList : offer.headerList;
        const bool selects = valueList ? offer.valueListSelects : offer.headerListSelects;
        if (!list || index(id::SetHeaderList) >= list->GetValueCount())
            return std::nullopt;
        // A header list lives on the block's header line, wherever in the block the caret is.
        const bool onHeader = !valueList && !offer.block->GetName().empty();
        const int line = onHeader ? offer.block->GetStartLine() : offer.caretLine;
        return PickListEntryEdit(text, line, *list, list->GetValueKey(index(id::SetHeaderList)), selects, onHeader);
    }
    if (command >= id::SetObjectName) {
        const auto i = static_cast<std::size_t>(index(id::SetObjectName));
        if (offer.valueList || i >= offer.setValue.size())
            return std::nullopt;
        return SetObjectNameEdit(text, offer.caretLine, offer.setValue[i].text, offer.named, offer.appendedData);
    }
    if (command >= id::AddValue) {
        const IniValue* value = offer.description->GetValue(index(id::AddValue));
        if (!value)
            return std::nullopt;
        return AddValueEdit(text, *offer.block, offer.caretLine, offer.description->GetValueKey(index(id::AddValue)),
                            value->text);
    }
    if (command >= id::AddModule) {
        const CIniBlock* module = offer.description->GetChild(index(id::AddModule));
        if (!module)
            return std::nullopt;
        return AddModuleEdit(text, *offer.block, offer.caretLine, *module);
    }
    return std::nullopt;
}

} // namespace kestrel

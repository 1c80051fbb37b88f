#pragma once

#include "ini/TextLines.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CIniBlock;

/// Command identifiers of the structure menu; the offset from the base picks the item.
namespace StructureCommand {
inline constexpr int GoTo = 500;
inline constexpr int GoToBlock = 10000;
inline constexpr int AddModule = 19000;
inline constexpr int AddValue = 25000;
inline constexpr int SetObjectName = 35000;
inline constexpr int SetHeaderList = 45000;
inline constexpr int SetListEntry = 54000;
/// The Go To menu reaches at most this many blocks (identifiers 10000 to 18999).
inline constexpr int MaxGoToBlocks = 9000;
} // namespace StructureCommand

/// One choice of "Set Value" or "Set = List".
struct StructureChoice
{
    std::string text;
    bool checked = false;
};

/// Gives the names of the objects of type `type` defined in the INI entries whose path contains
/// `folder`, in the order found.
using ObjectNameLookup = std::function<std::vector<std::string>(std::string_view folder, std::string_view type)>;

/// What the structure menu offers at a caret line of a parsed entry, and everything its commands
/// need afterwards. The blocks point into the parsed entry and the configuration tree, which must
/// outlive the offer and stay unchanged.
struct StructureOffer
{
    int caretLine = 0;
    /// The innermost block holding the caret line (the root outside every block).
    const CIniBlock* block = nullptr;
    /// Index of the block's value on the caret line, or -1.
    int valueIndex = -1;
    /// The part of the structure description that describes the block; none leaves only Go To.
    const CIniBlock* description = nullptr;
    /// Index of the caret value's key in the description, or -1.
    int descriptionValueIndex = -1;
    /// From the description text of the caret value.
    bool named = false;
    bool appendedData = false;

    /// "Set Value": list choices (`valueList` set) or object names (`valueList` none).
    std::vector<StructureChoice> setValue;
    const CIniBlock* valueList = nullptr;
    bool valueListSelects = false;

    /// "Set = List": the entries of the description's header list.
    std::vector<StructureChoice> setList;
    const CIniBlock* headerList = nullptr;
    bool headerListSelects = false;

    bool HasSetValue() const { return !setValue.empty(); }
    bool SetValueIsList() const { return valueList != nullptr; }
};

/// The part of the structure description `structure` that describes `block`: its named
/// ancestors matched child by child from the top; the description itself for the root; none
/// when a level is missing.
const CIniBlock* FindDescription(const CIniBlock& block, const CIniBlock* structure);

/// Works out the structure menu for the caret line: the block and value under the caret, the
/// description matched to the block level by level from the top, and the choices. `gameBlock`
/// (may be none) provides "INIStructure" and "Lists"; `objectNames` (may be empty) provides the
/// object names of descriptions that name Folder::Type.
StructureOffer MakeStructureOffer(const CIniBlock& root, const CIniBlock* gameBlock, int caretLine,
                                  const ObjectNameLookup& objectNames);

/// The description text of the caret value without its "Named " and "AppendedData " prefixes
/// (empty without a described caret value).
std::string_view CaretValueDescription(const StructureOffer& offer);

/// The edit that the structure command `command` makes to `text` (the text `offer` was made
/// from); none when the identifier names nothing the offer holds. Go To commands change nothing.
std::optional<TextEdit> StructureCommandEdit(const StructureOffer& offer, std::string_view text, int command);

} // namespace kestrel

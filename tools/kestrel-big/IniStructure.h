#pragma once

#include "ini/StructureMenu.h"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {
class CIniBlock;
}

namespace kestrel::cli {

/// The object {"name", "rest", "startLine", "endLine"} of a block, without its closing brace.
void AppendJsonBlockHeader(std::string& out, const CIniBlock& block);

/// The structure menu at a line as one JSON object: the block and value under the line, what
/// "Add Module", "Add Value", "Set Value" and "Set = List" offer, and the labels of Go To.
std::string OfferJson(const CIniBlock& root, const StructureOffer& offer);

/// The menu command that an --apply action names ("add-module:NAME", "add-value:KEY",
/// "set:CHOICE", "set-list:ENTRY"), or none when the offer holds no such item; `problem`
/// says why not.
std::optional<int> CommandForAction(const StructureOffer& offer, std::string_view action, std::string& problem);

} // namespace kestrel::cli

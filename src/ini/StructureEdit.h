#pragma once

#include "ini/TextLines.h"

#include <string_view>

namespace kestrel {

class CIniBlock;

// The text changes of the structure menu's commands, on an entry's bytes with lines counted
// from 0 by line feeds. Every line a command adds ends with the entry's own line end
// (PreferredLineEnd); a line's existing break is never touched.

/// "Add Module": the module's header (its name and its rest, with "Specified" read as "=" and
/// "#" as ";"), an empty line and "End", below the caret line, or in place of a blank caret line,
/// indented to sit inside `block` (the block under the caret).
TextEdit AddModuleEdit(std::string_view text, const CIniBlock& block, int caretLine, const CIniBlock& module);

/// "Add Value": `key` " = " the description text ("#" read as ";"), or for a "Direct"
/// description the key, a blank and the text after "Direct ", placed like a module.
TextEdit AddValueEdit(std::string_view text, const CIniBlock& block, int caretLine, std::string_view key,
                      std::string_view description);

/// "Set Value" with an object name: the value of the caret line (after its "=", or after its
/// first word) becomes `name`; `named` keeps the value's first word in front of it,
/// `appendedData` keeps what followed the replaced word behind it. A ";" remark stays.
TextEdit SetObjectNameEdit(std::string_view text, int caretLine, std::string_view name, bool named,
                           bool appendedData);

/// Picking `entry` of `list` on a line: the value keeps the words that are entries of the list
/// and loses or gains `entry` (a toggle); for a Selects list `entry` becomes the whole value.
/// Words that are not list entries are dropped; a ";" remark stays. On a header line without
/// "=" (`headerLine`) the list is started after the header's first word.
TextEdit PickListEntryEdit(std::string_view text, int line, const CIniBlock& list, std::string_view entry,
                           bool selects, bool headerLine);

} // namespace kestrel

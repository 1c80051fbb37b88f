#pragma once

#include "strings/CsfTable.h"

namespace kestrel {

enum class CsfImportMode {
    Replace, ///< the incoming labels become the table's labels
    Merge,   ///< incoming labels replace the strings of same-named labels; new ones are appended
};

struct CsfImportCounts
{
    size_t replaced = 0;
    size_t added = 0;
    size_t removed = 0;
};

/// Takes `incoming`'s labels into `table`, keeping `table`'s version, language and header word
/// (text forms do not carry them). Label names match ignoring the case of A-Z, as in the games.
CsfImportCounts ImportLabels(CsfTable& table, const CsfTable& incoming, CsfImportMode mode);

} // namespace kestrel

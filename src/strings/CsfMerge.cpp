#include "strings/CsfMerge.h"

#include <algorithm>

namespace kestrel {

CsfImportCounts ImportLabels(CsfTable& table, const CsfTable& incoming, CsfImportMode mode)
{
    CsfImportCounts counts;
    if (mode == CsfImportMode::Replace) {
        for (const auto& label : table.labels)
            (incoming.FindLabel(label.name) ? counts.replaced : counts.removed)++;
        counts.added = incoming.labels.size() - std::min(counts.replaced, incoming.labels.size());
        table.labels = incoming.labels;
        return counts;
    }
    for (const auto& label : incoming.labels) {
        if (CsfLabel* existing = table.FindLabel(label.name)) {
            existing->strings = label.strings;
            ++counts.replaced;
        } else {
            table.labels.push_back(label);
            ++counts.added;
        }
    }
    return counts;
}

} // namespace kestrel

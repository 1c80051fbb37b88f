#pragma once

#include <functional>
#include <string>

namespace kestrel {

class CBIGFile;
class ICommandDialogs;

/// Runs `save` (a Save, Save As or Quick Save of `archive`) with a progress dialog fed by the
/// archive's save progress. Saves cannot be cancelled: a save either completes or leaves the
/// file as it was. Returns what `save` returned.
bool SaveWithProgress(CBIGFile& archive, ICommandDialogs& dialogs, const std::string& shownName,
                      const std::function<bool()>& save);

} // namespace kestrel

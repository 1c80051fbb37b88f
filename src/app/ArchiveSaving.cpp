#include "app/ArchiveSaving.h"

#include "app/AppStrings.h"
#include "app/CommandDialogs.h"
#include "archive/CBIGFile.h"

namespace kestrel {

bool SaveWithProgress(CBIGFile& archive, ICommandDialogs& dialogs, const std::string& shownName,
                      const std::function<bool()>& save)
{
    const std::unique_ptr<IProgress> progress =
        dialogs.StartProgress(ToBytes(Text(AppString::ProgressSaving).arg(FromBytes(shownName))), false);
    archive.SetProgressObserver([&progress](std::uint64_t done, std::uint64_t total) { progress->Update(done, total); });
    const bool saved = save();
    archive.SetProgressObserver({});
    return saved;
}

} // namespace kestrel

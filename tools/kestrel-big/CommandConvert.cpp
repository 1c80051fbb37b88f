#include "Commands.h"
#include "ImageEntry.h"

#include "base/AtomicFile.h"

#include <algorithm>

namespace kestrel::cli {

const CommandDetails ConvertDetails = {
    "ARCHIVE ENTRY OUT.png",
    {},
    3,
    3,
    R"(DESCRIPTION
    Decodes the image entry named ENTRY as the editor's preview does and writes the picture
    to OUT.png (8-bit RGBA, transparency kept). The entry's name chooses the decoder: it is
    searched, ignoring case, for .tga, .bmp, .dds, .jpg, .jpeg and .png in that order. DDS
    files give their top level. The name is compared ignoring the case of A-Z; '/' may be
    typed for '\'. OUT.png is written under a temporary name and renamed when complete.

EXIT STATUS
    0 written; 1 the entry does not decode, its bytes lie outside the file, or the archive
    is damaged; 2 no such entry, a name that selects no decoder, or the archive or OUT.png
    failed.

EXAMPLES
    kestrel-big convert Textures.big art/textures/cbbarracks.dds barracks.png
)",
};

int RunConvert(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    int opened = ExitOk;
    const int index = archive.OpenForEntry(args.positional[0], args.positional[1], opened);
    if (index < 0)
        return ExitFailure;
    std::vector<std::uint8_t> png;
    std::string error;
    const int status = EntryAsPng(archive, index, png, error);
    if (status != ExitOk) {
        context.Report(archive.ShownName(), "entry \"" + args.positional[1] + "\" not converted: " + error);
        return std::max(opened, status);
    }
    if (!WriteWholeFileAtomically(context.Resolve(args.positional[2]), png.data(), png.size(), true, error)) {
        context.Report(args.positional[2], error);
        return ExitFailure;
    }
    return opened;
}

} // namespace kestrel::cli

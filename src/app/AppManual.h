#pragma once

#include <string_view>

namespace kestrel {

/// What `kestrel --help` prints; the build turns the same text into the kestrel(1) manual page.
/// Plain text: section names at the margin, everything else indented by four blanks.
inline constexpr std::string_view KestrelManual = R"(NAME
    kestrel - editor and viewer for BIG archives (C&C Generals, Zero Hour, BFME)

SYNOPSIS
    kestrel [ARCHIVE]
    kestrel --help
    kestrel --version

DESCRIPTION
    Opens ARCHIVE, or a new empty archive, in a window split into the entry list and a
    preview: INI and other text entries in an editor whose every change goes straight back
    into the entry, images and W3D models drawn through OpenGL. A right click in an INI entry
    opens the structure menu, built from the game's description in kestrel.ini. Archives are
    recognised by their content (the magic BIGF or BIG4), not by the file's extension.
    When Kestrel already runs, a second start with an ARCHIVE hands it to the running window.
    Qt's own options (-platform, -style, ...) are understood as well.

OPTIONS
    -h, --help  Show this manual.
    --version   Print the version and the commit the program was built from.

FILES
    kestrel.ini
        The games' INI structure descriptions: read from the program's own folder, else
        from the installation's data folder (share/kestrel beside the bin folder).
    ~/.config/Kestrel/Kestrel.conf
        Settings: recent files, the 3D device, external editors (Editors/0, 1, ...), the
        entry list's columns and the games' folders (InstallPaths/Generals, ZeroHour, BFME)
        for games that Wine does not know about.

ENVIRONMENT
    KESTREL_DEBUG  When set, the image decoders and the 3D device report on standard error.
    WINEPREFIX     A Wine prefix whose system.reg tells where the games are installed; the
                   prefixes ~/.wine and those of Proton in the Steam libraries are read after it.

SEE ALSO
    kestrel-big(1)
)";

} // namespace kestrel

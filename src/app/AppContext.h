#pragma once

#include "archive/IDocumentObserver.h"

#include <functional>

namespace kestrel {

class AppSettings;
class CIniBlock;
class IInstallPathProvider;
class IniObjectCache;
class IPrompt;
class SharedPreviewDevice;

/// What every archive window and preview needs from the application, passed down instead of
/// reached through globals. Everything referenced lives as long as the application object.
struct AppContext
{
    IPrompt& prompt;
    AppSettings& settings;
    SharedPreviewDevice& device;
    /// Delivers a texture-archive request to every open document.
    std::function<void(DocumentBroadcast)> broadcast;
    /// The parsed kestrel.ini (game blocks, structure configuration), once loaded.
    const CIniBlock* configuration = nullptr;
    /// Where the games are installed (their texture archives and folders).
    IInstallPathProvider* installPaths = nullptr;
    /// INI entries parsed for the object names of the structure menu, shared by all windows.
    IniObjectCache* objectCache = nullptr;
};

} // namespace kestrel

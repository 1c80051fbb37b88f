#pragma once

namespace kestrel {

class CIniBlock;
class CQuartoDoc;
class IInstallPathProvider;
class IPrompt;

/// What opening a document's texture archives needs from the program.
struct TextureArchiveContext
{
    /// The configuration tree read from kestrel.ini (may be null: then every game is missing).
    const CIniBlock* configuration = nullptr;
    bool texturesEnabled = true;
    IInstallPathProvider* provider = nullptr;
    IPrompt* prompt = nullptr;
};

/// The document's texture-archive opener: decides the game from the archive's format and folder,
/// tells the user when kestrel.ini has no block for that game, and opens the game's texture
/// archives (Textures option on) into the document, closing any it had open. Archives that fail
/// to open simply hold no entries.
void OpenDocumentTextureArchives(CQuartoDoc& document, const TextureArchiveContext& context);

} // namespace kestrel

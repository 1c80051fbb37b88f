#pragma once

namespace kestrel {

/// The two requests that go to every window of the program around a save, so that no document
/// holds a game texture archive open while archives are rewritten.
enum class DocumentBroadcast {
    CloseTextureArchives,
    ReopenTextureArchives,
};

/// A view of a CQuartoDoc, called on the user-interface thread.
class IDocumentObserver
{
public:
    virtual ~IDocumentObserver() = default;

    /// The document changed ("update all views"); `sender` is the observer whose action caused it
    /// and which is not called, or null.
    virtual void OnDocumentUpdate(IDocumentObserver* sender) = 0;
    /// A program-wide request; an editor view relays it to its own document.
    virtual void OnDocumentBroadcast(DocumentBroadcast request) { (void)request; }
};

} // namespace kestrel

#pragma once

#include "JsonValue.h"

#include "ini/IniWorkspace.h"

#include <filesystem>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace kestrel::cli {

/// A Language Server Protocol server for the INI files of one mod folder (the workspace), over
/// a stream pair with Content-Length framing: diagnostics when a file is opened or changed,
/// completion, hover, go to definition and the block outline. Documents are synchronised whole.
class LspServer
{
public:
    /// `gameBlock` (may be none) and `gameIni` (the game's "ini.big", may be none) stay fixed.
    LspServer(std::ostream& out, const CIniBlock* gameBlock, std::optional<std::filesystem::path> gameIni);

    /// Serves until "exit" or the end of the input: 0 after a "shutdown" request, else 1.
    int Run(std::istream& in);

private:
    struct Document
    {
        std::string entry;
        std::string text;
    };

    bool ReadMessage(std::istream& in, std::string& body);
    void Send(const std::string& json);
    void Reply(const JsonValue& id, const std::string& result);
    void Handle(const JsonValue& message);

    void Initialize(const JsonValue& params);
    void LoadFolder(const std::filesystem::path& folder);
    void Open(const std::string& uri, std::string text);
    void PublishDiagnostics(const std::string& uri);
    std::string Completion(const JsonValue& params) const;
    std::string Hover(const JsonValue& params) const;
    std::string Definition(const JsonValue& params) const;
    std::string Symbols(const JsonValue& params) const;

    const Document* Find(const JsonValue& params) const;
    static std::string_view WordUnderCaret(const Document& document, const JsonValue& params);
    std::string EntryFor(const std::string& uri) const;
    std::string UriFor(const std::string& entry) const;

    std::ostream& m_out;
    const CIniBlock* m_gameBlock;
    std::optional<std::filesystem::path> m_gameIni;
    IniWorkspace m_workspace;
    std::filesystem::path m_root;
    std::map<std::string, Document> m_documents;
    bool m_shutDown = false;
    bool m_exited = false;
};

} // namespace kestrel::cli

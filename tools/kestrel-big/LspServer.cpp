#include "LspServer.h"

#include "JsonText.h"

#include "base/AsciiCase.h"
#include "ini/CIniBlock.h"
#include "ini/IniScan.h"
#include "ini/StructureConfig.h"
#include "ini/StructureDescriptionText.h"
#include "ini/StructureMenu.h"
#include "strings/UnicodeText.h"
#include "w3d/GameIniArchive.h"

#include "base/File.h"

#include <charconv>
#include <set>

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;

// Values of the protocol's enumerations.
constexpr int SeverityError = 1;
constexpr int SeverityWarning = 2;
constexpr int SymbolClass = 5;
constexpr int SymbolProperty = 7;
constexpr int CompletionClass = 7;
constexpr int CompletionProperty = 10;
constexpr int CompletionValue = 12;
constexpr int CompletionModule = 9;

std::string Quoted(std::string_view latin1)
{
    std::string out;
    AppendJsonString(out, latin1);
    return out;
}

std::string Position(int line, int character)
{
    return "{\"line\": " + std::to_string(line) + ", \"character\": " + std::to_string(character) + "}";
}

std::string Range(int line, int from, int to)
{
    return "{\"start\": " + Position(line, from) + ", \"end\": " + Position(line, to) + "}";
}

/// The path of a file: URI ("file:///a%20b/c.ini" → "/a b/c.ini").
std::string PathOfUri(std::string_view uri)
{
    if (uri.starts_with("file://"))
        uri.remove_prefix(7);
    std::string path;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        unsigned value = 0;
        if (uri[i] == '%' && i + 2 < uri.size() &&
            std::from_chars(uri.data() + i + 1, uri.data() + i + 3, value, 16).ec == std::errc()) {
            path += static_cast<char>(value);
            i += 2;
        } else {
            path += uri[i];
        }
    }
    // "file:///C:/mod" names the Windows path "C:/mod".
    if (path.size() >= 3 && path[0] == '/' && std::isalpha(static_cast<unsigned char>(path[1])) && path[2] == ':')
        path.erase(0, 1);
    return path;
}

std::string UriOfPath(const fs::path& path)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const std::string text = path.generic_string();
    // A drive path gets the empty authority's slash too: file:///C:/mod.
    std::string uri = text.starts_with('/') ? "file://" : "file:///";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::string_view("/-_.~:").find(c) != std::string_view::npos) {
            uri += c;
        } else {
            uri += '%';
            uri += Hex[byte >> 4];
            uri += Hex[byte & 15];
        }
    }
    return uri;
}

/// Line `line` of `text` (0-based), without its line end.
std::string_view LineOf(std::string_view text, int line)
{
    std::size_t start = 0;
    for (int i = 0; i < line && start != std::string_view::npos; ++i) {
        start = text.find('\n', start);
        start = start == std::string_view::npos ? start : start + 1;
    }
    if (start == std::string_view::npos || start > text.size())
        return {};
    std::string_view rest = text.substr(start);
    rest = rest.substr(0, rest.find('\n'));
    if (rest.ends_with('\r'))
        rest.remove_suffix(1);
    return rest;
}

/// The word (letters, digits, '_' and the like: anything but blanks, '=' and ';') around a column.
std::string_view WordAt(std::string_view line, int character)
{
    const auto isWord = [](char c) { return !ini::IsTrimmed(c) && c != '=' && c != ';'; };
    auto from = static_cast<std::size_t>(std::clamp(character, 0, static_cast<int>(line.size())));
    auto to = from;
    while (from > 0 && isWord(line[from - 1]))
        --from;
    while (to < line.size() && isWord(line[to]))
        ++to;
    return line.substr(from, to - from);
}

void AppendItem(std::string& out, std::set<std::string>& seen, std::string_view label, int kind)
{
    if (label.empty() || !seen.emplace(label).second)
        return;
    out += out.size() > 1 ? ", " : "";
    out += "{\"label\": " + Quoted(label) + ", \"kind\": " + std::to_string(kind) + "}";
}

void AppendSymbols(std::string& out, const CIniBlock& block)
{
    bool first = true;
    for (const auto& [name, child] : block.Children()) {
        if (child->GetStartLine() < 0)
            continue;
        out += first ? "" : ", ";
        first = false;
        std::string shown = name;
        if (!child->GetRest().empty() && name.find(" = ") == std::string::npos)
            shown += " " + std::string(ini::Trim(child->GetRest()));
        const int end = std::max(child->GetEndLine(), child->GetStartLine());
        out += "{\"name\": " + Quoted(shown) + ", \"kind\": " +
               std::to_string(block.GetParent() ? SymbolProperty : SymbolClass) + ", \"range\": {\"start\": " +
               Position(child->GetStartLine(), 0) + ", \"end\": " + Position(end, 0) +
               "}, \"selectionRange\": " + Range(child->GetStartLine(), 0, 0) + ", \"children\": [";
        AppendSymbols(out, *child);
        out += "]}";
    }
}

} // namespace

LspServer::LspServer(std::ostream& out, const CIniBlock* gameBlock, std::optional<std::filesystem::path> gameIni)
    : m_out(out), m_gameBlock(gameBlock), m_gameIni(std::move(gameIni)), m_workspace(gameBlock)
{
}

int LspServer::Run(std::istream& in)
{
    std::string body;
    while (!m_exited && ReadMessage(in, body)) {
        if (const auto message = ParseJson(body))
            Handle(*message);
        else
            Send("{\"jsonrpc\": \"2.0\", \"id\": null, \"error\": {\"code\": -32700, \"message\": \"Parse error\"}}");
    }
    return m_shutDown ? 0 : 1;
}

bool LspServer::ReadMessage(std::istream& in, std::string& body)
{
    std::size_t length = 0;
    bool hasLength = false;
    for (std::string header; std::getline(in, header);) {
        if (!header.empty() && header.back() == '\r')
            header.pop_back();
        if (header.empty()) {
            if (!hasLength)
                continue;
            body.assign(length, '\0');
            return static_cast<bool>(in.read(body.data(), static_cast<std::streamsize>(length)));
        }
        static constexpr std::string_view Name = "content-length:";
        if (AsciiLowered(header.substr(0, Name.size())) == Name) {
            const std::string_view value = ini::Trim(std::string_view(header).substr(Name.size()));
            hasLength = std::from_chars(value.data(), value.data() + value.size(), length).ec == std::errc();
        }
    }
    return false;
}

void LspServer::Send(const std::string& json)
{
    m_out << "Content-Length: " << json.size() << "\r\n\r\n" << json;
    m_out.flush();
}

void LspServer::Reply(const JsonValue& id, const std::string& result)
{
    const std::string idText = id.type == JsonValue::Type::String ? Quoted(Latin1FromUtf8(id.string))
                                                                  : std::to_string(id.Int());
    Send("{\"jsonrpc\": \"2.0\", \"id\": " + idText + ", \"result\": " + result + "}");
}

void LspServer::Handle(const JsonValue& message)
{
    const std::string& method = message["method"].string;
    const JsonValue& params = message["params"];
    const JsonValue& id = message["id"];
    if (method == "initialize") {
        Initialize(params);
        Reply(id, "{\"capabilities\": {\"textDocumentSync\": 1, \"completionProvider\": {\"triggerCharacters\": "
                  "[\"=\", \" \"]}, \"hoverProvider\": true, \"definitionProvider\": true, "
                  "\"documentSymbolProvider\": true}, \"serverInfo\": {\"name\": \"kestrel-big lsp\"}}");
    } else if (method == "textDocument/didOpen") {
        Open(params["textDocument"]["uri"].string, Latin1FromUtf8(params["textDocument"]["text"].string));
    } else if (method == "textDocument/didChange") {
        const JsonValue& changes = params["contentChanges"];
        if (!changes.array.empty())
            Open(params["textDocument"]["uri"].string, Latin1FromUtf8(changes.array.back()["text"].string));
    } else if (method == "textDocument/didClose") {
        m_documents.erase(params["textDocument"]["uri"].string);
    } else if (method == "textDocument/completion") {
        Reply(id, Completion(params));
    } else if (method == "textDocument/hover") {
        Reply(id, Hover(params));
    } else if (method == "textDocument/definition") {
        Reply(id, Definition(params));
    } else if (method == "textDocument/documentSymbol") {
        Reply(id, Symbols(params));
    } else if (method == "shutdown") {
        m_shutDown = true;
        Reply(id, "null");
    } else if (method == "exit") {
        m_exited = true;
    } else if (!id.IsNull()) {
        Send("{\"jsonrpc\": \"2.0\", \"id\": " + std::to_string(id.Int()) +
             ", \"error\": {\"code\": -32601, \"message\": \"Method not found\"}}");
    }
}

void LspServer::Initialize(const JsonValue& params)
{
    const std::string& rootUri = params["rootUri"].string;
    if (!rootUri.empty())
        LoadFolder(PathOfUri(rootUri));
    if (m_gameIni)
        AddGameIniDefinitions(m_workspace, *m_gameIni);
}

void LspServer::LoadFolder(const fs::path& folder)
{
    m_root = folder;
    std::error_code error;
    for (auto item = fs::recursive_directory_iterator(folder, error); !error && item != fs::recursive_directory_iterator();
         item.increment(error)) {
        std::string text;
        if (item->is_regular_file(error) && IsIniEntryName(item->path().filename().string()) &&
            ReadWholeFile(item->path(), text))
            m_workspace.SetEntry(EntryFor(UriOfPath(item->path())), text, false);
    }
}

std::string LspServer::EntryFor(const std::string& uri) const
{
    const fs::path path = PathOfUri(uri);
    const fs::path relative = m_root.empty() ? path : path.lexically_relative(m_root);
    // generic_string, not native: on Windows the native form is wide.
    const std::string relativeText = relative.generic_string();
    std::string entry = relative.empty() || relativeText.starts_with("..") ? path.generic_string() : relativeText;
    std::replace(entry.begin(), entry.end(), '/', '\\');
    return entry;
}

std::string LspServer::UriFor(const std::string& entry) const
{
    std::string path = entry;
    std::replace(path.begin(), path.end(), '\\', '/');
    return UriOfPath(m_root.empty() ? fs::path(path) : m_root / path);
}

void LspServer::Open(const std::string& uri, std::string text)
{
    Document& document = m_documents[uri];
    document.entry = EntryFor(uri);
    document.text = std::move(text);
    m_workspace.SetEntry(document.entry, document.text, true);
    PublishDiagnostics(uri);
}

void LspServer::PublishDiagnostics(const std::string& uri)
{
    const Document& document = m_documents.at(uri);
    std::string diagnostics;
    for (const IniProblem& problem : m_workspace.Check(document.entry)) {
        const int line = problem.line - 1;
        diagnostics += diagnostics.empty() ? "" : ", ";
        diagnostics += "{\"range\": " + Range(line, 0, static_cast<int>(LineOf(document.text, line).size())) +
                       ", \"severity\": " +
                       std::to_string(problem.severity == IniSeverity::Error ? SeverityError : SeverityWarning) +
                       ", \"code\": " + Quoted(ProblemKindName(problem.kind)) +
                       ", \"source\": \"kestrel\", \"message\": " + Quoted(problem.message) + "}";
    }
    Send("{\"jsonrpc\": \"2.0\", \"method\": \"textDocument/publishDiagnostics\", \"params\": {\"uri\": " +
         Quoted(uri) + ", \"diagnostics\": [" + diagnostics + "]}}");
}

const LspServer::Document* LspServer::Find(const JsonValue& params) const
{
    const auto found = m_documents.find(params["textDocument"]["uri"].string);
    return found == m_documents.end() ? nullptr : &found->second;
}

std::string_view LspServer::WordUnderCaret(const Document& document, const JsonValue& params)
{
    return WordAt(LineOf(document.text, params["position"]["line"].Int()), params["position"]["character"].Int());
}

std::string LspServer::Completion(const JsonValue& params) const
{
    const Document* document = Find(params);
    const CIniBlock* root = document ? m_workspace.Root(document->entry) : nullptr;
    if (!root)
        return "[]";
    const int lineNumber = params["position"]["line"].Int();
    const std::string_view line = LineOf(document->text, lineNumber);
    const auto column = static_cast<std::size_t>(std::max(params["position"]["character"].Int(), 0));
    const std::string_view before = line.substr(0, std::min(line.size(), column));
    int valueIndex = -1;
    const CIniBlock& block = *root->FindBlockAtLine(lineNumber, valueIndex);
    // On its own header line a block is being named: offer what its parent holds.
    const CIniBlock& holder = block.GetStartLine() == lineNumber && block.GetParent() ? *block.GetParent() : block;
    const CIniBlock* description = &holder == root ? FindStructureDescription(m_gameBlock)
                                                   : FindDescription(holder, FindStructureDescription(m_gameBlock));
    std::string out = "[";
    std::set<std::string> seen;
    if (!description)
        return "[]";
    const std::size_t eq = before.find('=');
    if (eq != std::string_view::npos) {
        const IniValue* described = description->FindValue(ini::Trim(before.substr(0, eq)));
        if (!described)
            return "[]";
        const DescriptionText text(described->text);
        if (const auto list = text.ListName(); list && FindChoiceList(m_gameBlock, *list)) {
            for (const auto& [entry, value] : FindChoiceList(m_gameBlock, *list)->Values())
                AppendItem(out, seen, entry, CompletionValue);
        }
        for (const auto& [folder, type] : text.ObjectTypes()) {
            for (const std::string& name : m_workspace.Definitions().Names(folder, type))
                AppendItem(out, seen, name, CompletionValue);
        }
        return out + "]";
    }
    for (const auto& [name, child] : description->Children()) {
        if (name.find("_decl") == std::string::npos)
            AppendItem(out, seen, name, name.find(" = ") == std::string::npos ? CompletionClass : CompletionModule);
    }
    for (const auto& [key, value] : description->Values())
        AppendItem(out, seen, key, CompletionProperty);
    return out + "]";
}

std::string LspServer::Hover(const JsonValue& params) const
{
    const Document* document = Find(params);
    const CIniBlock* root = document ? m_workspace.Root(document->entry) : nullptr;
    if (!root)
        return "null";
    const int lineNumber = params["position"]["line"].Int();
    const std::string_view word = WordUnderCaret(*document, params);
    int valueIndex = -1;
    const CIniBlock& block = *root->FindBlockAtLine(lineNumber, valueIndex);
    const CIniBlock* description = FindDescription(block, FindStructureDescription(m_gameBlock));
    std::string text;
    if (const IniValue* described = description ? description->FindValue(word) : nullptr)
        text = std::string(word) + " = " + described->text;
    for (const IniDefinitions::Location& location : m_workspace.Definitions().Find(word)) {
        text += text.empty() ? "" : "\n\n";
        text += std::string(word) + ": defined in " + *location.entry + ":" + std::to_string(location.line + 1);
    }
    return text.empty() ? "null" : "{\"contents\": {\"kind\": \"plaintext\", \"value\": " + Quoted(text) + "}}";
}

std::string LspServer::Definition(const JsonValue& params) const
{
    const Document* document = Find(params);
    if (!document)
        return "null";
    const std::string_view word = WordUnderCaret(*document, params);
    std::string out = "[";
    for (const IniDefinitions::Location& location : m_workspace.Definitions().Find(word)) {
        // The game's own files live in its archive; a client cannot open those.
        if (location.entry->starts_with(kGameIniEntryPrefix))
            continue;
        out += out.size() > 1 ? ", " : "";
        out += "{\"uri\": " + Quoted(UriFor(*location.entry)) + ", \"range\": " + Range(location.line, 0, 0) + "}";
    }
    return out + "]";
}

std::string LspServer::Symbols(const JsonValue& params) const
{
    const Document* document = Find(params);
    const CIniBlock* root = document ? m_workspace.Root(document->entry) : nullptr;
    if (!root)
        return "[]";
    std::string out = "[";
    AppendSymbols(out, *root);
    return out + "]";
}

} // namespace kestrel::cli

#include "LspServer.h"

#include "samples/BigArchiveBuilder.h"

#include "ini/CIniBlock.h"
#include "ini/StructureConfig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace kestrel;
using namespace kestrel::cli;

namespace {

/// One framed JSON-RPC message; `id` < 0 makes it a notification, empty `params` leaves them out.
std::string Framed(int id, const std::string& method, const std::string& params)
{
    const std::string json = "{\"jsonrpc\": \"2.0\", " + (id < 0 ? "" : "\"id\": " + std::to_string(id) + ", ") +
                             "\"method\": \"" + method + "\"" + (params.empty() ? "" : ", \"params\": " + params) + "}";
    return "Content-Length: " + std::to_string(json.size()) + "\r\n\r\n" + json;
}

/// The bodies of the framed messages in `stream`.
std::vector<JsonValue> Messages(const std::string& stream)
{
    std::vector<JsonValue> messages;
    for (std::size_t at = stream.find("Content-Length: "); at != std::string::npos;
         at = stream.find("Content-Length: ", at + 1)) {
        const std::size_t length = std::stoul(stream.substr(at + 16));
        const std::size_t body = stream.find("\r\n\r\n", at) + 4;
        const auto message = ParseJson(stream.substr(body, length));
        EXPECT_TRUE(message.has_value()) << stream.substr(body, length);
        if (message)
            messages.push_back(*message);
    }
    return messages;
}

const JsonValue& ResultOf(const std::vector<JsonValue>& messages, int id)
{
    static const JsonValue none;
    for (const JsonValue& message : messages) {
        if (message["id"].type == JsonValue::Type::Number && message["id"].Int() == id)
            return message["result"];
    }
    return none;
}

// One session as an editor runs it: the workspace defines a weapon, the opened object file has an
// unknown key and refers to the weapon; completion, definition and shutdown answer in turn.
TEST(LspServer, AnswersAnEditorsSessionOverJsonRpc)
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const auto tree = LoadConfigurationFile(std::filesystem::path(source) / "resources" / "kestrel.ini", nullptr);
    samples::TempFolder folder;
    std::filesystem::create_directories(folder / "Data" / "INI" / "Object");
    samples::WriteFileBytes(folder / "Data" / "INI" / "Weapon.ini", samples::Bytes("\nWeapon TankGun\r\nEnd\r\n"));
    const std::string path = folder.Path().generic_string();
    const std::string root = (path.starts_with('/') ? "file://" : "file:///") + path;
    const std::string uri = root + "/Data/INI/Object/Tank.ini";
    const std::string text = "Object Tank\\r\\n  MaxHelth = 1\\r\\n  WeaponSet\\r\\n    Weapon = PRIMARY TankGun\\r\\n"
                             "  End\\r\\nEnd\\r\\n";
    const std::string at = "{\"textDocument\": {\"uri\": \"" + uri + "\"}, \"position\": ";
    std::istringstream in(
        Framed(1, "initialize", "{\"rootUri\": \"" + root + "\"}") + Framed(-1, "initialized", "{}") +
        Framed(-1, "textDocument/didOpen", "{\"textDocument\": {\"uri\": \"" + uri +
                                               "\", \"languageId\": \"ini\", \"version\": 1, \"text\": \"" + text + "\"}}") +
        Framed(2, "textDocument/completion", at + "{\"line\": 3, \"character\": 13}}") +
        Framed(3, "textDocument/definition", at + "{\"line\": 3, \"character\": 24}}") +
        Framed(4, "textDocument/documentSymbol", at + "null}") + Framed(5, "shutdown", "") + Framed(-1, "exit", ""));
    std::ostringstream out;
    LspServer server(out, FindGameBlock(*tree, GameKind::ZeroHour), std::nullopt);
    EXPECT_EQ(server.Run(in), 0);

    const std::vector<JsonValue> messages = Messages(out.str());
    EXPECT_EQ(ResultOf(messages, 1)["capabilities"]["definitionProvider"].boolean, true);

    const JsonValue* diagnostics = nullptr;
    for (const JsonValue& message : messages) {
        if (message["method"].string == "textDocument/publishDiagnostics")
            diagnostics = &message["params"]["diagnostics"];
    }
    ASSERT_NE(diagnostics, nullptr);
    ASSERT_EQ(diagnostics->array.size(), 1u) << out.str();
    EXPECT_EQ((*diagnostics).array[0]["code"].string, "unknown-key");
    EXPECT_EQ((*diagnostics).array[0]["range"]["start"]["line"].Int(), 1);

    std::vector<std::string> labels;
    for (const JsonValue& item : ResultOf(messages, 2).array)
        labels.push_back(item["label"].string);
    EXPECT_EQ(labels, std::vector<std::string>{"TankGun"}) << "the weapons of the workspace";

    const JsonValue& definition = ResultOf(messages, 3);
    ASSERT_EQ(definition.array.size(), 1u) << out.str();
    EXPECT_EQ(definition.array[0]["uri"].string, root + "/Data/INI/Weapon.ini");
    EXPECT_EQ(definition.array[0]["range"]["start"]["line"].Int(), 1);

    const JsonValue& symbols = ResultOf(messages, 4);
    ASSERT_EQ(symbols.array.size(), 1u);
    EXPECT_EQ(symbols.array[0]["name"].string, "Object Tank");
    EXPECT_EQ(symbols.array[0]["children"].array.at(0)["name"].string, "WeaponSet");

    EXPECT_EQ(messages.back()["id"].Int(), 5);
    EXPECT_TRUE(messages.back()["result"].IsNull());
}

} // namespace

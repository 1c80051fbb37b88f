#pragma once

#include "Arguments.h"
#include "ToolContext.h"

#include "ini/StructureConfig.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kestrel {
class CIniBlock;
class IPrompt;
} // namespace kestrel

namespace kestrel::cli {

/// The folder of the running program, where kestrel.ini lies.
std::filesystem::path ExecutableFolder();

/// "generals", "zerohour" or "bfme"; none for anything else.
std::optional<GameKind> GameNamed(const std::string& name);

/// The game block that --game asks for, from the configuration file beside the program or the
/// one --config names (none without --game). False after a reported failure.
bool FindGameConfiguration(ToolContext& context, const Arguments& args, IPrompt& prompt,
                           std::unique_ptr<CIniBlock>& tree, const CIniBlock*& gameBlock);

} // namespace kestrel::cli

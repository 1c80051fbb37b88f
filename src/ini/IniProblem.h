#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

/// What kind of mistake a problem is; the names are what the command line and the editor show.
enum class IniProblemKind {
    UnknownBlock,
    UnknownModule,
    UnknownKey,
    NotInList,
    UnresolvedReference,
    DuplicateModuleTag,
    DuplicateObject,
    UnterminatedBlock,
    StrayEnd,
};

/// Errors stop the game loading or crash it; warnings are most likely mistakes that the game lets
/// pass (it ignores the value or takes another definition).
enum class IniSeverity { Warning, Error };

/// One mistake in one INI text.
struct IniProblem
{
    IniProblemKind kind = IniProblemKind::UnknownKey;
    IniSeverity severity = IniSeverity::Warning;
    /// The entry (or file) the problem is in, as the source names it.
    std::string entry;
    /// Counted from 1, as editors and compilers count.
    std::int32_t line = 1;
    std::string message;
};

/// "unknown-block", "unknown-module", ...
std::string_view ProblemKindName(IniProblemKind kind);
std::optional<IniProblemKind> ProblemKindNamed(std::string_view name);
/// "error" or "warning".
std::string_view SeverityName(IniSeverity severity);
IniSeverity SeverityOf(IniProblemKind kind);

} // namespace kestrel

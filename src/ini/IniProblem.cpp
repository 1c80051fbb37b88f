#include "ini/IniProblem.h"

#include <array>
#include <utility>

namespace kestrel {
namespace {

struct KindInfo
{
    IniProblemKind kind;
    std::string_view name;
    IniSeverity severity;
};

// The game refuses unknown block types and module classes, breaks on a missing or stray "End"
// and asserts on a module tag used twice. It rejects unknown keys too, but the structure
// description may lag behind a game patch, so those stay warnings, as do lists, references and
// definitions that a later one replaces.
constexpr std::array<KindInfo, 9> kKinds{{
    {IniProblemKind::UnknownBlock, "unknown-block", IniSeverity::Error},
    {IniProblemKind::UnknownModule, "unknown-module", IniSeverity::Error},
    {IniProblemKind::UnknownKey, "unknown-key", IniSeverity::Warning},
    {IniProblemKind::NotInList, "not-in-list", IniSeverity::Warning},
    {IniProblemKind::UnresolvedReference, "unresolved-reference", IniSeverity::Warning},
    {IniProblemKind::DuplicateModuleTag, "duplicate-module-tag", IniSeverity::Error},
    {IniProblemKind::DuplicateObject, "duplicate-object", IniSeverity::Warning},
    {IniProblemKind::UnterminatedBlock, "unterminated-block", IniSeverity::Error},
    {IniProblemKind::StrayEnd, "stray-end", IniSeverity::Error},
}};

const KindInfo& InfoOf(IniProblemKind kind)
{
    return kKinds[static_cast<std::size_t>(kind)];
}

} // namespace

std::string_view ProblemKindName(IniProblemKind kind)
{
    return InfoOf(kind).name;
}

std::optional<IniProblemKind> ProblemKindNamed(std::string_view name)
{
    for (const KindInfo& info : kKinds) {
        if (info.name == name)
            return info.kind;
    }
    return std::nullopt;
}

std::string_view SeverityName(IniSeverity severity)
{
    return severity == IniSeverity::Error ? "error" : "warning";
}

IniSeverity SeverityOf(IniProblemKind kind)
{
    return InfoOf(kind).severity;
}

} // namespace kestrel

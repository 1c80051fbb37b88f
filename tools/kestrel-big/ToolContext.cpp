#include "ToolContext.h"

namespace kestrel::cli {

std::filesystem::path CurrentFolder()
{
    std::error_code ignored;
    return std::filesystem::current_path(ignored);
}

void ToolContext::Report(const std::string& subject, const std::string& reason) const
{
    err << "kestrel-big";
    if (!command.empty())
        err << ' ' << command;
    err << ": " << subject << ": " << reason << '\n';
}

std::filesystem::path ToolContext::Resolve(const std::string& argument) const
{
    const std::filesystem::path path(argument);
    return path.is_absolute() ? path : workingFolder / path;
}

} // namespace kestrel::cli

#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::cli {

/// One option a command accepts: "--long-name", optionally "-s", with or without a value.
struct OptionSpec
{
    std::string_view longName;
    char shortName = 0;
    bool takesValue = false;
};

/// A command line split into options and positional arguments.
class Arguments
{
public:
    std::vector<std::string> positional;

    bool Has(std::string_view longName) const { return m_options.find(longName) != m_options.end(); }
    /// The value of the last occurrence, or nullopt when the option was not given.
    std::optional<std::string> Value(std::string_view longName) const;
    /// Every value given, in order, for options that may be repeated.
    std::vector<std::string> Values(std::string_view longName) const;

    void Set(std::string_view longName, std::string value);

private:
    std::map<std::string, std::vector<std::string>, std::less<>> m_options;
};

/// Parses GNU style: "--name", "--name=value", "--name value", "-n", "-nVALUE", "-n VALUE",
/// bundled flags ("-lq"), options anywhere, "--" ends the options and "-" is positional.
/// Nullopt with `error` set for an unknown option or a missing or unexpected value.
std::optional<Arguments> ParseArguments(std::span<const std::string> args, std::span<const OptionSpec> specs,
                                        std::string& error);

} // namespace kestrel::cli

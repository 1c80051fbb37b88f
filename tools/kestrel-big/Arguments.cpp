#include "Arguments.h"

namespace kestrel::cli {
namespace {

const OptionSpec* FindLong(std::span<const OptionSpec> specs, std::string_view name)
{
    for (const auto& spec : specs) {
        if (spec.longName == name)
            return &spec;
    }
    return nullptr;
}

const OptionSpec* FindShort(std::span<const OptionSpec> specs, char name)
{
    for (const auto& spec : specs) {
        if (spec.shortName != 0 && spec.shortName == name)
            return &spec;
    }
    return nullptr;
}

class Parser
{
public:
    Parser(std::span<const std::string> args, std::span<const OptionSpec> specs, std::string& error)
        : m_args(args), m_specs(specs), m_error(error)
    {
    }

    std::optional<Arguments> Run()
    {
        bool optionsEnded = false;
        for (m_next = 0; m_next < m_args.size();) {
            const std::string& arg = m_args[m_next++];
            bool ok = true;
            if (optionsEnded || arg.size() < 2 || arg[0] != '-')
                m_result.positional.push_back(arg);
            else if (arg == "--")
                optionsEnded = true;
            else if (arg[1] == '-')
                ok = LongOption(std::string_view(arg).substr(2));
            else
                ok = ShortOptions(std::string_view(arg).substr(1));
            if (!ok)
                return std::nullopt;
        }
        return std::move(m_result);
    }

private:
    bool Fail(std::string text)
    {
        m_error = std::move(text);
        return false;
    }

    /// The value that follows an option as the next argument.
    bool TakeNext(const OptionSpec& spec, std::string_view shown)
    {
        if (m_next >= m_args.size())
            return Fail("option '" + std::string(shown) + "' needs a value");
        m_result.Set(spec.longName, m_args[m_next++]);
        return true;
    }

    bool LongOption(std::string_view text)
    {
        const size_t equals = text.find('=');
        const std::string_view name = text.substr(0, equals);
        const OptionSpec* spec = FindLong(m_specs, name);
        const std::string shown = "--" + std::string(name);
        if (!spec)
            return Fail("unknown option '" + shown + "'");
        if (equals != std::string_view::npos) {
            if (!spec->takesValue)
                return Fail("option '" + shown + "' takes no value");
            m_result.Set(spec->longName, std::string(text.substr(equals + 1)));
            return true;
        }
        if (spec->takesValue)
            return TakeNext(*spec, shown);
        m_result.Set(spec->longName, {});
        return true;
    }

    bool ShortOptions(std::string_view text)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            const OptionSpec* spec = FindShort(m_specs, text[i]);
            const std::string shown = std::string("-") + text[i];
            if (!spec)
                return Fail("unknown option '" + shown + "'");
            if (!spec->takesValue) {
                m_result.Set(spec->longName, {});
                continue;
            }
            if (i + 1 < text.size()) {
                m_result.Set(spec->longName, std::string(text.substr(i + 1)));
                return true;
            }
            return TakeNext(*spec, shown);
        }
        return true;
    }

    std::span<const std::string> m_args;
    std::span<const OptionSpec> m_specs;
    std::string& m_error;
    Arguments m_result;
    size_t m_next = 0;
};

} // namespace

std::optional<std::string> Arguments::Value(std::string_view longName) const
{
    const auto found = m_options.find(longName);
    if (found == m_options.end())
        return std::nullopt;
    return found->second.back();
}

std::vector<std::string> Arguments::Values(std::string_view longName) const
{
    const auto found = m_options.find(longName);
    return found == m_options.end() ? std::vector<std::string>{} : found->second;
}

void Arguments::Set(std::string_view longName, std::string value)
{
    m_options[std::string(longName)].push_back(std::move(value));
}

std::optional<Arguments> ParseArguments(std::span<const std::string> args, std::span<const OptionSpec> specs,
                                        std::string& error)
{
    return Parser(args, specs, error).Run();
}

} // namespace kestrel::cli

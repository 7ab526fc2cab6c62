#include "installation/command_line.h"

#include <cctype>

namespace installation {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitArguments(const std::string& arguments) {
    std::vector<std::string> split;
    std::size_t i = 0;
    while (i < arguments.size()) {
        while (i < arguments.size() && Blank(arguments[i])) ++i;
        if (i == arguments.size()) break;
        std::string argument;
        bool quoted = false;
        for (; i < arguments.size() && (quoted || !Blank(arguments[i])); ++i) {
            if (arguments[i] == '"')
                quoted = !quoted;
            else
                argument.push_back(arguments[i]);
        }
        split.push_back(argument);
    }
    return split;
}

CommandLine ReadCommandLine(const std::string& arguments, bool takesPort) {
    CommandLine line;
    for (const std::string& argument : SplitArguments(arguments)) {
        const std::size_t equals = argument.find('=');
        const std::string name = Lower(argument.substr(0, equals));
        const bool valued = equals != std::string::npos;
        const std::string value = valued ? argument.substr(equals + 1) : std::string();
        bool understood = false;
        if (name.size() > 1 && (name[0] == '/' || name[0] == '-')) {
            const std::string word = name.substr(1);
            if (!valued && (word == "quiet" || word == "q")) {
                understood = true;
                line.quiet = true;
            } else if (!valued && (word == "?" || word == "help")) {
                understood = true;
                line.help = true;
            } else if (word == "port" && takesPort) {
                understood = !value.empty() && !line.hasPort;
                line.hasPort = true;
                line.port = value;
            } else if (word == "log") {
                understood = !value.empty() && !line.hasLog;
                line.hasLog = true;
                line.log = value;
            }
        }
        if (!understood && line.bad.empty()) line.bad = argument;
    }
    return line;
}

}  // namespace installation

// TEST-ONLY: see spooler_script.h and README.md.
#include "spooler_script.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace standin {

namespace {

bool SameName(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

std::uint32_t Number(const std::string& word) {
    return static_cast<std::uint32_t>(std::strtoul(word.c_str(), nullptr, 0));
}

// The rest of the line after the words read so far, without the blanks
// around it.
std::string Rest(std::istringstream& words) {
    std::string rest;
    std::getline(words, rest);
    const std::size_t first = rest.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return rest.substr(first, rest.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::uint32_t SpoolerScript::DriverRefusalError(const char* driver) const {
    if (!driver) return 0;
    for (const DriverRefusal& refusal : refusedDrivers)
        if (SameName(refusal.driver, driver)) return refusal.error;
    return 0;
}

SpoolerScript ParseSpoolerScript(const std::string& text) {
    SpoolerScript script;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word, value;
        if (!(words >> word) || word[0] == '#') continue;
        if (word == "status" && words >> value) {
            script.hasStatus = true;
            script.status = Number(value);
        } else if (word == "jobs") {
            script.hasJobs = true;
            script.jobs.clear();
            while (words >> value) script.jobs.push_back(Number(value));
        } else if (word == "datatype") {
            const std::string datatype = Rest(words);
            if (!datatype.empty()) script.datatype = datatype;
        } else if (word == "printer-exists" && words >> value) {
            script.printerExists = Number(value);
        } else if (word == "unknown-port" && words >> value) {
            script.unknownPort = Number(value);
        } else if (word == "hold-after" && words >> value) {
            script.holdAfter = static_cast<int>(Number(value));
        } else if (word == "refuse-driver-delete" && words >> value) {
            const std::string driver = Rest(words);
            if (!driver.empty()) script.refusedDrivers.push_back({driver, Number(value)});
        }
    }
    return script;
}

}  // namespace standin

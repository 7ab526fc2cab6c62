// statmon_scenario: plays a scripted timeline through the monitor's real
// discovery and status evaluation, with a scripted spooler, registry,
// parallel port and window, and prints one line per second.
//
// Usage: statmon_scenario [SCRIPT]   (standard input when no file is named)
//
// Script: one command a line; '#' starts a comment; numbers are decimal or
// 0x-hex. The queue is named as the catalogue's target model.
//
//   installed 0|1        the queue exists (default 1)
//   port NAME            the spooler reports NAME and publishes it in the
//                        DsSpooler "portName" value (the queue moves there)
//   spooler-port NAME    the spooler reports NAME, nothing is published
//   publish NAME         only the DsSpooler "portName" becomes NAME
//   publish -            the "portName" value is removed
//   printer STATUS       the queue's PRINTER_INFO_2 Status
//   jobs S1 S2 ...       the JOB_INFO_2 Status of each job, in spooler order
//   jobs -               no jobs
//   portstatus N         what ReadPortStatus answers (1 no response, 2 ready,
//                        3 paper out, 4 offline, -1 unknown)
//   lookup ok|fail       whether the status register address is found
//   usb 0|1              the model's USB printer is present
//   visible 0|1          the user shows or hides the window (no permission change)
//   open                 window initialisation: port state reset, queue opened,
//                        tick worker started when that succeeded
//   show                 the tray's show command (Searching phase, restart)
//   tick [N]             N seconds (default 1): timer 1 fires when armed,
//                        then a status tick arrives when a worker runs
//
// Output, one line per second:
//   t=<second> rule=<n> state=<code> title="<title>" message="<message>"
//   picture=<none|error|info> visible=<0|1> allow=<0|1> timer=<id> worker=<0|1>
// rule is the display rule the tick applied (0: none, "-" when no tick came,
// "restart" when the port-change check restarted the monitor); the message
// is the text of the message control, with line breaks written \n and
// double quotes \". A bad script line ends the run with exit code 2.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "native/monitor_fakes.h"

namespace {

using monfakes::Rig;

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

bool Number(const std::string& word, long long* value) {
    if (word.empty()) return false;
    char* end = nullptr;
    *value = std::strtoll(word.c_str(), &end, 0);
    return end && *end == 0;
}

bool Flag(const std::string& word, bool* value) {
    if (word == "0" || word == "1") {
        *value = word == "1";
        return true;
    }
    return false;
}

class Player {
public:
    explicit Player(std::ostream& out) : m_out(out) {}

    // False with a reason on a bad line.
    bool Run(const std::string& line, std::string* error) {
        std::istringstream in(line.substr(0, line.find('#')));
        std::string cmd;
        if (!(in >> cmd)) return true;
        std::vector<std::string> args;
        for (std::string w; in >> w;) args.push_back(w);
        auto one = [&]() -> const std::string* { return args.size() == 1 ? &args[0] : nullptr; };
        long long n = 0;
        bool flag = false;

        if (cmd == "installed" && one() && Flag(args[0], &flag)) {
            m_rig.spooler.installed = flag;
        } else if (cmd == "port" && one()) {
            m_rig.Move(args[0]);
        } else if (cmd == "spooler-port" && one()) {
            m_rig.spooler.portName = args[0];
        } else if (cmd == "publish" && one()) {
            if (args[0] == "-")
                m_rig.registry.Unpublish();
            else
                m_rig.registry.Publish(args[0]);
        } else if (cmd == "printer" && one() && Number(args[0], &n)) {
            m_rig.spooler.status = static_cast<std::uint32_t>(n);
        } else if (cmd == "jobs" && !args.empty()) {
            m_rig.spooler.jobs.clear();
            if (!(args.size() == 1 && args[0] == "-")) {
                for (const auto& a : args) {
                    if (!Number(a, &n)) return Bad("bad job status " + a, error);
                    m_rig.spooler.jobs.push_back(static_cast<std::uint32_t>(n));
                }
            }
        } else if (cmd == "portstatus" && one() && Number(args[0], &n)) {
            m_rig.port.status = static_cast<int>(n);
        } else if (cmd == "lookup" && one() && (args[0] == "ok" || args[0] == "fail")) {
            m_rig.port.lookupResult = args[0] == "ok";
        } else if (cmd == "usb" && one() && Flag(args[0], &flag)) {
            m_rig.monitor.SetUsbPresent(flag);
        } else if (cmd == "visible" && one() && Flag(args[0], &flag)) {
            m_rig.window.visible = flag;
        } else if (cmd == "open" && args.empty()) {
            m_rig.Init();
        } else if (cmd == "show" && args.empty()) {
            m_rig.ShowCommand();
        } else if (cmd == "tick" && args.size() <= 1) {
            n = 1;
            if (!args.empty() && (!Number(args[0], &n) || n < 1)) return Bad("bad count", error);
            for (long long i = 0; i < n; ++i) Second();
        } else {
            return Bad("unknown or malformed command", error);
        }
        return true;
    }

private:
    static bool Bad(const std::string& why, std::string* error) {
        *error = why;
        return false;
    }

    void Second() {
        ++m_second;
        int restarts = m_rig.window.restarts;
        bool ticked = m_rig.monitor.Monitoring();
        m_rig.Second();
        std::string rule = !ticked                               ? "-"
                           : m_rig.window.restarts != restarts ? "restart"
                                                                : std::to_string(m_rig.monitor.LastRule());
        const auto& w = m_rig.window;
        m_out << "t=" << m_second << " rule=" << rule << " state=" << m_rig.monitor.ShownState()
              << " title=\"" << Escape(w.title) << "\" message=\"" << Escape(w.control)
              << "\" picture=" << monfakes::PictureName(w.picture) << " visible=" << w.visible
              << " allow=" << w.allowShow << " timer=" << m_rig.monitor.TimerId()
              << " watching=" << m_rig.monitor.Monitoring() << "\n";
    }

    std::ostream& m_out;
    Rig m_rig;
    int m_second = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (argc > 2) {
        std::cerr << "usage: statmon_scenario [SCRIPT]\n";
        return 2;
    }
    if (argc == 2) {
        file.open(argv[1]);
        if (!file) {
            std::cerr << "statmon_scenario: cannot read " << argv[1] << "\n";
            return 2;
        }
        in = &file;
    }
    statmon::g_strPortKey.clear();
    Player player(std::cout);
    std::string line, error;
    for (int number = 1; std::getline(*in, line); ++number) {
        if (!player.Run(line, &error)) {
            std::cerr << "statmon_scenario: line " << number << ": " << error << ": " << line
                      << "\n";
            return 2;
        }
    }
    return 0;
}

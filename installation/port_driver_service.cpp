#include "installation/port_driver_service.h"

#include <cctype>

namespace installation {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// Closes a service manager handle at the end of a scope.
class Scoped {
public:
    Scoped(IPortDriverSystem& system, IPortDriverSystem::Handle handle) : m_system(system), m_handle(handle) {}
    ~Scoped() {
        if (m_handle) m_system.CloseHandle(m_handle);
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    IPortDriverSystem::Handle get() const { return m_handle; }

private:
    IPortDriverSystem& m_system;
    IPortDriverSystem::Handle m_handle;
};

// What the two programs need to know before they touch anything.
struct Survey {
    bool ok = false;
    std::string driverFile;
    std::vector<std::uint8_t> image;
    DriverFileOwner file = DriverFileOwner::Foreign;
};

Survey SurveyDriverFile(IPortDriverSystem& system) {
    Survey survey;
    const std::string systemDirectory = system.SystemDirectory();
    std::optional<std::vector<std::uint8_t>> image = system.CarriedImage();
    // Without the image nothing can be told ours.
    if (systemDirectory.empty() || !image || image->empty()) return survey;
    survey.driverFile = systemDirectory + kPortDriverFile;
    survey.image = std::move(*image);
    bool absent = false;
    const auto file = system.ReadFile(survey.driverFile, &absent);
    survey.file = JudgeDriverFile(file, absent, survey.image);
    survey.ok = true;
    return survey;
}

bool ServiceIsOurs(IPortDriverSystem& system, IPortDriverSystem::Handle service, const Survey& survey) {
    DriverServiceConfig config;
    if (!system.QueryConfig(service, &config)) return false;
    return config.serviceType == kServiceKernelDriver && survey.file == DriverFileOwner::Ours &&
           ImagePathNames(config.imagePath, survey.driverFile, system.WindowsDirectory());
}

}  // namespace

bool ImagePathNames(const std::string& imagePath, const std::string& driverFile,
                    const std::string& windowsDirectory) {
    std::string path = Lower(imagePath);
    const std::string windows = Lower(windowsDirectory);
    if (StartsWith(path, "\\??\\")) path = path.substr(4);
    if (StartsWith(path, "\\systemroot\\")) {
        path = windows + path.substr(11);
    } else if (path.find(':') == std::string::npos && !StartsWith(path, "\\")) {
        path = windows + "\\" + path;  // relative to the Windows folder
    }
    return !windows.empty() && path == Lower(driverFile);
}

PortDriverSetup EnsurePortDriverService(IPortDriverSystem& system) {
    const Survey survey = SurveyDriverFile(system);
    if (!survey.ok) return PortDriverSetup::Failed;

    Scoped manager(system, system.OpenManager(kScManagerConnect | kScManagerCreateService));
    if (!manager.get()) return PortDriverSetup::Failed;
    Scoped existing(system, system.OpenService(manager.get(), kPortDriverService,
                                               kServiceQueryConfig | kServiceChangeConfig | kWriteDac));
    if (existing.get()) {
        if (!ServiceIsOurs(system, existing.get(), survey)) return PortDriverSetup::Foreign;
        // Ours, perhaps from a monitor that loaded it at every start.
        const bool changed = system.ChangeConfig(existing.get(), kServiceDemandStart, kPortDriverImagePath);
        const bool secured = system.SetSecurity(existing.get(), kPortDriverServiceSecurity);
        return changed && secured ? PortDriverSetup::Updated : PortDriverSetup::Failed;
    }
    if (system.LastError() != kErrorServiceDoesNotExist) return PortDriverSetup::Failed;

    // No service: a file that is not ours stays, and no service is made
    // for it.
    if (survey.file == DriverFileOwner::Foreign) return PortDriverSetup::Foreign;
    if (survey.file == DriverFileOwner::Absent && !system.WriteNewFile(survey.driverFile, survey.image))
        return PortDriverSetup::Failed;
    Scoped created(system, system.CreateService(manager.get(), kPortDriverService, kWriteDac, kServiceDemandStart,
                                                kPortDriverImagePath));
    if (!created.get()) return PortDriverSetup::Failed;
    return system.SetSecurity(created.get(), kPortDriverServiceSecurity) ? PortDriverSetup::Created
                                                                        : PortDriverSetup::Failed;
}

PortDriverRemoval RemovePortDriverService(IPortDriverSystem& system) {
    const Survey survey = SurveyDriverFile(system);
    if (!survey.ok) return PortDriverRemoval::Failed;

    Scoped manager(system, system.OpenManager(kScManagerConnect));
    if (!manager.get()) return PortDriverRemoval::Failed;
    Scoped service(system, system.OpenService(manager.get(), kPortDriverService,
                                              kServiceQueryConfig | kServiceQueryStatus | kServiceStop |
                                                  kDeleteRight));
    if (service.get()) {
        if (!ServiceIsOurs(system, service.get(), survey)) return PortDriverRemoval::Foreign;
        // Its monitors have ended; a driver that does not stop goes with
        // the service when Windows next starts.
        system.Stop(service.get());
        if (!system.DeleteService(service.get())) return PortDriverRemoval::Failed;
    } else if (system.LastError() != kErrorServiceDoesNotExist) {
        return PortDriverRemoval::Failed;
    } else if (survey.file != DriverFileOwner::Ours) {
        return survey.file == DriverFileOwner::Absent ? PortDriverRemoval::Absent : PortDriverRemoval::Foreign;
    }
    if (system.DeleteFile(survey.driverFile)) return PortDriverRemoval::Removed;
    return system.DeleteFileAtRestart(survey.driverFile) ? PortDriverRemoval::AtRestart : PortDriverRemoval::Failed;
}

}  // namespace installation

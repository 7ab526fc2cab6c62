#include "statmon/ui/state_machine.h"

#include "catalogue/model_catalogue.h"
#include "statmon/printer/parallel_port.h"

namespace statmon {

const char* const kMsgPaper = "Please insert the Paper.";
const char* const kMsgOffline = "Press the Online button once to make the printer ONLINE.";
const char* const kMsgComm =
    "Check all connections and make sure all device is turned ON.\n"
    "If the power was turned off during printing, cancel the print job.";
const char* const kMsgComm1 =
    "Check all connections and make sure all device is turned ON. "
    "If the power was turned off during printing, cancel the print job.";
const char* const kMsgUsb =
    "Printer is not connected or switched OFF.\n"
    "Ensure USB cable is connected properly and the printer is switched ON.";
const char* const kMsgPrinting = "Printing...\n(Window will minimize in 2sec...)";
const char* const kMsgReadyHide = "Ready to print.\n(Window will minimize in 2sec...)";
const char* const kMsgReady = "Ready to print.";
const char* const kMsgSearching = "Searching the printer...";

std::string PauseMessage() {
    return std::string("\"Pause Printing\" is selected in ") + catalogue::Target().DisplayName +
           " driver.\nGoto \"Printer and Faxes\" folder, right click and choose \"Resume Printing\"";
}

namespace {

// A record may grow between the size query and the read (a job's strings,
// a new job): the read then fails with the insufficient-buffer error and a
// new size, and is made again with that size, a few times at most.
constexpr int kReadAttempts = 3;

}  // namespace

bool PollQueue(ISpooler& spooler, ISpoolHeap& heap, PrinterHandle printer,
               std::int32_t& jobStatus, std::uint32_t& printerStatus) {
    jobStatus = -1;
    if (!printer) return false;

    // The queue's PRINTER_INFO_2: size query, then the read.
    PrinterInfo2 queue;
    {
        std::uint8_t scratch[kSizeQueryBytes] = {};
        std::uint32_t needed = 0;
        if (spooler.GetPrinterA(printer, 2, scratch, sizeof(scratch), &needed)) {
            if (!spooler.DecodePrinterInfo2(scratch, sizeof(scratch), &queue)) return false;
        } else {
            bool read = false;
            for (int attempt = 0; !read && attempt < kReadAttempts; ++attempt) {
                if (spooler.LastError() != ERROR_INSUFFICIENT_BUFFER_CODE) return false;
                auto buffer = AllocateRecordBuffer(heap, needed);
                if (!buffer) return false;
                const std::uint32_t size = needed;
                if (spooler.GetPrinterA(printer, 2, buffer.get(), size, &needed)) {
                    if (!spooler.DecodePrinterInfo2(buffer.get(), size, &queue)) return false;
                    read = true;
                }
            }
            if (!read) return false;
        }
    }

    // Its jobs, from the first (JOB_INFO_2). A queue without jobs has none
    // to enumerate.
    std::unique_ptr<std::uint8_t[]> jobs;
    std::uint8_t scratch[kSizeQueryBytes] = {};
    const std::uint8_t* records = scratch;
    std::uint32_t recordBytes = sizeof(scratch);
    std::uint32_t returned = 0;
    if (queue.cJobs != 0) {
        std::uint32_t needed = 0;
        if (!spooler.EnumJobsA(printer, 0, queue.cJobs, 2, scratch, sizeof(scratch), &needed,
                               &returned)) {
            bool read = false;
            for (int attempt = 0; !read && attempt < kReadAttempts; ++attempt) {
                if (spooler.LastError() != ERROR_INSUFFICIENT_BUFFER_CODE) return false;
                jobs = AllocateRecordBuffer(heap, needed);
                if (!jobs) return false;
                recordBytes = needed;
                returned = 0;
                read = spooler.EnumJobsA(printer, 0, queue.cJobs, 2, jobs.get(), recordBytes,
                                         &needed, &returned);
            }
            if (!read) return false;
            records = jobs.get();
        }
    }

    printerStatus = queue.Status;
    if (queue.Status & kQueueFaultMask) return true;

    // The last printing job wins, unless one in error stops the walk.
    for (std::uint32_t i = 0; i < returned; ++i) {
        JobInfo2 job;
        if (!spooler.DecodeJobInfo2(records, recordBytes, i, &job)) break;
        if (!(job.Status & kJobStatusPrinting)) continue;
        jobStatus = static_cast<std::int32_t>(job.Status);
        if (job.Status & kJobStopMask) break;
    }
    return true;
}

bool StatusStateMachine::Texts(int state, const std::string& message, const char* title,
                               Picture picture, bool show) {
    if (m_vars.nShownState == state) return false;
    if (show) m_window.Show();
    m_window.Message() = message;
    m_window.SetTitle(title);
    m_window.ShowPicture(picture);
    m_vars.nShownState = state;
    return true;
}

void StatusStateMachine::ResetCounters() {
    m_vars.nPrintCommTicks = 0;
    m_vars.nIdleCommTicks = 0;
    m_vars.nJobCommTicks = 0;
}

bool StatusStateMachine::HideTick() {
    m_vars.nHideTicks += 1;
    if (m_vars.bHidePending && m_vars.nHideTicks > 3) {
        m_vars.bHidePending = false;
        m_vars.nHideTicks = 0;
        return true;
    }
    return false;
}

int StatusStateMachine::Evaluate(const StatusInputs& in) {
    const std::int32_t job = in.jobStatus;
    const int port = in.portStatus;
    const bool lpt = in.portKind == "LPT";
    const Picture error = Picture::Error;
    const Picture info = Picture::Info;
    const char* const commTitle = "Communication Error";
    const char* const paperTitle = "Paper-Out Error";
    const char* const offlineTitle = "Printer OFFLINE Error";

    // 1: the Searching phase, three ticks.
    if (m_vars.bSearching) {
        m_vars.nSearchTicks += 1;
        m_window.Message() = kMsgSearching;
        m_window.SetTitle("Searching");
        m_window.ShowPicture(Picture::None);
        if (m_vars.nSearchTicks > 2) {
            m_vars.bSearching = false;
            m_vars.nSearchTicks = 0;
            m_vars.nShownState = 0;
        }
        return 1;
    }
    // 2: the queue is paused and nothing else.
    if (in.printerStatus == 1) {
        Texts(1, PauseMessage(), commTitle, error, true);
        return 2;
    }
    if (job == 8208 && lpt && port == PORT_STATUS_PAPER_OUT) {
        Texts(3001, kMsgPaper, paperTitle, error, true);
        return 3;
    }
    if (job == 8208 && lpt && port == PORT_STATUS_OFFLINE) {
        Texts(4001, kMsgOffline, offlineTitle, error, true);
        return 4;
    }
    if (job == 8208 && lpt && port == PORT_STATUS_NO_RESPONSE) {
        m_vars.nPrintCommTicks += 1;
        if (m_vars.nPrintCommTicks == 5 && m_vars.nShownState != 1001) {
            Texts(1001, kMsgComm, commTitle, error, true);
            m_vars.nPrintCommTicks = 0;
        }
        if (m_vars.nPrintCommTicks > 5) m_vars.nPrintCommTicks = 0;
        return 5;
    }
    if (job == 8208) {
        if (Texts(16, kMsgPrinting, "Printing", info, false)) {
            m_vars.nHideTicks = 0;
            m_vars.bHidePending = true;
        }
        if (HideTick()) {
            m_window.SetAllowShow(false);
            m_window.Hide();
        }
        return 6;
    }
    if (job == 18) {
        Texts(18, kMsgComm1, commTitle, error, true);
        return 7;
    }
    if (job == -1 && lpt && port == PORT_STATUS_PAPER_OUT) {
        Texts(3000, kMsgPaper, paperTitle, error, false);
        return 8;
    }
    if (job == -1 && lpt && port == PORT_STATUS_OFFLINE) {
        Texts(4000, kMsgOffline, offlineTitle, error, false);
        return 9;
    }
    if (job == -1 && lpt && (port == PORT_STATUS_NO_RESPONSE || port == PORT_STATUS_UNKNOWN)) {
        m_vars.nIdleCommTicks += 1;
        if (m_vars.nIdleCommTicks == 8 && m_vars.nShownState != 1000) {
            Texts(1000, kMsgComm, commTitle, error, false);
            m_vars.nIdleCommTicks = 0;
        }
        if (m_vars.nIdleCommTicks > 8) m_vars.nIdleCommTicks = 0;
        return 10;
    }
    if (job == 80 && lpt && port == PORT_STATUS_PAPER_OUT) {
        Texts(3011, kMsgPaper, paperTitle, error, true);
        return 11;
    }
    if (job != -1 && lpt && port == PORT_STATUS_PAPER_OUT) {
        Texts(3010, kMsgPaper, paperTitle, error, false);
        return 12;
    }
    if (job == 48 && lpt && port == PORT_STATUS_OFFLINE) {
        Texts(4011, kMsgOffline, offlineTitle, error, true);
        return 13;
    }
    if (job != -1 && lpt && port == PORT_STATUS_OFFLINE) {
        Texts(4010, kMsgOffline, offlineTitle, error, false);
        return 14;
    }
    if (job != -1 && lpt && port == PORT_STATUS_NO_RESPONSE) {
        m_vars.nJobCommTicks += 1;
        if (m_vars.nJobCommTicks == 5 && m_vars.nShownState != 1010) {
            Texts(1010, kMsgComm, commTitle, error, false);
            m_vars.nJobCommTicks = 0;
        }
        if (m_vars.nJobCommTicks > 5) m_vars.nJobCommTicks = 0;
        return 15;
    }
    if (!in.usbPresent && in.portKind == "USB") {
        if (Texts(20, kMsgUsb, commTitle, error, false)) ResetCounters();
        return 16;
    }
    if (lpt && port == PORT_STATUS_READY) {
        if (Texts(2000, kMsgReadyHide, "Ready", info, false)) {
            ResetCounters();
            m_vars.nHideTicks = 0;
            m_vars.bHidePending = true;
        }
        if (HideTick()) m_window.Hide();  // the show permission stays
        return 17;
    }
    if (job == -1) {
        if (Texts(-1, kMsgReady, "Ready", info, false)) ResetCounters();
        return 18;
    }
    return 0;
}

}  // namespace statmon

#include "statmon/ui/tips.h"

namespace statmon {

// The dash of tips 5 and 6 is the Windows-1252 en dash (0x96). The literal
// is split after the escape so that the following letters are not read as
// more hex digits.
const char* const kTips[kTipCount] = {
    "In case of \"Printer Fonts\" set font size as 10 for better throughput and speed.",
    "Ensure same \"Page Size\" setting is selected in application (like MS-Word) and also in "
    "printer driver.",
    "For multicopy stationery use Copy Mode setting as Enabled for good quality printing.",
    "In case of power failure or the printer is switched OFF while printing, cancel the previous "
    "print job and clear the printer buffer memory.",
    "If the printer is printing slow, try Bidirectional setting in Printer Menu mode.",
    "Caution \x96"
    " Do not rotate the platen knob while printer is switched ON.",
    "Caution \x96"
    " Do not connect the parallel port cable while the printer is switched ON.",
    "Garbage printing indicates a faulty cable or loose connection. Switch OFF the printer, "
    "disconnect and reconnect the cable in printer and computer.",
    "PRINT LED will blink when there is no paper in the printer.",
    "If you are replacing a ribbon be sure the printer is switched OFF.",
    "Use KLR Ink bank to recharge your ribbon cassette.",
};

int nTipIndex = 0;

const char* NextTip() {
    if (nTipIndex < 0 || nTipIndex >= kTipCount) nTipIndex = 0;
    return kTips[nTipIndex++];
}

const char* NextTipForShow() {
    if (nTipIndex >= kTipCount) nTipIndex = 0;
    return NextTip();
}

}  // namespace statmon

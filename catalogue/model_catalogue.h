// The fixed table of printer models this software supports, and the row
// both programs are built for. Texts only, no run-time configuration.
#pragma once

namespace catalogue {

constexpr int kRowCount = 15;

// Row selected at build time (rows are counted from 0). Only the catalogue's
// own source sees the build setting, so relinking with a catalogue built for
// another row changes every model-specific name at once.
extern const int TargetModel;

// The columns, stored column by column; each is indexed by row number.
extern const char* const DisplayName[kRowCount];
extern const char* const UsbSerial[kRowCount];
extern const char* const HardwareId[kRowCount];
extern const char* const ShareName[kRowCount];
extern const char* const ModelCode[kRowCount];
extern const char* const InfName[kRowCount];
extern const char* const GpdName[kRowCount];
extern const char* const MonitorMutexName[kRowCount];

// Each program's own version label.
extern const char* const StatmonVersionText;
extern const char* const SetupVersionText;

// The values of one row.
struct ModelRow {
    const char* DisplayName;
    const char* UsbSerial;
    const char* HardwareId;
    const char* ShareName;
    const char* ModelCode;
    const char* InfName;
    const char* GpdName;
    const char* MonitorMutexName;
};

ModelRow Row(int row);

// The row of the built model.
ModelRow Target();

}  // namespace catalogue

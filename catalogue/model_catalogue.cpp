#include "catalogue/model_catalogue.h"

#ifndef TARGET_MODEL
#define TARGET_MODEL 10
#endif

namespace catalogue {

static_assert(TARGET_MODEL >= 0 && TARGET_MODEL < kRowCount, "TARGET_MODEL must name a catalogue row");
const int TargetModel = TARGET_MODEL;

const char* const DisplayName[kRowCount] = {
    "KLR PT 80 Classic",      "KLR PT 90 Plus",      "KLR VX 3 Spark",
    "KLR VX 5 Flint",         "KLR VX 5 Flint Duo",  "KLR DX 9 Harbour",
    "KLR DX 11 Harbour Pro",  "KLR MT 220 Counter",  "KLR MT 240 Counter",
    "KLR VX 6 Cinder",        "KLR VX 7 Ember",      "KLR SL 100 Slip",
    "KLR SL 120 Slip Wide",   "KLR KT 3 Kiosk",      "KLR PT 900 Legacy",
};

const char* const UsbSerial[kRowCount] = {
    "klr-pt80c",   "klr-pt90p",    "klr-vx3s",    "klr-vx5f",   "KLRVX5FD__",
    "klr-dx9h",    "klr-dx11hp",   "klr-mt220c",  "klr-mt240c", "klr-vx6c",
    "VX7EMBER",    "klr-sl100",    "klr-sl120w",  "KT3KIOSK",   "klr-pt900l",
};

const char* const HardwareId[kRowCount] = {
    "NA", "NA", "NA", "NA", "NA", "NA", "NA", "NA",
    "NA", "NA", "NA", "NA", "NA", "NA", "NA",
};

const char* const ShareName[kRowCount] = {
    "KLRPT80CL",   "KLRPT90PLUS",   "KLRVX3SPARK",   "KLRVX5FLINT",  "KLRVX5FDUO",
    "KLRDX9HARB",  "KLRDX11HPRO",   "KLRMT220CNT",   "KLRMT240CNT",  "KLRVX6CINDER",
    "KLRVX7EMBER", "KLRSL100SLIP",  "KLRSL120SW",    "KLRKT3KIOSK",  "PT900LEG",
};

const char* const ModelCode[kRowCount] = {
    "PT80CL",     "PT90PLUS",   "VX3SPARK",  "VX5FLINT",  "VX5FDUO",
    "DX9HARB",    "DX11HPRO",   "MT220CNT",  "MT240CNT",  "VX6CINDER",
    "VX7EMBER",   "SL100SLIP",  "SL120SW",   "KT3KIOSK",  "PT900LEG",
};

const char* const StatmonVersionText = "Ver 3.01 (9W)";
const char* const SetupVersionText = "Version 3.01 (9W)";

const char* const InfName[kRowCount] = {
    "KLRNPT80CL.INF",    "KLRNPT90PLUS.INF",  "KLRNVX3SPARK.INF",  "KLRNVX5FLINT.INF",
    "KLRNVX5FDUO.INF",   "KLRNDX9HARB.INF",   "KLRNDX11HPRO.INF",  "KLRNMT220CNT.INF",
    "KLRNMT240CNT.INF",  "KLRNVX6CINDER.INF", "KLRNVX7EMBER.INF",  "KLRNSL100SLIP.INF",
    "KLRNSL120SW.INF",   "KLRNKT3KIOSK.INF",  "KLRN_PT900.INF",
};

const char* const GpdName[kRowCount] = {
    "PT80CL.GPD",    "PT90PLUS.GPD",  "VX3SPARK.GPD",  "VX5FLINT.GPD",  "VX5FDUO.GPD",
    "DX9HARB.GPD",   "DX11HPRO.GPD",  "MT220CNT.GPD",  "MT240CNT.GPD",  "VX6CINDER.GPD",
    "VX7EMBER.GPD",  "SL100SLIP.GPD", "SL120SW.GPD",   "KT3KIOSK.GPD",  "PT-900-LEG.gpd",
};

const char* const MonitorMutexName[kRowCount] = {
    "Global\\{5C0A7E21-3B94-4f1d-8E62-A1D3C9B0F457}",
    "Global\\{A41F0C93-6D28-4b7e-B359-2E8C07D4A1F6}",
    "Global\\{0E7B3D58-91AC-4c26-AF04-5B6E2C93D718}",
    "Global\\{D2968F4A-0C17-4e53-9B8D-73A1E5F20C64}",
    "Global\\{7F31B6C0-E45D-4a98-8C27-D09B4E6A35F1}",
    "Global\\{B85E2A17-4F06-4d3c-A1E9-6C7D30B8F25A}",
    "Global\\{19C4D7E3-A250-4b81-9F6D-E2B5073C8A4D}",
    "Global\\{E6A03F92-7B1C-4e45-B0D8-19F4C62E7A53}",
    "Global\\{3D7F8B05-C9E2-4a16-8D3B-F5A0621E94C7}",
    "Global\\{8A2C5E69-D31F-4c07-9E4A-B7062D8F13E5}",
    "Global\\{3B9E21C4-7A60-4d2f-9C15-E08A5D6B7F32}",
    "Global\\{C07D94E8-25B6-4f3a-A8C1-4E9F13D06B72}",
    "Global\\{4E15A3D7-8F90-4b2c-B6E7-C3D8052A91F4}",
    "Global\\{F9B62C14-0A3E-4d87-9C5F-2D71E8A46B03}",
    "Global\\{62D8E0B3-5C47-4a9e-8F12-A6B3D9C074E1}",
};

ModelRow Row(int row) {
    return ModelRow{DisplayName[row], UsbSerial[row], HardwareId[row], ShareName[row],
                    ModelCode[row],   InfName[row],   GpdName[row],    MonitorMutexName[row]};
}

}  // namespace catalogue

namespace catalogue {
ModelRow Target() { return Row(TargetModel); }
}  // namespace catalogue

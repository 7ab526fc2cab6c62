// The maker's names, shared by the installer's driver record and the main
// dialog's maker line.
#pragma once

namespace setup {

constexpr const char* kMakerName = "Kelrona";
constexpr const char* kMakerCompany = "Kelrona Limited";
constexpr const char* kMakerWebAddress = "www.kelrona.com";

// Caption of every message box of Setup.
constexpr const char* kSetupCaption = "KLRN Printer Driver - Setup";

// Setup's internal failures.
constexpr const char* kErrorText1C = "Unexpected error 0x001C occured.";
constexpr const char* kErrorText2C = "Unexpected error 0x002C occured.";
constexpr const char* kErrorText3C = "Unexpected error 0x003C occured.";

}  // namespace setup

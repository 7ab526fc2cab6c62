// The maker's names, shared by the installer's driver record and the main
// dialog's maker line (the resource script reads the macros).
#pragma once

#define KLRN_MAKER_COMPANY "Kelrona Limited"
#define KLRN_MAKER_WEB_ADDRESS "www.kelrona.com"

#ifndef RC_INVOKED

namespace installation {

constexpr const char* kMakerName = "Kelrona";
constexpr const char* kMakerCompany = KLRN_MAKER_COMPANY;
constexpr const char* kMakerWebAddress = KLRN_MAKER_WEB_ADDRESS;

// Caption of every message box of Setup.
constexpr const char* kSetupCaption = "KLRN Printer Driver - Setup";

// Setup's internal failures.
constexpr const char* kErrorText1C = "Unexpected error 0x001C occured.";
constexpr const char* kErrorText2C = "Unexpected error 0x002C occured.";
constexpr const char* kErrorText3C = "Unexpected error 0x003C occured.";

}  // namespace installation

#endif

#pragma once

#include <string>

#include "BatchUnit.h"

class ParameterList;

namespace k57 {

// Who made a certificate and from what, beside the unit's own facts.
struct CertificateFacts {
    std::string pc;     // ThisPc()
    std::string user;   // ThisUser()
    std::string batch;  // the batch's mark, as the journal has it
    std::string templateName;
    std::string valuesName;
};

// A unit's certificate: one A4 page of PDF in the interface's language
// with the unit's type and serial, its firmware before and after, the
// result and the read-back's verdict, the settings written by the
// catalogue's names (the PIN and phone numbers masked), the time in local
// time, the PC, the user, the batch and its files. A long list of settings
// takes a smaller font and more columns, never a second page. The file is
// saved whole or not at all (SafeSave). False, with the reason (UTF-8),
// when it could not be written. Needs a QGuiApplication (Qt's fonts); any
// thread may call it.
bool WriteCertificate(const std::string& path, const BatchUnitResult& unit,
                      const ParameterList& catalogue, const CertificateFacts& facts,
                      std::string& error);

// The certificate's file name for the unit: "K57-<serial>-<yyyyMMdd-HHmmss>.pdf",
// the time the unit finished, in local time.
std::string CertificateFileName(const BatchUnitResult& unit);

}  // namespace k57

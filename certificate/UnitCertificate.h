#pragma once

#include <string>

#include "BatchUnit.h"

class ParameterList;

namespace k57 {

// Who made a certificate and from what, beside the unit's own facts.
struct CertificateFacts {
    std::string pc;      // ThisPc()
    std::string user;    // ThisUser()
    std::string batch;   // the batch's mark, as the journal has it
    std::string templateName;
    std::string valuesName;
};

// A unit's certificate: one A4 page of PDF in the interface's language
// with the unit's type and serial, its firmware before and after, the
// settings written (the PIN and phone numbers masked), the read-back's
// verdict, the time, the PC and the user. False, with the reason (UTF-8),
// when the file could not be written whole.
bool WriteCertificate(const std::string& path, const BatchUnitResult& unit,
                      const ParameterList& catalogue, const CertificateFacts& facts,
                      std::string& error);

// The certificate's file name for the unit: "K57-<serial>-<yyyyMMdd-HHmmss>.pdf".
std::string CertificateFileName(const BatchUnitResult& unit);

}  // namespace k57

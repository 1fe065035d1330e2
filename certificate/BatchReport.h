#pragma once

#include <chrono>
#include <mutex>
#include <string>

#include "BatchSummary.h"
#include "UnitCertificate.h"

class ParameterList;

namespace k57 {

// What a batch run leaves in its report folder: a certificate for every
// unit it identified, and the run's summary, a line per unit naming the
// certificate. The ports' threads may each hand it their units.
class BatchReport {
  public:
    BatchReport(std::string folder, const ParameterList& catalogue, CertificateFacts facts,
                std::chrono::system_clock::time_point started);

    // The folder made when missing, and the summary's header written.
    // False, with the reason (UTF-8), when either cannot be; the run should
    // then not start.
    bool Start(std::string& error);
    // The unit's certificate (when it has a serial) and its summary line.
    // False, with the reasons, when either could not be written; what could
    // be is written all the same.
    bool Add(const BatchUnitResult& unit, std::string& error);

    const std::string& summaryPath() const { return summary_.path(); }

  private:
    std::mutex lock_;
    std::string folder_;
    const ParameterList& catalogue_;
    CertificateFacts facts_;
    BatchSummary summary_;
};

}  // namespace k57
